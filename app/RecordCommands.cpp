// Recording: Record, the section mark, File end and save, and the free-disk-space check.
#include "ProgramState.h"
#include "RecordingName.h"
#include "RecordingsList.h"
#include "Settings.h"
#include "SorvinDlg.h"
#include "TimeText.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "ui/InputChoice.h"

#include <QApplication>
#include <cstdio>
#include <filesystem>

namespace {

// Shown when the capture device does not open: nothing is recorded, so nothing may look recorded.
const char* const kNoCaptureDevice = "No Recording Device!";
// How long a recording not from the receiver's microphone names its input on the status line.
constexpr std::uint64_t kInputShownSeconds = 3;

bool FileExists(const std::string& name) {
    std::error_code error;
    return std::filesystem::symlink_status(name, error).type() != std::filesystem::file_type::not_found;
}

} // namespace

void CSorvinDlg::SendState(std::uint8_t command) {
    ProbeDevice();
    SendCommand(command);
}

void CSorvinDlg::SendStateCode(int mode) {
    SendState(mode == 0 ? 0xC1 : 0xC2);
}

void CSorvinDlg::OnRecord() {
    SteadyTime();
    // A recording paused by its own section mark resumes whatever a probe found meanwhile: were
    // the receiver really gone, the device watch saves the recording within a second.
    const bool resuming = m_Recording;
    if (!g_DeviceOpen && !resuming)
        return;
    if ((g_DeviceLost || !g_LinkUp) && !resuming) {
        m_strStatus = "Detect No Device!";
        UpdateTexts();
        return;
    }
    if (!CheckDiskSpace()) {
        SetImages(m_BtnRecord, 165, 145);
        return;
    }
    // The check ended the recording (its folder went away): a new one starts only when the user
    // asks for it, never from a section mark.
    if (resuming && !m_Recording)
        return;
    if (!m_Recording)
        StartRecording();
    else if (m_RecordPaused)
        ResumeRecording();
}

void CSorvinDlg::StartRecording() {
    if (m_Playing) {
        EndWinding();
        UpdateTexts();
    }
    OnSectionStop();
    g_RecordSection = 1;
    g_RecordSeconds = 0;
    // Two recordings started within one second must not share a name: the second would wipe the first.
    g_FileName = UniqueRecordingName(platform::Clock().GetLocalTime(), FileExists);
    g_Hours = g_Minutes = g_Seconds = 0;
    unsigned rate = 0;
    if (std::sscanf(g_Format.c_str(), "%u", &rate) != 1)
        rate = 44100; // a setting that names no rate records at the usual one
    std::unique_ptr<CWaveWriter> writer;
    try {
        writer = std::make_unique<CWaveWriter>(g_FileName.c_str(), rate, m_Channels);
    } catch (...) {
        platform::MessageBoxes().Show("File Create Error", "Tavlo", platform::MessageIcon::None);
        return;
    }
    m_Recorder.Stop();
    if (m_pWriter)
        m_pWriter->Close();
    m_pWriter = std::move(writer);
    // The input is chosen afresh for every recording, so that it is the one the settings dialog
    // showed: the user's choice, a receiver plugged in since start-up, or the default input.
    m_Recorder.ChooseInput(g_RecordInput);
    m_pJournal = std::make_unique<CSectionJournal>(g_FileName);
    m_pRescue = std::make_unique<CRecordingRescue>(g_FileName);
    if (!platform::FileSystem().GetCurrentDirectory(m_RecordFolder))
        m_RecordFolder = ".";
    if (!m_Recorder.SetDataStore(m_pWriter.get())) {
        // Without a capture device the recording would run into an empty file and the remote would
        // show it as recording: refuse, say why, and leave no empty file behind.
        m_Recorder.Stop();
        m_pWriter->Close();
        m_pWriter.reset();
        m_pJournal->Remove();
        m_pJournal.reset();
        m_pRescue.reset();
        std::remove(g_FileName.c_str());
        m_strStatus = kNoCaptureDevice;
        UpdateTexts();
        return;
    }
    SendStateCode(0);
    g_RecordStartTime = platform::Clock().MonotonicMs();
    m_Recorder.Start();
    SetImages(m_BtnRecord, 168, 132);
    m_BtnRecord.m_bRecordLook = 1;
    m_Recording = true;
    m_RecordPaused = false;
    m_Timers->SetTimer(3, 1000);
    // Which input records is never a surprise: another than the receiver's is named at once, and
    // the meter shows from the first tick whether any sound arrives.
    m_Recorder.TakePeak();
    m_LevelMeter.SetPeak(0);
    m_LevelMeter.show();
    if (!m_Recorder.Input().Receiver) {
        m_strStatus = RecordingStatus();
        UpdateTexts();
    }
}

