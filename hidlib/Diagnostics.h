// The library's diagnostic hook: every failure text of the device search passes
// through here. It shows and stores nothing: the library reports by return value.
#pragma once

namespace kelvane {

inline constexpr const char* kNoDeviceList = "Could not attach to PnP node";
inline constexpr const char* kNoDevicePath = "Could not find the system name for this HID device";
inline constexpr const char* kCannotQuery = "Could not open HID device";
inline constexpr const char* kReadDescriptor = "HidD_GetPreparsedData: ";
inline constexpr const char* kParseDescriptor = "HidP_GetCaps: ";
inline constexpr const char* kFreeDescriptor = "HidD_FreePreparsedData: ";

int Diagnostic(const char* text);

} // namespace kelvane
