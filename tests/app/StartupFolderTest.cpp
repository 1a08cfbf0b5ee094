// Where the program starts: the build folder as it is, the installed program in the user's folders.
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

const char* const kDefaults = "[Recorder]\nFormat=44100\nFloaderName=.\\\nDefaultFloader=.\\\n";

class StartupFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tavlo-startup.XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_Root = pattern;
        // An installed data folder, a home folder and somewhere else to start in.
        Write(m_Root / "usr/share/tavlo/Recorder.ini", kDefaults);
        Write(m_Root / "usr/share/tavlo/res/Rgn.bmp", "skin");
        fs::create_directories(m_Root / "home/user");
        fs::create_directories(m_Root / "elsewhere");
        m_Places = {(m_Root / "elsewhere").string(), (m_Root / "usr/share/tavlo").string(), "", "",
                    (m_Root / "home/user").string()};
    }
    void TearDown() override { fs::remove_all(m_Root); }

    fs::path Home(const std::string& below) const { return m_Root / "home/user" / below; }
    std::string Settings(const std::string& key) const {
        const std::string text = Read(Home(".config/tavlo/Recorder.ini"));
        const std::size_t at = text.find("\n" + key + "=");
        return at == std::string::npos
                   ? "<none>"
                   : text.substr(at + key.size() + 2, text.find('\n', at + 1) - at - key.size() - 2);
    }

    fs::path m_Root;
    StartupPlaces m_Places;
    std::string m_Error;
};

TEST_F(StartupFolderTest, AFirstStartMakesTheSettingsFolderAndAVisibleRecordingsFolder) {
    const auto folder = PrepareStartupFolder(m_Places, m_Error);

    ASSERT_TRUE(folder) << m_Error;
    EXPECT_EQ(*folder, Home(".config/tavlo").string());
    EXPECT_EQ(Read(*folder + "/res/Rgn.bmp"), "skin");
    EXPECT_EQ(Settings("Format"), "44100");
    EXPECT_EQ(Settings("FloaderName"), Home("Recordings/Tavlo").string());
    EXPECT_EQ(Settings("DefaultFloader"), Home("Recordings/Tavlo").string());
    EXPECT_TRUE(fs::is_directory(Home("Recordings/Tavlo")));
    EXPECT_FALSE(fs::exists(Home(".local"))) << "nothing goes to the earlier version's folder";
}

TEST_F(StartupFolderTest, TheUsersSettingsSurviveTheNextStartAndAMovedProgramIsFollowed) {
    ASSERT_TRUE(PrepareStartupFolder(m_Places, m_Error));
    Write(Home(".config/tavlo/Recorder.ini"), "[Recorder]\nFormat=48000\nFloaderName=/mnt/stick\n");
    Write(m_Root / "opt/share/tavlo/Recorder.ini", kDefaults);
    Write(m_Root / "opt/share/tavlo/res/Rgn.bmp", "moved skin");
    m_Places.DataDir = (m_Root / "opt/share/tavlo").string();

    ASSERT_TRUE(PrepareStartupFolder(m_Places, m_Error)) << m_Error;

    EXPECT_EQ(Read(Home(".config/tavlo/Recorder.ini")), "[Recorder]\nFormat=48000\nFloaderName=/mnt/stick\n");
    EXPECT_EQ(Read(Home(".config/tavlo/res/Rgn.bmp")), "moved skin");
}

TEST_F(StartupFolderTest, ADeletedDefaultRecordingsFolderIsMadeAgainAndTheUsersOwnPicturesAreKept) {
    ASSERT_TRUE(PrepareStartupFolder(m_Places, m_Error));
    fs::remove(Home("Recordings/Tavlo"));
    fs::remove(Home(".config/tavlo/res"));
    Write(Home(".config/tavlo/res/Rgn.bmp"), "own skin");

    ASSERT_TRUE(PrepareStartupFolder(m_Places, m_Error)) << m_Error;

    EXPECT_TRUE(fs::is_directory(Home("Recordings/Tavlo")));
    EXPECT_EQ(Read(Home(".config/tavlo/res/Rgn.bmp")), "own skin");
}

TEST_F(StartupFolderTest, TheEarlierVersionsSettingsMoveOnAndItsRecordingsAreFoundWhereTheyAre) {
    const std::string legacy = Home(".local/share/tavlo").string();
    const struct {
        const char* Case;
        std::string Folder;   // FloaderName in the earlier settings
        bool RecordedThere;   // a recording lies in the earlier folder
        std::string Expected; // FloaderName afterwards
    } cases[] = {
        {"start folder, recordings in it", ".\\", true, legacy},
        {"start folder, nothing recorded", ".\\", false, Home("Recordings/Tavlo").string()},
        {"earlier folder in full, recordings in it", legacy + "/", true, legacy},
        {"earlier folder in full, nothing recorded", legacy + "/", false, Home("Recordings/Tavlo").string()},
        {"a folder the user chose", "/srv/dictation/", false, "/srv/dictation/"},
    };
    for (const auto& c : cases) {
        fs::remove_all(Home(""));
        Write(Home(".local/share/tavlo/Recorder.ini"),
              "[Recorder]\nFormat=48000\nFloaderName=" + c.Folder + "\n");
        if (c.RecordedThere)
            Write(Home(".local/share/tavlo/20250102-030405.WAV"), "RIFF");

        ASSERT_TRUE(PrepareStartupFolder(m_Places, m_Error)) << c.Case << ": " << m_Error;

        EXPECT_EQ(Settings("Format"), "48000") << c.Case;
        EXPECT_EQ(Settings("FloaderName"), c.Expected) << c.Case;
        EXPECT_EQ(c.RecordedThere, fs::exists(Home(".local/share/tavlo/20250102-030405.WAV"))) << c.Case;
    }
}

TEST_F(StartupFolderTest, XdgConfigHomeChoosesTheFolderWhenItIsAnAbsolutePath) {
    const struct {
        std::string XdgConfigHome;
        std::string Expected;
    } cases[] = {
        {"/conf", "/conf/tavlo"},
        {"relative/conf", "/home/user/.config/tavlo"},
        {"", "/home/user/.config/tavlo"},
    };
    for (const auto& c : cases) {
        m_Places.XdgConfigHome = c.XdgConfigHome.empty() || c.XdgConfigHome[0] != '/'
                                     ? c.XdgConfigHome
                                     : (m_Root.string() + c.XdgConfigHome);
        const auto folder = PrepareStartupFolder(m_Places, m_Error);
        ASSERT_TRUE(folder) << c.XdgConfigHome << ": " << m_Error;
        EXPECT_EQ(*folder, m_Root.string() + c.Expected) << c.XdgConfigHome;
        EXPECT_TRUE(fs::exists(*folder + "/Recorder.ini")) << c.XdgConfigHome;
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
    EXPECT_TRUE(fs::is_empty(Home("")));
}

TEST_F(StartupFolderTest, AFolderThatCannotBeMadeOrNoHomeIsReportedAndNothingIsChosen) {
    Write(Home(".config/tavlo"), "a file in the way");
    EXPECT_FALSE(PrepareStartupFolder(m_Places, m_Error));
    EXPECT_NE(m_Error.find(".config/tavlo"), std::string::npos) << m_Error;
    EXPECT_EQ(Read(Home(".config/tavlo")), "a file in the way");

    m_Places.Home.clear();
    EXPECT_FALSE(PrepareStartupFolder(m_Places, m_Error));
    EXPECT_FALSE(m_Error.empty());
}

} // namespace
