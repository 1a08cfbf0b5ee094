#include "JobId.h"

namespace {

constexpr std::size_t kSlugLength = 32;

bool Kept(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

bool Continuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

} // namespace

std::string AuthorSlug(const std::string& author) {
    std::string slug;
    for (std::size_t i = 0; i < author.size() && slug.size() < kSlugLength; ++i) {
        const auto c = static_cast<unsigned char>(author[i]);
        if (Kept(c)) {
            slug += static_cast<char>(c);
            continue;
        }
        slug += '_';
        // The rest of a multi-byte character is part of the one already replaced.
        if (c >= 0xC0)
            while (i + 1 < author.size() && Continuation(static_cast<unsigned char>(author[i + 1])))
                ++i;
    }
    return slug;
}

std::string JobId(const std::string& stem, const std::string& author) {
    return stem + "-" + AuthorSlug(author);
}
