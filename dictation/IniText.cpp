#include "IniText.h"

#include <cstdint>

namespace dictation {

std::string OneLine(const std::string& value) {
    std::string line = value;
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    const std::size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    line = line.substr(first, line.find_last_not_of(' ') - first + 1);
    // The reader drops one pair of enclosing quotes: a value that has them gets another pair.
    if (line.size() >= 2 && line.front() == '"' && line.back() == '"')
        line = '"' + line + '"';
    return line;
}

std::string IniLine(const char* key, const std::string& value) {
    return std::string(key) + "=" + OneLine(value) + "\n";
}

bool IsUtf8Text(const std::string& bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        std::size_t more = 0;
        std::uint32_t point = 0;
        if (c == 0)
            return false;
        if (c < 0x80)
            more = 0, point = c;
        else if ((c & 0xE0) == 0xC0)
            more = 1, point = c & 0x1F;
        else if ((c & 0xF0) == 0xE0)
            more = 2, point = c & 0x0F;
        else if ((c & 0xF8) == 0xF0)
            more = 3, point = c & 0x07;
        else
            return false;
        if (i + more >= bytes.size())
            return false;
        for (std::size_t k = 1; k <= more; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            point = (point << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and points past U+10FFFF are no UTF-8.
        static constexpr std::uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (point < kLeast[more] || (point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF)
            return false;
        i += more + 1;
    }
    return true;
}

} // namespace dictation
