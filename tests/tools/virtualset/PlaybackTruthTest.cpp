// The real Tavlo plays what it shows: what its window plays is heard on the set's speaker, so the
// tests listen there. Two files with different tones tell which one plays; a recording (speech)
// tells itself from a silent file.
#include "SetDriver.h"

#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr int kRate = 48000;

// What the speaker sounds like: its level and its pitch (from the zero crossings of a pure tone).
struct Heard {
    double Rms = 0;
    double Hertz = 0;
};

class PlaybackTruth : public ::testing::Test {
protected:
    void SetUp() override { m_Folder = MakeTestFolder("tavlo-e2e-play"); }
    void TearDown() override { CleanTestFolder(m_Folder.string(), HasFailure()); }
    // A file of `seconds` of a sine at `hertz` (0: silence).
    void Tone(const char* name, int hertz, int seconds) {
        const std::string synth = hertz ? "sine " + std::to_string(hertz) + " vol 0.5" : "sine 0 vol 0";
        ASSERT_TRUE(RunCommand("sox -n -r 48000 -c 1 -b 16 '" + (m_Folder / name).string() + "' synth " +
                               std::to_string(seconds) + " " + synth + " 2>&1"));
    }
    // A second or so of the speaker, from the set's private sound server, measured by sox.
    Heard Listen(SetDriver& set) {
        const std::string log = set.Log();
        const std::size_t at = log.find("speech ");
        const fs::path speech = log.substr(at + 7, log.find('\n', at) - at - 7);
        std::string stat;
        RunCommand("PULSE_SERVER=unix:" + speech.parent_path().string() +
                       "/runtime/native timeout 2 parec -d vset_speaker.monitor --raw --format=s16le "
                       "--rate=48000 --channels=1 --latency-msec=20 | sox -t raw -r 48000 -e signed -b 16 "
                       "-c 1 - -n stat 2>&1",
                   &stat);
        const auto value = [&](const char* name) {
            const std::size_t line = stat.find(name);
            return line == std::string::npos ? 0.0 : std::atof(stat.c_str() + stat.find(':', line) + 1);
        };
        if (value("Samples read") < kRate / 4)
            return {};
        return {value("RMS     amplitude") * 32768, value("Rough   frequency")};
    }

    // Another visible window of Tavlo's than its main window, waiting a few seconds for it to show.
    static std::string OtherWindow() {
        std::string main, pid, all;
        RunCommand("xdotool search --onlyvisible --name '^Tavlo$' 2>/dev/null", &main);
        RunCommand("xdotool getwindowpid " + main, &pid);
        for (int tries = 0; tries < 50 && !pid.empty(); ++tries) {
            RunCommand("xdotool search --onlyvisible --pid " + pid + " 2>/dev/null", &all);
            std::istringstream ids(all);
            for (std::string id; ids >> id;)
                if (main.find(id) == std::string::npos)
                    return id;
            platform::Clock().Sleep(100);
        }
        return {};
    }

    fs::path m_Folder;
};

TEST_F(PlaybackTruth, file_down_while_winding_plays_the_next_file_from_its_start) {
    Tone("a.wav", 440, 60);
    Tone("b.wav", 1200, 60);
    SetDriver set(m_Folder.string());
    ASSERT_TRUE(set.Await("ready")) << set.Log();
    ASSERT_TRUE(set.ClickControl(1001));
    ASSERT_TRUE(set.Expect("C2")) << set.Log();
    Heard heard = Listen(set);
    EXPECT_NEAR(heard.Hertz, 440, 40) << "rms " << heard.Rms;
    ASSERT_TRUE(set.ClickControl(1004)); // fast forward
    platform::Clock().Sleep(1500);
    ASSERT_TRUE(set.ClickControl(1017)); // file down: the wind ends, a.wav stops, b.wav plays
    ASSERT_TRUE(set.Expect("C0") && set.Expect("C2")) << set.Log();
    platform::Clock().Sleep(500);
    heard = Listen(set);
    EXPECT_NEAR(heard.Hertz, 1200, 100) << "rms " << heard.Rms;
    EXPECT_GT(heard.Rms, 1000);
}

TEST_F(PlaybackTruth, setup_during_a_recording_then_save_then_play_plays_the_recording) {
    Tone("00-silence.wav", 0, 20); // listed first: what a rescan would make current
    SetDriver set(m_Folder.string());
    ASSERT_TRUE(set.Await("ready")) << set.Log();
    set.Send("battery 4"); // the remote's link is up: recording needs its microphone
    platform::Clock().Sleep(400);
    ASSERT_TRUE(set.ClickControl(1000));
    ASSERT_TRUE(set.Expect("C1")) << set.Log();
    platform::Clock().Sleep(1500);
    ASSERT_TRUE(set.ClickControl(1018));
    // The settings dialog is the other window on the test's X server; Escape closes it.
    const std::string dialog = OtherWindow();
    ASSERT_FALSE(dialog.empty()) << "no settings dialog";
    ASSERT_TRUE(RunCommand("xdotool windowfocus --sync " + dialog + " key Escape"));
    platform::Clock().Sleep(1500);
    ASSERT_TRUE(set.ClickControl(1003)); // File end and save
    ASSERT_TRUE(set.Expect("C0")) << set.Log();
    ASSERT_TRUE(set.ClickControl(1001));
    ASSERT_TRUE(set.Expect("C2")) << set.Log();
    platform::Clock().Sleep(300);
    const Heard heard = Listen(set);
    EXPECT_GT(heard.Rms, 300) << "the speaker is silent: Play played another file than the recording";
    EXPECT_EQ(Recordings(m_Folder).size(), 2u);
}

// Setup leaves no recording to play next: at the end of the file playback stops, and the remote
// says so instead of showing playing for ever.
TEST_F(PlaybackTruth, the_end_of_the_last_file_with_nothing_left_to_play_stops_and_tells_the_remote) {
    Tone("a.wav", 440, 3);
    const fs::path empty = m_Folder / "empty";
    fs::create_directory(empty);
    SetDriver set(m_Folder.string());
    ASSERT_TRUE(set.Await("ready")) << set.Log();
    ASSERT_TRUE(set.ClickControl(1001));
    ASSERT_TRUE(set.Expect("C2")) << set.Log();
    WriteSettings(m_Folder, empty.string());
    ASSERT_TRUE(set.ClickControl(1018));
    const std::string dialog = OtherWindow();
    ASSERT_FALSE(dialog.empty()) << "no settings dialog";
    ASSERT_TRUE(RunCommand("xdotool windowfocus --sync " + dialog + " key Escape"));
    ASSERT_TRUE(set.Expect("C0")) << set.Log();
    platform::Clock().Sleep(1500); // another second: nothing starts again
    EXPECT_LT(Listen(set).Rms, 100);
    EXPECT_TRUE(set.Alive()) << set.Log();
}

} // namespace
