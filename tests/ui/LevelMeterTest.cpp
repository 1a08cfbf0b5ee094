#include "ui/CLevelMeter.h"

#include <gtest/gtest.h>

// The meter's decibel scale: 12 segments over the 48 dB below full scale.
TEST(LevelMeter, segments_lit_for_a_peak) {
    const std::pair<int, int> cases[] = {
        {0, 0},        {-5, 0},     // silence, and a value that is no magnitude
        {129, 0},      {131, 1},    // just below and above -48 dB
        {1036, 5},                  // -30 dB: four and a half segments' worth lights five
        {16384, 11},   {32768, 12}, // -6 dB, full scale
        {1 << 20, 12},              // beyond full scale is full scale
    };
    for (const auto& [peak, lit] : cases)
        EXPECT_EQ(CLevelMeter::SegmentsFor(peak), lit) << peak;
}
