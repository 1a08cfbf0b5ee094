#pragma once
#include "platform/wave/WaveDevice.h"

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

// An in-memory wave device whose buffers come back only when the test says so. It follows the
// ordering and notification rules of the real devices: buffers are given back oldest first with
// one notification each, Reset gives back everything, an input Stop gives back the partly filled
// buffer. Notifications run on the thread that caused them (the test's, or the engine's for Reset).
class FakeWaveDevice {
public:
    FakeWaveDevice(bool output, unsigned deviceId, const WAVEFORMATEX& format, WaveCallback callback,
                   std::uintptr_t instance);

    // What the test looks at.
    bool IsOutput() const { return m_Output; }
    unsigned DeviceId() const { return m_DeviceId; }
    WAVEFORMATEX Format() const { return m_Format; }
    std::vector<std::string> Calls() const;
    std::vector<WAVEHDR*> Held() const;
    bool Closed() const;
    bool Running() const;
    // Output: every byte of every buffer played so far, in order.
    std::string Played() const;

    // What the test drives.
    // Output: plays the n oldest buffers (fewer if it holds fewer). Input: fills them completely.
    void Complete(std::size_t n);
    // Input: the next `bytes` bytes of sound arrive. While started they go into the held buffers,
    // oldest first, and each buffer that becomes full is given back. Bytes that arrive while stopped
    // or with no buffer to go to are lost, as on a real device.
    // The captured stream is byte i = i % 251, so order and gaps show in the file.
    void Capture(unsigned bytes);
    // Input: from now on the captured stream repeats these 16-bit samples instead (none: the
    // pattern again).
    void SetSound(const std::vector<std::int16_t>& samples);
    // Output: give back each buffer as soon as it is written (on the writer's thread).
    void SetAutoComplete(bool on);
    // Makes the device vanish: it says so (WAVE_FAILED), then everything held is given back and so
    // is every later buffer.
    void Vanish();

    // The device operations, called through the IWaveOut/IWaveIn wrappers.
    MMRESULT Prepare(WAVEHDR* header);
    MMRESULT Unprepare(WAVEHDR* header);
    MMRESULT Queue(WAVEHDR* header);
    MMRESULT Start(); // input Start, output Restart
    MMRESULT Stop();  // input Stop, output Pause
    MMRESULT Reset();
    MMRESULT Close();
    void SetHandle(HWAVE handle) { m_Handle = handle; }

private:
    void GiveBack(WAVEHDR* header, std::vector<WAVEHDR*>& out);
    void Notify(const std::vector<WAVEHDR*>& headers);
    char NextCapturedByte(); // under m_Lock

    const bool m_Output;
    const unsigned m_DeviceId;
    const WAVEFORMATEX m_Format;
    const WaveCallback m_Callback;
    const std::uintptr_t m_Instance;
    HWAVE m_Handle = nullptr;

    mutable std::mutex m_Lock;
    std::deque<WAVEHDR*> m_Held;
    std::vector<std::string> m_Calls;
    std::string m_Played;
    std::uint64_t m_Captured = 0; // bytes captured so far: the next byte's index in the pattern
    std::string m_Sound;          // what is captured instead of the pattern, repeated
    unsigned m_FrontFill = 0;     // input: bytes already in the front buffer
    bool m_Running;               // output: not paused; input: started
    bool m_AutoComplete = false;
    bool m_Closed = false;
    bool m_Vanished = false;
};

} // namespace platform
