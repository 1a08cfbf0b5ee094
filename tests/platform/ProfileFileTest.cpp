// The profile service on real files.
#include "platform/FileProfile.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class ProfileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("tavlo-profile-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        path = (dir / "Recorder.ini").string();
    }
    void TearDown() override {
        fs::permissions(dir, fs::perms::owner_all);
        fs::remove_all(dir);
    }
    void Put(const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
    std::string Bytes() {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string Get(const char* key) {
        char buf[255];
        profile.GetString("Recorder", key, "", buf, sizeof buf, path.c_str());
        return buf;
    }
    struct : platform::FileProfile {
    } profile;
    fs::path dir;
    std::string path;
};

TEST_F(ProfileOnDisk, ReadsAndWritesInPlaceKeepingMode) {
    Put("[Recorder]\r\nFormat=44100\r\nFloaderName=./\r\n");
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(profile.WriteString("Recorder", "FloaderName", "/home/me/rec", path.c_str()));
    EXPECT_EQ(Bytes(), "[Recorder]\r\nFormat=44100\r\nFloaderName=/home/me/rec\r\n");
    EXPECT_EQ(Get("FloaderName"), "/home/me/rec");
    struct stat st {};
    ::stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_FALSE(fs::exists(path + ".new"));
}

TEST_F(ProfileOnDisk, ReadOnlyFileIsLeftAlone) {
    Put("[Recorder]\nFormat=44100\n");
    ::chmod(path.c_str(), 0444);
    EXPECT_FALSE(profile.WriteString("Recorder", "Format", "48000", path.c_str()));
    EXPECT_EQ(Bytes(), "[Recorder]\nFormat=44100\n");
    EXPECT_EQ(Get("Format"), "44100");
}

TEST_F(ProfileOnDisk, MissingFileIsCreatedByAWrite) {
    EXPECT_EQ(Get("Format"), "");
    ASSERT_TRUE(profile.WriteString("Recorder", "Format", "48000", path.c_str()));
    EXPECT_EQ(Bytes(), "[Recorder]\nFormat=48000\n");
}

TEST_F(ProfileOnDisk, AFolderInsteadOfTheFileReadsAsEmptyAndIsNotWritten) {
    fs::create_directories(path);
    EXPECT_EQ(Get("Format"), "");
    EXPECT_FALSE(profile.WriteString("Recorder", "Format", "48000", path.c_str()));
    EXPECT_TRUE(fs::is_directory(path));
}

TEST_F(ProfileOnDisk, AFifoInsteadOfTheFileReadsAsEmptyAndIsNotWritten) {
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    // Opening a FIFO for reading waits for a writer that never comes: end the test rather than
    // hang the whole run should the read ever wait again.
    ::alarm(60);
    EXPECT_EQ(Get("Format"), "");
    EXPECT_FALSE(profile.WriteString("Recorder", "Format", "48000", path.c_str()));
    ::alarm(0);
    struct stat st {};
    ASSERT_EQ(::lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

} // namespace
