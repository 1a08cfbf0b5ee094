#include "EngineFixture.h"
#include "ToneCheck.h"
#include "WaveTestFiles.h"
#include "wavefile/FileName.h"
#include "wavefile/WaveReader.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <memory>

using namespace audiotest;

namespace {

std::string Samples(std::size_t count) {
    std::string s(count, '\0');
    for (std::size_t i = 0; i < count; ++i)
        s[i] = static_cast<char>((i * 7 + i / 4099) & 0xFF);
    return s;
}

class PlayerTest : public EngineTest {};

TEST_F(PlayerTest, PlaysEveryByteInOrderWithAShorterLastBuffer) {
    Probe<CWavePlayer> player;
    const std::string data = Samples(8820 * 11 + 1234); // not a multiple of the buffer size
    MemoryStore store(44100, 16, 1, data);
    ASSERT_TRUE(player.SetDataStore(&store));
    Wave.Last()->SetAutoComplete(true);
    ASSERT_TRUE(player.Start());
    ASSERT_TRUE(WaitUntil([&] { return Wave.Last()->Played().size() >= data.size(); }));
    EXPECT_TRUE(SameBytes(Wave.Last()->Played(), data));
    player.Stop();
}

TEST_F(PlayerTest, PlaybackOpensTheDefaultOutput) {
    Probe<CWavePlayer> player;
    MemoryStore store(44100);
    player.SetDataStore(&store);
    EXPECT_TRUE(Wave.Last()->IsOutput());
    EXPECT_EQ(Wave.Last()->DeviceId(), platform::WAVE_MAPPER);
    player.Stop();
}

TEST_F(PlayerTest, AFortyEightKiloHertzFilePlaysInNineThousandSixHundredByteBuffers) {
    Probe<CWavePlayer> player;
    const std::string data = Samples(96000);
    MemoryStore store(48000, 16, 1, data);
    player.SetDataStore(&store);
    EXPECT_EQ(player.m_BufferSize, 9600u);
    EXPECT_EQ(10 * player.m_BufferSize, player.Format().nAvgBytesPerSec);
    player.Start();
    ASSERT_TRUE(WaitUntil([&] { return Wave.Last()->Held().size() == 8; }));
    for (platform::WAVEHDR* b : Wave.Last()->Held())
        EXPECT_EQ(b->dwBufferLength, 9600u);
    player.Stop();
}

// At the end of the store the free buffers stay idle; the fill is tried again when a buffer
// comes back (nothing else can give the store more while the player runs), not on a timer.
TEST_F(PlayerTest, AtTheEndOfTheStoreBuffersStayIdleAndFillingIsRetried) {
    Probe<CWavePlayer> player;
    MemoryStore store(44100, 16, 1, Samples(8820 * 2)); // two buffers' worth
    player.SetDataStore(&store);
    player.Start();
    ASSERT_TRUE(WaitUntil([&] { return Wave.Last()->Held().size() == 2; }));
    const auto reads = store.Reads();
    Wave.Last()->Complete(1);
    ASSERT_TRUE(WaitUntil([&] { return store.Reads() > reads; }));
    EXPECT_EQ(Wave.Last()->Held().size(), 1u);
    player.Halt();
    ExpectAllFree(player);
    const auto calls = Wave.Last()->Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Write"), 2);
    player.Stop();
}

TEST_F(PlayerTest, WhilePausedNoBufferComesBackAndAllEightEndUpFilled) {
    Probe<CWavePlayer> player;
    MemoryStore store(44100, 16, 1, Samples(88200 * 3));
    player.SetDataStore(&store);
    player.Start();
    player.DevicePause();
    ASSERT_TRUE(WaitUntil([&] { return Wave.Last()->Held().size() == 8; }));
    EXPECT_EQ(store.Tell(), 8u * 8820u);
    player.DeviceRestart();
    Wave.Last()->Complete(8);
    ASSERT_TRUE(WaitUntil([&] { return Wave.Last()->Held().size() == 8 && store.Tell() == 16u * 8820u; }));
    const auto calls = Wave.Last()->Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Pause"), 1);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Restart"), 1);
    player.Stop();
}

