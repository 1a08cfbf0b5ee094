#pragma once
#include <cstdint>

// Little-endian fields of the header images, whatever the byte order of the machine.
namespace wavebytes {

inline std::uint32_t Get32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

inline std::uint16_t Get16(const unsigned char* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}

inline void Put32(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

inline void Put16(unsigned char* p, std::uint16_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

inline bool TagIs(const unsigned char* p, const char (&tag)[5]) {
    return p[0] == tag[0] && p[1] == tag[1] && p[2] == tag[2] && p[3] == tag[3];
}

inline void PutTag(unsigned char* p, const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(tag[i]);
}

} // namespace wavebytes
