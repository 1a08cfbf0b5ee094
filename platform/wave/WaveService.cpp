#include "platform/CaptureDevices.h"
#include "platform/wave/AlsaCaptureDevices.h"
#include "platform/wave/AlsaWaveService.h"
#include "platform/wave/WaveDevice.h"

namespace platform {

namespace {
AlsaWaveService g_AlsaWave;
IWaveService* g_Wave = &g_AlsaWave;
AlsaCaptureDevices g_AlsaCapture;
ICaptureDevices* g_Capture = &g_AlsaCapture;
} // namespace

IWaveService& WaveService() {
    return *g_Wave;
}
void SetWaveService(IWaveService* service) {
    g_Wave = service ? service : &g_AlsaWave;
}

ICaptureDevices& CaptureDevices() {
    return *g_Capture;
}
void SetCaptureDevices(ICaptureDevices* devices) {
    g_Capture = devices ? devices : &g_AlsaCapture;
}

} // namespace platform
