// The ALSA wave devices against the private sound server of scripts/services/pulseaudio.
#include "platform/wave/AlsaCaptureDevices.h"
#include "platform/wave/WaveDevice.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

using namespace platform;

namespace {

bool HaveServer() {
    return std::getenv("PULSE_SERVER") && std::getenv("TAVLO_PULSE_DIR");
}

#define NEED_SERVER()                                                                                        \
    if (!HaveServer())                                                                                       \
    GTEST_SKIP() << "no private sound server: run through scripts/test (scripts/services/pulseaudio)"

// Collects the notifications of one device, in the order they arrive.
struct Returns {
    static void Callback(HWAVE, unsigned message, std::uintptr_t instance, std::uintptr_t param1,
                         std::uintptr_t) {
        auto* self = reinterpret_cast<Returns*>(instance);
        std::lock_guard lock(self->Lock);
        self->Messages.push_back(message);
        self->Headers.push_back(reinterpret_cast<WAVEHDR*>(param1));
        self->Changed.notify_all();
    }
    // Waits (bounded, so a broken device fails instead of hanging) until n buffers came back.
    bool WaitFor(std::size_t n) {
        std::unique_lock lock(Lock);
        return Changed.wait_for(lock, std::chrono::seconds(20), [&] { return Headers.size() >= n; });
    }
    std::size_t Count() {
        std::lock_guard lock(Lock);
        return Headers.size();
    }
    std::vector<std::uintptr_t> Order() {
        std::lock_guard lock(Lock);
        std::vector<std::uintptr_t> ids;
        for (WAVEHDR* h : Headers)
            ids.push_back(h->dwUser);
        return ids;
    }
    std::mutex Lock;
    std::condition_variable Changed;
    std::vector<unsigned> Messages;
    std::vector<WAVEHDR*> Headers;
};

WAVEFORMATEX Mono16(unsigned rate) {
    return {WAVE_FORMAT_PCM, 1, rate, rate * 2, 2, 16, 0};
}

// Buffers of `bytes` each, numbered in dwUser, holding a quiet ramp.
struct Buffers {
    Buffers(std::size_t count, unsigned bytes) : Data(count, std::vector<char>(bytes)), Headers(count) {
        for (std::size_t i = 0; i < count; ++i) {
            for (unsigned j = 0; j < bytes; ++j)
                Data[i][j] = static_cast<char>(j % 16);
            Headers[i] = WAVEHDR{};
            Headers[i].lpData = Data[i].data();
            Headers[i].dwBufferLength = bytes;
            Headers[i].dwUser = i;
        }
    }
    std::vector<std::vector<char>> Data;
    std::vector<WAVEHDR> Headers;
};

std::vector<std::uintptr_t> Range(std::uintptr_t from, std::uintptr_t to) {
    std::vector<std::uintptr_t> v;
    for (std::uintptr_t i = from; i < to; ++i)
        v.push_back(i);
    return v;
}

unsigned ReceiverId() {
    AlsaCaptureDevices devices;
    for (unsigned i = 0; i < devices.Count(); ++i)
        if (devices.ProductName(i) == "USB Headset")
            return i;
    return WAVE_MAPPER;
}

TEST(AlsaCaptureList, TheReceiverIsListedUnderItsProductName) {
    NEED_SERVER();
    EXPECT_NE(ReceiverId(), WAVE_MAPPER);
}

TEST(AlsaCaptureList, AlsasOwnHelperPcmsAreNotOfferedAsCaptureDevices) {
    NEED_SERVER();
    AlsaCaptureDevices devices;
    for (unsigned i = 0; i < devices.Count(); ++i) {
        const std::string name = devices.ProductName(i);
        EXPECT_EQ(name.find("Discard all samples"), std::string::npos) << name; // "null"
        EXPECT_EQ(name.find("Rate Converter"), std::string::npos) << name;
        EXPECT_EQ(name.find("Default ALSA"), std::string::npos) << name;
    }
    EXPECT_EQ(devices.ProductName(devices.Count()), "");
}

TEST(AlsaOpen, BadRequestsAreRefusedWithTheirReason) {
    NEED_SERVER();
    Returns returns;
    IWaveIn* in = nullptr;
    WAVEFORMATEX format = Mono16(44100);
    EXPECT_EQ(WaveService().InOpen(&in, 1000, &format, Returns::Callback, 0), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(in, nullptr);
    format.wBitsPerSample = 12;
    IWaveOut* out = nullptr;
    EXPECT_EQ(WaveService().OutOpen(&out, WAVE_MAPPER, &format, Returns::Callback, 0), WAVERR_BADFORMAT);
    EXPECT_EQ(out, nullptr);
}

class AlsaPlayback : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveServer())
            GTEST_SKIP() << "no private sound server: run through scripts/test (scripts/services/pulseaudio)";
        const WAVEFORMATEX format = Mono16(44100);
        ASSERT_EQ(WaveService().OutOpen(&Out, WAVE_MAPPER, &format, Returns::Callback,
                                        reinterpret_cast<std::uintptr_t>(&Back)),
                  MMSYSERR_NOERROR);
    }
    void TearDown() override {
        if (Out)
            Out->Close();
    }
    void Write(Buffers& b, std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            ASSERT_EQ(Out->PrepareHeader(&b.Headers[i], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
            ASSERT_EQ(Out->Write(&b.Headers[i], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        }
    }
    IWaveOut* Out = nullptr;
    Returns Back;
};

TEST_F(AlsaPlayback, BuffersComeBackOncePlayedInTheOrderWrittenOneNotificationEach) {
    Buffers b(5, 8820);
    Write(b, 0, 5);
    ASSERT_TRUE(Back.WaitFor(5));
    EXPECT_EQ(Back.Order(), Range(0, 5));
    for (unsigned m : Back.Messages)
        EXPECT_EQ(m, WOM_DONE);
    for (auto& h : b.Headers) {
        EXPECT_TRUE(h.dwFlags & WHDR_DONE);
        EXPECT_EQ(Out->UnprepareHeader(&h, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }
}

TEST_F(AlsaPlayback, AfterRunningDryPlaybackGoesOnInOrder) {
    Buffers b(5, 4410);
    Write(b, 0, 2);
    ASSERT_TRUE(Back.WaitFor(2));
    std::this_thread::sleep_for(std::chrono::milliseconds(400)); // the ring runs empty: an underrun
    Write(b, 2, 5);
    ASSERT_TRUE(Back.WaitFor(5));
    EXPECT_EQ(Back.Order(), Range(0, 5));
}

TEST_F(AlsaPlayback, ResetHandsEveryBufferBackBeforeItReturns) {
    Buffers b(6, 22050); // half a second each
    Write(b, 0, 6);
    EXPECT_EQ(Out->Reset(), MMSYSERR_NOERROR);
    EXPECT_EQ(Back.Order(), Range(0, 6));
    EXPECT_EQ(Out->UnprepareHeader(&b.Headers[5], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
}

TEST_F(AlsaPlayback, PauseHoldsTheBuffersAndRestartPlaysThemAll) {
    Buffers b(10, 8820);
    Write(b, 0, 10);
    Out->Pause();
    const std::size_t atPause = Back.Count();
    std::this_thread::sleep_for(std::chrono::milliseconds(500)); // five buffers' worth
    EXPECT_EQ(Back.Count(), atPause);
    EXPECT_LT(atPause, 10u);
    Out->Restart();
    ASSERT_TRUE(Back.WaitFor(10));
    EXPECT_EQ(Back.Order(), Range(0, 10));
}

TEST_F(AlsaPlayback, AStillQueuedBufferCannotBeUnprepared) {
    Buffers b(4, 44100);
    Write(b, 0, 4);
    EXPECT_EQ(Out->UnprepareHeader(&b.Headers[3], sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
    Out->Reset();
}

class AlsaCapture : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveServer())
            GTEST_SKIP() << "no private sound server: run through scripts/test (scripts/services/pulseaudio)";
        const WAVEFORMATEX format = Mono16(44100);
        ASSERT_EQ(WaveService().InOpen(&In, ReceiverId(), &format, Returns::Callback,
                                       reinterpret_cast<std::uintptr_t>(&Back)),
                  MMSYSERR_NOERROR);
    }
    void TearDown() override {
        if (In)
            In->Close();
    }
    void Add(Buffers& b, std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            ASSERT_EQ(In->PrepareHeader(&b.Headers[i], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
            ASSERT_EQ(In->AddBuffer(&b.Headers[i], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        }
    }
    IWaveIn* In = nullptr;
    Returns Back;
};

TEST_F(AlsaCapture, FilledBuffersComeBackFullInTheOrderAdded) {
    Buffers b(4, 8820);
    Add(b, 0, 4);
    In->Start();
    ASSERT_TRUE(Back.WaitFor(4));
    EXPECT_EQ(Back.Order(), Range(0, 4));
    for (auto& h : b.Headers)
        EXPECT_EQ(h.dwBytesRecorded, 8820u);
    for (unsigned m : Back.Messages)
        EXPECT_EQ(m, WIM_DATA);
}

TEST_F(AlsaCapture, NothingIsCapturedBeforeStart) {
    Buffers b(1, 882);
    Add(b, 0, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(200)); // ten times the buffer's length
    EXPECT_EQ(Back.Count(), 0u);
    In->Reset();
    EXPECT_EQ(b.Headers[0].dwBytesRecorded, 0u);
}

TEST_F(AlsaCapture, StopReturnsThePartBufferAndKeepsTheRestForTheNextStart) {
    Buffers b(3, 441000); // ten seconds each: the first is certainly in progress at Stop
    Add(b, 0, 3);
    In->Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    In->Stop();
    ASSERT_EQ(Back.Order(), Range(0, 1));
    EXPECT_GT(b.Headers[0].dwBytesRecorded, 0u);
    EXPECT_LT(b.Headers[0].dwBytesRecorded, 441000u);
    EXPECT_EQ(b.Headers[0].dwBytesRecorded % 2, 0u);
    In->Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    In->Reset();
    EXPECT_EQ(Back.Order(), Range(0, 3));
    EXPECT_GT(b.Headers[1].dwBytesRecorded, 0u);
    EXPECT_EQ(b.Headers[2].dwBytesRecorded, 0u);
}

TEST_F(AlsaCapture, AfterAnOverrunCaptureGoesOnInOrder) {
    Buffers b(4, 4410);
    Add(b, 0, 1);
    In->Start();
    ASSERT_TRUE(Back.WaitFor(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(400)); // no buffer queued: the ring overflows
    Add(b, 1, 4);
    ASSERT_TRUE(Back.WaitFor(4));
    EXPECT_EQ(Back.Order(), Range(0, 4));
    for (auto& h : b.Headers)
        EXPECT_EQ(h.dwBytesRecorded, 4410u);
}

} // namespace
