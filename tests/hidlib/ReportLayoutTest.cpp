// The parts of the Linux layer that need no device: identity texts and report
// lengths from report descriptors.
#include "linux/IdentityText.h"
#include "linux/ReportDescriptor.h"

#include <gtest/gtest.h>

#include <vector>

using kelvane::MakeIdentityText;
using kelvane::ParseReportDescriptor;
using kelvane::ReportLayout;

TEST(IdentityText, StopsAtTheFirstCharacterThatIsNoLetterOrDigit) {
    EXPECT_EQ(MakeIdentityText("USB Headset", 49), "USB");
    EXPECT_EQ(MakeIdentityText("Keys Inc.", 49), "Keys");
    EXPECT_EQ(MakeIdentityText("aa:bb:cc", 19), "aa");
    EXPECT_EQ(MakeIdentityText("", 49), "");
    EXPECT_EQ(MakeIdentityText(" leading", 49), "");
}

TEST(IdentityText, KeepsAtMostTheGivenNumberOfCharacters) {
    const std::string serial(30, '7');
    EXPECT_EQ(MakeIdentityText(serial, 19), std::string(19, '7'));
    EXPECT_EQ(MakeIdentityText(std::string(60, 'a'), 49).size(), 49u);
}

TEST(IdentityText, TakesTheLowByteOfEachCharacterAsAUsbStringWouldGiveIt) {
    // U+0141 has the low byte 0x41 'A', so it counts as a letter; U+00E9 (0xE9)
    // does not, nor does a malformed byte.
    EXPECT_EQ(MakeIdentityText("X\xC5\x81Z", 49), "XAZ");
    EXPECT_EQ(MakeIdentityText("Caf\xC3\xA9 Bar", 49), "Caf");
    EXPECT_EQ(MakeIdentityText("AB\xFF"
                               "CD",
                               49),
              "AB");
}

TEST(ReportDescriptor, UnnumberedReportsCountTheNumberByteAsWindowsDoes) {
    const std::vector<std::uint8_t> receiver = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00,
                                                0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x07, 0x09, 0x01,
                                                0x81, 0x02, 0x95, 0x07, 0x09, 0x01, 0x91, 0x02, 0xC0};
    ReportLayout layout;
    ASSERT_TRUE(ParseReportDescriptor(receiver.data(), receiver.size(), layout));
    EXPECT_EQ(layout.inputLength, 8u);
    EXPECT_EQ(layout.outputLength, 8u);
    EXPECT_FALSE(layout.numbered);
    EXPECT_EQ(layout.topCollections, 1);
}

TEST(ReportDescriptor, NumberedReportsTakeTheLongestReportOfEachKind) {
    // Report 1: 4 bytes in; report 2: 2 x 16 bits + 3 bits in (rounded up to 5
    // bytes); report 3: 16 bytes out; in three top-level collections.
    const std::vector<std::uint8_t> combo = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x85, 0x01, 0x75, 0x08, 0x95,
                                             0x04, 0x81, 0x02, 0xC0, 0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85,
                                             0x02, 0x75, 0x10, 0x95, 0x02, 0x81, 0x00, 0x75, 0x01, 0x95, 0x03,
                                             0x81, 0x03, 0xC0, 0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85,
                                             0x03, 0x75, 0x08, 0x95, 0x10, 0x91, 0x02, 0xC0};
    ReportLayout layout;
    ASSERT_TRUE(ParseReportDescriptor(combo.data(), combo.size(), layout));
    EXPECT_EQ(layout.inputLength, 6u);
    EXPECT_EQ(layout.outputLength, 17u);
    EXPECT_TRUE(layout.numbered);
    EXPECT_EQ(layout.topCollections, 3);
}

TEST(ReportDescriptor, PushAndPopRestoreTheReportSizeAndCount) {
    const std::vector<std::uint8_t> d = {0xA1, 0x01, 0x75, 0x08, 0x95, 0x02, 0xA4, 0x75, 0x10, 0x95,
                                         0x04, 0x81, 0x02, 0xB4, 0x81, 0x02, 0x91, 0x02, 0xC0};
    ReportLayout layout;
    ASSERT_TRUE(ParseReportDescriptor(d.data(), d.size(), layout));
    EXPECT_EQ(layout.inputLength, 8u + 2u + 1u); // 4 x 16 bits, then 2 x 8 bits
    EXPECT_EQ(layout.outputLength, 3u);
}

TEST(ReportDescriptor, ADeviceWithoutOutputReportsHasOutputLengthZero) {
    const std::vector<std::uint8_t> d = {0xA1, 0x01, 0x75, 0x08, 0x95, 0x03, 0x81, 0x02, 0xC0};
    ReportLayout layout;
    ASSERT_TRUE(ParseReportDescriptor(d.data(), d.size(), layout));
    EXPECT_EQ(layout.inputLength, 4u);
    EXPECT_EQ(layout.outputLength, 0u);
}

TEST(ReportDescriptor, ADescriptorCutInsideAnItemIsRefused) {
    ReportLayout layout;
    const std::vector<std::uint8_t> cutShort = {0xA1, 0x01, 0x26, 0xFF};
    EXPECT_FALSE(ParseReportDescriptor(cutShort.data(), cutShort.size(), layout));
    const std::vector<std::uint8_t> cutLong = {0xFE, 0x05, 0x10, 0x00};
    EXPECT_FALSE(ParseReportDescriptor(cutLong.data(), cutLong.size(), layout));
    const std::vector<std::uint8_t> longItem = {0xFE, 0x01, 0x10, 0x00, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02};
    ASSERT_TRUE(ParseReportDescriptor(longItem.data(), longItem.size(), layout));
    EXPECT_EQ(layout.inputLength, 2u);
}
