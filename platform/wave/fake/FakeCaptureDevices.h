#pragma once
#include "platform/CaptureDevices.h"

#include <string>
#include <vector>

namespace platform {

// A capture-device list set by the test. An empty name stands for a device whose capabilities
// cannot be read.
class FakeCaptureDevices : public ICaptureDevices {
public:
    explicit FakeCaptureDevices(std::vector<std::string> names = {}) : Names(std::move(names)) {}
    unsigned Count() override;
    std::string ProductName(unsigned index) override;
    std::string DefaultInputName() override { return DefaultName; }
    std::vector<std::string> Names;
    std::string DefaultName;
    unsigned Queries = 0; // ProductName calls
};

} // namespace platform
