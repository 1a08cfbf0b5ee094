#pragma once
#include "platform/InstanceLock.h"

namespace platform {

// flock(2) on "<private folder>/<name>.lock". The folder is the session's runtime directory
// ($XDG_RUNTIME_DIR) or, without one, "<shared temp>/tavlo-<uid>", made on first use; either is
// used only when it is a real folder of this user that nobody else may create files in, so that
// no other user can plant or hold the lock. Without such a folder there is no lock at all: a
// second instance is better than one that another user can keep from starting. The kernel drops
// the lock when the holder ends, even by a crash.
class FileInstanceLock : public IInstanceLock {
public:
    explicit FileInstanceLock(std::string sharedTemp = "/tmp");
    bool IsHeld(const std::string& name) override;
    bool Take(const std::string& name) override;
    // "<private folder>/<name>.sock".
    std::string CallPath(const std::string& name) override;
    // The lock file of that name; "" when there is no private folder to keep it in.
    std::string LockPath(const std::string& name) const;

private:
    std::string m_SharedTemp;
};

} // namespace platform
