#include "linux/HidrawEnumerator.h"

#include <libudev.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace kelvane {
namespace {

// "hidraw12" -> 12; a name without a number sorts last.
unsigned long NodeNumber(const char* sysname) {
    const char* digits = sysname;
    while (*digits != '\0' && (*digits < '0' || *digits > '9')) {
        ++digits;
    }
    return *digits == '\0' ? ~0UL : std::strtoul(digits, nullptr, 10);
}

bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bytes.clear();
    unsigned char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const int error = errno;
            ::close(fd);
            errno = error;
            return n == 0;
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
}

bool CopyAttribute(struct udev_device* dev, const char* name, std::string& out) {
    const char* value = dev != nullptr ? udev_device_get_sysattr_value(dev, name) : nullptr;
    if (value == nullptr) {
        return false;
    }
    out = value;
    return true;
}

} // namespace

bool ReadReportDescriptor(const HidInterface& hid, std::vector<unsigned char>& descriptor) {
    descriptor.clear();
    if (hid.hidSysPath.empty()) {
        errno = ENOENT;
        return false;
    }
    return ReadWholeFile(hid.hidSysPath + "/report_descriptor", descriptor);
}

HidrawEnumerator::HidrawEnumerator() = default;

HidrawEnumerator::~HidrawEnumerator() {
    if (m_Udev != nullptr) {
        udev_unref(m_Udev);
    }
}

bool HidrawEnumerator::Scan() {
    m_SysPaths.clear();
    if (m_Udev == nullptr) {
        errno = 0;
        m_Udev = udev_new();
        if (m_Udev == nullptr) {
            errno = errno != 0 ? errno : ENOMEM;
            return false;
        }
    }
    struct udev_enumerate* en = udev_enumerate_new(m_Udev);
    if (en == nullptr) {
        errno = ENOMEM;
        return false;
    }
    udev_enumerate_add_match_subsystem(en, "hidraw");
    // libudev answers with a negative errno.
    if (const int result = udev_enumerate_scan_devices(en); result < 0) {
        udev_enumerate_unref(en);
        errno = -result;
        return false;
    }
    std::vector<std::pair<unsigned long, std::string>> nodes;
    struct udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(en)) {
        const char* syspath = udev_list_entry_get_name(entry);
        const char* slash = std::strrchr(syspath, '/');
        nodes.emplace_back(NodeNumber(slash != nullptr ? slash + 1 : syspath), syspath);
    }
    udev_enumerate_unref(en);
    // udev lists in sysfs order, which follows the bus topology and not the order
    // devices were plugged in; the node number gives one order that stays put.
    std::sort(nodes.begin(), nodes.end());
    for (auto& node : nodes) {
        m_SysPaths.push_back(std::move(node.second));
    }
    return true;
}

bool HidrawEnumerator::Describe(std::size_t i, HidInterface& hid, unsigned vendorId,
                                unsigned productId) const {
    hid = HidInterface{};
    if (m_Udev == nullptr || i >= m_SysPaths.size()) {
        return false;
    }
    struct udev_device* raw = udev_device_new_from_syspath(m_Udev, m_SysPaths[i].c_str());
    if (raw == nullptr) {
        return false;
    }
    if (const char* node = udev_device_get_devnode(raw)) {
        hid.path = node;
    }
    // Parents belong to raw and are freed with it.
    struct udev_device* hidDev = udev_device_get_parent_with_subsystem_devtype(raw, "hid", nullptr);

    if (hidDev != nullptr) {
        // HID_ID is "bus:vendor:product" in hex, e.g. "0003:00000C45:00000200".
        if (const char* id = udev_device_get_property_value(hidDev, "HID_ID")) {
            unsigned bus = 0;
            unsigned vendor = 0;
            unsigned product = 0;
            if (std::sscanf(id, "%x:%x:%x", &bus, &vendor, &product) == 3) {
                hid.vendorId = vendor;
                hid.productId = product;
            }
        }
        hid.hidSysPath = udev_device_get_syspath(hidDev);
    }
    // Every attribute read is a file read; skip them for devices that are not wanted.
    hid.idsMatch = (vendorId >= kAnyId || vendorId == hid.vendorId) &&
                   (productId >= kAnyId || productId == hid.productId);
    if (!hid.idsMatch) {
        udev_device_unref(raw);
        return true;
    }
    struct udev_device* usbIf = udev_device_get_parent_with_subsystem_devtype(raw, "usb", "usb_interface");
    struct udev_device* usbDev = udev_device_get_parent_with_subsystem_devtype(raw, "usb", "usb_device");
    // The strings a program on Windows gets are the USB device's string
    // descriptors, which sysfs shows on the USB device. Devices on other buses
    // (Bluetooth, I2C) have only the HID core's name and unique id.
    hid.hasProduct = CopyAttribute(usbDev, "product", hid.product);
    hid.hasManufacturer = CopyAttribute(usbDev, "manufacturer", hid.manufacturer);
    hid.hasSerial = CopyAttribute(usbDev, "serial", hid.serial);
    if (!hid.hasProduct && hidDev != nullptr) {
        if (const char* name = udev_device_get_property_value(hidDev, "HID_NAME")) {
            hid.hasProduct = true;
            hid.product = name;
        }
    }
    if (!hid.hasSerial && hidDev != nullptr) {
        if (const char* uniq = udev_device_get_property_value(hidDev, "HID_UNIQ")) {
            hid.hasSerial = true;
            hid.serial = uniq;
        }
    }
    std::string number;
    if (CopyAttribute(usbIf, "bInterfaceNumber", number)) {
        char* end = nullptr;
        const long n = std::strtol(number.c_str(), &end, 16);
        if (end != number.c_str()) {
            hid.interfaceNumber = static_cast<int>(n);
        }
    }
    udev_device_unref(raw);
    return true;
}

} // namespace kelvane
