// The window never shows what is not happening, and no edge (a replug, a refusal, a damaged file,
// a file change in a wind, a missing skin, a lost link) leaves it stuck.
#include "MainWindowHost.h"
#include "MprisPlayer.h"
#include "MprisPlayerAdaptor.h"
#include "WindowFixture.h"

#include <QTimer>

#include <functional>

namespace apptest {
namespace {

class WindowTruth : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        MakeThreeRecordings(rec);
    }
    // A new file in the place of the old one: a reader still open on the old one reads on.
    void Damage(const char* name) {
        fs::remove(rec / name);
        std::ofstream(rec / name) << "not a recording";
    }
};

struct ProbeCase {
    const char* name;
    int before;                 // the button pressed while the receiver is there (0: none)
    int during;                 // the button whose state report meets the replug
    std::vector<int> reconnect; // what the remote is told once it answers again
    const char* status;
    std::uint8_t key;    // a key the remote then presses
    bool recordingAfter; // the recording goes on, not paused
};

TEST_F(WindowTruth, a_probe_failing_during_a_replug_brings_the_poll_back_and_nothing_stays_stuck) {
    const ProbeCase cases[] = {
        {"section mark while recording", 1000, 1002, {0xC1}, "20261207-100000.wav", 0x06, true},
        {"pause while playing", 1001, 1001, {0xC0}, "a.wav", 0x03, false},
        {"volume up while idle", 0, 1010, {0xC0}, "Ready", 0x03, false},
    };
    for (const ProbeCase& c : cases) {
        SCOPED_TRACE(c.name);
        Open();
        if (c.before) {
            Press(c.before);
            clock.Advance(1000);
            Tick(3);
        }
        Unplug();
        Press(c.during);
        EXPECT_EQ(dlg->m_Recording && !dlg->m_RecordPaused, c.recordingAfter);
        Plug();
        Tick(6);
        EXPECT_TRUE(g_DeviceOpen);
        EXPECT_EQ(Commands(), c.reconnect);
        EXPECT_EQ(dlg->m_strStatus, c.status);
        Report(c.key); // the keys work again
        EXPECT_FALSE(Commands().empty());
        EXPECT_EQ(dlg->m_Recording && !dlg->m_RecordPaused, c.recordingAfter);
        EXPECT_EQ(Images(1000), c.recordingAfter ? std::make_pair(168, 132) : std::make_pair(165, 145));
        NextCase();
    }
}

struct Refusal {
    const char* name;
    std::function<void()> spoil;
    const char* status;
    const char* why; // the status's tooltip
};

TEST_F(WindowTruth, playback_that_cannot_start_shows_why_and_nothing_that_plays) {
    const Refusal cases[] = {
        {"a damaged file", [this] { Damage("b.wav"); }, "File Open Error!", "b.wav: it is not a WAV file"},
        {"a vanished file", [this] { fs::remove(rec / "b.wav"); }, "File Open Error!",
         "b.wav: no such file or folder"},
        {"no output device", [this] { wave.SetFailOpen(true); }, "No Playback Device!", ""},
    };
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.name);
        Open();
        Press(1001);
        Press(1006); // into section 2, so that section and time show something
        Tick(3);
        ASSERT_EQ(dlg->m_strSection, "Section 2");
        Commands();
        c.spoil();
        Press(1017);
        EXPECT_EQ(dlg->m_strStatus, c.status);
        EXPECT_EQ(dlg->m_StatusText.toolTip().toStdString(), c.why);
        EXPECT_EQ(dlg->m_strSection, " ");
        EXPECT_EQ(dlg->m_strTime, " ");
        EXPECT_EQ(Commands(), std::vector<int>{0xC0}); // the stop; no "playing"
        EXPECT_TRUE(dlg->m_Stopped && !dlg->m_Playing);
        EXPECT_EQ(Images(1001), std::make_pair(130, 129));
        EXPECT_FALSE(timers.IsRunning(3));
        NextCase();
    }
}

struct LoopCase {
    const char* name;
    std::vector<const char*> damaged; // after a.wav has started
    const char* playing;              // what plays next, or nullptr
    int errorSeconds;                 // waits with "File Open Error!" shown
};

