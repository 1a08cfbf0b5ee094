// Throughput of recording and playing back one minute of 44.1 kHz mono 16-bit sound, moved in
// the engine's 8820-byte pieces (a tenth of a second), by our classes and by libsndfile.
#include "wavefile/FileName.h"
#include "wavefile/WaveReader.h"
#include "wavefile/WaveWriter.h"

#include <benchmark/benchmark.h>
#include <sndfile.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr unsigned kPiece = 8820;
constexpr unsigned kPieces = 600; // 60 s
constexpr unsigned kRate = 44100;

// A private folder for the files, removed when the program ends.
struct BenchFolder {
    std::string Path;
    BenchFolder() {
        Path = (std::filesystem::temp_directory_path() / "tavlo-bench-XXXXXX").string();
        if (!mkdtemp(Path.data()))
            std::abort();
    }
    ~BenchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(Path, ec);
    }
};

const std::string& Folder() {
    static const BenchFolder folder;
    return folder.Path;
}

const std::vector<char>& Samples() {
    static const std::vector<char> samples = [] {
        std::vector<char> s(kPiece);
        for (unsigned i = 0; i < kPiece; ++i)
            s[i] = char(i * 31);
        return s;
    }();
    return samples;
}

void SetThroughput(benchmark::State& state) {
    state.SetBytesProcessed(std::int64_t(state.iterations()) * kPiece * kPieces);
}

void TavloWriter(benchmark::State& state) {
    const std::string name = Folder() + "/tavlo-write.wav";
    for (auto _ : state) {
        CWaveWriter writer(name.c_str(), kRate, 1);
        for (unsigned i = 0; i < kPieces; ++i) {
            unsigned length = kPiece;
            writer.Write(Samples().data(), &length);
        }
        writer.AddSection(12);
        writer.Close();
    }
    SetThroughput(state);
}

void SndfileWriter(benchmark::State& state) {
    const std::string name = Folder() + "/sndfile-write.wav";
    for (auto _ : state) {
        SF_INFO info{};
        info.samplerate = kRate;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* file = sf_open(name.c_str(), SFM_WRITE, &info);
        for (unsigned i = 0; i < kPieces; ++i)
            sf_write_short(file, reinterpret_cast<const short*>(Samples().data()), kPiece / 2);
        sf_close(file);
    }
    SetThroughput(state);
}

// The file both readers read: a recording of ours, which libsndfile reads as a plain WAV file.
std::string ReadTestFile() {
    const std::string name = Folder() + "/read.wav";
    if (!std::filesystem::exists(name)) {
        CWaveWriter writer(name.c_str(), kRate, 1);
        for (unsigned i = 0; i < kPieces; ++i) {
            unsigned length = kPiece;
            writer.Write(Samples().data(), &length);
        }
    }
    return name;
}

void TavloReader(benchmark::State& state) {
    g_FileName = ReadTestFile();
    std::vector<char> buffer(kPiece);
    for (auto _ : state) {
        CWaveReader reader;
        for (;;) {
            unsigned length = kPiece;
            reader.Read(buffer.data(), &length);
            if (length == 0)
                break;
            benchmark::DoNotOptimize(buffer.data());
        }
    }
    SetThroughput(state);
}

void SndfileReader(benchmark::State& state) {
    const std::string name = ReadTestFile();
    std::vector<short> buffer(kPiece / 2);
    for (auto _ : state) {
        SF_INFO info{};
        SNDFILE* file = sf_open(name.c_str(), SFM_READ, &info);
        while (sf_read_short(file, buffer.data(), sf_count_t(buffer.size())) > 0)
            benchmark::DoNotOptimize(buffer.data());
        sf_close(file);
    }
    SetThroughput(state);
}

} // namespace

BENCHMARK(TavloWriter)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SndfileWriter)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(TavloReader)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SndfileReader)->Unit(benchmark::kMillisecond)->UseRealTime();
