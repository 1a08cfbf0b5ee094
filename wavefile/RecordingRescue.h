#pragma once
#include <string>

// A way to a recording's bytes that does not depend on its folder: a read-only descriptor opened
// when the recording is made. When the folder goes away under a recording (deleted, a network
// share or a USB disk gone), the file the descriptor holds still reads, and SaveTo copies it to a
// folder that is still there.
//
// Threads: the window's thread only.
class CRecordingRescue {
public:
    explicit CRecordingRescue(const std::string& recording);
    ~CRecordingRescue();
    CRecordingRescue(const CRecordingRescue&) = delete;
    CRecordingRescue& operator=(const CRecordingRescue&) = delete;

    // Copies everything the descriptor still reads into a new file `target` (an existing file is
    // never overwritten) and makes it durable. True when the copy is complete; a copy cut short
    // stays, holding what could be copied.
    bool SaveTo(const std::string& target) const;

private:
    int m_Fd = -1;
};
