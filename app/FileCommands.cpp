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
        if (!m_Recording)
            CRecordingRepair::RepairFolder(FolderPath(g_FolderName));
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
        // While recording, the name and the status line belong to the open recording: the file
        // being written is what the clock shows and what the save lists.
        if (!m_Recording) {
            m_strStatus = *g_CurFile;
            g_FileName = m_strStatus;
            UpdateTexts();
        }
    } else {
        g_FileList.push_back(kNoWavFiles);
        g_CurFile = g_FileList.begin();
    }
}

void CSorvinDlg::OnFileUp() {
    ChangeFile(false);
}

void CSorvinDlg::OnFileDown() {
    ChangeFile(true);
}

void CSorvinDlg::ChangeFile(bool down) {
    if (m_Recording)
        return;
    if (g_FileList.empty() || g_CurFile == g_FileList.end() || *g_CurFile == kNoWavFiles)
        return;
    OpenListEntry(down ? NextRecording(g_FileList, g_CurFile) : PreviousRecording(g_FileList, g_CurFile));
}

void CSorvinDlg::OpenListEntry(std::list<std::string>::iterator entry) {
    g_CurFile = entry;
    m_strStatus = *g_CurFile;
    // The new file plays from its start: a wind must not carry the old stream on under its name.
    if (m_FastForward || m_Rewind)
        EndWinding();
    ShowTime(0);
    UpdateTexts();
    g_FileName = *g_CurFile;
    OnSectionStop();
    platform::Clock().Sleep(1000);
    OnPlayPause();
    // Only a file that plays may show its name over what the attempt reported.
    if (!g_DeviceOpen && m_Playing) {
        m_strStatus = *g_CurFile;
        UpdateTexts();
    }
}

void CSorvinDlg::ListSavedRecording() {
    const std::string saved = g_FileName;
    if (g_CurFile != g_FileList.end() && *g_CurFile == kNoWavFiles) {
        g_RescanFolder = true;
        ScanFolder();
    }
    // The saved recording is the current entry, so that the status line, the current entry and
    // the file Play opens all name it. A scan made during the recording may list it already.
    if (!g_FileList.empty() && g_FileList.front() == kNoWavFiles)
        g_FileList.clear();
    auto at = std::find(g_FileList.begin(), g_FileList.end(), saved);
    if (at == g_FileList.end())
        at = g_FileList.insert(g_FileList.end(), saved);
    g_CurFile = at;
    g_FileName = saved;
}

void CSorvinDlg::PlayOnFromNext() {
    // A file that cannot be opened is passed over after its second of "File Open Error!", at most
    // once round the folder; anything else that stops the loop (no output device, the
    // placeholder) ends it.
    for (std::size_t tries = g_FileList.size(); tries > 0; --tries) {
        OnFileDown();
        if (m_Playing || m_strStatus != kFileOpenError)
            return;
        if (tries > 1)
            platform::Clock().Sleep(1000);
    }
}

void CSorvinDlg::OnSetup() {
    // The recording's folder, should the dialog move the recordings elsewhere meanwhile.
    std::string recordingFolder;
    if (m_Recording)
        platform::FileSystem().GetCurrentDirectory(recordingFolder);
    // The button keeps its pressed look while the dialog is open.
    SetImages(m_BtnSetup, 158, 166);
    {
        FolderDlg dlg(this);
        dlg.m_WorkDir = m_WorkDir;
        dlg.m_pHid = &m_Hid;
        dlg.exec();
    }
    SetImages(m_BtnSetup, 158, 153);
    // The dialog's changes reach the window only through the file.
    LoadSettings();
    std::string folder;
    if (m_Recording && !recordingFolder.empty() && g_FileName.front() != '/' &&
        platform::FileSystem().GetCurrentDirectory(folder) && folder != recordingFolder) {
        // The open recording stays where it was made: from here on it is known by its full path.
        g_FileName = recordingFolder + "/" + g_FileName;
    }
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
