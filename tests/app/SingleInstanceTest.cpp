// Two real recorder processes: the second start ends at once with exit code 0 and brings the first
// one's window in front of the others, and a first instance that died does not block the next start.
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
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
    pid_t Start(const char* program = TAVLO_PROGRAM, std::vector<const char*> args = {}) {
        args.insert(args.begin(), program);
        args.push_back(nullptr);
        pid_t pid = ::fork();
        if (pid == 0) {
            ::chdir(TAVLO_BIN_DIR);
            ::execvp(program, const_cast<char* const*>(args.data()));
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

// The name of the top-most window on the X server ("" when there is none), from xwininfo, which
// lists the screen's windows from the top down.
std::string TopWindow() {
    FILE* pipe = ::popen("xwininfo -root -children 2>/dev/null", "r");
    if (!pipe)
        return "";
    std::string top;
    std::array<char, 512> line{};
    while (top.empty() && std::fgets(line.data(), line.size(), pipe)) {
        const std::string text = line.data();
        const std::size_t open = text.find('"');
        if (open != std::string::npos && text.find("1x1+") == std::string::npos)
            top = text.substr(open + 1, text.find('"', open + 1) - open - 1);
    }
    ::pclose(pipe);
    return top;
}

// Waits (bounded, not timed) until the condition holds.
bool Await(const std::function<bool()>& holds) {
    for (int i = 0; i < 200; ++i) {
        if (holds())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

// True when a process listens on the local socket at path.
bool Answers(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    const bool answered = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return answered;
}

TEST_F(TwoProcesses, SecondStartExitsWithZeroWhileTheFirstRuns) {
    pid_t first = Start();
    ASSERT_TRUE(WaitUntilRunning(first));
    pid_t second = Start();
    EXPECT_EQ(ExitCode(second), 0);
    EXPECT_EQ(::waitpid(first, nullptr, WNOHANG), 0) << "the first instance keeps running";
}

TEST_F(TwoProcesses, SecondStartBringsTheFirstWindowInFrontOfTheOthers) {
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "needs an X server";
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    pid_t first = Start();
    ASSERT_TRUE(WaitUntilRunning(first));
    ASSERT_TRUE(Await([] { return TopWindow() == "Tavlo"; }));
    Start("xmessage", {"-geometry", "1280x800+0+0", "another program's window"});
    ASSERT_TRUE(Await([] { return TopWindow() == "xmessage"; }));
    pid_t second = Start();
    EXPECT_EQ(ExitCode(second), 0);
    EXPECT_TRUE(Await([] { return TopWindow() == "Tavlo"; }));
    EXPECT_EQ(::waitpid(first, nullptr, WNOHANG), 0) << "the first instance keeps running";
}

TEST_F(TwoProcesses, AKilledFirstInstanceDoesNotBlockTheNextStart) {
    const std::string socket = platform::FileInstanceLock().CallPath("DonotRepeatPemuProgram");
    pid_t first = Start();
    ASSERT_TRUE(WaitUntilRunning(first));
    ASSERT_TRUE(Await([&] { return Answers(socket); }));
    ::kill(first, SIGKILL);
    ::waitpid(first, nullptr, 0);
    std::erase(started, first);
    ASSERT_TRUE(fs::exists(socket)) << "the killed instance leaves its socket behind";
    pid_t next = Start();
    EXPECT_TRUE(WaitUntilRunning(next));
    EXPECT_EQ(::waitpid(next, nullptr, WNOHANG), 0);
    EXPECT_TRUE(Await([&] { return Answers(socket); }))
        << "the next start takes calls where the killed one did";
}

} // namespace
