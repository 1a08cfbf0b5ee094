#pragma once
#include "platform/wave/AlsaStream.h"

namespace platform {

// Playback on an ALSA PCM. A buffer is announced (WOM_DONE) once its last frame has been played,
// as ALSA's delay tells it, not when it went into ALSA's ring: the engine relies on a buffer
// given back being heard.
class AlsaWaveOut : public IWaveOut, private AlsaStream {
public:
    AlsaWaveOut(snd_pcm_t* pcm, const WAVEFORMATEX& format, WaveCallback callback, std::uintptr_t instance);

    MMRESULT PrepareHeader(WAVEHDR* header, unsigned size) override { return DoPrepare(header, size); }
    MMRESULT UnprepareHeader(WAVEHDR* header, unsigned size) override { return DoUnprepare(header, size); }
    MMRESULT Write(WAVEHDR* header, unsigned size) override { return DoQueue(header, size); }
    MMRESULT Pause() override;
    MMRESULT Restart() override;
    MMRESULT Reset() override;
    MMRESULT Close() override;

private:
    ~AlsaWaveOut() override = default;
    void Execute(Command command) override;
    // While a written buffer is still to be announced the thread is woken at its end anyway, and
    // writes then what the ring has room for: one wake-up per buffer rather than one for the ring
    // and one for the announcement.
    bool WantsIo() override { return !m_Paused && !m_Queue.empty() && m_Playing.empty(); }
    // With a whole buffer still to play after the current one, the ring holds more than a tenth
    // of a second: the new buffer can wait for the wake-up at the current one's end.
    bool WakeFor() override { return m_Queue.empty() && m_Playing.size() < 2; }
    void Transfer() override;
    void AfterRecover() override;
    void Tick() override;
    int NextTimeoutMs() override;
    void GiveBackAll() override;
    // Frames written that the device has played so far.
    std::uint64_t PlayedFrames();

    // Buffers written in full, waiting to be played, each with the frame count at its end.
    std::deque<std::pair<WAVEHDR*, std::uint64_t>> m_Playing;
    std::uint64_t m_Frames = 0; // frames written since the PCM was last prepared
    unsigned m_Rate;
    bool m_Paused = false;
    bool m_HeldByAlsa = false; // Pause used snd_pcm_pause (else the ring was dropped)
};

} // namespace platform
