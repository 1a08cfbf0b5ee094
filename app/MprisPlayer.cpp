#include "MprisPlayer.h"

#include "MprisPlayerAdaptor.h"
#include "MprisRootAdaptor.h"
#include "ProgramState.h"
#include "RecordingsList.h"
#include "SorvinDlg.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDir>
#include <QUrl>

namespace {

const char* const kObjectPath = "/org/mpris/MediaPlayer2";
const char* const kServiceName = "org.mpris.MediaPlayer2.tavlo";
// The track id MPRIS reserves for "no track".
const char* const kNoTrack = "/org/mpris/MediaPlayer2/TrackList/NoTrack";
constexpr int kTopVolume = 7;
// RequestName: fail rather than wait in line for the name; the answer when it is ours.
constexpr uint kDoNotQueue = 4;
constexpr uint kPrimaryOwner = 1;

// A track id is an object path, whose elements allow only [A-Za-z0-9_]: the file name in hex.
QDBusObjectPath TrackId(const std::string& name) {
    return QDBusObjectPath(QStringLiteral("/org/mpris/MediaPlayer2/tavlo/track/") +
                           QString::fromLatin1(QByteArray::fromStdString(name).toHex()));
}

} // namespace

CMprisPlayer::CMprisPlayer(CSorvinDlg& window) : QObject(&window), m_Window(window), m_Bus(QString()) {
    new MprisRootAdaptor(this);
    new MprisPlayerAdaptor(this);
    // Playback changes come from the buttons, the remote's keys, the timers and the bus alike; each
    // is an event of the window's, which sends the notice.
    connect(&window, &CSorvinDlg::TransportChanged, this, &CMprisPlayer::Publish);
}

bool CMprisPlayer::Register(QDBusConnection bus) {
    if (!bus.isConnected() || !bus.registerObject(kObjectPath, this))
        return false;
    m_Bus = bus;
    m_Shown = Current();
    RequestName(kServiceName, true);
    return true;
}

void CMprisPlayer::RequestName(const QString& name, bool orInstanceName) {
    // Asked without waiting: a bus that is slow to answer must not hold up the window.
    QDBusMessage request = QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                          "org.freedesktop.DBus", "RequestName");
    request << name << kDoNotQueue;
    auto* watcher = new QDBusPendingCallWatcher(m_Bus.asyncCall(request), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, orInstanceName](QDBusPendingCallWatcher* w) {
                const QDBusPendingReply<uint> reply = *w;
                w->deleteLater();
                if (orInstanceName && (reply.isError() || reply.value() != kPrimaryOwner))
                    RequestName(
                        QString("%1.instance%2").arg(kServiceName).arg(QCoreApplication::applicationPid()),
                        false);
            });
}

CMprisPlayer::State CMprisPlayer::Current() const {
    State state;
    const TransportState transport = m_Window.State();
    // A wind over a paused file moves the position but nothing is heard: that is paused.
    if (IsHeard(transport))
        state.PlaybackStatus = "Playing";
    else if (IsPlaying(transport))
        state.PlaybackStatus = "Paused";
    else
        state.PlaybackStatus = "Stopped";
    const bool hasFile = g_CurFile != g_FileList.end() && *g_CurFile != kNoWavFiles;
    state.CanPlay = hasFile && !IsRecording(transport) && transport != TransportState::Ending;
    state.Volume = m_Window.m_Muted ? 0.0 : static_cast<double>(m_Window.m_SoundLevel) / kTopVolume;
    state.Rate = m_Window.m_Player.Speed() / 10.0;
    if (!hasFile) {
        state.Metadata["mpris:trackid"] = QVariant::fromValue(QDBusObjectPath(kNoTrack));
        return state;
    }
    // The current entry is the file that Play opens, and the one that plays.
    const QString name = QString::fromStdString(*g_CurFile);
    state.Metadata["mpris:trackid"] = QVariant::fromValue(TrackId(*g_CurFile));
    state.Metadata["xesam:title"] = name;
    state.Metadata["xesam:url"] = QUrl::fromLocalFile(QDir::current().absoluteFilePath(name)).toString();
    // The length is known once the file is open.
    if (IsPlaying(transport))
        state.Metadata["mpris:length"] = static_cast<qint64>(g_PlayLength) * 1000000;
    return state;
}

qint64 CMprisPlayer::PositionUs() const {
    return IsPlaying(m_Window.State()) ? static_cast<qint64>(m_Window.m_PlaySecond) * 1000000 : 0;
}

void CMprisPlayer::Publish() {
    if (!m_Bus.isConnected())
        return;
    const State now = Current();
    if (now == m_Shown)
        return;
    QVariantMap changed;
    if (now.PlaybackStatus != m_Shown.PlaybackStatus)
        changed["PlaybackStatus"] = now.PlaybackStatus;
    if (now.Metadata != m_Shown.Metadata)
        changed["Metadata"] = now.Metadata;
    if (now.CanPlay != m_Shown.CanPlay)
        for (const char* can : {"CanPlay", "CanPause", "CanGoNext", "CanGoPrevious"})
            changed[can] = now.CanPlay;
    if (now.Volume != m_Shown.Volume)
        changed["Volume"] = now.Volume;
    // The desktop moves its position display on at the rate.
    if (now.Rate != m_Shown.Rate)
        changed["Rate"] = now.Rate;
    m_Shown = now;
    QDBusMessage signal =
        QDBusMessage::createSignal(kObjectPath, "org.freedesktop.DBus.Properties", "PropertiesChanged");
    signal << QString("org.mpris.MediaPlayer2.Player") << changed << QStringList();
    m_Bus.send(signal);
}
