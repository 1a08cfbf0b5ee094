#pragma once
#include <string>

namespace platform {

// The start-up gate: the program runs on Linux kernels from 4.0 on (hidraw and ALSA as used here).
// Given uname's system name and release so that tests can try other systems.
bool IsSupportedSystem(const std::string& sysname, const std::string& release);
// The same for the system the program runs on.
bool IsSupportedSystem();

} // namespace platform
