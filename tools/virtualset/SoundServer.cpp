#include "SoundServer.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <sys/prctl.h>
#include <unistd.h>

namespace virtualset {

namespace {

const char* const kDefaultSpeech =
    "This is the virtual remote speaking. One, two, three, four, five. "
    "The quick brown fox jumps over the lazy dog. Tavlo records every word I say.";

constexpr int kFeedMs = 50;
constexpr qsizetype kChunkBytes = 9600;  // 0.1 s
constexpr qsizetype kAheadBytes = 48000; // 0.5 s

bool WriteText(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

} // namespace

SoundServer::~SoundServer() {
    Stop();
}

bool SoundServer::Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : Environment())
        env.insert(entry.section('=', 0, 0), entry.section('=', 1));
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        m_Error = program + " failed: " + QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        return false;
    }
    return true;
}

bool SoundServer::MakeSpeech(const QString& speechFile) {
    QString source = speechFile;
    if (source.isEmpty()) {
        source = m_Dir + "/speech.wav";
        if (!Run("espeak-ng", {"-s", "150", "-w", source, kDefaultSpeech}))
            return false;
    }
    // One format for the whole path: the sinks run at 48000 Hz mono, so nothing is resampled again.
    return Run("sox", {source, "-t", "raw", "-r", "48000", "-c", "1", "-b", "16", "-e", "signed-integer",
                       "-L", SpeechLoop()});
}

bool SoundServer::Start(const QString& speechFile) {
    const QByteArray pattern = QDir::tempPath().toLocal8Bit() + "/tavlo-vset.XXXXXX";
    std::string dir = pattern.toStdString();
    if (!mkdtemp(dir.data())) {
        m_Error = "cannot make a private folder";
        return false;
    }
    m_Dir = QString::fromStdString(dir);
    QDir(m_Dir).mkpath("home");
    QDir(m_Dir).mkpath("runtime");
    QFile::setPermissions(m_Dir + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const QByteArray pa =
        "load-module module-native-protocol-unix auth-anonymous=1 socket=" + m_Dir.toLocal8Bit() +
        "/runtime/native\n"
        "load-module module-null-sink sink_name=vset_mic rate=48000 channels=1\n"
        "load-module module-null-sink sink_name=vset_speaker rate=48000 channels=1\n"
        "set-default-sink vset_speaker\n"
        "set-default-source vset_mic.monitor\n";
    const QByteArray alsa = "pcm.!default { type pulse }\n"
                            "ctl.!default { type pulse }\n"
                            "pcm.vset_receiver {\n"
                            "    type pulse\n"
                            "    device vset_mic.monitor\n"
                            "    hint { show on description \"USB Headset\" }\n"
                            "}\n";
    if (!WriteText(m_Dir + "/server.pa", pa) || !WriteText(m_Dir + "/asound.conf", alsa)) {
        m_Error = "cannot write the sound configuration";
        return false;
    }
    if (!Run("pulseaudio", {"-n", "--daemonize=yes", "--exit-idle-time=5", "--system=false",
                            "--disallow-exit", "--use-pid-file=yes", "-F", m_Dir + "/server.pa"}))
        return false;
    for (int i = 0; i < 100 && !QFile::exists(m_Dir + "/runtime/native"); ++i)
        QThread::msleep(50);
    if (!MakeSpeech(speechFile))
        return false;

    // pacat plays what this process feeds it, so it ends with this process, whatever ends it.
    QFile speech(SpeechLoop());
    if (!speech.open(QIODevice::ReadOnly) || (m_Speech = speech.readAll()).size() < 2) {
        m_Error = "no speech to play";
        return false;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : Environment())
        env.insert(entry.section('=', 0, 0), entry.section('=', 1));
    m_Loop.setProcessEnvironment(env);
    m_Loop.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_Loop.start("pacat", {"--playback", "--device=vset_mic", "--raw", "--format=s16le", "--rate=48000",
                           "--channels=1", "--latency-msec=20"});
    if (!m_Loop.waitForStarted()) {
        m_Error = "cannot start pacat";
        return false;
    }
    m_Feed.setInterval(kFeedMs);
    QObject::connect(&m_Feed, &QTimer::timeout, [this] { Feed(); });
    m_Feed.start();
    Feed();
    return true;
}

// Keeps about half a second of speech ahead of pacat, from the loop's next sample on.
void SoundServer::Feed() {
    while (m_Loop.state() == QProcess::Running && m_Loop.bytesToWrite() < kAheadBytes) {
        const qsizetype n = std::min<qsizetype>(kChunkBytes, m_Speech.size() - m_FeedAt);
        m_Loop.write(m_Speech.constData() + m_FeedAt, n);
        m_FeedAt = (m_FeedAt + n) % m_Speech.size();
    }
}

QStringList SoundServer::Environment() const {
    if (m_Dir.isEmpty())
        return {};
    return {"HOME=" + m_Dir + "/home", "XDG_RUNTIME_DIR=" + m_Dir + "/runtime",
            "PULSE_SERVER=unix:" + m_Dir + "/runtime/native",
            "ALSA_CONFIG_PATH=/usr/share/alsa/alsa.conf:" + m_Dir + "/asound.conf"};
}

void SoundServer::Stop() {
    if (m_Dir.isEmpty())
        return;
    m_Feed.stop();
    if (m_Loop.state() != QProcess::NotRunning) {
        m_Loop.terminate();
        m_Loop.waitForFinished(3000);
    }
    QFile pidFile(m_Dir + "/runtime/pulse/pid");
    if (pidFile.open(QIODevice::ReadOnly)) {
        const pid_t pid = static_cast<pid_t>(pidFile.readAll().trimmed().toLong());
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            for (int i = 0; i < 60 && ::kill(pid, 0) == 0; ++i)
                QThread::msleep(50);
        }
    }
    QDir(m_Dir).removeRecursively();
    m_Dir.clear();
}

} // namespace virtualset
