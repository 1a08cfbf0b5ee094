#pragma once
#include <QDBusAbstractAdaptor>
#include <QVariantMap>

class CMprisPlayer;
class CSorvinDlg;

// org.mpris.MediaPlayer2.Player: the transport. Recordings play from where the window's commands
// put them, at the window's playback speed (0.5 to 1.5, which the bus may set too, in tenths); the
// bus cannot seek or set the volume.
class MprisPlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(double Volume READ Volume)
    Q_PROPERTY(double Rate READ Rate WRITE SetRate)
    Q_PROPERTY(double MinimumRate READ MinimumRate)
    Q_PROPERTY(double MaximumRate READ MaximumRate)
    Q_PROPERTY(bool CanPlay READ CanPlay)
    Q_PROPERTY(bool CanPause READ CanPlay)
    Q_PROPERTY(bool CanGoNext READ CanPlay)
    Q_PROPERTY(bool CanGoPrevious READ CanPlay)
    Q_PROPERTY(bool CanSeek READ No)
    Q_PROPERTY(bool CanControl READ Yes)
public:
    explicit MprisPlayerAdaptor(CMprisPlayer* player);

    QString PlaybackStatus() const;
    QVariantMap Metadata() const;
    qlonglong Position() const;
    double Volume() const;
    bool CanPlay() const;
    double Rate() const;
    // The nearest tenth within the window's speeds, stepped to as its speed keys step; refused
    // (nothing changes) where the keys are, while recording.
    void SetRate(double rate);
    double MinimumRate() const;
    double MaximumRate() const;
    bool Yes() const { return true; }
    bool No() const { return false; }

public slots:
    // The window's own commands: Play/Pause, File down and File up as the buttons run them, and
    // the media controls' Play, Pause and Stop, which never pause, play or mark by turns.
    void Play();
    void Pause();
    void PlayPause();
    void Stop();
    void Next();
    void Previous();

private:
    CMprisPlayer& m_Player;
    CSorvinDlg& m_Window;
};
