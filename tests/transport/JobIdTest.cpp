#include "JobId.h"

#include <gtest/gtest.h>

namespace {

TEST(JobId, the_author_part_keeps_safe_characters_and_is_cut_at_32) {
    const struct {
        const char* author;
        const char* id;
    } cases[] = {
        {"Maria Lopez", "20261210-194651-Maria_Lopez"},
        {"María López", "20261210-194651-Mar_a_L_pez"}, // one '_' per character, not per byte
        {"a/b\\..c", "20261210-194651-a_b___c"},
        {"O'Brien-Smith_2", "20261210-194651-O_Brien-Smith_2"},
        {"Jan 🎙 K", "20261210-194651-Jan___K"},
        {"abcdefghijklmnopqrstuvwxyz0123456789", "20261210-194651-abcdefghijklmnopqrstuvwxyz012345"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JobId("20261210-194651", c.author), c.id) << c.author;
}

} // namespace
