#pragma once
#include <optional>
#include <string>

// The settings dialog's mirror of section "Recorder" of Recorder.ini, and the capture-device
// names it last saw. They outlive every opening of the dialog, so an opening that reads nothing
// starts from what the previous one left. User-interface thread only.
extern std::string g_IniSpeed;         // "FF/RewindSpeed"
extern std::string g_IniFormat;        // "Format"
extern std::string g_IniFolder;        // "FloaderName"
extern std::string g_IniPlayerDevice;  // "PlayerDevice"
extern std::string g_IniDefaultFolder; // "DefaultFloader"

constexpr int kInputDeviceNameCount = 10;
extern std::string g_InputDeviceNames[kInputDeviceNameCount];

// Puts the mirror and the device names back to their values at program start.
void ResetDialogSettingsMirror();

namespace ui {

// The leading decimal number of a text, as "%d" reads it: blanks, an optional sign, digits.
// Nothing when the text does not start with a number.
std::optional<long> LeadingNumber(const std::string& text);

// True for the folder value that stands for the start-up folder: ".\" as stored by the program,
// or "./".
bool IsStartFolderMarker(const std::string& folder);

} // namespace ui
