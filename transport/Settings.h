#pragma once
#include <string>

// The settings file "Recorder.ini" lies in the start-up directory.
std::string SettingsPath(const std::string& workDir);

// The recordings folder a "FloaderName" value names, as the file system takes it: ".\" (and
// "./") stand for the directory that is current when the settings are loaded.
std::string FolderPath(const std::string& folderSetting);

// Reads "FF/RewindSpeed", "Format" and "FloaderName" of section "Recorder" into g_Speed,
// g_Format and g_FolderName when the section holds keys, then makes the recordings folder the
// current directory (a failure leaves it as it was).
void LoadSettingsFrom(const std::string& workDir);
