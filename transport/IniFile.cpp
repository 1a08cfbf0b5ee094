#include "IniFile.h"

#include "platform/PrivateProfile.h"

#include <vector>

CIniFile::CIniFile(std::string path) : m_Path(std::move(path)) {}

bool CIniFile::HasSection(const char* section) {
    char buffer[90];
    return platform::PrivateProfile().GetString(section, nullptr, "", buffer, sizeof buffer, m_Path.c_str()) >
           0;
}

std::string CIniFile::GetString(const char* section, const char* key) {
    // A value that fills the buffer may have been cut: ask again with a larger one until it fits.
    // A cut folder names a place that does not exist, and the settings dialog would write the cut
    // value back over the whole one.
    std::vector<char> buffer(256);
    for (;;) {
        const unsigned size = static_cast<unsigned>(buffer.size());
        const unsigned length =
            platform::PrivateProfile().GetString(section, key, "", buffer.data(), size, m_Path.c_str());
        if (length + 1 < size || size > (1u << 30)) // a gigabyte line is no setting: stop there
            return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

bool CIniFile::WriteString(const char* section, const char* key, const char* value) {
    return platform::PrivateProfile().WriteString(section, key, value, m_Path.c_str());
}
