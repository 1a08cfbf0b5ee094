// Timers 5 and 6: the five-minute keep-alive, and the once-a-second watch that notices the
// receiver going and coming back and brings the link up again.
#include "ProgramState.h"
#include "RemoteReport.h"
#include "SorvinDlg.h"
#include "platform/Clock.h"

namespace {

constexpr unsigned kPollMs = 100;
constexpr unsigned kReconnectWaitMs = 2000;

} // namespace

void CSorvinDlg::OnKeepAliveTick() {
    // 1. Both volume reports, whatever the mute says.
    SendCommand(remote::VolumeCommand(0));
    SendCommand(remote::VolumeCommand(m_SoundLevel));
    // 2.
    CheckDiskSpace();
}

void CSorvinDlg::OnWatchTick() {
    // 1. The presence test.
    const bool present = OpenReceiver();

    // 2. Gone: end what needs the receiver (playback once, in the first second), and keep looking
    //    every second.
    if (!present) {
        if (m_Timers)
            m_Timers->KillTimer(TIMER_POLL);
        Apply(g_DeviceLost ? TransportEvent::DeviceAway : TransportEvent::DeviceLost);
        ShowBatteryPicture(0);
        if (m_State == TransportState::Idle) {
            m_strStatus = "Detect No Device!";
            m_strSection = " ";
            m_strTime = " ";
            UpdateTexts();
        }
        g_AwaitReconnect = true;
        g_DeviceLost = true;
        // A key held when the receiver went never reports its release.
        g_KeyHeld = false;
        g_HoldCount = 0;
        return;
    }

    // 3. Back after a loss: the reconnect sequence.
    if (g_AwaitReconnect) {
        g_AwaitReconnect = false;
        g_DeviceOpen = true;
        if (m_State == TransportState::Idle) {
            m_strStatus = "Ready";
            UpdateTexts();
        }
        if (m_Timers)
            m_Timers->SetTimer(TIMER_POLL, kPollMs);
        platform::Clock().Sleep(kReconnectWaitMs);
        g_DeviceLost = false;
        ShowBatteryPicture(m_BatteryLevel);
        // What went on through a failed probe (a recording, playback) is what the remote shows.
        Apply(TransportEvent::DeviceBack);
        if (m_Timers)
            m_Timers->SetTimer(TIMER_POLL, kPollMs);
    }
    // 4. Present and nothing lost: nothing else.
}
