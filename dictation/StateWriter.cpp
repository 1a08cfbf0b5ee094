#include "StateWriter.h"

#include "wavefile/WaveErrors.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace dictation {

bool WriteStateFile(const std::string& folder, const TypistState& state, std::string& problem) {
    const std::string temporary = folder + "/.tavlo-" + state.Id + kStateSuffix + ".tmp";
    const std::string text = StateText(state);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        problem = WaveErrors::ReasonText(errno);
        return false;
    }
    int error = 0;
    if (::write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        error = errno ? errno : EIO;
    if (!error && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && !error)
        error = errno;
    if (!error && std::rename(temporary.c_str(), (folder + "/" + state.Id + kStateSuffix).c_str()) != 0)
        error = errno;
    if (error) {
        // The temporary file is ours alone; the state file keeps what it said before.
        ::unlink(temporary.c_str());
        problem = WaveErrors::ReasonText(error);
        return false;
    }
    return true;
}

} // namespace dictation
