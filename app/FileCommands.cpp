// The recordings folder: the scan, File up, File down and Setup.
#include "IniFile.h"
#include "ProgramState.h"
#include "RecordingsList.h"
#include "Settings.h"
#include "SorvinDlg.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "ui/FolderDlg.h"
#include "wavefile/RecordingRepair.h"

#include <clocale>

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
            // The folder is gone: fall back to the start-up directory, and remember that when the
            // settings file can hold it.
            CIniFile ini(SettingsPath(m_WorkDir));
            if (ini.HasSection("Recorder"))
                ini.WriteString("Recorder", "FloaderName", m_WorkDir.c_str());
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
        m_strStatus = *g_CurFile;
        SortRecordings(g_FileList);
        g_FileName = m_strStatus;
        UpdateTexts();
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
    g_CurFile = down ? NextRecording(g_FileList, g_CurFile) : PreviousRecording(g_FileList, g_CurFile);
    m_strStatus = *g_CurFile;
    UpdateTexts();
    g_FileName = *g_CurFile;
    OnSectionStop();
    platform::Clock().Sleep(1000);
    OnPlayPause();
    if (!g_DeviceOpen) {
        m_strStatus = *g_CurFile;
        UpdateTexts();
    }
}

void CSorvinDlg::OnSetup() {
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
    g_RescanFolder = true;
    ScanFolder();
    CheckDiskSpace();
}