TEST_F(WindowTruth, the_folder_loop_passes_over_files_it_cannot_open_once_round_at_most) {
    const LoopCase cases[] = {
        {"one damaged file", {"b.wav"}, "c.wav", 1},
        {"all others damaged: the first again", {"b.wav", "c.wav"}, "a.wav", 2},
        {"every file damaged: the loop ends", {"b.wav", "c.wav", "a.wav"}, nullptr, 2},
    };
    for (const LoopCase& c : cases) {
        SCOPED_TRACE(c.name);
        Open();
        Press(1001);
        for (const char* name : c.damaged)
            Damage(name);
        int errorSeconds = 0;
        clock.DuringSleep = [&](unsigned) { errorSeconds += dlg->m_strStatus == "File Open Error!"; };
        PlayOut();
        Tick(3);
        clock.DuringSleep = nullptr;
        EXPECT_EQ(dlg->m_Playing, c.playing != nullptr);
        EXPECT_EQ(dlg->m_strStatus, c.playing ? c.playing : "File Open Error!");
        EXPECT_EQ(errorSeconds, c.errorSeconds);
        NextCase();
    }
}

struct WindCase {
    const char* name;
    std::function<void()> act;
    const char* status;
    bool playing;
};

TEST_F(WindowTruth, a_file_change_or_an_unplug_ends_a_wind_and_what_plays_is_what_shows) {
    const WindCase cases[] = {
        {"file down", [this] { Press(1017); }, "b.wav", true},
        {"file up", [this] { Press(1016); }, "c.wav", true},
        {"unplugged",
         [this] {
             Unplug();
             Tick(6);
         },
         "Detect No Device!", false},
    };
    for (const WindCase& c : cases) {
        SCOPED_TRACE(c.name);
        Open();
        Press(1001);
        Press(1004);
        Tick(1);
        Tick(1);
        c.act();
        EXPECT_FALSE(dlg->m_FastForward || timers.IsRunning(1));
        EXPECT_EQ(dlg->m_strSpeed, " ");
        EXPECT_EQ(dlg->m_strStatus, c.status);
        EXPECT_EQ(dlg->m_Playing, c.playing);
        if (c.playing) {
            EXPECT_EQ(g_PlayLength, 3); // the new file's reader, from its start
            EXPECT_LT(Second(), 1u);
        }
        NextCase();
    }
}

TEST_F(WindowTruth, stop_and_a_file_change_show_the_start_at_once) {
    Open();
    Press(1001);
    Press(1006);
    Tick(3);
    ASSERT_EQ(dlg->m_strTime, "00 : 00 : 04");
    Press(1002);
    EXPECT_EQ(dlg->m_strTime, "00 : 00 : 00");
    EXPECT_EQ(dlg->m_strSection, "Section 1");
    Press(1001);
    Press(1006);
    Tick(3);
    std::string duringWait;
    clock.DuringSleep = [&](unsigned) { duringWait = dlg->m_strTime; };
    Press(1017);
    clock.DuringSleep = nullptr;
    EXPECT_EQ(duringWait, "00 : 00 : 00");
}

TEST_F(WindowTruth, a_refused_record_key_leaves_the_record_button_idle) {
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"no capture device", [this] { wave.SetFailOpen(true); }},
        {"no room", [this] { files.FreeBytes = 0; }},
        {"no device open", [] { g_DeviceOpen = false; }},
    };
    for (const auto& [name, spoil] : cases) {
        SCOPED_TRACE(name);
        Open();
        spoil();
        Report(0x07);
        EXPECT_FALSE(dlg->m_Recording);
        EXPECT_EQ(Images(1000), std::make_pair(165, 145));
        NextCase();
    }
}

TEST_F(WindowTruth, a_hold_cut_short_by_the_link_ends_its_wind_and_the_next_hold_winds_again) {
    Open();
    Press(1001);
    for (int i = 0; i < 3; ++i)
        Report(0x04);
    ASSERT_TRUE(dlg->m_FastForward);
    Report(0x70); // the link goes; the key's release never comes
    EXPECT_FALSE(dlg->m_FastForward);
    Report(0xA3);
    for (int i = 0; i < 3; ++i)
        Report(0x04);
    EXPECT_TRUE(dlg->m_FastForward);
}

TEST_F(WindowTruth, a_window_without_its_skin_plays_after_setup) {
    fs::remove(start / "res" / "Rgn.bmp");
    Plug();
    dlg = std::make_unique<CSorvinDlg>(); // with its own timers
    dlg->SetExitProcess([](int) {});
    dlg->show();
    RunSetup();
    Press(1001);
    EXPECT_TRUE(dlg->m_Playing);
    EXPECT_EQ(dlg->m_strStatus, "a.wav");
}

