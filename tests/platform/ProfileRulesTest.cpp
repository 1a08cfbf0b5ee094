// The private-profile rules, checked through the in-memory service (the real one shares them).
#include "platform/fakes/FakeProfile.h"

#include <cstring>
#include <gtest/gtest.h>

using platform::FakeProfile;

namespace {

class ProfileRules : public ::testing::Test {
protected:
    FakeProfile profile;
    const char* path = "/cfg/Recorder.ini";

    std::string Get(const char* section, const char* key, const char* def = "", unsigned size = 255) {
        std::vector<char> buf(size + 1, 'x');
        unsigned n = profile.GetString(section, key, def, buf.data(), size, path);
        EXPECT_EQ(n, std::strlen(buf.data()));
        return std::string(buf.data());
    }
    unsigned KeyListLength(const char* section, unsigned size = 90) {
        std::vector<char> buf(size);
        return profile.GetString(section, nullptr, "", buf.data(), size, path);
    }
};

TEST_F(ProfileRules, MissingFileGivesTheDefaultAndNoKeys) {
    EXPECT_EQ(Get("Recorder", "Format", "44100"), "44100");
    EXPECT_EQ(Get("Recorder", "Format"), "");
    EXPECT_EQ(KeyListLength("Recorder"), 0u);
}

TEST_F(ProfileRules, SectionAndKeyNamesIgnoreCaseAndBlanks) {
    profile.Files[path] = "[recorder]\n  format =  48000  \nFF/RewindSpeed=8X\n";
    EXPECT_EQ(Get("Recorder", "FORMAT"), "48000");
    EXPECT_EQ(Get("RECORDER", "ff/rewindspeed"), "8X");
}

TEST_F(ProfileRules, SectionLineWithoutKeysCountsAsNoSection) {
    profile.Files[path] = "[Recorder]\n\n; a comment\n";
    EXPECT_EQ(KeyListLength("Recorder"), 0u);
    profile.Files[path] = "[Recorder]\nFormat=44100\n";
    EXPECT_GT(KeyListLength("Recorder"), 0u);
}

TEST_F(ProfileRules, KeyListIsTerminatedNamesAndIsCutToTheBuffer) {
    profile.Files[path] = "[S]\nab=1\ncd=2\n";
    std::vector<char> buf(20, 'x');
    unsigned n = profile.GetString("S", nullptr, "", buf.data(), 20, path);
    EXPECT_EQ(n, 6u);
    EXPECT_EQ(std::string(buf.data(), 7), std::string("ab\0cd\0\0", 7));
    std::string many = "[S]\n";
    for (int i = 0; i < 40; ++i)
        many += "key" + std::to_string(i) + "=v\n";
    profile.Files[path] = many;
    EXPECT_EQ(KeyListLength("S", 90), 88u);
}

TEST_F(ProfileRules, LongValuesAreCutTo254Characters) {
    std::string longValue(300, 'a');
    profile.Files[path] = "[Recorder]\nFloaderName=" + longValue + "\n";
    EXPECT_EQ(Get("Recorder", "FloaderName"), std::string(254, 'a'));
}

TEST_F(ProfileRules, CrlfLinesAndAMissingFinalNewlineRead) {
    profile.Files[path] = "[Recorder]\r\nFormat=48000\r\nFloaderName=/rec";
    EXPECT_EQ(Get("Recorder", "Format"), "48000");
    EXPECT_EQ(Get("Recorder", "FloaderName"), "/rec");
}

TEST_F(ProfileRules, FirstOfDuplicateSectionsAndKeysWins) {
    profile.Files[path] = "[Recorder]\nFormat=44100\nFormat=48000\n[Recorder]\nFormat=8000\nSpeed=4\n";
    EXPECT_EQ(Get("Recorder", "Format"), "44100");
    EXPECT_EQ(Get("Recorder", "Speed"), "");
}

TEST_F(ProfileRules, EnclosingQuotesAreDropped) {
    profile.Files[path] = "[S]\na=\"x y\"\nb='z'\nc=\"unbalanced\n";
    EXPECT_EQ(Get("S", "a"), "x y");
    EXPECT_EQ(Get("S", "b"), "z");
    EXPECT_EQ(Get("S", "c"), "\"unbalanced");
}

TEST_F(ProfileRules, BinaryJunkReadsWithoutHarm) {
    std::string junk;
    for (int i = 0; i < 2000; ++i)
        junk += static_cast<char>((i * 131 + 7) % 256);
    profile.Files[path] = junk + "\n[Recorder]\nFormat=48000\n" + junk;
    EXPECT_EQ(Get("Recorder", "Format"), "48000");
    profile.Files[path] = std::string("[Recorder]\nFormat=48\0"
                                      "000\n",
                                      22);
    EXPECT_EQ(Get("Recorder", "Format"), "48");
}

TEST_F(ProfileRules, WriteReplacesOneValueAndKeepsEveryOtherByte) {
    const std::string before =
        "; settings\r\n[Recorder]\r\nFormat = 44100\r\nFloaderName=./\r\n\r\n[Other]\r\nx=1";
    profile.Files[path] = before;
    ASSERT_TRUE(profile.WriteString("Recorder", "format", "48000", path));
    EXPECT_EQ(profile.Files[path],
              "; settings\r\n[Recorder]\r\nFormat = 48000\r\nFloaderName=./\r\n\r\n[Other]\r\nx=1");
}

TEST_F(ProfileRules, WriteAddsAMissingKeyAfterTheSectionsLastKey) {
    profile.Files[path] = "[Recorder]\nFormat=44100\n\n[Other]\nx=1\n";
    ASSERT_TRUE(profile.WriteString("Recorder", "PlayerDevice", "No Device", path));
    EXPECT_EQ(profile.Files[path], "[Recorder]\nFormat=44100\nPlayerDevice=No Device\n\n[Other]\nx=1\n");
    profile.Files[path] = "[Recorder]\nFormat=44100";
    ASSERT_TRUE(profile.WriteString("Recorder", "A", "1", path));
    EXPECT_EQ(profile.Files[path], "[Recorder]\nFormat=44100\nA=1");
}

TEST_F(ProfileRules, WriteAddsAMissingSectionAtTheEnd) {
    profile.Files[path] = "[Other]\r\nx=1";
    ASSERT_TRUE(profile.WriteString("Recorder", "Format", "48000", path));
    EXPECT_EQ(profile.Files[path], "[Other]\r\nx=1\r\n[Recorder]\r\nFormat=48000\r\n");
}

TEST_F(ProfileRules, WriteOfANullValueRemovesTheKeyAndANullKeyTheSection) {
    profile.Files[path] = "[A]\nx=1\ny=2\n[B]\nz=3\n";
    ASSERT_TRUE(profile.WriteString("A", "x", nullptr, path));
    EXPECT_EQ(profile.Files[path], "[A]\ny=2\n[B]\nz=3\n");
    ASSERT_TRUE(profile.WriteString("A", nullptr, nullptr, path));
    EXPECT_EQ(profile.Files[path], "[B]\nz=3\n");
}

TEST_F(ProfileRules, ALeadingUtf8ByteOrderMarkIsSkippedAndKept) {
    const std::string bom = "\xEF\xBB\xBF";
    // The file before and after Format is set to 48000.
    const std::vector<std::pair<std::string, std::string>> cases = {
        {bom + "[Recorder]\r\nFormat=44100\r\n", bom + "[Recorder]\r\nFormat=48000\r\n"},
        {bom + "[Recorder]\nA=1\n", bom + "[Recorder]\nA=1\nFormat=48000\n"},
        {bom, bom + "[Recorder]\nFormat=48000\n"},
    };
    for (const auto& [before, after] : cases) {
        profile.Files[path] = before;
        EXPECT_EQ(KeyListLength("Recorder") > 0, before != bom) << before;
        ASSERT_TRUE(profile.WriteString("Recorder", "Format", "48000", path));
        EXPECT_EQ(profile.Files[path], after);
    }
}

TEST_F(ProfileRules, ReadOnlyFileIsNotWritten) {
    profile.Files[path] = "[Recorder]\nFormat=44100\n";
    profile.ReadOnly.insert(path);
    EXPECT_FALSE(profile.WriteString("Recorder", "Format", "48000", path));
    EXPECT_EQ(Get("Recorder", "Format"), "44100");
}

} // namespace
