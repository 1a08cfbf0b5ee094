#pragma once
#include "RecordingInfo.h"
#include "RecordingsScanner.h"

#include <QAbstractItemModel>
#include <QFileSystemWatcher>

#include <memory>
#include <string>
#include <vector>

// The recordings of the folder as a tree: one row per recording, in the folder list's order, and
// under it one row per section. Lengths and sections arrive from the scanner's thread; the folder
// is watched, so that a recording saved, repaired, copied in or removed by any program shows
// without a refresh.
class RecordingsModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Column { kWhen, kStart, kLength, kSections, kSize, kRate, kFile, kColumns };

    explicit RecordingsModel(QObject* parent = nullptr);

    // Lists and watches `folder` (a full path); the same folder again changes nothing.
    void SetFolder(const std::string& folder);
    const std::string& Folder() const { return m_Folder; }
    // Lists the folder again (new and changed files are read again).
    void Rescan();
    // The list's current entry and the file being recorded ("" for none), shown on their rows.
    void SetMarks(const std::string& current, const std::string& inProgress);

    // The recording of a row, or of the recording a section row belongs to; null for none.
    const RecordingInfo* RecordingAt(const QModelIndex& index) const;
    // The number of a section row, 0 for a recording row.
    unsigned SectionAt(const QModelIndex& index) const;
    // The row of a recording, invalid when the folder has none of that name.
    QModelIndex IndexOf(const std::string& name) const;
    // Recordings whose reading is done (read, or refused by the reader).
    int ReadCount() const { return m_ReadCount; }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // Rows came, went or were read.
    void Changed();

private:
    struct Row {
        RecordingInfo Info;
        bool Hidden = false; // sections withheld while they are replaced
    };

    void OnListed(const std::vector<RecordingInfo>& listed);
    void OnRead(const std::vector<RecordingInfo>& read);
    // Withdraws the section rows of row r, and shows them again as they now are.
    void HideSections(int r);
    void ShowSections(int r);
    // Applies `change` to row r, replacing its section rows around it.
    template <class Change> void Refresh(int r, Change change);
    int SectionCount(const Row& row) const;
    int RowOf(const std::string& name) const;
    void InsertRow(int r, const RecordingInfo& info);
    void RemoveRow(int r);
    // Files the reader refused are watched one by one: a file still being copied in grows
    // without any change to the folder.
    void Watch(const RecordingInfo& info);
    QVariant RecordingData(const Row& row, int column, int role) const;
    QVariant SectionData(const Row& row, unsigned section, int column, int role) const;

    std::vector<std::unique_ptr<Row>> m_Rows;
    std::string m_Folder;
    std::string m_Current, m_InProgress;
    int m_ReadCount = 0;
    QFileSystemWatcher m_Watcher;
    RecordingsScanner m_Scanner;
};
