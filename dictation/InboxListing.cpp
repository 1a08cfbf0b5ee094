#include "InboxListing.h"

#include "SmallFile.h"
#include "StateFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

namespace dictation {

namespace {

constexpr const char* kConflictMark = ".sync-conflict-";

// Urgent jobs before high ones before the rest.
int PriorityRank(const std::string& priority) {
    return priority == "urgent" ? 0 : priority == "high" ? 1 : 2;
}

bool IsPassedOver(const std::string& name) {
    return name.empty() || name.front() == '.' || name.starts_with("~syncthing~");
}

// The audio beside the job: there and as large as the job says, else still arriving. Anything
// but a regular file (a link, a FIFO) is not audio of ours.
void CheckAudio(const std::string& inbox, InboxEntry& entry) {
    struct stat st {};
    const std::string path = inbox + "/" + entry.Contents.Audio;
    if (::lstat(path.c_str(), &st) != 0) {
        entry.State = InboxEntry::Status::Arriving;
        entry.Problem = "its audio " + entry.Contents.Audio + " has not arrived";
        return;
    }
    if (!S_ISREG(st.st_mode)) {
        entry.State = InboxEntry::Status::Unreadable;
        entry.Problem = "its audio " + entry.Contents.Audio + " is not a regular file";
        return;
    }
    if (static_cast<std::uint64_t>(st.st_size) != entry.Contents.AudioBytes) {
        entry.State = InboxEntry::Status::Arriving;
        entry.Problem = "its audio has " + std::to_string(st.st_size) + " of " +
                        std::to_string(entry.Contents.AudioBytes) + " bytes";
        return;
    }
    entry.State = InboxEntry::Status::New;
}

void TakeState(const std::string& done, InboxEntry& entry) {
    struct stat st {};
    if (::lstat((done + "/" + entry.Contents.Id + kStateSuffix).c_str(), &st) != 0 && errno == ENOENT)
        return; // not opened yet
    const StateReading state = ReadStateFile(done, entry.Contents.Id);
    if (state.Read) {
        entry.State = state.Contents.Is == TypistState::Stage::Done ? InboxEntry::Status::Done
                                                                    : InboxEntry::Status::Typing;
    } else {
        // A state file that cannot be read leaves the job new, and says why.
        entry.Problem = "its state file cannot be read: " + state.Problem;
    }
}

// A conflict copy carries the original's Id: read under that name.
JobReading ReadConflictCopy(const std::string& path, const std::string& original) {
    const SmallFile file = ReadSmallFile(path, kMaxJobBytes);
    if (file.Status != SmallFile::State::Read) {
        JobReading refused;
        refused.Problem = file.Problem;
        return refused;
    }
    return ParseJob(file.Bytes, original);
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
    // Shown, never merged.
    JobReading read = conflict ? ReadConflictCopy(path, original) : ReadJobFile(path);
    entry.Contents = std::move(read.Contents);
    if (conflict) {
        entry.State = InboxEntry::Status::Conflict;
        entry.Problem = "a conflict copy of " + original + ".job";
        return entry;
    }
    if (!read.Read) {
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
    static constexpr const char* kTexts[] = {"new", "typing", "done", "arriving", "unreadable", "conflict"};
    return kTexts[static_cast<int>(status)];
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
        if (IsPassedOver(name) || !name.ends_with(kJobSuffix) || name.size() <= 4)
            continue;
        entries.push_back(Classify(inbox, done, name));
    }
    ::closedir(folder);
    std::stable_sort(entries.begin(), entries.end(), [](const InboxEntry& a, const InboxEntry& b) {
        const int ra = PriorityRank(a.Contents.Priority), rb = PriorityRank(b.Contents.Priority);
        if (ra != rb)
            return ra < rb;
        if (a.Received != b.Received)
            return a.Received < b.Received;
        return a.FileName < b.FileName;
    });
    return entries;
}

} // namespace dictation
