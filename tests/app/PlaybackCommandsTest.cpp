// Playback from the window's buttons and the clock: Play/Pause, Stop, wind, section jumps, the
// end of a file and the file commands, each checked by what the remote hears and the window shows.
#include "MprisPlayer.h"
#include "MprisPlayerAdaptor.h"
#include "WindowFixture.h"
#include "wavefile/WaveWriter.h"

#include <QClipboard>
#include <cmath>

namespace apptest {
namespace {

class PlaybackCommands : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        MakeRecording(rec / "a.wav", 200, {4, 3}); // 20 s: sections at 0, 4 and 7 s
        MakeRecording(rec / "b.wav", 30);
        MakeRecording(rec / "c.wav", 15); // shorter than two seconds
    }
    // The read position once the player has handed all its buffers to the output.
    std::int64_t Settled() {
        EXPECT_TRUE(WaitUntil([&] { return wave.Last()->Held().size() == 8; }));
        return static_cast<std::int64_t>(dlg->m_Player.m_pStore->Tell());
    }
};

TEST_F(PlaybackCommands, play_pause_resume_and_stop_follow_the_state_table) {
    Open();
    EXPECT_EQ(*g_CurFile, "a.wav");
    struct Step {
        int button;
        std::vector<int> sent;
        bool playing, paused, stopped;
        std::pair<int, int> playImages;
    };
    for (const Step& s : {Step{1001, {0xC2}, true, false, false, {130, 130}},
                          Step{1001, {0xC0}, true, true, false, {130, 129}},
                          Step{1001, {0xC2}, true, false, false, {130, 130}},
                          Step{1002, {0xC0}, false, false, true, {130, 129}},
                          Step{1001, {0xC2}, true, false, false, {130, 130}},
                          Step{1001, {0xC0}, true, true, false, {130, 129}},
                          // Pause, Stop, Play: the file plays (not paused) from its start.
                          Step{1002, {0xC0}, false, false, true, {130, 129}},
                          Step{1001, {0xC2}, true, false, false, {130, 130}}}) {
        SCOPED_TRACE(testing::Message() << "after button " << s.button << " (" << dlg->m_Playing << ")");
        Press(s.button);
        EXPECT_EQ(Commands(), s.sent);
        EXPECT_EQ(dlg->m_Playing, s.playing);
        EXPECT_EQ(dlg->m_PlayPaused, s.paused);
        EXPECT_EQ(dlg->m_Stopped, s.stopped);
        EXPECT_EQ(Images(1001), s.playImages);
        EXPECT_EQ(timers.IsRunning(3), s.playing);
    }
    EXPECT_EQ(dlg->m_strStatus, "a.wav");
    EXPECT_EQ(Second(), 0u);
}

TEST_F(PlaybackCommands, wind_engages_releases_and_switches_direction) {
    Open();
    Press(1004); // nothing plays: nothing engages
    EXPECT_FALSE(dlg->m_FastForward);
    Press(1001);
    struct Step {
        int button;
        bool forward, rewind;
        const char* speed;
    };
    for (const Step& s :
         {Step{1004, true, false, "8X"}, Step{1004, false, false, " "}, Step{1004, true, false, "8X"},
          Step{1005, false, true, "8X"}, Step{1001, false, false, " "}, Step{1005, false, true, "8X"},
          Step{1002, false, false, " "}}) {
        Press(s.button);
        EXPECT_EQ(dlg->m_FastForward, s.forward) << s.button;
        EXPECT_EQ(dlg->m_Rewind, s.rewind) << s.button;
        EXPECT_EQ(timers.IsRunning(1), s.forward);
        EXPECT_EQ(timers.IsRunning(2), s.rewind);
        EXPECT_EQ(dlg->m_strSpeed, s.speed);
        EXPECT_EQ(Images(1004), s.forward ? std::make_pair(146, 146) : std::make_pair(146, 135));
        EXPECT_TRUE(dlg->m_Playing);
    }
}

