// The Link button against an emulated receiver (umockdev): the pair request goes out only when
// the probe finds the receiver.
#include "EmulatedHidBus.h"
#include "QtTestApp.h"
#include "kelvane.h"
#include "ui/FolderDlg.h"

#include <gtest/gtest.h>

namespace {

constexpr int kReceiverNode = 2;
constexpr int kKeyboardNode = 0;

TEST(SettingsDialogLink, link_sends_the_pair_command_to_the_receiver_it_found) {
    EnsureQtApp();
    EmulatedHidBus bus;
    bus.Add(Keyboard(kKeyboardNode));
    bus.Add(Receiver(kReceiverNode));
    CKelvane hid;
    FolderDlg dialog;
    dialog.m_pHid = &hid;
    emit dialog.m_BtnLink.clicked();
    // The receiver gets the seven data bytes of the 8-byte report; the command is report byte 3.
    const std::vector<std::uint8_t> expected = {0, 0, 0xD4, 0, 0, 0, 0};
    EXPECT_EQ(bus.ReceivedOutput(kReceiverNode, 8), expected);
}

TEST(SettingsDialogLink, without_the_receiver_nothing_is_sent_even_on_channels_left_open) {
    EnsureQtApp();
    EmulatedHidBus bus;
    bus.Add(Keyboard(kKeyboardNode));
    // The device object still holds channels to another device; a failed probe keeps them.
    CKelvane hid;
    ASSERT_EQ(hid.Open(0x046D, 0xC31C, nullptr, nullptr, nullptr, 1), 1);
    FolderDlg dialog;
    dialog.m_pHid = &hid;
    emit dialog.m_BtnLink.clicked();
    EXPECT_TRUE(bus.ReceivedOutput(kKeyboardNode, 2).empty());
}

} // namespace
