#pragma once
#include <string>
#include <vector>

namespace handofftest {

// A recording to send: its name's stem, who dictated it and what for.
struct TestJob {
    std::string Stem; // e.g. "20261210-194651"
    unsigned Seconds = 3;
    std::string Priority = "normal";
    std::string Author = "Maria Lopez";
    std::string WorkType = "Letter";
    std::vector<unsigned> Sections = {0}; // each section's start, whole seconds
};

// A sectioned 44.1 kHz mono recording of a tone that rises each second, at `wav`.
void WriteToneRecording(const std::string& wav, unsigned seconds, const std::vector<unsigned>& sections);

// Sends the job with the author's side's own Send (dictation::SendJob) from a recording made for
// it in a scratch folder. Returns the job's Id; throws std::runtime_error with the reason.
std::string WriteTestJob(const std::string& outbox, const TestJob& job);

} // namespace handofftest
