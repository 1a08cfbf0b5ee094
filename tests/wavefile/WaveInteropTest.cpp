// Our files in the hands of real WAV tools (sox, libsndfile), and theirs in ours.
#include "WaveTestFiles.h"
#include "wavefile/FileName.h"
#include "wavefile/WaveReader.h"
#include "wavefile/WaveWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>
#ifdef TAVLO_HAVE_SNDFILE
#include <sndfile.h>
#endif

using namespace wavetest;

namespace {

std::string RunTool(const std::string& command) {
    std::string out;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return out;
    char buffer[4096];
    while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe))
        out.append(buffer, n);
    pclose(pipe);
    return out;
}

bool HaveSox() {
    return std::system("command -v sox >/dev/null 2>&1") == 0;
}

// The "data" chunk found by walking the chunks as the RIFF rules say: (offset of the first
// sample byte, data size). An independent answer to compare the reader's search with.
std::pair<std::size_t, std::uint32_t> WalkToData(const Bytes& file) {
    std::size_t at = 12;
    while (at + 8 <= file.size()) {
        const std::uint32_t size = Le32(file, at + 4);
        if (std::string(file.begin() + std::ptrdiff_t(at), file.begin() + std::ptrdiff_t(at) + 4) == "data")
            return {at + 8, size};
        at += 8 + size + (size & 1);
    }
    return {0, 0};
}

// The first number that follows label in a tool's output; all bits set when there is none.
std::uint64_t NumberAfter(const std::string& text, const std::string& label) {
    const std::size_t at = text.find(label);
    if (at == std::string::npos)
        return ~0ull;
    std::size_t digits = text.find_first_of("0123456789", at + label.size());
    if (digits == std::string::npos)
        return ~0ull;
    return std::stoull(text.substr(digits));
}

class WaveInteropTest : public ::testing::Test {
protected:
    TempDir dir;

    static void WriteSeconds(CWaveWriter& writer, const Bytes& samples) {
        for (std::size_t at = 0; at < samples.size(); at += 8820) {
            unsigned length = unsigned(std::min<std::size_t>(8820, samples.size() - at));
            writer.Write(reinterpret_cast<const char*>(samples.data() + at), &length);
        }
    }

    // Three recordings of the program: closed with marks, closed without, cut off by a crash
    // after 2.5 s (its header covers the first 2 s). Each holds 2 s = 88200 frames for a player.
    std::vector<std::string> OurRecordings(const Bytes& samples) {
        const std::string marked = dir.Path("marked.wav"), plain = dir.Path("plain.wav"),
                          cut = dir.Path("cut.wav");
        {
            CWaveWriter writer(marked.c_str(), 44100, 1);
            WriteSeconds(writer, samples);
            writer.AddSection(1);
            writer.AddSection(0);
        }
        {
            CWaveWriter writer(plain.c_str(), 44100, 1);
            WriteSeconds(writer, samples);
        }
        Bytes longer = samples;
        longer.resize(samples.size() + 44100);
        EXPECT_EXIT(
            {
                auto* writer = new CWaveWriter(cut.c_str(), 44100, 1);
                WriteSeconds(*writer, longer);
                _exit(0);
            },
            ::testing::ExitedWithCode(0), "");
        return {marked, plain, cut};
    }
};

TEST_F(WaveInteropTest, SoxReadsOurRecordingsWithTheirFormatAndLength) {
    if (!HaveSox())
        GTEST_SKIP() << "sox is not installed";
    for (const std::string& file : OurRecordings(Ramp(176400))) {
        SCOPED_TRACE(file);
        const std::string info = RunTool("sox --i '" + file + "'");
        EXPECT_EQ(NumberAfter(info, "Channels"), 1u) << info;
        EXPECT_EQ(NumberAfter(info, "Sample Rate"), 44100u) << info;
        EXPECT_EQ(NumberAfter(info, "Precision"), 16u) << info;
        const std::size_t duration = std::min(info.find("Duration"), info.size());
        EXPECT_EQ(NumberAfter(info.substr(duration), "="), 88200u) << "samples in the duration line\n"
                                                                   << info;
        const std::string stat = RunTool("sox '" + file + "' -n stat");
        EXPECT_EQ(NumberAfter(stat, "Samples read:"), 88200u) << stat;
        EXPECT_EQ(stat.find("FAIL"), std::string::npos) << stat;
    }
}

TEST_F(WaveInteropTest, LibsndfileReadsOurRecordingsSampleForSample) {
#ifndef TAVLO_HAVE_SNDFILE
    GTEST_SKIP() << "libsndfile was not found at build time";
#else
    const Bytes samples = Ramp(176400, 11);
    for (const std::string& file : OurRecordings(samples)) {
        SCOPED_TRACE(file);
        SF_INFO info{};
        SNDFILE* sf = sf_open(file.c_str(), SFM_READ, &info);
        ASSERT_NE(sf, nullptr) << sf_strerror(nullptr);
        EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
        EXPECT_EQ(info.channels, 1);
        EXPECT_EQ(info.samplerate, 44100);
        EXPECT_EQ(info.frames, 88200);
        std::vector<short> read(88200 + 10);
        EXPECT_EQ(sf_read_short(sf, read.data(), sf_count_t(read.size())), 88200);
        sf_close(sf);
        for (std::size_t i = 0; i < 88200; ++i)
            ASSERT_EQ(std::uint16_t(read[i]), Le16(samples, 2 * i)) << "frame " << i;
    }
#endif
}

