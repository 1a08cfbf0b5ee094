#pragma once
#include "platform/wave/WaveTypes.h"

#include <cstdint>

namespace platform {

class IWaveDevice;
using HWAVE = IWaveDevice*;

// Called on the device's own notification thread, once per buffer the device gives back
// (message WOM_DONE or WIM_DATA, param1 the WAVEHDR*), with the instance value given at open.
// It must return quickly: the device hands back no other buffer while it runs. A device that
// fails sends WAVE_FAILED once, ahead of the buffers it then gives back.
using WaveCallback = void (*)(HWAVE device, unsigned message, std::uintptr_t instance, std::uintptr_t param1,
                              std::uintptr_t param2);

// What both directions share. Any thread may call these; a device serialises them internally.
class IWaveDevice {
public:
    // Marks a header as usable by this device (WHDR_PREPARED). size is sizeof(WAVEHDR).
    virtual MMRESULT PrepareHeader(WAVEHDR* header, unsigned size) = 0;
    // Releases a prepared header; WAVERR_STILLPLAYING while the device still holds it.
    virtual MMRESULT UnprepareHeader(WAVEHDR* header, unsigned size) = 0;
    // Stops the device and gives back every buffer it holds, oldest first, one notification
    // each, before it returns.
    virtual MMRESULT Reset() = 0;
    // Gives back anything still held (as Reset), ends the notification thread and frees the
    // device. The handle is invalid afterwards. Never called from the callback.
    virtual MMRESULT Close() = 0;

protected:
    virtual ~IWaveDevice() = default;
};

// Playback. Buffers play in the order written, starting at once; each played buffer is announced
// by one WOM_DONE.
class IWaveOut : public IWaveDevice {
public:
    virtual MMRESULT Write(WAVEHDR* header, unsigned size) = 0;
    // Holds output; the device keeps its buffers and accepts more.
    virtual MMRESULT Pause() = 0;
    // Resumes after Pause.
    virtual MMRESULT Restart() = 0;
};

// Capture. Buffers are filled in the order added, once Start has been called; each filled buffer is
// announced by one WIM_DATA with dwBytesRecorded set.
class IWaveIn : public IWaveDevice {
public:
    virtual MMRESULT AddBuffer(WAVEHDR* header, unsigned size) = 0;
    virtual MMRESULT Start() = 0;
    // Ends capture: the buffer in progress, if it holds captured bytes, is given back with just
    // those; the others stay queued for the next Start.
    virtual MMRESULT Stop() = 0;
};

// Opens devices. deviceId is an index of CaptureDevices() for capture, or WAVE_MAPPER for the
// default device (playback always uses the default). On failure *device is set to null.
class IWaveService {
public:
    virtual ~IWaveService() = default;
    virtual MMRESULT OutOpen(IWaveOut** device, unsigned deviceId, const WAVEFORMATEX* format,
                             WaveCallback callback, std::uintptr_t instance) = 0;
    virtual MMRESULT InOpen(IWaveIn** device, unsigned deviceId, const WAVEFORMATEX* format,
                            WaveCallback callback, std::uintptr_t instance) = 0;
};

// The wave service the program uses: ALSA unless a test installed a fake. Not thread-safe:
// install before any engine is constructed.
IWaveService& WaveService();
void SetWaveService(IWaveService* service);

} // namespace platform
