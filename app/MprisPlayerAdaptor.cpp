#include "MprisPlayerAdaptor.h"
#include "MprisPlayer.h"
#include "SorvinDlg.h"

MprisPlayerAdaptor::MprisPlayerAdaptor(CMprisPlayer* player)
    : QDBusAbstractAdaptor(player), m_Player(*player), m_Window(player->Window()) {}

QString MprisPlayerAdaptor::PlaybackStatus() const {
    return m_Player.Current().PlaybackStatus;
}

QVariantMap MprisPlayerAdaptor::Metadata() const {
    return m_Player.Current().Metadata;
}

qlonglong MprisPlayerAdaptor::Position() const {
    return m_Player.PositionUs();
}

double MprisPlayerAdaptor::Volume() const {
    return m_Player.Current().Volume;
}

bool MprisPlayerAdaptor::CanPlay() const {
    return m_Player.Current().CanPlay;
}

// The media controls' commands are the window's events; its change notice tells the bus.
void MprisPlayerAdaptor::Play() {
    m_Window.Apply(TransportEvent::Play);
}

void MprisPlayerAdaptor::Pause() {
    m_Window.Apply(TransportEvent::Pause);
}

void MprisPlayerAdaptor::PlayPause() {
    m_Window.OnPlayPause();
}

void MprisPlayerAdaptor::Stop() {
    m_Window.Apply(TransportEvent::Stop);
}

void MprisPlayerAdaptor::Next() {
    m_Window.OnFileDown();
}

void MprisPlayerAdaptor::Previous() {
    m_Window.OnFileUp();
}
