#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace dictation {

// A dictation job as its "ID.job" file tells it: INI text, section [Job], UTF-8, at most 64 KiB.
// The author's side writes it once, beside the audio, and never changes it; the typist's side only
// reads it.
inline constexpr std::size_t kMaxJobBytes = 64 * 1024;
inline constexpr const char* kJobSuffix = ".job";
inline constexpr const char* kAudioSuffix = ".opus";

struct Job {
    std::string Id;
    std::string Author;
    std::string WorkType;
    std::string Priority = "normal";     // "normal", "high" or "urgent"
    std::string Note;                    // one line
    std::string Recorded;                // "YYYY-MM-DD hh:mm:ss", local time
    std::uint32_t Length = 0;            // whole seconds
    std::vector<std::uint32_t> Sections; // each section's start, whole seconds
    std::string Wav;                     // the recording's file name
    std::string WavSha256;               // 64 lowercase hex digits of the whole WAV
    std::string Audio;                   // the Opus file's name
    std::uint64_t AudioBytes = 0;
};

// The priorities a job may carry, in rising order.
inline constexpr const char* kPriorities[] = {"normal", "high", "urgent"};
bool IsPriority(const std::string& text);

// The file's text. Texts are written on one line each (line breaks and other control characters
// become blanks) and read back as they were given, blanks at their ends aside.
std::string JobText(const Job& job);

struct JobReading {
    bool Read = false;
    Job Contents;        // when Read
    std::string Problem; // why not, in plain words
};
// The job a file's text describes; `stem` is the file's name without ".job". Text that is no job
// (no [Job] section, no Version 1, no Id or Audio, an Id other than the name, bytes that are not
// UTF-8) is refused with the reason.
JobReading ParseJob(const std::string& text, const std::string& stem);
// ParseJob on a file read as a SmallFile: a link, a FIFO, a file larger than kMaxJobBytes or a
// missing one is refused. Any thread.
JobReading ReadJobFile(const std::string& path);

} // namespace dictation
