#pragma once
#include "FileLock.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The section marks of an open recording, kept durable beside it while it records: the "sect" list
// reaches the recording only when it is closed, so a power cut or a killed program would otherwise
// lose every mark. The journal is a small text file, "<recording>.journal": a first line of its
// own that names its writer ("tavlo section journal 1 writer HOST PID"; journals of older versions
// have the first line without the writer), then one line per mark with the section's length in
// whole seconds. Each line is on the disk (fsync) before Append returns, and the journal's folder
// entry before the constructor returns. After a proper close the journal is removed; one that is
// left behind tells the next start which recording to repair and with which marks
// (CRecordingRepair).
//
// From the constructor to Remove or destruction the journal holds an advisory write lock on
// itself (filelock), so that another process (a second instance, another machine on the same
// network share) can tell a recording that is being made from one whose writer is gone.
//
// Threads: the window's thread only; Load may run on any thread.
class CSectionJournal {
public:
    // Never read beyond this: 65534 marks (all a recording's section numbers can tell apart) take
    // at most 720 kB. Larger files are no journal of the program's and are left alone.
    static constexpr std::size_t MaxBytes = 1 << 20;

    enum class State {
        Read,        // a journal of the program's: Marks, Host, Pid and Lock are set
        Missing,     // no file of that name
        NotAJournal, // a regular file whose first line is not a journal's: left alone
        Unreadable,  // a link, a FIFO, a device, a folder, a file too large or that cannot be opened
    };
    // What Load found in a journal.
    struct Contents {
        State Status = State::Missing;
        std::vector<std::uint32_t> Marks;
        // The writer the first line names; "" and 0 in a journal of a version that named none.
        std::string Host;
        long Pid = 0;
        // Whether another descriptor holds the journal's lock: HeldElsewhere while its writer runs.
        filelock::LockState Lock = filelock::LockState::Unsupported;
        // When Unreadable: why, in plain words ("it is a symbolic link", "it is not a regular file").
        std::string Problem;
    };

    // The journal that belongs to a recording file (any path form).
    static std::string PathFor(const std::string& recording);
    // Reads a journal without following a link and without waiting: only a regular file of at
    // most MaxBytes is read at all. The marks are one per whole line after the first; a last line
    // cut short (the power went while it was written) is not counted, nor anything from the first
    // line that is not a length.
    static Contents Load(const std::string& journal);
    // The marks of a journal (Load's, when it is one); nothing otherwise.
    static std::optional<std::vector<std::uint32_t>> Read(const std::string& journal);
    // This machine's name as a journal names its writer: printable characters without blanks.
    static std::string ThisHost();

    // Creates (or empties) the journal of `recording` and locks it; IsOpen tells whether that
    // worked. A journal that cannot be made costs the marks' durability, never the recording.
    // A journal that another process holds locked, a link or anything but a regular file of that
    // name is left as it is (and not opened).
    explicit CSectionJournal(const std::string& recording);
    // Closes the journal (its lock goes) and leaves it where it is.
    ~CSectionJournal();
    CSectionJournal(const CSectionJournal&) = delete;
    CSectionJournal& operator=(const CSectionJournal&) = delete;

    bool IsOpen() const { return m_Fd >= 0; }
    // Adds one mark; true once it is on the disk. False when the journal is not open or would
    // grow past MaxBytes.
    bool Append(std::uint32_t seconds);
    // The recording was closed with its marks: the journal goes (only one this object made).
    void Remove();

private:
    std::string m_Path;
    int m_Fd = -1;
};
