// Moving reports: the polling and the blocking Read, Write, closing channels.
#include "StandardBus.h"

#include "kelvane.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

class ReceiverReports : public ::testing::Test {
protected:
    void SetUp() override {
        AddStandardDevices(bus);
        ASSERT_EQ(hid.Open(kReceiverVendor, kReceiverProduct, nullptr, nullptr, nullptr, 1), 1);
    }

    std::pair<int, std::string> Why() {
        char text[128];
        const int error = hid.GetLastError(text, sizeof text);
        return {error, text};
    }

    Bytes ReadOne(int* result) {
        Bytes buffer(8, 0xEE);
        *result = hid.Read(buffer.data());
        return buffer;
    }

    EmulatedHidBus bus;
    CKelvane hid;
};

TEST_F(ReceiverReports, AWaitingReportIsDeliveredWithReportNumberZeroFirst) {
    const Bytes key = {0x00, 0x10, 0x07, 0x01, 0x02, 0x03, 0x04, 0x05};
    bus.SendInput(kReceiverNode, key);
    int n = 0;
    EXPECT_EQ(ReadOne(&n), key);
    EXPECT_EQ(n, 8);
}

TEST_F(ReceiverReports, WithNothingWaitingReadGivesZeroAndALaterReportIsNotLost) {
    int n = -2;
    ReadOne(&n);
    EXPECT_EQ(n, 0);
    const Bytes battery = {0x00, 0x00, 0x21, 0x04, 0, 0, 0, 0};
    bus.SendInput(kReceiverNode, battery);
    EXPECT_EQ(ReadOne(&n), battery);
    EXPECT_EQ(n, 8);
    ReadOne(&n);
    EXPECT_EQ(n, 0);
}

TEST_F(ReceiverReports, QueuedReportsComeOneByOneInOrder) {
    const Bytes first = {0, 1, 0x05, 0, 0, 0, 0, 0};
    const Bytes second = {0, 2, 0x06, 0, 0, 0, 0, 0};
    bus.SendInput(kReceiverNode, first);
    bus.SendInput(kReceiverNode, second);
    int n = 0;
    EXPECT_EQ(ReadOne(&n), first);
    EXPECT_EQ(ReadOne(&n), second);
    EXPECT_EQ(n, 8);
}

TEST_F(ReceiverReports, ReadAfterTheReceiverIsUnpluggedGivesMinusOne) {
    bus.Remove(kReceiverNode);
    int n = 0;
    ReadOne(&n);
    EXPECT_EQ(n, -1);
    // The channel stays open and keeps saying so until it is closed.
    ReadOne(&n);
    EXPECT_EQ(n, -1);
    EXPECT_EQ(Why(), std::make_pair(ENODEV, std::string("/dev/hidraw2 has gone: the device was unplugged")));
    EXPECT_EQ(hid.Open(kReceiverVendor, kReceiverProduct, nullptr, nullptr, nullptr, 1), 0);
    EXPECT_EQ(Why(), std::make_pair(ENODEV, std::string("no HID device matches")));
}

TEST_F(ReceiverReports, EachFailureKeepsItsReasonInLinuxTermsBesideTheResult) {
    EXPECT_EQ(Why(), std::make_pair(0, std::string())) << "a successful Open leaves nothing to report";
    unsigned char report[8] = {};
    EXPECT_EQ(hid.Read(nullptr), -1);
    EXPECT_EQ(Why(), std::make_pair(EINVAL, std::string("no buffer for the report")));
    hid.CloseWrite();
    EXPECT_EQ(hid.Write(report), -1);
    EXPECT_EQ(Why(), std::make_pair(EBADF, std::string("no write channel is open")));
    char shortText[4];
    EXPECT_EQ(hid.GetLastError(shortText, sizeof shortText), EBADF);
    EXPECT_STREQ(shortText, "no ");
    EXPECT_EQ(hid.GetLastError(nullptr, 0), EBADF);
    CKelvane copy;
    copy = hid;
    EXPECT_EQ(copy.GetLastError(nullptr, 0), EBADF);
    copy = CKelvane(); // the copy shares the channels: only one may close them
    EXPECT_EQ(copy.GetLastError(nullptr, 0), 0);
    EXPECT_EQ(hid.Open(kReceiverVendor, kReceiverProduct, nullptr, nullptr, nullptr, 1), 1);
    EXPECT_EQ(Why(), std::make_pair(0, std::string()));
}

