#include "InboxWindow.h"

#include "DictationSettings.h"
#include "JobAudio.h"
#include "ListWindowLayout.h"
#include "StateWriter.h"
#include "platform/Clock.h"
#include "platform/qt/QtWindowTimers.h"

#include <QContextMenuEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QMenu>
#include <QToolBar>
#include <QVBoxLayout>

#include <cstdio>

using dictation::InboxEntry;
using Stage = dictation::TypistState::Stage;

namespace {

std::string Now() {
    const platform::LocalTime t = platform::Clock().GetLocalTime();
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.Year, t.Month, t.Day, t.Hour,
                  t.Minute, t.Second);
    return text;
}

} // namespace

InboxWindow::InboxWindow(IInboxHost& host, QWidget* mainWindow, platform::IWindowTimers* timers)
    : QWidget(mainWindow, Qt::Window), m_Host(host),
      m_OwnTimers(timers ? nullptr : std::make_unique<platform::QtWindowTimers>()),
      m_Model(timers ? *timers : *m_OwnTimers) {
    setWindowTitle(tr("Tavlo inbox"));
    setAccessibleName(tr("Inbox"));
    if (mainWindow)
        setWindowIcon(mainWindow->windowIcon());
    resize(760, 360);
    AskFolder = [this](const QString& title, const std::string& current) -> std::optional<std::string> {
        const QString chosen =
            QFileDialog::getExistingDirectory(this, title, QString::fromStdString(current));
        return chosen.isEmpty() ? std::nullopt : std::optional<std::string>(chosen.toStdString());
    };

    AddAction(tr("&Open"), QKeySequence(Qt::CTRL | Qt::Key_P), &InboxWindow::OpenSelected);
    AddAction(tr("&Done"), QKeySequence(Qt::CTRL | Qt::Key_D), &InboxWindow::MarkSelectedDone);
    AddAction(tr("&Inbox Folder…"), QKeySequence(Qt::CTRL | Qt::Key_O), &InboxWindow::ChooseInbox);
    AddAction(tr("Done &Folder…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), &InboxWindow::ChooseDone);

    m_View.setModel(&m_Model);
    m_View.setAccessibleName(tr("Jobs"));
    m_View.setAccessibleDescription(
        tr("The jobs of the inbox, urgent first, then the oldest. Enter plays a job."));
    m_View.setRootIsDecorated(false);
    m_View.setUniformRowHeights(true);
    m_View.setSelectionMode(QAbstractItemView::SingleSelection);
    m_View.setAllColumnsShowFocus(true);
    connect(&m_View, &QTreeView::activated, this, &InboxWindow::Open);
    connect(&m_Model, &InboxModel::Changed, this, &InboxWindow::ShowCount);
    LayOutListWindow(*this, tr("Job actions"), m_Actions, m_View, m_Status, {180, 100, 80, 70, 140, 90});
}

InboxWindow::~InboxWindow() {
    if (m_Decoder.joinable())
        m_Decoder.join();
}

QAction* InboxWindow::AddAction(const QString& text, const QKeySequence& keys, void (InboxWindow::*slot)()) {
    return AddListAction(*this, m_Actions, text, keys, slot);
}

void InboxWindow::LoadSettings() {
    const dictation::DictationSettings settings = dictation::LoadDictationSettings(m_Host.SettingsFile());
    m_Typist = settings.Author.empty() ? "Typist" : settings.Author;
    if (settings.Inbox != m_Model.Inbox() || settings.DoneFolder() != m_Model.Done())
        m_Model.SetFolders(settings.Inbox, settings.DoneFolder());
    if (settings.Inbox.empty())
        Say(tr("No inbox folder is set up: choose one with Inbox Folder…"));
}

void InboxWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    LoadSettings();
    m_Model.Rescan();
}

void InboxWindow::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addActions(m_Actions);
    menu.exec(event->globalPos());
}

void InboxWindow::OpenSelected() {
    Open(m_View.currentIndex());
}

