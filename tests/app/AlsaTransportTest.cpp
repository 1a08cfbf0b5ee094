// The recorder end to end on real sound: the private sound server's "USB Headset" records what is
// played into its sink, playback goes to that sink, the receiver is emulated, and the waits are
// real. What was recorded must be one file with its two sections, as long as the time recorded.
// Built twice: on PulseAudio, and on PipeWire through tests/support/on-pipewire. PipeWire matches
// rates adaptively, so sound is checked for its length, pitch and gaps, never for exact samples.
#include "ToneCheck.h"
#include "WindowFixture.h"
#include "platform/wave/AlsaWaveService.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace apptest {
namespace {

std::string Output(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, p))
            out += buffer;
        ::pclose(p);
    }
    return out;
}

// Starts `command`, which sends its output somewhere of its own, in the background; its process id.
int Background(const std::string& command) {
    return std::atoi(Output(command + " 2>/dev/null & echo $!").c_str());
}

class AlsaTransport : public WindowTest {
protected:
    void SetUp() override {
        if (!std::getenv("PULSE_SERVER"))
            GTEST_SKIP() << "no private sound server: run through scripts/test (scripts/services/pulseaudio)";
        WindowTest::SetUp();
        // Real sound devices and the real clock; the window's timers still tick when told.
        platform::SetWaveService(nullptr);
        platform::SetCaptureDevices(nullptr);
        platform::SetClock(nullptr);
    }
    static double Now() {
        using namespace std::chrono;
        return duration<double>(steady_clock::now().time_since_epoch()).count();
    }
    static void Wait(double seconds) {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        QCoreApplication::processEvents();
    }
    // How far a recording's length may stray from the time recorded: a buffer or two of the
    // server's. PipeWire starts a stream later and matches rates adaptively, so more there.
    static double LengthSlack() {
        const char* server = std::getenv("TAVLO_TEST_SERVER");
        return server && std::string(server) == "pipewire" ? 0.45 : 0.25;
    }
    std::uint64_t Second() { return dlg->m_Player.m_pStore->Tell() / (10ull * dlg->m_Player.m_BufferSize); }
};

TEST_F(AlsaTransport, record_two_sections_save_then_play_wind_and_jump) {
    Open();
    Press(1000);
    ASSERT_TRUE(dlg->m_Recording);
    const double started = Now();
    Wait(3.3);
    Press(1002);
    const double marked = Now();
    Wait(2.2);
    Press(1003);
    const double recorded = Now() - marked + (marked - started);
    EXPECT_EQ(Commands(), (std::vector<int>{0xC0, 0xC1, 0xC0, 0xC1, 0xC0}));

    ASSERT_EQ(g_FileList.size(), 1u);
    const std::string file = (rec / g_FileList.front()).string();
    const std::string sections = Output(std::string(TAVLO_BIN_DIR) + "/tavlo-sections " + file);
    EXPECT_NE(sections.find("1  0:00:00  0:00:03"), std::string::npos) << sections;
    EXPECT_NE(sections.find("2  0:00:03  0:00:02"), std::string::npos) << sections;
    // sox reads it, and it holds the time recorded to within a buffer or two of the server's.
    const double seconds = std::atof(Output("sox --i -D " + file).c_str());
    EXPECT_NEAR(seconds, recorded, LengthSlack()) << sections;

    // Play, and fast forward at 8X for half a second (two steps of 1 s).
    Press(1001);
    g_Speed = 8;
    Press(1004);
    for (int i = 0; i < 2; ++i) {
        Tick(1);
        Wait(0.25);
    }
    Press(1004);
    EXPECT_GE(Second(), 2u);
    // Stop goes back to the start; from there the next section is the mark at 3 s, and the
    // previous section of section 2 is section 1.
    Press(1002);
    EXPECT_EQ(Second(), 0u);
    Press(1001);
    Press(1006);
    EXPECT_EQ(Second(), 3u);
    Tick(3);
    EXPECT_EQ(dlg->m_strSection, "Section 2");
    Press(1007);
    EXPECT_EQ(Second(), 0u);
    Press(1002);
    EXPECT_EQ(Commands(), (std::vector<int>{0xC2, 0xC0, 0xC2, 0xC0}));
    Press(1017); // File down with one file plays it again from its start
    EXPECT_TRUE(dlg->m_Playing);
    EXPECT_EQ(dlg->m_strStatus, g_FileList.front());
}

