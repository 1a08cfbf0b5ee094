#pragma once
#include "platform/InstanceLock.h"

#include <set>

namespace platform {

// Locks "held by another process" are the names a test puts into Others.
class FakeInstanceLock : public IInstanceLock {
public:
    std::set<std::string> Others;
    std::set<std::string> Taken;
    bool IsHeld(const std::string& name) override { return Others.count(name) > 0; }
    bool Take(const std::string& name) override {
        if (Others.count(name))
            return false;
        Taken.insert(name);
        return true;
    }
};

} // namespace platform
