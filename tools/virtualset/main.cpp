// tavlo-virtualset: a virtual recorder set on this computer. It plugs in an emulated receiver
// (umockdev), gives it a microphone that speaks (a private PulseAudio), starts the real Tavlo
// against both and shows the handheld remote. Commands on standard input drive it without the window:
//   press KEY | hold KEY MS | unplug | plug | battery N | link off|on | quit
//   send HEX... | flood N CODE | vanish-on-output | signal TERM|INT|HUP|KILL | start | echo TEXT
// KEY is one of file, rewind, play, forward, file-down, stop, record.
#include "RemoteView.h"
#include "VirtualSet.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_SignalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(g_SignalPipe[1], &byte, 1);
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    application.setApplicationName("tavlo-virtualset");
    const QString here = QCoreApplication::applicationDirPath();

    QCommandLineParser parser;
    parser.setApplicationDescription("A virtual recorder set with the real Tavlo.");
    parser.addHelpOption();
    parser.addOption({"tavlo", "The Tavlo program to start.", "path", here + "/tavlo"});
    parser.addOption({"folder", "Where Tavlo starts and records.", "dir", here + "/virtualset"});
    parser.addOption({"speech", "A sound file the microphone hears, looped (default: espeak-ng).", "file"});
    parser.addOption({"no-window", "Show no remote; take commands on standard input only."});
    parser.addOption({"no-tavlo", "Stand up the receiver and microphone without starting Tavlo."});
    parser.addOption(
        {"tavlo-env", "Sets NAME=VALUE in Tavlo's environment (for example another display).", "entry"});
    parser.process(application);

    virtualset::Options options;
    options.Tavlo = parser.value("tavlo");
    options.Folder = QDir(parser.value("folder")).absolutePath();
    options.SpeechFile = parser.value("speech");
    options.StartTavlo = !parser.isSet("no-tavlo");
    options.TavloEnv = parser.values("tavlo-env");
    const bool window = !parser.isSet("no-window");

    virtualset::VirtualSet set(options);
    set.OnQuit = [] { QCoreApplication::quit(); };

    // SIGINT and SIGTERM end the set as "quit" does: Tavlo, the receiver and the sound server go.
    if (::pipe2(g_SignalPipe, O_CLOEXEC) == 0) {
        std::signal(SIGINT, OnSignal);
        std::signal(SIGTERM, OnSignal);
    }
    QSocketNotifier stopSignals(g_SignalPipe[0], QSocketNotifier::Read);
    QObject::connect(&stopSignals, &QSocketNotifier::activated, [] { QCoreApplication::quit(); });

    if (!set.Start())
        return 1;

    std::unique_ptr<virtualset::RemoteView> view;
    if (window) {
        view = std::make_unique<virtualset::RemoteView>(set);
        set.OnChanged = [&view] { view->update(); };
        view->show();
    }

    // Standard input, a line at a time; its end ends a set that has no window.
    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char chunk[4096];
        const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n <= 0) {
            input.setEnabled(false);
            if (!window)
                set.Command("quit");
            return;
        }
        pending.append(chunk, n);
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0;) {
            const QString line = QString::fromLocal8Bit(pending.left(end));
            pending.remove(0, end + 1);
            set.Command(line);
        }
    });

    const int code = application.exec();
    set.OnChanged = nullptr;
    return code;
}
