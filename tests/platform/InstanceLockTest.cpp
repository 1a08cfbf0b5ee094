// The single-instance lock on real files, and what another local user can do to it.
#include "platform/FileInstanceLock.h"

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string kName = "DonotRepeatPemuProgram";

class InstanceLockOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "tavlo-lock-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root = pattern;
        shared = root + "/tmp";
        mine = shared + "/tavlo-" + std::to_string(::geteuid());
        fs::create_directory(shared); // stands for /tmp: anybody may make names in it
        ::chmod(shared.c_str(), 01777);
        ::unsetenv("XDG_RUNTIME_DIR");
    }
    void TearDown() override { fs::remove_all(root); }
    // A lock file in folder, locked as another process holds it (until the test ends).
    void HeldLockIn(const std::string& folder, const std::string& file = kName + ".lock") {
        fs::create_directories(folder);
        const int fd = ::open((folder + "/" + file).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    }

    std::string root, shared, mine; // mine: the name of the user's private folder in shared
};

TEST_F(InstanceLockOnDisk, WithoutARuntimeFolderTheLockLivesInAPrivateFolderOfTheUsers) {
    platform::FileInstanceLock first(shared), second(shared);
    EXPECT_FALSE(second.IsHeld(kName));
    ASSERT_TRUE(first.Take(kName));
    EXPECT_TRUE(second.IsHeld(kName));
    EXPECT_FALSE(second.Take(kName));
    struct stat st {};
    ASSERT_EQ(::lstat(mine.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
}

TEST_F(InstanceLockOnDisk, ALockPlantedByAnotherUserNeverKeepsTheProgramFromStarting) {
    std::vector<std::pair<std::string, std::function<void()>>> plants = {
        {"the old lock file in /tmp",
         [&] { HeldLockIn(shared, kName + "-" + std::to_string(::getuid()) + ".lock"); }},
        {"the private folder's name, open to all",
         [&] {
             HeldLockIn(mine);
             ::chmod(mine.c_str(), 0777);
         }},
        {"the private folder's name, a link",
         [&] {
             HeldLockIn(root + "/other");
             fs::create_directory_symlink(root + "/other", mine);
         }},
        {"a runtime folder open to all",
         [&] {
             HeldLockIn(root + "/run");
             ::chmod((root + "/run").c_str(), 0777);
             ::setenv("XDG_RUNTIME_DIR", (root + "/run").c_str(), 1);
         }},
    };
    if (::geteuid() == 0) // only root can give a folder to somebody else
        plants.push_back({"the private folder's name, another user's", [&] {
                              HeldLockIn(mine);
                              ::chown(mine.c_str(), 65534, 65534);
                          }});
    for (const auto& [what, plant] : plants) {
        SCOPED_TRACE(what);
        fs::remove_all(mine);
        ::unsetenv("XDG_RUNTIME_DIR");
        plant();
        platform::FileInstanceLock lock(shared);
        EXPECT_FALSE(lock.IsHeld(kName));
        EXPECT_TRUE(lock.Take(kName));
    }
}

} // namespace
