#include "platform/fakes/FakeFileSystem.h"
#include "platform/PathText.h"

namespace platform {

FakeFileSystem::FakeFileSystem() {
    m_Entries["/"] = {true, 0, 0};
}

void FakeFileSystem::AddFolder(const std::string& path) {
    std::string full = ResolvePath("/", path);
    // Parents too, as mkdir -p would.
    for (std::size_t slash = full.find('/', 1); slash != std::string::npos; slash = full.find('/', slash + 1))
        m_Entries.emplace(full.substr(0, slash), Entry{true, 0, 0});
    m_Entries[full] = {true, 0, 0};
}

void FakeFileSystem::AddFile(const std::string& path, std::uint64_t size, std::uint32_t extraAttributes) {
    std::string full = ResolvePath("/", path);
    std::size_t slash = full.rfind('/');
    if (slash > 0)
        AddFolder(full.substr(0, slash));
    m_Entries[full] = {false, size, extraAttributes};
}

void FakeFileSystem::Remove(const std::string& path) {
    std::string full = ResolvePath("/", path);
    for (auto it = m_Entries.begin(); it != m_Entries.end();) {
        if (it->first == full || it->first.rfind(full + "/", 0) == 0)
            it = m_Entries.erase(it);
        else
            ++it;
    }
}

bool FakeFileSystem::GetCurrentDirectory(std::string& dir) {
    if (CurrentDirUnreadable)
        return false;
    dir = CurrentDir;
    return true;
}

bool FakeFileSystem::ChangeDirectory(const std::string& dir) {
    if (dir.empty())
        return false;
    std::string full = ResolvePath(CurrentDir, dir);
    auto it = m_Entries.find(full);
    if (it == m_Entries.end() || !it->second.Folder)
        return false;
    CurrentDir = full;
    CurrentDirUnreadable = false;
    return true;
}

int FakeFileSystem::FindFirst(const std::string& pattern, FindData& data) {
    std::string full = ResolvePath(CurrentDir, pattern);
    std::size_t slash = full.rfind('/');
    std::string folder = slash == 0 ? "/" : full.substr(0, slash);
    std::string namePattern = full.substr(slash + 1);
    auto it = m_Entries.find(folder);
    if (it == m_Entries.end() || !it->second.Folder)
        return -1;
    std::vector<FindData> found;
    for (const char* dot : {".", ".."})
        if (MatchesPattern(namePattern, dot))
            found.push_back({dot, kAttrDirectory, 0});
    const std::string prefix = folder == "/" ? "/" : folder + "/";
    for (const auto& [path, entry] : m_Entries) {
        if (path.size() <= prefix.size() || path.rfind(prefix, 0) != 0 ||
            path.find('/', prefix.size()) != std::string::npos)
            continue;
        std::string name = path.substr(prefix.size());
        if (!MatchesPattern(namePattern, name))
            continue;
        std::uint32_t attr = entry.ExtraAttributes | (entry.Folder ? std::uint32_t{kAttrDirectory} : 0u);
        if (name[0] == '.')
            attr |= kAttrHidden;
        found.push_back({name, attr ? attr : kAttrNormal, entry.Size});
    }
    if (found.empty())
        return -1;
    data = found[0];
    int handle = m_NextHandle++;
    m_Searches[handle] = {std::move(found), 1};
    return handle;
}

bool FakeFileSystem::FindNext(int handle, FindData& data) {
    auto it = m_Searches.find(handle);
    if (it == m_Searches.end() || it->second.second >= it->second.first.size())
        return false;
    data = it->second.first[it->second.second++];
    return true;
}

void FakeFileSystem::FindClose(int handle) {
    m_Searches.erase(handle);
}

std::string FakeFileSystem::GetFullPathName(const std::string& name) {
    return name.empty() ? "" : ResolvePath(CurrentDir, name);
}

bool FakeFileSystem::GetDiskFreeSpace(const std::string&, std::uint64_t& totalFreeBytes) {
    totalFreeBytes = FreeBytes;
    return true;
}

} // namespace platform
