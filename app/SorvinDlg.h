#pragma once
#include <QDialog>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <array>
#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>

#include "IRecordingsHost.h"
#include "JobSending.h"
#include "SectionLengths.h"
#include "SectionWindow.h"
#include "TimerIds.h"
#include "TransportRules.h"
#include "TypistPlayback.h"
#include "audio/WavePlayer.h"
#include "audio/WaveRecorder.h"
#include "hidlib/kelvane.h"
#include "platform/WindowTimers.h"
#include "platform/qt/InstanceCalls.h"
#include "ui/ButtonLooks.h"
#include "ui/CColorStatic.h"
#include "ui/CLevelMeter.h"
#include "ui/CSkinButton.h"
#include "ui/CSkinDialog.h"
#include "wavefile/RecordingRescue.h"
#include "wavefile/SectionJournal.h"
#include "wavefile/WaveReader.h"
#include "wavefile/WaveWriter.h"

// The recorder's main window: the skinned window with the transport buttons, the status texts,
// the volume and battery pictures, both audio engines and the link to the receiver. Its transport
// is one state value (m_State); every input becomes an event that Apply turns into the step the
// rules name, and the window, the remote unit and the media controls are drawn from the state.
// Everything here runs on the user-interface thread.
// The main window's buttons wear pictures whose key colour RGB(242,241,241) is transparent.
inline constexpr QRgb kButtonKey = 0xFFF2F1F1;

class CMprisPlayer;
class QAction;
class IInboxHost;
class RecordingsWindow;
class InboxWindow;

// What an event of the recordings window names: a recording, its new name, the section to play.
// PlayJob names the job's file by its full path, and its title as NewName.
struct TransportDetail {
    std::string Name;
    std::string NewName;
    unsigned Section = 1;
};

class CSorvinDlg : public CSkinDialog {
    Q_OBJECT
public:
    explicit CSorvinDlg(QWidget* parent = nullptr);
    ~CSorvinDlg() override;

    // --- The transport (TransportDispatch.cpp) -------------------------------------------------
    // Runs the step the rules give `event` in the current state, then draws the window from the
    // state and sends the change notice. An event the state ignores changes nothing.
    void Apply(TransportEvent event, const TransportDetail& detail = {});
    TransportState State() const { return m_State; }
    // The full path of the file a recording goes into, from its start; it stays the last one made
    // after the save. Nothing else moves it: not Setup, not a rename in the recordings window.
    const std::string& RecordingPath() const { return m_RecordPath; }

    // The OK command (button 1, Enter) minimises the window.
    void OnOK();
    // The cancel command (button 2, Escape, the window's close, the media controls' Quit).
    void OnCancel();
    // The Setup command: runs the settings dialog, then loads the settings again.
    void OnSetup();
    // The About box, from the window menu's "About Tavlo".
    void OnAbout();
    // The window menu's "Open recordings folder": the folder the list shows, in the file manager.
    void OnOpenRecordingsFolder();
    // The window menu's "Dictation settings…" (also the recordings window's).
    void OnDictationSettings();
    // The window's right-click menu (a frameless window has no system menu).
    void FillWindowMenu(QMenu& menu);
    // A tick of one of the six window timers.
    void OnTimer(unsigned id);

    // --- Recording (RecordCommands.cpp) ---------------------------------------------------
    void OnRecord();
    void OnFileEndSave();
    // Enough free space for recording: in the open recording's own folder while one runs, else in
    // the recordings folder. Too little, or the folder gone, is a DiskLow or FolderLost event.
    bool CheckDiskSpace();
    // The program is ended from outside (a signal, the session quitting): an open recording is
    // saved as File end and save saves it, open dialogs close, then the closing sequence runs.
    void OnEndedFromOutside();
    // The display connection is gone and the process is ending: the recording's file is finished
    // and the remote told idle, without drawing anything.
    void OnDisplayLost();
    // Sends 0xC1 (mode 0, recording) or 0xC2 (mode 1, playing) after the presence test.
    void SendStateCode(int mode);
    // The presence test, then `command`: how the transport commands send 0xC0 and 0xC3.
    void SendState(std::uint8_t command);
    // The presence test, then what the state shows on the remote's light (0xC0, 0xC1 or 0xC2).
    void ReportState();

