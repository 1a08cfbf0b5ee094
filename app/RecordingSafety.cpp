// What keeps a recording safe from what happens around it: its folder going away, its disk filling
// up, the program being ended from outside.
#include "ProgramState.h"
#include "SorvinDlg.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"

#include <filesystem>

void CSorvinDlg::WatchRecording() {
    if (!m_Recording)
        return;
    platform::IFileSystem& files = platform::FileSystem();
    platform::FindData found;
    const std::string name = std::filesystem::path(g_FileName).filename().string();
    const int search = files.FindFirst(m_RecordFolder + "/" + name, found);
    std::uint64_t freeBytes = 0;
    if (search < 0 || !files.GetDiskFreeSpace(m_RecordFolder, freeBytes)) {
        OnRecordingFolderLost();
        return;
    }
    files.FindClose(search);
    // Checked every second, not only at Record: the recording ends while the disk still has room
    // for the section list and the final sizes.
    if (freeBytes / 1024 <= static_cast<std::uint64_t>(m_MinFreeSpaceMB) * 1024)
        OnDiskFull();
}

void CSorvinDlg::OnRecordingFolderLost() {
    // The open file outlives its folder: Close still writes the sizes and the section list into it,
    // and the rescue descriptor still reads it afterwards.
    const std::unique_ptr<CRecordingRescue> rescue = std::move(m_pRescue);
    EndRecording();
    const std::string folder = FallbackFolder();
    const std::string target = folder + "/" + std::filesystem::path(g_FileName).filename().string();
    const bool saved = rescue && !folder.empty() && rescue->SaveTo(target);
    OnSectionStop();
    SendState(0xC3);
    m_strStatus = saved ? "Error Path: saved as " + target : "Error Path";
    UpdateTexts();
    platform::Clock().Sleep(3000);
}

void CSorvinDlg::OnEndedFromOutside() {
    OnFileEndSave();
    OnCancel();
}

void CSorvinDlg::OnDisplayLost() {
    // The process is inside exit(): pictures and texts can no longer be made, timers no longer run.
    if (m_Recording) {
        CloseRecordingFile();
        m_Recording = false;
    }
    OpenReceiver();
    SendCommand(0xC0);
    m_Recorder.Terminate();
    m_Player.Terminate();
}
