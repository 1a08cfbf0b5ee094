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

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Played out: the reader is exhausted, so every buffer stays idle once the device has given it
// back, i.e. once the last one has been heard.
class BenchPlayer : public CWavePlayer {
public:
    bool AllBack() {
        m_FreeQueue.Lock();
        const bool all = m_FreeQueue.Size() == 8;
        m_FreeQueue.Unlock();
        return all;
    }
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
    player.Start(); // returns once the first buffers are filled, so "all back" means played out
    while (!player.AllBack())
        platform::Clock().Sleep(50);
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
