// A set of emulated HID devices for Kelvane's tests: umockdev fakes sysfs, udev
// and the /dev/hidrawN nodes inside this process (the test runs under
// umockdev-wrapper). Each node is a pty; the test holds the device's end and
// plays the kernel's part for reports without numbers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

typedef struct _UMockdevTestbed UMockdevTestbed;

struct EmulatedDevice {
    int node = 0; // N of /dev/hidrawN
    unsigned vendorId = 0;
    unsigned productId = 0;
    bool usb = true; // false: a Bluetooth device with only HID_NAME / HID_UNIQ
    std::string product;
    std::string manufacturer;
    std::string serial;
    int interfaceNumber = 0;
    std::vector<std::uint8_t> descriptor;
    bool numbered = false; // the descriptor uses report numbers
};

// The receiver: vendor page, 7 data bytes in and out, no report numbers, so that
// Windows-style lengths (number byte included) are 8.
EmulatedDevice Receiver(int node);
// A boot keyboard: 8 bytes in, 1 byte out (LEDs), lengths 9 and 2.
EmulatedDevice Keyboard(int node, unsigned productId = 0xC31C);
// A Bluetooth pointer with numbered reports in three top-level collections.
EmulatedDevice BluetoothCombo(int node);
// A three-pedal transcription foot pedal (0x05F3:0x00FF): one input byte, the pedals in bits
// 0 to 2, no report numbers and no output reports, so lengths 2 and 0.
EmulatedDevice FootPedal(int node);

class EmulatedHidBus {
public:
    EmulatedHidBus();
    ~EmulatedHidBus();
    EmulatedHidBus(const EmulatedHidBus&) = delete;
    EmulatedHidBus& operator=(const EmulatedHidBus&) = delete;

    void Add(const EmulatedDevice& device);
    // Unplugs: the node disappears and the device's end closes (hang-up). umockdev
    // cannot create the same /dev node again: plug a device back in on a new node.
    void Remove(int node);

    // The device sends an input report, given as the library shows it (byte 0 the
    // report number). For an unnumbered device the number is dropped, as the
    // kernel does. Returns once the bytes can be read from the node.
    void SendInput(int node, const std::vector<std::uint8_t>& report);
    // The next output report as the device receives it: what the node got, minus
    // a leading report number 0 for an unnumbered device (the kernel's part).
    // Empty when nothing arrives.
    std::vector<std::uint8_t> ReceivedOutput(int node, std::size_t expected);
    // Everything the node got that can be read now, without waiting, as raw bytes (report
    // numbers included): the reports a program wrote before it returned.
    std::vector<std::uint8_t> PendingRawOutput(int node);
    // Lets the node answer the hidraw ioctls (descriptor size and bytes, raw
    // info, name) as the kernel does, for programs that ask them.
    void AnswerHidrawIoctls(int node);

    // The device's end of the node (a pty master), for programs that read and write it
    // themselves; -1 once the device is removed.
    int DeviceEnd(int node) { return Find(node)->deviceEnd; }

    // How many descriptors of this process are open on the node (the bus's own
    // watch not counted): the channels a library holds on it.
    int OpenCount(int node);
    std::vector<int> DescriptorsOn(int node);
    // Raw bytes the node got, report number included, of the last ReceivedOutput.
    const std::vector<std::uint8_t>& LastRawOutput() const { return m_LastRaw; }

private:
    struct Slot {
        EmulatedDevice device;
        std::string syspath;
        std::string topSyspath; // the USB device, or the HID device when not on USB
        int deviceEnd = -1;
        int observer = -1; // a second reader of the node's queue, to know data arrived
        std::string ptyName;
    };
    Slot* Find(int node);
    static int OnIoctl(void* handler, void* client, void* self);

    UMockdevTestbed* m_Testbed = nullptr;
    std::vector<Slot> m_Slots;
    std::vector<void*> m_IoctlHandlers;
    int m_Plugs = 0;
    std::vector<std::uint8_t> m_LastRaw;
};
