// A recording is never lost to what happens around it: the program ended from outside, a recording
// left unclosed by a kill, the disk filling up, the recordings folder going away.
#include "EndRequests.h"
#include "WindowFixture.h"
#include "wavefile/WaveReader.h"

#include <QTimer>
#include <csignal>

namespace apptest {
namespace {

class RecordingSafety : public WindowTest {
protected:
    // Records 3 s, marks, records 2 s more: the recording is open with one mark. Returns its name.
    std::string RecordWithAMark() {
        Open();
        Press(1000);
        const std::string name = fs::path(dlg->RecordingPath()).filename();
        Speak(30);
        clock.Advance(3000);
        Press(1002);
        Speak(20);
        clock.Advance(2000);
        Commands();
        return name;
    }
};

// Each way of being ended from outside reaches the window as the program wires it up.
TEST_F(RecordingSafety,
       a_signal_or_the_session_ending_saves_the_recording_with_its_marks_and_tells_the_remote_idle) {
    const std::vector<std::pair<const char*, std::function<void()>>> ends = {
        {"SIGTERM", [] { std::raise(SIGTERM); }},
        {"SIGINT", [] { std::raise(SIGINT); }},
        {"SIGHUP", [] { std::raise(SIGHUP); }},
        {"session quits", [] { QMetaObject::invokeMethod(qApp, "aboutToQuit"); }},
        // The session manager's "die" reaches the application as its Quit event.
        {"session's quit event",
         [] {
             QEvent quit(QEvent::Quit);
             QCoreApplication::sendEvent(qApp, &quit);
         }},
    };
    for (const auto& [name, end] : ends) {
        SCOPED_TRACE(name);
        if (name != ends.front().first)
            NextCase();
        const std::string file = RecordWithAMark();
        EndRequests requests([this](EndRequests::Reason) { dlg->OnEndedFromOutside(); });
        end();
        ASSERT_TRUE(WaitUntil([&] {
            QCoreApplication::processEvents();
            return !dlg->m_Recording;
        }));
        const std::vector<int> sent = Commands();
        ASSERT_FALSE(sent.empty());
        EXPECT_EQ(sent.back(), 0xC0);
        EXPECT_FALSE(dlg->isVisible()) << "the program ends after the save";
        EXPECT_EQ(SectionStarts(rec / file), (std::vector<std::uint32_t>{0, 3}));
        EXPECT_EQ(Folder(), std::vector<std::string>{file});
    }
}

// A dialog runs a loop of its own inside the window's: an end requested meanwhile saves at once,
// closes the dialog without waiting for a person, and nothing of the dialog's caller runs after.
TEST_F(RecordingSafety, an_end_requested_while_a_dialog_is_open_saves_closes_it_and_runs_nothing_after) {
    const std::vector<std::pair<const char*, std::function<void()>>> dialogs = {
        {"Setup", [this] { Press(1018); }},
        {"About", [this] { dlg->OnAbout(); }},
    };
    for (const auto& [name, open] : dialogs) {
        SCOPED_TRACE(name);
        if (name != dialogs.front().first)
            NextCase();
        const std::string file = RecordWithAMark();
        EndRequests requests([this](EndRequests::Reason) { dlg->OnEndedFromOutside(); });
        // Setup's caller would load the settings again once the dialog closed.
        std::ofstream(start / "Recorder.ini") << "[Recorder]\nFF/RewindSpeed=32\n";
        QTimer::singleShot(0, [] { std::raise(SIGTERM); });
        // Were the dialog left open, a person would have to close it: here a bound on the hang.
        bool waitedForAPerson = false;
        QTimer::singleShot(3000, dlg.get(), [&] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                waitedForAPerson = true;
                dialog->close();
            }
        });
        open();
        EXPECT_FALSE(waitedForAPerson);
        EXPECT_FALSE(dlg->m_Recording);
        EXPECT_FALSE(dlg->isVisible());
        const std::vector<int> sent = Commands();
        ASSERT_FALSE(sent.empty());
        EXPECT_EQ(sent.back(), 0xC0);
        EXPECT_EQ(g_Speed, 8u) << "nothing runs after the dialog on the ended window";
        EXPECT_EQ(SectionStarts(rec / file), (std::vector<std::uint32_t>{0, 3}));
    }
}

