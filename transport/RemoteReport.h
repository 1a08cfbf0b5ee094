#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "TransportState.h"

// The reports that pass between the recorder and the remote unit through the receiver's HID
// interface. Both kinds are 8 bytes as the program sees them, byte 0 the report number 0: the
// remote unit's event code in input byte 2, the program's command in output byte 3.
namespace remote {

// The receiver: vendor 0x0C45, product 0x0200.
inline constexpr unsigned kVendorId = 3141;
inline constexpr unsigned kProductId = 512;

inline constexpr std::size_t kReportSize = 8;
inline constexpr std::size_t kEventByte = 2;
inline constexpr std::size_t kCommandByte = 3;

// Event codes (input byte 2).
inline constexpr std::uint8_t kNothingToReport = 0xAE;
inline constexpr std::uint8_t kFileKey = 0x01;
inline constexpr std::uint8_t kRewindDown = 0x02;
inline constexpr std::uint8_t kPlayKey = 0x03;
inline constexpr std::uint8_t kForwardDown = 0x04;
inline constexpr std::uint8_t kFileDownKey = 0x05;
inline constexpr std::uint8_t kStopKey = 0x06;
inline constexpr std::uint8_t kRecordKey = 0x07;
inline constexpr std::uint8_t kLinkLost = 0x70;
inline constexpr std::uint8_t kRewindUp = 0xB2;
inline constexpr std::uint8_t kForwardUp = 0xB4;

// Commands (output byte 3).
inline constexpr std::uint8_t kIdle = 0xC0;
inline constexpr std::uint8_t kRecording = 0xC1;
inline constexpr std::uint8_t kPlaying = 0xC2;
inline constexpr std::uint8_t kAlert = 0xC3;
inline constexpr std::uint8_t kPair = 0xD4;

// The volume command for level 0..7 (0xE0 to 0xE7); 0xE0 also stands for mute.
std::uint8_t VolumeCommand(unsigned level);
// What the remote unit's light shows for `state`: recording (capture running), playing (sound is
// heard), or idle.
std::uint8_t StateCommand(TransportState state);
// The battery level 1..5 that events 0xA0 to 0xA4 report; 0 for every other event.
int BatteryLevel(std::uint8_t event);

// One report buffer, sized for the device that carries it. Kelvane moves reports of the length
// the device declares, so a buffer of the receiver's 8 bytes would be overrun by a device with
// the same ids and longer reports: the buffer is as long as the device's reports and never
// shorter than the receiver's layout. Bytes past the layout stay 0.
class Report {
public:
    // A zeroed buffer for reports of `deviceLength` bytes (report number included).
    explicit Report(int deviceLength);
    // An output report carrying `command` in byte 3.
    static Report Command(std::uint8_t command, int deviceLength);

    void* Data() { return m_Bytes.data(); }
    std::size_t Size() const { return m_Bytes.size(); }
    // The event code of an input report of which `delivered` bytes arrived (Kelvane's Read
    // result); none when nothing arrived or the report is too short to carry one.
    std::optional<std::uint8_t> Event(int delivered) const;

private:
    std::vector<std::uint8_t> m_Bytes;
};

} // namespace remote
