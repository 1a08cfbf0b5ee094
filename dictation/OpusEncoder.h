#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace dictation {

// Encodes a recording (any WAV the program plays) into an Ogg Opus file, mono, for speech: about
// a thirtieth of the WAV's size and still plain to a typist's ear. libopusenc resamples the rate
// the recording has; several channels are mixed down to one. Runs on a worker: it takes seconds
// for a long recording.
class OpusEncoder {
public:
    // Voice at this rate stays clear enough to type from: about 180 KB a minute.
    static constexpr int kBitsPerSecond = 24000;

    struct Outcome {
        bool Done = false;
        std::uint64_t Bytes = 0; // the Opus file's size when Done
        std::string Problem;     // why not, in plain words ("no space left on the disk")
    };

    // Writes `opus`, which must not exist yet (nothing is ever overwritten), from `wav`. `progress`
    // hears the fraction done now and then; `cancel` stops the work between two blocks. On any
    // failure (and on cancel) the half-written file is removed. The file is on disk (fsync) when
    // Done.
    static Outcome Encode(const std::string& wav, const std::string& opus, const std::string& title,
                          const std::function<void(double)>& progress, const std::atomic<bool>& cancel);
};

} // namespace dictation
