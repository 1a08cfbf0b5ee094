#include "platform/SystemCheck.h"

#include <gtest/gtest.h>

TEST(StartupGate, RunsOnLinuxFromKernel4AndNowhereElse) {
    EXPECT_TRUE(platform::IsSupportedSystem("Linux", "6.1.0-18-amd64"));
    EXPECT_TRUE(platform::IsSupportedSystem("Linux", "4.19.0"));
    EXPECT_FALSE(platform::IsSupportedSystem("Linux", "3.10.0"));
    EXPECT_FALSE(platform::IsSupportedSystem("FreeBSD", "14.0-RELEASE"));
    EXPECT_FALSE(platform::IsSupportedSystem("Linux", ""));
    EXPECT_TRUE(platform::IsSupportedSystem()); // the machine the tests run on is supported
}
