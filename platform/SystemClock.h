#pragma once
#include "platform/Clock.h"

namespace platform {

// The real clock: localtime_r, time(), the steady clock and nanosleep.
class SystemClock : public IClock {
public:
    LocalTime GetLocalTime() override;
    std::int64_t Time64() override;
    std::int64_t MonotonicMs() override;
    void Sleep(unsigned milliseconds) override;
};

} // namespace platform
