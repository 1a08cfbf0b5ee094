#pragma once

// The main window's seven timers, by their fixed ids.
enum TimerId : unsigned {
    TIMER_FORWARD = 1,   // a fast-forward step; re-armed with the speed's period
    TIMER_REWIND = 2,    // a rewind step
    TIMER_CLOCK = 3,     // once a second: the time, the sections, the end of the file
    TIMER_POLL = 4,      // every 100 ms: one report from the remote unit
    TIMER_KEEPALIVE = 5, // every five minutes: the volume again and the free space
    TIMER_WATCH = 6,     // once a second: the receiver gone or back
    TIMER_PEDAL = 7,     // the foot pedal: every 100 ms its reports, once a second a look for one
};

// The pedal's timer runs at one of two periods: looking for a pedal, or reading the one found.
inline constexpr unsigned kPedalLookMs = 1000;
inline constexpr unsigned kPedalPollMs = 100;
