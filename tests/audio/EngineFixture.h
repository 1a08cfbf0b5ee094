#pragma once
#include "EngineTestSupport.h"
#include "platform/wave/fake/FakeCaptureDevices.h"
#include "platform/wave/fake/FakeWaveService.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace audiotest {

// Compares byte streams and, when they differ, says where instead of printing them whole.
inline ::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected) {
    const auto mismatch = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    if (mismatch.first == actual.end() && mismatch.second == expected.end())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "lengths " << actual.size() << " and " << expected.size() << ", first difference at byte "
           << (mismatch.first - actual.begin());
}

// Installs the quick clock, the fake wave service and a capture list without the receiver.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetClock(&Clock);
        platform::SetWaveService(&Wave);
        platform::SetCaptureDevices(&Devices);
    }
    void TearDown() override {
        platform::SetCaptureDevices(nullptr);
        platform::SetWaveService(nullptr);
        platform::SetClock(nullptr);
    }

    // All eight buffers in the free queue, each once, nothing elsewhere.
    template <class Engine> static void ExpectAllFree(const Probe<Engine>& engine) {
        const Places p = engine.Where();
        EXPECT_EQ(p.Free.size(), 8u);
        EXPECT_TRUE(p.Ready.empty());
        EXPECT_TRUE(p.Device.empty());
        EXPECT_EQ(std::set<platform::WAVEHDR*>(p.Free.begin(), p.Free.end()).size(), 8u);
    }

    QuickClock Clock;
    platform::FakeWaveService Wave;
    platform::FakeCaptureDevices Devices;
};

} // namespace audiotest
