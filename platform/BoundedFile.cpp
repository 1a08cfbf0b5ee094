#include "BoundedFile.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool Refuse(std::string& problem, std::string why) {
    problem = std::move(why);
    return false;
}

} // namespace

bool ReadBoundedFile(const std::string& path, std::size_t limit, std::string& bytes, std::string& problem) {
    // O_NOFOLLOW: a link may lead anywhere; O_NONBLOCK: opening a FIFO must not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return Refuse(problem, errno == ELOOP ? "it is a link" : std::strerror(errno));
    struct stat st {};
    bool ok = false;
    if (::fstat(fd, &st) != 0) {
        problem = std::strerror(errno);
    } else if (!S_ISREG(st.st_mode)) {
        problem = S_ISFIFO(st.st_mode) ? "it is a pipe" : "it is not a regular file";
    } else if (static_cast<std::uint64_t>(st.st_size) > limit) {
        problem = "it is larger than " + std::to_string(limit / 1024) + " KiB";
    } else {
        // One byte more than allowed tells a file that grew since fstat.
        bytes.resize(limit + 1);
        std::size_t got = 0;
        ok = true;
        while (got < bytes.size()) {
            const ssize_t n = ::pread(fd, bytes.data() + got, bytes.size() - got, static_cast<off_t>(got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                ok = Refuse(problem, std::strerror(errno));
                break;
            }
            if (n == 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        bytes.resize(got);
        if (ok && got > limit)
            ok = Refuse(problem, "it is larger than " + std::to_string(limit / 1024) + " KiB");
    }
    ::close(fd);
    return ok;
}

} // namespace platform
