// Fast forward, rewind, and the jumps to the next and the previous section.
#include "ProgramState.h"
#include "SorvinDlg.h"

#include <cstdio>

namespace {

constexpr unsigned kClockMs = 1000;

} // namespace

void CSorvinDlg::OnFastForward() {
    Apply(TransportEvent::FastForward);
}

void CSorvinDlg::OnRewind() {
    Apply(TransportEvent::Rewind);
}

void CSorvinDlg::OnSectionDown() {
    Apply(TransportEvent::SectionDown);
}

void CSorvinDlg::OnSectionUp() {
    Apply(TransportEvent::SectionUp);
}

void CSorvinDlg::EndWinding() {
    m_Timers->KillTimer(TIMER_FORWARD);
    m_Timers->KillTimer(TIMER_REWIND);
}

// Play, Stop, the wind's own key again or a speed without steps: playback goes on from where the
// last step left it, playing or paused as it was.
void CSorvinDlg::EndWind() {
    EndWinding();
    m_Player.Start();
    Enter(TransportOutcome(m_State, TransportStep::EndWind));
    UpdateTexts();
    SteadyTime();
}

// Engages fast forward or rewind over the playing or paused file, or turns one into the other; its
// timer starts at once, so that the first step comes without delay.
void CSorvinDlg::Wind(bool forward) {
    m_Timers->KillTimer(forward ? TIMER_REWIND : TIMER_FORWARD);
    Enter(TransportOutcome(m_State, forward ? TransportStep::WindForward : TransportStep::WindRewind));
    m_Timers->SetTimer(forward ? TIMER_FORWARD : TIMER_REWIND, 0);
    char speed[16];
    std::snprintf(speed, sizeof speed, "%uX", g_Speed);
    m_strSpeed = g_Speed == 0 ? "OFF" : speed;
    UpdateTexts();
    SteadyTime();
}

void CSorvinDlg::JumpToSection(bool down) {
    if (!g_HasSections || !m_pReader)
        return;
    m_Timers->KillTimer(TIMER_CLOCK);
    const std::uint32_t target = down ? m_Sections.m_NextSectionStart : m_Sections.m_PrevSectionStart;
    // In 64 bits: a section more than a few hours into a file is further than 32 bits of bytes.
    const std::int64_t offset = static_cast<std::int64_t>(target) * SecondBytes();
    // Through the player, so that what was heard (the time shown while paused, the time copied)
    // is the section's start.
    m_Player.SeekTo(offset);
    m_Player.Start();
    if (down)
        StepSectionDown(m_Sections, ReaderSections());
    else
        StepSectionUp(m_Sections, ReaderSections(), static_cast<std::uint32_t>(g_LastSectionStart));
    m_Timers->SetTimer(TIMER_CLOCK, kClockMs);
    SteadyTime();
}
