// A session bus of the test's own (dbus-daemon on a socket in the scenario's folder), and a record
// of the property changes announced on it (dbus-monitor), so that media-key tests never reach a
// desktop's bus and read back what a desktop's media controls would have been told.
#pragma once

#include <string>

class PrivateBus {
public:
    explicit PrivateBus(const std::string& folder);
    ~PrivateBus();
    // "" when the bus did not come up.
    const std::string& Address() const { return m_Address; }
    // Everything announced with PropertiesChanged so far, as dbus-monitor prints it.
    std::string Announced() const;

private:
    std::string m_Folder;
    std::string m_Address;
    int m_Daemon = -1;
    int m_Monitor = -1;
};
