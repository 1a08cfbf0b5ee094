#include "platform/ProfileService.h"
#include "platform/ProfileText.h"

#include <algorithm>
#include <cstring>

namespace platform {

unsigned ProfileService::GetString(const char* section, const char* key, const char* def, char* buffer,
                                   unsigned size, const char* path) {
    if (!buffer || size == 0)
        return 0;
    buffer[0] = '\0';
    if (!path)
        return 0;
    std::string bytes;
    if (Load(path, bytes) != LoadResult::Loaded)
        bytes.clear();
    ProfileText text(std::move(bytes));

    if (!section) // listing the section names is not needed by the program
        return 0;

    if (!key) {
        // The key names, each terminated, then one more terminator. A list that does not fit
        // is cut and the result is size - 2, as callers that test "more than 0" expect.
        if (size < 2)
            return 0;
        unsigned used = 0;
        for (const std::string& name : text.Keys(section)) {
            if (used + name.size() + 1 > size - 1) {
                unsigned room = size - 1 - used;
                std::memcpy(buffer + used, name.data(), room);
                buffer[size - 2] = '\0';
                buffer[size - 1] = '\0';
                return size - 2;
            }
            std::memcpy(buffer + used, name.c_str(), name.size() + 1);
            used += static_cast<unsigned>(name.size()) + 1;
        }
        buffer[used] = '\0';
        return used;
    }

    std::string value;
    if (!text.Find(section, key, value))
        value = def ? def : "";
    unsigned n = static_cast<unsigned>(std::min<std::size_t>(value.size(), size - 1));
    std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    // A value with an embedded NUL byte reads as the text before it.
    return static_cast<unsigned>(std::strlen(buffer));
}

bool ProfileService::WriteString(const char* section, const char* key, const char* value, const char* path) {
    if (!section || !path)
        return false;
    std::string bytes;
    LoadResult loaded = Load(path, bytes);
    if (loaded == LoadResult::Unreadable)
        return false;
    ProfileText text(std::move(bytes));
    if (!key)
        text.RemoveSection(section);
    else if (!value)
        text.RemoveKey(section, key);
    else
        text.Set(section, key, value);
    return Store(path, text.Bytes());
}

} // namespace platform
