#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One dictation job as its `ID.job` file describes it (docs/handoff.md has the format): the
// author's recording, sent as `Audio` beside the job file, for a typist to type.
struct DictationJob {
    std::string Id;
    std::string Author;
    std::string WorkType;
    std::string Priority; // "normal", "high" or "urgent"
    std::string Note;
    std::string Recorded;           // local time the recording began, "YYYY-MM-DD hh:mm:ss"
    unsigned Length = 0;            // whole seconds
    std::vector<unsigned> Sections; // each section's start, whole seconds
    std::string Wav;
    std::string WavSha256;
    std::string Audio; // the Opus file's name, in the same folder
    std::uint64_t AudioBytes = 0;
};

// A job file is at most this large; a reader refuses anything larger without reading it.
inline constexpr std::size_t kMaxJobFileBytes = 64 * 1024;

// What reading one job file gave: the job, or why it cannot be read.
struct JobFileRead {
    bool Ok = false;
    DictationJob Job;
    std::string Problem;
};

// The job in `text`, the contents of a file named `<stem>.job`: INI text with Version, Id and
// Audio present, Id equal to `stem`, and an Audio name that stays in the job's folder.
JobFileRead ParseJobText(const std::string& text, const std::string& stem);
// Reads `path` (a `*.job` file) as a bounded regular file, never following a link nor waiting on
// a FIFO, then parses it with the file's stem. Any thread may call it.
JobFileRead ReadJobFile(const std::string& path);
// The same for a file whose Id is `stem` under another name (a sync engine's conflict copy).
JobFileRead ReadJobFile(const std::string& path, const std::string& stem);

// Urgent jobs before high ones before the rest.
int PriorityRank(const std::string& priority);
