#include "linux/IdentityText.h"

#include <cstdint>
#include <vector>

namespace kelvane {
namespace {

bool IsAsciiAlnum(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Decodes UTF-8 into UTF-16 units. A malformed sequence becomes U+FFFD, whose low
// byte is no letter, so the identity text ends there as it would for any symbol.
std::vector<std::uint16_t> ToUtf16(std::string_view s) {
    std::vector<std::uint16_t> units;
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        std::uint32_t cp = 0xFFFD;
        std::size_t len = 1;
        if (b0 < 0x80) {
            cp = b0;
        } else if ((b0 & 0xE0) == 0xC0) {
            len = 2;
        } else if ((b0 & 0xF0) == 0xE0) {
            len = 3;
        } else if ((b0 & 0xF8) == 0xF0) {
            len = 4;
        }
        if (len > 1) {
            if (i + len > s.size()) {
                len = 1;
            } else {
                std::uint32_t v = b0 & (0x7F >> len);
                bool ok = true;
                for (std::size_t k = 1; k < len; ++k) {
                    const auto b = static_cast<unsigned char>(s[i + k]);
                    ok = ok && (b & 0xC0) == 0x80;
                    v = (v << 6) | (b & 0x3F);
                }
                if (ok) {
                    cp = v;
                } else {
                    len = 1;
                }
            }
        }
        i += len;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            units.push_back(static_cast<std::uint16_t>(0xD800 + (cp >> 10)));
            units.push_back(static_cast<std::uint16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            units.push_back(static_cast<std::uint16_t>(cp));
        }
    }
    return units;
}

} // namespace

std::string MakeIdentityText(std::string_view utf8, std::size_t maxChars) {
    std::string text;
    for (std::uint16_t unit : ToUtf16(utf8)) {
        const auto low = static_cast<unsigned char>(unit & 0xFF);
        if (text.size() >= maxChars || low == 0 || !IsAsciiAlnum(low)) {
            break;
        }
        text.push_back(static_cast<char>(low));
    }
    return text;
}

} // namespace kelvane
