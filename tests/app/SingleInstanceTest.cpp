// Two real recorder processes: the second start ends at once with exit code 0, and a first
// instance that died does not block the next start.
#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/FileInstanceLock.h"

namespace fs = std::filesystem;

namespace {

class TwoProcesses : public ::testing::Test {
protected:
    void SetUp() override {
        runtime = fs::temp_directory_path() / ("tavlo-instance-" + std::to_string(::getpid()));
        fs::create_directories(runtime);
        fs::permissions(runtime, fs::perms::owner_all);
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    void TearDown() override {
        for (pid_t pid : started)
            if (pid > 0) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, nullptr, 0);
            }
        fs::remove_all(runtime);
    }
    pid_t Start() {
        pid_t pid = ::fork();
        if (pid == 0) {
            ::chdir(TAVLO_BIN_DIR);
            ::execl(TAVLO_PROGRAM, TAVLO_PROGRAM, static_cast<char*>(nullptr));
            ::_exit(127);
        }
        started.push_back(pid);
        return pid;
    }
    // Waits (bounded, not timed) until the first instance holds its lock.
    bool WaitUntilRunning(pid_t pid) {
        platform::FileInstanceLock lock;
        for (int i = 0; i < 600; ++i) {
            if (lock.IsHeld("DonotRepeatPemuProgram"))
                return true;
            if (::waitpid(pid, nullptr, WNOHANG) == pid)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    // The exit status of a process that must end by itself; -1 if it has not ended after a long while.
    int ExitCode(pid_t pid) {
        for (int i = 0; i < 600; ++i) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid) {
                std::erase(started, pid);
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return -1;
    }
    fs::path runtime;
    std::vector<pid_t> started;
};

TEST_F(TwoProcesses, SecondStartExitsWithZeroWhileTheFirstRuns) {
    pid_t first = Start();
    ASSERT_TRUE(WaitUntilRunning(first));
    pid_t second = Start();
    EXPECT_EQ(ExitCode(second), 0);
    EXPECT_EQ(::waitpid(first, nullptr, WNOHANG), 0) << "the first instance keeps running";
}

TEST_F(TwoProcesses, AKilledFirstInstanceDoesNotBlockTheNextStart) {
    pid_t first = Start();
    ASSERT_TRUE(WaitUntilRunning(first));
    ::kill(first, SIGKILL);
    ::waitpid(first, nullptr, 0);
    std::erase(started, first);
    pid_t next = Start();
    EXPECT_TRUE(WaitUntilRunning(next));
    EXPECT_EQ(::waitpid(next, nullptr, WNOHANG), 0);
}

} // namespace
