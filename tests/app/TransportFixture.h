// The main window with every transport command reachable, for the command tests: the receiver is
// emulated (umockdev) so that state reports really go out, the sound devices are fakes the test
// drives, the timers tick when the test says, and the window's long waits only move a test clock.
#pragma once
#include "EmulatedHidBus.h"
#include "ProgramState.h"
#include "SorvinDlg.h"
#include "StartFolder.h"
#include "platform/PosixFileSystem.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeInstanceLock.h"
#include "platform/fakes/FakeMessageBoxes.h"
#include "platform/fakes/FakeWindowTimers.h"
#include "platform/wave/fake/FakeCaptureDevices.h"
#include "platform/wave/fake/FakeWaveService.h"
#include "wavefile/WaveWriter.h"

#include <QApplication>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace transporttest {

namespace fs = std::filesystem;

// The window's own waits (a second at the end of a file, three after a disk alert) only move the
// clock; the engine's short pauses between passes really pass, fifty times faster.
class TestClock : public platform::FakeClock {
public:
    void Sleep(unsigned milliseconds) override {
        if (milliseconds >= 500)
            FakeClock::Sleep(milliseconds);
        else
            std::this_thread::sleep_for(std::chrono::microseconds(milliseconds * 20));
    }
};

// The real file system with a free-space figure the test sets.
class SpaceFileSystem : public platform::PosixFileSystem {
public:
    bool GetDiskFreeSpace(const std::string&, std::uint64_t& bytes) override {
        bytes = FreeBytes;
        return true;
    }
    std::uint64_t FreeBytes = 1ull << 40;
};

inline bool WaitUntil(const std::function<bool()>& condition) {
    for (int i = 0; i < 10000 && !condition(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return condition();
}

constexpr int kReceiverNode = 2;
constexpr unsigned kSecondBytes = 88200; // 44.1 kHz mono 16-bit

// A recording of `tenths` tenths of a second with the given section lengths (seconds).
inline void MakeRecording(const fs::path& file, unsigned tenths, std::vector<unsigned> marks = {}) {
    CWaveWriter writer(file.c_str(), 44100, 1);
    std::string tenth(kSecondBytes / 10, '\0');
    for (unsigned i = 0; i < tenths; ++i) {
        unsigned length = static_cast<unsigned>(tenth.size());
        writer.Write(tenth.data(), &length);
    }
    for (unsigned m : marks)
        writer.AddSection(m);
    writer.Close();
}

class TransportWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "app_transport_tests";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }
    void SetUp() override {
        start = MakeStartFolder("tavlo-transport", "44100");
        rec = start / "rec";
        platform::SetInstanceLock(&lock);
        platform::SetMessageBoxes(&boxes);
        platform::SetWaveService(&wave);
        platform::SetCaptureDevices(&devices);
        platform::SetClock(&clock);
        platform::SetFileSystem(&files);
        bus.Add(Receiver(kReceiverNode));
        g_Format = "44100";
        g_FolderName = ".\\";
        g_Speed = 0;
        g_FileList.clear();
        g_CurFile = g_FileList.end();
    }
    void TearDown() override {
        dlg.reset();
        platform::SetInstanceLock(nullptr);
        platform::SetMessageBoxes(nullptr);
        platform::SetWaveService(nullptr);
        platform::SetCaptureDevices(nullptr);
        platform::SetClock(nullptr);
        platform::SetFileSystem(nullptr);
        fs::current_path(TAVLO_BIN_DIR);
        fs::remove_all(start);
    }
    void WriteSettings(const std::string& folder) {
        std::ofstream(start / "Recorder.ini")
            << "[Recorder]\nFormat=44100\nFF/RewindSpeed=8\nFloaderName=" << folder << "\n";
    }
    // Starts the window as a user finds it: the receiver answered and the remote's link is up.
    void Open() {
        dlg = std::make_unique<CSorvinDlg>();
        dlg->UseTimers(&timers);
        dlg->show();
        g_LinkUp = true;
        Commands();
    }
    void Press(int id) { QTest::mouseClick(dlg->ButtonById(id), Qt::LeftButton); }
    void Tick(unsigned id) { ASSERT_TRUE(timers.Tick(id)) << "timer " << id << " does not run"; }
    // The state and volume commands the receiver got since the last call, in order.
    std::vector<int> Commands() {
        const std::vector<std::uint8_t> raw = bus.PendingRawOutput(kReceiverNode);
        std::vector<int> commands;
        for (std::size_t i = 0; i + 8 <= raw.size(); i += 8)
            commands.push_back(raw[i + 3]);
        return commands;
    }
    // The remote's microphone delivers `tenths` tenths of a second of sound, a buffer at a time as
    // the capture device takes them.
    void Speak(int tenths) {
        platform::FakeWaveDevice* mic = wave.Last();
        for (int i = 0; i < tenths; ++i) {
            ASSERT_TRUE(WaitUntil([&] { return !mic->Held().empty(); }));
            mic->Capture(kSecondBytes / 10);
        }
    }
    std::vector<std::string> Folder() {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(rec))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::pair<int, int> Images(int id) { return dlg->ButtonById(id)->PictureIds(); }
    // The playing position in whole seconds, as the clock shows it.
    std::uint64_t Second() { return dlg->m_Player.m_pStore->Tell() / kSecondBytes; }

    fs::path start, rec;
    EmulatedHidBus bus;
    platform::FakeInstanceLock lock;
    platform::FakeMessageBoxes boxes;
    platform::FakeWindowTimers timers;
    platform::FakeWaveService wave;
    platform::FakeCaptureDevices devices{{"USB Headset"}};
    TestClock clock;
    SpaceFileSystem files;
    std::unique_ptr<CSorvinDlg> dlg;
};

} // namespace transporttest
