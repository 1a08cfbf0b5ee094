#include "PrivateBus.h"

#include "SetDriver.h"

#include <csignal>
#include <fstream>
#include <sstream>

PrivateBus::PrivateBus(const std::string& folder) : m_Folder(folder) {
    // With --fork the daemon answers once it listens: its address, then its pid.
    std::string out;
    if (!RunCommand("dbus-daemon --session --fork --print-address=1 --print-pid=1 --address=unix:path=" +
                        folder + "/bus 2>/dev/null",
                    &out))
        return;
    std::istringstream(out) >> m_Address >> m_Daemon;
    if (!RunCommand(
            "dbus-monitor --address '" + m_Address +
                "' type=signal,interface=org.freedesktop.DBus.Properties,member=PropertiesChanged >'" +
                folder + "/announced.log' 2>/dev/null & echo $!",
            &out))
        return;
    std::istringstream(out) >> m_Monitor;
}

PrivateBus::~PrivateBus() {
    for (int pid : {m_Monitor, m_Daemon})
        if (pid > 0)
            ::kill(pid, SIGTERM);
}

std::string PrivateBus::Announced() const {
    std::ifstream in(m_Folder + "/announced.log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
