#pragma once
#include "platform/FileSystem.h"

#include <map>
#include <vector>

namespace platform {

// The real file system: getcwd/chdir, opendir with fnmatch, statvfs.
class PosixFileSystem : public IFileSystem {
public:
    bool GetCurrentDirectory(std::string& dir) override;
    bool ChangeDirectory(const std::string& dir) override;
    int FindFirst(const std::string& pattern, FindData& data) override;
    bool FindNext(int handle, FindData& data) override;
    void FindClose(int handle) override;
    std::string GetFullPathName(const std::string& name) override;
    bool GetDiskFreeSpace(const std::string& dir, std::uint64_t& totalFreeBytes) override;

private:
    struct Search {
        std::vector<FindData> Entries;
        std::size_t Next = 0;
    };
    std::map<int, Search> m_Searches;
    int m_NextHandle = 1;
};

} // namespace platform
