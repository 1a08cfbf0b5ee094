#include "TestJobs.h"

#include "JobSender.h"
#include "wavefile/WaveWriter.h"

#include <cmath>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace handofftest {

void WriteToneRecording(const std::string& wav, unsigned seconds, const std::vector<unsigned>& sections) {
    constexpr unsigned kRate = 44100;
    CWaveWriter writer(wav.c_str(), kRate, 1);
    std::vector<std::int16_t> second(kRate);
    for (unsigned s = 0; s < seconds; ++s) {
        for (unsigned i = 0; i < kRate; ++i)
            second[i] =
                static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * (300 + 50 * (s % 10)) * i / kRate));
        unsigned bytes = kRate * 2;
        writer.Write(reinterpret_cast<const char*>(second.data()), &bytes);
    }
    // The list holds each section's length but the last's, as a recording's does.
    for (std::size_t i = 1; i < sections.size(); ++i)
        writer.AddSection(sections[i] - sections[i - 1]);
    if (!writer.Close())
        throw std::runtime_error("cannot write " + wav);
}

std::string WriteTestJob(const std::string& outbox, const TestJob& job) {
    const fs::path scratch = fs::temp_directory_path() / ("tavlo-test-jobs-" + std::to_string(::getpid()));
    fs::create_directories(scratch);
    const std::string wav = (scratch / (job.Stem + ".wav")).string();
    WriteToneRecording(wav, job.Seconds, job.Sections);
    const std::atomic<bool> cancel{false};
    const dictation::SendOutcome sent =
        dictation::SendJob({wav, job.Author, job.WorkType, job.Priority, "", outbox}, nullptr, cancel);
    fs::remove(wav);
    if (!sent.Sent)
        throw std::runtime_error("cannot send " + job.Stem + ": " + sent.Message);
    return sent.Id;
}

} // namespace handofftest
