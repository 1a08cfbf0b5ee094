#include "platform/FileInstanceLock.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// A folder of this user's own (not a link to one) that only this user may create files in.
bool IsPrivateFolder(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

FileInstanceLock::FileInstanceLock(std::string sharedTemp) : m_SharedTemp(std::move(sharedTemp)) {}

std::string FileInstanceLock::LockPath(const std::string& name) const {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime && IsPrivateFolder(runtime))
        return std::string(runtime) + "/" + name + ".lock";
    // The shared folder is open to everybody: another user may have made this name first, which
    // the check after mkdir catches.
    const std::string folder = m_SharedTemp + "/tavlo-" + std::to_string(::geteuid());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return "";
    return IsPrivateFolder(folder) ? folder + "/" + name + ".lock" : "";
}

std::string FileInstanceLock::CallPath(const std::string& name) {
    std::string path = LockPath(name);
    if (!path.empty())
        path.replace(path.size() - 5, 5, ".sock");
    return path;
}

bool FileInstanceLock::IsHeld(const std::string& name) {
    const std::string path = LockPath(name);
    if (path.empty())
        return false;
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    // flock locks belong to the open file description: probing through a new descriptor tells
    // whether anybody else (another process, or this one's own Take) holds it.
    bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

bool FileInstanceLock::Take(const std::string& name) {
    const std::string path = LockPath(name);
    if (path.empty())
        return true; // nowhere safe to keep a lock: better a second instance than none at all
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0)
        return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    // The descriptor stays open on purpose: the lock lives as long as the process.
    return true;
}

} // namespace platform
