#include "VirtualSet.h"

#include "EmulatedHidBus.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>

#include <csignal>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <unistd.h>

namespace virtualset {

namespace {

// The real remote repeats reports while a key is held, one per poll of the receiver; Tavlo counts
// them to tell a hold from a press. The repeat carries the battery level, which changes nothing.
constexpr int kRepeatMs = 100;
constexpr int kFloodLimit = 1000;

std::vector<std::string> Words(const QStringList& list) {
    std::vector<std::string> words;
    for (const QString& word : list)
        words.push_back(word.toStdString());
    return words;
}

} // namespace

VirtualSet::VirtualSet(Options options) : m_Options(std::move(options)) {
    m_Clock.start();
    m_Repeat.setInterval(kRepeatMs);
    QObject::connect(&m_Repeat, &QTimer::timeout, [this] { SendEvent(kBatteryBase + m_Battery - 1); });
    m_Release.setSingleShot(true);
    QObject::connect(&m_Release, &QTimer::timeout, [this] {
        if (m_Held)
            KeyUp(*m_Held);
        RunQueued();
    });
}

VirtualSet::~VirtualSet() {
    m_Quitting = true;
    if (m_Tavlo.state() != QProcess::NotRunning) {
        m_Tavlo.terminate();
        if (!m_Tavlo.waitForFinished(3000))
            m_Tavlo.kill();
        m_Tavlo.waitForFinished(1000);
    }
    m_OutputWatch.reset();
    m_Bus.reset();
    m_Sound.Stop();
}

void VirtualSet::Log(const QString& text) {
    std::printf("%8.3f %s\n", static_cast<double>(m_Clock.elapsed()) / 1000.0,
                text.toLocal8Bit().constData());
    std::fflush(stdout);
}

void VirtualSet::Changed() {
    if (OnChanged)
        OnChanged();
}

bool VirtualSet::Start() {
    if (!m_Sound.Start(m_Options.SpeechFile)) {
        std::fprintf(stderr, "tavlo-virtualset: no microphone: %s\n",
                     m_Sound.Error().toLocal8Bit().constData());
        return false;
    }
    Log("speech " + m_Sound.SpeechLoop());
    // The testbed sets UMOCKDEV_DIR in this process's environment; Tavlo inherits it.
    m_Bus = std::make_unique<EmulatedHidBus>();
    if (!Plug())
        return false;
    if (m_Options.StartTavlo)
        StartTavlo();
    Log("ready");
    return true;
}

bool VirtualSet::Plug() {
    if (m_Node >= 0)
        return true;
    const int node = m_NextNode++;
    try {
        m_Bus->Add(Receiver(node));
        m_Bus->AnswerHidrawIoctls(node);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tavlo-virtualset: cannot plug the receiver in: %s\n", e.what());
        return false;
    }
    m_Node = node;
    m_Pending.clear();
    m_OutputWatch = std::make_unique<QSocketNotifier>(m_Bus->DeviceEnd(node), QSocketNotifier::Read);
    QObject::connect(m_OutputWatch.get(), &QSocketNotifier::activated, [this] { ReadOutput(); });
    Log("plugged /dev/hidraw" + QString::number(node));
    Changed();
    return true;
}

void VirtualSet::Unplug() {
    if (m_Node < 0)
        return;
    m_OutputWatch.reset();
    m_Bus->Remove(m_Node);
    m_Node = -1;
    Log("unplugged");
    Changed();
}

void VirtualSet::ReadOutput() {
    if (m_Node < 0)
        return;
    if (m_VanishOnOutput) {
        // The device goes while Tavlo is writing to it: what it wrote is never read.
        m_VanishOnOutput = false;
        Log("vanishing during a write");
        Unplug();
        return;
    }
    std::uint8_t chunk[256];
    const ssize_t n = ::read(m_Bus->DeviceEnd(m_Node), chunk, sizeof chunk);
    if (n <= 0)
        return;
    m_Pending.insert(m_Pending.end(), chunk, chunk + n);
    // Tavlo writes whole reports with the report number 0 first; a real kernel would strip it.
    while (m_Pending.size() >= kReportSize) {
        const Report report(m_Pending.begin(), m_Pending.begin() + kReportSize);
        m_Pending.erase(m_Pending.begin(), m_Pending.begin() + kReportSize);
        Log("out " + QString::fromStdString(Hex(report) + " " + DescribeOutput(report)));
        ApplyCommand(report, m_Lights);
    }
    Changed();
}

void VirtualSet::SendWire(const Report& bytes) {
    if (m_Node < 0) {
        Log("not sent (unplugged): " + QString::fromStdString(Hex(bytes)));
        return;
    }
    const int end = m_Bus->DeviceEnd(m_Node);
    if (::write(end, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        Log("short write to the receiver");
}

void VirtualSet::SendEvent(std::uint8_t code) {
    const Report report = EventReport(code);
    if (!m_LinkOn && code != kLinkLost) {
        Log("not sent (link off): " + QString::fromStdString(Hex(report)));
        return;
    }
    Log("in  " + QString::fromStdString(Hex(report) + " " + DescribeInput(report)));
    // An unnumbered report travels without its report number, as the kernel delivers it.
    SendWire(Report(report.begin() + 1, report.end()));
}

void VirtualSet::KeyDown(const RemoteKey& key) {
    SendEvent(key.Down);
    m_Held = &key;
    m_Repeat.start();
    Changed();
}

void VirtualSet::KeyUp(const RemoteKey& key) {
    m_Repeat.stop();
    m_Held = nullptr;
    if (key.Up)
        SendEvent(key.Up);
    Changed();
}

void VirtualSet::SetLink(bool on) {
    if (on == m_LinkOn)
        return;
    if (!on) {
        SendEvent(kLinkLost);
        m_LinkOn = false;
    } else {
        // The remote is heard again: its next report brings the link up.
        m_LinkOn = true;
        SendEvent(kBatteryBase + m_Battery - 1);
    }
    Changed();
}

void VirtualSet::SetBattery(int level) {
    m_Battery = level;
    SendEvent(kBatteryBase + level - 1);
    Changed();
}

void VirtualSet::Command(const QString& line) {
    if (line.trimmed().isEmpty())
        return;
    m_Queue.push_back(line.trimmed());
    RunQueued();
}

void VirtualSet::RunQueued() {
    while (!m_Queue.empty() && !m_Release.isActive() && !m_Quitting) {
        const QString line = m_Queue.front();
        m_Queue.pop_front();
        if (!RunOne(line))
            Log("error: " + line);
    }
}

bool VirtualSet::RunOne(const QString& line) {
    const QStringList words = line.split(' ', Qt::SkipEmptyParts);
    const QString verb = words.value(0);
    bool number = false;
    if ((verb == "press" || verb == "hold") && words.size() == (verb == "press" ? 2 : 3)) {
        const RemoteKey* key = FindKey(words[1].toStdString());
        const int ms = verb == "hold" ? words[2].toInt(&number) : 0;
        if (!key || (verb == "hold" && (!number || ms < 0)))
            return false;
        KeyDown(*key);
        if (verb == "press") {
            KeyUp(*key);
        } else {
            m_Release.start(ms);
        }
        return true;
    }
    if (verb == "unplug" && words.size() == 1) {
        Unplug();
        return true;
    }
    if (verb == "plug" && words.size() == 1)
        return Plug();
    if (verb == "battery" && words.size() == 2) {
        const int level = words[1].toInt(&number);
        if (!number || level < 1 || level > 5)
            return false;
        SetBattery(level);
        return true;
    }
    if (verb == "link" && words.size() == 2 && (words[1] == "on" || words[1] == "off")) {
        SetLink(words[1] == "on");
        return true;
    }
    if (verb == "send" && words.size() >= 2) {
        // Bytes exactly as the device puts them on the wire, of any length.
        const std::optional<Report> bytes = ParseHex(Words(words.mid(1)));
        if (!bytes || bytes->empty())
            return false;
        Log("in  raw " + QString::fromStdString(Hex(*bytes)));
        SendWire(*bytes);
        return true;
    }
    if (verb == "flood" && words.size() == 3) {
        const int count = words[1].toInt(&number);
        const std::optional<Report> code = ParseHex({words[2].toStdString()});
        if (!number || count < 1 || count > kFloodLimit || !code || code->size() != 1)
            return false;
        Log("flood " + QString::number(count) + " x " + words[2]);
        Report wire;
        for (int i = 0; i < count; ++i) {
            const Report report = EventReport((*code)[0]);
            wire.insert(wire.end(), report.begin() + 1, report.end());
        }
        SendWire(wire);
        return true;
    }
    if (verb == "vanish-on-output" && words.size() == 1) {
        m_VanishOnOutput = true;
        return true;
    }
    if (verb == "signal" && words.size() == 2) {
        // Ends Tavlo as the system would: TERM, INT, HUP (it saves and closes), KILL (it cannot).
        static const std::map<QString, int> kSignals = {
            {"TERM", SIGTERM}, {"INT", SIGINT}, {"HUP", SIGHUP}, {"KILL", SIGKILL}};
        const auto found = kSignals.find(words[1]);
        if (found == kSignals.end() || m_Tavlo.state() != QProcess::Running)
            return false;
        m_EndExpected = true;
        Log("signal " + words[1]);
        return ::kill(static_cast<pid_t>(m_Tavlo.processId()), found->second) == 0;
    }
    if (verb == "start" && words.size() == 1) {
        if (m_Tavlo.state() != QProcess::NotRunning)
            return false;
        StartTavlo();
        return true;
    }
    if (verb == "echo") {
        Log("echo " + words.mid(1).join(' '));
        return true;
    }
    if (verb == "quit" && words.size() == 1) {
        m_Quitting = true;
        if (OnQuit)
            OnQuit();
        return true;
    }
    return false;
}

void VirtualSet::StartTavlo() {
    const QFileInfo program(m_Options.Tavlo);
    QDir folder(m_Options.Folder);
    folder.mkpath(".");
    // Tavlo reads Recorder.ini and res/ from the folder it starts in; a new folder gets the ones
    // beside the program (settings made there since are kept).
    if (!folder.exists("Recorder.ini"))
        QFile::copy(program.dir().filePath("Recorder.ini"), folder.filePath("Recorder.ini"));
    if (!folder.exists("res"))
        QFile::link(program.dir().filePath("res"), folder.filePath("res"));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : m_Sound.Environment())
        env.insert(entry.section('=', 0, 0), entry.section('=', 1));
    // The shim answers ALSA's card scan before umockdev's library sees it (no_sound_cards.c).
    env.insert("LD_PRELOAD", QString(TAVLO_NO_SOUND_CARDS) + ":libumockdev-preload.so.0");
    for (const QString& entry : m_Options.TavloEnv)
        env.insert(entry.section('=', 0, 0), entry.section('=', 1));
    m_Tavlo.setProcessEnvironment(env);
    m_Tavlo.setWorkingDirectory(folder.absolutePath());
    // Tavlo's own output goes to standard error: standard output is the report log.
    m_Tavlo.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_Tavlo.setChildProcessModifier([] { ::dup2(2, 1); });
    QObject::connect(&m_Tavlo, &QProcess::finished, [this](int code, QProcess::ExitStatus status) {
        if (m_Quitting)
            Log("tavlo closed");
        else
            Log(status == QProcess::NormalExit ? "tavlo exited " + QString::number(code) : "tavlo crashed");
        if (!m_Quitting && !m_EndExpected && OnQuit)
            OnQuit();
        m_EndExpected = false;
    });
    m_Tavlo.start(program.absoluteFilePath(), {});
    if (m_Tavlo.waitForStarted())
        Log("tavlo started in " + folder.absolutePath());
    else
        Log("tavlo did not start: " + m_Tavlo.errorString());
}

} // namespace virtualset
