#include "RecordingsModel.h"

#include "RecordingName.h"

#include <QApplication>
#include <QFont>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

#include <algorithm>

namespace {

// More changes than this in one listing (another folder, a folder copied in) replace the rows
// at once instead of one by one.
constexpr std::size_t kManyChanges = 64;
constexpr int kMostWatchedFiles = 64;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QString WhenText(const std::string& name) {
    const std::optional<platform::LocalTime> t = StartTimeFromName(name);
    if (!t)
        return Text(name);
    // A title given in the window reads after the start.
    const std::string title = RecordingTitle(name);
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", t->Year, t->Month, t->Day, t->Hour, t->Minute,
                             t->Second) +
           (title.empty() ? QString() : " · " + Text(title));
}

// The mark of the recording in progress: the record button's red dot.
QIcon RecordingMark() {
    QPixmap dot(12, 12);
    dot.fill(Qt::transparent);
    QPainter painter(&dot);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xD0, 0x20, 0x20));
    painter.drawEllipse(1, 1, 10, 10);
    return QIcon(dot);
}

} // namespace

RecordingsModel::RecordingsModel(QObject* parent) : QAbstractItemModel(parent) {
    connect(&m_Scanner, &RecordingsScanner::Listed, this, &RecordingsModel::OnListed);
    connect(&m_Scanner, &RecordingsScanner::Read, this, &RecordingsModel::OnRead);
    connect(&m_Watcher, &QFileSystemWatcher::directoryChanged, this, &RecordingsModel::Rescan);
    connect(&m_Watcher, &QFileSystemWatcher::fileChanged, this, &RecordingsModel::Rescan);
    connect(&m_Scanner, &RecordingsScanner::Marks, this, &RecordingsModel::OnMarks);
    connect(&m_MarksTimer, &QTimer::timeout, this, &RecordingsModel::ReadJobMarks);
}

void RecordingsModel::SetJobFolders(const std::string& outbox, const std::string& returns,
                                    const std::string& author) {
    m_Scanner.SetJobFolders(outbox, returns, author);
    // Read again every few seconds, and not watched: a share or a sync engine's folder may give
    // no change notice, and a watch is set up on this thread, where a share that hangs must not
    // be touched.
    if (outbox.empty() && returns.empty())
        m_MarksTimer.stop();
    else if (!m_MarksTimer.isActive())
        m_MarksTimer.start(kMarksIntervalMs);
}

void RecordingsModel::ReadJobMarks() {
    m_Scanner.ReadMarks();
}

void RecordingsModel::OnMarks(const std::map<std::string, dictation::JobMark>& marks) {
    if (marks == m_JobMarks)
        return;
    std::map<std::string, dictation::JobMark> old = std::exchange(m_JobMarks, marks);
    for (const auto& [name, mark] : old)
        if (!m_JobMarks.contains(name) || m_JobMarks.at(name) != mark)
            ChangedRow(name);
    for (const auto& [name, mark] : m_JobMarks)
        if (!old.contains(name))
            ChangedRow(name);
}

void RecordingsModel::SetSending(const std::string& name, const QString& text) {
    const std::string before = std::exchange(m_Sending, text.isEmpty() ? std::string() : name);
    m_SendingText = text;
    ChangedRow(before);
    ChangedRow(name);
}

QString RecordingsModel::TypistText(const std::string& name) const {
    if (!m_Sending.empty() && name == m_Sending)
        return m_SendingText;
    const auto mark = m_JobMarks.find(name);
    return mark == m_JobMarks.end() ? QString() : tr(dictation::JobMarkText(mark->second));
}

void RecordingsModel::ChangedRow(const std::string& name) {
    if (const int r = RowOf(name); r >= 0)
        emit dataChanged(index(r, kTypist), index(r, kTypist));
}

