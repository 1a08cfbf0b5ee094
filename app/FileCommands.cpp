// The recordings folder: the scan, File up, File down and Setup.
#include "IniFile.h"
#include "ProgramState.h"
#include "RecordingsList.h"
#include "Settings.h"
#include "SorvinDlg.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/FolderOpener.h"
#include "platform/MessageBoxes.h"
#include "ui/FolderDlg.h"
#include "wavefile/RecordingRepair.h"

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <filesystem>

namespace {

// The wait between the stop of one file and the start of the next.
constexpr unsigned kChangeFileWaitMs = 1000;

} // namespace

// Where the recordings go when their folder has gone: the start-up directory, unless the settings'
// "DefaultFloader" names another folder in full that is there. The installed program keeps its
// settings apart from its recordings, and new recordings must not vanish into the settings folder.
std::string CSorvinDlg::FallbackFolder() const {
    CIniFile ini(SettingsPath(m_WorkDir));
    const std::string folder = ini.GetString("Recorder", "DefaultFloader");
    platform::FindData found;
    const int search = folder.starts_with('/') ? platform::FileSystem().FindFirst(folder + "/*", found) : -1;
    if (search < 0)
        return m_WorkDir;
    platform::FileSystem().FindClose(search);
    return folder;
}

void CSorvinDlg::ScanFolder() {
    std::setlocale(LC_ALL, "");
    platform::IFileSystem& files = platform::FileSystem();
    int search = -1;
    platform::FindData found;
    if (g_RescanFolder) {
        // Recordings the program could not close (a power cut, a kill) are finished before they
        // are listed; the open recording's own journal is not one of them.
        // One that another process still records, or whose journal is no regular file, is
        // passed over and named in the session's log.
        if (!IsRecording(m_State)) {
            const std::string passedOver =
                CRecordingRepair::RepairFolderReport(FolderPath(g_FolderName)).Note();
            if (!passedOver.empty())
                std::fputs(passedOver.c_str(), stderr);
        }
        g_FileList.clear();
        g_CurFile = g_FileList.end();
        search = files.FindFirst(FolderPath(g_FolderName) + "/*", found);
        if (search < 0) {
            m_strStatus = "Error Path";
            UpdateTexts();
            // The folder is gone: fall back, and remember that when the settings file can hold it.
            CIniFile ini(SettingsPath(m_WorkDir));
            if (ini.HasSection("Recorder"))
                ini.WriteString("Recorder", "FloaderName", FallbackFolder().c_str());
            LoadSettings();
            search = files.FindFirst(FolderPath(g_FolderName) + "/*", found);
        }
        g_RescanFolder = false;
    }
    // The first entry a search delivers is the folder's own "."; it is passed over.
    if (search >= 0) {
        while (files.FindNext(search, found))
            if (IsListedRecording(found))
                g_FileList.push_back(found.Name);
        files.FindClose(search);
    }
    if (!g_FileList.empty()) {
        g_CurFile = g_FileList.begin();
        SortRecordings(g_FileList);
        // While recording, the status line belongs to the open recording.
        if (!IsRecording(m_State)) {
            m_strStatus = *g_CurFile;
            UpdateTexts();
        }
    } else {
        g_FileList.push_back(kNoWavFiles);
        g_CurFile = g_FileList.begin();
    }
}

void CSorvinDlg::OnFileUp() {
    Apply(TransportEvent::FileUp);
}

void CSorvinDlg::OnFileDown() {
    Apply(TransportEvent::FileDown);
}

void CSorvinDlg::ChangeFile(bool down) {
    if (g_FileList.empty() || g_CurFile == g_FileList.end() || *g_CurFile == kNoWavFiles)
        return;
    OpenListEntry(down ? NextRecording(g_FileList, g_CurFile) : PreviousRecording(g_FileList, g_CurFile));
}

