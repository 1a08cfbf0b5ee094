// The main window with every command reachable, for the transport and remote-unit tests: the
// receiver is emulated (umockdev, so the executables run under umockdev-wrapper) and the test
// reads the output reports it received; the sound devices are fakes the test drives; the timers
// tick when the test says; the window's own waits only move a test clock and are recorded.
#pragma once
#include "EmulatedHidBus.h"
#include "ProgramState.h"
#include "SorvinDlg.h"
#include "platform/PosixFileSystem.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeInstanceLock.h"
#include "platform/fakes/FakeMessageBoxes.h"
#include "platform/fakes/FakeWindowTimers.h"
#include "platform/wave/fake/FakeCaptureDevices.h"
#include "platform/wave/fake/FakeWaveService.h"

#include <QApplication>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace apptest {

namespace fs = std::filesystem;

// The window's own waits (the 500 ms flash, a second at the end of a file, two on reconnect, three
// after a disk alert) only move the clock, and a test may look at the window while one of them
// blocks it. The audio engine's short pauses between passes really pass, fifty times faster.
class TestClock : public platform::FakeClock {
public:
    void Sleep(unsigned milliseconds) override;
    std::function<void(unsigned)> DuringSleep;

private:
    const std::thread::id m_Window = std::this_thread::get_id();
};

// The real file system with a free-space figure the test sets.
class SpaceFileSystem : public platform::PosixFileSystem {
public:
    bool GetDiskFreeSpace(const std::string&, std::uint64_t& bytes) override {
        if (DuringCheck)
            DuringCheck();
        bytes = FreeBytes;
        return !FreeSpaceFails;
    }
    std::function<void()> DuringCheck;
    std::uint64_t FreeBytes = 1ull << 40;
    bool FreeSpaceFails = false;
};

// A recording of `tenths` tenths of a second (44.1 kHz mono) with the given section lengths (seconds).
void MakeRecording(const fs::path& file, unsigned tenths, std::vector<unsigned> marks = {});
// a.wav (10 s, sections at 0 and 4 s), b.wav and c.wav (3 s each) in `folder`.
void MakeThreeRecordings(const fs::path& folder);

// Polls until `condition` holds (the engine's threads catch up), for at most ten seconds.
bool WaitUntil(const std::function<bool()>& condition);

// The receiver with reports of `length` bytes (report number included) each way.
EmulatedDevice ReceiverWithReports(int node, int length);

constexpr int kReceiverNode = 2;
constexpr int kPedalNode = 20;
constexpr unsigned kSecondBytes = 88200; // 44.1 kHz mono 16-bit

// The free-space check (at start-up, Record, Volume up, the keep-alive) finds room and, while
// idle, reports idle.
inline constexpr int kRoomChecked = 0xC0;

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Between the cases of a table: a new window on a new bus.
    void NextCase() {
        TearDown();
        SetUp();
    }
    // Names `folder` as the recordings folder.
    void WriteSettings(const std::string& folder);

    // Plugs the receiver in (reports of `length` bytes) and starts the window as it starts.
    void Start(int length = 8);
    // Starts the window as a user finds it: the receiver answered, the remote's link is up, and
    // the start-up reports are read.
    void Open();

    void Press(int id) { QTest::mouseClick(dlg->ButtonById(id), Qt::LeftButton); }
    void Tick(unsigned id) { ASSERT_TRUE(timers.Tick(id)) << "timer " << id << " does not run"; }
    // The commands (output byte 3) the receiver got since the last call, in order. Every report
    // must be as long as the device's reports with nothing but the command set.
    std::vector<int> Commands();
    // The remote unit reports `event`; the poll reads it.
    void Report(std::uint8_t event);
    void Unplug();
    void Plug();
    // The foot pedal plugged in (on a new node each time) and pulled out; Pedals sends the pedals
    // held now (bit 0 left, 1 middle, 2 right) in one report and lets the pedal timer read it.
    void PlugPedal() { bus->Add(FootPedal(pedalNode)); }
    void UnplugPedal() { bus->Remove(pedalNode++); }
    void Pedals(std::uint8_t bits) {
        bus->SendInput(pedalNode, {0, bits});
        Tick(7);
    }

    // The remote's microphone delivers `tenths` tenths of a second of sound, a buffer at a time as
    // the capture device takes them.
    void Speak(int tenths);
    // The playing position in whole seconds, as the clock shows it.
    std::uint64_t Second() { return dlg->m_Player.m_pStore->Tell() / kSecondBytes; }
    // The output device takes everything: playback runs to the end of the file.
    void PlayOut();
    // Setup, its dialog closed as soon as it shows.
    void RunSetup();
    // The names in the recordings folder, sorted.
    std::vector<std::string> Folder();
    // Section start seconds of `file` as the program's reader lists them.
    static std::vector<std::uint32_t> SectionStarts(const fs::path& file);
    std::pair<int, int> Images(int id) { return dlg->ButtonById(id)->PictureIds(); }
    // The picture file (e.g. "battery-4") the label shows, or "" when it shows none of them.
    std::string Picture(const QLabel& label, const char* kind, int count);
    std::string Battery() { return Picture(dlg->m_BatteryPicture, "battery", 6); }
    std::string Volume() { return Picture(dlg->m_VolumePicture, "vol", 8); }

    fs::path start, rec;
    platform::FakeInstanceLock lock;
    platform::FakeMessageBoxes boxes;
    platform::FakeWindowTimers timers;
    platform::FakeWaveService wave;
    platform::FakeCaptureDevices devices{{"USB Headset"}};
    TestClock clock;
    SpaceFileSystem files;
    std::unique_ptr<EmulatedHidBus> bus; // a fresh testbed for every case
    std::unique_ptr<CSorvinDlg> dlg;
    int node = kReceiverNode;
    int pedalNode = kPedalNode;
    int reportLength = 8;
    bool plugged = false;
};

} // namespace apptest
