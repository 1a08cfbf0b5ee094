#include "platform/Clock.h"
#include "platform/SystemClock.h"

namespace platform {

namespace {
SystemClock g_SystemClock;
IClock* g_Clock = &g_SystemClock;
} // namespace

IClock& Clock() {
    return *g_Clock;
}

void SetClock(IClock* clock) {
    g_Clock = clock ? clock : &g_SystemClock;
}

} // namespace platform
