#pragma once
#include <string>

namespace platform {

// The capture devices of the sound system, by index, each with its product name as the
// device lists show it (the receiver appears as "USB Headset"). Index order is stable while the
// device set does not change. Called on any thread; each call looks at the system afresh.
class ICaptureDevices {
public:
    virtual ~ICaptureDevices() = default;
    virtual unsigned Count() = 0;
    // The product name of device `index`, "" when there is no such device.
    virtual std::string ProductName(unsigned index) = 0;
    // The name under which the system knows its default input (what the default device records),
    // "" when the system does not say.
    virtual std::string DefaultInputName() { return ""; }
};

// The capture devices the program uses: the sound system's unless a test installed a fake.
// The real list is provided by the wave layer (platform/wave).
ICaptureDevices& CaptureDevices();
void SetCaptureDevices(ICaptureDevices* devices);

} // namespace platform
