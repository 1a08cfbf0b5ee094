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

bool MprisPlayerAdaptor::Winding() const {
    return m_Window.m_FastForward || m_Window.m_Rewind;
}

void MprisPlayerAdaptor::Play() {
    // Play/Pause plays when stopped, resumes when paused and ends winding; it would pause playback.
    if (!m_Window.m_Playing || m_Window.m_PlayPaused || Winding())
        PlayPause();
}

void MprisPlayerAdaptor::Pause() {
    if (m_Window.m_Playing && !m_Window.m_PlayPaused && !Winding())
        PlayPause();
}

void MprisPlayerAdaptor::PlayPause() {
    m_Window.OnPlayPause();
    m_Player.Publish();
}

void MprisPlayerAdaptor::Stop() {
    // Section/Stop marks a section while recording; a media key's Stop must not.
    if (m_Window.m_Recording)
        return;
    // The first Section/Stop only ends winding; the next one stops.
    if (Winding())
        m_Window.OnSectionStop();
    if (m_Window.m_Playing)
        m_Window.OnSectionStop();
    m_Player.Publish();
}

void MprisPlayerAdaptor::Next() {
    m_Window.OnFileDown();
    m_Player.Publish();
}

void MprisPlayerAdaptor::Previous() {
    m_Window.OnFileUp();
    m_Player.Publish();
}
