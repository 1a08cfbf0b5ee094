// The virtual set's microphone: a private PulseAudio whose null sink "vset_mic" is the remote's
// microphone (its monitor is the receiver's capture device "USB Headset" for ALSA clients) and
// whose null sink "vset_speaker" is the default output Tavlo plays into. Speech is played into the
// microphone in a loop, 48000 Hz mono, so a recording at 48000 Hz holds its samples unchanged.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace virtualset {

class SoundServer {
public:
    ~SoundServer();

    // Starts the server in a new private folder. speechFile empty: espeak-ng speaks a few
    // sentences. Returns false with the reason in Error().
    bool Start(const QString& speechFile);
    void Stop();

    // What Tavlo needs in its environment to reach the server and see the receiver's capture device.
    QStringList Environment() const;
    // The loop played into the microphone: raw signed 16-bit little-endian, 48000 Hz, mono.
    QString SpeechLoop() const { return m_Dir + "/speech.raw"; }
    QString Folder() const { return m_Dir; }
    QString Error() const { return m_Error; }

private:
    bool Run(const QString& program, const QStringList& arguments);
    bool MakeSpeech(const QString& speechFile);
    void Feed();

    QString m_Dir;
    QString m_Error;
    QProcess m_Loop; // pacat into the microphone
    QTimer m_Feed;
    QByteArray m_Speech;
    qsizetype m_FeedAt = 0;
};

} // namespace virtualset
