#pragma once
#include <string>

// One settings file, opened afresh by every call through the private-profile service.
// Made on the stack for one load or save; used on the user-interface thread only.
class CIniFile {
public:
    explicit CIniFile(std::string path);

    // True when the section exists and names at least one key.
    bool HasSection(const char* section);
    // The key's whole value, however long; "" when the key or the file is missing.
    std::string GetString(const char* section, const char* key);
    // Replaces (or adds) the key's value; true on success. Creates the file if need be.
    bool WriteString(const char* section, const char* key, const char* value);

private:
    std::string m_Path;
};
