// The recordings window's commands in the main window: a row or a section chosen there plays
// through the list and the handlers of File up/down, and the list follows files renamed or
// removed there; each checked by what the remote hears and the window shows.
#include "MainWindowHost.h"
#include "RecordingFiles.h"
#include "WindowFixture.h"

namespace apptest {
namespace {

class RecordingsCommands : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        MakeRecording(rec / "a.wav", 200, {4, 3}); // 20 s, sections at 0, 4 and 7 s
        MakeRecording(rec / "b.wav", 30);
        MakeRecording(rec / "c.wav", 15);
    }
    std::vector<std::string> List() { return {g_FileList.begin(), g_FileList.end()}; }
};

TEST_F(RecordingsCommands, a_chosen_row_or_section_plays_as_file_up_and_down_play_and_the_remote_hears_it) {
    Open();
    MainWindowHost host(*dlg);
    struct Step {
        const char* name;
        unsigned section;
        int windFirst; // a button pressed before the choice, or 0
        std::vector<int> sent;
        const char* shownSection;
        std::uint64_t second;
        std::uint16_t prev, next;
    };
    for (const Step& s : {Step{"b.wav", 1, 0, {0xC2}, "Section 1", 0, 0, 0},
                          Step{"a.wav", 3, 0, {0xC0, 0xC2}, "Section 3", 7, 2, 1},
                          Step{"a.wav", 2, 0, {0xC0, 0xC2}, "Section 2", 4, 1, 3},
                          // While winding, the choice still plays (the winding ends first).
                          Step{"a.wav", 1, 1004, {0xC0, 0xC2}, "Section 1", 0, 3, 2},
                          // No such section: the recording plays from its start.
                          Step{"a.wav", 9, 0, {0xC0, 0xC2}, "Section 1", 0, 3, 2}}) {
        SCOPED_TRACE(testing::Message() << s.name << " section " << s.section);
        if (s.windFirst)
            Press(s.windFirst);
        host.PlayRecording(s.name, s.section);
        EXPECT_EQ(Commands(), s.sent);
        EXPECT_EQ(*g_CurFile, s.name);
        EXPECT_EQ(dlg->m_strStatus, s.name);
        EXPECT_EQ(dlg->m_strSection, s.shownSection);
        EXPECT_TRUE(dlg->m_Playing && !dlg->m_PlayPaused && !dlg->m_FastForward);
        EXPECT_EQ(Second(), s.second);
        EXPECT_EQ(fs::path(host.PlayingPath()).filename(), s.name);
        if (s.prev) {
            EXPECT_EQ(dlg->m_Sections.m_PrevSection, s.prev);
            EXPECT_EQ(dlg->m_Sections.m_NextSection, s.next);
        }
    }
    EXPECT_EQ(clock.Sleeps(), std::vector<unsigned>(5, 1000u)); // File up/down's second, each time
}

TEST_F(RecordingsCommands, the_list_takes_in_files_that_came_and_follows_renames_and_removals) {
    Open();
    MainWindowHost host(*dlg);
    MakeRecording(rec / "ab.wav", 10); // saved by another program after the scan
    host.PlayRecording("ab.wav", 1);
    EXPECT_EQ(List(), (std::vector<std::string>{"a.wav", "ab.wav", "b.wav", "c.wav"}));
    EXPECT_EQ(host.CurrentRecording(), "ab.wav");
    Press(1002);
    Commands();

    host.RecordingRenamed("ab.wav", "zz.wav");
    EXPECT_EQ(List(), (std::vector<std::string>{"a.wav", "b.wav", "c.wav", "zz.wav"}));
    EXPECT_EQ(*g_CurFile, "zz.wav");
    EXPECT_EQ(dlg->m_strStatus, "zz.wav");
    // The current entry removed: the next (after the last, the first) is current and shown.
    host.RecordingRemoved("zz.wav");
    EXPECT_EQ(*g_CurFile, "a.wav");
    EXPECT_EQ(dlg->m_strStatus, "a.wav");
    Press(1017);
    EXPECT_EQ(*g_CurFile, "b.wav");

    // Nothing plays from the list while recording.
    Press(1000);
    EXPECT_TRUE(fs::equivalent(fs::path(host.RecordingPath()).parent_path(), rec)) << host.RecordingPath();
    const std::string live = fs::path(host.RecordingPath()).filename();
    Commands();
    host.PlayRecording("c.wav", 1);
    EXPECT_EQ(*g_CurFile, "b.wav");
    EXPECT_EQ(Commands(), std::vector<int>{});

    // The list's current entry renamed while recording: the recording keeps its name, its status
    // line and its journal, and is itself refused for rename and trash.
    RecordingFiles files(host);
    ASSERT_TRUE(files.Rename("b.wav", "Call").Done);
    EXPECT_EQ(*g_CurFile, "Call.wav");
    clock.Advance(1000);
    Tick(3);
    EXPECT_EQ(dlg->m_strStatus, live);
    EXPECT_FALSE(files.Rename(live, "Gone").Done);
    EXPECT_FALSE(files.MoveToTrash(live).Done);
    EXPECT_TRUE(fs::exists(rec / (live + ".journal")));
    Press(1003);
    EXPECT_EQ(*g_CurFile, live); // the save lists the recording, not the renamed entry
    EXPECT_FALSE(fs::exists(rec / (live + ".journal")));
}

} // namespace
} // namespace apptest
