#pragma once
#include "WaveIOBase.h"

// Records from the receiver's capture device into the attached store (a writer). The device is
// chosen once, at construction: the lowest-numbered capture device whose product name is exactly
// "USB Headset", else the system's default input.
class CWaveRecorder : public CWaveIOBase {
public:
    CWaveRecorder();
    ~CWaveRecorder() override;

    // Ends capture; the buffer being filled comes back with what it holds, the others stay queued.
    bool DevicePause() override;
    // Resumes capture after DevicePause.
    bool DeviceRestart() override;

    // The capture device that will be opened: an index of platform::CaptureDevices(), or
    // platform::WAVE_MAPPER for the default input.
    std::uint32_t DeviceId() const { return m_DeviceId; }

protected:
    void SubmitBuffer(platform::WAVEHDR* buffer) override;
    void FillBuffer(platform::WAVEHDR* buffer) override;
    void CompleteBuffer(platform::WAVEHDR* buffer) override;
    bool DeviceOpen() override;
    bool DeviceClose() override;
    bool DeviceStart() override;
    bool DeviceReset() override;

private:
    platform::IWaveIn* In() const { return static_cast<platform::IWaveIn*>(m_hDevice); }
};
