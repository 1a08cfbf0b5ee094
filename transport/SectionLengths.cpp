#include "SectionLengths.h"

#include <limits>

std::uint32_t CSectionLengths::Close(std::int64_t elapsedMs) {
    const std::uint64_t total = m_CarryMs + static_cast<std::uint64_t>(elapsedMs > 0 ? elapsedMs : 0);
    const std::uint64_t seconds = total / 1000;
    m_CarryMs = total % 1000;
    // A section of more than 136 years cannot be stored; what is lost then no longer matters.
    return seconds > std::numeric_limits<std::uint32_t>::max() ? std::numeric_limits<std::uint32_t>::max()
                                                               : static_cast<std::uint32_t>(seconds);
}
