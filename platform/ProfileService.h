#pragma once
#include "platform/PrivateProfile.h"

#include <string>

namespace platform {

// The private-profile calls on top of a place that keeps whole files: the real service keeps
// them on disk, the test fake in memory.
class ProfileService : public IPrivateProfile {
public:
    unsigned GetString(const char* section, const char* key, const char* def, char* buffer, unsigned size,
                       const char* path) override;
    bool WriteString(const char* section, const char* key, const char* value, const char* path) override;

protected:
    enum class LoadResult { Loaded, Missing, Unreadable };
    virtual LoadResult Load(const std::string& path, std::string& bytes) = 0;
    // Replaces the whole file; false leaves it as it was.
    virtual bool Store(const std::string& path, const std::string& bytes) = 0;
};

} // namespace platform
