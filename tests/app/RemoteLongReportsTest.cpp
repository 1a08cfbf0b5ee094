// A device with the receiver's ids but 64-byte reports. This file is also built with
// AddressSanitizer over the window's own code, which then checks every transfer's buffer.
#include "WindowFixture.h"
#include "ui/FolderDlg.h"

namespace apptest {
namespace {

using Bytes = std::vector<int>;
using RemoteWindow = WindowTest;

// A device with the receiver's ids but 64-byte reports: every transfer is as long as the
// device's reports, and the command and event bytes sit where they do in the receiver's.
TEST_F(RemoteWindow, DeviceWithLongerReportsIsReadAndWrittenWithoutOverrun) {
    MakeThreeRecordings(rec);
    Start(64);
    EXPECT_EQ(Commands(), (Bytes{kRoomChecked, 0xE7, 0xC0}));
    Report(0xA3);
    EXPECT_EQ(Battery(), "battery-4");
    emit dlg->ButtonById(1011)->clicked(); // Volume down
    EXPECT_EQ(Commands(), Bytes{0xE6});
    FolderDlg settings;
    settings.m_pHid = &dlg->m_Hid;
    emit settings.m_BtnLink.clicked();
    EXPECT_EQ(Commands(), Bytes{0xD4});
    // A foot pedal with 64-byte reports too: its middle pedal plays, whatever the other bits say.
    EmulatedDevice pedal = FootPedal(kPedalNode);
    pedal.descriptor.insert(pedal.descriptor.end() - 1, {0x75, 0x08, 0x95, 0x3E, 0x81, 0x01});
    bus->Add(pedal);
    Tick(7);
    std::vector<std::uint8_t> report(64, 0xFF);
    report[0] = 0;
    report[1] = 0xFA;
    bus->SendInput(kPedalNode, report);
    Tick(7);
    EXPECT_EQ(Commands(), Bytes{0xC2});
}

} // namespace
} // namespace apptest
