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
// default input, whose name is the system's.
TEST_F(DeviceSearchTest, TheChosenInputComesFirstThenTheReceiverThenTheDefaultInput) {
    struct Case {
        const char* What;
        std::vector<std::string> Names;
        std::string Preferred;
        std::uint32_t Id;
        std::string Name;
        bool Receiver;
    };
    const Case cases[] = {
        {"no choice, the receiver there", {"Built-in Mic", "USB Headset"}, "", 1, "USB Headset", true},
        {"the choice there", {"Built-in Mic", "USB Headset"}, "Built-in Mic", 0, "Built-in Mic", false},
        {"the choice gone, the receiver there", {"USB Headset"}, "Webcam", 0, "USB Headset", true},
        {"the choice gone, no receiver",
         {"Built-in Mic"},
         "Webcam",
         platform::WAVE_MAPPER,
         "Default Mic",
         false},
        {"a choice differing in case only",
         {"built-in mic"},
         "Built-in Mic",
         platform::WAVE_MAPPER,
         "Default Mic",
         false},
        {"the receiver chosen by name", {"USB Headset"}, "USB Headset", 0, "USB Headset", true},
    };
    Devices.DefaultName = "Default Mic";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        Devices.Names = c.Names;
        Probe<CWaveRecorder> recorder;
        recorder.ChooseInput(c.Preferred);
        EXPECT_EQ(recorder.DeviceId(), c.Id);
        EXPECT_EQ(recorder.Input().Name, c.Name);
        EXPECT_EQ(recorder.Input().Receiver, c.Receiver);
        MemoryStore store(44100);
        recorder.SetDataStore(&store);
        EXPECT_EQ(Wave.Last()->DeviceId(), c.Id) << "the chosen device is the one opened";
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

// Little-endian 16-bit samples as captured bytes.
std::string SampleBytes(std::initializer_list<std::int16_t> samples) {
    std::string bytes;
    for (const std::int16_t v : samples) {
        bytes.push_back(static_cast<char>(v & 0xFF));
        bytes.push_back(static_cast<char>((v >> 8) & 0xFF));
    }
    return bytes;
}

// The level meter reads the loudest sample delivered since its last reading, from the samples on
// their way to the file.
TEST_F(CaptureTest, ThePeakIsTheLoudestSampleDeliveredSinceTheLastReading) {
    struct Case {
        const char* What;
        std::string Sound;
        int Peak;
    };
    const Case cases[] = {
        {"silence", SampleBytes({0, 0, 0, 0}), 0},
        {"a quiet hum, loudest negative", SampleBytes({100, -200, 50, 0}), 200},
        {"full scale, negative", SampleBytes({-32768, 5}), 32768},
        {"full scale, positive", SampleBytes({32767, -1}), 32767},
    };
    Probe<CWaveRecorder> recorder;
    MemoryStore store(44100);
    recorder.SetDataStore(&store);
    recorder.Start();
    platform::FakeWaveDevice* device = Wave.Last();
    std::size_t written = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        AllAtDevice();
        device->SetSound(c.Sound);
        device->Capture(8820);
        written += 8820;
        ASSERT_TRUE(WaitUntil([&] { return store.Written().size() == written; }));
        EXPECT_EQ(recorder.TakePeak(), c.Peak);
        EXPECT_EQ(recorder.TakePeak(), 0) << "a reading clears it";
    }
    // Two buffers between readings: the louder one counts, whichever came first.
    AllAtDevice();
    device->SetSound(SampleBytes({3000}));
    device->Capture(8820);
    device->SetSound(SampleBytes({-40}));
    device->Capture(8820);
    ASSERT_TRUE(WaitUntil([&] { return store.Written().size() == written + 2 * 8820; }));
    EXPECT_EQ(recorder.TakePeak(), 3000);
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