void RecordingsModel::SetFolder(const std::string& folder) {
    if (folder == m_Folder)
        return;
    beginResetModel();
    m_Rows.clear();
    m_ReadCount = 0;
    endResetModel();
    if (!m_Watcher.directories().isEmpty())
        m_Watcher.removePaths(m_Watcher.directories());
    if (!m_Watcher.files().isEmpty())
        m_Watcher.removePaths(m_Watcher.files());
    m_Folder = folder;
    m_Watcher.addPath(Text(folder));
    m_Scanner.SetFolder(folder);
    emit Changed();
}

void RecordingsModel::Rescan() {
    m_Scanner.Rescan();
}

void RecordingsModel::SetMarks(const std::string& current, const std::string& inProgress) {
    const std::string oldCurrent = std::exchange(m_Current, current);
    const std::string oldInProgress = m_InProgress;
    if (oldCurrent != current)
        for (const std::string& name : {oldCurrent, current})
            if (const int r = RowOf(name); r >= 0)
                emit dataChanged(index(r, 0), index(r, kColumns - 1));
    if (oldInProgress == inProgress)
        return;
    // The recording in progress has no sections to show until it is saved.
    const int rows[] = {RowOf(oldInProgress), RowOf(inProgress)};
    for (int r : rows)
        if (r >= 0)
            HideSections(r);
    m_InProgress = inProgress;
    for (int r : rows)
        if (r >= 0)
            ShowSections(r);
    // A saved recording got its sizes and sections at the close, which changes no folder entry.
    if (!oldInProgress.empty())
        Rescan();
}

int RecordingsModel::RowOf(const std::string& name) const {
    if (name.empty())
        return -1;
    auto at = std::lower_bound(
        m_Rows.begin(), m_Rows.end(), name,
        [](const std::unique_ptr<Row>& row, const std::string& n) { return row->Info.Name < n; });
    return at != m_Rows.end() && (*at)->Info.Name == name ? static_cast<int>(at - m_Rows.begin()) : -1;
}

const RecordingInfo* RecordingsModel::RecordingAt(const QModelIndex& index) const {
    if (!index.isValid())
        return nullptr;
    if (const Row* owner = static_cast<const Row*>(index.internalPointer()))
        return &owner->Info;
    return index.row() < static_cast<int>(m_Rows.size()) ? &m_Rows[index.row()]->Info : nullptr;
}

unsigned RecordingsModel::SectionAt(const QModelIndex& index) const {
    return index.isValid() && index.internalPointer() ? static_cast<unsigned>(index.row()) + 1 : 0;
}

QModelIndex RecordingsModel::IndexOf(const std::string& name) const {
    const int r = RowOf(name);
    return r >= 0 ? index(r, 0) : QModelIndex();
}

int RecordingsModel::SectionCount(const Row& row) const {
    if (row.Hidden || row.Info.Status != RecordingInfo::State::Read || row.Info.Name == m_InProgress)
        return 0;
    return static_cast<int>(row.Info.Summary.SectionStarts.size());
}

void RecordingsModel::HideSections(int r) {
    Row& row = *m_Rows[r];
    if (const int before = SectionCount(row); before > 0) {
        beginRemoveRows(index(r, 0), 0, before - 1);
        row.Hidden = true;
        endRemoveRows();
    }
    row.Hidden = true;
}

void RecordingsModel::ShowSections(int r) {
    Row& row = *m_Rows[r];
    row.Hidden = false;
    if (const int after = SectionCount(row); after > 0) {
        row.Hidden = true;
        beginInsertRows(index(r, 0), 0, after - 1);
        row.Hidden = false;
        endInsertRows();
    }
    emit dataChanged(index(r, 0), index(r, kColumns - 1));
}

template <class Change> void RecordingsModel::Refresh(int r, Change change) {
    HideSections(r);
    change(*m_Rows[r]);
    ShowSections(r);
}

void RecordingsModel::InsertRow(int r, const RecordingInfo& info) {
    beginInsertRows({}, r, r);
    m_Rows.insert(m_Rows.begin() + r, std::make_unique<Row>(Row{info}));
    endInsertRows();
}

