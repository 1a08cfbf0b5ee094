#pragma once
#include "platform/ProfileService.h"

namespace platform {

// Private-profile files on disk. A write goes to a temporary file beside the original which then
// replaces it, so that a crash or a full disk never leaves half a settings file. A file without
// any write permission bit counts as read-only and is not written, even for root. Only regular
// files are read (and so written): anything else by that name reads as unreadable.
class FileProfile : public ProfileService {
protected:
    LoadResult Load(const std::string& path, std::string& bytes) override;
    bool Store(const std::string& path, const std::string& bytes) override;
};

} // namespace platform
