#pragma once
#include <string>

// The typist's word on a job: `ID.state` in the typist's Done folder, written by the typist's
// side only (docs/handoff.md). It travels back to the author, whose side only reads it.
struct JobState {
    std::string Id;
    std::string State; // "typing" or "done"
    std::string Typist;
    std::string Changed; // local time, "YYYY-MM-DD hh:mm:ss"
};

inline constexpr const char* kJobTyping = "typing";
inline constexpr const char* kJobDone = "done";

// `<folder>/<id>.state`.
std::string JobStatePath(const std::string& folder, const std::string& id);
// The state file's text.
std::string FormatJobState(const JobState& state);
// Reads `<folder>/<id>.state` as a bounded regular file (no link, no FIFO); false with `problem`
// when it is missing ("" then), cannot be read or does not name `id`.
bool ReadJobState(const std::string& folder, const std::string& id, JobState& state, std::string& problem);
// Writes the state to a temporary dot-name in `folder` and renames it to `<id>.state`, so that a
// sync engine or a reader never sees half a file. Nothing else in the folder is touched.
bool WriteJobState(const std::string& folder, const JobState& state, std::string& problem);