    // --- Playback (PlaybackCommands.cpp, WindCommands.cpp) ------------------------------------
    void OnPlayPause();
    // Stop while playing, a section mark while recording, the end of winding while winding.
    void OnSectionStop();
    void OnFastForward();
    void OnRewind();
    // To the next section (button 1006) and to the previous one (button 1007).
    void OnSectionDown();
    void OnSectionUp();

    // --- The recordings folder (FileCommands.cpp) -----------------------------------------
    void ScanFolder();
    void OnFileUp();
    void OnFileDown();

    // --- The recordings window (RecordingsCommands.cpp) ----------------------------------
    void OnRecordings();
    // Makes `name` the current entry and plays it, as File up/down play theirs, from the start of
    // section `section` (from 1).
    void PlayRecording(const std::string& name, unsigned section);
    // The list follows a recording renamed or moved away by the recordings window.
    void RecordingRenamed(const std::string& from, const std::string& to);
    void RecordingRemoved(const std::string& name);

    // --- The typist's inbox (PlaybackCommands.cpp) ------------------------------------------
    // The window menu's "Inbox…": the jobs that arrived, opened and played through this window.
    void OnInbox();
    // The full path of the job's file that plays (or is paused); "" while a recording plays.
    const std::string& PlayingJob() const { return m_PlayingJob; }

    // --- Timer ticks 1 to 3 (ClockTicks.cpp) ----------------------------------------------
    void OnForwardTick();
    void OnRewindTick();
    void OnClockTick();

    // --- The remote unit: poll (RemotePoll.cpp), keep-alive and device watch (DeviceWatch.cpp),
    //     volume and mute (VolumeCommands.cpp) ---------------------------------------------
    void OnPollTick();
    void OnKeepAliveTick();
    void OnWatchTick();
    void OnVolumeUp();
    void OnVolumeDown();
    void OnMute();
    // One input report from the remote unit, by its event code (0xAE already dropped): hold
    // detection, link-up, the event itself, then the battery picture when the level changed.
    void OnRemoteEvent(std::uint8_t event);
    // The receiver's Open (vendor 0x0C45, product 0x0200, polling reads); its result only.
    bool OpenReceiver();
    // Timer 7 (PedalWatch.cpp): without a pedal, looks for one of the known pedals; with one,
    // reads every report waiting and applies the pedals' presses and releases as events. A pedal
    // that goes is dropped quietly, its held pedals let go. The receiver is never looked at.
    void OnPedalTick();
    // Shows `flash` on `button` for 500 ms (the window waits with it), then its pictures after.
    void FlashButton(CSkinButton& button, const ui::Flash& flash);

    // The main window's timers; tests hand in fakes before OnInitDialog.
    void UseTimers(platform::IWindowTimers* timers);
    // How the process ends when another instance runs; tests replace the real exit.
    void SetExitProcess(void (*exitProcess)(int));

    // Shows m_strSection, m_strStatus, m_strTime and m_strSpeed in their texts, and the status's
    // reason as its tooltip while the status still says what the reason was given for.
    void UpdateTexts();
    // Why the status line says what it now says ("b.wav: it is not a WAV file").
    void SetStatusReason(const std::string& why);

