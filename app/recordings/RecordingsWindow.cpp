#include "RecordingsWindow.h"

#include "JobSending.h"
#include "ListWindowLayout.h"
#include "RecordingName.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QHeaderView>
#include <QInputDialog>
#include <QMenu>
#include <QScreen>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

namespace {

std::optional<QString> AskTitleInDialog(QWidget* parent, const QString& name, const QString& title) {
    bool ok = false;
    const QString text = QInputDialog::getText(
        parent, RecordingsWindow::tr("Rename recording"),
        RecordingsWindow::tr("Title of %1 (its start time stays):").arg(name), QLineEdit::Normal, title, &ok);
    return ok ? std::optional<QString>(text) : std::nullopt;
}

} // namespace

RecordingsWindow::RecordingsWindow(IRecordingsHost& host, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window), m_Host(host), m_Files(host) {
    setWindowTitle(tr("Tavlo recordings"));
    setAccessibleName(tr("Recordings"));
    if (mainWindow)
        setWindowIcon(mainWindow->windowIcon());
    resize(890, 440);
    AskTitle = [this](const QString& name, const QString& title) {
        return AskTitleInDialog(this, name, title);
    };
    AskSend = [this](const QString& name, const dictation::DictationSettings& settings) {
        return AskSendInDialog(this, name, settings);
    };

    AddAction(tr("&Play"), QKeySequence(Qt::CTRL | Qt::Key_P), &RecordingsWindow::PlaySelected);
    AddAction(tr("&Rename…"), QKeySequence(Qt::Key_F2), &RecordingsWindow::RenameSelected);
    AddAction(tr("Move to &Trash"), QKeySequence::Delete, &RecordingsWindow::TrashSelected);
    AddAction(tr("Open &Folder"), QKeySequence(Qt::CTRL | Qt::Key_O), &RecordingsWindow::OpenFolder);
    AddAction(tr("&Copy Sections as Labels"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C),
              &RecordingsWindow::CopyLabels);
    AddAction(tr("&Send to Typist…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T),
              &RecordingsWindow::SendSelected);
    AddAction(tr("&Dictation Settings…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D),
              &RecordingsWindow::EditDictation);
    connect(&m_Host.Sending(), &JobSending::Progress, this, &RecordingsWindow::OnSendProgress);
    connect(&m_Host.Sending(), &JobSending::Finished, this, &RecordingsWindow::OnSendFinished);

    m_View.setModel(&m_Model);
    m_View.setAccessibleName(tr("Recordings"));
    m_View.setAccessibleDescription(
        tr("The recordings of the folder, oldest first. Enter plays a recording or a section; "
           "Right opens a recording's sections."));
    // Ten thousand rows lay out at once only with rows of one height.
    m_View.setUniformRowHeights(true);
    m_View.setExpandsOnDoubleClick(false);
    m_View.setSelectionMode(QAbstractItemView::SingleSelection);
    m_View.setAllColumnsShowFocus(true);
    connect(&m_View, &QTreeView::activated, this, &RecordingsWindow::Play);
    connect(&m_Model, &RecordingsModel::Changed, this, &RecordingsWindow::ShowProgress);
    LayOutListWindow(*this, tr("Recording actions"), m_Actions, m_View, m_Status,
                     {250, 70, 80, 70, 100, 80, 200});
    // The typist's keys on a row of their own under the file actions: on one row they fall off
    // the window's edge.
    auto* tools = new QToolBar(this);
    tools->setAccessibleName(tr("Playback"));
    if (auto* column = qobject_cast<QVBoxLayout*>(layout()))
        column->insertWidget(1, tools);
    AddPlaybackAction(tr("&Slower"), QKeySequence(Qt::Key_F3), TransportEvent::SpeedDown);
    AddPlaybackAction(tr("F&aster"), QKeySequence(Qt::Key_F4), TransportEvent::SpeedUp);
    AddPlaybackAction(tr("&Back 5 s"), QKeySequence(Qt::CTRL | Qt::Key_Left), TransportEvent::JumpBack);
    AddPlaybackAction(tr("Forward &5 s"), QKeySequence(Qt::CTRL | Qt::Key_Right),
                      TransportEvent::JumpForward);
    AddPlaybackAction(tr("Copy &Time"), QKeySequence(Qt::CTRL | Qt::Key_T), TransportEvent::CopyPosition);
    tools->addActions(m_PlaybackActions);
    m_Speed.setAccessibleName(tr("Playback speed"));
    tools->addWidget(&m_Speed);
    ShowSpeed();
}

QAction* RecordingsWindow::AddAction(const QString& text, const QKeySequence& keys,
                                     void (RecordingsWindow::*slot)()) {
    return AddListAction(*this, m_Actions, text, keys, slot);
}

void RecordingsWindow::AddPlaybackAction(const QString& text, const QKeySequence& keys,
                                         TransportEvent event) {
    AddListAction(*this, m_PlaybackActions, text, keys, [this, event] {
        m_Host.PlaybackCommand(event);
        ShowSpeed();
    });
}

void RecordingsWindow::ShowSpeed() {
    const int tenths = m_Host.PlaybackSpeed();
    m_Speed.setText(tr("Speed %1.%2x").arg(tenths / 10).arg(tenths % 10));
}

void RecordingsWindow::FollowHost() {
    if (!isVisible())
        return;
    ShowSpeed();
    const std::string folder = m_Host.RecordingsFolder();
    if (!folder.empty())
        m_Model.SetFolder(folder);
    m_Model.SetMarks(m_Host.CurrentRecording(), m_Files.InProgressName());
}

void RecordingsWindow::FollowDictation() {
    const dictation::DictationSettings settings = dictation::LoadDictationSettings(m_Host.SettingsFile());
    m_Model.SetJobFolders(settings.Outbox, settings.ReturnsFolder(), settings.Author);
}

void RecordingsWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FollowHost();
    FollowDictation();
    if (!m_Placed) {
        m_Placed = true;
        PlaceBesideMainWindow();
    }
}

// Beside the main window where the screen has room for the whole window: to its right, else to its
// left, else below it; on a screen too small for any, over the screen's left part.
void RecordingsWindow::PlaceBesideMainWindow() {
    const QWidget* main = parentWidget();
    if (!main || !main->screen())
        return;
    const QRect beside = main->frameGeometry();
    const QRect screen = main->screen()->availableGeometry();
    const QSize size = frameGeometry().size();
    const QPoint places[] = {{beside.right() + 8, beside.top()},
                             {beside.left() - 8 - size.width(), beside.top()},
                             {beside.left(), beside.bottom() + 8}};
    for (const QPoint& at : places) {
        if (screen.contains(QRect(at, size))) {
            move(at);
            return;
        }
    }
    move(screen.topLeft());
}

void RecordingsWindow::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addActions(m_Actions);
    menu.exec(event->globalPos());
}

