#pragma once
#include <string>
#include <vector>

namespace platform {

// One capture device as the program lists it: the product name shown to the user and the ALSA
// PCM name that opens it.
struct AlsaCaptureEntry {
    std::string ProductName;
    std::string PcmName;
    // The sound server's name of the source, for a source of the server's; "" otherwise.
    std::string ServerSource;
};

// Looks afresh: first the sound server's sources (ServerSourceList), then every capture device of every sound
// card (product name = the card's name, e.g. "USB Headset"), then the capture-capable PCMs that the ALSA
// configuration defines with a description (product name = its first line), except ALSA's own helper plugins.
std::vector<AlsaCaptureEntry> AlsaCaptureList();

} // namespace platform
