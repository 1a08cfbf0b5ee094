#pragma once
#include "TransportRules.h"

#include <string>

class JobSending;

// What the recordings window needs from the main window: which recordings are current, being
// recorded or playing, and the commands that change them. Called on the user-interface thread.
class IRecordingsHost {
public:
    virtual ~IRecordingsHost() = default;

    // The recordings folder as a full path.
    virtual std::string RecordingsFolder() = 0;
    // The list's current entry; "" when the list has none.
    virtual std::string CurrentRecording() = 0;
    // The full path of the file a recording goes into right now; "" when nothing is recorded. It
    // need not lie in the recordings folder: Setup may have chosen another since it started.
    virtual std::string RecordingPath() = 0;
    // The full path of the file open for playback (playing or paused); "" when none.
    virtual std::string PlayingPath() = 0;

    // Makes `name` the current entry and plays it from the start of section `section` (from 1),
    // as File up and File down play the entry they move to.
    virtual void PlayRecording(const std::string& name, unsigned section) = 0;
    // The file `from` is now called `to`, or is gone: the main window's list follows.
    virtual void RecordingRenamed(const std::string& from, const std::string& to) = 0;
    virtual void RecordingRemoved(const std::string& name) = 0;

    // The settings file that holds the dictation settings (Recorder.ini).
    virtual std::string SettingsFile() = 0;
    // Shows the dictation settings dialog; returns when it is closed.
    virtual void EditDictationSettings() = 0;
    // The sender of recordings to the typist, shared with the remote's file key.
    virtual JobSending& Sending() = 0;
    // One of the typist's playback commands (SpeedUp, SpeedDown, JumpBack, JumpForward,
    // CopyPosition), as the main window's own keys give it.
    virtual void PlaybackCommand(TransportEvent event) = 0;
    // The playback speed in tenths of the file's own (10 at its own speed).
    virtual int PlaybackSpeed() = 0;
};
