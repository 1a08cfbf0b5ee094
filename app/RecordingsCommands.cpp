// The recordings window's commands: it opens from the window menu (Ctrl+L), and plays, renames
// and removes recordings through the same list and handlers as File up and File down.
#include "MainWindowHost.h"
#include "ProgramState.h"
#include "RecordingsList.h"
#include "RecordingsWindow.h"
#include "SorvinDlg.h"

#include <QAction>

#include <algorithm>

void CSorvinDlg::SetUpRecordingsWindow() {
    m_RecordingsAction = new QAction(tr("Recordings"), this);
    m_RecordingsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(m_RecordingsAction, &QAction::triggered, this, &CSorvinDlg::OnRecordings);
    addAction(m_RecordingsAction);
}

void CSorvinDlg::OnRecordings() {
    if (!m_RecordingsWindow) {
        m_RecordingsHost = std::make_unique<MainWindowHost>(*this);
        m_RecordingsWindow = std::make_unique<RecordingsWindow>(*m_RecordingsHost, this);
    }
    m_RecordingsWindow->show();
    m_RecordingsWindow->raise();
    m_RecordingsWindow->activateWindow();
}

void CSorvinDlg::PlayRecording(const std::string& name, unsigned section) {
    if (m_Recording)
        return;
    // A recording saved into the folder by another program since the scan joins the list.
    const auto entry = AddRecording(g_FileList, g_CurFile, name);
    // A recording chosen in the list is to play: winding ends first, so that the stop below
    // stops the old file instead of only ending the winding.
    if (m_FastForward || m_Rewind)
        OnSectionStop();
    OpenListEntry(entry);
    // The section shows at once (Play leaves it to the next clock tick).
    PlayFromSection(section);
}

void CSorvinDlg::PlayFromSection(unsigned section) {
    if (!g_HasSections || !m_Playing || !m_pReader)
        return;
    SectionNode* node = m_pReader->m_pFirstSection;
    while (node && node->Number != section)
        node = node->pNext;
    // A section the file does not have (it changed since it was listed): from the start.
    if (!node)
        node = m_pReader->m_pFirstSection;
    if (!node)
        return;
    section = node->Number;
    m_Timers->KillTimer(3);
    if (m_Player.m_pStore) {
        m_Player.Halt();
        m_Player.m_pStore->Seek(static_cast<std::int64_t>(node->Seconds) * SecondBytes(), true);
    }
    m_Player.Start();
    // The window as Section down leaves it, stepped from section 1 to this one.
    StartSections(m_Sections, ReaderSections());
    for (unsigned n = 1; n < section; ++n)
        StepSectionDown(m_Sections, ReaderSections());
    m_strSection = "Section " + std::to_string(section);
    ShowTime(node->Seconds);
    UpdateTexts();
    m_Timers->SetTimer(3, 1000);
    SteadyTime();
}

void CSorvinDlg::RecordingRenamed(const std::string& from, const std::string& to) {
    auto entry = std::find(g_FileList.begin(), g_FileList.end(), from);
    if (entry == g_FileList.end())
        return;
    *entry = to;
    SortRecordings(g_FileList);
    if (entry == g_CurFile) {
        g_FileName = to;
        if (m_strStatus == from)
            m_strStatus = to;
        UpdateTexts();
    }
}

void CSorvinDlg::RecordingRemoved(const std::string& name) {
    const auto before = g_CurFile;
    const bool wasCurrent = before != g_FileList.end() && *before == name;
    RemoveRecording(g_FileList, g_CurFile, name);
    if (!wasCurrent || g_CurFile == g_FileList.end())
        return;
    // The next recording is current now; the display names it when it named the one removed.
    if (*g_CurFile != kNoWavFiles)
        g_FileName = *g_CurFile;
    if (m_strStatus == name) {
        m_strStatus = *g_CurFile;
        UpdateTexts();
    }
}
