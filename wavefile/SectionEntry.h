#pragma once

// One section length kept by the writer: the whole seconds between the start (or resumption)
// of capture for a section and the mark that ended it. Entries form a singly linked list in
// marking order and belong to the writer.
struct SectionEntry {
    unsigned Seconds = 0;
    SectionEntry* pNext = nullptr;
};
