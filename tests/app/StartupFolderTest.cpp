// Where the program starts: the build folder as it is, the installed program in the user's folder.
#include "StartupFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void Write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

class StartupFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tavlo-startup.XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_Root = pattern;
        // An installed data folder, a home folder and somewhere else to start in.
        Write(m_Root / "usr/share/tavlo/Recorder.ini", "[Recorder]\nFormat=44100\n");
        Write(m_Root / "usr/share/tavlo/res/Rgn.bmp", "skin");
        fs::create_directories(m_Root / "home/user");
        fs::create_directories(m_Root / "elsewhere");
        m_Places = {(m_Root / "elsewhere").string(), (m_Root / "usr/share/tavlo").string(), "",
                    (m_Root / "home/user").string()};
    }
    void TearDown() override { fs::remove_all(m_Root); }

    fs::path m_Root;
    StartupPlaces m_Places;
    std::string m_Error;
};

TEST_F(StartupFolderTest, TheInstalledProgramStartedElsewhereGetsAUserFolderWithSettingsAndPictures) {
    const auto folder = PrepareStartupFolder(m_Places, m_Error);

    ASSERT_TRUE(folder) << m_Error;
    EXPECT_EQ(*folder, (m_Root / "home/user/.local/share/tavlo").string());
    EXPECT_EQ(Read(*folder + "/Recorder.ini"), "[Recorder]\nFormat=44100\n");
    EXPECT_EQ(Read(*folder + "/res/Rgn.bmp"), "skin");
}

TEST_F(StartupFolderTest, TheUsersSettingsSurviveTheNextStartAndAMovedProgramIsFollowed) {
    ASSERT_TRUE(PrepareStartupFolder(m_Places, m_Error));
    const fs::path folder = m_Root / "home/user/.local/share/tavlo";
    Write(folder / "Recorder.ini", "[Recorder]\nFormat=48000\n");
    Write(m_Root / "opt/share/tavlo/Recorder.ini", "[Recorder]\n");
    Write(m_Root / "opt/share/tavlo/res/Rgn.bmp", "moved skin");
    m_Places.DataDir = (m_Root / "opt/share/tavlo").string();

    ASSERT_TRUE(PrepareStartupFolder(m_Places, m_Error)) << m_Error;

    EXPECT_EQ(Read(folder / "Recorder.ini"), "[Recorder]\nFormat=48000\n");
    EXPECT_EQ(Read(folder / "res/Rgn.bmp"), "moved skin");
}

TEST_F(StartupFolderTest, TheUsersOwnPicturesFolderIsKept) {
    Write(m_Root / "home/user/.local/share/tavlo/res/Rgn.bmp", "own skin");

    ASSERT_TRUE(PrepareStartupFolder(m_Places, m_Error)) << m_Error;

    EXPECT_EQ(Read(m_Root / "home/user/.local/share/tavlo/res/Rgn.bmp"), "own skin");
}

TEST_F(StartupFolderTest, XdgDataHomeChoosesTheFolderWhenItIsAnAbsolutePath) {
    const struct {
        std::string XdgDataHome;
        std::string Expected;
    } cases[] = {
        {"/data", "/data/tavlo"},
        {"relative/data", "/home/user/.local/share/tavlo"},
        {"", "/home/user/.local/share/tavlo"},
    };
    for (const auto& c : cases) {
        m_Places.XdgDataHome = c.XdgDataHome.empty() || c.XdgDataHome[0] != '/'
                                   ? c.XdgDataHome
                                   : (m_Root.string() + c.XdgDataHome);
        const auto folder = PrepareStartupFolder(m_Places, m_Error);
        ASSERT_TRUE(folder) << c.XdgDataHome << ": " << m_Error;
        EXPECT_EQ(*folder, m_Root.string() + c.Expected) << c.XdgDataHome;
        EXPECT_TRUE(fs::exists(*folder + "/Recorder.ini")) << c.XdgDataHome;
    }
}

TEST_F(StartupFolderTest, AFolderWithPicturesOrAProgramNotInstalledKeepsTheCurrentFolder) {
    Write(m_Root / "build/bin/res/Rgn.bmp", "skin");
    StartupPlaces buildFolder = m_Places;
    buildFolder.CurrentDir = (m_Root / "build/bin").string();
    StartupPlaces notInstalled = m_Places;
    notInstalled.DataDir = (m_Root / "build/share/tavlo").string();

    for (const StartupPlaces& places : {buildFolder, notInstalled}) {
        EXPECT_FALSE(PrepareStartupFolder(places, m_Error)) << places.CurrentDir;
        EXPECT_EQ(m_Error, "");
    }
    EXPECT_FALSE(fs::exists(m_Root / "home/user/.local"));
}

TEST_F(StartupFolderTest, AUserFolderThatCannotBeMadeIsReportedAndNothingIsChosen) {
    Write(m_Root / "home/user/.local/share/tavlo", "a file in the way");

    EXPECT_FALSE(PrepareStartupFolder(m_Places, m_Error));

    EXPECT_NE(m_Error.find(".local/share/tavlo"), std::string::npos) << m_Error;
    EXPECT_EQ(Read(m_Root / "home/user/.local/share/tavlo"), "a file in the way");
}

TEST_F(StartupFolderTest, NoHomeAndNoXdgDataHomeIsReported) {
    m_Places.Home.clear();

    EXPECT_FALSE(PrepareStartupFolder(m_Places, m_Error));

    EXPECT_FALSE(m_Error.empty());
}

} // namespace
