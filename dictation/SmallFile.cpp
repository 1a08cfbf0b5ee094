#include "SmallFile.h"

#include "wavefile/WaveErrors.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dictation {

namespace {

SmallFile Unreadable(std::string problem) {
    return SmallFile{SmallFile::State::Unreadable, {}, std::move(problem)};
}

SmallFile ReadOpen(int fd, std::size_t limit) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return Unreadable(WaveErrors::ReasonText(errno));
    if (!S_ISREG(st.st_mode))
        return Unreadable("it is not a regular file");
    if (static_cast<std::uint64_t>(st.st_size) > limit)
        return Unreadable("it is larger than such a file can be");
    // One byte more than allowed tells a file that grew since fstat.
    std::string bytes(limit + 1, '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Unreadable(WaveErrors::ReasonText(errno));
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    if (got > limit)
        return Unreadable("it is larger than such a file can be");
    bytes.resize(got);
    return SmallFile{SmallFile::State::Read, std::move(bytes), {}};
}

} // namespace

SmallFile ReadSmallFile(const std::string& path, std::size_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return SmallFile{};
        if (errno == ELOOP)
            return Unreadable("it is a symbolic link");
        return Unreadable(WaveErrors::ReasonText(errno));
    }
    SmallFile file = ReadOpen(fd, limit);
    ::close(fd);
    return file;
}

} // namespace dictation
