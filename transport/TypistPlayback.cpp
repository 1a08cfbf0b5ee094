#include "TypistPlayback.h"

#include "IniFile.h"
#include "Settings.h"
#include "TimeText.h"

#include <algorithm>
#include <cstdio>

unsigned StepBackSeconds(const std::string& value) {
    // Digits only, one or two of them: "2.5", "-1", "3s" and "" are no setting at all.
    const std::size_t first = value.find_first_not_of(' ');
    const std::size_t last = value.find_last_not_of(' ');
    if (first == std::string::npos || last - first > 1)
        return kDefaultStepBack;
    unsigned seconds = 0;
    for (std::size_t i = first; i <= last; ++i) {
        if (value[i] < '0' || value[i] > '9')
            return kDefaultStepBack;
        seconds = seconds * 10 + unsigned(value[i] - '0');
    }
    return seconds <= kMaxStepBack ? seconds : kDefaultStepBack;
}

unsigned LoadStepBack(const std::string& workDir) {
    CIniFile ini(SettingsPath(workDir));
    return StepBackSeconds(ini.GetString(kDictationSection, kStepBackKey));
}

int NextSpeed(int tenths, bool faster) {
    return std::clamp(tenths + (faster ? 1 : -1), kSlowestSpeed, kFastestSpeed);
}

std::string SpeedText(int tenths) {
    if (tenths == kNormalSpeed)
        return " ";
    char text[16];
    std::snprintf(text, sizeof text, "%d.%dx", tenths / 10, tenths % 10);
    return text;
}

std::string PositionStamp(std::uint64_t seconds) {
    const ClockParts parts = SplitSeconds(seconds);
    char text[48];
    std::snprintf(text, sizeof text, "[%02llu:%02d:%02d]", static_cast<unsigned long long>(parts.Hours),
                  parts.Minutes, parts.Seconds);
    return text;
}
