// Playback: Play/Pause and Section/Stop.
#include "ProgramState.h"
#include "RecordingsList.h"
#include "SorvinDlg.h"

#include <clocale>

namespace {

// The paused time blinks between black and a pale yellow.
const QColor kPausedTimeColour(200, 255, 255);

// Shown when the output device does not open: nothing plays, so nothing may look as if it played.
const char* const kNoPlaybackDevice = "No Playback Device!";

} // namespace

void CSorvinDlg::OnPlayPause() {
    if (m_Recording)
        return;
    SetImages(m_BtnPlay, 130, 130);
    SetImages(m_BtnRecord, 165, 145);
    if (m_FastForward || m_Rewind) {
        // Play ends the winding and plays on from where the last step left it.
        ReleaseWind(m_FastForward);
        m_Player.Start();
        UpdateTexts();
        return;
    }
    if (m_Stopped) {
        PlayCurrentFile();
        return;
    }
    if (!m_PlayPaused) {
        m_Player.DevicePause();
        m_PlayPaused = true;
        SendState(0xC0);
        SetImages(m_BtnPlay, 130, 129);
        m_TimeText.ChooseBlinkTextColors(Qt::black, kPausedTimeColour);
    } else {
        m_Player.DeviceRestart();
        m_PlayPaused = false;
        SendStateCode(1);
        SteadyTime();
    }
}

void CSorvinDlg::PlayCurrentFile() {
    g_Hours = g_Minutes = g_Seconds = 0;
    std::setlocale(LC_ALL, "");
    if (g_CurFile == g_FileList.end())
        return;
    m_strStatus = *g_CurFile;
    UpdateTexts();
    if (m_strStatus == kNoWavFiles) {
        SetImages(m_BtnPlay, 130, 129);
        return;
    }
    // What the status line shows is what plays: the current entry, even right after a recording
    // was saved under another name.
    g_FileName = *g_CurFile;
    std::unique_ptr<CWaveReader> reader;
    try {
        reader = std::make_unique<CWaveReader>();
    } catch (...) {
        RefusePlay(kFileOpenError);
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
    m_Playing = true;
    m_Stopped = false;
    g_PlayLength = static_cast<std::int32_t>(m_pReader->GetLength() / SecondBytes());
    if (g_DeviceOpen)
        SendStateCode(1);
    m_PlaySecond = 0;
    m_Timers->SetTimer(3, 1000);
}

void CSorvinDlg::RefusePlay(const char* why) {
    // Nothing plays: neither the Play button nor another file's section and time may say so.
    SetImages(m_BtnPlay, 130, 129);
    m_strStatus = why;
    m_strSection = " ";
    m_strTime = " ";
    UpdateTexts();
}

void CSorvinDlg::OnSectionStop() {
    SteadyTime();
    if (m_FastForward || m_Rewind) {
        // Stop while winding only ends the winding; playback goes on.
        ReleaseWind(m_FastForward);
        UpdateTexts();
        return;
    }
    if (m_Recording && !m_RecordPaused) {
        MarkSection();
        return;
    }
    if (!m_Playing)
        return;
    m_Timers->KillTimer(3);
    if (m_Player.m_pStore) {
        m_Player.Halt();
        m_Player.m_pStore->Seek(0, true);
    }
    SetImages(m_BtnSection, 143, 133);
    m_Stopped = true;
    m_Playing = false;
    m_PlayPaused = false;
    // The display shows where the next Play starts: the beginning of the file.
    ShowTime(0);
    m_strSection = "Section 1";
    UpdateTexts();
    SetImages(m_BtnPlay, 130, 129);
    SetImages(m_BtnRewind, 147, 134);
    SetImages(m_BtnForward, 146, 135);
    SetImages(m_BtnRecord, 165, 145);
    SendState(0xC0);
    if (g_DiskFull)
        SendState(0xC3);
}
