// The report layouts the recorder and the remote unit share.
#include "RemoteReport.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

TEST(RemoteReport, CommandSitsInByteThreeOfABufferAsLongAsTheDevicesReports) {
    const struct {
        int deviceLength;
        std::size_t size;
    } cases[] = {{8, 8}, {64, 64}, {2, 8}, {0, 8}, {-1, 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.deviceLength);
        remote::Report report = remote::Report::Command(0xC2, c.deviceLength);
        ASSERT_EQ(report.Size(), c.size);
        std::vector<std::uint8_t> expected(c.size, 0);
        expected[3] = 0xC2;
        EXPECT_EQ(std::memcmp(report.Data(), expected.data(), c.size), 0);
    }
}

TEST(RemoteReport, EventIsByteTwoOfAReportLongEnoughToCarryIt) {
    remote::Report report(64);
    static_cast<std::uint8_t*>(report.Data())[2] = 0x07;
    EXPECT_EQ(report.Event(8), 0x07);
    EXPECT_EQ(report.Event(3), 0x07);
    EXPECT_EQ(report.Event(2), std::nullopt);
    EXPECT_EQ(report.Event(0), std::nullopt);
    EXPECT_EQ(report.Event(-1), std::nullopt);
}

TEST(RemoteReport, BatteryEventsAndVolumeCommandsMapToTheirLevels) {
    const std::pair<std::uint8_t, int> battery[] = {{0xA0, 1}, {0xA2, 3}, {0xA4, 5}, {0x9F, 0},
                                                    {0xA5, 0}, {0x70, 0}, {0xAE, 0}};
    for (auto [event, level] : battery)
        EXPECT_EQ(remote::BatteryLevel(event), level) << int(event);
    for (unsigned level = 0; level <= 7; ++level)
        EXPECT_EQ(remote::VolumeCommand(level), 0xE0 + level);
}

} // namespace