// hidraw keeps unread reports per open file (a pty, as emulated here, does not),
// so a key pressed just before the presence test survives only if Open keeps the
// open files. A status flag set through a duplicate lives in the open file and
// shows whether it is still the same one.
TEST_F(ReceiverReports, ThePresenceTestKeepsTheOpenFilesSoNoWaitingReportIsDropped) {
    std::vector<int> marks;
    for (int fd : bus.DescriptorsOn(kReceiverNode)) {
        const int mark = ::dup(fd);
        ASSERT_GE(mark, 0);
        ASSERT_EQ(::fcntl(mark, F_SETFL, ::fcntl(mark, F_GETFL) | O_APPEND), 0);
        marks.push_back(mark);
    }
    ASSERT_EQ(marks.size(), 2u);
    const Bytes key = {0x00, 0x00, 0x07, 0, 0, 0, 0, 0};
    bus.SendInput(kReceiverNode, key);
    ASSERT_EQ(hid.Open(kReceiverVendor, kReceiverProduct, nullptr, nullptr, nullptr, 1), 1);
    for (int fd : bus.DescriptorsOn(kReceiverNode)) {
        if (std::find(marks.begin(), marks.end(), fd) == marks.end()) {
            EXPECT_NE(::fcntl(fd, F_GETFL) & O_APPEND, 0) << "descriptor " << fd << " was opened anew";
        }
    }
    for (int mark : marks) {
        ::close(mark);
    }
    int n = 0;
    EXPECT_EQ(ReadOne(&n), key);
    EXPECT_EQ(n, 8);
}

TEST_F(ReceiverReports, AfterUnplugAndReplugOpenGivesWorkingChannelsOnTheNewNode) {
    bus.Remove(kReceiverNode);
    int n = 0;
    ReadOne(&n);
    ASSERT_EQ(n, -1);
    constexpr int kNewNode = 3;
    bus.Add(Receiver(kNewNode));
    ASSERT_EQ(hid.Open(kReceiverVendor, kReceiverProduct, nullptr, nullptr, nullptr, 1), 1);
    EXPECT_EQ(bus.OpenCount(kNewNode), 2);
    const Bytes key = {0x00, 0x00, 0x01, 0, 0, 0, 0, 0};
    bus.SendInput(kNewNode, key);
    EXPECT_EQ(ReadOne(&n), key);
    EXPECT_EQ(n, 8);
    unsigned char idle[8] = {0, 0, 0, 0xC0};
    EXPECT_EQ(hid.Write(idle), 8);
}

TEST_F(ReceiverReports, OpenAfterCloseReadOpensBothChannelsAgain) {
    hid.CloseRead();
    ASSERT_EQ(hid.Open(kReceiverVendor, kReceiverProduct, nullptr, nullptr, nullptr, 1), 1);
    EXPECT_EQ(bus.OpenCount(kReceiverNode), 2);
    int n = -2;
    ReadOne(&n);
    EXPECT_EQ(n, 0);
}

