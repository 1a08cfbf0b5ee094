#include "RemoteProtocol.h"

#include <cctype>
#include <cstdio>

namespace virtualset {

const RemoteKey* FindKey(const std::string& name) {
    for (const RemoteKey& key : kKeys)
        if (name == key.Name)
            return &key;
    return nullptr;
}

Report EventReport(std::uint8_t code) {
    Report report(kReportSize, 0);
    report[2] = code;
    return report;
}

bool ApplyCommand(const Report& report, RemoteLights& lights) {
    if (report.size() < 4)
        return false;
    const std::uint8_t command = report[3];
    switch (command) {
    case 0xC0:
        lights.Light = RemoteLights::State::Idle;
        return true;
    case 0xC1:
        lights.Light = RemoteLights::State::Recording;
        return true;
    case 0xC2:
        lights.Light = RemoteLights::State::Playing;
        return true;
    case 0xC3:
        lights.Light = RemoteLights::State::Alert;
        return true;
    case 0xD4:
        lights.Light = RemoteLights::State::Link;
        return true;
    default:
        if (command >= 0xE0 && command <= 0xE7) {
            lights.Volume = command - 0xE0;
            return true;
        }
        return false;
    }
}

const char* StateName(RemoteLights::State state) {
    switch (state) {
    case RemoteLights::State::Idle:
        return "idle";
    case RemoteLights::State::Recording:
        return "recording";
    case RemoteLights::State::Playing:
        return "playing";
    case RemoteLights::State::Alert:
        return "alert";
    case RemoteLights::State::Link:
        return "link";
    }
    return "";
}

std::string DescribeInput(const Report& report) {
    if (report.size() != kReportSize)
        return "odd length " + std::to_string(report.size());
    const std::uint8_t code = report[2];
    for (const RemoteKey& key : kKeys) {
        if (code == key.Down)
            return std::string(key.Name) + (key.Up ? " down" : "");
        if (key.Up && code == key.Up)
            return std::string(key.Name) + " up";
    }
    if (code == kLinkLost)
        return "link lost";
    if (code >= kBatteryBase && code <= kBatteryBase + 4)
        return "battery " + std::to_string(code - kBatteryBase + 1);
    if (code == 0xAE)
        return "nothing";
    return "unknown event";
}

std::string DescribeOutput(const Report& report) {
    RemoteLights lights;
    lights.Volume = -1;
    if (!ApplyCommand(report, lights))
        return "unknown command";
    if (lights.Volume >= 0)
        return "volume " + std::to_string(lights.Volume);
    return StateName(lights.Light);
}

std::string Hex(const Report& bytes) {
    std::string text;
    char pair[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(pair, sizeof pair, i ? " %02X" : "%02X", bytes[i]);
        text += pair;
    }
    return text;
}

std::optional<Report> ParseHex(const std::vector<std::string>& words) {
    std::string digits;
    for (const std::string& word : words)
        digits += word;
    if (digits.size() % 2 != 0)
        return std::nullopt;
    Report bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        unsigned value = 0;
        char rest = 0;
        const std::string pair = digits.substr(i, 2);
        if (std::sscanf(pair.c_str(), "%2x%c", &value, &rest) != 1 || !std::isxdigit(pair[0]) ||
            !std::isxdigit(pair[1]))
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

} // namespace virtualset
