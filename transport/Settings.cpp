#include "Settings.h"

#include "IniFile.h"
#include "ProgramState.h"
#include "platform/FileSystem.h"

#include <cstdio>

std::string SettingsPath(const std::string& workDir) {
    return workDir + "/Recorder.ini";
}

std::string FolderPath(const std::string& folderSetting) {
    if (folderSetting == ".\\" || folderSetting == "./")
        return ".";
    return folderSetting;
}

void LoadSettingsFrom(const std::string& workDir) {
    CIniFile ini(SettingsPath(workDir));
    if (ini.HasSection("Recorder")) {
        std::string speed = ini.GetString("Recorder", "FF/RewindSpeed");
        g_Format = ini.GetString("Recorder", "Format");
        g_FolderName = ini.GetString("Recorder", "FloaderName");
        g_RecordInput = ini.GetString("Recorder", kRecordInputKey);
        int value = 0;
        // A negative number is no speed at all: keep the one in force rather than wind by 4 billion.
        if (std::sscanf(speed.c_str(), "%d", &value) == 1 && value >= 0)
            g_Speed = static_cast<std::uint32_t>(value);
    }
    platform::FileSystem().ChangeDirectory(FolderPath(g_FolderName));
}