void RecordingsModel::RemoveRow(int r) {
    const RecordingInfo& info = m_Rows[r]->Info;
    if (info.Status != RecordingInfo::State::Unread)
        --m_ReadCount;
    m_Watcher.removePath(Text(m_Folder + "/" + info.Name));
    beginRemoveRows({}, r, r);
    m_Rows.erase(m_Rows.begin() + r);
    endRemoveRows();
}

void RecordingsModel::OnListed(const std::vector<RecordingInfo>& listed) {
    // Rows that stay keep what was read of them until the scanner reads them again.
    std::size_t changes = 0;
    for (std::size_t i = 0, j = 0; i < m_Rows.size() || j < listed.size(); ++changes) {
        if (i < m_Rows.size() && j < listed.size() && m_Rows[i]->Info.Name == listed[j].Name) {
            --changes;
            ++i, ++j;
        } else if (j == listed.size() || (i < m_Rows.size() && m_Rows[i]->Info.Name < listed[j].Name)) {
            ++i;
        } else {
            ++j;
        }
    }
    if (changes > kManyChanges) {
        beginResetModel();
        std::vector<std::unique_ptr<Row>> rows;
        rows.reserve(listed.size());
        m_ReadCount = 0;
        std::size_t i = 0;
        for (const RecordingInfo& info : listed) {
            while (i < m_Rows.size() && m_Rows[i]->Info.Name < info.Name)
                ++i;
            const bool kept = i < m_Rows.size() && m_Rows[i]->Info.Name == info.Name;
            rows.push_back(kept ? std::move(m_Rows[i++]) : std::make_unique<Row>(Row{info}));
            rows.back()->Info.Size = info.Size;
            m_ReadCount += rows.back()->Info.Status != RecordingInfo::State::Unread;
        }
        m_Rows = std::move(rows);
        endResetModel();
    } else {
        std::size_t i = 0;
        for (const RecordingInfo& info : listed) {
            while (i < m_Rows.size() && m_Rows[i]->Info.Name < info.Name)
                RemoveRow(static_cast<int>(i));
            if (i < m_Rows.size() && m_Rows[i]->Info.Name == info.Name) {
                if (m_Rows[i]->Info.Size != info.Size)
                    Refresh(static_cast<int>(i), [&](Row& row) { row.Info.Size = info.Size; });
            } else {
                InsertRow(static_cast<int>(i), info);
            }
            ++i;
        }
        while (i < m_Rows.size())
            RemoveRow(static_cast<int>(i));
    }
    emit Changed();
}

void RecordingsModel::OnRead(const std::vector<RecordingInfo>& read) {
    for (const RecordingInfo& info : read) {
        const int r = RowOf(info.Name);
        if (r < 0)
            continue; // gone since
        if (m_Rows[r]->Info.Status == RecordingInfo::State::Unread)
            ++m_ReadCount;
        Refresh(r, [&](Row& row) { row.Info = info; });
        Watch(info);
    }
    emit Changed();
}

void RecordingsModel::Watch(const RecordingInfo& info) {
    const QString path = Text(m_Folder + "/" + info.Name);
    if (info.Status == RecordingInfo::State::Read)
        m_Watcher.removePath(path);
    else if (m_Watcher.files().size() < kMostWatchedFiles)
        m_Watcher.addPath(path);
}

QModelIndex RecordingsModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column < 0 || column >= kColumns)
        return {};
    if (!parent.isValid())
        return row < static_cast<int>(m_Rows.size()) ? createIndex(row, column, nullptr) : QModelIndex();
    if (parent.internalPointer() || parent.row() >= static_cast<int>(m_Rows.size()))
        return {}; // sections have no rows under them
    Row* owner = m_Rows[parent.row()].get();
    return row < SectionCount(*owner) ? createIndex(row, column, owner) : QModelIndex();
}

