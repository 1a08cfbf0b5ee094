// Every event in every state the window can be brought to: the state that follows is the one the
// rules name, and the remote's light, the buttons, the timers, the media controls and the
// recordings window all say what then happens.
#include "MainWindowHost.h"
#include "MprisPlayer.h"
#include "RemoteReport.h"
#include "WindowFixture.h"

#include <QClipboard>
#include <QTimer>

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
};

// What the recordings window's events name.
TransportDetail DetailOf(TransportEvent event) {
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
        dlg->Apply(event, DetailOf(event));
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
        dlg->Apply(event, DetailOf(event));
        ASSERT_EQ(StateName(dlg->State()), StateName(TransportOutcome(from, step)));
        // The typist's steps: the time copied, the speed shown (the wind keeps its own).
        EXPECT_EQ(QApplication::clipboard()->text(), step == TransportStep::CopyPosition ? "[00:00:00]" : "");
        if (step == TransportStep::SpeedUp || step == TransportStep::SpeedDown) {
            EXPECT_EQ(dlg->m_strSpeed, IsWinding(from)                  ? "8X"
                                       : step == TransportStep::SpeedUp ? "1.1x"
                                                                        : "0.9x");
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

} // namespace
} // namespace apptest
