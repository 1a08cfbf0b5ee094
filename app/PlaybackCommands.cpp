// Playback: Play/Pause, Section/Stop, and the media controls' own Play, Pause and Stop.
#include "ProgramState.h"
#include "RecordingsList.h"
#include "RemoteReport.h"
#include "SorvinDlg.h"
#include "platform/FileSystem.h"
#include "wavefile/WaveErrors.h"

#include <clocale>

namespace {

// The paused time blinks between black and a pale yellow.
const QColor kPausedTimeColour(200, 255, 255);

// Shown when the output device does not open, or goes while playing: nothing plays, so nothing
// may look as if it played.
const char* const kNoPlaybackDevice = "No Playback Device!";

constexpr unsigned kClockMs = 1000;

} // namespace

void CSorvinDlg::OnPlayPause() {
    Apply(TransportEvent::PlayPause);
}

void CSorvinDlg::OnSectionStop() {
    Apply(TransportEvent::SectionStop);
}

void CSorvinDlg::PausePlayback() {
    // A wind over the playing file ends where its last step left the file.
    EndWinding();
    m_Player.DevicePause();
    // Every pause steps back, whoever asked for it (the Play/Pause key, the media controls, a
    // pedal): the pause's place stays what shows and what is copied, and playback moves back by
    // the setting's seconds (to the start at most) while the output is paused, to resume there.
    const std::uint64_t pausedAt = m_Player.PlayedPosition();
    const std::uint64_t back = std::uint64_t{m_StepBack} * SecondBytes();
    if (back != 0) {
        m_Player.MoveTo(pausedAt > back ? pausedAt - back : 0);
        m_Player.Start();
    }
    m_Pause = PauseMark{pausedAt, m_Player.PlayedPosition()};
    Enter(TransportState::Paused);
    ShowTime(pausedAt / SecondBytes());
    UpdateTexts();
    ReportState();
    m_TimeText.ChooseBlinkTextColors(Qt::black, kPausedTimeColour);
}

void CSorvinDlg::ResumePlayback() {
    EndWinding();
    m_Player.DeviceRestart();
    m_Pause.reset();
    Enter(TransportState::Playing);
    ReportState();
    SteadyTime();
}

std::string CSorvinDlg::ListFolder() const {
    std::string folder;
    return platform::FileSystem().GetCurrentDirectory(folder) ? folder : std::string(".");
}

void CSorvinDlg::PlayCurrentFile() {
    m_PlayingJob.clear();
    g_Hours = g_Minutes = g_Seconds = 0;
    std::setlocale(LC_ALL, "");
    if (g_CurFile == g_FileList.end())
        return;
    m_strStatus = *g_CurFile;
    UpdateTexts();
    if (m_strStatus == kNoWavFiles)
        return;
    // What the status line shows is what plays: the current entry, even right after a recording
    // was saved under another name.
    OpenForPlayback(ListPath(*g_CurFile), *g_CurFile);
}

void CSorvinDlg::PlayJob(const TransportDetail& detail) {
    // A job's file lies in a cache outside the recordings folder: the list and its current entry
    // stay as they are, the display names the job.
    if (IsPlaying(m_State))
        StopPlayback();
    g_Hours = g_Minutes = g_Seconds = 0;
    m_strStatus = detail.NewName.empty() ? detail.Name : detail.NewName;
    UpdateTexts();
    m_PlayingJob = detail.Name;
    OpenForPlayback(detail.Name, m_strStatus);
    if (!IsPlaying(m_State))
        m_PlayingJob.clear();
}

void CSorvinDlg::OpenForPlayback(const std::string& path, const std::string& shown) {
    std::unique_ptr<CWaveReader> reader;
    try {
        reader = std::make_unique<CWaveReader>(path);
    } catch (...) {
        RefusePlay(kFileOpenError);
        SetStatusReason(shown + ": " + WaveErrors::CurrentReason());
        return;
    }
    m_Player.Stop();
    if (m_pReader)
        m_pReader->Close();
    m_pReader = std::move(reader);
    if (!m_Player.SetDataStore(m_pReader.get())) {
        // Without an output device the clock would stand still and the remote would show playing:
        // refuse as Record does without a capture device, and say why.
        m_Player.SetDataStore(nullptr);
        m_pReader->Close();
        m_pReader.reset();
        RefusePlay(kNoPlaybackDevice);
        return;
    }
    m_Player.Start();
    // The new file's start shows at once, not the last file's position until the first tick.
    ShowTime(0);
    m_strSection = "Section 1";
    UpdateTexts();

    if (m_pReader->m_SectionCount == 0) {
        g_HasSections = false;
    } else {
        g_HasSections = true;
        g_LastSectionStart = 0;
        for (SectionNode* n = m_pReader->m_pFirstSection; n; n = n->pNext)
            g_LastSectionStart = n->Seconds;
        StartSections(m_Sections, ReaderSections());
    }
    Enter(TransportState::Playing);
    g_PlayLength = static_cast<std::int32_t>(m_pReader->GetLength() / SecondBytes());
    if (g_DeviceOpen)
        ReportState();
    m_PlaySecond = 0;
    m_Timers->SetTimer(TIMER_CLOCK, kClockMs);
}

void CSorvinDlg::RefusePlay(const char* why) {
    // Nothing plays: neither the Play button nor another file's section and time may say so.
    m_strStatus = why;
    m_strSection = " ";
    m_strTime = " ";
    UpdateTexts();
}

void CSorvinDlg::StopPlayback() {
    SteadyTime();
    EndWinding();
    m_Timers->KillTimer(TIMER_CLOCK);
    m_Player.SeekTo(0);
    Enter(TransportState::Idle);
    // The display shows where the next Play starts: the beginning of the file.
    ShowTime(0);
    m_strSection = "Section 1";
    UpdateTexts();
    ReportState();
    if (g_DiskFull)
        SendState(remote::kAlert);
}

// The output device failed under playback: it stops where it is, and the folder does not play on
// into silence.
void CSorvinDlg::StopForOutputLost() {
    StopPlayback();
    m_strStatus = kNoPlaybackDevice;
    UpdateTexts();
}
