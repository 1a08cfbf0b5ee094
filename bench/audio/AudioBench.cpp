// Records or plays through the engine for the audio benchmark (bench/audio/run.sh), so that the
// process can be measured against arecord and aplay doing the same work.
//   audio_bench record FILE SECONDS   record from the receiver (or the default input) at 44100 Hz
//   audio_bench play FILE             play FILE to the end on the default output
//   audio_bench soak FILE SECONDS RATE
//                                     record a steady sine (bench/audio/soak.sh plays one into the
//                                     receiver), then prove the file whole: it holds the time
//                                     recorded within one buffer, and the sine never jumps in phase
//   audio_bench sine FILE RATE        only the phase check, on any mono 16-bit file (to try it on a
//                                     file with a known cut)
#include "FileName.h"
#include "WavePlayer.h"
#include "WaveReader.h"
#include "WaveRecorder.h"
#include "WaveWriter.h"
#include "platform/Clock.h"
#include "platform/wave/AlsaWaveService.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <sys/resource.h>

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

// Played out: the device has given back every buffer the file fills, i.e. the last one has been
// heard. The player learns it from the device's own notifications, so the bench adds no wake-up of
// its own to the process it measures (a polling loop here would be counted as the engine's).
class BenchPlayer : public CWavePlayer {
public:
    void WaitPlayedOut() {
        const std::uint64_t length = m_pStore->GetLength();
        const std::uint64_t buffers = (length + m_BufferSize - 1) / m_BufferSize;
        std::unique_lock lock(m_Lock);
        m_Wanted = buffers;
        m_PlayedOut.wait(lock, [&] { return m_Given >= m_Wanted; });
    }

protected:
    void OnBufferDone() override {
        CWavePlayer::OnBufferDone();
        std::lock_guard lock(m_Lock);
        // Only the last one wakes the waiting thread: a wake per buffer would be counted as ours.
        if (++m_Given == m_Wanted)
            m_PlayedOut.notify_one();
    }

private:
    std::mutex m_Lock;
    std::condition_variable m_PlayedOut;
    std::uint64_t m_Given = 0;
    std::uint64_t m_Wanted = ~std::uint64_t{0};
};

int Record(const char* file, unsigned seconds) {
    CWaveRecorder recorder;
    CWaveWriter writer(file, 44100, 1);
    if (!recorder.SetDataStore(&writer)) {
        std::fprintf(stderr, "audio_bench: the capture device did not open\n");
        return 1;
    }
    recorder.Start();
    platform::Clock().Sleep(seconds * 1000);
    recorder.Stop();
    writer.Close();
    return 0;
}

int Play(const char* file) {
    g_FileName = file;
    CWaveReader reader;
    BenchPlayer player;
    if (!player.SetDataStore(&reader)) {
        std::fprintf(stderr, "audio_bench: the output device did not open\n");
        return 1;
    }
    player.Start();
    player.WaitPlayedOut();
    player.Stop();
    return 0;
}

// Every sample of the file, front to back, through the program's own reader.
std::vector<std::int16_t> ReadSamples(const char* file) {
    g_FileName = file;
    CWaveReader reader;
    std::vector<std::int16_t> samples;
    samples.reserve(reader.GetLength() / 2);
    std::vector<char> block(1 << 16);
    for (;;) {
        unsigned length = static_cast<unsigned>(block.size());
        reader.Read(block.data(), &length);
        if (length == 0)
            break;
        for (unsigned i = 0; i + 1 < length; i += 2)
            samples.push_back(static_cast<std::int16_t>(static_cast<unsigned char>(block[i]) |
                                                        static_cast<unsigned char>(block[i + 1]) << 8));
    }
    return samples;
}

