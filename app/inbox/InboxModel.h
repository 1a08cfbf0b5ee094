#pragma once
#include "InboxScanner.h"

#include <QAbstractTableModel>
#include <QFileSystemWatcher>

#include <string>
#include <vector>

namespace platform {
class IWindowTimers;
}

// A typist's inbox as a table: one row per job file, urgent first, then the oldest. The listing
// comes from the scanner's thread. The folders are watched, and because a watch sees nothing
// that another machine changes on a network share, they are listed again every few seconds too.
class InboxModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kAuthor, kWorkType, kPriority, kLength, kReceived, kState, kColumns };
    // The rescan's timer id and period.
    static constexpr unsigned kRescanTimer = 1;
    static constexpr unsigned kRescanMs = 3000;

    // `timers` (not owned) tick the periodic rescan; tests hand in fakes.
    explicit InboxModel(platform::IWindowTimers& timers, QObject* parent = nullptr);
    ~InboxModel() override;

    // Lists and watches `inbox`, the states taken from `done`; "" for none (the list empties).
    void SetFolders(const std::string& inbox, const std::string& done);
    const std::string& Inbox() const { return m_Inbox; }
    const std::string& Done() const { return m_Done; }
    void Rescan();

    // The entry of a row; null for none.
    const dictation::InboxEntry* EntryAt(const QModelIndex& index) const;
    // The row of the job file `fileName`, invalid when not listed.
    QModelIndex IndexOf(const std::string& fileName) const;
    // Listings received so far (each rescan makes one).
    int Listings() const { return m_Listings; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    void Changed();

private:
    void OnListed(const std::vector<dictation::InboxEntry>& entries);

    platform::IWindowTimers& m_Timers;
    InboxScanner m_Scanner;
    QFileSystemWatcher m_Watcher;
    std::vector<dictation::InboxEntry> m_Entries;
    std::string m_Inbox, m_Done;
    int m_Listings = 0;
};
