#include "PrivateBus.h"

#include "platform/Clock.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// Starts args[0] with its output going to out ("": the test's own).
pid_t Spawn(const std::vector<std::string>& args, const std::string& out = "") {
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (!out.empty() && std::freopen(out.c_str(), "w", stdout) == nullptr)
            ::_exit(127);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

void End(pid_t pid) {
    if (pid > 0) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }
}

} // namespace

PrivateBus::PrivateBus(const std::string& folder) : m_Folder(folder) {
    const std::string socket = folder + "/bus";
    m_Daemon = Spawn({"dbus-daemon", "--session", "--nofork", "--address=unix:path=" + socket});
    // Bounded: the daemon makes its socket within a moment of starting.
    for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i)
        platform::Clock().Sleep(50);
    if (!std::filesystem::exists(socket))
        return;
    m_Address = "unix:path=" + socket;
    m_Monitor = Spawn({"dbus-monitor", "--address", m_Address,
                       "type=signal,interface=org.freedesktop.DBus.Properties,member=PropertiesChanged"},
                      folder + "/announced.log");
}

PrivateBus::~PrivateBus() {
    End(m_Monitor);
    End(m_Daemon);
}

std::string PrivateBus::Announced() const {
    std::ifstream in(m_Folder + "/announced.log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
