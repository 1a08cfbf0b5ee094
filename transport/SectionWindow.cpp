#include "SectionWindow.h"

namespace {

void SetCur(SectionWindow& w, const SectionNode* n) {
    w.m_CurSection = n->Number;
    w.m_CurSectionStart = n->Seconds;
}
void SetNext(SectionWindow& w, const SectionNode* n) {
    w.m_NextSection = n->Number;
    w.m_NextSectionStart = n->Seconds;
}
void SetPrev(SectionWindow& w, const SectionNode* n) {
    w.m_PrevSection = n->Number;
    w.m_PrevSectionStart = n->Seconds;
}
// The old current section becomes the next or the previous one.
void CurToNext(SectionWindow& w) {
    w.m_NextSection = w.m_CurSection;
    w.m_NextSectionStart = w.m_CurSectionStart;
}
void CurToPrev(SectionWindow& w) {
    w.m_PrevSection = w.m_CurSection;
    w.m_PrevSectionStart = w.m_CurSectionStart;
}

SectionNode* Last(SectionNode* n) {
    while (n && n->pNext)
        n = n->pNext;
    return n;
}

// The section that holds `t`, found from the start of the list; before section 1 comes section 1
// itself and after the last section the last section itself.
void FullSearch(SectionWindow& w, SectionCursor c, std::uint32_t t) {
    SectionNode* n = c.First;
    if (!n)
        return;
    while (n->pNext && t >= n->pNext->Seconds)
        n = n->pNext;
    c.Cursor = n;
    SetCur(w, n);
    SetPrev(w, n->pPrev ? n->pPrev : n);
    SetNext(w, n->pNext ? n->pNext : n);
}

} // namespace

void StartSections(SectionWindow& w, SectionCursor c) {
    SectionNode* first = c.First;
    SectionNode* last = Last(first);
    if (!first || !first->pNext)
        return;
    c.Cursor = first;
    SetPrev(w, last);
    SetCur(w, first);
    SetNext(w, first->pNext);
}

void TrackSection(SectionWindow& w, SectionCursor c, std::uint32_t t) {
    SectionNode* cur = c.Cursor;
    if (!cur)
        return FullSearch(w, c, t);
    if (w.m_CurSectionStart <= t && t < w.m_NextSectionStart)
        return;
    const std::uint32_t lastNumber = c.Count + 1;
    if (w.m_PrevSectionStart <= t && t < w.m_CurSectionStart) {
        // One section back.
        if (!cur->pPrev)
            return FullSearch(w, c, t);
        CurToNext(w);
        c.Cursor = cur->pPrev;
        SetCur(w, c.Cursor);
        SetPrev(w, c.Cursor->pPrev ? c.Cursor->pPrev : c.Cursor);
        return;
    }
    if (t >= w.m_NextSectionStart && t >= w.m_CurSectionStart) {
        // Moving on.
        if (w.m_NextSection == 1)
            return;
        if (w.m_CurSection == lastNumber) {
            SetNext(w, c.First);
            return;
        }
        if (!cur->pNext)
            return FullSearch(w, c, t);
        if (w.m_CurSection == c.Count) {
            CurToPrev(w);
            c.Cursor = cur->pNext;
            SetCur(w, c.Cursor);
            SetNext(w, c.Cursor);
            return;
        }
        SectionNode* afterNext = cur->pNext->pNext;
        if (afterNext && t < afterNext->Seconds) {
            CurToPrev(w);
            c.Cursor = cur->pNext;
            SetCur(w, c.Cursor);
            SetNext(w, afterNext);
            return;
        }
    }
    FullSearch(w, c, t);
}

void StepSectionDown(SectionWindow& w, SectionCursor c) {
    SectionNode* cur = c.Cursor;
    if (!cur || !c.First)
        return;
    CurToPrev(w);
    if (w.m_CurSection == c.Count + 1 || !cur->pNext) {
        c.Cursor = c.First;
        SetCur(w, c.First);
        SetNext(w, c.First->pNext ? c.First->pNext : c.First);
        return;
    }
    c.Cursor = cur->pNext;
    SetCur(w, c.Cursor);
    // After the last section comes section 1.
    SetNext(w, c.Cursor->pNext ? c.Cursor->pNext : c.First);
}

void StepSectionUp(SectionWindow& w, SectionCursor c, std::uint32_t lastSectionStart) {
    SectionNode* cur = c.Cursor;
    if (!cur || !c.First)
        return;
    CurToNext(w);
    if (!cur->pPrev) {
        // Section 1: up goes round to the last section.
        SectionNode* last = Last(cur);
        c.Cursor = last;
        SetCur(w, last);
        SetPrev(w, last->pPrev ? last->pPrev : last);
        return;
    }
    c.Cursor = cur->pPrev;
    SetCur(w, c.Cursor);
    if (c.Cursor->pPrev) {
        SetPrev(w, c.Cursor->pPrev);
    } else {
        w.m_PrevSection = static_cast<std::uint16_t>(c.Count + 1);
        w.m_PrevSectionStart = lastSectionStart;
    }
}
