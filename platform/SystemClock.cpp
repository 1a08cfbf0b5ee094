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
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    return LocalTimeFromTm(tm, static_cast<int>(ms));
}

std::int64_t SystemClock::Time64() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

std::int64_t SystemClock::MonotonicMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SystemClock::Sleep(unsigned milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace platform
