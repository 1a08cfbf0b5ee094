#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

// The file classes read named files, so each fuzz input is written to one private file that
// the harness reuses for every run.
inline const std::string& FuzzInputFile(const std::uint8_t* data, std::size_t size) {
    static const std::string path = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/tavlo-fuzz-XXXXXX";
        const int fd = mkstemp(pattern.data());
        if (fd < 0)
            std::abort();
        close(fd);
        return pattern;
    }();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        std::abort();
    if (size && std::fwrite(data, 1, size, file) != size)
        std::abort();
    std::fclose(file);
    return path;
}
