// What the remote unit and the window see of each other: key reports, the receiver's output
// reports, the battery and volume pictures, and the receiver going and coming back.
#include "WindowFixture.h"

#include <vector>

namespace apptest {
namespace {

using Bytes = std::vector<int>;
using RemoteWindow = WindowTest;

TEST_F(RemoteWindow, StartUpGreetsTheRemoteWithTheVolumeThenIdleAndStartsPolling) {
    Start();
    EXPECT_EQ(Commands(), (Bytes{kRoomChecked, 0xE7, 0xC0}));
    EXPECT_EQ(dlg->m_strStatus, "Ready");
    EXPECT_EQ(Battery(), "battery-0");
    EXPECT_EQ(Volume(), "vol-7");
    EXPECT_EQ(timers.Period(4), 100u);
}

struct LinkCase {
    const char* name;
    Bytes events;
    const char* status;
    const char* battery;
};

TEST_F(RemoteWindow, LinkStateAndBatteryFollowTheReports) {
    const LinkCase cases[] = {
        {"the first report brings the link up and shows its level", {0xA3}, "Ready", "battery-4"},
        {"an idle report changes nothing, not even a lost link",
         {0x70, 0xAE},
         "Detect No Device!",
         "battery-0"},
        {"link lost shows no device and battery 0, keeping the level",
         {0xA3, 0x70},
         "Detect No Device!",
         "battery-0"},
        {"the next report after a loss brings the link back", {0xA3, 0x70, 0xA1}, "Ready", "battery-2"},
        {"a report that keeps the level restores its picture on link-up",
         {0xA2, 0x70, 0x42},
         "Ready",
         "battery-3"},
        {"an unknown code changes nothing", {0xA4, 0x42, 0x99}, "Ready", "battery-5"},
    };
    for (const LinkCase& c : cases) {
        SCOPED_TRACE(c.name);
        Start();
        for (std::uint8_t event : c.events)
            Report(event);
        EXPECT_EQ(dlg->m_strStatus, c.status);
        EXPECT_EQ(dlg->m_StatusText.text().toStdString(), c.status);
        EXPECT_EQ(Battery(), c.battery);
        EXPECT_EQ(Commands(), (Bytes{kRoomChecked, 0xE7, 0xC0})) << "decoding sends nothing";
        NextCase();
    }
}

struct FlashCase {
    const char* name;
    std::uint8_t event;
    int button;
    std::pair<int, int> flash; // the pictures during the 500 ms wait
    std::pair<int, int> after;
    bool recording = false; // the record key starts a recording first
};

TEST_F(RemoteWindow, KeysFlashTheirButtonForHalfASecondThenSetItsPictures) {
    const FlashCase cases[] = {
        {"file key while idle: File up, once two polls bring no repeat", 0x01, 1016, {172, 0}, {164, 148}},
        {"file-down key", 0x05, 1017, {173, 0}, {163, 149}},
        {"stop key shows its lit picture as both", 0x06, 1002, {143, 143}, {143, 133}},
        {"record key while idle", 0x07, 1000, {167, 0}, {168, 132}},
        {"record key while recording", 0x07, 1000, {169, 0}, {168, 132}, true},
        {"file key while recording: File end and save", 0x01, 1003, {154, 0}, {157, 150}, true},
    };
    for (const FlashCase& c : cases) {
        SCOPED_TRACE(c.name);
        Start();
        Report(0xA0); // the link is up
        if (c.recording)
            Report(0x07);
        std::vector<std::pair<int, int>> duringWait;
        clock.DuringSleep = [&](unsigned) { duringWait.push_back(dlg->ButtonById(c.button)->PictureIds()); };
        const std::size_t sleepsBefore = clock.Sleeps().size();
        Report(c.event);
        if (c.event == 0x01 && !c.recording) {
            EXPECT_EQ(clock.Sleeps().size(), sleepsBefore) << "a press is not known before the next polls";
            Tick(4);
            Tick(4);
        }
        clock.DuringSleep = nullptr;
        ASSERT_GE(clock.Sleeps().size(), sleepsBefore + 1);
        EXPECT_EQ(clock.Sleeps()[sleepsBefore], 500u);
        ASSERT_FALSE(duringWait.empty());
        EXPECT_EQ(duringWait.front(), c.flash);
        EXPECT_EQ(dlg->ButtonById(c.button)->PictureIds(), c.after);
        NextCase();
    }
}

enum Button { Up = 1010, Down = 1011, Mute = 1012 };

struct VolumeCase {
    const char* name;
    std::uint8_t level;
    std::vector<Button> presses;
    Bytes sent;
    int levelAfter;
    const char* picture;
    bool muted;
};

TEST_F(RemoteWindow, VolumeAndMuteSendTheLevelAndShowIt) {
    const VolumeCase cases[] = {
        // Volume up checks the free space (idle and room: 0xC0) before the level goes out.
        {"up at the top keeps 7 and sends it again", 7, {Up}, {kRoomChecked, 0xE7}, 7, "vol-7", false},
        {"up from 6", 6, {Up}, {kRoomChecked, 0xE7}, 7, "vol-7", false},
        {"down at the bottom keeps 0", 0, {Down}, {0xE0}, 0, "vol-0", false},
        {"down from 3", 3, {Down}, {0xE2}, 2, "vol-2", false},
        {"mute at 5 sends level 0 and shows it", 5, {Mute}, {0xE0}, 5, "vol-0", true},
        {"mute again sends 5 and shows it", 5, {Mute, Mute}, {0xE0, 0xE5}, 5, "vol-5", false},
        {"up while muted ends the mute one level higher",
         5,
         {Mute, Up},
         {0xE0, kRoomChecked, 0xE6},
         6,
         "vol-6",
         false},
        {"down while muted ends the mute one level lower", 5, {Mute, Down}, {0xE0, 0xE4}, 4, "vol-4", false},
        {"down while muted at 0 stays silent", 0, {Mute, Down}, {0xE0, 0xE0}, 0, "vol-0", false},
    };
    for (const VolumeCase& c : cases) {
        SCOPED_TRACE(c.name);
        Start();
        Commands();
        dlg->m_SoundLevel = c.level;
        dlg->ShowVolumePicture(c.level);
        for (Button b : c.presses)
            emit dlg->ButtonById(b)->clicked();
        EXPECT_EQ(Commands(), c.sent);
        EXPECT_EQ(dlg->m_SoundLevel, c.levelAfter);
        EXPECT_EQ(Volume(), c.picture);
        EXPECT_EQ(dlg->m_Muted, c.muted);
        CSkinButton& mute = *dlg->ButtonById(Mute);
        EXPECT_EQ(mute.PictureIds(), std::make_pair(c.muted ? 144 : 138, 0));
        EXPECT_EQ(mute.m_bMuteLook, c.muted ? 1 : 0);
        NextCase();
    }
}

TEST_F(RemoteWindow, KeepAliveSendsLevelZeroThenTheLevelEvenWhenMutedThenChecksTheRoom) {
    Start();
    dlg->m_SoundLevel = 4;
    dlg->OnMute();
    Commands();
    ASSERT_TRUE(timers.Tick(5));
    EXPECT_EQ(Commands(), (Bytes{0xE0, 0xE4, kRoomChecked}));
}

TEST_F(RemoteWindow, UnpluggedReceiverStopsThePollAndComesBackReadyAfterTwoSeconds) {
    Start();
    Report(0xA2); // battery 3
    Commands();
    Unplug();
    ASSERT_TRUE(timers.Tick(6));
    EXPECT_FALSE(timers.IsRunning(4));
    EXPECT_EQ(dlg->m_strStatus, "Detect No Device!");
    EXPECT_EQ(dlg->m_strSection, " ");
    EXPECT_EQ(dlg->m_strTime, " ");
    EXPECT_EQ(Battery(), "battery-0");
    ASSERT_TRUE(timers.Tick(6)); // still away
    EXPECT_EQ(dlg->m_strStatus, "Detect No Device!");

    Plug();
    std::vector<std::string> duringWait;
    clock.DuringSleep = [&](unsigned) { duringWait.push_back(dlg->m_strStatus + "/" + Battery()); };
    ASSERT_TRUE(timers.Tick(6));
    clock.DuringSleep = nullptr;
    // "Ready" and the poll at once; the battery and the idle report after the wait.
    EXPECT_EQ(clock.Sleeps(), std::vector<unsigned>{2000});
    EXPECT_EQ(duringWait, std::vector<std::string>{"Ready/battery-0"});
    EXPECT_EQ(Battery(), "battery-3");
    EXPECT_EQ(timers.Period(4), 100u);
    EXPECT_EQ(Commands(), Bytes{0xC0});
    Report(0xA4);
    EXPECT_EQ(Battery(), "battery-5");

    ASSERT_TRUE(timers.Tick(6)); // present, nothing lost: nothing more
    EXPECT_EQ(clock.Sleeps().size(), 1u);
    EXPECT_EQ(Commands(), Bytes{});
}

} // namespace
} // namespace apptest
