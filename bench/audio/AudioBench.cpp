// Records or plays through the engine for the audio benchmark (bench/audio/run.sh), so that the
// process can be measured against arecord and aplay doing the same work.
//   audio_bench record FILE SECONDS   record from the receiver (or the default input) at 44100 Hz
//   audio_bench play FILE             play FILE to the end on the default output
#include "FileName.h"
#include "WavePlayer.h"
#include "WaveReader.h"
#include "WaveRecorder.h"
#include "WaveWriter.h"
#include "platform/Clock.h"

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

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "record") == 0)
        return Record(argv[2], static_cast<unsigned>(std::atoi(argv[3])));
    if (argc == 3 && std::strcmp(argv[1], "play") == 0)
        return Play(argv[2]);
    std::fprintf(stderr, "usage: audio_bench record FILE SECONDS | audio_bench play FILE\n");
    return 2;
}
