#pragma once
#include "IRecordingsHost.h"

#include <string>

// What the recordings window does to the files of the recordings folder: rename a recording
// and move one to the desktop's trash. Neither touches the file being recorded or the one open
// for playback, and the main window's list follows every change.
class RecordingFiles {
public:
    struct Outcome {
        bool Done = false;
        std::string Message; // for the user: what happened, or why nothing did
        std::string Name;    // the recording's name afterwards
    };

    explicit RecordingFiles(IRecordingsHost& host) : m_Host(host) {}

    // Gives `name` the title `title`; its start stamp and ending stay. Refused when another file
    // has the new name already.
    Outcome Rename(const std::string& name, const std::string& title);
    // Moves `name` to the trash, where the desktop's file manager can restore it.
    Outcome MoveToTrash(const std::string& name);
    // The name of the recording in progress when it lies in the recordings folder; "" otherwise.
    std::string InProgressName();

private:
    // Why `name` may not be changed now; "" when it may. Told by path, not by name: the file being
    // recorded or played may lie in another folder than the one shown, under the same name.
    std::string InUse(const std::string& name);
    std::string PathOf(const std::string& name);

    IRecordingsHost& m_Host;
};
