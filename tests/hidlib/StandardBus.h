// The machine most Kelvane tests run on: a keyboard, a Bluetooth combo device,
// the receiver and a second keyboard, added out of node order.
#pragma once

#include "EmulatedHidBus.h"

inline constexpr int kKeyboardNode = 0;
inline constexpr int kComboNode = 1;
inline constexpr int kReceiverNode = 2;
inline constexpr int kSecondKeyboardNode = 10;
inline constexpr unsigned kReceiverVendor = 0x0C45;
inline constexpr unsigned kReceiverProduct = 0x0200;

inline void AddStandardDevices(EmulatedHidBus& bus) {
    bus.Add(Keyboard(kSecondKeyboardNode, 0xC31D));
    bus.Add(Receiver(kReceiverNode));
    bus.Add(Keyboard(kKeyboardNode));
    bus.Add(BluetoothCombo(kComboNode));
}