TEST_F(RecordingSafety,
       space_running_low_is_noticed_on_the_next_second_and_the_recording_kept_with_its_marks) {
    const std::string file = RecordWithAMark();
    files.FreeBytes = 51200ull * 1024;
    Tick(3);
    EXPECT_FALSE(dlg->m_Recording);
    EXPECT_TRUE(g_DiskFull);
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].Text, "Insufficient disk space!");
    const std::vector<int> sent = Commands();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), 0xC3), 3);
    EXPECT_EQ(SectionStarts(rec / file), (std::vector<std::uint32_t>{0, 3}));
}

// The folder goes away; the clock's next second, or a section mark before it, notices.
TEST_F(RecordingSafety,
       a_vanished_folder_ends_the_recording_saves_it_in_the_start_folder_and_starts_nothing) {
    struct Case {
        const char* Name;
        std::function<void()> Notice;
        std::vector<int> Sent; // after the folder went
        std::vector<std::uint32_t> Starts;
    };
    const std::vector<Case> cases = {
        {"clock", [this] { Tick(3); }, {0xC0, 0xC3}, {0, 3}},
        // The mark pauses (idle), then finds the folder gone: idle, the alert, and no new recording.
        {"Section/Stop", [this] { Press(1002); }, {0xC0, 0xC0, 0xC3}, {0, 3, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        if (&c != &cases.front())
            NextCase();
        const std::string file = RecordWithAMark();
        fs::remove_all(rec);
        c.Notice();
        EXPECT_FALSE(dlg->m_Recording);
        EXPECT_EQ(dlg->m_strStatus, "Error Path: saved as " + (start / file).string());
        EXPECT_TRUE(boxes.Boxes.empty()) << "a missing folder is no full disk";
        EXPECT_EQ(Commands(), c.Sent);
        EXPECT_FALSE(timers.IsRunning(3));
        EXPECT_EQ(std::count_if(fs::directory_iterator(start), {},
                                [](const fs::directory_entry& e) { return e.path().extension() == ".wav"; }),
                  1);
        EXPECT_EQ(SectionStarts(start / file), c.Starts); // the one recording there
        EXPECT_FALSE(fs::exists(rec));
    }
}

// A capture or output device that fails is noticed on the clock's next second, once: a recording
// is saved whole and the remote alerted, playback stops and the folder does not play on.
TEST_F(RecordingSafety, a_device_that_fails_ends_what_it_was_doing_and_says_so) {
    struct Case {
        const char* Name;
        std::function<void()> Begin;
        std::vector<int> Sent; // after the failure
        std::string Status;
    };
    const std::vector<Case> cases = {
        {"capture", [this] { RecordWithAMark(); }, {0xC0, 0xC3}, "Input lost: USB Headset"},
        {"output",
         [this] {
             MakeThreeRecordings(rec);
             Open();
             Press(1001);
             Commands();
         },
         {0xC0},
         "No Playback Device!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        if (&c != &cases.front())
            NextCase();
        c.Begin();
        const std::string recording = dlg->RecordingPath();
        wave.Last()->Vanish();
        Tick(3);
        EXPECT_EQ(dlg->State(), TransportState::Idle);
        EXPECT_EQ(Commands(), c.Sent);
        EXPECT_EQ(dlg->m_strStatus, c.Status);
        EXPECT_FALSE(timers.IsRunning(3)) << "nothing counts on, nothing plays next";
        if (!recording.empty()) {
            EXPECT_EQ(SectionStarts(recording), (std::vector<std::uint32_t>{0, 3}));
            EXPECT_EQ(fs::file_size(recording), 44u + 50 * kSecondBytes / 10 + 12);
            EXPECT_EQ(Folder(), std::vector<std::string>{fs::path(recording).filename()});
        }
    }
}

TEST_F(RecordingSafety, record_with_the_folder_gone_says_error_path_not_a_full_disk) {
    Open();
    fs::remove_all(rec);
    Press(1000);
    EXPECT_FALSE(dlg->m_Recording);
    EXPECT_EQ(dlg->m_strStatus, "Error Path");
    EXPECT_TRUE(boxes.Boxes.empty());
}

} // namespace
} // namespace apptest
