#pragma once
#include "RecordingInfo.h"
#include "RecordingsScanner.h"

#include <QAbstractItemModel>
#include <QFileSystemWatcher>
#include <QTimer>

#include <map>

#include <memory>
#include <string>
#include <vector>

// The recordings of the folder as a tree: one row per recording, in the folder list's order, and
// under it one row per section. Lengths and sections arrive from the scanner's thread; the folder
// is watched, so that a recording saved, repaired, copied in or removed by any program shows
// without a refresh. A recording sent to the typist shows how far the typist got ("sent",
// "typing", "typed"), read from the outbox and the returns folder by the scanner's worker after each
// listing and every few seconds (a share or a sync engine's folder may give no change notice).
class RecordingsModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Column { kWhen, kStart, kLength, kSections, kSize, kRate, kTypist, kFile, kColumns };
    // How often the typist's marks are read again without a change notice.
    static constexpr int kMarksIntervalMs = 3000;

    explicit RecordingsModel(QObject* parent = nullptr);

    // Lists and watches `folder` (a full path); the same folder again changes nothing.
    void SetFolder(const std::string& folder);
    const std::string& Folder() const { return m_Folder; }
    // Lists the folder again (new and changed files are read again).
    void Rescan();
    // The list's current entry and the file being recorded ("" for none), shown on their rows.
    void SetMarks(const std::string& current, const std::string& inProgress);
    // Where this author's jobs go and the typist's states come back ("" for none set up).
    void SetJobFolders(const std::string& outbox, const std::string& returns, const std::string& author);
    // Reads the typist's marks again now (a send has just finished).
    void ReadJobMarks();
    // What the Typist column shows of a recording being sent ("sending… 40%"); "" when done.
    void SetSending(const std::string& name, const QString& text);
    // The Typist column's text of a recording.
    QString TypistText(const std::string& name) const;

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
    void OnMarks(const std::map<std::string, dictation::JobMark>& marks);
    void ChangedRow(const std::string& name);
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
    std::map<std::string, dictation::JobMark> m_JobMarks;
    std::string m_Sending;
    QString m_SendingText;
    QTimer m_MarksTimer;
    QFileSystemWatcher m_Watcher;

    RecordingsScanner m_Scanner;
};
