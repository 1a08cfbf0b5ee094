#include "platform/fakes/FakeClock.h"

#include <ctime>

namespace platform {

FakeClock::FakeClock() {
    m_Start.Year = 2026;
    m_Start.Month = 12;
    m_Start.DayOfWeek = 1;
    m_Start.Day = 7;
    m_Start.Hour = 10;
    m_StartTime64 = 1796637600; // 2026-12-07 10:00:00 UTC
}

LocalTime FakeClock::GetLocalTime() {
    std::lock_guard lock(m_Lock);
    std::tm tm{};
    tm.tm_year = m_Start.Year - 1900;
    tm.tm_mon = m_Start.Month - 1;
    tm.tm_mday = m_Start.Day;
    tm.tm_hour = m_Start.Hour;
    tm.tm_min = m_Start.Minute;
    tm.tm_sec = m_Start.Second + static_cast<int>((m_Start.Milliseconds + m_ElapsedMs) / 1000);
    // timegm normalises the fields (carrying seconds into minutes, days, months) without a time zone.
    std::time_t t = timegm(&tm);
    gmtime_r(&t, &tm);
    return LocalTimeFromTm(tm, static_cast<int>((m_Start.Milliseconds + m_ElapsedMs) % 1000));
}

std::int64_t FakeClock::Time64() {
    std::lock_guard lock(m_Lock);
    return m_StartTime64 + m_ElapsedMs / 1000;
}

std::int64_t FakeClock::MonotonicMs() {
    std::lock_guard lock(m_Lock);
    return m_MonotonicMs;
}

void FakeClock::Sleep(unsigned milliseconds) {
    std::lock_guard lock(m_Lock);
    m_Sleeps.push_back(milliseconds);
    m_ElapsedMs += milliseconds;
    m_MonotonicMs += milliseconds;
}

void FakeClock::Advance(unsigned milliseconds) {
    std::lock_guard lock(m_Lock);
    m_ElapsedMs += milliseconds;
    m_MonotonicMs += milliseconds;
}

void FakeClock::SetLocalTime(const LocalTime& t) {
    std::lock_guard lock(m_Lock);
    m_Start = t;
    m_ElapsedMs = 0;
}

std::vector<unsigned> FakeClock::Sleeps() const {
    std::lock_guard lock(m_Lock);
    return m_Sleeps;
}

} // namespace platform
