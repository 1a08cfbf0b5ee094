#include "platform/PathText.h"

#include <fnmatch.h>
#include <vector>

namespace platform {

std::string ResolvePath(const std::string& base, const std::string& name) {
    std::string whole = (!name.empty() && name[0] == '/') ? name : base + "/" + name;
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i <= whole.size()) {
        std::size_t slash = whole.find('/', i);
        if (slash == std::string::npos)
            slash = whole.size();
        std::string part = whole.substr(i, slash - i);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        i = slash + 1;
    }
    std::string out;
    for (const auto& p : parts)
        out += "/" + p;
    return out.empty() ? "/" : out;
}

bool MatchesPattern(const std::string& pattern, const std::string& name) {
    return fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0;
}

} // namespace platform
