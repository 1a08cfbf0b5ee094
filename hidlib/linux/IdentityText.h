// Identity texts: how the library turns a device's string into something a
// filter compares with.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvane {

// The device strings come from sysfs as UTF-8. Each character is taken as the
// UTF-16 unit(s) a USB string descriptor would hold, and the low byte of each unit
// is kept from the start, stopping at the first byte that is not an ASCII letter
// or digit (the "C" locale's classification), at a NUL, or after maxChars
// characters. "USB Headset" gives "USB".
std::string MakeIdentityText(std::string_view utf8, std::size_t maxChars);

} // namespace kelvane
