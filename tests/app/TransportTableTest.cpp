// Every event in every state the window can be brought to: the state that follows is the one the
// rules name, and the remote's light, the buttons, the timers, the media controls and the
// recordings window all say what then happens.
#include "MainWindowHost.h"
#include "MprisPlayer.h"
#include "RemoteReport.h"
#include "WindowFixture.h"

#include <QClipboard>
#include <QTest>
#include <QTimer>

#include <fstream>

// The state by its name in the test's messages.
void PrintTo(TransportState state, std::ostream* out) {
    *out << StateName(state);
}

namespace apptest {
namespace {

class TransportTable : public WindowTest, public ::testing::WithParamInterface<TransportState> {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        MakeThreeRecordings(rec);
        // A dictation job's file lies outside the recordings folder.
        job = rec.parent_path() / "jobs" / "J.wav";
        fs::create_directories(job.parent_path());
        MakeRecording(job, 30);
    }
    // The window in `state`, reached with its own buttons.
    void Reach(TransportState state) {
        using enum TransportState;
        Open();
        lastState = 0xC0; // the greeting's last
        const bool paused = state == Paused || state == ForwardPaused || state == RewindPaused;
        if (IsPlaying(state))
            Press(1001);
        if (paused)
            Press(1001);
        if (IsForward(state))
            Press(1004);
        if (IsRewind(state))
            Press(1005);
        if (IsRecording(state))
            Press(1000);
        if (state == RecordPaused) {
            // A mark whose resume finds the disk unreadable stays paused until Record.
            files.FreeSpaceFails = true;
            Press(1002);
            files.FreeSpaceFails = false;
        }
        if (state == Ending)
            Press(2);
        ASSERT_EQ(dlg->State(), state);
        Follow();
    }
    // The last state report the remote got (0xC3 alerts and volume reports aside).
    int Follow() {
        for (int command : Commands())
            if (command == 0xC0 || command == 0xC1 || command == 0xC2)
                lastState = command;
        return lastState;
    }
    // What the remote, the media controls, the recordings window, the buttons and the timers show.
    void ExpectViewsOf(TransportState to, bool displayGone) {
        CMprisPlayer media(*dlg);
        MainWindowHost host(*dlg);
        EXPECT_EQ(Follow(), remote::StateCommand(to));
        EXPECT_EQ(media.Current().PlaybackStatus, IsHeard(to)     ? "Playing"
                                                  : IsPlaying(to) ? "Paused"
                                                                  : "Stopped");
        EXPECT_EQ(host.RecordingPath().empty(), !IsRecording(to));
        EXPECT_EQ(host.PlayingPath().empty(), !IsPlaying(to));
        if (to == TransportState::Ending) {
            // A display gone ends the process itself, right after.
            EXPECT_EQ(dlg->isVisible(), displayGone);
            return;
        }
        EXPECT_EQ(Images(1001), IsHeard(to) ? std::pair(130, 130) : std::pair(130, 129));
        EXPECT_EQ(Images(1000), IsRecording(to) ? std::pair(168, 132) : std::pair(165, 145));
        EXPECT_EQ(Images(1004).second, IsForward(to) ? 146 : 135);
        EXPECT_EQ(Images(1005).second, IsRewind(to) ? 147 : 134);
        EXPECT_EQ(dlg->m_strSpeed.find('X') != std::string::npos, IsWinding(to)) << dlg->m_strSpeed;
        EXPECT_EQ(timers.IsRunning(1), IsForward(to));
        EXPECT_EQ(timers.IsRunning(2), IsRewind(to));
        EXPECT_EQ(timers.IsRunning(3), IsPlaying(to) || to == TransportState::Recording);
    }
    int lastState = 0;
    fs::path job;
};

// What the recordings and inbox windows' events name.
TransportDetail DetailOf(TransportEvent event, const fs::path& job) {
    if (event == TransportEvent::PlayJob)
        return {job.string(), "Maria Lopez Letter", 1};
    if (event == TransportEvent::PlayRow)
        return {"b.wav", "", 2};
    if (event == TransportEvent::EntryRenamed)
        return {"c.wav", "cc.wav", 1};
    return {"c.wav", "", 1};
}

// One state per case; the events it ignores go to one window in turn, each of the others to a
// window of its own.
TEST_P(TransportTable, every_event_does_what_the_table_says_and_every_view_shows_it) {
    const TransportState from = GetParam();
    ASSERT_NO_FATAL_FAILURE(Reach(from));
    for (std::size_t e = 0; e < kTransportEvents; ++e) {
        const auto event = static_cast<TransportEvent>(e);
        if (TransportRule(from, event) != TransportStep::Ignored)
            continue;
        SCOPED_TRACE(testing::Message() << EventName(event) << " ignored");
        QApplication::clipboard()->clear();
        const std::string speed = dlg->m_strSpeed;
        dlg->Apply(event, DetailOf(event, job));
        ASSERT_EQ(dlg->State(), from);
        EXPECT_EQ(Commands(), std::vector<int>{});
        EXPECT_TRUE(QApplication::clipboard()->text().isEmpty());
        EXPECT_EQ(dlg->m_strSpeed, speed);
        ExpectViewsOf(from, false);
    }
    for (std::size_t e = 0; e < kTransportEvents; ++e) {
        const auto event = static_cast<TransportEvent>(e);
        const TransportStep step = TransportRule(from, event);
        if (step == TransportStep::Ignored)
            continue;
        SCOPED_TRACE(testing::Message() << EventName(event) << ": " << StepName(step));
        NextCase();
        ASSERT_NO_FATAL_FAILURE(Reach(from));
        // The settings dialog closes as soon as it shows.
        QTimer::singleShot(0, [] {
            if (QWidget* dialog = QApplication::activeModalWidget())
                dialog->close();
        });
        QApplication::clipboard()->clear();
        dlg->Apply(event, DetailOf(event, job));
        ASSERT_EQ(StateName(dlg->State()), StateName(TransportOutcome(from, step)));
        // The typist's steps: the time copied, the speed shown (the wind keeps its own).
        EXPECT_EQ(QApplication::clipboard()->text(), step == TransportStep::CopyPosition ? "[00:00:00]" : "");
        if (step == TransportStep::SpeedUp || step == TransportStep::SpeedDown) {
            EXPECT_EQ(dlg->m_strSpeed, IsWinding(from)                  ? "8X"
                                       : step == TransportStep::SpeedUp ? "1.1x"
                                                                        : "0.9x");
        }
        // A job plays from its own path under its title; the list's current entry stays.
        if (event == TransportEvent::PlayJob) {
            EXPECT_EQ(MainWindowHost(*dlg).PlayingPath(), job.string());
            EXPECT_EQ(dlg->m_strStatus, "Maria Lopez Letter");
            EXPECT_EQ(*g_CurFile, "a.wav");
            // At its end it stops: a job has no next recording to play on to.
            if (from == TransportState::Idle) {
                PlayOut();
                Tick(3);
                EXPECT_EQ(StateName(dlg->State()), StateName(TransportState::Idle));
                EXPECT_EQ(dlg->m_strStatus, "Maria Lopez Letter");
            }
        }
        ExpectViewsOf(dlg->State(), event == TransportEvent::DisplayLost);
    }
}

// Saving is only ever passed through inside a save.
INSTANTIATE_TEST_SUITE_P(States, TransportTable,
                         ::testing::Values(TransportState::Idle, TransportState::Playing,
                                           TransportState::Paused, TransportState::ForwardPlaying,
                                           TransportState::ForwardPaused, TransportState::RewindPlaying,
                                           TransportState::RewindPaused, TransportState::Recording,
                                           TransportState::RecordPaused, TransportState::Ending),
                         [](const auto& info) { return std::string(StateName(info.param)); });

using FileKeyHold = TransportTable;

// The remote's file key held two seconds sends the current recording while idle, and only then;
// a press is still File up, once the polls after it bring no repeat.
TEST_F(FileKeyHold, held_while_idle_it_sends_the_current_recording_and_a_press_is_file_up) {
    const fs::path outbox = start / "outbox";
    fs::create_directory(outbox);
    std::ofstream(start / "Recorder.ini", std::ios::app)
        << "[Dictation]\nAuthor=Maria\nOutbox=" << outbox.string() << "\n";
    const auto hold = [&](int repeats) {
        Report(0x01);
        for (int i = 0; i < repeats; ++i)
            Report(0xA3); // the remote repeats its battery report while the key is down
        Tick(4);
        Tick(4); // let go
    };
    Open();
    hold(19); // not yet two seconds: a press, after all
    EXPECT_EQ(dlg->State(), TransportState::Playing);
    EXPECT_FALSE(fs::exists(outbox / "c-Maria.job"));
    Press(1001); // pause: a hold while a file is open sends nothing and moves to no other file
    const std::string paused = *g_CurFile;
    hold(25);
    EXPECT_EQ(*g_CurFile, paused);
    EXPECT_TRUE(boxes.Boxes.empty());
    Press(1002); // stop: idle
    ASSERT_EQ(dlg->State(), TransportState::Idle);
    hold(20);
    EXPECT_EQ(dlg->State(), TransportState::Idle);
    EXPECT_EQ(*g_CurFile, paused);
    EXPECT_EQ(dlg->m_strStatus, "Sending to typist");
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg->m_strStatus == "Sent to typist"; }, 20000));
    EXPECT_TRUE(fs::exists(outbox / (fs::path(paused).stem().string() + "-Maria.job")));
    // Sent again: refused in words, the outbox as it was.
    hold(20);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.Boxes.empty(); }, 20000));
    EXPECT_NE(boxes.Boxes[0].Text.find("was sent already"), std::string::npos) << boxes.Boxes[0].Text;
    EXPECT_EQ(dlg->m_strStatus, "Not sent");
}

} // namespace
} // namespace apptest
