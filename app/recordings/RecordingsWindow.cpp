#include "RecordingsWindow.h"

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

// The main window's display colour, so that the two windows read as one program.
const QColor kDisplayColour(0x07, 0xD2, 0xD4);

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
    resize(800, 440);
    setStyleSheet(QString("QHeaderView::section { background: %1; color: black; border: none; padding: 3px; }"
                          "QTreeView { selection-background-color: %1; selection-color: black; }")
                      .arg(kDisplayColour.name()));
    AskTitle = [this](const QString& name, const QString& title) {
        return AskTitleInDialog(this, name, title);
    };

    auto* tools = new QToolBar(this);
    tools->setAccessibleName(tr("Recording actions"));
    AddAction(tr("&Play"), QKeySequence(Qt::CTRL | Qt::Key_P), &RecordingsWindow::PlaySelected);
    AddAction(tr("&Rename…"), QKeySequence(Qt::Key_F2), &RecordingsWindow::RenameSelected);
    AddAction(tr("Move to &Trash"), QKeySequence::Delete, &RecordingsWindow::TrashSelected);
    AddAction(tr("Open &Folder"), QKeySequence(Qt::CTRL | Qt::Key_O), &RecordingsWindow::OpenFolder);
    AddAction(tr("&Copy Sections as Labels"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C),
              &RecordingsWindow::CopyLabels);
    tools->addActions(m_Actions);
    tools->addSeparator();
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
    auto* closing = new QAction(tr("Close"), this);
    closing->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence::Close});
    connect(closing, &QAction::triggered, this, &QWidget::close);
    addAction(closing);

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
    const int widths[RecordingsModel::kColumns] = {250, 70, 80, 70, 100, 80, 200};
    for (int c = 0; c < RecordingsModel::kColumns; ++c)
        m_View.header()->resizeSection(c, widths[c]);
    connect(&m_View, &QTreeView::activated, this, &RecordingsWindow::Play);
    connect(&m_Model, &RecordingsModel::Changed, this, &RecordingsWindow::ShowProgress);

    m_Status.setAccessibleName(tr("Status"));
    m_Status.setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(tools);
    layout->addWidget(&m_View, 1);
    layout->addWidget(&m_Status);
    m_View.setFocus();
}

QAction* RecordingsWindow::NewAction(const QString& text, const QKeySequence& keys) {
    auto* action = new QAction(text, this);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setToolTip(
        QString("%1 (%2)").arg(QString(text).remove('&'), keys.toString(QKeySequence::NativeText)));
    addAction(action);
    return action;
}

QAction* RecordingsWindow::AddAction(const QString& text, const QKeySequence& keys,
                                     void (RecordingsWindow::*slot)()) {
    QAction* action = NewAction(text, keys);
    connect(action, &QAction::triggered, this, slot);
    m_Actions.append(action);
    return action;
}

void RecordingsWindow::AddPlaybackAction(const QString& text, const QKeySequence& keys,
                                         TransportEvent event) {
    QAction* action = NewAction(text, keys);
    connect(action, &QAction::triggered, this, [this, event] {
        m_Host.PlaybackCommand(event);
        ShowSpeed();
    });
    m_PlaybackActions.append(action);
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

void RecordingsWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FollowHost();
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
