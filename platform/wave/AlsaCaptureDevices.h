#pragma once
#include "platform/CaptureDevices.h"

namespace platform {

// The capture devices as ALSA lists them (see AlsaCaptureList).
class AlsaCaptureDevices : public ICaptureDevices {
public:
    unsigned Count() override;
    std::string ProductName(unsigned index) override;
    // The sound server's default source, by the same naming as its sources (ServerSourceList);
    // ALSA alone names no default input.
    std::string DefaultInputName() override;
};

} // namespace platform
