#include "TimeText.h"

#include <cstdio>

ClockParts SplitSeconds(std::uint64_t seconds) {
    return {seconds / 3600, static_cast<int>(seconds % 3600 / 60), static_cast<int>(seconds % 60)};
}

std::string TimeText(const ClockParts& parts) {
    char text[64];
    std::snprintf(text, sizeof text, "%02llu : %02d : %02d", static_cast<unsigned long long>(parts.Hours),
                  parts.Minutes, parts.Seconds);
    return text;
}
