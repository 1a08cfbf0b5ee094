#include "platform/FileProfile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

ProfileService::LoadResult FileProfile::Load(const std::string& path, std::string& bytes) {
    // O_NONBLOCK: opening a FIFO (or a device) by that name must not wait for a writer; such a
    // file is refused below, and for a regular file the flag changes nothing.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? LoadResult::Missing : LoadResult::Unreadable;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return LoadResult::Unreadable;
    }
    bytes.clear();
    char chunk[4096];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return LoadResult::Unreadable;
        }
        if (n == 0)
            break;
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return LoadResult::Loaded;
}

bool FileProfile::Store(const std::string& path, const std::string& bytes) {
    mode_t mode = 0644;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if ((st.st_mode & 0222) == 0)
            return false; // read-only file
        mode = st.st_mode & 07777;
    }
    const std::string temp = path + ".new";
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd >= 0) {
        bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
        ok = ::close(fd) == 0 && ok;
        if (ok && ::rename(temp.c_str(), path.c_str()) == 0)
            return true;
        ::unlink(temp.c_str());
        return false;
    }
    // A folder we may not create files in, holding a file we may write: write it in place.
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, bytes);
    return ::close(fd) == 0 && ok;
}

} // namespace platform
