#pragma once
#include "TransportState.h"

// What may happen to the transport, and what the recorder does about it in each state. Every
// input (the window's buttons, the remote's keys, the media controls, the recordings window, the
// timers, the device and disk watches, the ends from outside) becomes one event; the rule for the
// event in the current state names the step the main window runs, or says it is ignored. The
// table in TransportRules.cpp is the one place where that is decided.
enum class TransportEvent : std::uint8_t {
    // Commands.
    Record,
    SectionStop,
    FileEndSave,
    PlayPause,
    Play,  // the media controls' Play: plays or resumes, never pauses
    Pause, // the media controls' Pause: never plays
    Stop,  // the media controls' Stop: stops playback, never marks a section
    FastForward,
    Rewind,
    ForwardReleased, // the remote's forward key let go after its hold engaged fast forward
    RewindReleased,
    SectionDown,
    SectionUp,
    FileUp,
    FileDown,
    PlayRow, // a recording or one of its sections chosen in the recordings window
    PlayJob, // a dictation job opened in the inbox window: a file outside the recordings folder
    VolumeUp,
    VolumeDown,
    Mute,
    Setup,
    Close,    // the Close button, Escape, the window's close, the media controls' Quit
    SendHeld, // the remote's file key held for two seconds: the current recording to the typist
    // The foot pedal's three pedals pressed and let go. Held left rewinds, held middle plays, held
    // right winds forward; the pedal pressed last decides, letting go of the middle pauses, and
    // while recording no pedal does anything.
    PedalLeftDown,
    PedalLeftUp,
    PedalMiddleDown,
    PedalMiddleUp,
    PedalRightDown,
    PedalRightUp,
    // The typist's keys: playback speed, jumps of a few seconds, the position as text.
    SpeedUp,
    SpeedDown,
    JumpBack,
    JumpForward,
    CopyPosition,
    // What happens around the transport.
    WindOff,      // a wind step at a speed that has none ("OFF")
    StartReached, // playback is in the first two seconds of the file
    EndOfFile,
    EndOfJob,   // the end of a job's file: there is no next recording to play on to
    DeviceLost, // the receiver is gone (its first second)
    DeviceAway, // the receiver is still gone, a second later
    DeviceBack,
    LinkLost,
    DiskLow,
    FileFull,    // the recording holds all a WAV file can
    WriteFailed, // the recording's file cannot be written, not for want of space
    FolderLost,
    CaptureFailed,
    OutputFailed,
    SetupEnded,
    EntryRenamed,
    EntryRemoved,
    EndRequested, // a signal, the session quitting
    DisplayLost,
};
inline constexpr std::size_t kTransportEvents = static_cast<std::size_t>(TransportEvent::DisplayLost) + 1;

enum class TransportStep : std::uint8_t {
    Ignored,
    StartRecording, // stops playback first
    ResumeRecording,
    MarkSection,
    SaveRecording,
    PlayFile,      // opens the list's current entry and plays it
    PausePlayback, // keeps the pause's place and moves playback back by the step-back seconds
    ResumePlayback,
    StopPlayback, // back to the start of the file
    EndWind,      // playback goes on as it was before the wind
    WindForward,  // engages fast forward, or turns a rewind into it
    WindRewind,
    JumpDown,
    JumpUp,
    ChangeFileUp,
    ChangeFileDown,
    PlayRow,
    PlayJob,  // opens a file by its path and plays it; the list's current entry stays
    PlayNext, // the next recording of the folder, or a stop when there is none to play
    VolumeUp,
    VolumeDown,
    Mute,
    RunSetup,
    ReloadSettings,
    RefuseClose,
    End,
    SaveAndEnd,
    EndQuietly, // saves and ends without drawing: the display is gone
    AlertFolderLost,
    RescueRecording,
    WarnDiskFull,
    NoteDiskFull,
    SaveForDiskFull,
    SaveForInputLost,
    SaveForWriteFailed,
    StopForOutputLost,
    ReportState, // tells the remote unit the state again
    FollowList,
    SendToTypist, // sends the list's current recording on a worker; the transport stays as it is
    SpeedUp, // 0.1 faster, to 1.5 at most; playback goes on at once at the new speed
    SpeedDown,
    JumpBack, // 5 s back, not before the file's start
    JumpForward,
    CopyPosition, // "[hh:mm:ss]" of what was heard (while paused: where the pause was) to the clipboard
};

// The step for `event` in `state`.
TransportStep TransportRule(TransportState state, TransportEvent event);
// The state `step` leaves behind when it succeeds (a refusal, such as a file that cannot be opened,
// leaves the state it found or Idle).
TransportState TransportOutcome(TransportState state, TransportStep step);

const char* EventName(TransportEvent event);
const char* StepName(TransportStep step);
