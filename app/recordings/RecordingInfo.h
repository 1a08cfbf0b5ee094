#pragma once
#include "SectionsReport.h"

#include <cstdint>
#include <string>

// One recording of the folder as the recordings window knows it: its name and size from the
// folder listing, and, once the background reader got to it, its format, length and sections.
struct RecordingInfo {
    enum class State { Unread, Read, Rejected };

    std::string Name;
    std::uint64_t Size = 0;
    State Status = State::Unread;
    WaveSummary Summary; // when Read
    std::string Error;   // when Rejected: why the reader refused it
    // Why the recording's journal (left by a recording never closed) could not be read: a link,
    // a FIFO, a file too large; "" when there is none or it reads.
    std::string JournalProblem;
};
