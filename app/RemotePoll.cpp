// The remote unit's key reports: every 100 ms the poll reads one input report, and its event
// code drives the same handlers as the window's buttons.
#include "ProgramState.h"
#include "RemoteReport.h"
#include "SorvinDlg.h"
#include "platform/Clock.h"

namespace {

constexpr unsigned kFlashMs = 500;

} // namespace

bool CSorvinDlg::OpenReceiver() {
    return m_Hid.Open(remote::kVendorId, remote::kProductId, nullptr, nullptr, nullptr, 1) == 1;
}

void CSorvinDlg::FlashButton(CSkinButton& button, int flashIn, int flashOut, int lit, int normal) {
    SetImages(button, flashIn, flashOut);
    // The wait below blocks the window, so the flash must be on screen before it starts.
    button.repaint();
    platform::Clock().Sleep(kFlashMs);
    SetImages(button, lit, normal);
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
    // 2. An idle report counts for nothing, not even for hold detection or link-up.
    if (!event || *event == remote::kNothingToReport)
        return;
    OnRemoteEvent(*event);
}

void CSorvinDlg::OnRemoteEvent(std::uint8_t event) {
    // 3.
    const std::int32_t batteryBefore = m_BatteryLevel;

    // 4. Hold detection: the key-down report is not counted, so a held wind key engages the
    //    wind on the second report after it.
    if (g_KeyHeld) {
        ++g_HoldCount;
        if (g_HoldCount >= 2) {
            if (g_HoldForward)
                OnFastForward();
            else
                OnRewind();
            g_KeyHeld = false;
        }
    }

    // 5. Link-up: the first report since start or since the link was lost. This probe leaves
    //    the poll running when it fails; the report is dropped.
    if (!g_LinkUp) {
        if (!OpenReceiver())
            return;
        g_LinkUp = true;
        if (!m_Recording && !m_Playing) {
            m_strStatus = "Ready";
            m_strSection = " ";
            m_strTime = " ";
            UpdateTexts();
        }
        ShowBatteryPicture(m_BatteryLevel);
    }

    // 6. The event itself.
    switch (event) {
    case remote::kFileKey:
        if (m_Recording) {
            FlashButton(m_BtnSave, 154, 0, 157, 150);
            OnFileEndSave();
        } else {
            FlashButton(m_BtnFileUp, 172, 0, 164, 148);
            OnFileUp();
        }
        break;
    case remote::kRewindDown:
    case remote::kForwardDown:
        // The remote repeats the key-down report while the key is held. Once the hold has
        // engaged the wind, a repeat is no new press: counting it again would run the wind
        // command a second time and release the wind under the user's finger. The key-up
        // report ends the hold.
        if (g_HoldCount < 2) {
            g_KeyHeld = true;
            g_HoldForward = event == remote::kForwardDown;
        }
        break;
    case remote::kPlayKey:
        OnPlayPause();
        break;
    case remote::kFileDownKey:
        FlashButton(m_BtnFileDown, 173, 0, 163, 149);
        OnFileDown();
        break;
    case remote::kStopKey:
        FlashButton(m_BtnSection, 143, 143, 143, 133);
        OnSectionStop();
        break;
    case remote::kRecordKey:
        FlashButton(m_BtnRecord, m_Recording ? 169 : 167, 0, 168, 132);
        OnRecord();
        // A refused Record (no device, no link, no capture device, no room) must not look as
        // if it records.
        if (!m_Recording)
            SetImages(m_BtnRecord, 165, 145);
        break;
    case remote::kLinkLost:
        g_LinkUp = false;
        // The release of a key held while the link went never arrives: the hold ends here, and
        // with it a wind the hold engaged.
        if (g_HoldCount >= 2) {
            EndWinding();
            UpdateTexts();
        }
        g_KeyHeld = false;
        g_HoldCount = 0;
        ShowBatteryPicture(0);
        if (!m_Recording && !m_Playing && !g_DeviceLost) {
            m_strStatus = "Detect No Device!";
            m_strSection = " ";
            m_strTime = " ";
            UpdateTexts();
        }
        OnFileEndSave();
        break;
    case remote::kRewindUp:
    case remote::kForwardUp: {
        const bool forward = event == remote::kForwardUp;
        g_KeyHeld = false;
        if (g_HoldCount >= 2) {
            // The hold had engaged the wind: releasing the key ends it.
            ReleaseWind(forward);
            UpdateTexts();
        } else if (g_HasSections && m_Playing) {
            // A short press moves by one section.
            if (forward) {
                FlashButton(m_BtnSectionDown, 170, 0, 162, 140);
                OnSectionDown();
            } else {
                FlashButton(m_BtnSectionUp, 171, 0, 161, 139);
                OnSectionUp();
            }
        }
        g_HoldCount = 0;
        break;
    }
    default:
        if (const int level = remote::BatteryLevel(event))
            m_BatteryLevel = level;
        break;
    }

    // 7. The battery picture follows a changed level.
    if (m_BatteryLevel != batteryBefore && m_BatteryLevel <= 5)
        ShowBatteryPicture(m_BatteryLevel);
}
