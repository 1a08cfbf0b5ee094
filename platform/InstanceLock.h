#pragma once
#include <string>

namespace platform {

// Named locks that tell whether another process of the same user already runs the program.
// A lock is held until the process ends, however it ends, so a crashed instance never blocks
// the next start.
class IInstanceLock {
public:
    virtual ~IInstanceLock() = default;
    // True when another process holds the lock of that name.
    virtual bool IsHeld(const std::string& name) = 0;
    // Takes the lock for the rest of this process's life; false when another process holds it
    // (it may have started a moment ago, after IsHeld said no).
    virtual bool Take(const std::string& name) = 0;
    // Where the holder of the lock of that name takes calls from later starts (a local socket
    // beside the lock, as private as it); "" where there is no such place.
    virtual std::string CallPath(const std::string&) { return ""; }
};

IInstanceLock& InstanceLock();
void SetInstanceLock(IInstanceLock* lock);

} // namespace platform