const RecordingInfo* RecordingsWindow::Selected() const {
    return m_Model.RecordingAt(m_View.currentIndex());
}

void RecordingsWindow::Play(const QModelIndex& index) {
    const RecordingInfo* recording = m_Model.RecordingAt(index);
    if (!recording)
        return;
    if (recording->Name == m_Files.InProgressName()) {
        m_LastMessage = tr("%1 is being recorded.").arg(QString::fromStdString(recording->Name));
        ShowProgress();
        return;
    }
    m_LastMessage.clear();
    const unsigned section = m_Model.SectionAt(index);
    m_Host.PlayRecording(recording->Name, section ? section : 1);
    FollowHost();
}

void RecordingsWindow::PlaySelected() {
    Play(m_View.currentIndex());
}

void RecordingsWindow::RenameSelected() {
    const RecordingInfo* recording = Selected();
    if (!recording)
        return;
    const std::string name = recording->Name;
    const std::optional<QString> title =
        AskTitle(QString::fromStdString(name), QString::fromStdString(RecordingTitle(name)));
    if (!title)
        return;
    const RecordingFiles::Outcome outcome = m_Files.Rename(name, title->trimmed().toStdString());
    Report(outcome);
    if (outcome.Done)
        m_Model.Rescan();
}

void RecordingsWindow::TrashSelected() {
    if (const RecordingInfo* recording = Selected()) {
        Report(m_Files.MoveToTrash(recording->Name));
        m_Model.Rescan();
    }
}

