#include "FileLock.h"

#include <cerrno>
#include <fcntl.h>

namespace filelock {
namespace {

struct flock WholeFile(short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0; // to the end, however far the file grows
    lock.l_pid = 0; // must be 0 for open file description locks
    return lock;
}

} // namespace

LockState TakeWriteLock(int fd) {
    struct flock lock = WholeFile(F_WRLCK);
    int result = 0;
    do {
        result = ::fcntl(fd, F_OFD_SETLK, &lock);
    } while (result != 0 && errno == EINTR);
    if (result == 0)
        return LockState::Mine;
    return errno == EAGAIN || errno == EACCES ? LockState::HeldElsewhere : LockState::Unsupported;
}

LockState ProbeWriteLock(int fd) {
    struct flock lock = WholeFile(F_WRLCK);
    if (::fcntl(fd, F_OFD_GETLK, &lock) != 0)
        return LockState::Unsupported;
    return lock.l_type == F_UNLCK ? LockState::Free : LockState::HeldElsewhere;
}

} // namespace filelock
