#pragma once
#include "platform/wave/WaveDevice.h"

namespace platform {

// Opens playback on ALSA's "default" PCM and capture on the PCM of the chosen entry of
// AlsaCaptureList() (or "default" for WAVE_MAPPER). Each open device runs its own notification
// thread.
class AlsaWaveService : public IWaveService {
public:
    MMRESULT OutOpen(IWaveOut** device, unsigned deviceId, const WAVEFORMATEX* format, WaveCallback callback,
                     std::uintptr_t instance) override;
    MMRESULT InOpen(IWaveIn** device, unsigned deviceId, const WAVEFORMATEX* format, WaveCallback callback,
                    std::uintptr_t instance) override;
};

// Overruns and underruns (and suspends) that this process's ALSA devices have recovered from so
// far. Sound lost in one is gone, so the long-recording benchmark reports the count.
unsigned long long AlsaXruns();

} // namespace platform
