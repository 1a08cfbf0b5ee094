// The remote unit's key reports: every 100 ms the poll reads one input report, and its event
// code drives the same commands as the window's buttons.
#include "ProgramState.h"
#include "RemoteReport.h"
#include "SorvinDlg.h"
#include "platform/Clock.h"

namespace {

constexpr unsigned kFlashMs = 500;

// What each event code of the remote does, after hold detection and link-up.
struct RemoteKey {
    std::uint8_t Event;
    void (CSorvinDlg::*Handler)(std::uint8_t event);
};

} // namespace

bool CSorvinDlg::OpenReceiver() {
    return m_Hid.Open(remote::kVendorId, remote::kProductId, nullptr, nullptr, nullptr, 1) == 1;
}

void CSorvinDlg::FlashButton(CSkinButton& button, const ui::Flash& flash) {
    button.AssignImagesFromResources(flash.In, kButtonKey, flash.Out, kButtonKey);
    // The wait below blocks the window, so the flash must be on screen before it starts.
    button.repaint();
    platform::Clock().Sleep(kFlashMs);
    SetImages(button, flash.After);
}

void CSorvinDlg::OnPollTick() {
    // 1. One report, read into a buffer as long as the device's reports.
    int inputLength = 0;
    m_Hid.GetReportLengths(&inputLength, nullptr);
    remote::Report report(inputLength);
    const int delivered = m_Hid.Read(report.Data());
    if (delivered < 0)
        return;
    const std::optional<std::uint8_t> event = report.Event(delivered);
    // 2. An idle report counts for nothing, not even for hold detection or link-up; to a held
    // file key it is a poll without a repeat, as is a poll that brings nothing.
    if (!event || *event == remote::kNothingToReport) {
        if (m_FileHold != kNoFileHold && ++m_FileQuiet >= kFileReleasePolls)
            EndFileHold();
        return;
    }
    OnRemoteEvent(*event);
}

void CSorvinDlg::OnRemoteEvent(std::uint8_t event) {
    static constexpr RemoteKey kKeys[] = {
        {remote::kFileKey, &CSorvinDlg::OnFileKeyReport},
        {remote::kRewindDown, &CSorvinDlg::OnWindKeyDown},
        {remote::kForwardDown, &CSorvinDlg::OnWindKeyDown},
        {remote::kPlayKey, &CSorvinDlg::OnPlayKeyReport},
        {remote::kFileDownKey, &CSorvinDlg::OnFileDownKeyReport},
        {remote::kStopKey, &CSorvinDlg::OnStopKeyReport},
        {remote::kRecordKey, &CSorvinDlg::OnRecordKeyReport},
        {remote::kLinkLost, &CSorvinDlg::OnLinkLostReport},
        {remote::kRewindUp, &CSorvinDlg::OnWindKeyUp},
        {remote::kForwardUp, &CSorvinDlg::OnWindKeyUp},
    };
    // 3.
    const std::int32_t batteryBefore = m_BatteryLevel;
    // 4.
    CountHold();
    CountFileHold();
    // 5.
    if (!BringLinkUp())
        return;
    // 6. The event itself: a key, the link lost, or the battery level.
    bool known = false;
    for (const RemoteKey& key : kKeys) {
        if (key.Event == event) {
            (this->*key.Handler)(event);
            known = true;
        }
    }
    if (!known)
        if (const int level = remote::BatteryLevel(event))
            m_BatteryLevel = level;
    // 7. The battery picture follows a changed level.
    if (m_BatteryLevel != batteryBefore && m_BatteryLevel <= 5)
        ShowBatteryPicture(m_BatteryLevel);
}

// The key-down report is not counted, so a held wind key engages the wind on the second report
// after it.
void CSorvinDlg::CountHold() {
    if (!g_KeyHeld)
        return;
    ++g_HoldCount;
    if (g_HoldCount >= 2) {
        if (g_HoldForward)
            OnFastForward();
        else
            OnRewind();
        g_KeyHeld = false;
    }
}

// The file key sends one report and the remote repeats reports while it is held, with no report
// when it is let go: a press is told from a hold by the polls after it. Two seconds of repeats
// send the current recording to the typist (the rules take that only while idle); a poll or two
// without one end the key as a press, which runs File up as the key always did.
void CSorvinDlg::CountFileHold() {
    if (m_FileHold == kNoFileHold)
        return;
    m_FileQuiet = 0;
    if (++m_FileHold == kFileHoldReports)
        Apply(TransportEvent::SendHeld);
}

