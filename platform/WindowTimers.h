#pragma once
#include <functional>

namespace platform {

// A window's timers, known by fixed ids (the main window uses 1 to 6). Everything happens on the
// window's (user-interface) thread: SetTimer/KillTimer are called there and ticks are delivered
// there, one at a time: a tick never starts while the handler still runs for another.
class IWindowTimers {
public:
    using Handler = std::function<void(unsigned id)>;
    virtual ~IWindowTimers() = default;

    virtual void SetHandler(Handler handler) = 0;
    // Starts timer `id` with the period; a running timer restarts with the new period.
    virtual void SetTimer(unsigned id, unsigned milliseconds) = 0;
    // Stops timer `id`; nothing happens when it does not run.
    virtual void KillTimer(unsigned id) = 0;
    virtual bool IsRunning(unsigned id) const = 0;
    // The period of a running timer, 0 when it does not run.
    virtual unsigned Period(unsigned id) const = 0;
};

} // namespace platform
