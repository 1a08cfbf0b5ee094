#include "platform/InstanceLock.h"
#include "platform/FileInstanceLock.h"

namespace platform {

namespace {
FileInstanceLock g_FileLock;
IInstanceLock* g_Lock = &g_FileLock;
} // namespace

IInstanceLock& InstanceLock() {
    return *g_Lock;
}

void SetInstanceLock(IInstanceLock* lock) {
    g_Lock = lock ? lock : &g_FileLock;
}

} // namespace platform
