#include "platform/PrivateProfile.h"
#include "platform/FileProfile.h"

namespace platform {

namespace {
FileProfile g_Files;
IPrivateProfile* g_Profile = &g_Files;
} // namespace

IPrivateProfile& PrivateProfile() {
    return *g_Profile;
}

void SetPrivateProfile(IPrivateProfile* profile) {
    g_Profile = profile ? profile : &g_Files;
}

} // namespace platform
