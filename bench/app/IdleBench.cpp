// What a running Tavlo costs while it waits: the window shown, the 100 ms poll and the
// once-a-second device watch running on their real timers, nothing recorded or played. The
// receiver is emulated (umockdev), so run it under umockdev-wrapper, on a display (Xvfb):
//   xvfb-run -a umockdev-wrapper build/bin/tavlo_idle_bench [SECONDS] [--no-receiver]
// Prints the CPU time of the window's thread and of the whole process as a share of one core,
// and their context switches per second (each one a wake-up). The sound devices are fakes: an
// idle window does not touch them, and the ALSA card scan cannot run inside umockdev.
#include "EmulatedHidBus.h"
#include "ProgramState.h"
#include "SorvinDlg.h"
#include "platform/fakes/FakeInstanceLock.h"
#include "platform/wave/WaveDevice.h"
#include "platform/wave/fake/FakeCaptureDevices.h"
#include "platform/wave/fake/FakeWaveService.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Usage {
    double cpuSeconds = 0;
    long switches = 0;
};

Usage Now(int who) {
    rusage u{};
    getrusage(who, &u);
    Usage r;
    r.cpuSeconds = static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
                   static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    r.switches = u.ru_nvcsw + u.ru_nivcsw;
    return r;
}

void Print(const char* what, const Usage& a, const Usage& b, double seconds) {
    std::printf("%-22s CPU %6.3f %% of one core   %7.1f wake-ups/s\n", what,
                100.0 * (b.cpuSeconds - a.cpuSeconds) / seconds,
                static_cast<double>(b.switches - a.switches) / seconds);
}

} // namespace

int main(int argc, char** argv) {
    int seconds = 60;
    bool receiver = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-receiver") == 0)
            receiver = false;
        else
            seconds = std::atoi(argv[i]);
    }
    QApplication application(argc, argv);

    EmulatedHidBus bus;
    bus.Add(Keyboard(0));
    if (receiver)
        bus.Add(Receiver(2));

    const fs::path bin = fs::canonical("/proc/self/exe").parent_path();
    const fs::path start = fs::temp_directory_path() / ("tavlo-idle-" + std::to_string(::getpid()));
    fs::create_directories(start / "rec");
    fs::copy(bin / "res", start / "res", fs::copy_options::recursive);
    std::ofstream(start / "Recorder.ini")
        << "[Recorder]\nFormat=44100\nFF/RewindSpeed=8\nFloaderName=" << (start / "rec").string() << "\n";
    fs::current_path(start);
    platform::FakeInstanceLock lock;
    platform::SetInstanceLock(&lock);
    platform::FakeWaveService wave;
    platform::SetWaveService(&wave);
    platform::FakeCaptureDevices devices({"USB Headset"});
    platform::SetCaptureDevices(&devices);

    Usage threadStart, processStart;
    {
        CSorvinDlg dlg;
        dlg.show();
        // Two seconds to settle (first paints, the first watch ticks), then the measured run.
        QTimer::singleShot(2000, [&] {
            threadStart = Now(RUSAGE_THREAD);
            processStart = Now(RUSAGE_SELF);
            QTimer::singleShot(seconds * 1000, &application, &QApplication::quit);
        });
        application.exec();
        const Usage threadEnd = Now(RUSAGE_THREAD);
        const Usage processEnd = Now(RUSAGE_SELF);
        std::printf("idle window, receiver %s, %d s (status \"%s\")\n", receiver ? "present" : "absent",
                    seconds, dlg.m_strStatus.c_str());
        Print("window thread", threadStart, threadEnd, seconds);
        Print("whole process", processStart, processEnd, seconds);
        dlg.OnCancel();
    }
    fs::current_path(bin);
    fs::remove_all(start);
    return 0;
}