std::string CSorvinDlg::RecordingStatus() const {
    if (!m_Recorder.Input().Receiver && static_cast<std::uint64_t>(g_RecordSeconds) < kInputShownSeconds)
        return InputChoice::InUseText(m_Recorder.Input());
    return g_FileName;
}

void CSorvinDlg::ResumeRecording() {
    SendStateCode(0);
    g_RecordStartTime = platform::Clock().MonotonicMs();
    m_Recorder.DeviceRestart();
    m_RecordPaused = false;
    m_Timers->SetTimer(3, 1000);
    SetImages(m_BtnRecord, 168, 132);
}

void CSorvinDlg::MarkSection() {
    SteadyTime();
    m_Timers->KillTimer(3);
    SendState(0xC0);
    m_Recorder.DevicePause();
    m_RecordPaused = true;
    // The section's length is measured on the monotonic clock: a step of the wall clock (the user
    // or time synchronisation setting it) must not make it negative or hours long.
    const std::int64_t elapsed = platform::Clock().MonotonicMs() - g_RecordStartTime;
    const unsigned seconds = elapsed > 0 ? static_cast<unsigned>(elapsed / 1000) : 0;
    m_pWriter->AddSection(seconds);
    // On the disk before anything else happens: a power cut from here on keeps this mark.
    if (m_pJournal)
        m_pJournal->Append(seconds);
    SetImages(m_BtnSection, 143, 133);
    g_RecordSection += 1;
    OnRecord();
}

void CSorvinDlg::OnFileEndSave() {
    if (!m_Recording)
        return;
    EndRecording();
    m_pRescue.reset();
    ListSavedRecording();
}

void CSorvinDlg::EndRecording() {
    CloseRecordingFile();
    m_Timers->KillTimer(3);
    m_RecordPaused = false;
    SendState(0xC0);
    SetImages(m_BtnRecord, 165, 145);
    SetImages(m_BtnSection, 143, 133);
    m_Recording = false;
    m_BtnRecord.m_bRecordLook = 0;
    m_LevelMeter.hide();
}

void CSorvinDlg::CloseRecordingFile() {
    m_Recorder.Stop();
    // A file that was not completed keeps its journal: the next start finishes it from there.
    if (m_pWriter->Close() && m_pJournal)
        m_pJournal->Remove();
    m_pJournal.reset();
}

bool CSorvinDlg::CheckDiskSpace() {
    const std::uint64_t thresholdKiB = static_cast<std::uint64_t>(m_MinFreeSpaceMB) * 1024;
    platform::IFileSystem& files = platform::FileSystem();
    platform::FindData found;
    const int search = files.FindFirst(FolderPath(g_FolderName) + "/*", found);
    if (search < 0) {
        // The recordings folder is gone: keep what was recorded and tell the remote unit.
        if (m_Recording) {
            OnRecordingFolderLost();
        } else {
            OnSectionStop();
            SendState(0xC3);
            platform::Clock().Sleep(3000);
        }
    } else {
        files.FindClose(search);
    }
    if (files.GetFullPathName(g_FileName).empty() && files.GetFullPathName(g_FolderName).empty())
        return false;
    std::string dir;
    std::uint64_t freeBytes = 0;
    if (!files.GetCurrentDirectory(dir) || !files.GetDiskFreeSpace(dir, freeBytes)) {
        // A folder that cannot be found or asked is a wrong path, not a full disk.
        if (m_strStatus.rfind("Error Path", 0) != 0)
            m_strStatus = "Error Path";
        UpdateTexts();
        return false;
    }
    if (freeBytes / 1024 <= thresholdKiB) {
        OnDiskFull();
        return false;
    }
    if (!m_Recording && !m_Playing)
        SendState(0xC0);
    g_DiskFull = false;
    return true;
}

void CSorvinDlg::OnDiskFull() {
    if (!m_Playing) {
        QApplication::alert(this);
        SendState(0xC3);
    }
    if (m_Recording) {
        OnFileEndSave();
        OnSectionStop();
        SendState(0xC3);
        platform::Clock().Sleep(3000);
    }
    if (!m_Playing) {
        platform::MessageBoxes().Show("Insufficient disk space!", "Tavlo",
                                      platform::MessageIcon::Exclamation);
        SendState(0xC3);
    }
    g_DiskFull = true;
}

void CSorvinDlg::CheckRecordingFile() {
    if (!m_Recording || !m_pWriter)
        return;
    if (m_pWriter->Failed()) {
        // The disk filled up (or the file could not be written) under a running recording: end it
        // the way too little free space does, keeping everything that reached the file.
        OnDiskFull();
    } else if (m_pWriter->IsFull()) {
        // The file holds all a WAV file can: save it rather than drop the rest silently.
        OnFileEndSave();
    }
}
