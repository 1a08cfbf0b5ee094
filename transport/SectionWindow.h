#pragma once
#include "wavefile/SectionNode.h"

#include <cstdint>

// The three sections around the playing position: the current one, the one before it and the one
// after it, with the reader's cursor on the current one. Section up seeks to the previous
// section's start and Section down to the next one's, so the wrap-around rules here decide where
// those commands go. Starts are whole seconds from the start of the file.
//
// A file with N marks has the sections 1 to N + 1, linked by SectionNode (first: section 1).
struct SectionWindow {
    std::uint16_t m_CurSection = 0;
    std::uint32_t m_CurSectionStart = 0;
    std::uint16_t m_NextSection = 0;
    std::uint32_t m_NextSectionStart = 0;
    std::uint16_t m_PrevSection = 0;
    std::uint32_t m_PrevSectionStart = 0;
};

// The reader's side that the window moves along: the first node, the cursor and the mark count N.
struct SectionCursor {
    SectionNode* First = nullptr;
    SectionNode*& Cursor;
    std::uint32_t Count = 0;
};

// Where Play puts the window: section 1 current, section 2 next, the last section previous;
// the cursor on section 1. Needs at least one mark.
void StartSections(SectionWindow& w, SectionCursor c);
// Follows the position `t` (seconds) of one clock tick: steps to a neighbour when the position
// moved into it, and searches the whole list when it jumped further.
void TrackSection(SectionWindow& w, SectionCursor c, std::uint32_t t);
// Moves the window after Section down (which went to the next section's start) and Section up
// (which went to the previous section's start).
void StepSectionDown(SectionWindow& w, SectionCursor c);
void StepSectionUp(SectionWindow& w, SectionCursor c, std::uint32_t lastSectionStart);
