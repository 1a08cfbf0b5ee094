#pragma once
#include "platform/wave/AlsaCaptureList.h"

#include <vector>

namespace platform {

// The capture sources of the sound server (PulseAudio, or PipeWire through its PulseAudio
// service), when one runs: each source but the monitors of outputs, named by the product name of
// its device (a USB microphone shows its product, "USB Headset") or else by its description, and
// opened through ALSA's pulse plugin as "pulse:DEVICE=<source>". Empty when no server answers;
// never starts a server.
std::vector<AlsaCaptureEntry> ServerSourceList();

// The server's default source, named as above (a monitor too, should it be the default); "" when
// no server answers.
std::string ServerDefaultSourceName();

} // namespace platform
