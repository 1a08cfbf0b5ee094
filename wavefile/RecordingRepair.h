#pragma once
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
class CRecordingRepair {
public:
    enum class Result {
        Repaired,      // sizes and section list written, journal removed
        AlreadyClosed, // the recording was complete: only its journal removed
        LeftAlone,     // not a recording or not a journal of the program's: nothing changed
        Failed,        // a write failed: the journal stays for the next try
    };

    // Repairs one recording that has a journal.
    static Result Repair(const std::string& recording);
    // Repairs every recording in `folder` that has a journal beside it; returns the names (without
    // the folder) of those repaired.
    static std::vector<std::string> RepairFolder(const std::string& folder);
};
