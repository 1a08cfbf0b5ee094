// The report layouts the recorder and the remote unit share.
#include "RemoteReport.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

TEST(RemoteReport, CommandSitsInByteThreeOfABufferAsLongAsTheDevicesReportsAndAtLeastEight) {
    for (auto [deviceLength, size] : {std::pair{8, 8u}, {64, 64u}, {2, 8u}, {0, 8u}, {-1, 8u}}) {
        remote::Report report = remote::Report::Command(0xC2, deviceLength);
        std::vector<std::uint8_t> expected(size, 0);
        expected[3] = 0xC2;
        ASSERT_EQ(report.Size(), size) << deviceLength;
        EXPECT_EQ(std::memcmp(report.Data(), expected.data(), size), 0) << deviceLength;
    }
}

TEST(RemoteReport, EventIsByteTwoOfAReportLongEnoughToCarryIt) {
    remote::Report report(64);
    static_cast<std::uint8_t*>(report.Data())[2] = 0x07;
    for (auto [delivered, event] : {std::pair<int, std::optional<std::uint8_t>>{8, 0x07},
                                    {3, 0x07},
                                    {2, std::nullopt},
                                    {0, std::nullopt},
                                    {-1, std::nullopt}})
        EXPECT_EQ(report.Event(delivered), event) << delivered;
    EXPECT_EQ(remote::BatteryLevel(0xA0), 1);
    EXPECT_EQ(remote::BatteryLevel(0xA4), 5);
    EXPECT_EQ(remote::BatteryLevel(0xA5), 0);
    EXPECT_EQ(remote::BatteryLevel(0x9F), 0);
}

} // namespace
