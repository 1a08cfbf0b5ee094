#include "MprisPlayerAdaptor.h"
#include "MprisPlayer.h"
#include "SorvinDlg.h"
#include "TypistPlayback.h"

#include <algorithm>
#include <cmath>

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

double MprisPlayerAdaptor::Rate() const {
    return m_Player.Current().Rate;
}

void MprisPlayerAdaptor::SetRate(double rate) {
    // A NaN or an infinity is no rate; a finite one is held to the speeds there are.
    if (!std::isfinite(rate))
        return;
    const int wanted = static_cast<int>(std::lround(std::clamp(rate, 0.5, 1.5) * 10));
    // One step at a time, as the keys go; a state that ignores the steps ends the walk.
    for (int speed = m_Window.m_Player.Speed(); speed != wanted;) {
        m_Window.Apply(wanted > speed ? TransportEvent::SpeedUp : TransportEvent::SpeedDown);
        if (m_Window.m_Player.Speed() == speed)
            return;
        speed = m_Window.m_Player.Speed();
    }
}

double MprisPlayerAdaptor::MinimumRate() const {
    return kSlowestSpeed / 10.0;
}

double MprisPlayerAdaptor::MaximumRate() const {
    return kFastestSpeed / 10.0;
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
