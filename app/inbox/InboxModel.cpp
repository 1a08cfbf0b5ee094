#include "InboxModel.h"

#include "platform/WindowTimers.h"

#include <QColor>
#include <QDateTime>
#include <QFont>

using dictation::InboxEntry;

namespace {

QString LengthText(unsigned seconds) {
    return QString("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar('0'));
}

} // namespace

InboxModel::InboxModel(platform::IWindowTimers& timers, QObject* parent)
    : QAbstractTableModel(parent), m_Timers(timers) {
    connect(&m_Scanner, &InboxScanner::Listed, this, &InboxModel::OnListed);
    connect(&m_Watcher, &QFileSystemWatcher::directoryChanged, this, &InboxModel::Rescan);
    m_Timers.SetHandler([this](unsigned id) {
        if (id == kRescanTimer)
            Rescan();
    });
}

InboxModel::~InboxModel() {
    m_Timers.KillTimer(kRescanTimer);
    m_Timers.SetHandler(nullptr);
}

void InboxModel::SetFolders(const std::string& inbox, const std::string& done) {
    if (!m_Watcher.directories().isEmpty())
        m_Watcher.removePaths(m_Watcher.directories());
    m_Inbox = inbox;
    m_Done = done.empty() ? inbox : done;
    if (inbox.empty()) {
        m_Timers.KillTimer(kRescanTimer);
        OnListed({});
        return;
    }
    m_Watcher.addPath(QString::fromStdString(m_Inbox));
    if (m_Done != m_Inbox)
        m_Watcher.addPath(QString::fromStdString(m_Done));
    m_Scanner.SetFolders(m_Inbox, m_Done);
    m_Timers.SetTimer(kRescanTimer, kRescanMs);
}

void InboxModel::Rescan() {
    // A folder made or mounted again after it went is watched again.
    if (!m_Inbox.empty() && m_Watcher.directories().isEmpty())
        m_Watcher.addPath(QString::fromStdString(m_Inbox));
    m_Scanner.Rescan();
}

void InboxModel::OnListed(const std::vector<dictation::InboxEntry>& entries) {
    beginResetModel();
    m_Entries = entries;
    endResetModel();
    ++m_Listings;
    emit Changed();
}

const InboxEntry* InboxModel::EntryAt(const QModelIndex& index) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= static_cast<int>(m_Entries.size()))
        return nullptr;
    return &m_Entries[static_cast<std::size_t>(index.row())];
}

QModelIndex InboxModel::IndexOf(const std::string& fileName) const {
    for (std::size_t r = 0; r < m_Entries.size(); ++r)
        if (m_Entries[r].FileName == fileName)
            return index(static_cast<int>(r), 0);
    return {};
}

int InboxModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_Entries.size());
}

int InboxModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant InboxModel::data(const QModelIndex& index, int role) const {
    const InboxEntry* entry = EntryAt(index);
    if (!entry)
        return {};
    const bool readable = entry->State != InboxEntry::Status::Unreadable;
    if (role == Qt::ToolTipRole) {
        QString tip = QString::fromStdString(entry->FileName);
        if (!entry->Contents.Note.empty())
            tip += "\n" + QString::fromStdString(entry->Contents.Note);
        if (!entry->Problem.empty())
            tip += "\n" + QString::fromStdString(entry->Problem);
        return tip;
    }
    if (role == Qt::FontRole && entry->State == InboxEntry::Status::New) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role == Qt::ForegroundRole && (!readable || entry->State == InboxEntry::Status::Arriving))
        return QColor(Qt::darkGray);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case kAuthor:
        // A file that is not a job of ours shows by its name.
        return QString::fromStdString(readable && !entry->Contents.Author.empty() ? entry->Contents.Author
                                                                                  : entry->FileName);
    case kWorkType:
        return QString::fromStdString(entry->Contents.WorkType);
    case kPriority:
        return QString::fromStdString(entry->Contents.Priority);
    case kLength:
        return readable ? LengthText(entry->Contents.Length) : QString();
    case kReceived:
        return QDateTime::fromSecsSinceEpoch(entry->Received).toString("yyyy-MM-dd hh:mm");
    case kState:
        return QString::fromUtf8(StatusText(entry->State));
    }
    return {};
}

QVariant InboxModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const kNames[kColumns] = {"Author", "Work type", "Priority",
                                                 "Length", "Received",  "State"};
    return section >= 0 && section < kColumns ? tr(kNames[section]) : QVariant();
}
