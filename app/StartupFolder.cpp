#include "StartupFolder.h"

#include "platform/PrivateProfile.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

const char* const kSection = "Recorder";

bool HasSkin(const fs::path& folder) {
    std::error_code ec;
    return fs::is_regular_file(folder / "res" / "Rgn.bmp", ec);
}

// XDG base directories: an unset, empty or relative variable means the folder under the home.
fs::path XdgHome(const std::string& variable, const StartupPlaces& places, const char* underHome) {
    if (!variable.empty() && fs::path(variable).is_absolute())
        return variable;
    if (places.Home.empty())
        return {};
    return fs::path(places.Home) / underHome;
}

// res in the user's folder is a link to the installed pictures, renewed when the program moved;
// a real folder there is the user's own skin and is kept.
bool LinkPictures(const fs::path& folder, const fs::path& pictures, std::error_code& ec) {
    const fs::path link = folder / "res";
    const fs::file_status status = fs::symlink_status(link, ec);
    if (fs::is_directory(status))
        return true;
    if (fs::is_symlink(status)) {
        if (fs::read_symlink(link, ec) == pictures)
            return true;
        if (!fs::remove(link, ec))
            return false;
    } else if (fs::exists(status)) {
        ec = std::make_error_code(std::errc::file_exists);
        return false;
    }
    ec.clear();
    fs::create_directory_symlink(pictures, link, ec);
    return !ec;
}

// Folder names as written by people and by the settings dialog: "a/b", "a/b/" and "a//b" are one.
bool SameFolder(const fs::path& a, const fs::path& b) {
    const auto plain = [](const fs::path& p) {
        const fs::path normal = p.lexically_normal();
        return normal.has_filename() ? normal : normal.parent_path();
    };
    return !a.empty() && plain(a) == plain(b);
}

bool HoldsRecordings(const fs::path& folder) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path extension = it->path().extension();
        if ((extension == ".wav" || extension == ".WAV") && it->is_regular_file(ec))
            return true;
    }
    return false;
}

std::string ReadSetting(const fs::path& settings, const char* key) {
    std::array<char, 255> value{};
    platform::PrivateProfile().GetString(kSection, key, "", value.data(), value.size(), settings.c_str());
    return value.data();
}

// The first settings of the user's folder: the earlier version's file when there is one, else the
// default. ".\" meant the folder the program started in, which the settings folder no longer is.
// It, and the earlier folder named in full, become the earlier folder when recordings lie there (so
// they are found where they are), and the visible recordings folder otherwise.
bool FirstSettings(const fs::path& settings, const fs::path& legacy, const fs::path& data,
                   const fs::path& recordings, std::error_code& ec) {
    const bool upgrade = fs::is_regular_file(legacy / "Recorder.ini", ec);
    fs::copy_file(upgrade ? legacy / "Recorder.ini" : data / "Recorder.ini", settings, ec);
    if (ec)
        return false;
    const fs::path folder = upgrade && HoldsRecordings(legacy) ? legacy : recordings;
    if (folder.empty())
        return true; // no home: the recordings stay beside the settings
    for (const char* key : {"FloaderName", "DefaultFloader"}) {
        const std::string value = ReadSetting(settings, key);
        if ((value == ".\\" || value == "./" || SameFolder(value, legacy)) &&
            !platform::PrivateProfile().WriteString(kSection, key, folder.c_str(), settings.c_str())) {
            ec = std::make_error_code(std::errc::io_error);
            return false;
        }
    }
    return true;
}

// The visible recordings folder is made whenever the settings name it and it is missing, so that
// the first recording has somewhere to go. A failure shows in the window as "Error Path".
void MakeRecordingsFolder(const fs::path& settings, const fs::path& recordings) {
    const std::string folder = ReadSetting(settings, "FloaderName");
    std::error_code ec;
    if (SameFolder(folder, recordings) && !fs::exists(recordings, ec))
        fs::create_directories(recordings, ec);
}

} // namespace

std::optional<std::string> PrepareStartupFolder(const StartupPlaces& places, std::string& error) {
    error.clear();
    if (HasSkin(places.CurrentDir) || places.DataDir.empty() || !HasSkin(places.DataDir))
        return std::nullopt;
    const fs::path configHome = XdgHome(places.XdgConfigHome, places, ".config");
    if (configHome.empty()) {
        error = "neither XDG_CONFIG_HOME nor HOME names a folder";
        return std::nullopt;
    }
    std::error_code ec;
    fs::path data = fs::weakly_canonical(places.DataDir, ec);
    if (ec)
        data = places.DataDir; // found a moment ago; the link is then made to the path as given
    const fs::path folder = configHome / "tavlo";
    fs::create_directories(folder, ec);
    if (!ec && !fs::is_directory(folder, ec) && !ec)
        ec = std::make_error_code(std::errc::not_a_directory);
    if (ec) {
        error = folder.string() + ": " + ec.message();
        return std::nullopt;
    }
    // The user's settings are never overwritten: they are made only where there are none yet.
    const fs::path settings = folder / "Recorder.ini";
    const fs::path recordings =
        places.Home.empty() ? fs::path() : fs::path(places.Home) / "Recordings" / "Tavlo";
    const fs::path dataHome = XdgHome(places.XdgDataHome, places, ".local/share");
    if (!fs::exists(fs::symlink_status(settings, ec)) &&
        !FirstSettings(settings, dataHome / "tavlo", data, recordings, ec)) {
        error = settings.string() + ": " + ec.message();
        return std::nullopt;
    }
    if (!recordings.empty())
        MakeRecordingsFolder(settings, recordings);
    if (!LinkPictures(folder, data / "res", ec)) {
        error = (folder / "res").string() + ": " + ec.message();
        return std::nullopt;
    }
    return folder.string();
}

StartupPlaces ProcessStartupPlaces(const std::string& dataFromBin) {
    StartupPlaces places;
    std::error_code ec;
    places.CurrentDir = fs::current_path(ec).string();
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    if (!ec)
        places.DataDir = (program.parent_path() / dataFromBin).lexically_normal().string();
    const std::pair<const char*, std::string*> variables[] = {{"XDG_CONFIG_HOME", &places.XdgConfigHome},
                                                              {"XDG_DATA_HOME", &places.XdgDataHome},
                                                              {"HOME", &places.Home}};
    for (auto [name, value] : variables)
        if (const char* text = std::getenv(name))
            *value = text;
    return places;
}

void EnterStartupFolder(const std::string& dataFromBin, std::ostream& err) {
    std::string error;
    const auto folder = PrepareStartupFolder(ProcessStartupPlaces(dataFromBin), error);
    std::error_code ec;
    if (folder)
        fs::current_path(*folder, ec);
    if (ec)
        error = *folder + ": " + ec.message();
    if (!error.empty())
        err << "tavlo: cannot use the user's folder, staying in the current one: " << error << "\n";
}