TEST_F(AlsaTransport, a_tone_recorded_from_the_receiver_is_saved_and_played_back_whole) {
    const std::string sink = std::getenv("TAVLO_TEST_SINK"), tone = (start / "tone.wav").string();
    ASSERT_EQ(std::system(("sox -n -r 48000 -c 1 -b 16 " + tone + " synth 6 sine 1000 vol 0.4").c_str()), 0);
    const int player = Background("paplay -d " + sink + " " + tone + " >/dev/null");
    Wait(0.5); // the tone is flowing
    Open();
    Press(1000);
    const double began = Now();
    Wait(3.0);
    Tick(3); // the clock tick shows the level: the tone at 0.4 of full scale, -8 dB
    EXPECT_GE(dlg->m_LevelMeter.LitSegments(), 10);
    Press(1003);
    const double recorded = Now() - began;
    ::kill(player, SIGTERM);

    // Played back into the sink, and heard on its monitor.
    const std::string heard = (start / "heard.raw").string();
    const int listener = Background("parec -d " + sink +
                                    ".monitor --raw --format=s16le --rate=44100 "
                                    "--channels=1 --latency-msec=20 > " +
                                    heard);
    Wait(0.5);
    Press(1001);
    Wait(recorded + 0.8);
    ::kill(listener, SIGTERM);
    Wait(0.2);
    ASSERT_EQ(g_FileList.size(), 1u);
    const tonecheck::ToneFacts made =
        tonecheck::Examine(tonecheck::ReadSamples(rec / g_FileList.front()), 44100);
    const tonecheck::ToneFacts played = tonecheck::Examine(tonecheck::ReadSamples(heard), 44100);
    for (const auto& [what, facts] : {std::pair{"recorded", made}, std::pair{"played", played}}) {
        SCOPED_TRACE(what);
        RecordProperty(std::string(what) + "Seconds", std::to_string(facts.SoundSeconds));
        RecordProperty(std::string(what) + "Hz", std::to_string(facts.Hz));
        RecordProperty(std::string(what) + "GapMs", std::to_string(facts.LongestGapMs));
        EXPECT_NEAR(facts.SoundSeconds, recorded, LengthSlack() + 0.05);
        EXPECT_NEAR(facts.Hz, 1000.0, 20.0);
        EXPECT_LT(facts.LongestGapMs, 5.0);
    }
    EXPECT_NEAR(made.Seconds, recorded, LengthSlack());

    // Again at 1.5x: two thirds of the time, at the same pitch.
    const std::string fast = (start / "fast.raw").string();
    Press(1002);
    for (int step = 0; step < 5; ++step)
        dlg->Apply(TransportEvent::SpeedUp);
    ASSERT_EQ(dlg->m_strSpeed, "1.5x");
    const int fastListener = Background("parec -d " + sink +
                                        ".monitor --raw --format=s16le --rate=44100 "
                                        "--channels=1 --latency-msec=20 > " +
                                        fast);
    Wait(0.5);
    Press(1001);
    Wait(recorded / 1.5 + 0.8);
    ::kill(fastListener, SIGTERM);
    Wait(0.2);
    const tonecheck::ToneFacts quick = tonecheck::Examine(tonecheck::ReadSamples(fast), 44100);
    RecordProperty("fastSeconds", std::to_string(quick.SoundSeconds));
    RecordProperty("fastHz", std::to_string(quick.Hz));
    RecordProperty("fastGapMs", std::to_string(quick.LongestGapMs));
    EXPECT_NEAR(quick.SoundSeconds, recorded / 1.5, LengthSlack() + 0.1);
    EXPECT_NEAR(quick.Hz, 1000.0, 20.0);
    EXPECT_LT(quick.LongestGapMs, 5.0);
}

