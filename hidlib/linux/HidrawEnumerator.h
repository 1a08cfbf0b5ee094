// The HID interfaces present, seen through udev: one hidraw node per HID
// interface, listed by node number so that "the first device that matches" is the
// same on every call.
#pragma once

#include <string>
#include <vector>

struct udev;

namespace kelvane {

struct HidInterface {
    std::string path; // /dev/hidrawN, empty when udev knows no node for it
    unsigned vendorId = 0;
    unsigned productId = 0;
    // Strings as sysfs gives them (UTF-8); the "has" flags tell a missing string
    // from an empty one.
    bool hasProduct = false;
    std::string product;
    bool hasManufacturer = false;
    std::string manufacturer;
    bool hasSerial = false;
    std::string serial;
    int interfaceNumber = -1; // bInterfaceNumber of the USB interface, -1 when not USB
    bool hasDescriptor = false;
    std::vector<unsigned char> descriptor;
};

class HidrawEnumerator {
public:
    HidrawEnumerator();
    ~HidrawEnumerator();
    HidrawEnumerator(const HidrawEnumerator&) = delete;
    HidrawEnumerator& operator=(const HidrawEnumerator&) = delete;

    // Lists the hidraw nodes present; false when udev cannot be reached.
    bool Scan();
    std::size_t Count() const { return m_SysPaths.size(); }
    // Fills the identity of interface i from sysfs without opening its node. False
    // when the device has gone since Scan.
    bool Describe(std::size_t i, HidInterface& hid) const;

private:
    struct udev* m_Udev = nullptr;
    std::vector<std::string> m_SysPaths;
};

} // namespace kelvane
