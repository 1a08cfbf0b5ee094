// The one place where the transport changes: an event, the step the rules name for it in the
// current state, then the views drawn from the state that follows.
#include "ProgramState.h"
#include "SorvinDlg.h"
#include "TypistPlayback.h"
#include "platform/MessageBoxes.h"

void CSorvinDlg::Apply(TransportEvent event, const TransportDetail& detail) {
    const TransportStep step = TransportRule(m_State, event);
    if (step == TransportStep::Ignored)
        return;
    Run(step, event, detail);
    // Once the program ends nothing is drawn and nobody is told: the window is torn down.
    if (Ended())
        return;
    ShowState();
    emit TransportChanged();
}

void CSorvinDlg::Run(TransportStep step, TransportEvent event, const TransportDetail& detail) {
    using enum TransportStep;
    switch (step) {
    case Ignored:
        break;
    case StartRecording:
        this->StartRecording();
        break;
    case ResumeRecording:
        this->ResumeRecording();
        break;
    case MarkSection:
        this->MarkSection();
        break;
    case SaveRecording:
        this->SaveRecording();
        break;
    case PlayFile:
        PlayCurrentFile();
        break;
    case PausePlayback:
        this->PausePlayback();
        break;
    case ResumePlayback:
        this->ResumePlayback();
        break;
    case StopPlayback:
        this->StopPlayback();
        break;
    case EndWind:
        this->EndWind();
        break;
    case WindForward:
    case WindRewind:
        Wind(step == WindForward);
        break;
    case JumpDown:
    case JumpUp:
        JumpToSection(step == JumpDown);
        break;
    case ChangeFileUp:
    case ChangeFileDown:
        ChangeFile(step == ChangeFileDown);
        break;
    case PlayRow:
        this->PlayRow(detail);
        break;
    case PlayJob:
        this->PlayJob(detail);
        break;
    case PlayNext:
        this->PlayNext();
        break;
    case VolumeUp:
        RaiseVolume();
        break;
    case VolumeDown:
        LowerVolume();
        break;
    case Mute:
        ToggleMute();
        break;
    case RunSetup:
        this->RunSetup();
        break;
    case ReloadSettings:
        this->ReloadSettings();
        break;
    case SendToTypist:
        SendCurrentToTypist();
        break;
    case RefuseClose:
        platform::MessageBoxes().Show("You are recording voice!\nPlease save the file before exit.", "Tavlo",
                                      platform::MessageIcon::Exclamation);
        break;
    case End:
        EndProgram();
        break;
    case SaveAndEnd:
        this->SaveRecording();
        EndProgram();
        break;
    case EndQuietly:
        this->EndQuietly();
        break;
    case AlertFolderLost:
        this->AlertFolderLost();
        break;
    case RescueRecording:
        this->RescueRecording();
        break;
    case WarnDiskFull:
        this->WarnDiskFull();
        break;
    case NoteDiskFull:
        // Playback goes on: the disk matters to the next recording, which Record checks again.
        g_DiskFull = true;
        break;
    case SaveForDiskFull:
        this->SaveForDiskFull();
        break;
    case SaveForInputLost:
        this->SaveForInputLost();
        break;
    case SaveForWriteFailed:
        this->SaveForWriteFailed();
        break;
    case StopForOutputLost:
        this->StopForOutputLost();
        break;
    case ReportState:
        this->ReportState();
        break;
    case FollowList:
        // Rename and trash refuse the recording's file and the playing one; the list follows the rest.
        this->FollowList(event, detail);
        break;
    case SpeedUp:
    case SpeedDown:
        ChangeSpeed(step == SpeedUp);
        break;
    case JumpBack:
    case JumpForward:
        JumpBy(step == JumpForward);
        break;
    case CopyPosition:
        this->CopyPosition();
        break;
    }
}

void CSorvinDlg::ShowState() {
    SetImages(m_BtnPlay, IsHeard(m_State) ? ui::look::kPlaying : ui::look::kPlayIdle);
    SetImages(m_BtnRecord, IsRecording(m_State) ? ui::look::kRecording : ui::look::kRecordIdle);
    m_BtnRecord.m_bRecordLook = IsRecording(m_State) ? 1 : 0;
    SetImages(m_BtnSection, ui::look::kSection);
    SetImages(m_BtnForward, IsForward(m_State) ? ui::look::kForwarding : ui::look::kForwardIdle);
    SetImages(m_BtnRewind, IsRewind(m_State) ? ui::look::kRewinding : ui::look::kRewindIdle);
    m_LevelMeter.setVisible(IsRecording(m_State));
    // A wind's speed shows while it runs ("8X"), else the playback speed ("0.8x"; blank at the
    // file's own).
    const std::string speed = SpeedText(m_Player.Speed());
    if (!IsWinding(m_State) && m_strSpeed != speed && !(m_strSpeed.empty() && speed == " ")) {
        m_strSpeed = speed;
        UpdateTexts();
    }
}