TEST_F(PlayerTest, JumpingWhilePausedHaltsSeeksAndStartsWithoutARestart) {
    Probe<CWavePlayer> player;
    MemoryStore store(44100, 16, 1, Samples(88200 * 5));
    player.SetDataStore(&store);
    player.Start();
    player.DevicePause();
    player.Halt();
    store.Seek(0, true);
    player.Halt();
    store.Seek(2 * 10 * static_cast<int>(player.m_BufferSize), false);
    EXPECT_EQ(store.Tell(), 176400u);
    EXPECT_TRUE(player.Start());
    const auto calls = Wave.Last()->Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Restart"), 0);
    player.Stop();
}

TEST_F(PlayerTest, AtOneAndAHalfTheFileTakesTwoThirdsOfItsBuffersAtItsPitchAndAtOneItsOwnBytes) {
    Probe<CWavePlayer> player;
    const std::string data = Sine(44100, 16, 1, 6.0);
    MemoryStore store(44100, 16, 1, data);
    ASSERT_TRUE(player.SetDataStore(&store));
    player.SetSpeed(15);
    Wave.Last()->SetAutoComplete(true);
    ASSERT_TRUE(player.Start());
    // All read, and every buffer back and left empty: the stretcher has nothing more.
    ASSERT_TRUE(WaitUntil([&] { return store.Tell() == data.size() && player.FreeCountNow() == 8; }));
    const std::string fast = Wave.Last()->Played();
    EXPECT_NEAR(double(fast.size()) / double(data.size()), 2.0 / 3.0, 0.04);
    std::vector<std::int16_t> samples(fast.size() / 2);
    std::memcpy(samples.data(), fast.data(), samples.size() * 2);
    EXPECT_NEAR(tonecheck::Examine(samples, 44100).Hz, 440.0, 9.0);
    EXPECT_EQ(player.PlayedPosition(), data.size());

    player.SetSpeed(10);
    player.MoveTo(0);
    ASSERT_TRUE(player.Start());
    ASSERT_TRUE(WaitUntil([&] { return Wave.Last()->Played().size() >= fast.size() + data.size(); }));
    EXPECT_TRUE(SameBytes(Wave.Last()->Played().substr(fast.size()), data));
    player.Stop();
}

// Skips count from the store's position after Halt, which is ahead of what was heard.
class SkipTest : public EngineTest {
protected:
    // A player attached to `seconds` of sound, halted at byte `position`.
    void Attach(Probe<CWavePlayer>& player, MemoryStore& store, unsigned position) {
        player.SetDataStore(&store);
        store.Seek(static_cast<int>(position), true);
    }
};

TEST_F(SkipTest, ThreeStepsForwardAtFortyFourKiloHertzMoveTwoHundredSixtyFourThousandSixHundredBytes) {
    Probe<CWavePlayer> player;
    MemoryStore store(44100, 16, 1, Samples(88200 * 10));
    Attach(player, store, 88200);
    player.SkipForward(3);
    EXPECT_EQ(store.Seeks().back(), 264600);
    EXPECT_EQ(store.Tell(), 88200u + 264600u);
    player.Stop();
}

TEST_F(SkipTest, ForwardNearTheEndLandsOnTheEndAndTheNextStartPlaysNothing) {
    Probe<CWavePlayer> player;
    MemoryStore store(44100, 16, 1, Samples(88200 * 4));
    Attach(player, store, 88200 * 3);
    player.SkipForward(3);
    EXPECT_EQ(store.Tell(), 88200u * 4);
    player.SkipForward(1);
    EXPECT_EQ(store.Tell(), 88200u * 4);
    Wave.Last()->SetAutoComplete(true);
    player.Start();
    ASSERT_TRUE(WaitUntil([&] { return store.Reads() >= 1; }));
    player.Halt();
    EXPECT_TRUE(Wave.Last()->Played().empty());
    ExpectAllFree(player);
    player.Stop();
}

TEST_F(SkipTest, BackwardDuringTheFirstSecondGoesToTheFirstSample) {
    Probe<CWavePlayer> player;
    MemoryStore store(44100, 16, 1, Samples(88200 * 4));
    Attach(player, store, 50000);
    player.SkipBackward(1);
    EXPECT_EQ(store.Seeks().back(), -88200);
    EXPECT_EQ(store.Tell(), 0u);
    player.Stop();
}

