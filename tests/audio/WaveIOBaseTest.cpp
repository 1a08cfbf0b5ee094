#include "EngineFixture.h"

using namespace audiotest;
using platform::WAVEHDR;

namespace {

class StreamWorkerTest : public EngineTest {};

TEST_F(StreamWorkerTest, HaltOnAFreshEngineReturnsAtOnce) {
    Probe<CWaveRecorder> recorder;
    recorder.Halt();
    EXPECT_EQ(Wave.OpenCount(), 0u);
}

TEST_F(StreamWorkerTest, StartWithoutAStoreReturnsFalseAndOpensNothing) {
    Probe<CWavePlayer> player;
    EXPECT_FALSE(player.Start());
    EXPECT_EQ(Wave.OpenCount(), 0u);
    EXPECT_TRUE(player.Where().Free.empty());
}

TEST_F(StreamWorkerTest, AttachingAStoreTakesItsFormatAndMakesEightTenthSecondBuffers) {
    struct Case {
        unsigned Rate;
        unsigned short Bits, Channels;
        unsigned AvgBytes, BufferSize;
    };
    // 11025 Hz: 22050 bytes a second, and the halving-then-doubling keeps the buffer even (2204).
    // Buffers hold whole frames: 4410 bytes would split a stereo frame, 6614 a 24-bit sample.
    for (const Case c :
         {Case{44100, 16, 1, 88200, 8820}, Case{48000, 16, 1, 96000, 9600}, Case{11025, 16, 1, 22050, 2204},
          Case{44100, 16, 2, 176400, 17640}, Case{11025, 16, 2, 44100, 4408}, Case{22050, 24, 1, 66150, 6612},
          Case{44100, 24, 2, 264600, 26460}}) {
        Probe<CWavePlayer> player;
        MemoryStore store(c.Rate, c.Bits, c.Channels);
        EXPECT_TRUE(player.SetDataStore(&store));
        EXPECT_EQ(player.m_BufferSize, c.BufferSize) << c.Rate;
        const platform::WAVEFORMATEX f = Wave.Last()->Format();
        EXPECT_EQ(f.wFormatTag, 1);
        EXPECT_EQ(f.cbSize, 0);
        EXPECT_EQ(f.nSamplesPerSec, c.Rate);
        EXPECT_EQ(f.nChannels, c.Channels);
        EXPECT_EQ(f.wBitsPerSample, c.Bits);
        EXPECT_EQ(f.nBlockAlign, c.Bits / 8 * c.Channels);
        EXPECT_EQ(f.nAvgBytesPerSec, c.AvgBytes);
        ExpectAllFree(player);
        player.Stop();
    }
}

TEST_F(StreamWorkerTest, StartTwiceChangesNothingTheSecondTime) {
    Probe<CWaveRecorder> recorder;
    MemoryStore store(44100);
    recorder.SetDataStore(&store);
    EXPECT_TRUE(recorder.Start());
    EXPECT_TRUE(recorder.Start());
    const auto calls = Wave.Last()->Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Start"), 1);
    recorder.Stop();
}

TEST_F(StreamWorkerTest, TerminateTwiceReturnsAtOnceTheSecondTime) {
    Probe<CWaveRecorder> recorder;
    MemoryStore store(44100);
    recorder.SetDataStore(&store);
    recorder.Start();
    recorder.Terminate();
    EXPECT_TRUE(Wave.Last()->Closed());
    EXPECT_EQ(recorder.m_pStore, nullptr);
    const auto callsAfterFirst = Wave.Last()->Calls();
    recorder.Terminate();
    EXPECT_EQ(Wave.Last()->Calls(), callsAfterFirst);
}

TEST_F(StreamWorkerTest, AfterTerminateNothingIsAttachedOrStartedAndStopReturns) {
    {
        Probe<CWavePlayer> player;
        MemoryStore store(44100, 16, 1, std::string(88200, 'x'));
        player.Terminate();
        EXPECT_FALSE(player.SetDataStore(&store));
        EXPECT_EQ(player.m_pStore, nullptr);
        EXPECT_EQ(Wave.OpenCount(), 0u) << "no device is opened";
        EXPECT_TRUE(player.Where().Free.empty());
        EXPECT_FALSE(player.Start());
        player.Halt();
        EXPECT_TRUE(player.Stop()); // returns: used to wait for ever for workers that had ended
        EXPECT_TRUE(player.SetDataStore(nullptr));
        player.SkipForward(2);
        EXPECT_EQ(store.Tell(), 0u);
    }
    EXPECT_EQ(Wave.OpenCount(), 0u);
}

TEST_F(StreamWorkerTest, DetachingWhileRunningHaltsClosesAndDeletesTheBuffers) {
    Probe<CWavePlayer> player;
    MemoryStore store(44100, 16, 1, std::string(88200, 'x'));
    player.SetDataStore(&store);
    player.Start();
    ASSERT_TRUE(WaitUntil([&] { return Wave.Last()->Held().size() == 8; }));
    EXPECT_TRUE(player.SetDataStore(nullptr));
    EXPECT_TRUE(Wave.Last()->Closed());
    EXPECT_EQ(player.m_pStore, nullptr);
    const Places p = player.Where();
    EXPECT_TRUE(p.Free.empty() && p.Ready.empty() && p.Device.empty());
}

TEST_F(StreamWorkerTest, SwitchingStoresReopensTheDeviceInTheNewFormat) {
    Probe<CWavePlayer> player;
    MemoryStore first(44100), second(48000);
    player.SetDataStore(&first);
    player.SetDataStore(&second);
    EXPECT_EQ(Wave.OpenCount(), 2u);
    EXPECT_EQ(player.m_BufferSize, 9600u);
    EXPECT_EQ(player.m_pStore, &second);
    ExpectAllFree(player);
    player.Stop();
}

TEST_F(StreamWorkerTest, AfterHaltBuffersAreIdleThenReadyThenThoseFromTheDevice) {
    Probe<CWaveRecorder> recorder;
    MemoryStore store(44100);
    recorder.SetDataStore(&store);
    std::vector<WAVEHDR*> b;
    for (int i = 0; i < 8; ++i)
        b.push_back(recorder.TakeFree());
    // free: b0 b1 b2   ready: b3 b4   device: b5 b6 b7 (b5 partly captured)
    for (int i : {0, 1, 2})
        recorder.PutFree(b[i]);
    for (int i : {3, 4})
        recorder.PutReady(b[i]);
    for (int i : {5, 6, 7})
        recorder.PutDevice(b[i]);
    recorder.StartDevice();
    Wave.Last()->Capture(100);

    recorder.Halt();

    EXPECT_EQ(recorder.Where().Free, b);
    ExpectAllFree(recorder);
    // Only the buffers that were with the device went through CompleteBuffer, in their order.
    EXPECT_EQ(store.WriteLengths(), (std::vector<unsigned>{100, 0, 0}));
    EXPECT_TRUE(SameBytes(store.Written(), CapturePattern(100)));
    recorder.Stop();
}

TEST_F(StreamWorkerTest, EveryBufferIsInExactlyOnePlaceAcrossManyHalts) {
    Probe<CWaveRecorder> recorder;
    MemoryStore store(48000);
    recorder.SetDataStore(&store);
    const auto all = recorder.Where().Free;
    const std::set<WAVEHDR*> original(all.begin(), all.end());
    platform::FakeWaveDevice* device = Wave.Last();
    std::size_t captured = 0;
    for (int round = 0; round < 12; ++round) {
        recorder.Start();
        ASSERT_TRUE(WaitUntil([&] { return device->Held().size() == 8; }));
        const unsigned bytes = 9600 * static_cast<unsigned>(round % 4) + 1234u * static_cast<unsigned>(round);
        device->Capture(bytes);
        captured += bytes;
        recorder.Halt();
        const Places p = recorder.Where();
        ExpectAllFree(recorder);
        EXPECT_EQ(std::set<WAVEHDR*>(p.Free.begin(), p.Free.end()), original);
        EXPECT_TRUE(device->Held().empty());
    }
    // Every captured byte reached the store, in order: nothing lost, nothing doubled.
    EXPECT_TRUE(SameBytes(store.Written(), CapturePattern(captured)));
    recorder.Stop();
}

TEST_F(StreamWorkerTest, WithoutAnOpenDeviceStartRefusesAndHaltReturns) {
    Wave.SetFailOpen(true);
    Probe<CWaveRecorder> recorder;
    MemoryStore store(44100);
    EXPECT_FALSE(recorder.SetDataStore(&store));
    EXPECT_EQ(recorder.m_pStore, &store);
    ExpectAllFree(recorder);
    EXPECT_FALSE(recorder.Start());
    recorder.Halt();
    ExpectAllFree(recorder);
    EXPECT_TRUE(recorder.Stop());
    EXPECT_EQ(recorder.m_pStore, nullptr);
}

TEST_F(StreamWorkerTest, AFormatBeyondWhatCanBePlayedGetsNoDeviceAndNoBuffers) {
    Probe<CWavePlayer> player;
    MemoryStore damaged(65540, 32, 16383); // would make buffers of about 430 MB
    EXPECT_FALSE(player.SetDataStore(&damaged));
    EXPECT_EQ(Wave.OpenCount(), 0u);
    EXPECT_EQ(player.m_BufferSize, 0u);
    EXPECT_TRUE(player.Where().Free.empty());
    EXPECT_FALSE(player.Start());
    player.SkipForward(1); // nothing to halt for, nothing to divide by
    EXPECT_TRUE(player.Stop());
    // The next file plays as usual.
    MemoryStore good(44100);
    EXPECT_TRUE(player.SetDataStore(&good));
    ExpectAllFree(player);
    player.Stop();
}

TEST_F(StreamWorkerTest, ADeviceThatVanishesWhileStreamingStillLetsHaltReturn) {
    Probe<CWaveRecorder> recorder;
    MemoryStore store(44100);
    recorder.SetDataStore(&store);
    recorder.Start();
    platform::FakeWaveDevice* device = Wave.Last();
    ASSERT_TRUE(WaitUntil([&] { return device->Held().size() == 8; }));
    device->Capture(5000);
    device->Vanish();
    // Told once; the next device starts with a clean slate.
    EXPECT_TRUE(recorder.TakeDeviceFailure());
    EXPECT_FALSE(recorder.TakeDeviceFailure());
    recorder.Halt();
    ExpectAllFree(recorder);
    EXPECT_TRUE(SameBytes(store.Written(), CapturePattern(5000)));
    recorder.Stop();
    MemoryStore next(44100);
    recorder.SetDataStore(&next);
    EXPECT_FALSE(recorder.TakeDeviceFailure());
    recorder.Stop();
}

// A dead output gives every buffer back at once: the player must not race through its file.
TEST_F(StreamWorkerTest, APlayerWhoseDeviceVanishedReadsNoFurtherIntoItsFile) {
    Probe<CWavePlayer> player;
    MemoryStore store(44100, 16, 1, std::string(88200 * 10, '\1'));
    player.SetDataStore(&store);
    player.Start();
    platform::FakeWaveDevice* device = Wave.Last();
    ASSERT_TRUE(WaitUntil([&] { return device->Held().size() == 8; }));
    device->Vanish();
    ASSERT_TRUE(WaitUntil([&] { return player.FreeCountNow() == 8; }));
    const std::uint64_t at = store.Tell();
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // 250 passes on the quick clock
    EXPECT_EQ(store.Tell(), at);
    EXPECT_EQ(player.FreeCountNow(), 8u);
    EXPECT_LE(at, 9u * player.m_BufferSize);
    EXPECT_TRUE(player.TakeDeviceFailure());
    player.Stop();
}

// A worker with nothing to move waits for work instead of waking for a pass every 20 ms, and a
// buffer that comes back costs no pause at all: the fill worker collects it and makes it ready in
// the pass its return woke, the submit worker hands it back in the pass the fill woke. Counted on
// the test clock, for a player and a recorder alike.
template <class Engine>
void ExpectWakeUpsOnlyPerBuffer(QuickClock& clock, platform::FakeWaveService& wave, MemoryStore& store,
                                void (*giveBackOne)(platform::FakeWaveDevice&, unsigned)) {
    constexpr unsigned kStragglers = 2;
    Probe<Engine> engine;
    engine.SetDataStore(&store);
    engine.Start();
    platform::FakeWaveDevice* device = wave.Last();
    ASSERT_TRUE(WaitUntil([&] { return device->Held().size() == 8; }));
    ASSERT_TRUE(UntilQuiet(clock)) << "the workers never stop waking while nothing moves";
    const unsigned quiet = clock.Sleeps;
    // Polling would be a hundred quick passes here; a pause that a busy machine held back may
    // still come in late.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_LE(clock.Sleeps - quiet, kStragglers);

    constexpr unsigned kBuffers = 5;
    for (unsigned i = 0; i < kBuffers; ++i) {
        giveBackOne(*device, engine.m_BufferSize);
        ASSERT_TRUE(WaitUntil([&] { return device->Held().size() == 8 && engine.FreeCountNow() == 0; }));
        ASSERT_TRUE(UntilQuiet(clock));
    }
    EXPECT_LE(clock.Sleeps - quiet, 2 * kStragglers);
    engine.Stop();
}

TEST_F(StreamWorkerTest, WorkersWakeForBuffersThatMoveNotWhileNothingMoves) {
    {
        SCOPED_TRACE("recorder");
        MemoryStore store(44100);
        ExpectWakeUpsOnlyPerBuffer<CWaveRecorder>(
            Clock, Wave, store, [](platform::FakeWaveDevice& d, unsigned n) { d.Capture(n); });
        EXPECT_EQ(store.Written().size(), 5u * 8820u);
    }
    {
        SCOPED_TRACE("player");
        MemoryStore store(44100, 16, 1, std::string(20 * 8820, 'p'));
        ExpectWakeUpsOnlyPerBuffer<CWavePlayer>(Clock, Wave, store,
                                                [](platform::FakeWaveDevice& d, unsigned) { d.Complete(1); });
        EXPECT_EQ(store.Reads(), 13u);
    }
}

} // namespace
