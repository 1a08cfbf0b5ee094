#include "SetDriver.h"

#include "platform/Clock.h"
#include "ui/MainLayout.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace {

// Bounds on a hang, not expectations: Tavlo notices a device within a second, reconnects within
// two, and works through a queue of reports at ten a second.
constexpr int kAwaitBoundMs = 12000;
constexpr int kQuitBoundMs = 8000;

} // namespace

std::string MakeTestFolder(const std::string& name) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    WriteSettings(folder);
    fs::create_directory_symlink(fs::path(TAVLO_BIN_DIR) / "res", folder / "res");
    return folder.string();
}

void WriteSettings(const std::filesystem::path& folder, const std::string& recordings) {
    std::ofstream(folder / "Recorder.ini")
        << "[Recorder]\nFormat=48000\nFF/RewindSpeed=2\nFloaderName=" << recordings
        << "\nPlayerDevice=No Device\nDefaultFloader=.\\\n";
}

std::vector<std::filesystem::path> Recordings(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> wavs;
    if (std::filesystem::exists(folder))
        for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(folder))
            if (entry.path().extension() == ".wav")
                wavs.push_back(entry.path());
    std::sort(wavs.begin(), wavs.end());
    return wavs;
}

QRect ControlRect(int id) {
    const ui::MainControl* c = ui::FindMainControl(id);
    return c ? QRect(c->Rect.X, c->Rect.Y, c->Rect.Width, c->Rect.Height) : QRect();
}

bool SetDriver::Alive() {
    Send("echo alive");
    return Await("echo alive") && !Logged("tavlo exited") && !Logged("tavlo crashed");
}

void CleanTestFolder(const std::string& folder, bool failed) {
    if (!failed)
        std::filesystem::remove_all(folder);
    else
        std::printf("the test's folder is kept: %s\n", folder.c_str());
}

bool RunCommand(const std::string& command, std::string* output) {
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return false;
    std::array<char, 4096> chunk{};
    std::string text;
    for (std::size_t n; (n = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0;)
        text.append(chunk.data(), n);
    const int status = ::pclose(pipe);
    if (output)
        *output = text;
    return status == 0;
}

SetDriver::SetDriver(const std::string& folder, const std::vector<std::string>& options) {
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0)
        return;
    m_Pid = ::fork();
    if (m_Pid == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        const std::string errors = folder + "/virtualset.stderr";
        if (FILE* f = std::freopen(errors.c_str(), "w", stderr))
            (void)f;
        // Tavlo is shown on the test's X server, where its mask and clicks are real.
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        std::vector<const char*> argv = {TAVLO_VIRTUALSET, "--no-window", "--folder", folder.c_str()};
        for (const std::string& option : options)
            argv.push_back(option.c_str());
        argv.push_back(nullptr);
        ::execv(TAVLO_VIRTUALSET, const_cast<char* const*>(argv.data()));
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    m_In = in[1];
    m_Reader = std::thread([this, fd = out[0]] {
        std::string pending;
        char chunk[1024];
        for (ssize_t n; (n = ::read(fd, chunk, sizeof chunk)) > 0;) {
            pending.append(chunk, static_cast<std::size_t>(n));
            std::lock_guard lock(m_Mutex);
            for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1))
                m_Lines.push_back(pending.substr(0, end));
            m_Arrived.notify_all();
        }
        ::close(fd);
        std::lock_guard lock(m_Mutex);
        m_Closed = true;
        m_Arrived.notify_all();
    });
}

SetDriver::~SetDriver() {
    if (m_In >= 0) {
        Send("quit");
        ::close(m_In);
    }
    if (m_Pid > 0) {
        int status = 0;
        const std::int64_t until = platform::Clock().MonotonicMs() + kQuitBoundMs;
        while (::waitpid(m_Pid, &status, WNOHANG) == 0) {
            if (platform::Clock().MonotonicMs() > until) {
                ::kill(m_Pid, SIGTERM);
                ::waitpid(m_Pid, &status, 0);
                break;
            }
            platform::Clock().Sleep(50);
        }
    }
    if (m_Reader.joinable())
        m_Reader.join();
}

void SetDriver::Send(const std::string& command) {
    const std::string line = command + "\n";
    if (m_In >= 0 && ::write(m_In, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
        ::close(std::exchange(m_In, -1));
}

bool SetDriver::Await(const std::string& text) {
    std::unique_lock lock(m_Mutex);
    const auto bound = std::chrono::steady_clock::now() + std::chrono::milliseconds(kAwaitBoundMs);
    for (;;) {
        for (std::size_t i = m_Cursor; i < m_Lines.size(); ++i) {
            if (m_Lines[i].find(text) != std::string::npos) {
                m_Cursor = i + 1;
                return true;
            }
        }
        if (m_Closed || m_Arrived.wait_until(lock, bound) == std::cv_status::timeout)
            return false;
    }
}

bool SetDriver::Logged(const std::string& text) {
    std::lock_guard lock(m_Mutex);
    for (const std::string& line : m_Lines)
        if (line.find(text) != std::string::npos)
            return true;
    return false;
}

std::string SetDriver::Log() {
    std::lock_guard lock(m_Mutex);
    std::string text;
    for (const std::string& line : m_Lines)
        text += line + "\n";
    return text;
}

unsigned long SetDriver::Window() {
    for (int tries = 0; m_Window == 0 && tries < 100; ++tries) {
        std::string found;
        if (RunCommand("xdotool search --onlyvisible --name '^Tavlo$' 2>/dev/null", &found))
            m_Window = std::stoul(found);
        else
            platform::Clock().Sleep(100);
    }
    // The test's X server has no window manager, so nothing activates the window on a click as a
    // desktop does; a window that never became active runs no command for a click.
    // Tavlo takes the activation in its own time after the server gave it the focus.
    if (m_Window != 0 && !m_Focused) {
        m_Focused = RunCommand("xdotool windowfocus --sync " + std::to_string(m_Window));
        platform::Clock().Sleep(500);
    }
    return m_Window;
}

bool SetDriver::Click(int x, int y) {
    const unsigned long window = Window();
    if (window == 0 || !RunCommand("xdotool mousemove --window " + std::to_string(window) + " " +
                                   std::to_string(x) + " " + std::to_string(y)))
        return false;
    // A press sent in the same breath as the move is lost: the X server has not yet put the pointer
    // over the window when it arrives.
    platform::Clock().Sleep(200);
    if (!RunCommand("xdotool mousedown 1"))
        return false;
    platform::Clock().Sleep(100);
    return RunCommand("xdotool mouseup 1");
}

QImage SetDriver::Screenshot() {
    const unsigned long window = Window();
    std::string png;
    if (window == 0 || !RunCommand("import -window " + std::to_string(window) + " png:- 2>/dev/null", &png))
        return {};
    return QImage::fromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()), "PNG")
        .convertToFormat(QImage::Format_RGB32);
}

bool SetDriver::Keys(const std::string& keys, const std::string& title) {
    unsigned long window = title.empty() ? Window() : 0;
    for (int tries = 0; window == 0 && tries < 100; ++tries) {
        std::string found;
        if (RunCommand("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null", &found))
            window = std::stoul(found);
        else
            platform::Clock().Sleep(100);
    }
    if (window == 0 || !RunCommand("xdotool windowfocus --sync " + std::to_string(window)))
        return false;
    // As with clicks: the window takes the focus in its own time.
    platform::Clock().Sleep(300);
    return RunCommand("xdotool key --delay 150 " + keys);
}
