#include "RemoteReport.h"

#include <algorithm>

namespace remote {

std::uint8_t VolumeCommand(unsigned level) {
    return static_cast<std::uint8_t>(0xE0 | (level & 0x07));
}

std::uint8_t StateCommand(TransportState state) {
    // A recording paused by its mark shows idle until it resumes.
    if (state == TransportState::Recording)
        return kRecording;
    return IsHeard(state) ? kPlaying : kIdle;
}

int BatteryLevel(std::uint8_t event) {
    return event >= 0xA0 && event <= 0xA4 ? event - 0xA0 + 1 : 0;
}

Report::Report(int deviceLength)
    : m_Bytes(std::max(kReportSize, static_cast<std::size_t>(std::max(deviceLength, 0))), 0) {}

Report Report::Command(std::uint8_t command, int deviceLength) {
    Report report(deviceLength);
    report.m_Bytes[kCommandByte] = command;
    return report;
}

std::optional<std::uint8_t> Report::Event(int delivered) const {
    if (delivered <= static_cast<int>(kEventByte))
        return std::nullopt;
    return m_Bytes[kEventByte];
}

} // namespace remote
