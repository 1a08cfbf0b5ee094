#include "RecordingsScanner.h"

#include "RecordingsList.h"
#include "platform/PosixFileSystem.h"
#include "wavefile/SectionJournal.h"

#include <algorithm>

namespace {

// Small enough that a batch never holds the window's thread for long (each row read adds its
// section rows to the view), large enough that ten thousand files cost a few hundred updates.
constexpr std::size_t kBatch = 50;

std::vector<RecordingInfo> ListFolder(const std::string& folder) {
    // The worker's own file-system object: searches keep state, and the window's thread uses the
    // program's one. The same backend, so entries carry the same attributes.
    platform::PosixFileSystem files;
    std::vector<RecordingInfo> listed;
    platform::FindData found;
    const int search = files.FindFirst(folder + "/*", found);
    if (search < 0)
        return listed;
    do {
        if (IsListedRecording(found)) {
            RecordingInfo entry;
            entry.Name = found.Name;
            entry.Size = found.Size;
            listed.push_back(std::move(entry));
        }
    } while (files.FindNext(search, found));
    files.FindClose(search);
    // The folder list's order: bytes, as SortRecordings has it.
    std::sort(listed.begin(), listed.end(),
              [](const RecordingInfo& a, const RecordingInfo& b) { return a.Name < b.Name; });
    return listed;
}

RecordingInfo ReadRecording(const std::string& folder, RecordingInfo info) {
    std::string error;
    if (DescribeWaveFile(folder + "/" + info.Name, info.Summary, error)) {
        info.Status = RecordingInfo::State::Read;
    } else {
        info.Status = RecordingInfo::State::Rejected;
        info.Error = error;
    }
    // A journal the start-up repair left alone because it could not be read is named here.
    const std::string journal = CSectionJournal::PathFor(folder + "/" + info.Name);
    const CSectionJournal::Contents contents = CSectionJournal::Load(journal);
    if (contents.Status == CSectionJournal::State::Unreadable)
        info.JournalProblem = contents.Problem;
    return info;
}

} // namespace

RecordingsScanner::RecordingsScanner(QObject* parent) : QObject(parent) {
    m_Worker = std::thread([this] { Work(); });
}

RecordingsScanner::~RecordingsScanner() {
    Ask([this] { m_Stop = true; });
    m_Worker.join();
}

template <class Change> void RecordingsScanner::Ask(Change change) {
    {
        std::lock_guard lock(m_Lock);
        change();
    }
    m_Wake.notify_all();
}

void RecordingsScanner::SetFolder(const std::string& folder) {
    Ask([&] {
        m_Folder = folder;
        m_FolderNew = true;
        m_Wanted = true;
    });
}

void RecordingsScanner::Rescan() {
    Ask([this] { m_Wanted = true; });
}

void RecordingsScanner::SetJobFolders(const std::string& outbox, const std::string& returns,
                                      const std::string& author) {
    Ask([&] {
        m_Outbox = outbox;
        m_Returns = returns;
        m_Author = author;
        m_MarksWanted = true;
    });
}

void RecordingsScanner::ReadMarks() {
    Ask([this] { m_MarksWanted = true; });
}

void RecordingsScanner::Work() {
    for (;;) {
        std::string folder;
        bool fresh = false, scan = false;
        {
            std::unique_lock lock(m_Lock);
            m_Wake.wait(lock, [this] { return m_Stop || m_Wanted || m_MarksWanted; });
            if (m_Stop)
                return;
            scan = m_Wanted.exchange(false);
            m_MarksWanted = false;
            folder = m_Folder;
            fresh = std::exchange(m_FolderNew, false);
        }
        if (scan && !folder.empty())
            Scan(folder, fresh);
        PostMarks(m_Listed);
    }
}

void RecordingsScanner::PostMarks(const std::vector<std::string>& recordings) {
    std::string outbox, returns, author;
    {
        std::lock_guard lock(m_Lock);
        outbox = m_Outbox, returns = m_Returns, author = m_Author;
    }
    QMetaObject::invokeMethod(
        this,
        [this, marks = dictation::ReadJobMarks(recordings, outbox, returns, author)] { emit Marks(marks); },
        Qt::QueuedConnection);
}

bool RecordingsScanner::Scan(const std::string& folder, bool fresh) {
    ReadSizes& read = m_ReadSizes;
    if (fresh)
        read.clear();
    const std::vector<RecordingInfo> listed = ListFolder(folder);
    Post(listed, true);
    m_Listed.clear();
    for (const RecordingInfo& entry : listed)
        m_Listed.push_back(entry.Name);
    ReadSizes stillThere;
    std::vector<RecordingInfo> batch;
    bool whole = true;
    for (const RecordingInfo& entry : listed) {
        auto known = read.find(entry.Name);
        if (known != read.end() && known->second == entry.Size) {
            stillThere.insert(*known);
            continue;
        }
        // A new request (another file saved, the folder changed) is served before the rest:
        // what was read so far is kept, and the next listing names what is left.
        if (m_Stop || m_Wanted) {
            whole = false;
            break;
        }
        batch.push_back(ReadRecording(folder, entry));
        stillThere[entry.Name] = entry.Size;
        if (batch.size() >= kBatch)
            Post(std::exchange(batch, {}), false);
    }
    if (!batch.empty())
        Post(std::move(batch), false);
    if (whole) {
        read = std::move(stillThere); // forgets the files that are gone
    } else {
        for (const auto& [name, size] : stillThere)
            read[name] = size;
    }
    return whole;
}

void RecordingsScanner::Post(std::vector<RecordingInfo> batch, bool listing) {
    // Runs on this object's thread; dropped unread when the scanner is gone by then.
    QMetaObject::invokeMethod(
        this,
        [this, batch = std::move(batch), listing] {
            if (listing)
                emit Listed(batch);
            else
                emit Read(batch);
        },
        Qt::QueuedConnection);
}