QModelIndex RecordingsModel::parent(const QModelIndex& child) const {
    const Row* owner = child.isValid() ? static_cast<const Row*>(child.internalPointer()) : nullptr;
    if (!owner)
        return {};
    const int r = RowOf(owner->Info.Name);
    return r >= 0 ? createIndex(r, 0, nullptr) : QModelIndex();
}

int RecordingsModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return static_cast<int>(m_Rows.size());
    if (parent.internalPointer() || parent.column() != 0 || parent.row() >= static_cast<int>(m_Rows.size()))
        return 0;
    return SectionCount(*m_Rows[parent.row()]);
}

int RecordingsModel::columnCount(const QModelIndex&) const {
    return kColumns;
}

QVariant RecordingsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const kTitles[kColumns] = {"Recorded", "Start", "Length", "Sections",
                                                  "Size",     "Rate",  "Typist", "File"};
    return section >= 0 && section < kColumns ? QVariant(tr(kTitles[section])) : QVariant();
}

QVariant RecordingsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (const Row* owner = static_cast<const Row*>(index.internalPointer()))
        return SectionData(*owner, SectionAt(index), index.column(), role);
    return RecordingData(*m_Rows[index.row()], index.column(), role);
}

QVariant RecordingsModel::RecordingData(const Row& row, int column, int role) const {
    const RecordingInfo& info = row.Info;
    const bool current = info.Name == m_Current;
    const bool recording = info.Name == m_InProgress;
    const bool read = info.Status == RecordingInfo::State::Read;
    switch (role) {
    case Qt::DisplayRole:
        switch (column) {
        case kWhen:
            return WhenText(info.Name);
        case kLength:
            if (recording)
                return tr("recording");
            if (info.Status == RecordingInfo::State::Rejected)
                return tr("unreadable");
            return read ? Text(Clock(info.Summary.WholeSeconds())) : QString("…");
        case kSections:
            return read && !recording ? QVariant(static_cast<qulonglong>(info.Summary.SectionStarts.size()))
                                      : QVariant();
        case kSize:
            return QLocale().formattedDataSize(static_cast<qint64>(info.Size));
        case kRate:
            return read ? tr("%1 Hz").arg(info.Summary.SampleRate) : QVariant();
        case kTypist:
            return TypistText(info.Name);
        case kFile:
            return Text(info.Name);
        default:
            return {};
        }
    case Qt::DecorationRole:
        if (column != kWhen)
            return {};
        if (recording) {
            static const QIcon mark = RecordingMark();
            return mark;
        }
        return current ? QApplication::style()->standardIcon(QStyle::SP_MediaPlay) : QVariant();
    case Qt::FontRole:
        if (current) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole: {
        QStringList words;
        if (current)
            words << tr("current recording");
        if (recording)
            words << tr("recording in progress");
        if (info.Status == RecordingInfo::State::Rejected)
            words << tr("cannot be played: %1").arg(Text(info.Error));
        if (!info.JournalProblem.empty())
            words << tr("journal not read: %1").arg(Text(info.JournalProblem));
        return words.isEmpty() ? QVariant() : QVariant(words.join("; "));
    }
    case Qt::TextAlignmentRole:
        return column == kSections || column == kSize || column == kLength
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant();
    default:
        return {};
    }
}

QVariant RecordingsModel::SectionData(const Row& row, unsigned section, int column, int role) const {
    const WaveSummary& summary = row.Info.Summary;
    const std::size_t i = section - 1;
    if (i >= summary.SectionStarts.size())
        return {};
    if (role == Qt::TextAlignmentRole)
        return column == kLength ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    if (role != Qt::DisplayRole)
        return {};
    switch (column) {
    case kWhen:
        return tr("Section %1").arg(section);
    case kStart:
        return Text(Clock(summary.SectionStarts[i]));
    case kLength:
        return Text(Clock(summary.SectionSeconds(i)));
    default:
        return {};
    }
}
