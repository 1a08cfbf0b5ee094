// Sends one recording to a private outbox three times and prints the sizes and the time a
// minute of recording takes to send (the checksum and the encode, the renames).
//   tavlo_send_bench RECORDING.wav
#include "JobFile.h"
#include "JobSender.h"
#include "SectionsReport.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tavlo_send_bench RECORDING.wav\n");
        return 2;
    }
    WaveSummary summary;
    std::string error;
    if (!DescribeWaveFile(argv[1], summary, error)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    const double minutes = summary.LengthSeconds() / 60;
    const fs::path root = fs::temp_directory_path() / "tavlo-send-bench";
    fs::remove_all(root);
    std::printf("%s: %u Hz, %u bits, %u channel(s), %.1f s, WAV %.2f MB/min\n", argv[1], summary.SampleRate,
                summary.BitsPerSample, summary.Channels, summary.LengthSeconds(),
                static_cast<double>(fs::file_size(argv[1])) / 1e6 / minutes);
    std::atomic<bool> cancel{false};
    for (int round = 1; round <= 3; ++round) {
        const fs::path outbox = root / std::to_string(round);
        fs::create_directories(outbox);
        const auto begin = std::chrono::steady_clock::now();
        const dictation::SendOutcome sent =
            dictation::SendJob({argv[1], "Bench", "Letter", "normal", "", outbox.string()}, nullptr, cancel);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        if (!sent.Sent) {
            std::fprintf(stderr, "%s\n", sent.Message.c_str());
            return 1;
        }
        const auto opus = fs::file_size(outbox / (sent.Id + dictation::kAudioSuffix));
        std::printf("round %d: Opus %.1f KB/min (%.1f%% of the WAV), %.3f s to send a minute\n", round,
                    static_cast<double>(opus) / 1e3 / minutes,
                    100.0 * static_cast<double>(opus) / static_cast<double>(fs::file_size(argv[1])),
                    seconds / minutes);
    }
    fs::remove_all(root);
    return 0;
}
