#pragma once
#include <cstdint>
#include <optional>

// One step of fast forward or rewind: the timer is re-armed with PeriodMs and playback moves by
// Seconds. Playback keeps running between steps, so the audible speed is steps plus play.
struct WindStep {
    unsigned PeriodMs;
    int Seconds;
};

// The step for a speed code (2, 4, 8, 16, 32); none for 0 ("OFF") or any other code, which
// ends the winding at its first tick.
std::optional<WindStep> ForwardStep(std::uint32_t speed);
std::optional<WindStep> RewindStep(std::uint32_t speed);
