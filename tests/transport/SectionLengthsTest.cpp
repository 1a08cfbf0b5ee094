// What a recording's marks store: whole seconds that add up to where each mark was made.
#include "SectionLengths.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

TEST(SectionLengths, the_stored_lengths_add_up_to_each_marks_position_within_a_second) {
    struct Case {
        const char* What;
        std::vector<std::int64_t> SectionsMs;
        std::vector<std::uint32_t> Stored;
    };
    const Case cases[] = {
        {"whole seconds", {12000, 5000}, {12, 5}},
        {"fractions carried", {1900, 1900, 1900}, {1, 2, 2}},
        {"a mark within the first second", {900, 900}, {0, 1}},
        {"a clock that stepped back", {-500, 1200}, {0, 1}},
    };
    for (const Case& c : cases) {
        CSectionLengths lengths;
        std::vector<std::uint32_t> stored;
        for (std::int64_t ms : c.SectionsMs)
            stored.push_back(lengths.Close(ms));
        EXPECT_EQ(stored, c.Stored) << c.What;
    }
}

TEST(SectionLengths, a_hundred_marks_of_1_9_s_start_their_sections_within_a_second_of_the_mark) {
    CSectionLengths lengths;
    std::uint64_t starts = 0;
    for (int mark = 1; mark <= 100; ++mark) {
        starts += lengths.Close(1999);
        const std::uint64_t position = mark * 1999ull;
        ASSERT_LE(starts * 1000, position) << mark;
        ASSERT_GT(starts * 1000 + 1000, position) << mark;
    }
    // A new recording carries nothing over from the last.
    lengths.Reset();
    EXPECT_EQ(lengths.Close(999), 0u);
}

} // namespace