// The media controls' Pause and Play mean the same in a wind as outside one: Pause leaves the file
// paused, Play leaves it playing, and the status says what is heard.
TEST_F(WindowTruth, media_pause_and_play_during_a_wind_end_it_as_they_say) {
    struct Case {
        const char* name;
        bool pausedFirst;
        const char* statusInWind;
        void (MprisPlayerAdaptor::*command)();
        const char* status;
        int lastReport;
    };
    const Case cases[] = {
        {"pause over playback", false, "Playing", &MprisPlayerAdaptor::Pause, "Paused", 0xC0},
        {"play over a paused file", true, "Paused", &MprisPlayerAdaptor::Play, "Playing", 0xC2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open();
        auto* player = new CMprisPlayer(*dlg); // the window's child, as in the program
        auto* media = player->findChild<MprisPlayerAdaptor*>();
        Press(1001);
        if (c.pausedFirst)
            Press(1001);
        Press(1004);
        Tick(1);
        EXPECT_EQ(player->Current().PlaybackStatus, c.statusInWind);
        Commands();
        (media->*c.command)();
        EXPECT_FALSE(dlg->m_FastForward || timers.IsRunning(1));
        EXPECT_EQ(player->Current().PlaybackStatus, c.status);
        const std::vector<int> told = Commands();
        ASSERT_FALSE(told.empty());
        EXPECT_EQ(told.back(), c.lastReport);
        NextCase();
    }
}

// The recording owns its file: whatever folder the settings name when the dialog closes, every
// check made for the recording looks at its own folder, and the save lists it where it is.
TEST_F(WindowTruth, setup_during_a_recording_keeps_its_folder_and_play_after_the_save_plays_it) {
    enum class When { SameFolder, OtherFolder, RecordWhileOpen };
    for (When when : {When::SameFolder, When::OtherFolder, When::RecordWhileOpen}) {
        SCOPED_TRACE(static_cast<int>(when));
        Open();
        if (when != When::RecordWhileOpen)
            Press(1000);
        if (when != When::SameFolder) {
            fs::create_directory(start / "other");
            WriteSettings((start / "other").string());
        }
        // The remote's Record while the dialog is open records into the folder the user saw.
        QTimer::singleShot(0, [&] {
            if (when == When::RecordWhileOpen)
                dlg->OnRecord();
        });
        RunSetup();
        ASSERT_TRUE(dlg->m_Recording);
        const std::string name = fs::path(dlg->RecordingPath()).filename();
        EXPECT_TRUE(fs::exists(rec / name));
        Speak(10);
        clock.Advance(1000);
        Tick(3);
        EXPECT_NE(dlg->m_strStatus.find(name), std::string::npos) << dlg->m_strStatus;
        if (when != When::SameFolder) {
            // The settings' folder goes: nothing of that touches the recording.
            fs::remove_all(start / "other");
            Commands();
            Tick(5);
            Press(1002);
            EXPECT_EQ(Commands(), (std::vector<int>{0xE0, 0xE7, 0xC0, 0xC1})); // keep-alive, then the mark
            EXPECT_TRUE(dlg->m_Recording && !dlg->m_RecordPaused);
        }
        Press(1003);
        EXPECT_TRUE(fs::exists(rec / name));
        EXPECT_FALSE(fs::exists(rec / (name + ".journal")));
        EXPECT_EQ(std::count_if(g_FileList.begin(), g_FileList.end(),
                                [&](const std::string& n) { return n.find(name) != n.npos; }),
                  1);
        Press(1001);
        EXPECT_TRUE(dlg->m_Playing);
        EXPECT_EQ(g_PlayLength, 1); // the recording, not a.wav
        NextCase();
    }
}

TEST_F(WindowTruth, the_end_of_a_file_with_nothing_left_to_play_stops_and_every_view_says_so) {
    Open();
    Press(1001);
    fs::create_directory(start / "empty");
    WriteSettings((start / "empty").string());
    RunSetup();
    ASSERT_EQ(*g_CurFile, "No WAV files");
    Commands();
    PlayOut();
    Tick(3);
    EXPECT_EQ(Commands(), std::vector<int>{0xC0});
    EXPECT_FALSE(dlg->m_Playing || timers.IsRunning(3));
    EXPECT_EQ(Images(1001), std::make_pair(130, 129));
    EXPECT_EQ(CMprisPlayer(*dlg).Current().PlaybackStatus, "Stopped");
    EXPECT_EQ(MainWindowHost(*dlg).PlayingPath(), ""); // free for rename and trash
}

} // namespace
} // namespace apptest
