// Fast forward, rewind, and the jumps to the next and the previous section.
#include "ProgramState.h"
#include "SorvinDlg.h"

#include <cstdio>

void CSorvinDlg::ReleaseWind(bool forward) {
    (forward ? m_FastForward : m_Rewind) = false;
    m_Timers->KillTimer(forward ? 1 : 2);
    if (forward)
        SetImages(m_BtnForward, 146, 135);
    else
        SetImages(m_BtnRewind, 147, 134);
    m_strSpeed = " ";
}

void CSorvinDlg::EndWinding() {
    ReleaseWind(true);
    ReleaseWind(false);
}

void CSorvinDlg::OnFastForward() {
    Wind(true);
}

void CSorvinDlg::OnRewind() {
    Wind(false);
}

// Fast forward and rewind mirror each other: pressing one releases the other, pressing it again
// releases it, and engaging starts its timer at once so that the first step comes without delay.
void CSorvinDlg::Wind(bool forward) {
    if (!m_Playing)
        return;
    bool& engaged = forward ? m_FastForward : m_Rewind;
    bool& other = forward ? m_Rewind : m_FastForward;
    if (other) {
        ReleaseWind(!forward);
        UpdateTexts();
    }
    if (engaged) {
        ReleaseWind(forward);
    } else {
        CSkinButton& button = forward ? m_BtnForward : m_BtnRewind;
        const int lit = forward ? 146 : 147;
        SetImages(button, lit, lit);
        engaged = true;
        m_Timers->SetTimer(forward ? 1 : 2, 0);
        char speed[16];
        std::snprintf(speed, sizeof speed, "%uX", g_Speed);
        m_strSpeed = g_Speed == 0 ? "OFF" : speed;
    }
    UpdateTexts();
    SteadyTime();
}

void CSorvinDlg::OnSectionDown() {
    JumpToSection(true);
}

void CSorvinDlg::OnSectionUp() {
    JumpToSection(false);
}

void CSorvinDlg::JumpToSection(bool down) {
    if (!g_HasSections || !m_Playing || !m_pReader)
        return;
    m_Timers->KillTimer(3);
    if (m_Player.m_pStore) {
        m_Player.Halt();
        m_Player.m_pStore->Seek(0, true);
    }
    const std::uint32_t target = down ? m_Sections.m_NextSectionStart : m_Sections.m_PrevSectionStart;
    // In 64 bits: a section more than a few hours into a file is further than 32 bits of bytes.
    const std::int64_t offset = static_cast<std::int64_t>(target) * SecondBytes();
    if (m_Player.m_pStore) {
        m_Player.Halt();
        m_Player.m_pStore->Seek(offset, false);
    }
    m_Player.Start();
    if (down)
        StepSectionDown(m_Sections, ReaderSections());
    else
        StepSectionUp(m_Sections, ReaderSections(), static_cast<std::uint32_t>(g_LastSectionStart));
    m_Timers->SetTimer(3, 1000);
    SteadyTime();
}
