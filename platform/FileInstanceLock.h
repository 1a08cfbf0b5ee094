#pragma once
#include "platform/InstanceLock.h"

namespace platform {

// flock(2) on "<runtime dir>/<name>.lock": $XDG_RUNTIME_DIR when set, else /tmp with the user id
// in the file name. The kernel drops the lock when the holder ends, even by a crash.
class FileInstanceLock : public IInstanceLock {
public:
    bool IsHeld(const std::string& name) override;
    bool Take(const std::string& name) override;
    static std::string LockPath(const std::string& name);
};

} // namespace platform
