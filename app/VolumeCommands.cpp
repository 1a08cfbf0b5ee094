// Volume up, Volume down and Mute (buttons 1010, 1011, 1012). The level goes to the receiver in
// a volume report and into the volume picture; the computer's own sound output is not touched.
// Volume reports are written without the presence test that precedes the state reports.
#include "RemoteReport.h"
#include "SorvinDlg.h"

namespace {

constexpr std::uint8_t kTopLevel = 7;

} // namespace

void CSorvinDlg::OnVolumeUp() {
    Apply(TransportEvent::VolumeUp);
}

void CSorvinDlg::OnVolumeDown() {
    Apply(TransportEvent::VolumeDown);
}

void CSorvinDlg::OnMute() {
    Apply(TransportEvent::Mute);
}

void CSorvinDlg::RaiseVolume() {
    // 1.
    if (m_SoundLevel < kTopLevel) {
        ++m_SoundLevel;
        ShowVolumePicture(m_SoundLevel);
    }
    // 2. and 3. The level is taken now; a low-space box, if any, is answered before it goes out.
    const std::uint8_t command = remote::VolumeCommand(m_SoundLevel);
    CheckDiskSpace();
    if (Ended())
        return;
    // 4.
    SendCommand(command);
    // 5.
    if (m_Muted) {
        m_Muted = false;
        ShowVolumePicture(m_SoundLevel);
        SetImages(m_BtnMute, ui::look::kMuteOff);
        m_BtnMute.m_bMuteLook = 0;
    }
}

void CSorvinDlg::LowerVolume() {
    // 1.
    if (m_SoundLevel > 0) {
        --m_SoundLevel;
        ShowVolumePicture(m_SoundLevel);
    }
    // 2.
    SendCommand(remote::VolumeCommand(m_SoundLevel));
    // 3. The picture already shows the level: it changed above, or it is 0, which mute showed.
    if (m_Muted) {
        m_Muted = false;
        SetImages(m_BtnMute, ui::look::kMuteOff);
        m_BtnMute.m_bMuteLook = 0;
    }
}

void CSorvinDlg::ToggleMute() {
    if (!m_Muted) {
        SendCommand(remote::VolumeCommand(0));
        SetImages(m_BtnMute, ui::look::kMuteOn);
        m_Muted = true;
        ShowVolumePicture(0);
        m_BtnMute.m_bMuteLook = 1;
    } else {
        SendCommand(remote::VolumeCommand(m_SoundLevel));
        SetImages(m_BtnMute, ui::look::kMuteOff);
        m_Muted = false;
        ShowVolumePicture(m_SoundLevel);
        m_BtnMute.m_bMuteLook = 0;
    }
}
