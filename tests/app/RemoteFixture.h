// The main window against an emulated receiver (umockdev, as Kelvane's tests): key reports go in
// through the device, and the test reads the output reports the device received. Timers tick
// when the test says so; the clock's waits (the 500 ms flash, the 2 s reconnect wait) pass at
// once and are recorded. The executable runs under umockdev-wrapper.
#pragma once
#include "EmulatedHidBus.h"
#include "ProgramState.h"
#include "SorvinDlg.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeInstanceLock.h"
#include "platform/fakes/FakeMessageBoxes.h"
#include "platform/fakes/FakeWindowTimers.h"
#include "platform/wave/WaveDevice.h"
#include "platform/wave/fake/FakeCaptureDevices.h"
#include "platform/wave/fake/FakeWaveService.h"

#include <QApplication>
#include <QImage>
#include <chrono>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// A fake clock that lets a test look at the window while one of its waits blocks it. The audio
// engine's short pauses between passes (on its own threads) really pass, fifty times faster.
class WatchedClock : public platform::FakeClock {
public:
    void Sleep(unsigned milliseconds) override {
        if (std::this_thread::get_id() != m_Window) {
            std::this_thread::sleep_for(std::chrono::microseconds(milliseconds * 20));
            return;
        }
        if (DuringSleep)
            DuringSleep(milliseconds);
        FakeClock::Sleep(milliseconds);
    }
    std::function<void(unsigned)> DuringSleep;

private:
    const std::thread::id m_Window = std::this_thread::get_id();
};

// The free-space check (at start-up, Volume up, the keep-alive) finds room and, while idle,
// reports idle.
inline constexpr std::uint8_t kRoomChecked = 0xC0;

// The receiver with reports of `length` bytes (report number included) each way.
EmulatedDevice ReceiverWithReports(int node, int length);

class RemoteWindow : public ::testing::Test {
protected:
    static constexpr int kFirstNode = 2;
    static constexpr std::uint8_t kMarker = 0x5A; // a command the window never sends

    void SetUp() override;
    void TearDown() override;
    // Between the cases of a table: a new window on a new bus.
    void NextCase() {
        TearDown();
        SetUp();
    }
    // Plugs the receiver in (reports of `reportLength` bytes) and starts the window.
    void Start(int reportLength = 8);

    // The commands (output byte 3) the receiver got since the last call, in order. Every report
    // must be as long as the device's reports with nothing but the command set.
    std::vector<std::uint8_t> Sent();
    // The remote unit reports `event`; the poll reads it.
    void Report(std::uint8_t event);
    void Unplug();
    void Plug();
    // The picture file (e.g. "battery-4") the label shows, or "" when it shows none of them.
    std::string Picture(const QLabel& label, const char* kind, int count);
    std::string Battery() { return Picture(dlg->m_BatteryPicture, "battery", 6); }
    std::string Volume() { return Picture(dlg->m_VolumePicture, "vol", 8); }

    std::filesystem::path start;
    platform::FakeInstanceLock lock;
    platform::FakeMessageBoxes boxes;
    platform::FakeWindowTimers timers;
    platform::FakeWaveService wave;
    platform::FakeCaptureDevices captureDevices{std::vector<std::string>{"USB Headset"}};
    WatchedClock clock;
    std::unique_ptr<EmulatedHidBus> bus; // a fresh testbed for every case
    std::unique_ptr<CSorvinDlg> dlg;
    int node = kFirstNode;
    int reportLength = 8;
    std::vector<std::uint8_t> pending; // output bytes read past the marker
};
