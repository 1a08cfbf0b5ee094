#include "linux/HidrawChannel.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace kelvane {
namespace {

int ReadInto(int fd, unsigned char* out, std::size_t length, bool unnumbered) {
    unsigned char* dst = unnumbered ? out + 1 : out;
    const std::size_t want = unnumbered ? length - 1 : length;
    ssize_t n = 0;
    do {
        n = ::read(fd, dst, want);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        return (errno == EAGAIN || errno == EWOULDBLOCK) ? 0 : -1;
    }
    if (n == 0) { // end of file: the node's other side has gone
        errno = ENODEV;
        return -1;
    }
    if (unnumbered) {
        out[0] = 0;
        ++n;
    }
    return static_cast<int>(n);
}

// A channel and a buffer that a report fits; errno says what is missing.
bool Usable(int fd, const void* buffer, std::size_t length, bool unnumbered) {
    if (fd < 0) {
        errno = EBADF;
        return false;
    }
    if (buffer == nullptr || length == 0 || (unnumbered && length < 2)) {
        errno = EINVAL;
        return false;
    }
    return true;
}

} // namespace

int OpenReadChannel(const char* path, bool polling) {
    return ::open(path, O_RDONLY | O_CLOEXEC | (polling ? O_NONBLOCK : 0));
}

int OpenWriteChannel(const char* path) {
    return ::open(path, O_WRONLY | O_CLOEXEC);
}

bool ChannelStillUsable(int fd, bool polling) {
    if (fd < 0) {
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ((flags & O_NONBLOCK) != 0) != polling) {
        return false;
    }
    struct pollfd p = {fd, 0, 0};
    return ::poll(&p, 1, 0) >= 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)) == 0;
}

void CloseChannel(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

int PollReport(int fd, void* buffer, std::size_t length, bool unnumbered) {
    if (!Usable(fd, buffer, length, unnumbered)) {
        return -1;
    }
    // Ask poll() first: a non-blocking read of an unplugged node does not report
    // the loss on every kernel, but poll() always flags it with a hang-up or error.
    struct pollfd p = {fd, POLLIN, 0};
    int ready = 0;
    do {
        ready = ::poll(&p, 1, 0);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0) {
        return -1;
    }
    if ((p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
        errno = ENODEV;
        return -1;
    }
    if ((p.revents & POLLIN) == 0) {
        return 0;
    }
    // A read error (ENODEV or EIO once the device is gone) gives -1.
    return ReadInto(fd, static_cast<unsigned char*>(buffer), length, unnumbered);
}

int WaitReport(int fd, void* buffer, std::size_t length, bool unnumbered) {
    if (!Usable(fd, buffer, length, unnumbered)) {
        return -1;
    }
    // Wait in poll() rather than in read(): the channel may have been opened for
    // polling (non-blocking) when another object's Open chose the blocking kind.
    struct pollfd p = {fd, POLLIN, 0};
    int ready = 0;
    do {
        ready = ::poll(&p, 1, -1);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0) {
        return -1;
    }
    if ((p.revents & POLLIN) == 0) {
        errno = ENODEV;
        return -1;
    }
    const int n = ReadInto(fd, static_cast<unsigned char*>(buffer), length, unnumbered);
    if (n == 0) {
        errno = EAGAIN;
        return -1;
    }
    return n;
}

int WriteReport(int fd, const void* buffer, std::size_t length) {
    if (fd < 0 || buffer == nullptr) {
        errno = fd < 0 ? EBADF : EINVAL;
        return -1;
    }
    ssize_t n = 0;
    do {
        n = ::write(fd, buffer, length);
    } while (n < 0 && errno == EINTR);
    return n < 0 ? -1 : static_cast<int>(n);
}

} // namespace kelvane
