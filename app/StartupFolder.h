#pragma once
#include <iosfwd>
#include <optional>
#include <string>

// The folder Tavlo starts in holds Recorder.ini and res/. A folder that has res/ already (the build
// folder, or one the user set up) is used as it is. An installed program started anywhere else (the
// desktop's menu starts it in the home folder) starts instead in the user's settings folder,
// $XDG_CONFIG_HOME/tavlo: made on first use, with a Recorder.ini and res linked to the data folder's
// pictures. Its recordings go by default to the visible folder ~/Recordings/Tavlo, made when needed.
// A user of the version that kept everything in $XDG_DATA_HOME/tavlo keeps those settings, and
// recordings made there stay there and are still found.
struct StartupPlaces {
    std::string CurrentDir;    // where the program was started
    std::string DataDir;       // the installed data folder (<prefix>/share/tavlo), found from the program
    std::string XdgConfigHome; // $XDG_CONFIG_HOME, "" when unset
    std::string XdgDataHome;   // $XDG_DATA_HOME, "" when unset (where the earlier version kept everything)
    std::string Home;          // $HOME, "" when unset
};

// The folder to change to, prepared; nothing when the current folder is to be kept (it has res/,
// or the program is not installed). A user folder that cannot be made or filled gives nothing and
// the reason in `error`; the caller stays in the current folder.
std::optional<std::string> PrepareStartupFolder(const StartupPlaces& places, std::string& error);

// The places of this process: the current folder, the data folder beside /proc/self/exe's
// folder (`dataFromBin`, e.g. "../share/tavlo"), and the environment.
StartupPlaces ProcessStartupPlaces(const std::string& dataFromBin);

// Changes to the prepared folder, if any; a failure is told on `err` and the current folder kept.
void EnterStartupFolder(const std::string& dataFromBin, std::ostream& err);
