#include "MprisRootAdaptor.h"
#include "MprisPlayer.h"

MprisRootAdaptor::MprisRootAdaptor(CMprisPlayer* player) : QDBusAbstractAdaptor(player), m_Player(*player) {}

void MprisRootAdaptor::Raise() {
    m_Player.Raise();
}

void MprisRootAdaptor::Quit() {
    m_Player.Quit();
}
