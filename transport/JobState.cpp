#include "JobState.h"

#include "platform/BoundedFile.h"
#include "platform/ProfileText.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr const char* kSection = "State";
// A state file is a few lines; anything much larger is not one.
constexpr std::size_t kMaxStateBytes = 4096;

} // namespace

std::string JobStatePath(const std::string& folder, const std::string& id) {
    return folder + "/" + id + ".state";
}

std::string FormatJobState(const JobState& state) {
    return "[State]\nVersion=1\nId=" + state.Id + "\nState=" + state.State + "\nTypist=" + state.Typist +
           "\nChanged=" + state.Changed + "\n";
}

bool ReadJobState(const std::string& folder, const std::string& id, JobState& state, std::string& problem) {
    std::string text;
    const std::string path = JobStatePath(folder, id);
    if (::access(path.c_str(), F_OK) != 0 && errno == ENOENT) {
        problem.clear();
        return false;
    }
    if (!platform::ReadBoundedFile(path, kMaxStateBytes, text, problem))
        return false;
    const platform::ProfileText ini(text);
    state = {};
    ini.Find(kSection, "Id", state.Id);
    ini.Find(kSection, "State", state.State);
    ini.Find(kSection, "Typist", state.Typist);
    ini.Find(kSection, "Changed", state.Changed);
    if (state.Id != id) {
        problem = "its state file names another job";
        return false;
    }
    return true;
}

bool WriteJobState(const std::string& folder, const JobState& state, std::string& problem) {
    // A dot-name: every reader of the folder, and Syncthing's scan of a folder whose
    // .stignore skips such names, passes over it until it has its final name.
    const std::string temporary = folder + "/.tavlo-" + state.Id + ".state.tmp";
    const std::string text = FormatJobState(state);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        problem = std::strerror(errno);
        return false;
    }
    bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    int error = ok ? 0 : (errno ? errno : EIO);
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        error = errno;
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && std::rename(temporary.c_str(), JobStatePath(folder, state.Id).c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        // The temporary file is ours alone: it goes, the state file keeps what it said before.
        ::unlink(temporary.c_str());
        problem = std::strerror(error);
    }
    return ok;
}
