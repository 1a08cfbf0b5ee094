#pragma once
// A disk of its own for one test case (a tmpfs; mounting needs root), unmounted however the case
// ends. Tests that need it skip when `Mounted` is false.
#include <cstdlib>
#include <filesystem>
#include <string>

struct SmallDisk {
    // `options` are tmpfs's: "size=4k" for a disk that fills at once, "ro,size=1m" for a read-only one.
    SmallDisk(const std::filesystem::path& at, const std::string& options) : At(at) {
        std::filesystem::create_directories(at);
        Mounted =
            std::system(
                ("mount -t tmpfs -o " + options + " tmpfs '" + at.string() + "' 2>/dev/null").c_str()) == 0;
    }
    ~SmallDisk() {
        if (Mounted)
            std::system(("umount -l '" + At.string() + "'").c_str());
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    std::filesystem::path At;
    bool Mounted = false;
};
