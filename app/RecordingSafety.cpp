// What keeps a recording safe from what happens around it: its folder going away, its disk filling
// up, the program being ended from outside.
#include "ProgramState.h"
#include "RemoteReport.h"
#include "SorvinDlg.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"

#include <filesystem>

namespace {

constexpr unsigned kAlertWaitMs = 3000;

} // namespace

void CSorvinDlg::WatchRecording() {
    platform::IFileSystem& files = platform::FileSystem();
    platform::FindData found;
    const int search = files.FindFirst(m_RecordPath, found);
    std::uint64_t freeBytes = 0;
    if (search < 0 || !files.GetDiskFreeSpace(m_RecordFolder, freeBytes)) {
        Apply(TransportEvent::FolderLost);
        return;
    }
    files.FindClose(search);
    // Checked every second, not only at Record: the recording ends while the disk still has room
    // for the section list and the final sizes.
    if (freeBytes / 1024 <= static_cast<std::uint64_t>(m_MinFreeSpaceMB) * 1024)
        Apply(TransportEvent::DiskLow);
}

// The recordings folder is gone while nothing records: playback stops and the remote is alerted.
void CSorvinDlg::AlertFolderLost() {
    if (IsPlaying(m_State))
        StopPlayback();
    SendState(remote::kAlert);
    platform::Clock().Sleep(kAlertWaitMs);
}

void CSorvinDlg::RescueRecording() {
    // The open file outlives its folder: Close still writes the sizes and the section list into it,
    // and the rescue descriptor still reads it afterwards.
    const std::unique_ptr<CRecordingRescue> rescue = std::move(m_pRescue);
    EndRecording();
    const std::string folder = FallbackFolder();
    const std::string target = folder + "/" + std::filesystem::path(m_RecordPath).filename().string();
    const bool saved = rescue && !folder.empty() && rescue->SaveTo(target);
    SendState(remote::kAlert);
    m_strStatus = saved ? "Error Path: saved as " + target : "Error Path";
    UpdateTexts();
    platform::Clock().Sleep(kAlertWaitMs);
}

void CSorvinDlg::OnEndedFromOutside() {
    Apply(TransportEvent::EndRequested);
}

void CSorvinDlg::OnDisplayLost() {
    Apply(TransportEvent::DisplayLost);
}

void CSorvinDlg::EndQuietly() {
    // The process is inside exit(): pictures and texts can no longer be made, timers no longer run.
    if (IsRecording(m_State)) {
        Enter(TransportState::Saving);
        CloseRecordingFile();
    }
    Enter(TransportState::Ending);
    OpenReceiver();
    SendCommand(remote::kIdle);
    m_Recorder.Terminate();
    m_Player.Terminate();
}
