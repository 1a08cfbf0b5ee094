// The test clock that the handlers' waits and the recording times run on.
#include "platform/fakes/FakeClock.h"

#include <gtest/gtest.h>

using platform::FakeClock;
using platform::LocalTime;

TEST(TestClock, WaitsReturnAtOnceButMoveTheClockAndAreRecorded) {
    FakeClock clock;
    const auto start = clock.Time64();
    clock.Sleep(500);
    clock.Sleep(1000);
    clock.Sleep(3000);
    EXPECT_EQ(clock.Time64(), start + 4);
    EXPECT_EQ(clock.Sleeps(), (std::vector<unsigned>{500, 1000, 3000}));
    EXPECT_EQ(clock.GetLocalTime().Second, 4);
    EXPECT_EQ(clock.GetLocalTime().Milliseconds, 500);
}

TEST(TestClock, LocalTimeCarriesIntoTheNextDayMonthAndYear) {
    FakeClock clock;
    LocalTime t;
    t.Year = 2026;
    t.Month = 12;
    t.Day = 31;
    t.Hour = 23;
    t.Minute = 59;
    t.Second = 59;
    clock.SetLocalTime(t);
    clock.Advance(1000);
    LocalTime now = clock.GetLocalTime();
    EXPECT_EQ(now.Year, 2027);
    EXPECT_EQ(now.Month, 1);
    EXPECT_EQ(now.Day, 1);
    EXPECT_EQ(now.Hour, 0);
    EXPECT_EQ(now.Minute, 0);
    EXPECT_EQ(now.Second, 0);
    EXPECT_EQ(now.DayOfWeek, 5); // 2027-01-01 is a Friday
}
