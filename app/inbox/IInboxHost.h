#pragma once
#include <string>

// What the inbox window needs from the main window. Called on the user-interface thread.
class IInboxHost {
public:
    virtual ~IInboxHost() = default;

    // Recorder.ini, whose section "Dictation" names the Inbox and Done folders and the user's name.
    virtual std::string SettingsFile() = 0;
    // Plays the WAV file at `path` (a job's, outside the recordings folder) through the main
    // window's player, the display naming it `title`. False when the transport refuses it (a
    // recording is open) or the file does not play.
    virtual bool PlayJob(const std::string& path, const std::string& title) = 0;
};