TEST_F(PlaybackCommands, wind_steps_move_the_position_at_the_speed_and_off_shows_and_ends) {
    Open();
    Press(1001);
    // Each step moves the read position, then the player reads its eight buffers (0.8 s) ahead again.
    const std::int64_t readAhead = 8 * kSecondBytes / 10;
    std::int64_t at = Settled();
    Press(1004);
    EXPECT_EQ(timers.Period(1), 0u); // the first step comes at once
    for (int i = 0; i < 4; ++i) {
        Tick(1);
        const std::int64_t now = Settled();
        EXPECT_EQ(now - at, kSecondBytes + readAhead) << "forward step " << i;
        at = now;
    }
    EXPECT_EQ(timers.Period(1), 250u);
    Press(1005);
    Tick(2);
    EXPECT_EQ(Settled() - at, -2 * std::int64_t{kSecondBytes} + readAhead);
    EXPECT_EQ(timers.Period(2), 150u);
    // Rewinding into the first two seconds ends the rewind at the next clock tick.
    while (Second() >= 2)
        Tick(2);
    Tick(3);
    EXPECT_FALSE(dlg->m_Rewind || timers.IsRunning(2));
    EXPECT_EQ(dlg->m_strSpeed, " ");

    g_Speed = 0;
    Press(1004);
    EXPECT_EQ(dlg->m_strSpeed, "OFF");
    Tick(1);
    EXPECT_FALSE(dlg->m_FastForward || timers.IsRunning(1));
    EXPECT_EQ(dlg->m_strSpeed, " ");
}

TEST_F(PlaybackCommands, section_jumps_go_to_the_next_and_previous_section_and_wrap) {
    Open();
    Press(1001);
    struct Step {
        int button;
        std::uint64_t second;
        const char* shown;
    };
    // Down from 1 to 2 and 3, down from the last wraps to 1, up from 1 wraps to 3, up to 2.
    for (const Step& s : {Step{1006, 4, "Section 2"}, Step{1006, 7, "Section 3"}, Step{1006, 0, "Section 1"},
                          Step{1007, 7, "Section 3"}, Step{1007, 4, "Section 2"}}) {
        Press(s.button);
        EXPECT_EQ(Second(), s.second) << s.button;
        Tick(3);
        EXPECT_EQ(dlg->m_strSection, s.shown) << s.button;
        EXPECT_EQ(timers.Period(3), 1000u);
    }
    // A file without marks does not jump.
    Press(1017);
    ASSERT_EQ(dlg->m_strStatus, "b.wav");
    Press(1006);
    EXPECT_EQ(Second(), 0u);
    EXPECT_EQ(dlg->m_strSection, "Section 1");
}

TEST_F(PlaybackCommands, the_end_of_a_file_plays_the_next_and_the_folder_loops) {
    Open();
    Press(1001);
    for (const char* next : {"b.wav", "c.wav", "a.wav"}) {
        PlayOut();
        Tick(3);
        EXPECT_EQ(dlg->m_strStatus, next);
        EXPECT_TRUE(dlg->m_Playing);
    }
    // One second between two files, and one more around the file change itself.
    EXPECT_EQ(clock.Sleeps(), std::vector<unsigned>(6, 1000u));
}

TEST_F(PlaybackCommands, fast_forward_into_the_end_stops_playback) {
    Open();
    Press(1001);
    Press(1004);
    PlayOut();
    Tick(3);
    EXPECT_TRUE(dlg->m_Stopped);
    EXPECT_FALSE(dlg->m_FastForward || timers.IsRunning(1) || timers.IsRunning(3));
}

TEST_F(PlaybackCommands, a_file_shorter_than_its_header_says_ends_at_its_real_end) {
    // Cut off by a crash: the header claims 20 s, the samples stop after 3.
    fs::resize_file(rec / "a.wav", 44 + 3 * kSecondBytes);
    Open();
    Press(1001);
    EXPECT_EQ(g_PlayLength, 3);
    PlayOut();
    Tick(3);
    EXPECT_EQ(dlg->m_strStatus, "b.wav");
}

TEST_F(PlaybackCommands, file_up_and_down_wrap_and_do_nothing_while_recording) {
    Open();
    Press(1016);
    EXPECT_EQ(dlg->m_strStatus, "c.wav");
    EXPECT_TRUE(dlg->m_Playing);
    Press(1017);
    EXPECT_EQ(dlg->m_strStatus, "a.wav");
    Press(1000);
    ASSERT_TRUE(dlg->m_Recording);
    Press(1017);
    EXPECT_EQ(*g_CurFile, "a.wav");
    EXPECT_TRUE(dlg->m_Recording);
}

