#pragma once
#include "platform/wave/WaveDevice.h"
#include "platform/wave/fake/FakeWaveDevice.h"

#include <memory>
#include <mutex>
#include <vector>

namespace platform {

// Opens FakeWaveDevices. Devices live as long as the service, even after the engine closed them,
// so a test can look at a closed device.
class FakeWaveService : public IWaveService {
public:
    FakeWaveService();
    ~FakeWaveService() override;
    MMRESULT OutOpen(IWaveOut** device, unsigned deviceId, const WAVEFORMATEX* format, WaveCallback callback,
                     std::uintptr_t instance) override;
    MMRESULT InOpen(IWaveIn** device, unsigned deviceId, const WAVEFORMATEX* format, WaveCallback callback,
                    std::uintptr_t instance) override;

    // The next opens fail with MMSYSERR_NODRIVER while set.
    void SetFailOpen(bool fail);
    // The device opened last, null if none.
    FakeWaveDevice* Last();
    std::size_t OpenCount();

private:
    struct Opened;
    std::mutex m_Lock;
    bool m_FailOpen = false;
    std::vector<std::unique_ptr<Opened>> m_Devices;
};

} // namespace platform