// A steady sine obeys s[n+1] = 2 cos(w) s[n] - s[n-1] at every sample. A lost or doubled stretch
// breaks that where it happened (unless it held whole cycles, which a tenth of a second of a 443 Hz
// tone never does), and so does a gap of silence. Returns the number of breaks.
unsigned CountPhaseJumps(const std::vector<std::int16_t>& samples, unsigned rate) {
    const auto s = [&](std::size_t n) { return static_cast<double>(samples[n]); };
    if (samples.size() < 3) {
        std::printf("soak: the file holds no sound\n");
        return 1;
    }
    double amplitude = 0;
    for (std::int16_t v : samples)
        amplitude = std::max(amplitude, std::fabs(v));
    // The tone begins and ends somewhere in a sample; from the first to the last clear peak.
    std::size_t first = 0, last = samples.size() - 1;
    while (first < last && std::fabs(s(first)) < amplitude / 2)
        ++first;
    while (last > first && std::fabs(s(last)) < amplitude / 2)
        --last;
    // cos(w) from the samples themselves, as the median over every 16th (plenty, and little memory).
    std::vector<double> ratios;
    for (std::size_t n = first + 1; n < last; n += 16)
        if (std::fabs(s(n)) > amplitude / 2)
            ratios.push_back((s(n - 1) + s(n + 1)) / (2 * s(n)));
    if (ratios.empty()) {
        std::printf("soak: no tone in the file\n");
        return 1;
    }
    std::nth_element(ratios.begin(), ratios.begin() + static_cast<long>(ratios.size() / 2), ratios.end());
    const double c = ratios[ratios.size() / 2];
    const double pi = std::acos(-1.0);
    // A jump of even a few degrees moves a sample by several per cent of the amplitude; rounding
    // to 16 bits and the server's mixing stay far below that.
    const double limit = 0.02 * amplitude;
    double worst = 0;
    unsigned jumps = 0;
    std::size_t lastJump = 0;
    for (std::size_t n = first + 1; n < last; ++n) {
        const double r = std::fabs(s(n + 1) - 2 * c * s(n) + s(n - 1));
        if (r <= limit) {
            worst = std::max(worst, r);
            continue;
        }
        if (jumps == 0 || n > lastJump + 3) {
            ++jumps;
            if (jumps <= 10)
                std::printf("soak: phase jump at %.4f s (off by %.0f of amplitude %.0f)\n",
                            static_cast<double>(n) / rate, r, amplitude);
        }
        lastJump = n;
    }
    std::printf("soak: tone %.2f Hz, amplitude %.0f, from %.4f s to %.4f s of %.4f s; largest step off "
                "the sine elsewhere %.1f (%.3f %% of the amplitude)\n",
                std::acos(c) * rate / (2 * pi), amplitude, static_cast<double>(first) / rate,
                static_cast<double>(last) / rate, static_cast<double>(samples.size()) / rate, worst,
                100 * worst / amplitude);
    return jumps;
}

int Soak(const char* file, unsigned seconds, unsigned rate) {
    std::int64_t started = 0, stopped = 0;
    {
        CWaveRecorder recorder;
        CWaveWriter writer(file, rate, 1);
        if (!recorder.SetDataStore(&writer)) {
            std::fprintf(stderr, "audio_bench: the capture device did not open\n");
            return 1;
        }
        recorder.Start(); // capture begins as it returns
        started = platform::Clock().MonotonicMs();
        platform::Clock().Sleep(seconds * 1000);
        stopped = platform::Clock().MonotonicMs(); // capture ends inside Stop, a pass later at most
        recorder.Stop();
        writer.Close();
    }
    // What the recording cost, before the check below reads the whole file into memory.
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("soak: the recording took %.2f s of CPU, peak memory %ld KiB\n",
                static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                    static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6,
                usage.ru_maxrss);
    const std::vector<std::int16_t> samples = ReadSamples(file);
    const double recorded = static_cast<double>(stopped - started) / 1000;
    const double held = static_cast<double>(samples.size()) / rate;
    const bool whole = std::fabs(held - recorded) <= 0.1;
    std::printf("soak: recorded for %.3f s, the file holds %.3f s: %s (one buffer is 0.1 s)\n", recorded,
                held, whole ? "within one buffer" : "NOT within one buffer");
    const unsigned jumps = CountPhaseJumps(samples, rate);
    std::printf("soak: %u phase jumps; xruns the device reported: %llu\n", jumps, platform::AlsaXruns());
    return whole && jumps == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "record") == 0)
        return Record(argv[2], static_cast<unsigned>(std::atoi(argv[3])));
    if (argc == 3 && std::strcmp(argv[1], "play") == 0)
        return Play(argv[2]);
    if (argc == 5 && std::strcmp(argv[1], "soak") == 0)
        return Soak(argv[2], static_cast<unsigned>(std::atoi(argv[3])),
                    static_cast<unsigned>(std::atoi(argv[4])));
    if (argc == 4 && std::strcmp(argv[1], "sine") == 0)
        return CountPhaseJumps(ReadSamples(argv[2]), static_cast<unsigned>(std::atoi(argv[3]))) == 0 ? 0 : 1;
    std::fprintf(stderr,
                 "usage: audio_bench record FILE SECONDS | audio_bench play FILE | audio_bench soak FILE "
                 "SECONDS RATE | audio_bench sine FILE RATE\n");
    return 2;
}
