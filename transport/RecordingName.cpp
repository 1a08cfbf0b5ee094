#include "RecordingName.h"

#include <cstdio>

namespace {

std::string Stamp(const platform::LocalTime& t, const char* suffix) {
    char name[64];
    std::snprintf(name, sizeof name, "%4d%02d%02d-%02d%02d%02d%s.wav", t.Year, t.Month, t.Day, t.Hour,
                  t.Minute, t.Second, suffix);
    return name;
}

} // namespace

std::string RecordingStamp(const platform::LocalTime& t) {
    return Stamp(t, "");
}

std::string UniqueRecordingName(const platform::LocalTime& t,
                                const std::function<bool(const std::string&)>& exists) {
    std::string name = Stamp(t, "");
    for (int n = 2; exists(name); ++n) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "_%02d", n);
        name = Stamp(t, suffix);
    }
    return name;
}
