// Timers 5 and 6: the five-minute keep-alive, and the once-a-second watch that notices the
// receiver going and coming back and brings the link up again.
#include "ProgramState.h"
#include "RemoteReport.h"
#include "SorvinDlg.h"
#include "platform/Clock.h"

namespace {

constexpr unsigned kPollTimer = 4;
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

    // 2. Gone: end what needs the receiver, and keep looking every second.
    if (!present) {
        if (m_Timers)
            m_Timers->KillTimer(kPollTimer);
        OnFileEndSave();
        if (!g_DeviceLost) {
            // Stop must stop playback, not merely end a wind.
            EndWinding();
            OnSectionStop();
        }
        ShowBatteryPicture(0);
        if (!m_Recording && !m_Playing) {
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
        if (!m_Recording && !m_Playing) {
            m_strStatus = "Ready";
            UpdateTexts();
        }
        if (m_Timers)
            m_Timers->SetTimer(kPollTimer, kPollMs);
        platform::Clock().Sleep(kReconnectWaitMs);
        g_DeviceLost = false;
        ShowBatteryPicture(m_BatteryLevel);
        ProbeDevice();
        // What went on through a failed probe (a recording, playback) is what the remote shows.
        SendCommand(m_Recording                  ? remote::kRecording
                    : m_Playing && !m_PlayPaused ? remote::kPlaying
                                                 : remote::kIdle);
        if (m_Timers)
            m_Timers->SetTimer(kPollTimer, kPollMs);
    }
    // 4. Present and nothing lost: nothing else.
}
