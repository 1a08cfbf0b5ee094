// The single-instance lock on real files, and what another local user can do to it.
#include "platform/FileInstanceLock.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
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
        shared = root + "/tmp"; // stands for /tmp: anybody may create names in it
        fs::create_directory(shared);
        ::chmod(shared.c_str(), 01777);
        if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"))
            savedRuntime = runtime;
        ::unsetenv("XDG_RUNTIME_DIR");
    }
    void TearDown() override {
        for (int fd : held)
            ::close(fd);
        if (savedRuntime)
            ::setenv("XDG_RUNTIME_DIR", savedRuntime->c_str(), 1);
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    // A lock file, locked as another process would hold it.
    void HeldLock(const std::string& path) {
        fs::create_directories(fs::path(path).parent_path());
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
        held.push_back(fd);
    }
    void HeldLockIn(const std::string& folder) { HeldLock(folder + "/" + kName + ".lock"); }
    std::string PrivateFolder() const { return shared + "/tavlo-" + std::to_string(::geteuid()); }

    std::string root, shared;
    std::optional<std::string> savedRuntime;
    std::vector<int> held;
};

TEST_F(InstanceLockOnDisk, WithoutARuntimeFolderTheLockLivesInAPrivateFolderOfTheUsers) {
    platform::FileInstanceLock first(shared), second(shared);
    EXPECT_FALSE(second.IsHeld(kName));
    ASSERT_TRUE(first.Take(kName));
    EXPECT_TRUE(second.IsHeld(kName));
    EXPECT_FALSE(second.Take(kName));
    struct stat st {};
    ASSERT_EQ(::lstat(PrivateFolder().c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(fs::exists(PrivateFolder() + "/" + kName + ".lock"));
}

TEST_F(InstanceLockOnDisk, ALockPlantedByAnotherUserNeverKeepsTheProgramFromStarting) {
    struct Case {
        std::string what;
        // What the other user prepares before the program starts; false when the user running
        // the test cannot play that part.
        std::function<bool()> plant;
    };
    const std::vector<Case> cases = {
        {"the old shared lock file",
         [&] {
             HeldLock(shared + "/" + kName + "-" + std::to_string(::getuid()) + ".lock");
             return true;
         }},
        {"the private folder's name, open to all",
         [&] {
             HeldLockIn(PrivateFolder());
             return ::chmod(PrivateFolder().c_str(), 0777) == 0;
         }},
        {"the private folder's name, owned by somebody else",
         [&] {
             HeldLockIn(PrivateFolder());
             // Only root can give a folder away.
             return ::geteuid() == 0 && ::chmod(PrivateFolder().c_str(), 0700) == 0 &&
                    ::chown(PrivateFolder().c_str(), 65534, 65534) == 0;
         }},
        {"the private folder's name, a link to a folder with a held lock",
         [&] {
             HeldLockIn(root + "/elsewhere");
             fs::create_directory_symlink(root + "/elsewhere", PrivateFolder());
             return true;
         }},
        {"a runtime folder open to all",
         [&] {
             HeldLockIn(root + "/run");
             ::setenv("XDG_RUNTIME_DIR", (root + "/run").c_str(), 1);
             return ::chmod((root + "/run").c_str(), 0777) == 0;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(PrivateFolder());
        ::unsetenv("XDG_RUNTIME_DIR");
        if (!c.plant())
            continue; // only root can play the other user here
        platform::FileInstanceLock lock(shared);
        EXPECT_FALSE(lock.IsHeld(kName));
        EXPECT_TRUE(lock.Take(kName));
        for (int fd : held)
            ::close(fd);
        held.clear();
    }
}

} // namespace
