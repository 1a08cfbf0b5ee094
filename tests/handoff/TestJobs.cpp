#include "TestJobs.h"

#include <opus/opusenc.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace handofftest {

namespace {

void EncodeTone(const std::string& path, unsigned seconds) {
    constexpr int kRate = 44100; // as recordings are; the encoder resamples
    int error = 0;
    OggOpusComments* comments = ope_comments_create();
    OggOpusEnc* encoder = ope_encoder_create_file(path.c_str(), comments, kRate, 1, 0, &error);
    ope_comments_destroy(comments);
    if (!encoder)
        throw std::runtime_error("cannot encode " + path + ": " + ope_strerror(error));
    std::vector<opus_int16> second(kRate);
    for (unsigned s = 0; s < seconds; ++s) {
        // A tone that steps up each second, so that a position can be heard.
        for (int i = 0; i < kRate; ++i)
            second[static_cast<std::size_t>(i)] =
                static_cast<opus_int16>(8000 * std::sin(2 * M_PI * (300 + 50 * s) * i / kRate));
        ope_encoder_write(encoder, second.data(), kRate);
    }
    ope_encoder_drain(encoder);
    ope_encoder_destroy(encoder);
}

} // namespace

unsigned long WriteTestJob(const std::string& outbox, const TestJob& job) {
    const fs::path spool = fs::path(outbox) / ".tavlo-spool";
    fs::create_directories(spool);
    const std::string audio = job.Id + ".opus";
    EncodeTone((spool / audio).string(), job.Seconds);
    const unsigned long bytes = fs::file_size(spool / audio);
    std::string sections;
    for (unsigned start : job.Sections)
        sections += (sections.empty() ? "" : ",") + std::to_string(start);
    std::ofstream(spool / (job.Id + ".job"))
        << "[Job]\nVersion=1\nId=" << job.Id << "\nAuthor=" << job.Author << "\nWorkType=" << job.WorkType
        << "\nPriority=" << job.Priority << "\nNote=\nRecorded=2026-12-10 19:46:51\nLength=" << job.Seconds
        << "\nSections=" << sections << "\nWav=" << job.Id << ".wav\nAudio=" << audio
        << "\nAudioBytes=" << bytes << "\n";
    fs::rename(spool / audio, fs::path(outbox) / audio);
    fs::rename(spool / (job.Id + ".job"), fs::path(outbox) / (job.Id + ".job"));
    return bytes;
}

} // namespace handofftest
