#include "platform/wave/CaptureChoice.h"
#include "platform/wave/WaveTypes.h"

namespace platform {

namespace {

// The lowest index of a device named exactly `name`, or WAVE_MAPPER.
std::uint32_t FindByName(ICaptureDevices& devices, const std::string& name) {
    const unsigned count = devices.Count();
    for (unsigned id = 0; id < count; ++id)
        if (devices.ProductName(id) == name)
            return id;
    return WAVE_MAPPER;
}

} // namespace

CaptureInput ChooseCaptureInput(ICaptureDevices& devices, const std::string& preferred) {
    for (const std::string& name : {preferred, std::string(kReceiverInput)}) {
        if (name.empty())
            continue;
        if (const std::uint32_t id = FindByName(devices, name); id != WAVE_MAPPER)
            return {id, name, name == kReceiverInput};
    }
    return {WAVE_MAPPER, devices.DefaultInputName(), false};
}

} // namespace platform
