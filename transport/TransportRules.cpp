#include "TransportRules.h"

#include <array>

namespace {

using enum TransportStep;
using Row = std::array<TransportStep, kTransportStates>;

// One row per event, one column per state. "no" is ignored: the event changes nothing in that
// state, and no handler looks at a flag to find that out. A recording is left only by a step that
// saves it; Saving and Ending take no events at all.
constexpr TransportStep no = Ignored;
// clang-format off
constexpr std::array<Row, kTransportEvents> kRules = {{
//  Idle             Playing          Paused           FwdPlaying       FwdPaused        RewPlaying       RewPaused        Recording         RecordPaused      Saving Ending
    {StartRecording, StartRecording,  StartRecording,  StartRecording,  StartRecording,  StartRecording,  StartRecording,  no,               ResumeRecording,  no, no}, // Record
    {no,             StopPlayback,    StopPlayback,    EndWind,         EndWind,         EndWind,         EndWind,         MarkSection,      no,               no, no}, // SectionStop
    {no,             no,              no,              no,              no,              no,              no,              SaveRecording,    SaveRecording,    no, no}, // FileEndSave
    {PlayFile,       PausePlayback,   ResumePlayback,  EndWind,         ResumePlayback,  EndWind,         ResumePlayback,  no,               no,               no, no}, // PlayPause
    {PlayFile,       no,              ResumePlayback,  EndWind,         ResumePlayback,  EndWind,         ResumePlayback,  no,               no,               no, no}, // Play
    {no,             PausePlayback,   no,              PausePlayback,   EndWind,         PausePlayback,   EndWind,         no,               no,               no, no}, // Pause
    {no,             StopPlayback,    StopPlayback,    StopPlayback,    StopPlayback,    StopPlayback,    StopPlayback,    no,               no,               no, no}, // Stop
    {no,             WindForward,     WindForward,     EndWind,         EndWind,         WindForward,     WindForward,     no,               no,               no, no}, // FastForward
    {no,             WindRewind,      WindRewind,      WindRewind,      WindRewind,      EndWind,         EndWind,         no,               no,               no, no}, // Rewind
    {no,             no,              no,              EndWind,         EndWind,         no,              no,              no,               no,               no, no}, // ForwardReleased
    {no,             no,              no,              no,              no,              EndWind,         EndWind,         no,               no,               no, no}, // RewindReleased
    {no,             JumpDown,        JumpDown,        JumpDown,        JumpDown,        JumpDown,        JumpDown,        no,               no,               no, no}, // SectionDown
    {no,             JumpUp,          JumpUp,          JumpUp,          JumpUp,          JumpUp,          JumpUp,          no,               no,               no, no}, // SectionUp
    {ChangeFileUp,   ChangeFileUp,    ChangeFileUp,    ChangeFileUp,    ChangeFileUp,    ChangeFileUp,    ChangeFileUp,    no,               no,               no, no}, // FileUp
    {ChangeFileDown, ChangeFileDown,  ChangeFileDown,  ChangeFileDown,  ChangeFileDown,  ChangeFileDown,  ChangeFileDown,  no,               no,               no, no}, // FileDown
    {PlayRow,        PlayRow,         PlayRow,         PlayRow,         PlayRow,         PlayRow,         PlayRow,         no,               no,               no, no}, // PlayRow
    {PlayJob,        PlayJob,         PlayJob,         PlayJob,         PlayJob,         PlayJob,         PlayJob,         no,               no,               no, no}, // PlayJob
    {VolumeUp,       VolumeUp,        VolumeUp,        VolumeUp,        VolumeUp,        VolumeUp,        VolumeUp,        VolumeUp,         VolumeUp,         no, no}, // VolumeUp
    {VolumeDown,     VolumeDown,      VolumeDown,      VolumeDown,      VolumeDown,      VolumeDown,      VolumeDown,      VolumeDown,       VolumeDown,       no, no}, // VolumeDown
    {Mute,           Mute,            Mute,            Mute,            Mute,            Mute,            Mute,            Mute,             Mute,             no, no}, // Mute
    {RunSetup,       RunSetup,        RunSetup,        RunSetup,        RunSetup,        RunSetup,        RunSetup,        RunSetup,         RunSetup,         no, no}, // Setup
    {End,            End,             End,             End,             End,             End,             End,             RefuseClose,      RefuseClose,      no, no}, // Close
    {SendToTypist,   no,              no,              no,              no,              no,              no,              no,               no,               no, no}, // SendHeld
    {no,             WindRewind,      WindRewind,      WindRewind,      WindRewind,      no,              no,              no,               no,               no, no}, // PedalLeftDown
    {no,             no,              no,              no,              no,              EndWind,         EndWind,         no,               no,               no, no}, // PedalLeftUp
    {PlayFile,       no,              ResumePlayback,  EndWind,         ResumePlayback,  EndWind,         ResumePlayback,  no,               no,               no, no}, // PedalMiddleDown
    {no,             PausePlayback,   no,              PausePlayback,   no,              PausePlayback,   no,              no,               no,               no, no}, // PedalMiddleUp
    {no,             WindForward,     WindForward,     no,              no,              WindForward,     WindForward,     no,               no,               no, no}, // PedalRightDown
    {no,             no,              no,              EndWind,         EndWind,         no,              no,              no,               no,               no, no}, // PedalRightUp
    {SpeedUp,        SpeedUp,         SpeedUp,         SpeedUp,         SpeedUp,         SpeedUp,         SpeedUp,         no,               no,               no, no}, // SpeedUp
    {SpeedDown,      SpeedDown,       SpeedDown,       SpeedDown,       SpeedDown,       SpeedDown,       SpeedDown,       no,               no,               no, no}, // SpeedDown
    {no,             JumpBack,        JumpBack,        no,              no,              no,              no,              no,               no,               no, no}, // JumpBack
    {no,             JumpForward,     JumpForward,     no,              no,              no,              no,              no,               no,               no, no}, // JumpForward
    {no,             CopyPosition,    CopyPosition,    CopyPosition,    CopyPosition,    CopyPosition,    CopyPosition,    no,               no,               no, no}, // CopyPosition
    {no,             no,              no,              EndWind,         EndWind,         EndWind,         EndWind,         no,               no,               no, no}, // WindOff
    {no,             no,              no,              no,              no,              EndWind,         EndWind,         no,               no,               no, no}, // StartReached
    {no,             PlayNext,        PlayNext,        StopPlayback,    StopPlayback,    PlayNext,        PlayNext,        no,               no,               no, no}, // EndOfFile
    {no,             StopPlayback,    StopPlayback,    StopPlayback,    StopPlayback,    StopPlayback,    StopPlayback,    no,               no,               no, no}, // EndOfJob
    {no,             StopPlayback,    StopPlayback,    StopPlayback,    StopPlayback,    StopPlayback,    StopPlayback,    SaveRecording,    SaveRecording,    no, no}, // DeviceLost
    {no,             no,              no,              no,              no,              no,              no,              SaveRecording,    SaveRecording,    no, no}, // DeviceAway
    {ReportState,    ReportState,     ReportState,     ReportState,     ReportState,     ReportState,     ReportState,     ReportState,      ReportState,      no, no}, // DeviceBack
    {no,             no,              no,              no,              no,              no,              no,              SaveRecording,    SaveRecording,    no, no}, // LinkLost
    {WarnDiskFull,   NoteDiskFull,    NoteDiskFull,    NoteDiskFull,    NoteDiskFull,    NoteDiskFull,    NoteDiskFull,    SaveForDiskFull,  SaveForDiskFull,  no, no}, // DiskLow
    {no,             no,              no,              no,              no,              no,              no,              SaveRecording,    SaveRecording,    no, no}, // FileFull
    {no,             no,              no,              no,              no,              no,              no,              SaveForWriteFailed,SaveForWriteFailed,no, no}, // WriteFailed
    {AlertFolderLost,AlertFolderLost, AlertFolderLost, AlertFolderLost, AlertFolderLost, AlertFolderLost, AlertFolderLost, RescueRecording,  RescueRecording,  no, no}, // FolderLost
    {no,             no,              no,              no,              no,              no,              no,              SaveForInputLost, SaveForInputLost, no, no}, // CaptureFailed
    {no,             StopForOutputLost,StopForOutputLost,StopForOutputLost,StopForOutputLost,StopForOutputLost,StopForOutputLost,no,           no,               no, no}, // OutputFailed
    {ReloadSettings, ReloadSettings,  ReloadSettings,  ReloadSettings,  ReloadSettings,  ReloadSettings,  ReloadSettings,  ReloadSettings,   ReloadSettings,   no, no}, // SetupEnded
    {FollowList,     FollowList,      FollowList,      FollowList,      FollowList,      FollowList,      FollowList,      FollowList,       FollowList,       no, no}, // EntryRenamed
    {FollowList,     FollowList,      FollowList,      FollowList,      FollowList,      FollowList,      FollowList,      FollowList,       FollowList,       no, no}, // EntryRemoved
    {End,            End,             End,             End,             End,             End,             End,             SaveAndEnd,       SaveAndEnd,       no, no}, // EndRequested
    {EndQuietly,     EndQuietly,      EndQuietly,      EndQuietly,      EndQuietly,      EndQuietly,      EndQuietly,      EndQuietly,       EndQuietly,       no, no}, // DisplayLost
}};
// clang-format on

constexpr const char* kStateNames[kTransportStates] = {
    "Idle",         "Playing",   "Paused",       "ForwardPlaying", "ForwardPaused", "RewindPlaying",
    "RewindPaused", "Recording", "RecordPaused", "Saving",         "Ending"};

// clang-format off
constexpr const char* kEventNames[] = {
    "Record",        "SectionStop",  "FileEndSave",     "PlayPause",      "Play",            "Pause",
    "Stop",          "FastForward",  "Rewind",          "ForwardReleased", "RewindReleased", "SectionDown",
    "SectionUp",     "FileUp",       "FileDown",        "PlayRow",        "PlayJob",         "VolumeUp",
    "VolumeDown",    "Mute",         "Setup",           "Close",          "SendHeld",
    "PedalLeftDown", "PedalLeftUp",  "PedalMiddleDown", "PedalMiddleUp",  "PedalRightDown",  "PedalRightUp",
    "SpeedUp",       "SpeedDown",    "JumpBack",        "JumpForward",    "CopyPosition",
    "WindOff",       "StartReached", "EndOfFile",       "EndOfJob",       "DeviceLost",      "DeviceAway",
    "DeviceBack",    "LinkLost",     "DiskLow",         "FileFull",       "WriteFailed",     "FolderLost",
    "CaptureFailed", "OutputFailed", "SetupEnded",      "EntryRenamed",   "EntryRemoved",    "EndRequested",
    "DisplayLost"};
// clang-format on

constexpr const char* kStepNames[] = {"ignored",
                                      "StartRecording",
                                      "ResumeRecording",
                                      "MarkSection",
                                      "SaveRecording",
                                      "PlayFile",
                                      "PausePlayback",
                                      "ResumePlayback",
                                      "StopPlayback",
                                      "EndWind",
                                      "WindForward",
                                      "WindRewind",
                                      "JumpDown",
                                      "JumpUp",
                                      "ChangeFileUp",
                                      "ChangeFileDown",
                                      "PlayRow",
                                      "PlayJob",
                                      "PlayNext",
                                      "VolumeUp",
                                      "VolumeDown",
                                      "Mute",
                                      "RunSetup",
                                      "ReloadSettings",
                                      "RefuseClose",
                                      "End",
                                      "SaveAndEnd",
                                      "EndQuietly",
                                      "AlertFolderLost",
                                      "RescueRecording",
                                      "WarnDiskFull",
                                      "NoteDiskFull",
                                      "SaveForDiskFull",
                                      "SaveForInputLost",
                                      "SaveForWriteFailed",
                                      "StopForOutputLost",
                                      "ReportState",
                                      "FollowList",
                                      "SendToTypist",
                                      "SpeedUp",
                                      "SpeedDown",
                                      "JumpBack",
                                      "JumpForward",
                                      "CopyPosition"};
static_assert(std::size(kStepNames) == static_cast<std::size_t>(CopyPosition) + 1);
static_assert(std::size(kEventNames) == kTransportEvents);

constexpr std::size_t Index(auto value) {
    return static_cast<std::size_t>(value);
}

// A wind of `forward`'s direction over the file as `state` left it, playing or paused.
constexpr TransportState WindOver(TransportState state, bool forward) {
    if (IsPlayPaused(state))
        return forward ? TransportState::ForwardPaused : TransportState::RewindPaused;
    return forward ? TransportState::ForwardPlaying : TransportState::RewindPlaying;
}

} // namespace

