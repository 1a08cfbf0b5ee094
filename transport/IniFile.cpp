#include "IniFile.h"

#include "platform/PrivateProfile.h"

CIniFile::CIniFile(std::string path) : m_Path(std::move(path)) {}

bool CIniFile::HasSection(const char* section) {
    char buffer[90];
    return platform::PrivateProfile().GetString(section, nullptr, "", buffer, sizeof buffer, m_Path.c_str()) >
           0;
}

std::string CIniFile::GetString(const char* section, const char* key) {
    char buffer[255];
    platform::PrivateProfile().GetString(section, key, "", buffer, sizeof buffer, m_Path.c_str());
    return buffer;
}

bool CIniFile::WriteString(const char* section, const char* key, const char* value) {
    return platform::PrivateProfile().WriteString(section, key, value, m_Path.c_str());
}
