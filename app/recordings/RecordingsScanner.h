#pragma once
#include "JobMarks.h"
#include "RecordingInfo.h"

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Lists the recordings folder and reads every recording's format, length and sections on a
// thread of its own, so that a folder of thousands of recordings never holds up a window.
// A listing names each recording the folder list would name (the same rule decides) with its
// size, in the folder list's order; reads follow in batches. After a rescan only new files and
// files whose size changed are read again.
//
// Threads: the public functions and the signals belong to the thread the scanner lives on
// (the user-interface thread); the worker posts its results there.
class RecordingsScanner : public QObject {
    Q_OBJECT
public:
    explicit RecordingsScanner(QObject* parent = nullptr);
    // Stops the worker between two files and waits for it.
    ~RecordingsScanner() override;

    // Scans `folder` from scratch (nothing read before is kept).
    void SetFolder(const std::string& folder);
    // Lists the folder again. Requests that come while a scan runs are folded into one.
    void Rescan();
    // Where this author's jobs go and the typist's states arrive ("" for no outbox): after every
    // listing, and on ReadMarks, the worker reads each recording's mark from them.
    void SetJobFolders(const std::string& outbox, const std::string& returns, const std::string& author);
    void ReadMarks();

signals:
    // Every recording of the folder, Size set and Status Unread, in the folder list's order.
    void Listed(const std::vector<RecordingInfo>& recordings);
    // Recordings read since the last batch.
    void Read(const std::vector<RecordingInfo>& recordings);
    // The typist's marks of the listed recordings (those without one are not named).
    void Marks(const std::map<std::string, dictation::JobMark>& marks);

private:
    void Work();
    // Changes what the worker is asked under the lock, then wakes it.
    template <class Change> void Ask(Change change);
    // One scan of the folder; stops early (false) when asked to stop or to scan again.
    bool Scan(const std::string& folder, bool fresh);
    void Post(std::vector<RecordingInfo> batch, bool listing);
    void PostMarks(const std::vector<std::string>& recordings);

    // What was read of each file, by name: its size then. Only the worker touches it.
    using ReadSizes = std::map<std::string, std::uint64_t>;
    ReadSizes m_ReadSizes;

    std::thread m_Worker;
    std::mutex m_Lock;
    std::condition_variable m_Wake;
    std::string m_Folder;                      // under m_Lock
    bool m_FolderNew = false;                  // under m_Lock
    std::string m_Outbox, m_Returns, m_Author; // under m_Lock
    std::vector<std::string> m_Listed;         // the last listing's names; only the worker touches it
    std::atomic<bool> m_Wanted{false};
    std::atomic<bool> m_MarksWanted{false};
    std::atomic<bool> m_Stop{false};
};
