#include "platform/SystemCheck.h"

#include <cstdlib>
#include <sys/utsname.h>

namespace platform {

bool IsSupportedSystem(const std::string& sysname, const std::string& release) {
    if (sysname != "Linux")
        return false;
    return std::atoi(release.c_str()) >= 4;
}

bool IsSupportedSystem() {
    struct utsname name {};
    if (::uname(&name) != 0)
        return false;
    return IsSupportedSystem(name.sysname, name.release);
}

} // namespace platform
