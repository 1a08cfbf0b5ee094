#include "InboxListing.h"

#include "JobState.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

namespace {

constexpr const char* kConflictMark = ".sync-conflict-";

bool IsPassedOver(const std::string& name) {
    return name.empty() || name.front() == '.' || name.starts_with("~syncthing~");
}

// The audio beside the job: there and as large as the job says, else still arriving. Anything
// but a regular file (a link, a FIFO) is not audio of ours.
void CheckAudio(const std::string& inbox, InboxEntry& entry) {
    struct stat st {};
    const std::string path = inbox + "/" + entry.Job.Audio;
    if (::lstat(path.c_str(), &st) != 0) {
        entry.State = InboxEntry::Status::Arriving;
        entry.Problem = "its audio " + entry.Job.Audio + " has not arrived";
        return;
    }
    if (!S_ISREG(st.st_mode)) {
        entry.State = InboxEntry::Status::Unreadable;
        entry.Problem = "its audio " + entry.Job.Audio + " is not a regular file";
        return;
    }
    if (static_cast<std::uint64_t>(st.st_size) != entry.Job.AudioBytes) {
        entry.State = InboxEntry::Status::Arriving;
        entry.Problem = "its audio has " + std::to_string(st.st_size) + " of " +
                        std::to_string(entry.Job.AudioBytes) + " bytes";
        return;
    }
    entry.State = InboxEntry::Status::New;
}

void TakeState(const std::string& done, InboxEntry& entry) {
    JobState state;
    std::string problem;
    if (!ReadJobState(done, entry.Job.Id, state, problem)) {
        // A state file that cannot be read leaves the job as new, and says why.
        if (!problem.empty())
            entry.Problem = "its state file cannot be read: " + problem;
        return;
    }
    if (state.State == kJobDone)
        entry.State = InboxEntry::Status::Done;
    else if (state.State == kJobTyping)
        entry.State = InboxEntry::Status::Typing;
}

InboxEntry Classify(const std::string& inbox, const std::string& done, const std::string& name) {
    InboxEntry entry;
    entry.FileName = name;
    const std::string path = inbox + "/" + name;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0)
        entry.Received = st.st_mtime;
    std::string original;
    const bool conflict = IsConflictCopy(name, original);
    // A conflict copy carries the original's Id: read under that name, shown, never merged.
    JobFileRead read = conflict ? ReadJobFile(path, original) : ReadJobFile(path);
    entry.Job = std::move(read.Job);
    if (conflict) {
        entry.State = InboxEntry::Status::Conflict;
        entry.Problem = "a conflict copy of " + original + ".job";
        return entry;
    }
    if (!read.Ok) {
        entry.State = InboxEntry::Status::Unreadable;
        entry.Problem = read.Problem;
        return entry;
    }
    CheckAudio(inbox, entry);
    if (entry.State == InboxEntry::Status::New)
        TakeState(done, entry);
    return entry;
}

} // namespace

const char* StatusText(InboxEntry::Status status) {
    switch (status) {
    case InboxEntry::Status::New:
        return "new";
    case InboxEntry::Status::Typing:
        return "typing";
    case InboxEntry::Status::Done:
        return "done";
    case InboxEntry::Status::Arriving:
        return "arriving";
    case InboxEntry::Status::Unreadable:
        return "unreadable";
    case InboxEntry::Status::Conflict:
        return "conflict";
    }
    return "";
}

bool IsConflictCopy(const std::string& name, std::string& original) {
    const std::size_t mark = name.find(kConflictMark);
    if (mark == std::string::npos || mark == 0)
        return false;
    original = name.substr(0, mark);
    return true;
}

std::vector<InboxEntry> ListInbox(const std::string& inbox, const std::string& done) {
    std::vector<InboxEntry> entries;
    DIR* folder = ::opendir(inbox.c_str());
    if (!folder)
        return entries;
    while (const dirent* found = ::readdir(folder)) {
        const std::string name = found->d_name;
        if (IsPassedOver(name) || !name.ends_with(".job") || name.size() <= 4)
            continue;
        entries.push_back(Classify(inbox, done, name));
    }
    ::closedir(folder);
    std::stable_sort(entries.begin(), entries.end(), [](const InboxEntry& a, const InboxEntry& b) {
        const int ra = PriorityRank(a.Job.Priority), rb = PriorityRank(b.Job.Priority);
        if (ra != rb)
            return ra < rb;
        if (a.Received != b.Received)
            return a.Received < b.Received;
        return a.FileName < b.FileName;
    });
    return entries;
}