void RecordingsWindow::OpenFolder() {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(m_Model.Folder())));
}

void RecordingsWindow::CopyLabels() {
    const RecordingInfo* recording = Selected();
    if (!recording)
        return;
    if (recording->Status != RecordingInfo::State::Read || recording->Name == m_Files.InProgressName()) {
        m_LastMessage =
            tr("The sections of %1 are not known yet.").arg(QString::fromStdString(recording->Name));
    } else {
        QApplication::clipboard()->setText(QString::fromStdString(FormatLabels(recording->Summary)));
        m_LastMessage = tr("The sections of %1 are on the clipboard as a label track.")
                            .arg(QString::fromStdString(recording->Name));
    }
    ShowProgress();
}

void RecordingsWindow::SendSelected() {
    const RecordingInfo* recording = Selected();
    if (!recording)
        return;
    const QString name = QString::fromStdString(recording->Name);
    const std::string sending = m_Host.Sending().Sending();
    const dictation::DictationSettings settings = dictation::LoadDictationSettings(m_Host.SettingsFile());
    m_Model.SetJobFolders(settings.Outbox, settings.ReturnsFolder(), settings.Author);
    if (recording->Name == m_Files.InProgressName())
        m_LastMessage = tr("%1 is being recorded: save it, then send it.").arg(name);
    else if (!sending.empty())
        m_LastMessage = tr("%1 is being sent: wait until it is done.").arg(QString::fromStdString(sending));
    else if (settings.Outbox.empty())
        m_LastMessage = tr("No outbox is set up: choose one in Dictation settings (Ctrl+Shift+D).");
    else if (const std::optional<SendChoice> choice = AskSend(name, settings)) {
        // The row may have gone while the dialog was open: the name is sent, not the row.
        const std::string file = m_Model.Folder() + "/" + name.toStdString();
        m_Host.Sending().Start(name.toStdString(), {file, settings.Author, choice->WorkType, choice->Priority,
                                                    choice->Note, settings.Outbox});
        m_Model.SetSending(name.toStdString(), tr("sending…"));
        m_LastMessage = tr("Sending %1 to the typist…").arg(name);
    }
    ShowProgress();
}

void RecordingsWindow::OnSendProgress(const QString& name, int percent) {
    m_Model.SetSending(name.toStdString(), tr("sending… %1%").arg(percent));
}

void RecordingsWindow::OnSendFinished(const QString& name, bool, const QString& message) {
    m_Model.SetSending(name.toStdString(), {});
    FollowDictation();
    m_LastMessage = message;
    ShowProgress();
}

void RecordingsWindow::EditDictation() {
    m_Host.EditDictationSettings();
    FollowDictation();
}

void RecordingsWindow::Report(const RecordingFiles::Outcome& outcome) {
    m_LastMessage = QString::fromStdString(outcome.Message);
    ShowProgress();
    // The keyboard stays on a renamed recording once the folder's listing has its new name.
    if (outcome.Done && !outcome.Name.empty())
        m_Follows = outcome.Name;
}

void RecordingsWindow::ShowProgress() {
    // The keyboard starts from the current recording once the listing has it.
    if (!m_View.currentIndex().isValid() && m_Follows.empty())
        m_Follows = m_Host.CurrentRecording();
    if (const QModelIndex follow = m_Model.IndexOf(m_Follows); follow.isValid()) {
        m_View.setCurrentIndex(follow);
        m_Follows.clear();
    }
    const int rows = m_Model.rowCount();
    QString text = rows == 1 ? tr("1 recording") : tr("%1 recordings").arg(rows);
    if (m_Model.ReadCount() < rows)
        text += tr(", reading lengths: %1 of %2").arg(m_Model.ReadCount()).arg(rows);
    if (!m_LastMessage.isEmpty())
        text += " · " + m_LastMessage;
    m_Status.setText(text);
}
