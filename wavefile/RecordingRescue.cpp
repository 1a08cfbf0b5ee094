#include "RecordingRescue.h"

#include "DurableFile.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

CRecordingRescue::CRecordingRescue(const std::string& recording) {
    m_Fd = ::open(recording.c_str(), O_RDONLY | O_CLOEXEC);
}

CRecordingRescue::~CRecordingRescue() {
    if (m_Fd >= 0)
        ::close(m_Fd);
}

bool CRecordingRescue::SaveTo(const std::string& target) const {
    if (m_Fd < 0)
        return false;
    const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (out < 0)
        return false;
    std::vector<char> chunk(1 << 16);
    std::uint64_t at = 0;
    bool whole = true;
    for (;;) {
        const ssize_t n = ::pread(m_Fd, chunk.data(), chunk.size(), static_cast<off_t>(at));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            whole = n == 0;
            break;
        }
        if (!durable::WriteAt(out, chunk.data(), static_cast<std::size_t>(n), at)) {
            whole = false;
            break;
        }
        at += static_cast<std::uint64_t>(n);
    }
    whole = whole && ::fsync(out) == 0;
    ::close(out);
    // A copy cut short (the other disk filled) is kept too: part of the recording beats none.
    durable::SyncFolderOf(target);
    return whole;
}