    // --- Widgets and engines -------------------------------------------------------------
    CColorStatic m_SectionText; // 1031
    CColorStatic m_StatusText;  // 1032
    CColorStatic m_TimeText;    // 1033
    CColorStatic m_SpeedText;   // 1030
    CWaveRecorder m_Recorder;
    std::unique_ptr<CWaveWriter> m_pWriter;
    // Beside the open recording: its marks made durable, and a way to its bytes if its folder goes.
    std::unique_ptr<CSectionJournal> m_pJournal;
    std::unique_ptr<CRecordingRescue> m_pRescue;
    // The recording's folder as a full path, taken when it starts: every check made for the
    // recording looks there, whatever Setup chooses meanwhile.
    std::string m_RecordFolder;
    // The open recording's section lengths, each mark's fraction of a second carried on.
    CSectionLengths m_SectionLengths;
    // Capture was paused after a mark whose resume was refused, since m_CaptureHeldAt (monotonic).
    bool m_CaptureHeld = false;
    std::int64_t m_CaptureHeldAt = 0;
    CWavePlayer m_Player;
    std::unique_ptr<CWaveReader> m_pReader;
    std::uint32_t m_PlaySecond = 0;
    // Seconds every pause steps back ("Dictation", "StepBack"), and the last pause: where it
    // happened (the time shown and copied) and where playback resumes, kept apart.
    unsigned m_StepBack = kDefaultStepBack;
    struct PauseMark {
        std::uint64_t PausedAt, ResumeAt;
    };
    std::optional<PauseMark> m_Pause;
    CKelvane m_Hid;
    // The foot pedal, a second device that comes and goes on its own; m_PedalBits the pedals held
    // as its last report said (none while no pedal is open).
    CKelvane m_Pedal;
    bool m_PedalOpen = false;
    std::uint8_t m_PedalBits = 0;

    // --- Transport and recording state ---------------------------------------------------
    // The flags every handler used to keep for itself, now readings of m_State.
    TransportFlag m_Recording{m_State, IsRecording};
    TransportFlag m_RecordPaused{m_State, [](TransportState s) { return s == TransportState::RecordPaused; }};
    TransportFlag m_Playing{m_State, IsPlaying};
    TransportFlag m_PlayPaused{m_State, IsPlayPaused};
    TransportFlag m_Stopped{m_State, IsStopped};
    TransportFlag m_FastForward{m_State, IsForward};
    TransportFlag m_Rewind{m_State, IsRewind};
    std::uint16_t m_Channels = 1;
    std::int32_t m_MinFreeSpaceMB = 50;
    bool m_FirstFocus = true;
    bool m_Muted = false;
    std::string m_WorkDir;
    // Sends recordings to the typist on a worker, for the remote's file key and the recordings window.
    JobSending m_Sending;
    std::int32_t m_BatteryLevel = 0;
    std::uint8_t m_SoundLevel = 7;

    // --- Section window during playback (whole seconds) ----------------------------------
    SectionWindow m_Sections;

    // (m_Dragging, m_DragOrigin, m_SkinWidth, m_SkinHeight and the skin surface are kept by
    // the skinned window base, which both skinned windows share.)

    // --- Buttons, in the order of the control table --------------------------------------
    CSkinButton m_BtnPlay;        // 1001
    CSkinButton m_BtnRecord;      // 1000
    CSkinButton m_BtnSection;     // 1002
    CSkinButton m_BtnRewind;      // 1005
    CSkinButton m_BtnForward;     // 1004
    CSkinButton m_BtnVolUp;       // 1010
    CSkinButton m_BtnVolDown;     // 1011
    CSkinButton m_BtnMute;        // 1012
    CSkinButton m_BtnSectionUp;   // 1007
    CSkinButton m_BtnSectionDown; // 1006
    CSkinButton m_BtnClose;       // 2
    CSkinButton m_BtnMinimize;    // 1
    CSkinButton m_BtnFileUp;      // 1016
    CSkinButton m_BtnFileDown;    // 1017
    CSkinButton m_BtnSave;        // 1003
    CSkinButton m_BtnSetup;       // 1018
    QIcon m_hIcon;
    QLabel m_VolumePicture;   // 1013
    QLabel m_BatteryPicture;  // 1014
    CLevelMeter m_LevelMeter; // the input's level, shown while recording
    std::string m_strSection, m_strStatus, m_strTime, m_strSpeed;
    struct StatusReason {
        std::string For, Why;
    } m_StatusReason;

    // The sixteen buttons in control-table order, with their control ids.
    std::array<CSkinButton*, 16> Buttons();
    CSkinButton* ButtonById(int id);

    // Shows res/vol-N.bmp and res/battery-N.bmp.
    void ShowVolumePicture(int level);
    void ShowBatteryPicture(int level);

