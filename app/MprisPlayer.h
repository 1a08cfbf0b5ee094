#pragma once
#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>

class CSorvinDlg;

// The window as a media player on the session bus (MPRIS 2, "org.mpris.MediaPlayer2.tavlo"), so
// that the keyboard's media keys and the desktop's media controls drive playback. Every command
// is an event of the window's, as a click on its button is (the remote unit is told the same way);
// every property is read from the window's state when asked, and the bus hears of a change when
// the window's change notice comes. Runs on the user-interface thread, where the bus delivers its
// calls.
class CMprisPlayer : public QObject {
    Q_OBJECT
public:
    // What the player shows of the window; compared to tell the bus what changed.
    struct State {
        QString PlaybackStatus; // "Playing", "Paused" or "Stopped"
        QVariantMap Metadata;
        bool CanPlay = false;
        double Volume = 0;
        double Rate = 1.0; // the playback speed
        bool operator==(const State&) const = default;
    };

    explicit CMprisPlayer(CSorvinDlg& window);
    // Offers the player on bus: the object at once, then asks for the name (with ".instance<pid>"
    // added when another program holds the plain one) without waiting for the answer. False, and
    // nothing registered or owned, when the bus is not connected.
    bool Register(QDBusConnection bus);

    State Current() const;
    qint64 PositionUs() const;
    CSorvinDlg& Window() const { return m_Window; }
    // Tells the bus about every property that changed since the last look.
    void Publish();

private:
    void RequestName(const QString& name, bool orInstanceName);

    CSorvinDlg& m_Window;
    QDBusConnection m_Bus;
    State m_Shown;
};