// A mark costs no sound: twenty of them while a steady sine plays into the receiver, and the sine
// runs on through every one (PulseAudio's null sink is sample-exact; PipeWire, which resamples
// adaptively, is held to no gaps), the file as long as the time recorded, each section where its
// mark was made.
TEST_F(AlsaTransport, twenty_marks_leave_a_steady_sine_unbroken_and_the_file_as_long_as_the_time_recorded) {
    const std::string sink = std::getenv("TAVLO_TEST_SINK"), tone = (start / "sine.wav").string();
    const char* server = std::getenv("TAVLO_TEST_SERVER");
    const bool exact = !server || std::string(server) != "pipewire";
    std::string module;
    int player = 0;
    if (exact) {
        module = Output("pactl load-module module-sine sink=" + sink + " frequency=443");
    } else {
        ASSERT_EQ(std::system(("sox -n -r 48000 -c 1 -b 16 " + tone + " synth 8 sine 443 vol 0.4").c_str()),
                  0);
        player = Background("paplay -d " + sink + " " + tone + " >/dev/null");
    }
    Wait(0.5); // the tone is flowing
    Open();
    g_Format = "48000"; // the sink's own rate: nothing resampled on PulseAudio
    Press(1000);
    const double began = Now();
    std::vector<double> marks;
    for (int mark = 0; mark < 20; ++mark) {
        Wait(0.17);
        Press(1002);
        marks.push_back(Now() - began);
    }
    Wait(0.3);
    Press(1003);
    const double recorded = Now() - began;
    if (exact)
        Output("pactl unload-module " + module);
    else
        ::kill(player, SIGTERM);

    ASSERT_EQ(g_FileList.size(), 1u);
    const fs::path file = rec / g_FileList.front();
    const std::vector<std::int16_t> samples = tonecheck::ReadSamples(file);
    const double held = static_cast<double>(samples.size()) / 48000;
    RecordProperty("heldSeconds", std::to_string(held));
    RecordProperty("recordedSeconds", std::to_string(recorded));
    EXPECT_NEAR(held, recorded, LengthSlack());
    if (exact)
        EXPECT_EQ(tonecheck::PhaseBreaks(samples), 0u) << platform::AlsaXruns() << " xruns";
    else
        EXPECT_LT(tonecheck::Examine(samples, 48000).LongestGapMs, 5.0);
    const std::vector<std::uint32_t> starts = SectionStarts(file);
    ASSERT_EQ(starts.size(), 21u);
    for (std::size_t i = 0; i < marks.size(); ++i) {
        // The window's clock starts a little before Record returns.
        EXPECT_LE(starts[i + 1], marks[i] + 0.2) << i;
        EXPECT_GT(starts[i + 1] + 1.0, marks[i]) << i;
    }
}

// A chosen microphone that leaves the sound server mid-recording (unplugged, its module unloaded):
// the server would move the stream to its default source, so the recording is saved and says so
// instead of going on from another microphone.
TEST_F(AlsaTransport, a_chosen_input_removed_from_the_server_saves_the_recording_and_says_so) {
    const std::string sink = Output("pactl load-module module-null-sink sink_name=tavlo_doomed");
    const std::string source =
        Output("pactl load-module module-remap-source master=tavlo_doomed.monitor "
               "source_name=tavlo_doomed_mic source_properties=device.description=Doomed");
    ASSERT_FALSE(source.empty());
    Open();
    g_RecordInput = "Doomed";
    Press(1000);
    ASSERT_TRUE(dlg->m_Recording);
    Wait(1.0);
    Output("pactl unload-module " + source);
    Output("pactl unload-module " + sink);
    for (int second = 0; second < 20 && dlg->m_Recording; ++second) {
        Wait(0.1);
        Tick(3);
    }
    EXPECT_FALSE(dlg->m_Recording);
    EXPECT_EQ(dlg->m_strStatus, "Input lost: Doomed");
    ASSERT_EQ(g_FileList.size(), 1u);
    EXPECT_GT(fs::file_size(rec / g_FileList.front()), 44u);
}

} // namespace
} // namespace apptest
