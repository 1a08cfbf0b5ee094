#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The section marks of an open recording, kept durable beside it while it records: the "sect" list
// reaches the recording only when it is closed, so a power cut or a killed program would otherwise
// lose every mark. The journal is a small text file, "<recording>.journal": a first line of its
// own, then one line per mark with the section's length in whole seconds. Each line is on the
// disk (fsync) before Append returns, and the journal's folder entry before the constructor
// returns. After a proper close the journal is removed; one that is left behind tells the next
// start which recording to repair and with which marks (CRecordingRepair).
//
// Threads: the window's thread only.
class CSectionJournal {
public:
    // The journal that belongs to a recording file (any path form).
    static std::string PathFor(const std::string& recording);
    // The marks of a journal: one per whole line after the first. A last line cut short (the
    // power went while it was written) is not counted, nor anything from the first line that is
    // not a length. Nothing when the file is missing or its first line is not a journal's.
    static std::optional<std::vector<std::uint32_t>> Read(const std::string& journal);

    // Creates (or empties) the journal of `recording`; IsOpen tells whether that worked. A journal
    // that cannot be made costs the marks' durability, never the recording.
    explicit CSectionJournal(const std::string& recording);
    // Closes the journal and leaves it where it is.
    ~CSectionJournal();
    CSectionJournal(const CSectionJournal&) = delete;
    CSectionJournal& operator=(const CSectionJournal&) = delete;

    bool IsOpen() const { return m_Fd >= 0; }
    // Adds one mark; true once it is on the disk.
    bool Append(std::uint32_t seconds);
    // The recording was closed with its marks: the journal goes.
    void Remove();

private:
    std::string m_Path;
    int m_Fd = -1;
};
