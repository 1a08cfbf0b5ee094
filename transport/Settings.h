#pragma once
#include <string>

// The settings file "Recorder.ini" lies in the start-up directory.
std::string SettingsPath(const std::string& workDir);

// The recordings folder a "FloaderName" value names, as the file system takes it: ".\" (and
// "./") stand for the directory that is current when the settings are loaded.
std::string FolderPath(const std::string& folderSetting);

// The key that names the input to record from (the settings dialog's choice); empty or missing
// for none: the receiver's microphone, else the default input.
inline constexpr const char* kRecordInputKey = "RecordInput";

// Reads "FF/RewindSpeed", "Format", "FloaderName" and "RecordInput" of section "Recorder" into
// g_Speed, g_Format, g_FolderName and g_RecordInput when the section holds keys, then makes the
// recordings folder the current directory (a failure leaves it as it was).
void LoadSettingsFrom(const std::string& workDir);
