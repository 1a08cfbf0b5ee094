#pragma once
#include "platform/CaptureDevices.h"

#include <cstdint>
#include <string>

namespace platform {

// The receiver's microphone, as the capture device lists name it.
inline constexpr const char* kReceiverInput = "USB Headset";

// The input a recording uses, and how to tell the user which it is.
struct CaptureInput {
    std::uint32_t DeviceId = 0xFFFFFFFFu; // an index of CaptureDevices(), or WAVE_MAPPER (the default input)
    std::string Name;      // what the user knows it by; "" for a default input the system does not name
    bool Receiver = false; // it is the receiver's microphone
};

// The device named exactly `preferred` when the user chose one and it is there; otherwise the
// lowest-numbered device named exactly "USB Headset"; otherwise the system's default input. A
// device whose name cannot be read is passed over.
CaptureInput ChooseCaptureInput(ICaptureDevices& devices, const std::string& preferred);

} // namespace platform
