#pragma once
#include "TempoStretch.h"
#include "WaveIOBase.h"

// Plays the attached store (a reader) on the system's default output device. Besides the
// streaming of CWaveIOBase it skips forward and backward by whole seconds (ten buffers).
class CWavePlayer : public CWaveIOBase {
public:
    CWavePlayer();
    ~CWavePlayer() override;

    // With a store attached: Halt, then move the store by +steps seconds (relative), counted in
    // 64 bits and never more than the store's length. The store keeps the move within its samples. Does not
    // restart playback; the caller calls Start. Without a store: nothing, not even Halt.
    void SkipForward(int steps);
    // As SkipForward, backwards.
    void SkipBackward(int steps);
    // With a store attached: Halt, then move the store to `position` (in the store's Tell terms),
    // held within its samples; what was heard is then that place. Does not restart playback.
    void MoveTo(std::uint64_t position);
    // As MoveTo, to sample byte `offset` as the store's absolute Seek counts it (a section's start).
    void SeekTo(std::int64_t offset);

    // The speed in tenths of the file's own (5 to 15; others are held to that range). Any thread;
    // the fill worker takes it with its next buffer, and at 10 plays the file's bytes untouched.
    void SetSpeed(int tenths);
    int Speed() const { return m_SpeedTenths; }
    // Where in the store (its Tell terms) the sound heard so far ends: the end of the last buffer
    // the device gave back as played, or the place of the last move or skip. In file time, whatever
    // the speed. Any thread.
    std::uint64_t PlayedPosition() const { return m_Heard; }

    bool DevicePause() override;
    bool DeviceRestart() override;

protected:
    void SubmitBuffer(platform::WAVEHDR* buffer) override;
    void FillBuffer(platform::WAVEHDR* buffer) override;
    void CompleteBuffer(platform::WAVEHDR* buffer) override;
    bool DeviceOpen() override;
    bool DeviceClose() override;
    bool DeviceStart() override;
    bool DeviceReset() override;

private:
    // steps seconds (ten buffers each) in bytes, no more than the store's length either way.
    std::int64_t SkipBytes(int steps) const;
    // The store moved (a skip or a move, workers parked): nothing of it was heard past there.
    void Moved();
    platform::IWaveOut* Out() const { return static_cast<platform::IWaveOut*>(m_hDevice); }

    std::atomic<int> m_SpeedTenths{10};
    std::atomic<std::uint64_t> m_Heard{0};
    CTempoStretch m_Stretch; // the fill worker's, but while parked
};
