#pragma once
#include "platform/ProfileService.h"

#include <map>
#include <set>

namespace platform {

// Settings files kept in memory, by path; the same text rules as the real files.
class FakeProfile : public ProfileService {
public:
    std::map<std::string, std::string> Files;
    std::set<std::string> ReadOnly;
    int Writes = 0;

protected:
    LoadResult Load(const std::string& path, std::string& bytes) override;
    bool Store(const std::string& path, const std::string& bytes) override;
};

} // namespace platform
