#pragma once
#include <map>
#include <string>
#include <vector>

namespace dictation {

// How far the typist has got with a recording sent from this side: what the author's recordings
// window shows on its row.
enum class JobMark { None, Sent, Typing, Typed };
const char* JobMarkText(JobMark mark); // "", "sent", "typing", "typed"

// The mark of each recording (file names, ".wav" and all) whose job is in `outbox` or whose state
// is in `returns`, by the job's name from `author`. Each folder is listed once; only states that
// are there are read, and a state that is unreadable counts for nothing. Runs on a worker: the
// folders may lie on a share that answers slowly.
std::map<std::string, JobMark> ReadJobMarks(const std::vector<std::string>& recordings,
                                            const std::string& outbox, const std::string& returns,
                                            const std::string& author);

} // namespace dictation
