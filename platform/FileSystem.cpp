#include "platform/FileSystem.h"
#include "platform/PosixFileSystem.h"

namespace platform {

namespace {
PosixFileSystem g_Posix;
IFileSystem* g_FileSystem = &g_Posix;
} // namespace

IFileSystem& FileSystem() {
    return *g_FileSystem;
}

void SetFileSystem(IFileSystem* fs) {
    g_FileSystem = fs ? fs : &g_Posix;
}

} // namespace platform
