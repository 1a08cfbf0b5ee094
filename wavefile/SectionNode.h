#pragma once
#include <cstdint>

// One section of a recording as the reader lists it: the second at which it begins and its
// number (from 1). The nodes are linked both ways, null at the ends, and belong to the reader;
// the main window walks them directly and moves the reader's cursor along them.
struct SectionNode {
    std::uint32_t Seconds = 0;
    SectionNode* pNext = nullptr;
    SectionNode* pPrev = nullptr;
    std::uint16_t Number = 0;
};
