#include "platform/wave/fake/FakeWaveService.h"

namespace platform {

namespace {

class FakeOut : public IWaveOut {
public:
    explicit FakeOut(FakeWaveDevice& device) : m_Device(device) { device.SetHandle(this); }
    ~FakeOut() override = default;
    MMRESULT PrepareHeader(WAVEHDR* header, unsigned) override { return m_Device.Prepare(header); }
    MMRESULT UnprepareHeader(WAVEHDR* header, unsigned) override { return m_Device.Unprepare(header); }
    MMRESULT Reset() override { return m_Device.Reset(); }
    MMRESULT Close() override { return m_Device.Close(); }
    MMRESULT Write(WAVEHDR* header, unsigned) override { return m_Device.Queue(header); }
    MMRESULT Pause() override { return m_Device.Stop(); }
    MMRESULT Restart() override { return m_Device.Start(); }

private:
    FakeWaveDevice& m_Device;
};

class FakeIn : public IWaveIn {
public:
    explicit FakeIn(FakeWaveDevice& device) : m_Device(device) { device.SetHandle(this); }
    ~FakeIn() override = default;
    MMRESULT PrepareHeader(WAVEHDR* header, unsigned) override { return m_Device.Prepare(header); }
    MMRESULT UnprepareHeader(WAVEHDR* header, unsigned) override { return m_Device.Unprepare(header); }
    MMRESULT Reset() override { return m_Device.Reset(); }
    MMRESULT Close() override { return m_Device.Close(); }
    MMRESULT AddBuffer(WAVEHDR* header, unsigned) override { return m_Device.Queue(header); }
    MMRESULT Start() override { return m_Device.Start(); }
    MMRESULT Stop() override { return m_Device.Stop(); }

private:
    FakeWaveDevice& m_Device;
};

} // namespace

struct FakeWaveService::Opened {
    Opened(bool output, unsigned id, const WAVEFORMATEX& format, WaveCallback callback,
           std::uintptr_t instance)
        : Device(output, id, format, callback, instance) {
        if (output)
            Out = std::make_unique<FakeOut>(Device);
        else
            In = std::make_unique<FakeIn>(Device);
    }
    FakeWaveDevice Device;
    std::unique_ptr<FakeOut> Out;
    std::unique_ptr<FakeIn> In;
};

FakeWaveService::FakeWaveService() = default;
FakeWaveService::~FakeWaveService() = default;

MMRESULT FakeWaveService::OutOpen(IWaveOut** device, unsigned deviceId, const WAVEFORMATEX* format,
                                  WaveCallback callback, std::uintptr_t instance) {
    std::lock_guard lock(m_Lock);
    *device = nullptr;
    if (m_FailOpen)
        return MMSYSERR_NODRIVER;
    m_Devices.push_back(std::make_unique<Opened>(true, deviceId, *format, callback, instance));
    *device = m_Devices.back()->Out.get();
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWaveService::InOpen(IWaveIn** device, unsigned deviceId, const WAVEFORMATEX* format,
                                 WaveCallback callback, std::uintptr_t instance) {
    std::lock_guard lock(m_Lock);
    *device = nullptr;
    if (m_FailOpen)
        return MMSYSERR_NODRIVER;
    m_Devices.push_back(std::make_unique<Opened>(false, deviceId, *format, callback, instance));
    *device = m_Devices.back()->In.get();
    return MMSYSERR_NOERROR;
}

void FakeWaveService::SetFailOpen(bool fail) {
    std::lock_guard lock(m_Lock);
    m_FailOpen = fail;
}

FakeWaveDevice* FakeWaveService::Last() {
    std::lock_guard lock(m_Lock);
    return m_Devices.empty() ? nullptr : &m_Devices.back()->Device;
}

std::size_t FakeWaveService::OpenCount() {
    std::lock_guard lock(m_Lock);
    return m_Devices.size();
}

} // namespace platform
