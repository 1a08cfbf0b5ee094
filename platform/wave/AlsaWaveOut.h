#pragma once
#include "platform/wave/AlsaStream.h"

namespace platform {

// Playback on an ALSA PCM. A buffer is announced (WOM_DONE) when its last frame has gone into
// ALSA's ring, which holds about a tenth of a second; that is as close to "played" as the engine
// needs, since it only recycles the buffer.
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
    bool WantsIo() override { return !m_Paused && !m_Queue.empty(); }
    void Transfer() override;

    bool m_Paused = false;
    bool m_HeldByAlsa = false; // Pause used snd_pcm_pause (else the ring was dropped)
};

} // namespace platform
