#pragma once
#include "TypistPlayback.h"
#include <string>

namespace dictation {

// Section "Dictation" of Recorder.ini: who the author is, what a job carries by default, and the
// folders the two sides hand jobs and states through (with Syncthing: the author's Outbox to the
// typist's Inbox, the typist's Done to the author's Returns; on a share one folder serves all four).
// Loaded and saved on the user-interface thread (through CIniFile).
struct DictationSettings {
    std::string Author;              // default: the login's full name, else its user name
    std::string WorkType;            // default "Letter"
    std::string Priority;            // "normal" (default), "high", "urgent"
    std::string Outbox;              // the author's: where jobs go; "" = not set up
    std::string Returns;             // the author's: where the typist's states arrive; "" = the Outbox
    std::string Inbox;               // the typist's: where jobs arrive; "" = not set up
    std::string Done;                // the typist's: where states are written; "" = the Inbox
    int StepBack = kDefaultStepBack; // the typist's playback: whole seconds back on a resume, 0..10

    static constexpr int kMaxStepBack = static_cast<int>(::kMaxStepBack);

    // The folder states arrive in, and the one they are written to.
    std::string ReturnsFolder() const { return Returns.empty() ? Outbox : Returns; }
    std::string DoneFolder() const { return Done.empty() ? Inbox : Done; }
};

// The login's full name (the first field of its GECOS entry), else its user name, else "".
std::string LoginName();

// The settings in the file `iniPath`, the defaults for what it does not say (a StepBack outside
// 0..10 or no number, a priority that is none).
DictationSettings LoadDictationSettings(const std::string& iniPath);
// Writes every key; false when the file cannot be written.
bool SaveDictationSettings(const std::string& iniPath, const DictationSettings& settings);

} // namespace dictation
