#pragma once
#include "SectionJournal.h"

#include <string>
#include <vector>

// Finishes recordings that were never closed (the power went, the program was killed): a recording
// whose journal (CSectionJournal) lies beside it gets the data size of the whole sample frames
// really in the file, the RIFF size to match and the "sect" list from the journal; then the
// journal goes. The file's layout stays the program's own sectioned WAV.
//
// It never makes a file worse: a file that is not the program's recording, or a journal that is
// not a journal, is left as it is; a recording that was closed properly keeps its bytes (only its
// journal goes); no sample is removed (only a last frame cut short). Every step is safe to repeat
// if the repair itself is cut off.
//
// It never touches a recording that is still being made. A writer holds locks on the recording
// (CWaveWriter) and on its journal for the recording's life; the repair takes the recording's lock
// for itself before it changes anything (so two repairs never meet either) and skips the file when
// either lock is held elsewhere. Where the file system cannot lock, the writer that the journal
// names decides: a journal of this machine whose process no longer runs is stale; one of another
// machine, or of a process that runs, is skipped.
class CRecordingRepair {
public:
    enum class Result {
        Repaired,      // sizes and section list written, journal removed
        AlreadyClosed, // the recording was complete: only its journal removed
        LeftAlone,     // not a recording or not a journal of the program's: nothing changed
        Failed,        // a write failed: the journal stays for the next try
        InUse,         // another process is still recording it: nothing changed
        Unreadable,    // the journal is a link, a FIFO, too large or cannot be opened: nothing changed
    };

    // A recording or journal that a folder's repair passed over, and why, in plain words.
    struct Skipped {
        std::string Name;
        std::string Why;
    };
    // What RepairFolderReport did: names without the folder, in name order.
    struct Report {
        std::vector<std::string> Repaired;
        // Recordings another process is still making ("is being recorded by process 4242 on nas").
        std::vector<Skipped> InUse;
        // Journals that were not read ("it is a symbolic link", "it is not a regular file").
        std::vector<Skipped> Unreadable;
        // One sentence a line for every file passed over; "" when there is none. For example
        // "20261208-101500.wav was not repaired: it is being recorded by process 4242 on nas".
        std::string Note() const;
    };

    // Repairs one recording that has a journal; `why` (when given) receives the reason of an
    // InUse or Unreadable result.
    static Result Repair(const std::string& recording, std::string* why = nullptr);
    // Repairs every recording in `folder` that has a journal beside it; returns the names (without
    // the folder) of those repaired.
    static std::vector<std::string> RepairFolder(const std::string& folder);
    // The same, with what was passed over and why.
    static Report RepairFolderReport(const std::string& folder);
    // Where locks cannot tell (the file system has none): whether the journal's writer is gone.
    // Only a journal of this machine whose process no longer runs is stale; a journal of an older
    // version names no writer and counts as stale, as it always did.
    static bool WriterIsGone(const CSectionJournal::Contents& journal);
};
