#pragma once
#include "WaveIOBase.h"
#include "platform/wave/CaptureChoice.h"

#include <atomic>
#include <string>

// Records from the receiver's capture device into the attached store (a writer). The device is
// chosen at construction: the lowest-numbered capture device whose product name is exactly
// "USB Headset", else the system's default input. ChooseInput chooses again, and lets a user's
// choice of input come first.
class CWaveRecorder : public CWaveIOBase {
public:
    CWaveRecorder();
    ~CWaveRecorder() override;

    // Chooses the device the next SetDataStore opens (platform::ChooseCaptureInput); "" for no
    // choice of the user's. Window thread; an open device is not changed.
    void ChooseInput(const std::string& preferred);
    // The input chosen last.
    const platform::CaptureInput& Input() const { return m_Input; }
    // The loudest sample captured since the last call, as a magnitude 0..32768 (16-bit sound only;
    // other formats read 0). Any thread: the fill worker raises it with each buffer it delivers.
    int TakePeak() { return m_Peak.exchange(0); }

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
    // Raises m_Peak to the loudest sample of a delivered buffer.
    void NotePeak(const char* data, std::uint32_t bytes);

    platform::CaptureInput m_Input;
    std::atomic<int> m_Peak{0};
    platform::IWaveIn* In() const { return static_cast<platform::IWaveIn*>(m_hDevice); }
};
