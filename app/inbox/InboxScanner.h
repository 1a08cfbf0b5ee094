#pragma once
#include "InboxListing.h"

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Lists a typist's inbox (ListInbox) on a thread of its own, so that a folder on a slow share or
// a file that would block never holds up the window. Requests that come while a scan runs are
// folded into one more scan.
//
// Threads: the public functions and the signal belong to the thread the scanner lives on (the
// user-interface thread); the worker posts its results there.
class InboxScanner : public QObject {
    Q_OBJECT
public:
    explicit InboxScanner(QObject* parent = nullptr);
    // Waits for a scan that runs to finish.
    ~InboxScanner() override;

    // Lists `inbox`, taking the typist's states from `done`, and from then on on every Rescan.
    void SetFolders(const std::string& inbox, const std::string& done);
    void Rescan();

signals:
    void Listed(const std::vector<dictation::InboxEntry>& entries);

private:
    void Work();

    std::thread m_Worker;
    std::mutex m_Lock;
    std::condition_variable m_Wake;
    std::string m_Inbox, m_Done; // under m_Lock
    bool m_Wanted = false;       // under m_Lock
    bool m_Stop = false;         // under m_Lock
};
