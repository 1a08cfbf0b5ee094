#pragma once
#include <cstdint>
#include <ctime>

namespace platform {

// The local time split into its parts, as the recorder shows and names files with it.
struct LocalTime {
    int Year = 0;
    int Month = 0;     // 1..12
    int DayOfWeek = 0; // 0 = Sunday
    int Day = 0;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Milliseconds = 0;
};

// Wall clock and blocking waits. Every wait and every reading of the time in the program goes
// through this interface so that tests can run a fake clock that advances without sleeping.
// Any thread may call it.
class IClock {
public:
    virtual ~IClock() = default;
    // The local time now.
    virtual LocalTime GetLocalTime() = 0;
    // Whole seconds since 1970-01-01 00:00 UTC.
    virtual std::int64_t Time64() = 0;
    // Milliseconds on a clock that never steps back (unlike the wall clock, which the user or
    // time synchronisation may set): for measuring how long something lasted.
    virtual std::int64_t MonotonicMs() = 0;
    // Blocks the calling thread for the given milliseconds.
    virtual void Sleep(unsigned milliseconds) = 0;
};

// The parts of a broken-down time (as localtime_r gives it) with the milliseconds added.
LocalTime LocalTimeFromTm(const std::tm& tm, int milliseconds);

// The clock the program uses: the system clock unless a test installed another.
IClock& Clock();
// Installs a clock (a test's fake); nullptr restores the system clock. Not thread-safe:
// call it before the threads that use the clock start.
void SetClock(IClock* clock);

} // namespace platform