// The typist's playback: every pause steps back, the pause's place is what shows and is copied,
// jumps hold to the file, the speed steps and shows; all from the main window's keys.
class TypistPlayback : public PlaybackCommands {
protected:
    void SetUp() override {
        PlaybackCommands::SetUp();
        Open();
        Activate();
    }
    // The keys go to the active window only.
    void Activate() {
        dlg->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    }
    // Plays a.wav from its start; where its samples begin, in the player's terms.
    std::uint64_t PlayA() {
        Press(1001);
        return Heard();
    }
    std::uint64_t Heard() { return dlg->m_Player.PlayedPosition(); }
    // The output plays `tenths` buffers (a tenth of a second each at the file's own speed).
    void Hear(int tenths) {
        for (int i = 0; i < tenths; ++i) {
            ASSERT_TRUE(WaitUntil([&] { return !wave.Last()->Held().empty(); }));
            const std::uint64_t before = Heard();
            wave.Last()->Complete(1);
            ASSERT_TRUE(WaitUntil([&] { return Heard() != before; }));
        }
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(dlg.get(), Qt::Key(key), modifiers);
    }
    QString Copied() {
        QApplication::clipboard()->clear();
        Key(Qt::Key_T, Qt::ControlModifier);
        return QApplication::clipboard()->text();
    }
    void StepBackSetting(const char* value) {
        std::ofstream(start / "Recorder.ini", std::ios::app) << "[Dictation]\nStepBack=" << value << "\n";
        RunSetup();
        Activate();
    }
};

TEST_F(TypistPlayback, every_pause_steps_back_and_the_pause_stays_the_time_shown_and_copied) {
    struct Row {
        const char* stepBack;
        int heardTenths;
        TransportEvent pause; // the Play/Pause key's or the media controls' own
        int resumeTenths;
    };
    for (Row r : {Row{nullptr, 50, TransportEvent::PlayPause, 30}, Row{"2", 10, TransportEvent::Pause, 0},
                  Row{"0", 30, TransportEvent::PlayPause, 30}, Row{"10", 80, TransportEvent::Pause, 0},
                  Row{"x", 40, TransportEvent::Pause, 20}}) {
        SCOPED_TRACE(testing::Message()
                     << (r.stepBack ? r.stepBack : "no setting") << ", paused at " << r.heardTenths);
        NextCase();
        if (r.stepBack)
            StepBackSetting(r.stepBack);
        const std::uint64_t base = PlayA();
        Hear(r.heardTenths);
        dlg->Apply(r.pause);
        ASSERT_EQ(dlg->State(), TransportState::Paused);
        EXPECT_EQ(Heard(), base + r.resumeTenths * kSecondBytes / 10);
        const std::string shown = dlg->m_strTime;
        EXPECT_EQ(shown, "00 : 00 : 0" + std::to_string(r.heardTenths / 10));
        EXPECT_EQ(Copied().toStdString(), "[00:00:0" + std::to_string(r.heardTenths / 10) + "]");
        // The clock tick, while paused, shows the pause too, not the place read ahead.
        Tick(3);
        EXPECT_EQ(dlg->m_strTime, shown);
        dlg->Apply(TransportEvent::PlayPause);
        Hear(10);
        EXPECT_EQ(Heard(), base + (r.resumeTenths + 10) * kSecondBytes / 10);
        EXPECT_EQ(Copied().toStdString(), "[00:00:0" + std::to_string(r.resumeTenths / 10 + 1) + "]");
    }
}

