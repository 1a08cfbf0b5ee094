#include "platform/SystemClock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace platform {

LocalTime SystemClock::GetLocalTime() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    LocalTime lt;
    lt.Year = tm.tm_year + 1900;
    lt.Month = tm.tm_mon + 1;
    lt.DayOfWeek = tm.tm_wday;
    lt.Day = tm.tm_mday;
    lt.Hour = tm.tm_hour;
    lt.Minute = tm.tm_min;
    lt.Second = tm.tm_sec;
    lt.Milliseconds = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    return lt;
}

std::int64_t SystemClock::Time64() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

void SystemClock::Sleep(unsigned milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace platform
