// The recordings window's commands: it opens from the window menu (Ctrl+L), and plays, renames
// and removes recordings through the same list and handlers as File up and File down.
#include "MainWindowHost.h"
#include "ProgramState.h"
#include "RecordingsList.h"
#include "RecordingsWindow.h"
#include "Settings.h"
#include "SorvinDlg.h"
#include "platform/MessageBoxes.h"
#include "ui/DictationDlg.h"

#include <QAction>

#include <algorithm>

void CSorvinDlg::SetUpRecordingsWindow() {
    m_RecordingsAction = new QAction(tr("Recordings"), this);
    m_RecordingsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(m_RecordingsAction, &QAction::triggered, this, &CSorvinDlg::OnRecordings);
    addAction(m_RecordingsAction);
    connect(&m_Sending, &JobSending::Finished, this, &CSorvinDlg::OnSendFinished);
}

void CSorvinDlg::OnDictationSettings() {
    DictationDlg dialog(SettingsPath(m_WorkDir), this);
    dialog.exec();
}

void CSorvinDlg::SendCurrentToTypist() {
    const std::string name = MainWindowHost(*this).CurrentRecording();
    const dictation::DictationSettings settings = dictation::LoadDictationSettings(SettingsPath(m_WorkDir));
    std::string refused;
    if (name.empty())
        refused = "There is no recording to send.";
    else if (!m_Sending.Sending().empty())
        refused = m_Sending.Sending() + " is being sent: wait until it is done.";
    else if (settings.Outbox.empty())
        refused = "No outbox is set up: choose one in Dictation settings (right-click the window).";
    if (!refused.empty()) {
        platform::MessageBoxes().Show(refused, "Send to typist", platform::MessageIcon::Exclamation);
        return;
    }
    m_Sending.Start(
        name, {ListPath(name), settings.Author, settings.WorkType, settings.Priority, "", settings.Outbox});
    m_strStatus = "Sending to typist";
    UpdateTexts();
}

// A send from the recordings window tells its outcome there; the main window names one that
// failed, whoever started it, since the remote's user may not look at the recordings window.
void CSorvinDlg::OnSendFinished(const QString&, bool sent, const QString& message) {
    if (m_State == TransportState::Idle && m_strStatus == "Sending to typist") {
        m_strStatus = sent ? "Sent to typist" : "Not sent";
        UpdateTexts();
    }
    if (!sent && !(m_RecordingsWindow && m_RecordingsWindow->isVisible()))
        platform::MessageBoxes().Show(message.toStdString(), "Send to typist",
                                      platform::MessageIcon::Exclamation);
}

void CSorvinDlg::OnRecordings() {
    if (!m_RecordingsWindow) {
        m_RecordingsHost = std::make_unique<MainWindowHost>(*this);
        m_RecordingsWindow = std::make_unique<RecordingsWindow>(*m_RecordingsHost, this);
        // The window shows the recording in progress and the current one as the state changes.
        connect(this, &CSorvinDlg::TransportChanged, m_RecordingsWindow.get(), &RecordingsWindow::FollowHost);
    }
    m_RecordingsWindow->show();
    m_RecordingsWindow->raise();
    m_RecordingsWindow->activateWindow();
}

void CSorvinDlg::PlayRecording(const std::string& name, unsigned section) {
    Apply(TransportEvent::PlayRow, {name, "", section});
}

void CSorvinDlg::RecordingRenamed(const std::string& from, const std::string& to) {
    Apply(TransportEvent::EntryRenamed, {from, to});
}

void CSorvinDlg::RecordingRemoved(const std::string& name) {
    Apply(TransportEvent::EntryRemoved, {name, "", 1});
}

void CSorvinDlg::PlayRow(const TransportDetail& detail) {
    // A recording saved into the folder by another program since the scan joins the list.
    OpenListEntry(AddRecording(g_FileList, g_CurFile, detail.Name));
    // The section shows at once (Play leaves it to the next clock tick).
    PlayFromSection(detail.Section);
}

void CSorvinDlg::PlayFromSection(unsigned section) {
    if (!g_HasSections || !IsPlaying(m_State) || !m_pReader)
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
    m_Timers->KillTimer(TIMER_CLOCK);
    m_Player.SeekTo(static_cast<std::int64_t>(node->Seconds) * SecondBytes());
    m_Player.Start();
    // The window as Section down leaves it, stepped from section 1 to this one.
    StartSections(m_Sections, ReaderSections());
    for (unsigned n = 1; n < section; ++n)
        StepSectionDown(m_Sections, ReaderSections());
    m_strSection = "Section " + std::to_string(section);
    ShowTime(node->Seconds);
    UpdateTexts();
    m_Timers->SetTimer(TIMER_CLOCK, 1000);
    SteadyTime();
}

// The list's entries follow a rename or a trash made in the recordings window. The file being
// recorded and the one playing are refused there by their paths, and the list's current entry is
// no name of theirs: only the list and the status line that names its entry change.
void CSorvinDlg::FollowList(TransportEvent event, const TransportDetail& detail) {
    if (event == TransportEvent::EntryRenamed) {
        auto entry = std::find(g_FileList.begin(), g_FileList.end(), detail.Name);
        if (entry == g_FileList.end())
            return;
        *entry = detail.NewName;
        SortRecordings(g_FileList);
        if (entry == g_CurFile && m_strStatus == detail.Name) {
            m_strStatus = detail.NewName;
            UpdateTexts();
        }
        return;
    }
    const auto before = g_CurFile;
    const bool wasCurrent = before != g_FileList.end() && *before == detail.Name;
    RemoveRecording(g_FileList, g_CurFile, detail.Name);
    // The next recording is current now; the display names it when it named the one removed.
    if (wasCurrent && g_CurFile != g_FileList.end() && m_strStatus == detail.Name) {
        m_strStatus = *g_CurFile;
        UpdateTexts();
    }
}
