// The recordings folder as the window lists it: which names, in which order, which one is
// current, and what happens when the folder is not there.
#include "IniFile.h"
#include "Settings.h"
#include "WindowFixture.h"

#include <sys/stat.h>

namespace apptest {
namespace {

using FileCommands = WindowTest;

TEST_F(FileCommands, the_folder_lists_wav_files_in_byte_order_and_the_first_found_is_current) {
    for (const char* name : {"c.wav", "B.WAV", "a.wav", "d.Wav", "notes.txt"})
        std::ofstream(rec / name) << "x";
    // Folders (read-only or not), a dangling link and a pipe are no recordings; a link to one is.
    fs::create_directory(rec / "old.wav");
    fs::create_directory(rec / "kept.wav");
    fs::permissions(rec / "kept.wav", fs::perms::owner_write, fs::perm_options::remove); // read-only
    fs::create_symlink("gone.wav", rec / "dangling.wav");
    fs::create_symlink("c.wav", rec / "link.wav");
    ASSERT_EQ(::mkfifo((rec / "pipe.wav").c_str(), 0600), 0);
    Open();
    fs::permissions(rec / "kept.wav", fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(g_FileList, (std::list<std::string>{"B.WAV", "a.wav", "c.wav", "link.wav"}));
    EXPECT_EQ(*g_CurFile, "B.WAV");
}

TEST_F(FileCommands, a_missing_folder_shows_error_path_and_falls_back_to_the_start_folder) {
    WriteSettings((start / "gone").string());
    std::ofstream(start / "here.wav") << "x";
    Open();
    EXPECT_EQ(CIniFile(SettingsPath(dlg->m_WorkDir)).GetString("Recorder", "FloaderName"), dlg->m_WorkDir);
    EXPECT_EQ(g_FileList, std::list<std::string>{"here.wav"});
}

TEST_F(FileCommands, an_empty_folder_holds_the_placeholder_which_the_file_commands_pass_over) {
    Open();
    EXPECT_EQ(g_FileList, std::list<std::string>{"No WAV files"});
    Press(1017);
    Press(1016);
    EXPECT_EQ(clock.Sleeps(), std::vector<unsigned>{});
    Press(1001);
    EXPECT_EQ(dlg->m_strStatus, "No WAV files");
    EXPECT_FALSE(dlg->m_Playing);
    // A recording saved while the placeholder is current rescans the folder.
    Press(1000);
    Press(1003);
    EXPECT_EQ(g_FileList, std::list<std::string>{"20261207-100000.wav"});
}

} // namespace
} // namespace apptest