struct Format {
    int channels;
    int bits;
    int rate;
};

const std::vector<Format> kFormats = {{1, 8, 44100},  {1, 16, 48000}, {2, 8, 48000},
                                      {2, 16, 44100}, {1, 16, 44100}, {2, 16, 48000}};

// Opens a file made by another tool and checks what the reader makes of it against a walk of
// its chunks.
void ExpectReadAsTheToolWroteIt(const std::string& file, const Format& f, std::uint32_t frames) {
    const Bytes bytes = ReadFile(file);
    const auto [dataAt, dataSize] = WalkToData(bytes);
    ASSERT_NE(dataAt, 0u);
    ASSERT_EQ(dataSize, frames * unsigned(f.channels * f.bits / 8));
    g_FileName = file;
    CWaveReader reader;
    unsigned rate = 0;
    unsigned short bits = 0, channels = 0;
    reader.GetFormat(&rate, &bits, &channels);
    EXPECT_EQ(rate, unsigned(f.rate));
    EXPECT_EQ(bits, f.bits);
    EXPECT_EQ(channels, f.channels);
    EXPECT_EQ(reader.Tell(), dataAt);
    EXPECT_EQ(reader.GetLength(), dataSize);
    EXPECT_EQ(reader.m_pFirstSection, nullptr);
    Bytes read(dataSize + 100);
    unsigned length = unsigned(read.size());
    reader.Read(reinterpret_cast<char*>(read.data()), &length);
    ASSERT_EQ(length, dataSize);
    EXPECT_TRUE(std::equal(read.begin(), read.begin() + dataSize, bytes.begin() + std::ptrdiff_t(dataAt)));
}

TEST_F(WaveInteropTest, FilesMadeBySoxOpenWithTheirLengthAndDataStart) {
    if (!HaveSox())
        GTEST_SKIP() << "sox is not installed";
    for (const Format& f : kFormats) {
        SCOPED_TRACE(std::to_string(f.channels) + " ch " + std::to_string(f.bits) + " bit " +
                     std::to_string(f.rate));
        const std::string file = dir.Path("sox.wav");
        const std::string out =
            RunTool("sox -D -n -r " + std::to_string(f.rate) + " -c " + std::to_string(f.channels) + " -b " +
                    std::to_string(f.bits) + " '" + file + "' synth 0.5 sine 440");
        ASSERT_EQ(out.find("FAIL"), std::string::npos) << out;
        ExpectReadAsTheToolWroteIt(file, f, unsigned(f.rate / 2));
    }
}

TEST_F(WaveInteropTest, FilesMadeByLibsndfileWithListChunksOpenWithTheirLengthAndDataStart) {
#ifndef TAVLO_HAVE_SNDFILE
    GTEST_SKIP() << "libsndfile was not found at build time";
#else
    for (const Format& f : kFormats) {
        SCOPED_TRACE(std::to_string(f.channels) + " ch " + std::to_string(f.bits) + " bit " +
                     std::to_string(f.rate));
        const std::string file = dir.Path("sndfile.wav");
        SF_INFO info{};
        info.samplerate = f.rate;
        info.channels = f.channels;
        info.format = SF_FORMAT_WAV | (f.bits == 8 ? SF_FORMAT_PCM_U8 : SF_FORMAT_PCM_16);
        SNDFILE* sf = sf_open(file.c_str(), SFM_WRITE, &info);
        ASSERT_NE(sf, nullptr) << sf_strerror(nullptr);
        // Strings set before the first sample go into a LIST chunk ahead of "data".
        sf_set_string(sf, SF_STR_TITLE, "Interview, take 1");
        sf_set_string(sf, SF_STR_COMMENT, "Tavlo interop");
        const std::uint32_t frames = unsigned(f.rate / 4);
        std::vector<short> samples(frames * unsigned(f.channels));
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = short((i * 37) % 20000 - 10000);
        ASSERT_EQ(sf_write_short(sf, samples.data(), sf_count_t(samples.size())), sf_count_t(samples.size()));
        sf_close(sf);
        const Bytes bytes = ReadFile(file);
        ASSERT_NE(std::search(bytes.begin(), bytes.begin() + 200, std::begin("LIST"), std::end("LIST") - 1),
                  bytes.begin() + 200)
            << "libsndfile put no LIST chunk before the samples";
        ExpectReadAsTheToolWroteIt(file, f, frames);
    }
#endif
}

} // namespace
