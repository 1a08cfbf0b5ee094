// The transport driven from the remote unit's keys: what the receiver hears back, in order, what
// the window shows, and the recording that survives the receiver being pulled out.
#include "WindowFixture.h"
#include "wavefile/WaveReader.h"

namespace apptest {
namespace {

class RemoteKeys : public WindowTest {
protected:
    // Records `seconds` of sound from the remote, the clock ticking with it.
    void RecordFor(int seconds) {
        for (int s = 0; s < seconds; ++s) {
            Speak(10);
            clock.Advance(1000);
            Tick(3);
        }
    }
    const fs::path kFirst = fs::path("rec") / "20261207-100000.wav";
};

TEST_F(RemoteKeys, record_mark_and_save_from_the_remote_tell_it_each_state) {
    Open();
    Report(0x07);
    EXPECT_EQ(Commands(), (std::vector<int>{0xC0, 0xC1})); // room checked while idle, then recording
    EXPECT_TRUE(dlg->m_Recording);
    RecordFor(2);
    Report(0x06); // the stop key marks a section and recording goes on
    EXPECT_EQ(Commands(), (std::vector<int>{0xC0, 0xC1}));
    EXPECT_TRUE(dlg->m_Recording && !dlg->m_RecordPaused);
    RecordFor(1);
    Report(0x01); // the file key while recording: File end and save
    EXPECT_EQ(Commands(), std::vector<int>{0xC0});
    EXPECT_FALSE(dlg->m_Recording);
    EXPECT_EQ(Images(1003), std::make_pair(157, 150));
    EXPECT_EQ(SectionStarts(start / kFirst), (std::vector<std::uint32_t>{0, 2}));
}

TEST_F(RemoteKeys, play_pause_and_resume_from_the_remote) {
    Open();
    Report(0x07);
    RecordFor(3);
    Report(0x01);
    Commands();
    for (int expected : {0xC2, 0xC0, 0xC2}) {
        Report(0x03);
        EXPECT_EQ(Commands(), std::vector<int>{expected});
    }
    EXPECT_TRUE(dlg->m_Playing && !dlg->m_PlayPaused);
}

struct HoldCase {
    const char* name;
    std::vector<std::uint8_t> keys;
    // Whether the wind runs after each report.
    std::vector<bool> winding;
    // Section jumps (with their flash) the press made.
    std::size_t jumps;
};

// Played here: a recording of two sections, so that a short press shows as a section jump.
TEST_F(RemoteKeys, a_held_wind_key_engages_on_the_second_report_and_releases_on_key_up) {
    const HoldCase cases[] = {
        {"rewind: down, three repeats, up", {0x02, 0x02, 0x02, 0x02, 0xB2}, {0, 0, 1, 1, 0}, 0},
        {"repeats of another report count the same", {0x02, 0xA1, 0xA1, 0xA1, 0xB2}, {0, 0, 1, 1, 0}, 0},
        {"forward: down, repeats, up", {0x04, 0x04, 0x04, 0xB4}, {0, 0, 1, 0}, 0},
        {"one report between: the up engages and releases at once", {0x02, 0x02, 0xB2}, {0, 0, 0}, 0},
        {"idle reports between count for nothing: a short press", {0x02, 0xAE, 0xAE, 0xB2}, {0, 0, 0, 0}, 1},
        {"short forward press", {0x04, 0xB4}, {0, 0}, 1},
    };
    Open();
    Report(0x07);
    RecordFor(2);
    Report(0x06);
    RecordFor(2);
    Report(0x01);
    for (const HoldCase& c : cases) {
        SCOPED_TRACE(c.name);
        Report(0x03); // play from the start
        const std::size_t flashes = clock.Sleeps().size();
        const bool forward = c.keys[0] == 0x04;
        for (std::size_t i = 0; i < c.keys.size(); ++i) {
            Report(c.keys[i]);
            EXPECT_EQ(forward ? dlg->m_FastForward : dlg->m_Rewind, c.winding[i]) << "after report " << i;
            EXPECT_EQ(dlg->m_strSpeed == "8X", c.winding[i]) << "after report " << i;
        }
        EXPECT_EQ(clock.Sleeps().size(), flashes + c.jumps);
        Report(0x06); // stop
    }
}

TEST_F(RemoteKeys, a_short_wind_press_moves_a_section_only_while_playing_a_file_with_sections) {
    Open();
    Report(0x02);
    Report(0xB2); // idle: nothing
    EXPECT_TRUE(clock.Sleeps().empty());
    Report(0x07);
    RecordFor(2);
    Report(0x06);
    RecordFor(2);
    Report(0x01);
    Report(0x03); // play: sections at 0 and 2 s
    Report(0x04);
    Report(0xB4); // Section down
    EXPECT_EQ(Images(1006), std::make_pair(162, 140));
    EXPECT_EQ(dlg->m_Sections.m_CurSection, 2);
    Report(0x02);
    Report(0xB2); // Section up
    EXPECT_EQ(Images(1007), std::make_pair(161, 139));
    EXPECT_EQ(dlg->m_Sections.m_CurSection, 1);
    EXPECT_FALSE(dlg->m_FastForward || dlg->m_Rewind);
}

TEST_F(RemoteKeys, link_lost_while_recording_keeps_the_recording_and_the_status_line) {
    Open();
    Report(0x07);
    RecordFor(2);
    const std::string status = dlg->m_strStatus;
    Commands();
    Report(0x70);
    EXPECT_EQ(Commands(), std::vector<int>{0xC0});
    EXPECT_FALSE(dlg->m_Recording);
    EXPECT_EQ(dlg->m_strStatus, status);
    EXPECT_EQ(SectionStarts(start / kFirst), std::vector<std::uint32_t>{0});
}

TEST_F(RemoteKeys, unplugged_while_recording_the_file_is_kept_and_plugging_back_brings_ready) {
    Open();
    Report(0xA2);
    Report(0x07);
    RecordFor(2);
    Commands();
    Unplug();
    Tick(6);
    EXPECT_FALSE(dlg->m_Recording);
    EXPECT_FALSE(timers.IsRunning(4));
    EXPECT_EQ(SectionStarts(start / kFirst), std::vector<std::uint32_t>{0});
    EXPECT_EQ(dlg->m_strStatus, "Detect No Device!");

    Plug();
    Tick(6);
    EXPECT_EQ(dlg->m_strStatus, "Ready");
    EXPECT_EQ(timers.Period(4), 100u);
    EXPECT_EQ(clock.Sleeps().back(), 2000u);
    EXPECT_EQ(Commands(), std::vector<int>{0xC0});
    Report(0x07); // the remote records again
    EXPECT_TRUE(dlg->m_Recording);
    Report(0x01);
}

struct PedalStep {
    const char* name;
    std::uint8_t pedals; // held after the report
    TransportState after;
    std::vector<int> told; // what the remote's light is told
};

// Found while a recording is open, the pedal leaves it alone; then it plays and winds the saved
// file while held, and goes and comes back with the receiver and without it.
TEST_F(RemoteKeys, the_foot_pedal_plays_and_winds_while_held_with_or_without_the_receiver) {
    using enum TransportState;
    Open();
    Report(0x07);
    RecordFor(3);
    PlugPedal();
    Tick(7);
    EXPECT_EQ(timers.Period(7), 100u) << "found: its reports are read";
    Commands();
    Pedals(0x07);
    Pedals(0x00);
    EXPECT_EQ(dlg->State(), Recording);
    EXPECT_EQ(Commands(), std::vector<int>{});
    Report(0x01); // saved: the current file
    Commands();
    const PedalStep steps[] = {
        {"middle held plays the file", 0x02, Playing, {0xC2}},
        {"let go, it pauses", 0x00, Paused, {0xC0}},
        {"left held rewinds", 0x01, RewindPaused, {}},
        {"let go, the rewind ends", 0x00, Paused, {}},
        {"right held winds forward", 0x04, ForwardPaused, {}},
        {"middle as well plays: the pedal pressed last decides", 0x06, Playing, {0xC2}},
        {"right let go, it plays on", 0x02, Playing, {}},
        {"all let go", 0x00, Paused, {0xC0}},
        {"unknown bits alone are nothing", 0xF8, Paused, {}},
        {"unknown bits beside middle are ignored", 0x0A, Playing, {0xC2}},
    };
    for (const PedalStep& step : steps) {
        SCOPED_TRACE(step.name);
        Pedals(step.pedals);
        EXPECT_EQ(StateName(dlg->State()), StateName(step.after));
        EXPECT_EQ(dlg->m_strSpeed == "8X", IsWinding(step.after)) << dlg->m_strSpeed;
        EXPECT_EQ(Commands(), step.told);
    }
    // A tap between two ticks is a release, a press and a release.
    for (std::uint8_t pedals : {0x00, 0x02, 0x00})
        bus->SendInput(pedalNode, {0, pedals});
    Tick(7);
    EXPECT_EQ(Commands(), (std::vector<int>{0xC0, 0xC2, 0xC0}));
    // Pulled out with middle held it pauses, quietly; then plugged in again.
    for (bool receiver : {true, false}) {
        SCOPED_TRACE(receiver ? "with the receiver" : "without the receiver");
        Pedals(0x02);
        EXPECT_EQ(dlg->State(), Playing);
        UnplugPedal();
        Tick(7);
        EXPECT_EQ(dlg->State(), Paused);
        EXPECT_EQ(timers.Period(7), 1000u);
        EXPECT_EQ(timers.IsRunning(4), receiver) << "the receiver's poll is its own";
        if (receiver) {
            Unplug(); // playback stops, as it always has
            Tick(6);
        }
        PlugPedal();
        Tick(7);
    }
    EXPECT_TRUE(boxes.Boxes.empty());
}

} // namespace
} // namespace apptest