    // The presence test: opens the receiver (vendor 0x0C45, product 0x0200, polling reads).
    // On failure g_DeviceOpen is cleared, the poll timer stopped and the device watch's reconnect
    // armed. Returns the open result.
    bool ProbeDevice();
    // Writes the 8-byte output report with `command` in byte 3; the result is not looked at.
    void SendCommand(std::uint8_t command);

signals:
    // The change notice: an event was applied. The media controls and the recordings window
    // look at the state again.
    void TransportChanged();

protected:
    // Start-up, in its fixed order. Runs once, before the window first shows (exec or show).
    void OnInitDialog() override;
    void accept() override { OnOK(); }
    // Escape and the cancel command.
    void reject() override { OnCancel(); }
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // --- The dispatch (TransportDispatch.cpp) ---
    void Run(TransportStep step, TransportEvent event, const TransportDetail& detail);
    void Enter(TransportState state) { m_State = state; }
    // The buttons, the speed text and the level meter as the state has them.
    void ShowState();
    // The program is ending: no step runs any more, nothing is drawn.
    bool Ended() const { return m_State == TransportState::Ending; }

    // --- Start-up steps (SorvinDlg.cpp) ---
    bool TakeInstance();
    void PlaceControls();
    void SetStartValues();
    void OpenReceiverAtStart();
    void StyleTexts();
    void StartTimers();
    void GreetRemote();
    void SetUpButtons();
    void OnButton(int id);
    void LoadSettings();
    void FirstFocus();

    // --- Recording steps (RecordCommands.cpp, RecordingSafety.cpp) ---
    void StartRecording();
    // Opens the writer, its journal and the capture for a new recording; false when refused.
    bool OpenRecording();
    void ResumeRecording();
    void MarkSection();
    void SaveRecording();
    // The recording's file finished and the state back to idle, without the recordings list.
    void EndRecording();
    // The capture stopped, the file finished; its journal goes once the file is complete.
    void CloseRecordingFile();
    void WarnDiskFull();
    void SaveForDiskFull();
    // "Insufficient disk space!", then the alert again once the user has read it.
    void ShowDiskFull();
    void SaveForInputLost();
    // The recording's file could not be written (an I/O error, a disk gone read-only): saves what
    // reached it, alerts the remote and says why.
    void SaveForWriteFailed();
    // The folder the free-space and folder checks look at.
    std::string SpaceFolder() const;
    // Ends a recording whose file could not take more samples (disk full, or the format's limit).
    void CheckRecordingFile();
    // The status line while recording: the file's name, but first which input records when it
    // is not the receiver's microphone.
    std::string RecordingStatus() const;
    // Once a second while recording: the recording's folder still there, and room on its disk.
    void WatchRecording();
    void AlertFolderLost();
    // The recordings folder went away under the recording: end it, save what the open file still
    // holds into the fallback folder, alert the remote unit.
    void RescueRecording();
    // Where recordings go when their folder has gone: the settings' default folder when it names
    // one in full that is there, else the start-up directory.
    std::string FallbackFolder() const;
    // The closing sequence; open dialogs and menus are closed with it.
    void EndProgram();
    void EndQuietly();
    void CloseNestedDialogs();

    // --- Playback steps (PlaybackCommands.cpp, WindCommands.cpp) ---
    void PlayCurrentFile();
    // Opens `path` for playback and plays it from its start; `shown` names it in a refusal.
    void OpenForPlayback(const std::string& path, const std::string& shown);
    // Plays the job's file detail.Name, the display showing detail.NewName (InboxCommands.cpp).
    void PlayJob(const TransportDetail& detail);
    // Playback did not start: says why and shows nothing playing.
    void RefusePlay(const char* why);
    void PausePlayback();
    void ResumePlayback();
    void StopPlayback();
    void StopForOutputLost();
    // The wind's timers and speed text go; the engine plays on from where the last step left it.
    void EndWinding();
    void EndWind();
    void WindTick(bool forward);
    void Wind(bool forward);
    void JumpToSection(bool down);

    // --- The typist's steps (TypistCommands.cpp) ---
    void SetUpTypistKeys();
    void ChangeSpeed(bool faster);
    // Five seconds from what was heard, held to the file.
    void JumpBy(bool forward);
    void CopyPosition();
    // What was heard, in the reader's Tell terms; while paused, where the pause was.
    std::uint64_t HeardPosition() const;

