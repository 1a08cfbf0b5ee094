#include "MprisPlayerAdaptor.h"
#include "MprisPlayer.h"

MprisPlayerAdaptor::MprisPlayerAdaptor(CMprisPlayer* player)
    : QDBusAbstractAdaptor(player), m_Player(*player) {}

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

void MprisPlayerAdaptor::Play() {
    m_Player.Play();
}

void MprisPlayerAdaptor::Pause() {
    m_Player.Pause();
}

void MprisPlayerAdaptor::PlayPause() {
    m_Player.PlayPause();
}

void MprisPlayerAdaptor::Stop() {
    m_Player.Stop();
}

void MprisPlayerAdaptor::Next() {
    m_Player.Next();
}

void MprisPlayerAdaptor::Previous() {
    m_Player.Previous();
}
