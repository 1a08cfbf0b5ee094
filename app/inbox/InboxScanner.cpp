#include "InboxScanner.h"

InboxScanner::InboxScanner(QObject* parent) : QObject(parent) {
    m_Worker = std::thread([this] { Work(); });
}

InboxScanner::~InboxScanner() {
    {
        std::lock_guard lock(m_Lock);
        m_Stop = true;
    }
    m_Wake.notify_all();
    m_Worker.join();
}

void InboxScanner::SetFolders(const std::string& inbox, const std::string& done) {
    {
        std::lock_guard lock(m_Lock);
        m_Inbox = inbox;
        m_Done = done;
        m_Wanted = true;
    }
    m_Wake.notify_all();
}

void InboxScanner::Rescan() {
    {
        std::lock_guard lock(m_Lock);
        m_Wanted = true;
    }
    m_Wake.notify_all();
}

void InboxScanner::Work() {
    for (;;) {
        std::string inbox, done;
        {
            std::unique_lock lock(m_Lock);
            m_Wake.wait(lock, [this] { return m_Stop || m_Wanted; });
            if (m_Stop)
                return;
            m_Wanted = false;
            inbox = m_Inbox;
            done = m_Done;
        }
        if (inbox.empty())
            continue;
        std::vector<dictation::InboxEntry> entries = dictation::ListInbox(inbox, done);
        // Runs on this object's thread; dropped unread when the scanner is gone by then.
        QMetaObject::invokeMethod(
            this, [this, entries = std::move(entries)] { emit Listed(entries); }, Qt::QueuedConnection);
    }
}