void CSorvinDlg::OpenListEntry(std::list<std::string>::iterator entry) {
    g_CurFile = entry;
    m_strStatus = *g_CurFile;
    ShowTime(0);
    UpdateTexts();
    // The new file plays from its start: a wind must not carry the old stream on under its name.
    if (IsPlaying(m_State))
        StopPlayback();
    platform::Clock().Sleep(kChangeFileWaitMs);
    PlayCurrentFile();
    // Only a file that plays may show its name over what the attempt reported.
    if (!g_DeviceOpen && IsPlaying(m_State)) {
        m_strStatus = *g_CurFile;
        UpdateTexts();
    }
}

void CSorvinDlg::ListSavedRecording() {
    const std::filesystem::path saved(m_RecordPath);
    if (g_CurFile != g_FileList.end() && *g_CurFile == kNoWavFiles) {
        g_RescanFolder = true;
        ScanFolder();
    }
    // The saved recording is the current entry, so that the status line, the current entry and
    // the file Play opens all name it. A scan made during the recording may list it already. Saved
    // into another folder than the list's (Setup moved the recordings meanwhile), it is listed by
    // its full path: where it is, not under its name in the wrong folder.
    std::error_code error;
    const bool here = std::filesystem::equivalent(saved.parent_path(), ListFolder(), error);
    g_CurFile = AddRecording(g_FileList, g_CurFile, here ? saved.filename().string() : saved.string());
}

std::string CSorvinDlg::ListPath(const std::string& entry) const {
    return entry.starts_with('/') ? entry : ListFolder() + "/" + entry;
}

void CSorvinDlg::PlayNext() {
    m_Timers->KillTimer(TIMER_CLOCK);
    platform::Clock().Sleep(kChangeFileWaitMs);
    // The folder plays in an endless loop: after the last recording comes the first again. A list
    // with nothing to play (Setup chose an empty folder, everything was trashed) ends the loop.
    if (g_FileList.empty() || g_CurFile == g_FileList.end() || *g_CurFile == kNoWavFiles) {
        StopPlayback();
        return;
    }
    PlayOnFromNext();
}

void CSorvinDlg::PlayOnFromNext() {
    // A file that cannot be opened is passed over after its second of "File Open Error!", at most
    // once round the folder; anything else that stops the loop (no output device) ends it.
    for (std::size_t tries = g_FileList.size(); tries > 0; --tries) {
        ChangeFile(true);
        if (IsPlaying(m_State) || m_strStatus != kFileOpenError)
            return;
        if (tries > 1)
            platform::Clock().Sleep(kChangeFileWaitMs);
    }
}

void CSorvinDlg::OnSetup() {
    Apply(TransportEvent::Setup);
}

void CSorvinDlg::RunSetup() {
    // The button keeps its pressed look while the dialog is open.
    SetImages(m_BtnSetup, ui::look::kSetupOpen);
    {
        FolderDlg dlg(this);
        dlg.m_WorkDir = m_WorkDir;
        dlg.m_pHid = &m_Hid;
        dlg.exec();
    }
    // The program may have ended while the dialog was open; then nothing more is done.
    Apply(TransportEvent::SetupEnded);
}

void CSorvinDlg::ReloadSettings() {
    SetImages(m_BtnSetup, ui::look::kSetupIdle);
    // The dialog's changes reach the window only through the file. A recording goes on in its
    // own folder, which every check made for it keeps looking at.
    LoadSettings();
    g_RescanFolder = true;
    ScanFolder();
    CheckDiskSpace();
}

void CSorvinDlg::OnOpenRecordingsFolder() {
    // The folder as the scan sees it: the setting, taken from the current directory ("" is the root).
    const std::string setting = FolderPath(g_FolderName);
    const std::string folder = setting.empty() ? "/" : platform::FileSystem().GetFullPathName(setting);
    if (!platform::FolderOpener().Open(folder))
        platform::MessageBoxes().Show("Cannot open the recordings folder " + folder +
                                          ": xdg-open (package xdg-utils) is needed to show it.",
                                      "Tavlo", platform::MessageIcon::Exclamation);
}
