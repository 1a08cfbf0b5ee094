// Timer ticks 1 to 3: the fast-forward and rewind steps, and the clock that shows the time,
// follows the sections and ends the file.
#include "ProgramState.h"
#include "RecordingsList.h"
#include "SorvinDlg.h"
#include "TimeText.h"
#include "WindSteps.h"
#include "platform/Clock.h"

void CSorvinDlg::OnForwardTick() {
    WindTick(true);
}

void CSorvinDlg::OnRewindTick() {
    WindTick(false);
}

// One step of fast forward (timer 1) or rewind (timer 2); a speed without steps ends the winding.
void CSorvinDlg::WindTick(bool forward) {
    const TimerId id = forward ? TIMER_FORWARD : TIMER_REWIND;
    if (const std::optional<WindStep> step = forward ? ForwardStep(g_Speed) : RewindStep(g_Speed)) {
        m_Timers->KillTimer(id);
        m_Timers->SetTimer(id, step->PeriodMs);
        if (forward)
            m_Player.SkipForward(step->Seconds);
        else
            m_Player.SkipBackward(step->Seconds);
        m_Player.Start();
        return;
    }
    Apply(TransportEvent::WindOff);
}

void CSorvinDlg::ShowTime(std::uint64_t seconds) {
    const ClockParts parts = SplitSeconds(seconds);
    g_Hours = static_cast<std::int32_t>(parts.Hours);
    g_Minutes = parts.Minutes;
    g_Seconds = parts.Seconds;
    m_strTime = TimeText(parts);
}

void CSorvinDlg::OnClockTick() {
    // A device that failed is noticed before anything the stalled stream would make of it: the
    // clock would count on over a file that no longer grows, or run to an end nobody heard.
    if (IsRecording(m_State) && m_Recorder.TakeDeviceFailure()) {
        Apply(TransportEvent::CaptureFailed);
        return;
    }
    if (IsPlaying(m_State) && m_Player.TakeDeviceFailure()) {
        Apply(TransportEvent::OutputFailed);
        return;
    }
    if (IsRecording(m_State)) {
        CheckRecordingFile();
        if (m_State == TransportState::Recording)
            WatchRecording();
        if (m_State != TransportState::Recording)
            return;
        g_RecordSeconds += 1;
        ShowTime(static_cast<std::uint32_t>(g_RecordSeconds));
        m_strSection = "Section " + std::to_string(g_RecordSection);
        m_strStatus = RecordingStatus();
        UpdateTexts();
        m_LevelMeter.SetPeak(m_Recorder.TakePeak());
        return;
    }
    if (!m_Player.m_pStore)
        return;
    // Paused, the time is what was heard (where the pause was), not what the player read ahead.
    const std::uint64_t at = IsPlayPaused(m_State) ? HeardPosition() : m_Player.m_pStore->Tell();
    m_PlaySecond = static_cast<std::uint32_t>(at / SecondBytes());
    ShowTime(m_PlaySecond);
    UpdateTexts();
    // The first two seconds end a rewind by themselves.
    if (m_PlaySecond <= 1)
        Apply(TransportEvent::StartReached);
    // At or past the end: a position can step over the last whole second (a wind step, or a file
    // shorter than its header says), and a file shorter than two seconds ends here too.
    if (m_PlaySecond >= static_cast<std::uint32_t>(g_PlayLength)) {
        // A job's file has no next recording: it stops at its end.
        Apply(m_PlayingJob.empty() ? TransportEvent::EndOfFile : TransportEvent::EndOfJob);
        return;
    }
    if (g_HasSections && m_pReader) {
        TrackSection(m_Sections, ReaderSections(), m_PlaySecond);
        m_strSection = "Section " + std::to_string(m_Sections.m_CurSection);
        UpdateTexts();
    }
}
