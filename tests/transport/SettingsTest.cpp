// Loading Recorder.ini into the program-wide settings, through the in-memory profile and folders.
#include "Settings.h"
#include "IniFile.h"
#include "ProgramState.h"
#include "TypistPlayback.h"
#include "platform/fakes/FakeFileSystem.h"
#include "platform/fakes/FakeProfile.h"

#include <gtest/gtest.h>

namespace {

class LoadingSettings : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetPrivateProfile(&profile);
        platform::SetFileSystem(&files);
        files.AddFolder("/start");
        files.AddFolder("/home/me/rec");
        files.ChangeDirectory("/start");
        g_Format = "44100";
        g_FolderName = ".\\";
        g_Speed = 0;
    }
    void TearDown() override {
        platform::SetPrivateProfile(nullptr);
        platform::SetFileSystem(nullptr);
    }
    void Ini(const std::string& text) { profile.Files["/start/Recorder.ini"] = text; }

    platform::FakeProfile profile;
    platform::FakeFileSystem files;
};

TEST_F(LoadingSettings, ReadsTheThreeKeysAndEntersTheFolder) {
    Ini("[Recorder]\nFormat=48000\nFF/RewindSpeed=16\nFloaderName=/home/me/rec\nPlayerDevice=No Device\n");
    LoadSettingsFrom("/start");
    EXPECT_EQ(g_Format, "48000");
    EXPECT_EQ(g_Speed, 16u);
    EXPECT_EQ(g_FolderName, "/home/me/rec");
    EXPECT_EQ(files.CurrentDir, "/home/me/rec");
}

TEST_F(LoadingSettings, StepBackIsWholeSecondsFromNoneToTenAndAnythingElseIsTwo) {
    struct Case {
        const char* ini;
        unsigned seconds;
    };
    for (Case c :
         {Case{"[Dictation]\nStepBack=0\n", 0}, Case{"[Dictation]\nStepBack=10\n", 10},
          Case{"[Dictation]\nStepBack= 7 \n", 7}, Case{"[Dictation]\nStepBack=11\n", 2},
          Case{"[Dictation]\nStepBack=-1\n", 2}, Case{"[Dictation]\nStepBack=2.5\n", 2},
          Case{"[Dictation]\nStepBack=3s\n", 2}, Case{"[Dictation]\nStepBack=\n", 2},
          Case{"[Dictation]\nStepBack=0005\n", 2}, Case{"[Recorder]\nStepBack=5\n", 2}, Case{"", 2}}) {
        Ini(c.ini);
        EXPECT_EQ(LoadStepBack("/start"), c.seconds) << c.ini;
    }
}

TEST_F(LoadingSettings, SpeedTakesTheLeadingNumberOrKeepsTheOneInForce) {
    Ini("[Recorder]\nFF/RewindSpeed=8X\n");
    LoadSettingsFrom("/start");
    EXPECT_EQ(g_Speed, 8u);
    Ini("[Recorder]\nFF/RewindSpeed=OFF\n");
    LoadSettingsFrom("/start");
    EXPECT_EQ(g_Speed, 8u);
    Ini("[Recorder]\nFF/RewindSpeed=  4\n");
    LoadSettingsFrom("/start");
    EXPECT_EQ(g_Speed, 4u);
    Ini("[Recorder]\nFF/RewindSpeed=-4\n");
    LoadSettingsFrom("/start");
    EXPECT_EQ(g_Speed, 4u);
}

TEST_F(LoadingSettings, TheChosenInputIsReadAndAFileWithoutTheKeyGoesBackToNoChoice) {
    Ini("[Recorder]\nFormat=44100\nRecordInput=Built-in Audio Analog Stereo\n");
    LoadSettingsFrom("/start");
    EXPECT_EQ(g_RecordInput, "Built-in Audio Analog Stereo");
    Ini("[Recorder]\nFormat=44100\n");
    LoadSettingsFrom("/start");
    EXPECT_EQ(g_RecordInput, "");
}

TEST_F(LoadingSettings, DotBackslashStaysInTheStartupDirectory) {
    Ini("[Recorder]\nFloaderName=.\\\n");
    LoadSettingsFrom("/start");
    EXPECT_EQ(g_FolderName, ".\\");
    EXPECT_EQ(files.CurrentDir, "/start");
    Ini("[Recorder]\nFloaderName=./\n");
    LoadSettingsFrom("/start");
    EXPECT_EQ(files.CurrentDir, "/start");
}

TEST_F(LoadingSettings, MissingFileOrKeylessSectionKeepsTheStartValues) {
    LoadSettingsFrom("/start");
    EXPECT_EQ(g_Format, "44100");
    EXPECT_EQ(g_FolderName, ".\\");
    EXPECT_EQ(g_Speed, 0u);
    EXPECT_EQ(files.CurrentDir, "/start");
    Ini("[Recorder]\n\n[Other]\nFormat=48000\n");
    LoadSettingsFrom("/start");
    EXPECT_EQ(g_Format, "44100");
}

TEST_F(LoadingSettings, AMissingKeyReadsAsEmptyAndAMissingFolderIsNotEntered) {
    Ini("[Recorder]\nFloaderName=/gone\n");
    LoadSettingsFrom("/start");
    EXPECT_EQ(g_Format, "");
    EXPECT_EQ(g_FolderName, "/gone");
    EXPECT_EQ(files.CurrentDir, "/start");
}

TEST_F(LoadingSettings, ALongFolderIsEnteredWhole) {
    const std::string folder = "/home/me/" + std::string(311, 'r');
    files.AddFolder(folder);
    Ini("[Recorder]\nFloaderName=" + folder + "\n");
    LoadSettingsFrom("/start");
    EXPECT_EQ(g_FolderName, folder);
    EXPECT_EQ(files.CurrentDir, folder);
}

TEST_F(LoadingSettings, PathIsFormedFromTheStartupDirectoryNotTheCurrentOne) {
    Ini("[Recorder]\nFormat=48000\nFloaderName=/home/me/rec\n");
    LoadSettingsFrom("/start");
    profile.Files["/start/Recorder.ini"] = "[Recorder]\nFormat=44100\nFloaderName=/home/me/rec\n";
    LoadSettingsFrom("/start");
    EXPECT_EQ(g_Format, "44100");
}

TEST(SettingsFile, SectionTestCountsKeysAndWritesKeepOtherLines) {
    platform::FakeProfile profile;
    platform::SetPrivateProfile(&profile);
    CIniFile ini("/cfg/Recorder.ini");
    EXPECT_FALSE(ini.HasSection("Recorder"));
    profile.Files["/cfg/Recorder.ini"] = "[Recorder]\r\n";
    EXPECT_FALSE(ini.HasSection("Recorder"));
    profile.Files["/cfg/Recorder.ini"] = "[Recorder]\r\nFormat=44100\r\nFloaderName=.\\\r\n";
    EXPECT_TRUE(ini.HasSection("recorder"));
    EXPECT_TRUE(ini.WriteString("Recorder", "Format", "48000"));
    EXPECT_EQ(profile.Files["/cfg/Recorder.ini"], "[Recorder]\r\nFormat=48000\r\nFloaderName=.\\\r\n");
    EXPECT_EQ(ini.GetString("Recorder", "Missing"), "");
    platform::SetPrivateProfile(nullptr);
}

} // namespace
