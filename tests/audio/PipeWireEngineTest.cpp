// The engine on ALSA through a private PipeWire: a tone played into a null sink is recorded from
// its monitor. Rates are matched adaptively, so the recording is checked for length, pitch and gaps.
#include "EngineTestSupport.h"
#include "ToneCheck.h"
#include "WaveWriter.h"
#include "platform/wave/AlsaCaptureDevices.h"

#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>

using namespace audiotest;

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Six seconds of a 1 kHz tone at 48 kHz, 16-bit mono, amplitude 12000.
std::string Tone() {
    std::string s(6 * 48000 * 2, '\0');
    for (std::size_t i = 0; i < s.size() / 2; ++i) {
        const auto v = static_cast<std::int16_t>(std::lround(12000 * std::sin(2 * M_PI * 1000 * i / 48000)));
        std::memcpy(&s[2 * i], &v, 2);
    }
    return s;
}

// ALSA reads its configuration once per process unless told to read it again.
void UseAlsaConfig(const std::string& path) {
    setenv("ALSA_CONFIG_PATH", path.c_str(), 1);
    snd_config_update_free_global();
}

struct Case {
    const char* Input;   // what records
    unsigned Rate;       // of the recording
    const char* FedSink; // the environment variable naming the sink the tone is played into
    bool Receiver;       // the receiver is there ("USB Headset")
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.Input;
}

class PipeWireEngine : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        if (Env("TAVLO_PIPEWIRE_DIR").empty() || Env("PULSE_SERVER") != Env("TAVLO_PIPEWIRE_SERVER"))
            GTEST_SKIP() << "no private PipeWire: run through scripts/test (scripts/services/pipewire)";
        char pattern[] = "/tmp/tavlo-pipewire-test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_Dir = pattern;
        m_Config = Env("ALSA_CONFIG_PATH");
    }
    void TearDown() override {
        if (m_Dir.empty())
            return;
        UseAlsaConfig(m_Config);
        unsetenv("PULSE_SINK");
        std::filesystem::remove_all(m_Dir);
    }
    std::string m_Dir, m_Config;
};

TEST_P(PipeWireEngine, ThreeSecondsOfAToneComeBackAsThreeSecondsOfThatToneWithoutGaps) {
    const Case c = GetParam();
    if (!c.Receiver)
        UseAlsaConfig(Env("TAVLO_ALSA_CONFIG_WITHOUT_RECEIVER"));
    // The player's ALSA stream goes to the sink the input under test hears.
    setenv("PULSE_SINK", Env(c.FedSink).c_str(), 1);
    MemoryStore tone(48000, 16, 1, Tone());
    CWavePlayer player;
    ASSERT_TRUE(player.SetDataStore(&tone));
    ASSERT_TRUE(player.Start());
    platform::Clock().Sleep(300); // the tone is flowing before recording begins

    CWaveRecorder recorder;
    EXPECT_EQ(recorder.DeviceId() != platform::WAVE_MAPPER, c.Receiver);
    const std::string path = m_Dir + "/tone.wav";
    CWaveWriter writer(path.c_str(), c.Rate, 1);
    ASSERT_TRUE(recorder.SetDataStore(&writer));
    ASSERT_TRUE(recorder.Start());
    platform::Clock().Sleep(3000);
    recorder.Stop();
    writer.Close();
    player.Stop();

    const tonecheck::ToneFacts facts = tonecheck::Examine(tonecheck::ReadSamples(path), c.Rate);
    // Three seconds, less what the capture stream takes to start (up to about a tenth here), never
    // more than a buffer over.
    EXPECT_GT(facts.Seconds, 2.7);
    EXPECT_LT(facts.Seconds, 3.1);
    EXPECT_GT(facts.SoundSeconds, facts.Seconds - 0.3); // sound from the start (the stream opens) to the end
    EXPECT_NEAR(facts.Hz, 1000.0, 20.0);
    EXPECT_LT(facts.LongestGapMs, 5.0);
}

// What the settings dialog shows for the default input: PipeWire's name for it.
TEST(PipeWireInput, TheDefaultInputIsNamedAsPipeWireNamesIt) {
    if (Env("TAVLO_PIPEWIRE_DIR").empty())
        GTEST_SKIP() << "no private PipeWire: run through scripts/test (scripts/services/pipewire)";
    EXPECT_EQ(platform::AlsaCaptureDevices().DefaultInputName(), "Monitor of Built-in-Microphone");
}

INSTANTIATE_TEST_SUITE_P(Inputs, PipeWireEngine,
                         ::testing::Values(Case{"receiver", 44100, "TAVLO_PIPEWIRE_SINK", true},
                                           Case{"receiver at 48 kHz", 48000, "TAVLO_PIPEWIRE_SINK", true},
                                           Case{"default input", 44100, "TAVLO_PIPEWIRE_MIC_SINK", false}));

} // namespace
