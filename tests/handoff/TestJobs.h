#pragma once
#include <string>
#include <vector>

namespace handofftest {

// What a test job says of itself.
struct TestJob {
    std::string Id;
    unsigned Seconds = 3;
    std::string Priority = "normal";
    std::string Author = "Maria Lopez";
    std::string WorkType = "Letter";
    std::vector<unsigned> Sections = {0};
};

// Sends a job as the author's side does (docs/handoff.md): a tone of job.Seconds encoded to Ogg
// Opus and the job file, both written in `<outbox>/.tavlo-spool/` and renamed into the outbox,
// the audio first and the job file last. Returns the audio's size; throws std::runtime_error.
unsigned long WriteTestJob(const std::string& outbox, const TestJob& job);

} // namespace handofftest