TEST_F(SkipTest, AtFortyEightKiloHertzAStepIsNinetySixThousandBytes) {
    Probe<CWavePlayer> player;
    MemoryStore store(48000, 16, 1, Samples(96000 * 10));
    Attach(player, store, 96000 * 5);
    player.SkipForward(2);
    EXPECT_EQ(store.Seeks().back(), 192000);
    player.SkipBackward(4);
    EXPECT_EQ(store.Seeks().back(), -384000);
    EXPECT_EQ(store.Tell(), 96000u * 3);
    player.Stop();
}

TEST_F(SkipTest, SkippingWhilePlayingHaltsFirstAndBringsEveryBufferBack) {
    Probe<CWavePlayer> player;
    MemoryStore store(44100, 16, 1, Samples(88200 * 10));
    player.SetDataStore(&store);
    player.Start();
    ASSERT_TRUE(WaitUntil([&] { return Wave.Last()->Held().size() == 8; }));
    player.SkipForward(1);
    ExpectAllFree(player);
    EXPECT_TRUE(Wave.Last()->Held().empty());
    // Eight buffers were read ahead before the halt.
    EXPECT_EQ(store.Tell(), 8u * 8820u + 88200u);
    player.Stop();
}

// Four hours of 48 kHz stereo (a sparse file): 192000 bytes a second, so a skip of more than
// 3.1 hours no longer fits in an int, and positions pass 2 GiB.
class LongFileSkipTest : public EngineTest {
protected:
    static constexpr std::uint64_t kSecond = 192000;
    static constexpr std::uint64_t kData = 4 * 3600 * kSecond;

    void SetUp() override {
        EngineTest::SetUp();
        wavetest::WriteSparseWave(name, 2, 48000, std::uint32_t(kData));
        g_FileName = name;
        reader = std::make_unique<CWaveReader>();
    }

    wavetest::TempDir dir;
    std::string name = dir.Path("four-hours.wav");
    std::unique_ptr<CWaveReader> reader;
};

TEST_F(LongFileSkipTest, SkipsAtThreeAndAHalfHoursMoveByWholeSecondsAndStopAtTheEnds) {
    Probe<CWavePlayer> player;
    ASSERT_TRUE(player.SetDataStore(reader.get()));
    ASSERT_EQ(player.m_BufferSize * 10, kSecond);
    const std::uint64_t threeAndAHalf = 12600 * kSecond;

    player.SkipForward(12600); // 2,419,200,000 bytes in one skip
    EXPECT_EQ(reader->Tell(), 44 + threeAndAHalf);
    player.SkipForward(60);
    EXPECT_EQ(reader->Tell(), 44 + threeAndAHalf + 60 * kSecond);
    player.SkipBackward(120);
    EXPECT_EQ(reader->Tell(), 44 + threeAndAHalf - 60 * kSecond);
    player.SkipForward(3600);
    EXPECT_EQ(reader->Tell(), 44 + kData) << "past the end lands on the end";
    player.SkipBackward(20000);
    EXPECT_EQ(reader->Tell(), 44u) << "past the start lands on the first sample";
    player.SkipForward(INT_MAX);
    EXPECT_EQ(reader->Tell(), 44 + kData);
    player.SkipBackward(INT_MAX);
    EXPECT_EQ(reader->Tell(), 44u);
    player.SkipBackward(INT_MIN);
    EXPECT_EQ(reader->Tell(), 44 + kData) << "a negative step count turns the skip round";
    // Moves name places as Tell counts them, header included, and stay within the samples.
    for (std::uint64_t to : {44 + threeAndAHalf, std::uint64_t{0}, ~std::uint64_t{0}, 44 + kSecond}) {
        player.MoveTo(to);
        const std::uint64_t held = std::clamp<std::uint64_t>(to, 44, 44 + kData);
        EXPECT_EQ(reader->Tell(), held) << to;
        EXPECT_EQ(player.PlayedPosition(), held) << to;
    }
    player.Stop();
}

TEST_F(SkipTest, WithoutAStoreSkippingTouchesNothing) {
    Probe<CWavePlayer> player;
    player.SkipForward(3);
    player.SkipBackward(3);
    EXPECT_EQ(Wave.OpenCount(), 0u);
    EXPECT_EQ(player.m_pStore, nullptr);
}

} // namespace
