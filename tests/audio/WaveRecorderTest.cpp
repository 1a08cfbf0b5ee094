#include "EngineFixture.h"

using namespace audiotest;

namespace {

class DeviceSearchTest : public EngineTest {
protected:
    std::uint32_t Found(std::vector<std::string> names) {
        Devices.Names = std::move(names);
        CWaveRecorder recorder;
        return recorder.DeviceId();
    }
};

TEST_F(DeviceSearchTest, TheReceiverIsFoundByItsProductName) {
    EXPECT_EQ(Found({"Built-in Audio", "USB Headset"}), 1u);
}

TEST_F(DeviceSearchTest, OfTwoReceiversTheLowerIdentifierWins) {
    EXPECT_EQ(Found({"Webcam", "USB Headset", "USB Headset"}), 1u);
}

TEST_F(DeviceSearchTest, OnlyTheWholeNameInTheSameCaseMatches) {
    EXPECT_EQ(Found({"USB Headset 2", "usb headset", "USB HEADSET", " USB Headset"}), platform::WAVE_MAPPER);
}

TEST_F(DeviceSearchTest, WithoutDevicesTheDefaultInputIsUsed) {
    EXPECT_EQ(Found({}), platform::WAVE_MAPPER);
}

TEST_F(DeviceSearchTest, ADeviceWhoseNameCannotBeReadIsPassedOver) {
    EXPECT_EQ(Found({"", "USB Headset"}), 1u);
}

TEST_F(DeviceSearchTest, TheSearchRunsOnceAtConstruction) {
    Devices.Names = {"Built-in Audio"};
    Probe<CWaveRecorder> recorder;
    Devices.Names = {"USB Headset"}; // plugged in later
    MemoryStore store(44100);
    recorder.SetDataStore(&store);
    EXPECT_EQ(Wave.Last()->DeviceId(), platform::WAVE_MAPPER);
    EXPECT_FALSE(Wave.Last()->IsOutput());
    recorder.Stop();
}

TEST_F(DeviceSearchTest, TheFoundDeviceIsTheOneOpened) {
    Devices.Names = {"Built-in Audio", "USB Headset"};
    Probe<CWaveRecorder> recorder;
    MemoryStore store(48000);
    recorder.SetDataStore(&store);
    EXPECT_EQ(Wave.Last()->DeviceId(), 1u);
    recorder.Stop();
}

class CaptureTest : public EngineTest {
protected:
    // Waits until the device holds all eight buffers, so that every captured byte has a place.
    void AllAtDevice() {
        ASSERT_TRUE(WaitUntil([&] { return Wave.Last()->Held().size() == 8; }));
    }
};

TEST_F(CaptureTest, EveryCapturedByteReachesTheStoreIncludingPartsAtAPauseAndAtTheEnd) {
    Probe<CWaveRecorder> recorder;
    MemoryStore store(44100);
    recorder.SetDataStore(&store);
    recorder.Start();
    AllAtDevice();
    platform::FakeWaveDevice* device = Wave.Last();

    device->Capture(8820 * 2 + 4410); // two full buffers and half of the third
    ASSERT_TRUE(WaitUntil([&] { return store.Written().size() == 8820u * 2; }));
    recorder.DevicePause(); // a section mark: the half buffer comes back with its half
    ASSERT_TRUE(WaitUntil([&] { return store.Written().size() == 8820u * 2 + 4410; }));
    device->Capture(1000); // nothing is captured while stopped
    recorder.DeviceRestart();
    AllAtDevice();
    device->Capture(8820 + 777);
    recorder.Stop(); // the partial last buffer goes to the store inside Halt

    // The stream is continuous: the bytes offered while paused were not captured, so the pattern
    // skips them, and the buffer after the restart starts with the first byte after it.
    const std::string all = CapturePattern(8820 * 3 + 4410 + 1000 + 777);
    const std::string expected = all.substr(0, 8820 * 2 + 4410) + all.substr(8820 * 2 + 4410 + 1000);
    EXPECT_TRUE(SameBytes(store.Written(), expected));
    const auto lengths = store.WriteLengths();
    ASSERT_GE(lengths.size(), 5u);
    EXPECT_EQ(lengths[0], 8820u);
    EXPECT_EQ(lengths[1], 8820u);
    EXPECT_EQ(lengths[2], 4410u);
    EXPECT_EQ(lengths[3], 8820u);
    EXPECT_EQ(lengths[4], 777u);
}

TEST_F(CaptureTest, AHaltLeavesNoCapturedByteUnwritten) {
    Probe<CWaveRecorder> recorder;
    MemoryStore store(48000);
    recorder.SetDataStore(&store);
    recorder.Start();
    AllAtDevice();
    Wave.Last()->Capture(9600 * 5 + 3);
    recorder.Halt();
    EXPECT_TRUE(SameBytes(store.Written(), CapturePattern(9600 * 5 + 3)));
    ExpectAllFree(recorder);
    recorder.Stop();
}

} // namespace
