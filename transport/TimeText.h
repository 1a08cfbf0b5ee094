#pragma once
#include <cstdint>
#include <string>

// A time in whole seconds split for the display.
struct ClockParts {
    std::uint64_t Hours; // not limited: a recording of 100 hours shows three digits
    int Minutes;
    int Seconds;
};

ClockParts SplitSeconds(std::uint64_t seconds);
// "hh : mm : ss", two digits each at least.
std::string TimeText(const ClockParts& parts);
