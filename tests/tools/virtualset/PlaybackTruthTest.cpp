// The real Tavlo plays what it shows: what its window plays is heard on the set's speaker, so the
// tests listen there. Two files with different tones tell which one plays; a recording (speech)
// tells itself from a silent file.
#include "SetDriver.h"

#include "platform/Clock.h"
#include "ui/MainLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr int kRate = 48000;

QPoint ControlCentre(int id) {
    const ui::MainControl* c = ui::FindMainControl(id);
    return c ? QPoint(c->Rect.X + c->Rect.Width / 2, c->Rect.Y + c->Rect.Height / 2) : QPoint();
}

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
    void Click(SetDriver& set, int id) {
        const QPoint at = ControlCentre(id);
        ASSERT_TRUE(set.Click(at.x(), at.y())) << id;
    }
    void Expect(SetDriver& set, const char* command) {
        ASSERT_TRUE(set.Await(std::string("out 00 00 00 ") + command)) << set.Log();
    }
    // A second or so of the speaker (parec takes its time to start on a busy machine), from the set's private
    // sound server.
    Heard Listen(SetDriver& set) {
        std::string log = set.Log();
        const std::size_t at = log.find("speech ");
        std::string speech = log.substr(at + 7, log.find('\n', at) - at - 7);
        const std::string server = fs::path(speech).parent_path().string();
        std::string raw;
        RunCommand("PULSE_SERVER=unix:" + server +
                       "/runtime/native timeout 2 parec -d vset_speaker.monitor --raw "
                       "--format=s16le --rate=48000 --channels=1 --latency-msec=20",
                   &raw);
        Heard heard;
        const std::size_t count = raw.size() / 2;
        if (count < kRate / 4)
            return heard;
        double sum = 0;
        int crossings = 0;
        std::int16_t last = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const auto s = static_cast<std::int16_t>(static_cast<unsigned char>(raw[2 * i]) |
                                                     static_cast<unsigned char>(raw[2 * i + 1]) << 8);
            sum += double(s) * s;
            crossings += (s >= 0) != (last >= 0);
            last = s;
        }
        heard.Rms = std::sqrt(sum / count);
        heard.Hertz = crossings / 2.0 * kRate / count;
        return heard;
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
    Click(set, 1001);
    Expect(set, "C2");
    Heard heard = Listen(set);
    EXPECT_NEAR(heard.Hertz, 440, 40) << "rms " << heard.Rms;
    Click(set, 1004); // fast forward
    platform::Clock().Sleep(1500);
    Click(set, 1017); // file down: the wind ends, a.wav stops, b.wav plays
    Expect(set, "C0");
    Expect(set, "C2");
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
    Click(set, 1000);
    Expect(set, "C1");
    platform::Clock().Sleep(1500);
    Click(set, 1018);
    // The settings dialog is the other window on the test's X server; Escape closes it.
    const std::string dialog = OtherWindow();
    ASSERT_FALSE(dialog.empty()) << "no settings dialog";
    ASSERT_TRUE(RunCommand("xdotool windowfocus --sync " + dialog + " key Escape"));
    platform::Clock().Sleep(1500);
    Click(set, 1003); // File end and save
    Expect(set, "C0");
    Click(set, 1001);
    Expect(set, "C2");
    platform::Clock().Sleep(300);
    const Heard heard = Listen(set);
    EXPECT_GT(heard.Rms, 300) << "the speaker is silent: Play played another file than the recording";
    std::size_t recordings = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(m_Folder))
        recordings += entry.path().extension() == ".wav";
    EXPECT_EQ(recordings, 2u);
}

} // namespace
