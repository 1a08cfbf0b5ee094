// The HID interfaces present, seen through udev: one hidraw node per HID
// interface, listed by node number so that "the first device that matches" is the
// same on every call.
#pragma once

#include <string>
#include <vector>

struct udev;

namespace kelvane {

inline constexpr unsigned kAnyId = 0xFFFF;

struct HidInterface {
    std::string path; // /dev/hidrawN, empty when udev knows no node for it
    unsigned vendorId = 0;
    unsigned productId = 0;
    // The numbers answer the filter given to Describe; when false, nothing below
    // the numbers has been read.
    bool idsMatch = false;
    // Strings as sysfs gives them (UTF-8); the "has" flags tell a missing string
    // from an empty one.
    bool hasProduct = false;
    std::string product;
    bool hasManufacturer = false;
    std::string manufacturer;
    bool hasSerial = false;
    std::string serial;
    int interfaceNumber = -1; // bInterfaceNumber of the USB interface, -1 when not USB
    std::string hidSysPath;   // the HID device above the node, empty when none
};

// The report descriptor as the kernel keeps it in sysfs; read only for devices
// that matched, since it costs a file open. False when it cannot be read, with
// errno set.
bool ReadReportDescriptor(const HidInterface& hid, std::vector<unsigned char>& descriptor);

class HidrawEnumerator {
public:
    HidrawEnumerator();
    ~HidrawEnumerator();
    HidrawEnumerator(const HidrawEnumerator&) = delete;
    HidrawEnumerator& operator=(const HidrawEnumerator&) = delete;

    // Lists the hidraw nodes present; false when udev cannot be reached, with
    // errno set.
    bool Scan();
    std::size_t Count() const { return m_SysPaths.size(); }
    // Fills the identity of interface i from sysfs without opening its node: its
    // numbers always, the rest only when the numbers match vendorId and productId
    // (kAnyId or more matches any). False when the device has gone since Scan.
    bool Describe(std::size_t i, HidInterface& hid, unsigned vendorId, unsigned productId) const;

private:
    struct udev* m_Udev = nullptr;
    std::vector<std::string> m_SysPaths;
};

} // namespace kelvane