void InboxWindow::Open(const QModelIndex& index) {
    const InboxEntry* entry = m_Model.EntryAt(index);
    if (!entry)
        return;
    const QString name = QString::fromStdString(entry->FileName);
    using S = InboxEntry::Status;
    if (entry->State == S::Unreadable || entry->State == S::Arriving || entry->State == S::Conflict) {
        Say(tr("%1 cannot be opened: %2").arg(name, QString::fromStdString(entry->Problem)));
        return;
    }
    if (m_Decoding) {
        Say(tr("Still opening the last job: %1 waits.").arg(name));
        return;
    }
    Say(tr("Opening %1…").arg(name));
    // Decoding an hour of speech takes seconds: on a worker, the result posted back here.
    const std::string inbox = m_Model.Inbox();
    const InboxEntry job = *entry;
    if (m_Decoder.joinable())
        m_Decoder.join(); // it has posted its result: it is ending or ended
    m_Decoding = true;
    m_Decoder = std::thread([this, inbox, job] {
        std::string wav, problem;
        if (!DecodeJobAudio(inbox, job.Contents, JobCacheFolder(), wav, problem) && problem.empty())
            problem = "its audio cannot be decoded";
        QMetaObject::invokeMethod(
            this, [this, job, wav, problem] { OnDecoded(job.FileName, job.Contents, wav, problem); },
            Qt::QueuedConnection);
    });
}

void InboxWindow::OnDecoded(const std::string& fileName, const dictation::Job& job, const std::string& wav,
                            const std::string& problem) {
    m_Decoding = false;
    const QString name = QString::fromStdString(fileName);
    if (!problem.empty()) {
        Say(tr("%1 cannot be opened: %2").arg(name, QString::fromStdString(problem)));
        emit Opened(false);
        return;
    }
    const std::string title = job.Author.empty() ? job.Id : job.Author + " " + job.WorkType;
    if (!m_Host.PlayJob(wav, title)) {
        Say(tr("%1 is not played: a recording is open, or no sound comes out. Save the recording first.")
                .arg(name));
        emit Opened(false);
        return;
    }
    // Opened for typing: a job already typed keeps its "done".
    const InboxEntry* entry = m_Model.EntryAt(m_Model.IndexOf(fileName));
    if (!entry || entry->State == InboxEntry::Status::New)
        WriteState(job, Stage::Typing);
    Say(tr("Playing %1").arg(QString::fromStdString(title)));
    emit Opened(true);
}

void InboxWindow::MarkSelectedDone() {
    const InboxEntry* entry = m_Model.EntryAt(m_View.currentIndex());
    if (!entry)
        return;
    using S = InboxEntry::Status;
    if (entry->State == S::Unreadable || entry->State == S::Conflict || entry->State == S::Arriving) {
        Say(tr("%1 is not a job that can be done: %2")
                .arg(QString::fromStdString(entry->FileName), QString::fromStdString(entry->Problem)));
        return;
    }
    if (WriteState(entry->Contents, Stage::Done))
        Say(tr("%1 is done.").arg(QString::fromStdString(entry->FileName)));
}

bool InboxWindow::WriteState(const dictation::Job& job, Stage stage) {
    std::string problem;
    if (!dictation::WriteStateFile(m_Model.Done(), {job.Id, stage, m_Typist, Now()}, problem)) {
        Say(tr("The state of %1 cannot be written to %2: %3")
                .arg(QString::fromStdString(job.Id), QString::fromStdString(m_Model.Done()),
                     QString::fromStdString(problem)));
        return false;
    }
    m_Model.Rescan();
    return true;
}

void InboxWindow::ChooseInbox() {
    if (const std::optional<std::string> folder = AskFolder(tr("Inbox folder"), m_Model.Inbox()))
        KeepFolder(true, *folder);
}

void InboxWindow::ChooseDone() {
    if (const std::optional<std::string> folder = AskFolder(tr("Done folder"), m_Model.Done()))
        KeepFolder(false, *folder);
}

void InboxWindow::KeepFolder(bool inbox, const std::string& folder) {
    dictation::DictationSettings settings = dictation::LoadDictationSettings(m_Host.SettingsFile());
    (inbox ? settings.Inbox : settings.Done) = folder;
    if (!dictation::SaveDictationSettings(m_Host.SettingsFile(), settings)) {
        Say(tr("The folder cannot be kept: %1 cannot be written.")
                .arg(QString::fromStdString(m_Host.SettingsFile())));
        return;
    }
    m_Message.clear();
    LoadSettings();
}

void InboxWindow::Say(const QString& message) {
    m_Message = message;
    ShowCount();
}

void InboxWindow::ShowCount() {
    if (!m_Message.isEmpty()) {
        m_Status.setText(m_Message);
        return;
    }
    int fresh = 0;
    for (int r = 0; r < m_Model.rowCount(); ++r)
        if (m_Model.EntryAt(m_Model.index(r, 0))->State == InboxEntry::Status::New)
            ++fresh;
    m_Status.setText(tr("%1 jobs, %2 new").arg(m_Model.rowCount()).arg(fresh));
}
