#include "platform/PosixFileSystem.h"
#include "platform/PathText.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace platform {

namespace {

std::uint32_t AttributesOf(const std::string& name, const struct stat& st) {
    std::uint32_t attr = 0;
    if (S_ISDIR(st.st_mode))
        attr |= kAttrDirectory;
    else if (!S_ISREG(st.st_mode))
        attr |= kAttrSpecial;
    if ((st.st_mode & 0222) == 0)
        attr |= kAttrReadOnly;
    if (name.size() > 1 && name[0] == '.' && name != "..")
        attr |= kAttrHidden;
    return attr ? attr : kAttrNormal;
}

} // namespace

bool PosixFileSystem::GetCurrentDirectory(std::string& dir) {
    char buf[4096];
    if (!::getcwd(buf, sizeof buf))
        return false;
    dir = buf;
    return true;
}

bool PosixFileSystem::ChangeDirectory(const std::string& dir) {
    return !dir.empty() && ::chdir(dir.c_str()) == 0;
}

int PosixFileSystem::FindFirst(const std::string& pattern, FindData& data) {
    std::size_t slash = pattern.rfind('/');
    std::string folder = slash == std::string::npos ? "." : pattern.substr(0, slash);
    if (folder.empty())
        folder = "/";
    std::string namePattern = slash == std::string::npos ? pattern : pattern.substr(slash + 1);

    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return -1;
    Search search;
    std::vector<FindData> dots, rest;
    while (dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (!MatchesPattern(namePattern, name))
            continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, 0) != 0 &&
            ::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        FindData found{name, AttributesOf(name, st), static_cast<std::uint64_t>(st.st_size)};
        (name == "." || name == ".." ? dots : rest).push_back(found);
    }
    ::closedir(dir);
    // readdir's order is the file system's; searches here list "." and ".." first and the rest
    // by name, so that a folder always lists the same way.
    std::sort(dots.begin(), dots.end(), [](const FindData& a, const FindData& b) { return a.Name < b.Name; });
    std::sort(rest.begin(), rest.end(), [](const FindData& a, const FindData& b) { return a.Name < b.Name; });
    search.Entries = std::move(dots);
    search.Entries.insert(search.Entries.end(), rest.begin(), rest.end());
    if (search.Entries.empty())
        return -1;
    data = search.Entries[0];
    search.Next = 1;
    int handle = m_NextHandle++;
    m_Searches[handle] = std::move(search);
    return handle;
}

bool PosixFileSystem::FindNext(int handle, FindData& data) {
    auto it = m_Searches.find(handle);
    if (it == m_Searches.end() || it->second.Next >= it->second.Entries.size())
        return false;
    data = it->second.Entries[it->second.Next++];
    return true;
}

void PosixFileSystem::FindClose(int handle) {
    m_Searches.erase(handle);
}

std::string PosixFileSystem::GetFullPathName(const std::string& name) {
    if (name.empty())
        return "";
    std::string cwd;
    if (!GetCurrentDirectory(cwd))
        cwd = "/";
    return ResolvePath(cwd, name);
}

bool PosixFileSystem::GetDiskFreeSpace(const std::string& dir, std::uint64_t& totalFreeBytes) {
    struct statvfs vfs {};
    if (::statvfs(dir.empty() ? "." : dir.c_str(), &vfs) != 0)
        return false;
    // The room an ordinary user may fill: the blocks kept back for root do not count.
    totalFreeBytes = static_cast<std::uint64_t>(vfs.f_bavail) * vfs.f_frsize;
    return true;
}

} // namespace platform
