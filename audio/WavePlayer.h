#pragma once
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
    platform::IWaveOut* Out() const { return static_cast<platform::IWaveOut*>(m_hDevice); }
};
