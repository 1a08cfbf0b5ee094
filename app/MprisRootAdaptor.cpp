#include "MprisRootAdaptor.h"
#include "MprisPlayer.h"
#include "SorvinDlg.h"

MprisRootAdaptor::MprisRootAdaptor(CMprisPlayer* player) : QDBusAbstractAdaptor(player), m_Player(*player) {}

void MprisRootAdaptor::Raise() {
    m_Player.Window().BringToFront();
}

void MprisRootAdaptor::Quit() {
    // The window's own close: refused, with its message, while a recording is open.
    m_Player.Window().OnCancel();
}
