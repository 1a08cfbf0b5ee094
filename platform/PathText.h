#pragma once
#include <string>

namespace platform {

// Joins `name` to `base` unless it is absolute, then resolves "." and ".." and doubled '/'
// without looking at the disk. Shared by the real and the fake file system.
std::string ResolvePath(const std::string& base, const std::string& name);

// Whether `name` matches a '*'/'?' pattern, letters compared without regard to case.
bool MatchesPattern(const std::string& pattern, const std::string& name);

} // namespace platform
