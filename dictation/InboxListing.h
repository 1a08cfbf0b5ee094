#pragma once
#include "JobFile.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dictation {

// One entry of a typist's inbox: a `*.job` file and what can be told of it.
struct InboxEntry {
    enum class Status {
        New,        // complete, not opened yet
        Typing,     // the typist's state file says "typing"
        Done,       // the typist's state file says "done"
        Arriving,   // the audio is missing or not yet as large as the job says: a sync in progress
        Unreadable, // not a job file of ours (see Problem)
        Conflict,   // a sync engine's conflict copy of a job file, shown beside the original
    };
    std::string FileName; // the `*.job` file's name in the inbox
    Status State = Status::Unreadable;
    Job Contents;              // read as far as the file allowed (complete unless Unreadable)
    std::string Problem;       // why it is Unreadable or Arriving, in plain words
    std::int64_t Received = 0; // the job file's modification time (seconds since the epoch)
};

const char* StatusText(InboxEntry::Status status);

// Lists `inbox` one level deep: every `*.job` file (names that begin with '.' or '~syncthing~'
// are a sync engine's or Tavlo's own work in progress and are passed over), each read safely and
// classified, the state taken from `<done>/ID.state`. Sorted urgent first, then high, then by
// the time received, oldest first. Any thread may call it; it never blocks on what it finds.
std::vector<InboxEntry> ListInbox(const std::string& inbox, const std::string& done);

// Whether `name` is a sync engine's conflict copy (`X.sync-conflict-<date>-<time>-<device>.job`);
// `original` gets the stem of the file it is a copy of.
bool IsConflictCopy(const std::string& name, std::string& original);

} // namespace dictation
