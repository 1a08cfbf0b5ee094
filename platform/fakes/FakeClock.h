#pragma once
#include "platform/Clock.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace platform {

// A clock for tests: time stands still until Sleep or Advance moves it; Sleep returns at once.
// Every Sleep is recorded so that a test can check the waits a handler made.
class FakeClock : public IClock {
public:
    // Starts at 2026-12-07 10:00:00.000 local time, a Monday; Time64 counts from the same moment.
    FakeClock();
    LocalTime GetLocalTime() override;
    std::int64_t Time64() override;
    // Counts the milliseconds Sleep and Advance moved the clock; SetLocalTime (a step of the
    // wall clock) leaves it alone.
    std::int64_t MonotonicMs() override;
    void Sleep(unsigned milliseconds) override;

    void Advance(unsigned milliseconds);
    void SetLocalTime(const LocalTime& t);
    std::vector<unsigned> Sleeps() const;

private:
    mutable std::mutex m_Lock;
    LocalTime m_Start;
    std::int64_t m_StartTime64;
    std::int64_t m_ElapsedMs = 0;
    std::int64_t m_MonotonicMs = 0;
    std::vector<unsigned> m_Sleeps;
};

} // namespace platform
