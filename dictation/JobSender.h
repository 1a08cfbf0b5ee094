#pragma once
#include <atomic>
#include <functional>
#include <string>

namespace dictation {

// What the author sends: a recording, who dictated it and what for, and where it goes.
struct SendRequest {
    std::string Wav; // the recording, a full path
    std::string Author;
    std::string WorkType;
    std::string Priority; // one of kPriorities
    std::string Note;
    std::string Outbox; // a full path
};

struct SendOutcome {
    bool Sent = false;
    std::string Id;      // the job's name, once known
    std::string Message; // for the author: what was sent, or why nothing was
};

// Sends one recording to the typist: the WAV is encoded to Opus and described in a job file, both
// in the spool "<outbox>/.tavlo-spool" (the outbox's own file system, hidden from sync engines by
// a line in the outbox's ".stignore"), then renamed into the outbox, the audio first and the job
// last, so that a reader or a sync engine never sees half a file. Nothing in the outbox is ever
// overwritten or removed, and the recording is only read. On any failure the spool's files are
// removed and nothing reaches the outbox. Runs on a worker (encoding takes seconds); `progress`
// hears the fraction encoded.
SendOutcome SendJob(const SendRequest& request, const std::function<void(double)>& progress,
                    const std::atomic<bool>& cancel);

// The spool's name, and the line the outbox's ".stignore" gets.
inline constexpr const char* kSpoolName = ".tavlo-spool";

// The file's SHA-256 as 64 lowercase hex digits; "" when it cannot be read.
std::string FileSha256(const std::string& path);

} // namespace dictation
