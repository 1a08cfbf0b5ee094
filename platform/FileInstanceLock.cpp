#include "platform/FileInstanceLock.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

std::string FileInstanceLock::LockPath(const std::string& name) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime && ::access(runtime, W_OK) == 0)
        return std::string(runtime) + "/" + name + ".lock";
    return "/tmp/" + name + "-" + std::to_string(::getuid()) + ".lock";
}

bool FileInstanceLock::IsHeld(const std::string& name) {
    int fd = ::open(LockPath(name).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // flock locks belong to the open file description: probing through a new descriptor tells
    // whether anybody else (another process, or this one's own Take) holds it.
    bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

bool FileInstanceLock::Take(const std::string& name) {
    int fd = ::open(LockPath(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return true; // nowhere to keep a lock: better a second instance than none at all
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    // The descriptor stays open on purpose: the lock lives as long as the process.
    return true;
}

} // namespace platform
