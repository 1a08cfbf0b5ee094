#pragma once
#include "platform/wave/AlsaStream.h"
#include "platform/wave/ServerSourceWatch.h"

#include <memory>
#include <string>

namespace platform {

// Capture from an ALSA PCM into the queued buffers, oldest first. A buffer is announced (WIM_DATA)
// when it is full, or with its captured part when Stop or Reset ends capture.
class AlsaWaveIn : public IWaveIn, private AlsaStream {
public:
    // serverSource: the sound server's name of the source the PCM records, watched for its
    // removal; "" for a PCM of ALSA's own.
    AlsaWaveIn(snd_pcm_t* pcm, const WAVEFORMATEX& format, WaveCallback callback, std::uintptr_t instance,
               const std::string& serverSource = "");

    MMRESULT PrepareHeader(WAVEHDR* header, unsigned size) override { return DoPrepare(header, size); }
    MMRESULT UnprepareHeader(WAVEHDR* header, unsigned size) override { return DoUnprepare(header, size); }
    MMRESULT AddBuffer(WAVEHDR* header, unsigned size) override { return DoQueue(header, size); }
    MMRESULT Start() override;
    MMRESULT Stop() override;
    MMRESULT Reset() override;
    MMRESULT Close() override;

private:
    ~AlsaWaveIn() override = default;
    void Execute(Command command) override;
    bool WantsIo() override { return m_Running && !m_Queue.empty(); }
    void Transfer() override;
    void AfterRecover() override;
    int PaceMs() override;
    void EndCapture();

    bool m_Running = false;
    unsigned m_Rate;
    std::unique_ptr<ServerSourceWatch> m_Watch;
};

} // namespace platform
