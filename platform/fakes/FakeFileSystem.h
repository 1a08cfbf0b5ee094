#pragma once
#include "platform/FileSystem.h"

#include <map>
#include <vector>

namespace platform {

// A file system in memory: folders and files by absolute path, a current directory and a
// free-space figure that tests set.
class FakeFileSystem : public IFileSystem {
public:
    FakeFileSystem();

    void AddFolder(const std::string& path);
    void AddFile(const std::string& path, std::uint64_t size = 0, std::uint32_t extraAttributes = 0);
    void Remove(const std::string& path);

    std::string CurrentDir = "/";
    bool CurrentDirUnreadable = false;
    std::uint64_t FreeBytes = 1ull << 40;

    bool GetCurrentDirectory(std::string& dir) override;
    bool ChangeDirectory(const std::string& dir) override;
    int FindFirst(const std::string& pattern, FindData& data) override;
    bool FindNext(int handle, FindData& data) override;
    void FindClose(int handle) override;
    std::string GetFullPathName(const std::string& name) override;
    bool GetDiskFreeSpace(const std::string& dir, std::uint64_t& totalFreeBytes) override;

private:
    struct Entry {
        bool Folder;
        std::uint64_t Size;
        std::uint32_t ExtraAttributes;
    };
    std::map<std::string, Entry> m_Entries;
    std::map<int, std::pair<std::vector<FindData>, std::size_t>> m_Searches;
    int m_NextHandle = 1;
};

} // namespace platform
