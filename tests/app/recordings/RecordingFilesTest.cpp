// Renaming and trashing recordings on a scratch folder, with the desktop's trash in a scratch
// home: what happens to the files, what the main window's list is told, and what is refused.
#include "RecordingFiles.h"
#include "RecordingsTesting.h"
#include "WaveTestFiles.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace wavetest;
namespace fs = std::filesystem;

namespace {

class RecordingFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        home = dir.Path("home");
        fs::create_directories(home);
        fs::create_directories(dir.Path("rec"));
        UseScratchHome(home);
        host.Folder = dir.Path("rec");
        for (const char* name : {"20261207-101500.wav", "20261207-101600.wav", "20261207-101700.wav"})
            WriteFile(host.Folder + "/" + name, ProgramFile(88200, {}));
        host.InProgress = host.Folder + "/20261207-101700.wav";
        host.Playing = host.Folder + "/20261207-101600.wav";
    }

    TempDir dir;
    std::string home;
    FakeRecordingsHost host;
    RecordingFiles files{host};
};

TEST_F(RecordingFilesTest, rename_keeps_the_stamp_and_refuses_what_would_lose_or_hide_a_file) {
    WriteFile(host.Folder + "/20261207-101500 Taken.wav", Bytes{'k', 'e', 'e', 'p'});
    struct Case {
        std::string name, title;
        bool done;
        std::string after, says;
    };
    for (const Case& c :
         {Case{"20261207-101500.wav", "Taken", false, "20261207-101500.wav", "exists"},
          Case{"20261207-101500.wav", "a/b", false, "20261207-101500.wav", "cannot stand"},
          Case{"20261207-101700.wav", "x", false, "20261207-101700.wav", "being recorded"},
          Case{"20261207-101600.wav", "x", false, "20261207-101600.wav", "open for playback"},
          Case{"20261207-101500.wav", "Standup", true, "20261207-101500 Standup.wav", "is now"}}) {
        const RecordingFiles::Outcome outcome = files.Rename(c.name, c.title);
        EXPECT_EQ(outcome.Done, c.done) << c.title;
        EXPECT_EQ(outcome.Name, c.after);
        EXPECT_NE(outcome.Message.find(c.says), std::string::npos) << outcome.Message;
    }
    EXPECT_EQ(Files(host.Folder),
              (std::set<std::string>{"20261207-101500 Standup.wav", "20261207-101500 Taken.wav",
                                     "20261207-101600.wav", "20261207-101700.wav"}));
    EXPECT_EQ(ReadFile(host.Folder + "/20261207-101500 Taken.wav"), (Bytes{'k', 'e', 'e', 'p'}));
    EXPECT_EQ(host.Told,
              std::vector<std::string>{"renamed 20261207-101500.wav to 20261207-101500 Standup.wav"});
}

TEST_F(RecordingFilesTest, trash_follows_the_desktop_trash_and_spares_the_files_in_use) {
    for (const char* busy : {"20261207-101600.wav", "20261207-101700.wav"})
        EXPECT_FALSE(files.MoveToTrash(busy).Done) << busy;
    const RecordingFiles::Outcome outcome = files.MoveToTrash("20261207-101500.wav");
    ASSERT_TRUE(outcome.Done) << outcome.Message;
    EXPECT_EQ(Files(host.Folder), (std::set<std::string>{"20261207-101600.wav", "20261207-101700.wav"}));
    EXPECT_EQ(host.Told, std::vector<std::string>{"removed 20261207-101500.wav"});

    // The file and its restore record, where any desktop's file manager finds them.
    const std::string trash = home + "/.local/share/Trash";
    EXPECT_EQ(ReadFile(trash + "/files/20261207-101500.wav"), ProgramFile(88200, {}));
    const Bytes info = ReadFile(trash + "/info/20261207-101500.wav.trashinfo");
    const std::string text(info.begin(), info.end());
    EXPECT_TRUE(text.starts_with("[Trash Info]\nPath=" + host.Folder + "/20261207-101500.wav\nDeletionDate="))
        << text;
}

} // namespace
