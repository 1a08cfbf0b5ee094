#pragma once
#include "platform/CaptureDevices.h"

namespace platform {

// The capture devices as ALSA lists them (see AlsaCaptureList).
class AlsaCaptureDevices : public ICaptureDevices {
public:
    unsigned Count() override;
    std::string ProductName(unsigned index) override;
};

} // namespace platform
