#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "TransportRules.h"

// The foot pedal: a three-pedal USB transcription pedal, a HID device of its own beside the
// receiver. It sends one report whenever a pedal goes down or up; the pedals' state is the first
// data byte, byte 1 of the report as Kelvane delivers it (byte 0 is the report number).
namespace pedal {

struct PedalId {
    unsigned VendorId;
    unsigned ProductId;
};

// The pedals known to report that way, tried in this order; the first one found is used.
inline constexpr PedalId kKnownPedals[] = {
    {0x05F3, 0x00FF},
};

inline constexpr std::size_t kBitsByte = 1;

// Bits of the pedals' byte; any other bit is no pedal and is ignored.
inline constexpr std::uint8_t kLeft = 0x01;   // rewind while held
inline constexpr std::uint8_t kMiddle = 0x02; // play while held
inline constexpr std::uint8_t kRight = 0x04;  // fast forward while held
inline constexpr std::uint8_t kPedals = kLeft | kMiddle | kRight;

// The transport events of a change from pedals `before` to pedals `now` (other bits dropped):
// the pedals let go first, then the ones pressed, so that the pedal pressed last decides.
std::vector<TransportEvent> Edges(std::uint8_t before, std::uint8_t now);

} // namespace pedal
