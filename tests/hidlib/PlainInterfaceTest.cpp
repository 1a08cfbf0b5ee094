// The plain functions: the table of two objects, the selection, version texts.
#include "StandardBus.h"

#include "kelvane.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class PlainFunctions : public ::testing::Test {
protected:
    void SetUp() override { AddStandardDevices(bus); }
    void TearDown() override {
        for (int n : {1, 0}) {
            SetInstance(n);
            CloseRead();
            CloseWrite();
            SetInterface(-1);
            SetCollection(-1);
        }
        SetNoticeHandler(nullptr);
    }

    EmulatedHidBus bus;
};

TEST_F(PlainFunctions, ObjectOneOpensWhileObjectZeroStaysClosed) {
    EXPECT_EQ(SetInstance(1), 1);
    EXPECT_EQ(Open(0x0C45, 0x0200, nullptr, nullptr, nullptr, 1), 1);
    unsigned char buffer[8];
    EXPECT_EQ(Read(buffer), 0);
    EXPECT_EQ(SetInstance(0), 0);
    EXPECT_EQ(Read(buffer), -1);
    int in = -1;
    int out = -1;
    GetReportLengths(&in, &out);
    EXPECT_EQ(in, 0);
    EXPECT_EQ(out, 0);
    SetInstance(1);
    GetReportLengths(&in, &out);
    EXPECT_EQ(in, 8);
    EXPECT_EQ(out, 8);
    unsigned char report[8] = {0, 0, 0, 0xE3};
    EXPECT_EQ(Write(report), 8);
    EXPECT_EQ(bus.ReceivedOutput(kReceiverNode, 8)[2], 0xE3);
}

TEST_F(PlainFunctions, AnInstanceOtherThanZeroOrOneKeepsTheSelection) {
    SetInstance(1);
    SetInterface(5);
    SetInstance(0);
    SetInterface(2);
    EXPECT_EQ(SetInstance(1), 1);
    EXPECT_EQ(SetInstance(2), -1);
    EXPECT_EQ(SetInstance(-1), -1);
    EXPECT_EQ(GetInterface(), 5);
    SetCollection(4);
    SetInstance(0);
    EXPECT_EQ(GetInterface(), 2);
    EXPECT_EQ(GetCollection(), -1);
}

TEST_F(PlainFunctions, TheVersionTextIsOnePointSeventeenC) {
    char buffer[16] = {};
    EXPECT_EQ(GetLibVersion(buffer), 0);
    EXPECT_STREQ(buffer, "1.17c");
    EXPECT_EQ(GetLibVersion(nullptr), -1);
    CKelvane object;
    char fromClass[16] = {};
    EXPECT_EQ(object.GetLibVersion(fromClass), 0);
    EXPECT_STREQ(fromClass, "1.17c");
    EXPECT_EQ(object.GetLibVersion(nullptr), -1);
}

std::string g_Caption;
std::string g_Text;
void Remember(const char* caption, const char* text) {
    g_Caption = caption;
    g_Text = text;
}

TEST_F(PlainFunctions, ShowVersionGoesToTheProgramsHandlerOrElseToStandardError) {
    SetNoticeHandler(&Remember);
    ShowVersion();
    EXPECT_EQ(g_Caption, "Kelvane");
    EXPECT_EQ(g_Text, "Library Version: 1.17c");
    SetNoticeHandler(nullptr);
    ::testing::internal::CaptureStderr();
    ShowVersion();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Kelvane: Library Version: 1.17c\n");
}

TEST_F(PlainFunctions, GetListCopiesTextsIntoTheCallersBuffers) {
    char product[4][50];
    char maker[4][50];
    char serial[4][20];
    mdeviceRecord list[4];
    for (int i = 0; i < 4; ++i) {
        list[i] = {product[i], maker[i], serial[i], 0, 0, 0, 0, 0, 0};
    }
    list[1].Manufacturer = nullptr; // skipped, not written through
    EXPECT_EQ(GetList(0xFFFF, 0xFFFF, nullptr, nullptr, nullptr, list, 4), 4);
    EXPECT_STREQ(product[2], "USB");
    EXPECT_STREQ(maker[2], "Tavlo");
    EXPECT_STREQ(serial[2], "RX0001");
    EXPECT_EQ(list[2].VendorID, 0x0C45);
    EXPECT_EQ(list[2].InputReportLength, 8);
    EXPECT_EQ(list[2].Interface, 3);
    EXPECT_EQ(list[2].Collection, -1);
    EXPECT_STREQ(serial[1], "aa");
    EXPECT_EQ(list[1].Collection, 1);
    EXPECT_EQ(GetList(0xFFFF, 0xFFFF, nullptr, nullptr, nullptr, nullptr, 4), -1);
    EXPECT_EQ(GetList(0xFFFF, 0xFFFF, nullptr, nullptr, nullptr, list, 0), 0);
}

TEST(PlainGetList, FillsAtMostTwentyRecordsWhateverMaxCountSays) {
    EmulatedHidBus bus;
    for (int node = 0; node < 24; ++node) {
        bus.Add(Keyboard(node, 0xC000 + node));
    }
    bus.Add(Receiver(24));
    mdeviceRecord list[50] = {};
    EXPECT_EQ(GetList(-1, -1, nullptr, nullptr, nullptr, list, 50), 20);
    EXPECT_EQ(list[19].ProductID, 0xC013);
    EXPECT_EQ(list[20].ProductID, 0);
    SetInstance(0);
    EXPECT_EQ(Open(0x0C45, 0x0200, nullptr, nullptr, nullptr, 1), 1);
    CloseRead();
    CloseWrite();
}

} // namespace
