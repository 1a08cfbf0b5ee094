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

// Which input records: the user's choice by name when it is there, else the receiver, else the
// default input, named as the system names it; the device chosen is the one opened.
TEST_F(DeviceSearchTest, TheChosenInputComesFirstThenTheReceiverThenTheDefaultInput) {
    struct Case {
        std::vector<std::string> Names;
        std::string Preferred, Name;
        std::uint32_t Id;
        bool Receiver;
    };
    const Case cases[] = {
        {{"Mic", "USB Headset"}, "", "USB Headset", 1, true},
        {{"Mic", "USB Headset"}, "Mic", "Mic", 0, false},
        {{"USB Headset"}, "Webcam", "USB Headset", 0, true},           // the choice is gone
        {{"mic"}, "Mic", "Default Mic", platform::WAVE_MAPPER, false}, // names match in case too
    };
    Devices.DefaultName = "Default Mic";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Preferred + " -> " + c.Name);
        Devices.Names = c.Names;
        CWaveRecorder recorder;
        recorder.ChooseInput(c.Preferred);
        EXPECT_EQ(recorder.Input().Name, c.Name);
        EXPECT_EQ(recorder.Input().Receiver, c.Receiver);
        MemoryStore store(44100);
        recorder.SetDataStore(&store);
        EXPECT_EQ(Wave.Last()->DeviceId(), c.Id);
        recorder.Stop();
    }
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

// The level meter reads the loudest sample delivered since its last reading, taken from the
// samples on their way to the file.
TEST_F(CaptureTest, ThePeakIsTheLoudestSampleDeliveredSinceTheLastReading) {
    struct Case {
        std::vector<std::vector<std::int16_t>> Buffers; // the sound of each buffer between readings
        int Peak;
    };
    const Case cases[] = {
        {{{0, 0}}, 0},
        {{{100, -200, 50}}, 200},
        {{{-32768, 5}}, 32768}, // the one magnitude a 16-bit sample cannot hold
        {{{32767, -1}}, 32767},
        {{{3000}, {-40}}, 3000}, // the louder of two buffers, though the quieter came last
        {{}, 0},                 // a reading clears it
    };
    Probe<CWaveRecorder> recorder;
    MemoryStore store(44100);
    recorder.SetDataStore(&store);
    recorder.Start();
    std::size_t written = 0;
    for (const Case& c : cases) {
        for (const auto& sound : c.Buffers) {
            AllAtDevice();
            Wave.Last()->SetSound(sound);
            Wave.Last()->Capture(8820);
            written += 8820;
        }
        ASSERT_TRUE(WaitUntil([&] { return store.Written().size() == written; }));
        EXPECT_EQ(recorder.TakePeak(), c.Peak) << c.Buffers.size();
    }
    recorder.Stop();
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