TEST_F(TypistPlayback, jumps_of_five_seconds_hold_to_the_file_and_a_jump_while_paused_moves_the_pause) {
    const std::uint64_t base = PlayA();
    Hear(30);
    Key(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(Heard(), base) << "from 3 s, back to the start";
    EXPECT_EQ(dlg->m_strTime, "00 : 00 : 00");
    Key(Qt::Key_Right, Qt::ControlModifier);
    Key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(Heard(), base + 10 * kSecondBytes);
    EXPECT_EQ(dlg->m_strTime, "00 : 00 : 10");
    // Paused, a jump goes from the pause and is then the place shown, copied and resumed from.
    Press(1001);
    Key(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(Heard(), base + 5 * kSecondBytes);
    EXPECT_EQ(Copied().toStdString(), "[00:00:05]");
    // So does a section jump (a.wav's sections start at 0, 4 and 7 s).
    Press(1006);
    EXPECT_EQ(Copied().toStdString(), "[00:00:04]");
    Tick(3);
    EXPECT_EQ(dlg->m_strTime, "00 : 00 : 04");
    Press(1001);
    EXPECT_EQ(Heard(), base + 4 * kSecondBytes);
    // Past the end lands on it, and the end plays the next file.
    for (int i = 0; i < 4; ++i)
        Key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(Heard(), base + 20 * kSecondBytes);
    Tick(3);
    EXPECT_EQ(dlg->m_strStatus, "b.wav");
}

TEST_F(TypistPlayback, the_speed_steps_by_a_tenth_from_half_to_one_and_a_half_and_shows_beside_the_time) {
    Key(Qt::Key_F4); // before anything plays: the next file plays at it
    EXPECT_EQ(dlg->m_strSpeed, "1.1x");
    const std::uint64_t base = PlayA();
    EXPECT_EQ(dlg->m_Player.Speed(), 11);
    Hear(10);
    const std::uint64_t heard = Heard();
    EXPECT_NEAR(double(heard - base), 1.1 * kSecondBytes, 0.02 * kSecondBytes);
    struct Step {
        int key, times;
        const char* shown;
    };
    for (Step s : {Step{Qt::Key_F4, 6, "1.5x"}, Step{Qt::Key_F3, 12, "0.5x"}, Step{Qt::Key_F4, 5, " "}}) {
        for (int i = 0; i < s.times; ++i)
            Key(s.key);
        EXPECT_EQ(dlg->m_strSpeed, s.shown);
        // The change is heard at once, from what was heard: nothing is skipped or played twice.
        EXPECT_EQ(Heard(), heard);
    }
    // A wind shows its own speed, and the playback speed again after it.
    Key(Qt::Key_F3);
    Press(1004);
    EXPECT_EQ(dlg->m_strSpeed, "8X");
    Press(1004);
    EXPECT_EQ(dlg->m_strSpeed, "0.9x");
    // The media controls see the rate, and set it as the keys do, to the nearest tenth.
    CMprisPlayer media(*dlg);
    EXPECT_DOUBLE_EQ(media.Current().Rate, 0.9);
    auto* bus = media.findChild<MprisPlayerAdaptor*>();
    ASSERT_TRUE(bus);
    for (auto [rate, shown] :
         {std::pair{1.24, "1.2x"}, {std::nan(""), "1.2x"}, {7.0, "1.5x"}, {0.0, "0.5x"}}) {
        bus->SetRate(rate);
        EXPECT_EQ(dlg->m_strSpeed, shown) << rate;
    }
    EXPECT_DOUBLE_EQ(bus->Rate(), 0.5);
}

TEST_F(PlaybackCommands, a_missing_file_shows_the_open_error_and_stays_stopped) {
    Open();
    fs::remove(rec / "a.wav");
    Press(1001);
    EXPECT_EQ(dlg->m_strStatus, "File Open Error!");
    EXPECT_TRUE(dlg->m_Stopped);
    EXPECT_TRUE(Commands().empty());
}

} // namespace
} // namespace apptest

namespace apptest {
namespace {

TEST_F(PlaybackCommands, sections_hours_into_a_long_recording_are_reached_exactly) {
    // Eight hours at 44.1 kHz is 2.5 GB of samples: a sparse file with a mark at 7.5 hours.
    fs::remove(rec / "a.wav");
    const std::uint32_t data = 8u * 3600 * kSecondBytes;
    {
        CWaveWriter header((rec / "a.wav").c_str(), 44100, 1);
        header.Close();
    }
    std::fstream f(rec / "a.wav", std::ios::in | std::ios::out | std::ios::binary);
    auto put32 = [&](std::streamoff at, std::uint32_t v) {
        f.seekp(at);
        for (int i = 0; i < 4; ++i)
            f.put(static_cast<char>(v >> (8 * i)));
    };
    put32(4, 36 + data);
    put32(40, data);
    f.seekp(44 + std::streamoff{data});
    f.write("sect", 4);
    put32(48 + std::streamoff{data}, 1);
    put32(52 + std::streamoff{data}, 27000);
    f.close();

    Open();
    Press(1001);
    ASSERT_EQ(g_PlayLength, 8 * 3600);
    Press(1006);
    EXPECT_EQ(Second(), 27000u);
    Tick(3);
    EXPECT_EQ(dlg->m_strTime, "07 : 30 : 00");
    EXPECT_EQ(dlg->m_strSection, "Section 2");
}

} // namespace
} // namespace apptest
