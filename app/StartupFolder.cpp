#include "StartupFolder.h"

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool HasSkin(const fs::path& folder) {
    std::error_code ec;
    return fs::is_regular_file(folder / "res" / "Rgn.bmp", ec);
}

// XDG base directories: an unset, empty or relative $XDG_DATA_HOME means ~/.local/share.
fs::path DataHome(const StartupPlaces& places) {
    if (!places.XdgDataHome.empty() && fs::path(places.XdgDataHome).is_absolute())
        return places.XdgDataHome;
    if (places.Home.empty())
        return {};
    return fs::path(places.Home) / ".local" / "share";
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

} // namespace

std::optional<std::string> PrepareStartupFolder(const StartupPlaces& places, std::string& error) {
    error.clear();
    if (HasSkin(places.CurrentDir) || places.DataDir.empty() || !HasSkin(places.DataDir))
        return std::nullopt;
    const fs::path dataHome = DataHome(places);
    if (dataHome.empty()) {
        error = "neither XDG_DATA_HOME nor HOME names a folder";
        return std::nullopt;
    }
    std::error_code ec;
    fs::path data = fs::weakly_canonical(places.DataDir, ec);
    if (ec)
        data = places.DataDir; // found a moment ago; the link is then made to the path as given
    const fs::path folder = dataHome / "tavlo";
    fs::create_directories(folder, ec);
    if (!ec && !fs::is_directory(folder, ec) && !ec)
        ec = std::make_error_code(std::errc::not_a_directory);
    if (ec) {
        error = folder.string() + ": " + ec.message();
        return std::nullopt;
    }
    // The user's settings are never overwritten: the default is copied only where none is yet.
    const fs::path settings = folder / "Recorder.ini";
    if (!fs::exists(fs::symlink_status(settings, ec)))
        fs::copy_file(data / "Recorder.ini", settings, fs::copy_options::skip_existing, ec);
    else
        ec.clear();
    if (ec) {
        error = settings.string() + ": " + ec.message();
        return std::nullopt;
    }
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
    if (const char* value = std::getenv("XDG_DATA_HOME"))
        places.XdgDataHome = value;
    if (const char* value = std::getenv("HOME"))
        places.Home = value;
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