void CSorvinDlg::EndFileHold() {
    const bool press = m_FileHold < kFileHoldReports;
    m_FileHold = kNoFileHold;
    m_FileQuiet = 0;
    if (press && !IsRecording(m_State)) {
        FlashButton(m_BtnFileUp, ui::flash::kFileUp);
        OnFileUp();
    }
}

// This probe leaves the poll running when it fails; the report is dropped.
bool CSorvinDlg::BringLinkUp() {
    if (g_LinkUp)
        return true;
    if (!OpenReceiver())
        return false;
    g_LinkUp = true;
    if (m_State == TransportState::Idle) {
        m_strStatus = "Ready";
        m_strSection = " ";
        m_strTime = " ";
        UpdateTexts();
    }
    ShowBatteryPicture(m_BatteryLevel);
    return true;
}

void CSorvinDlg::OnFileKeyReport(std::uint8_t) {
    if (IsRecording(m_State)) {
        FlashButton(m_BtnSave, ui::flash::kSave);
        OnFileEndSave();
    } else if (m_FileHold == kNoFileHold) {
        // File up waits for the polls that tell a press from a hold (CountFileHold); a repeat
        // of the key's own report while it is held is counted there, not taken as a new press.
        m_FileHold = 0;
        m_FileQuiet = 0;
    }
}

void CSorvinDlg::OnWindKeyDown(std::uint8_t event) {
    // The remote repeats the key-down report while the key is held. Once the hold has engaged the
    // wind, a repeat is no new press: counting it again would run the wind command a second time
    // and release the wind under the user's finger. The key-up report ends the hold.
    if (g_HoldCount < 2) {
        g_KeyHeld = true;
        g_HoldForward = event == remote::kForwardDown;
    }
}

void CSorvinDlg::OnPlayKeyReport(std::uint8_t) {
    OnPlayPause();
}

void CSorvinDlg::OnFileDownKeyReport(std::uint8_t) {
    FlashButton(m_BtnFileDown, ui::flash::kFileDown);
    OnFileDown();
}

void CSorvinDlg::OnStopKeyReport(std::uint8_t) {
    FlashButton(m_BtnSection, ui::flash::kStop);
    OnSectionStop();
}

void CSorvinDlg::OnRecordKeyReport(std::uint8_t) {
    FlashButton(m_BtnRecord, IsRecording(m_State) ? ui::flash::kRecording : ui::flash::kRecordIdle);
    OnRecord();
    // A refused Record (no device, no link, no capture device, no room) must not look as if it
    // records: the button is drawn from the state again.
    ShowState();
}

void CSorvinDlg::OnLinkLostReport(std::uint8_t) {
    g_LinkUp = false;
    // The release of a key held while the link went never arrives: the hold ends here, and with it
    // a wind the hold engaged.
    if (g_HoldCount >= 2)
        Apply(g_HoldForward ? TransportEvent::ForwardReleased : TransportEvent::RewindReleased);
    g_KeyHeld = false;
    g_HoldCount = 0;
    // A file key held while the link went is no press.
    m_FileHold = kNoFileHold;
    ShowBatteryPicture(0);
    if (!IsRecording(m_State) && !IsPlaying(m_State) && !g_DeviceLost) {
        m_strStatus = "Detect No Device!";
        m_strSection = " ";
        m_strTime = " ";
        UpdateTexts();
    }
    Apply(TransportEvent::LinkLost);
}

void CSorvinDlg::OnWindKeyUp(std::uint8_t event) {
    const bool forward = event == remote::kForwardUp;
    g_KeyHeld = false;
    if (g_HoldCount >= 2) {
        // The hold had engaged the wind: releasing the key ends it.
        Apply(forward ? TransportEvent::ForwardReleased : TransportEvent::RewindReleased);
    } else if (g_HasSections && IsPlaying(m_State)) {
        // A short press moves by one section.
        if (forward) {
            FlashButton(m_BtnSectionDown, ui::flash::kSectionDown);
            OnSectionDown();
        } else {
            FlashButton(m_BtnSectionUp, ui::flash::kSectionUp);
            OnSectionUp();
        }
    }
    g_HoldCount = 0;
}
