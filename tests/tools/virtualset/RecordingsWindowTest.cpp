// The recordings window in the real Tavlo: a row and then a section chosen from the keyboard play
// (the remote hears it) and show on the display as when reached with the remote and the buttons.
#include "SectionsReport.h"
#include "SetDriver.h"
#include "WaveTestFiles.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

class RecordingsWindowEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        m_Folder = MakeTestFolder("tavlo-e2e-list");
        // Two recordings: ten seconds with sections at 0, 3 and 6 s, and a later one of five.
        wavetest::WriteFile((m_Folder / "20261207-090000.wav").string(),
                            wavetest::ProgramFile(88200 * 10, {3, 3}));
        wavetest::WriteFile((m_Folder / "20261207-100000.wav").string(),
                            wavetest::ProgramFile(88200 * 5, {}));
    }
    void TearDown() override { CleanTestFolder(m_Folder.string(), HasFailure()); }
    // The main window's text control as shown now.
    QImage Text(SetDriver& set, int id) { return set.Screenshot().copy(ControlRect(id)); }
    // The main window as it is now, kept beside the recordings for a failure's message.
    std::string Keep(SetDriver& set, const std::string& name) {
        const std::string path = (m_Folder / ("window-" + name + ".png")).string();
        set.Screenshot().save(QString::fromStdString(path));
        return "window kept as " + path;
    }

    fs::path m_Folder;
};

TEST_F(RecordingsWindowEndToEnd, a_row_and_a_section_chosen_in_the_window_play_and_show_on_the_display) {
    SetDriver set(m_Folder.string());
    ASSERT_TRUE(set.Await("ready")) << set.Log();
    ASSERT_TRUE(set.Expect("C0") && set.Expect("E7") && set.Expect("C0")) << set.Log(); // the greeting

    // How the display shows the first recording in its second section, reached with the remote's
    // Play and the Section down button.
    set.Send("press play");
    ASSERT_TRUE(set.Expect("C2")) << set.Log();
    const QImage firstFile = Text(set, 1032);
    ASSERT_TRUE(set.ClickControl(1006));
    platform::Clock().Sleep(1500); // the clock tick shows the section
    const QImage secondSection = Text(set, 1031);
    ASSERT_TRUE(set.ClickControl(1002));
    ASSERT_TRUE(set.Expect("C0")) << set.Log();

    // The window opens on the current recording; the next row is the later recording. The window
    // closes again (Escape) to leave the display in sight on the small test screen.
    ASSERT_TRUE(set.Keys("ctrl+l"));
    ASSERT_TRUE(set.Keys("Down Return Escape", "Tavlo recordings"));
    ASSERT_TRUE(set.Expect("C2")) << set.Log();
    platform::Clock().Sleep(500);
    EXPECT_FALSE(Text(set, 1032) == firstFile) << Keep(set, "other-file");

    // Back up to the first recording, open its sections and choose the second.
    ASSERT_TRUE(set.Keys("ctrl+l"));
    ASSERT_TRUE(set.Keys("Up Right Down Down Return Escape", "Tavlo recordings"));
    ASSERT_TRUE(set.Expect("C0") && set.Expect("C2")) << set.Log();
    platform::Clock().Sleep(500);
    EXPECT_TRUE(Text(set, 1032) == firstFile) << Keep(set, "status");
    EXPECT_TRUE(Text(set, 1031) == secondSection) << Keep(set, "section");

    // Recording, the list's current entry gets a title; the recording itself can be neither
    // renamed nor trashed, and its save keeps it with its mark.
    ASSERT_TRUE(set.ClickControl(1002));
    set.Send("press record");
    ASSERT_TRUE(set.Expect("C0") && set.Expect("C1")) << set.Log();
    platform::Clock().Sleep(1500);
    set.Send("press stop");
    ASSERT_TRUE(set.Expect("C0") && set.Expect("C1")) << set.Log();
    ASSERT_TRUE(set.Keys("ctrl+l"));
    ASSERT_TRUE(set.Keys("F2", "Tavlo recordings"));
    ASSERT_TRUE(set.Keys("C a l l Return", "Rename recording"));
    ASSERT_TRUE(set.Keys("End F2", "Tavlo recordings"));
    ASSERT_TRUE(set.Keys("G o n e Return", "Rename recording"));
    ASSERT_TRUE(set.Keys("End Delete Escape", "Tavlo recordings"));
    platform::Clock().Sleep(1000);
    set.Send("press file");
    ASSERT_TRUE(set.Expect("C0")) << set.Log();
    const std::vector<fs::path> kept = Recordings(m_Folder);
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[0].filename(), "20261207-090000 Call.wav");
    const fs::path live = kept.back();
    EXPECT_EQ(live.filename().string().find(' '), std::string::npos) << live;
    EXPECT_FALSE(fs::exists(live.string() + ".journal"));
    WaveSummary summary;
    std::string error;
    ASSERT_TRUE(DescribeWaveFile(live.string(), summary, error)) << error;
    EXPECT_EQ(summary.SectionStarts.size(), 2u);

    EXPECT_TRUE(set.Alive()) << set.Log();
}

} // namespace
