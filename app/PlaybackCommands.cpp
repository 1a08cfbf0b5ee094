// Playback: Play/Pause and Section/Stop.
#include "ProgramState.h"
#include "RecordingsList.h"
#include "SorvinDlg.h"

#include <clocale>

namespace {

// The paused time blinks between black and a pale yellow.
const QColor kPausedTimeColour(200, 255, 255);

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
        m_strStatus = "File Open Error!";
        UpdateTexts();
        return;
    }
    m_Player.Stop();
    if (m_pReader)
        m_pReader->Close();
    m_pReader = std::move(reader);
    m_Player.SetDataStore(m_pReader.get());
    m_Player.Start();

    if (m_pReader->m_SectionCount == 0) {
        g_HasSections = false;
        m_strSection = "Section 1";
        UpdateTexts();
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
    SetImages(m_BtnPlay, 130, 129);
    SetImages(m_BtnRewind, 147, 134);
    SetImages(m_BtnForward, 146, 135);
    SetImages(m_BtnRecord, 165, 145);
    SendState(0xC0);
    if (g_DiskFull)
        SendState(0xC3);
}
