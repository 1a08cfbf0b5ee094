#include "platform/Clock.h"
#include "platform/SystemClock.h"

namespace platform {

namespace {
SystemClock g_SystemClock;
IClock* g_Clock = &g_SystemClock;
} // namespace

LocalTime LocalTimeFromTm(const std::tm& tm, int milliseconds) {
    LocalTime lt;
    lt.Year = tm.tm_year + 1900;
    lt.Month = tm.tm_mon + 1;
    lt.DayOfWeek = tm.tm_wday;
    lt.Day = tm.tm_mday;
    lt.Hour = tm.tm_hour;
    lt.Minute = tm.tm_min;
    lt.Second = tm.tm_sec;
    lt.Milliseconds = milliseconds;
    return lt;
}

IClock& Clock() {
    return *g_Clock;
}

void SetClock(IClock* clock) {
    g_Clock = clock ? clock : &g_SystemClock;
}

} // namespace platform