TEST_F(ReceiverReports, AnEightByteWriteReachesTheDeviceWithoutItsReportNumber) {
    unsigned char idle[8] = {0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(hid.Write(idle), 8);
    EXPECT_EQ(bus.ReceivedOutput(kReceiverNode, 8), Bytes({0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(bus.LastRawOutput().size(), 8u);
}

TEST_F(ReceiverReports, WriteAfterCloseWriteGivesMinusOneWhileReadingGoesOn) {
    hid.CloseWrite();
    unsigned char report[8] = {0, 0, 0, 0xC1};
    EXPECT_EQ(hid.Write(report), -1);
    bus.SendInput(kReceiverNode, {0, 0, 0x01, 0, 0, 0, 0, 0});
    int n = 0;
    ReadOne(&n);
    EXPECT_EQ(n, 8);
    hid.CloseWrite(); // closing twice is harmless
}

TEST_F(ReceiverReports, ReadAfterCloseReadGivesMinusOneWhileWritingGoesOn) {
    hid.CloseRead();
    int n = 0;
    ReadOne(&n);
    EXPECT_EQ(n, -1);
    unsigned char report[8] = {0, 0, 0, 0xC2};
    EXPECT_EQ(hid.Write(report), 8);
    hid.CloseRead();
}

TEST_F(ReceiverReports, NullBuffersAreRefused) {
    EXPECT_EQ(hid.Read(nullptr), -1);
    EXPECT_EQ(hid.Write(nullptr), -1);
    hid.GetReportLengths(nullptr, nullptr);
    int in = 0;
    hid.GetReportLengths(&in, nullptr);
    EXPECT_EQ(in, 8);
}

TEST_F(ReceiverReports, TheBlockingKindReadsAWaitingReport) {
    ASSERT_EQ(hid.Open(kReceiverVendor, kReceiverProduct, nullptr, nullptr, nullptr, 0), 1);
    const Bytes key = {0, 0, 0x07, 9, 8, 7, 6, 5};
    bus.SendInput(kReceiverNode, key);
    int n = 0;
    EXPECT_EQ(ReadOne(&n), key);
    EXPECT_EQ(n, 8);
}

TEST_F(ReceiverReports, TheBlockingKindGivesMinusOneWhenTheDeviceIsGone) {
    ASSERT_EQ(hid.Open(kReceiverVendor, kReceiverProduct, nullptr, nullptr, nullptr, 0), 1);
    bus.Remove(kReceiverNode);
    int n = 0;
    ReadOne(&n);
    EXPECT_EQ(n, -1);
}

TEST(NumberedReports, ArriveWithTheirNumberAsHidrawDeliversThem) {
    EmulatedHidBus bus;
    AddStandardDevices(bus);
    CKelvane hid;
    ASSERT_EQ(hid.Open(0x046D, 0xB012, nullptr, nullptr, nullptr, 1), 1);
    bus.SendInput(kComboNode, {0x01, 0x10, 0x20, 0x30, 0x40});
    Bytes buffer(5, 0xEE);
    EXPECT_EQ(hid.Read(buffer.data()), 5);
    EXPECT_EQ(buffer, Bytes({0x01, 0x10, 0x20, 0x30, 0x40}));
    Bytes out(17, 0x11);
    out[0] = 0x03;
    EXPECT_EQ(hid.Write(out.data()), 17);
    EXPECT_EQ(bus.ReceivedOutput(kComboNode, 17), out);
}

// Two objects on two devices, as Tavlo holds the receiver and a foot pedal: each reads only its
// own reports, and one device going leaves the other reading.
TEST(TwoDevices, TheReceiverAndAPedalAreReadApartAndEitherMayGo) {
    EmulatedHidBus bus;
    AddStandardDevices(bus);
    bus.Add(FootPedal(5));
    CKelvane receiver;
    CKelvane pedal;
    ASSERT_EQ(receiver.Open(kReceiverVendor, kReceiverProduct, nullptr, nullptr, nullptr, 1), 1);
    ASSERT_EQ(pedal.Open(0x05F3, 0x00FF, nullptr, nullptr, nullptr, 1), 1);
    int in = 0;
    int out = -1;
    pedal.GetReportLengths(&in, &out);
    EXPECT_EQ(std::make_pair(in, out), std::make_pair(2, 0));
    bus.SendInput(kReceiverNode, {0, 0, 0x03, 0, 0, 0, 0, 0});
    bus.SendInput(5, {0, 0x02});
    Bytes two(2, 0xEE);
    Bytes eight(8, 0xEE);
    EXPECT_EQ(pedal.Read(two.data()), 2);
    EXPECT_EQ(two, Bytes({0, 0x02}));
    bus.Remove(5);
    EXPECT_EQ(pedal.Read(two.data()), -1);
    EXPECT_EQ(receiver.Read(eight.data()), 8);
    EXPECT_EQ(eight[2], 0x03);
}

TEST(ReadKind, TheLastSuccessfulOpenChoosesTheKindForEveryObject) {
    EmulatedHidBus bus;
    AddStandardDevices(bus);
    CKelvane polling;
    CKelvane blocking;
    ASSERT_EQ(blocking.Open(kReceiverVendor, kReceiverProduct, nullptr, nullptr, nullptr, 0), 1);
    ASSERT_EQ(polling.Open(kReceiverVendor, kReceiverProduct, nullptr, nullptr, nullptr, 1), 1);
    // Both now poll: the blocking object's read returns at once with nothing there.
    unsigned char buffer[8];
    EXPECT_EQ(blocking.Read(buffer), 0);
    EXPECT_EQ(polling.Read(buffer), 0);
}

} // namespace
