// The receiver as a sound server's source: found by the server's name for it, and recorded from
// through the server. Run by with-headset-source, which provides the server and the source.
#include "platform/wave/AlsaCaptureDevices.h"
#include "platform/wave/AlsaCaptureList.h"
#include "platform/wave/WaveDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

using namespace platform;

namespace {

constexpr unsigned kBufferBytes = 9600; // a tenth of a second at 48 kHz, 16-bit mono
constexpr std::size_t kBuffers = 3;

struct Captured {
    static void Callback(HWAVE, unsigned message, std::uintptr_t instance, std::uintptr_t, std::uintptr_t) {
        auto* self = reinterpret_cast<Captured*>(instance);
        std::lock_guard lock(self->Lock);
        if (message == WIM_DATA)
            ++self->Returned;
        self->Changed.notify_all();
    }
    bool WaitForAll() {
        std::unique_lock lock(Lock);
        return Changed.wait_for(lock, std::chrono::seconds(20), [&] { return Returned >= kBuffers; });
    }
    std::mutex Lock;
    std::condition_variable Changed;
    std::size_t Returned = 0;
};

std::vector<unsigned> ReceiverIds() {
    AlsaCaptureDevices devices;
    std::vector<unsigned> ids;
    for (unsigned i = 0; i < devices.Count(); ++i)
        if (devices.ProductName(i) == "USB Headset")
            ids.push_back(i);
    return ids;
}

TEST(ServerSource, TheReceiverKnownOnlyToTheServerIsListedOnce) {
    ASSERT_TRUE(std::getenv("PULSE_SERVER")) << "run through with-headset-source";
    EXPECT_EQ(ReceiverIds().size(), 1u);
}

TEST(ServerSource, RecordingFromTheReceiverBringsItsSound) {
    const auto ids = ReceiverIds();
    ASSERT_EQ(ids.size(), 1u);
    Captured captured;
    const WAVEFORMATEX format = {WAVE_FORMAT_PCM, 1, 48000, 96000, 2, 16, 0};
    IWaveIn* in = nullptr;
    ASSERT_EQ(WaveService().InOpen(&in, ids[0], &format, Captured::Callback,
                                   reinterpret_cast<std::uintptr_t>(&captured)),
              MMSYSERR_NOERROR);
    std::vector<std::vector<std::int16_t>> data(kBuffers, std::vector<std::int16_t>(kBufferBytes / 2));
    std::vector<WAVEHDR> headers(kBuffers);
    for (std::size_t i = 0; i < kBuffers; ++i) {
        headers[i] = WAVEHDR{};
        headers[i].lpData = reinterpret_cast<char*>(data[i].data());
        headers[i].dwBufferLength = kBufferBytes;
        in->PrepareHeader(&headers[i], sizeof(WAVEHDR));
        in->AddBuffer(&headers[i], sizeof(WAVEHDR));
    }
    in->Start();
    const bool all = captured.WaitForAll();
    in->Reset();
    for (WAVEHDR& header : headers)
        in->UnprepareHeader(&header, sizeof(WAVEHDR));
    in->Close();

    ASSERT_TRUE(all);
    for (std::size_t i = 0; i < kBuffers; ++i) {
        EXPECT_EQ(headers[i].dwBytesRecorded, kBufferBytes) << "buffer " << i;
        int loudest = 0;
        for (std::int16_t sample : data[i])
            loudest = std::max(loudest, std::abs(int(sample)));
        // The sine source plays at half of full scale; the other sources give silence.
        EXPECT_GT(loudest, 1000) << "buffer " << i;
    }
}

// The settings dialog names the default input by the server's name for it; no server, no name.
TEST(ServerSource, TheDefaultInputIsNamedAsTheServerNamesItsSources) {
    const std::string server = std::getenv("PULSE_SERVER") ? std::getenv("PULSE_SERVER") : "";
    ASSERT_EQ(std::system("pactl set-default-source tavlo_headset"), 0);
    EXPECT_EQ(AlsaCaptureDevices().DefaultInputName(), "USB Headset");
    ASSERT_EQ(std::system("pactl set-default-source tavlo_sine"), 0);
    const std::string sine = AlsaCaptureDevices().DefaultInputName();
    EXPECT_FALSE(sine.empty());
    EXPECT_NE(sine, "USB Headset");
    ::setenv("PULSE_SERVER", "unix:/nonexistent/tavlo/native", 1);
    EXPECT_EQ(AlsaCaptureDevices().DefaultInputName(), "");
    ::setenv("PULSE_SERVER", server.c_str(), 1);
    std::system("pactl set-default-source tavlo_source");
}

TEST(ServerSource, WithoutAServerTheListIsAlsasAlone) {
    const std::string server = std::getenv("PULSE_SERVER") ? std::getenv("PULSE_SERVER") : "";
    ::setenv("PULSE_SERVER", "unix:/nonexistent/tavlo/native", 1);
    const auto list = AlsaCaptureList();
    ::setenv("PULSE_SERVER", server.c_str(), 1);

    for (const AlsaCaptureEntry& entry : list) {
        EXPECT_NE(entry.ProductName, "USB Headset") << entry.PcmName;
        EXPECT_FALSE(entry.PcmName.starts_with("pulse:DEVICE=")) << entry.PcmName;
    }
}

} // namespace