    // --- The list steps (FileCommands.cpp, RecordingsCommands.cpp) ---
    void ChangeFile(bool down);
    // Makes the recording just saved the current entry of the list.
    void ListSavedRecording();
    void PlayNext();
    // File down at the end of a file, passing over files that cannot be opened.
    void PlayOnFromNext();
    // Makes `entry` current, stops, waits a second and plays it: the path of File up/down.
    void OpenListEntry(std::list<std::string>::iterator entry);
    void PlayRow(const TransportDetail& detail);
    void FollowList(TransportEvent event, const TransportDetail& detail);
    void RunSetup();
    void ReloadSettings();
    void SetUpRecordingsWindow();
    // The remote's file key held: the list's current recording to the typist, as the settings say.
    void SendCurrentToTypist();
    void OnSendFinished(const QString& name, bool sent, const QString& message);
    void PlayFromSection(unsigned section);
    // The folder the list shows and Play opens from, as a full path.
    std::string ListFolder() const;
    // Where the list's `entry` lies: a name in the list's folder, or a full path of its own.
    std::string ListPath(const std::string& entry) const;

    // --- Volume steps (VolumeCommands.cpp) ---
    void RaiseVolume();
    void LowerVolume();
    void ToggleMute();

    // --- The remote's reports (RemotePoll.cpp) ---
    void CountHold();
    // The file key's hold: counted on every report after the key's own, ended by quiet polls.
    void CountFileHold();
    void EndFileHold();
    // The first report since start or since the link was lost; false when the probe fails.
    bool BringLinkUp();
    void OnFileKeyReport(std::uint8_t event);
    void OnWindKeyDown(std::uint8_t event);
    void OnPlayKeyReport(std::uint8_t event);
    void OnFileDownKeyReport(std::uint8_t event);
    void OnStopKeyReport(std::uint8_t event);
    void OnRecordKeyReport(std::uint8_t event);
    void OnLinkLostReport(std::uint8_t event);
    void OnWindKeyUp(std::uint8_t event);

    // --- The foot pedal (PedalWatch.cpp) ---
    bool OpenPedal();
    // The pedal has gone: its channels closed, the look for one again, its held pedals let go.
    void DropPedal();

    void ShowTime(std::uint64_t seconds);
    // The time text stops blinking.
    void SteadyTime();
    void SetImages(CSkinButton& button, const ui::Pictures& pictures);
    // Bytes of one second of the playing file (never 0).
    std::uint64_t SecondBytes() const;
    SectionCursor ReaderSections();

    TransportState m_State = TransportState::Idle;
    std::string m_RecordPath;
    // Reports counted since the file key's (kNoFileHold: no hold; kFileHoldReports and more: the
    // hold has sent, and the key's further repeats count for nothing), and the quiet polls since
    // the last of them.
    static constexpr int kNoFileHold = -1;
    static constexpr int kFileHoldReports = 20; // two seconds of the remote's repeats
    static constexpr int kFileReleasePolls = 2;
    int m_FileHold = kNoFileHold;
    int m_FileQuiet = 0;
    platform::IWindowTimers* m_Timers = nullptr;
    std::unique_ptr<platform::IWindowTimers> m_OwnTimers;
    void (*m_ExitProcess)(int);
    // Later starts call here to bring this window forward.
    platform::InstanceCalls m_Calls;
    // The media keys and the desktop's media controls; a child of the window.
    CMprisPlayer* m_Mpris = nullptr;
    QAction* m_RecordingsAction = nullptr;
    std::unique_ptr<IRecordingsHost> m_RecordingsHost;
    // A child of the window, made on first use; it goes before the host it refers to.
    std::unique_ptr<RecordingsWindow> m_RecordingsWindow;
    // The job's file open for playback, set by PlayJob and cleared when a recording is opened.
    std::string m_PlayingJob;
    std::unique_ptr<IInboxHost> m_InboxHost;
    std::unique_ptr<InboxWindow> m_InboxWindow;
};