TransportStep TransportRule(TransportState state, TransportEvent event) {
    return kRules[Index(event)][Index(state)];
}

TransportState TransportOutcome(TransportState state, TransportStep step) {
    switch (step) {
    case StartRecording:
    case ResumeRecording:
    case MarkSection:
        return TransportState::Recording;
    case SaveRecording:
    case StopPlayback:
    case AlertFolderLost:
    case RescueRecording:
    case SaveForDiskFull:
    case SaveForInputLost:
    case SaveForWriteFailed:
    case StopForOutputLost:
        return TransportState::Idle;
    case PlayFile:
    case ResumePlayback:
    case ChangeFileUp:
    case ChangeFileDown:
    case PlayRow:
    case PlayJob:
    case PlayNext:
        return TransportState::Playing;
    case PausePlayback:
        return TransportState::Paused;
    case EndWind:
        return IsPlayPaused(state) ? TransportState::Paused : TransportState::Playing;
    case WindForward:
        return WindOver(state, true);
    case WindRewind:
        return WindOver(state, false);
    case End:
    case SaveAndEnd:
    case EndQuietly:
        return TransportState::Ending;
    default:
        return state;
    }
}

const char* StateName(TransportState state) {
    return kStateNames[Index(state)];
}

const char* EventName(TransportEvent event) {
    return kEventNames[Index(event)];
}

const char* StepName(TransportStep step) {
    return kStepNames[Index(step)];
}
