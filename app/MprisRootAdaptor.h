#pragma once
#include <QDBusAbstractAdaptor>
#include <QStringList>

class CMprisPlayer;

// org.mpris.MediaPlayer2: the program itself. It can be raised and quit; it has no track list
// and opens no files of the desktop's choosing.
class MprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ Yes)
    Q_PROPERTY(bool CanRaise READ Yes)
    Q_PROPERTY(bool HasTrackList READ No)
    Q_PROPERTY(bool CanSetFullscreen READ No)
    Q_PROPERTY(bool Fullscreen READ No)
    Q_PROPERTY(QString Identity READ Identity)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ None)
    Q_PROPERTY(QStringList SupportedMimeTypes READ None)
public:
    explicit MprisRootAdaptor(CMprisPlayer* player);

    bool Yes() const { return true; }
    bool No() const { return false; }
    QString Identity() const { return "Tavlo"; }
    // The menu entry tavlo.desktop.
    QString DesktopEntry() const { return "tavlo"; }
    QStringList None() const { return {}; }

public slots:
    void Raise();
    void Quit();

private:
    CMprisPlayer& m_Player;
};
