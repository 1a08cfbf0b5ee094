// The folder a window test starts in: the program's res/ pictures, a recordings folder rec/ and
// a Recorder.ini that names it. Becomes the current directory.
#pragma once
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

inline std::filesystem::path MakeStartFolder(const std::string& name, const std::string& format) {
    namespace fs = std::filesystem;
    const fs::path start = fs::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
    fs::create_directories(start / "res");
    fs::create_directories(start / "rec");
    for (const auto& file : fs::directory_iterator(fs::path(TAVLO_BIN_DIR) / "res"))
        fs::copy_file(file.path(), start / "res" / file.path().filename(),
                      fs::copy_options::overwrite_existing);
    std::ofstream(start / "Recorder.ini")
        << "[Recorder]\nFormat=" << format << "\nFF/RewindSpeed=8\nFloaderName=" << (start / "rec").string()
        << "\n";
    fs::current_path(start);
    return start;
}
