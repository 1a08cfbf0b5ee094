// The remote unit's side of the receiver's reports, as the virtual set plays it: the key codes it
// sends in input byte 2 and the meaning of the commands Tavlo sends in output byte 3.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace virtualset {

using Report = std::vector<std::uint8_t>;

constexpr std::size_t kReportSize = 8; // report number 0 and seven data bytes

struct RemoteKey {
    const char* Name; // as typed on standard input
    const char* Label;
    std::uint8_t Down; // event code of the press
    std::uint8_t Up;   // event code of the release; 0: the key sends one report only
};

// The seven keys, in the order the handheld shows them.
inline constexpr RemoteKey kKeys[] = {
    {"file", "FILE", 0x01, 0},
    {"rewind", "\u25C0\u25C0", 0x02, 0xB2},
    {"play", "\u25B6\u2759\u2759", 0x03, 0},
    {"forward", "\u25B6\u25B6", 0x04, 0xB4},
    {"file-down", "FILE\u25BC", 0x05, 0},
    {"stop", "\u25A0", 0x06, 0},
    {"record", "\u25CF", 0x07, 0},
};

constexpr std::uint8_t kLinkLost = 0x70;
constexpr std::uint8_t kBatteryBase = 0xA0; // 0xA0 + level - 1, levels 1 to 5

const RemoteKey* FindKey(const std::string& name);

// An input report carrying one event code.
Report EventReport(std::uint8_t code);

// What the remote shows after Tavlo's output report.
struct RemoteLights {
    enum class State { Idle, Recording, Playing, Alert, Link };
    State Light = State::Idle;
    int Volume = 7;
};

// Applies one output report (8 bytes, report number first); false when byte 3 is no command.
bool ApplyCommand(const Report& report, RemoteLights& lights);

// A short word for the log: the key or event of an input report, the command of an output report.
std::string DescribeInput(const Report& report);
std::string DescribeOutput(const Report& report);
const char* StateName(RemoteLights::State state);

std::string Hex(const Report& bytes);
// "00 0a ff" or "000aff" into bytes; nothing when a pair is not hexadecimal.
std::optional<Report> ParseHex(const std::vector<std::string>& words);

} // namespace virtualset
