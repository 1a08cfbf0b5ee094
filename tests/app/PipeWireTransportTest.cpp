// The recorder's window on PipeWire (scripts/services/pipewire, through tests/support/on-pipewire):
// a tone is played into the sink whose monitor is the receiver's microphone, the window records
// it, saves, and plays the file back into the same sink, whose monitor is recorded on the side.
// PipeWire matches rates adaptively, so both are checked for length, pitch and gaps, not for
// exact samples.
#include "ToneCheck.h"
#include "TransportFixture.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace transporttest {
namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Starts `command`, which sends its output somewhere of its own, in the background; its process id.
int Background(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen((command + " 2>/dev/null & echo $!").c_str(), "r")) {
        char line[64];
        if (std::fgets(line, sizeof line, p))
            out = line;
        ::pclose(p);
    }
    return std::atoi(out.c_str());
}

std::vector<std::int16_t> Samples(const std::string& path, std::size_t skip) {
    std::ifstream f(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(bytes.size() > skip ? (bytes.size() - skip) / 2 : 0);
    std::memcpy(samples.data(), bytes.data() + skip, samples.size() * 2);
    return samples;
}

class PipeWireTransport : public TransportWindow {
protected:
    void SetUp() override {
        if (Env("TAVLO_PIPEWIRE_DIR").empty() || Env("PULSE_SERVER") != Env("TAVLO_PIPEWIRE_SERVER"))
            GTEST_SKIP() << "no private PipeWire: run through scripts/test (scripts/services/pipewire)";
        TransportWindow::SetUp();
        // Real sound devices and the real clock; the window's timers still tick when told.
        platform::SetWaveService(nullptr);
        platform::SetCaptureDevices(nullptr);
        platform::SetClock(nullptr);
    }
    void TearDown() override {
        for (const int pid : m_Started)
            if (pid > 0)
                ::kill(pid, SIGTERM);
        TransportWindow::TearDown();
    }
    static double Now() {
        using namespace std::chrono;
        return duration<double>(steady_clock::now().time_since_epoch()).count();
    }
    static void Wait(double seconds) {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        QCoreApplication::processEvents();
    }
    int Start(const std::string& command) {
        m_Started.push_back(Background(command));
        return m_Started.back();
    }
    std::vector<int> m_Started;
};

TEST_F(PipeWireTransport, a_tone_recorded_from_the_receiver_is_saved_and_played_back_whole) {
    const std::string sink = Env("TAVLO_TEST_SINK");
    const std::string tone = (start / "tone.wav").string();
    ASSERT_EQ(std::system(("sox -n -r 48000 -c 1 -b 16 " + tone + " synth 6 sine 1000 vol 0.4").c_str()), 0);
    const int player = Start("paplay -d " + sink + " " + tone + " >/dev/null");
    Wait(0.5); // the tone is flowing

    Open();
    ASSERT_TRUE(dlg->m_Recorder.Input().Receiver) << "the receiver's microphone records";
    Press(1000);
    ASSERT_TRUE(dlg->m_Recording);
    const double began = Now();
    Wait(3.0);
    Tick(3); // the clock tick shows the level: the tone at 0.4 of full scale, -8 dB
    EXPECT_GE(dlg->m_LevelMeter.LitSegments(), 10);
    Press(1003);
    const double recorded = Now() - began;
    ::kill(player, SIGTERM);
    Wait(0.3);

    ASSERT_EQ(g_FileList.size(), 1u);
    const std::string file = (rec / g_FileList.front()).string();
    const tonecheck::ToneFacts made = tonecheck::Examine(Samples(file, 44), 44100);
    RecordProperty("recordedSeconds", std::to_string(made.Seconds));
    RecordProperty("recordedHz", std::to_string(made.Hz));
    RecordProperty("recordedGapMs", std::to_string(made.LongestGapMs));
    EXPECT_NEAR(made.Seconds, recorded, 0.25);
    EXPECT_GT(made.SoundSeconds, made.Seconds - 0.3);
    EXPECT_NEAR(made.Hz, 1000.0, 20.0);
    EXPECT_LT(made.LongestGapMs, 5.0);

    // Played back into the sink, and heard on its monitor.
    const std::string heard = (start / "heard.raw").string();
    Start("parec -d " + sink +
          ".monitor --raw --format=s16le --rate=44100 --channels=1 --latency-msec=20 > " + heard);
    Wait(0.5);
    Press(1001);
    ASSERT_TRUE(dlg->m_Playing);
    Wait(made.Seconds + 0.8);
    for (const int pid : m_Started)
        ::kill(pid, SIGTERM);
    m_Started.clear();
    Wait(0.2);
    const tonecheck::ToneFacts played = tonecheck::Examine(Samples(heard, 0), 44100);
    RecordProperty("playedSeconds", std::to_string(played.SoundSeconds));
    RecordProperty("playedHz", std::to_string(played.Hz));
    RecordProperty("playedGapMs", std::to_string(played.LongestGapMs));
    EXPECT_NEAR(played.SoundSeconds, made.SoundSeconds, 0.25);
    EXPECT_NEAR(played.Hz, 1000.0, 20.0);
    EXPECT_LT(played.LongestGapMs, 5.0);
}

} // namespace
} // namespace transporttest
