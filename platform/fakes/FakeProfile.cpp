#include "platform/fakes/FakeProfile.h"

namespace platform {

ProfileService::LoadResult FakeProfile::Load(const std::string& path, std::string& bytes) {
    auto it = Files.find(path);
    if (it == Files.end())
        return LoadResult::Missing;
    bytes = it->second;
    return LoadResult::Loaded;
}

bool FakeProfile::Store(const std::string& path, const std::string& bytes) {
    if (ReadOnly.count(path))
        return false;
    Files[path] = bytes;
    ++Writes;
    return true;
}

} // namespace platform
