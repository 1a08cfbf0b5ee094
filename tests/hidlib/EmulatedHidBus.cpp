#include "EmulatedHidBus.h"

#include <umockdev.h>

#include <linux/hidraw.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Generous: the pty hands bytes over on a kernel worker, normally within
// microseconds. This is a bound on a hang, not a timing expectation.
constexpr int kArrivalBoundMs = 5000;

// umockdev's preload takes over ioctl() for every terminal it knows, the pty's own
// name included; the system call itself reaches the pty.
long RealIoctl(int fd, unsigned long request, void* arg) {
    return ::syscall(SYS_ioctl, fd, request, arg);
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (std::uint8_t b : bytes) {
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 0x0F]);
    }
    return out;
}

std::string Hex4(unsigned v) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X", v & 0xFFFF);
    return text;
}

} // namespace

EmulatedDevice Receiver(int node) {
    EmulatedDevice d;
    d.node = node;
    d.vendorId = 0x0C45;
    d.productId = 0x0200;
    d.product = "USB Headset";
    d.manufacturer = "Tavlo Audio";
    d.serial = "RX0001";
    d.interfaceNumber = 3;
    d.descriptor = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08,
                    0x95, 0x07, 0x09, 0x01, 0x81, 0x02, 0x95, 0x07, 0x09, 0x01, 0x91, 0x02, 0xC0};
    return d;
}

EmulatedDevice Keyboard(int node, unsigned productId) {
    EmulatedDevice d;
    d.node = node;
    d.vendorId = 0x046D;
    d.productId = productId;
    d.product = "USB Keyboard";
    d.manufacturer = "Keys Inc.";
    d.serial = "";
    d.interfaceNumber = 0;
    d.descriptor = {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15,
                    0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01, 0x75, 0x08,
                    0x81, 0x01, 0x95, 0x05, 0x75, 0x01, 0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x91,
                    0x02, 0x95, 0x01, 0x75, 0x03, 0x91, 0x01, 0x95, 0x06, 0x75, 0x08, 0x15, 0x00,
                    0x25, 0x65, 0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00, 0xC0};
    return d;
}

EmulatedDevice BluetoothCombo(int node) {
    EmulatedDevice d;
    d.node = node;
    d.vendorId = 0x046D;
    d.productId = 0xB012;
    d.usb = false;
    d.product = "BT Combo";
    d.serial = "aa:bb:cc:dd:ee:ff";
    d.interfaceNumber = -1;
    d.numbered = true;
    // Mouse (report 1, 4 bytes in), consumer keys (report 2, 2 x 16 bits in),
    // vendor (report 3, 16 bytes out).
    d.descriptor = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x85, 0x01, 0x75, 0x08, 0x95, 0x04,
                    0x81, 0x02, 0xC0, 0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x02, 0x75,
                    0x10, 0x95, 0x02, 0x81, 0x00, 0xC0, 0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1,
                    0x01, 0x85, 0x03, 0x75, 0x08, 0x95, 0x10, 0x91, 0x02, 0xC0};
    return d;
}

EmulatedDevice FootPedal(int node) {
    EmulatedDevice d;
    d.node = node;
    d.vendorId = 0x05F3;
    d.productId = 0x00FF;
    d.product = "Foot Pedal";
    d.manufacturer = "Pedal Works";
    d.interfaceNumber = 0;
    // Three one-bit pedals, then five bits of padding.
    d.descriptor = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x25, 0x01, 0x75, 0x01,
                    0x95, 0x03, 0x09, 0x01, 0x81, 0x02, 0x75, 0x05, 0x95, 0x01, 0x81, 0x01, 0xC0};
    return d;
}

EmulatedHidBus::EmulatedHidBus() : m_Testbed(umockdev_testbed_new()) {
    m_Slots.reserve(64);
}

EmulatedHidBus::~EmulatedHidBus() {
    for (Slot& slot : m_Slots) {
        if (slot.observer >= 0) {
            ::close(slot.observer);
        }
    }
    g_object_unref(m_Testbed);
    for (void* handler : m_IoctlHandlers) {
        g_object_unref(handler);
    }
}

void EmulatedHidBus::Add(const EmulatedDevice& device) {
    const std::string n = std::to_string(device.node);
    const std::string ids = Hex4(device.vendorId) + ":" + Hex4(device.productId);
    // Every plug-in gets places of its own in sysfs, as with a real kernel's
    // counters: umockdev cannot add a device where one was removed.
    const std::string plug = std::to_string(++m_Plugs);
    std::string text;
    std::string hidPath;
    std::string topPath;
    if (device.usb) {
        const std::string usbPath = "/devices/pci0000:00/0000:00:14.0/usb1/1-" + plug;
        topPath = usbPath;
        const std::string ifPath = usbPath + "/1-" + plug + ":1." + std::to_string(device.interfaceNumber);
        hidPath = ifPath + "/0003:" + ids + "." + plug;
        text += "P: " + usbPath + "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\n";
        text += "A: idVendor=" + Hex4(device.vendorId) + "\nA: idProduct=" + Hex4(device.productId) + "\n";
        text += "A: product=" + device.product + "\n";
        if (!device.manufacturer.empty()) {
            text += "A: manufacturer=" + device.manufacturer + "\n";
        }
        if (!device.serial.empty()) {
            text += "A: serial=" + device.serial + "\n";
        }
        text += "\nP: " + ifPath + "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\n";
        char number[8];
        std::snprintf(number, sizeof number, "%02x", device.interfaceNumber);
        text += std::string("A: bInterfaceNumber=") + number + "\n\n";
        text += "P: " + hidPath + "\nE: SUBSYSTEM=hid\nE: HID_ID=0003:0000" + ids.substr(0, 4) + ":0000" +
                ids.substr(5) + "\nE: HID_NAME=" + device.manufacturer + " " + device.product +
                "\nE: HID_UNIQ=" + device.serial + "\n";
    } else {
        hidPath = "/devices/virtual/misc/uhid/0005:" + ids + "." + plug;
        topPath = hidPath;
        text += "P: " + hidPath + "\nE: SUBSYSTEM=hid\nE: HID_ID=0005:0000" + ids.substr(0, 4) + ":0000" +
                ids.substr(5) + "\nE: HID_NAME=" + device.product + "\nE: HID_UNIQ=" + device.serial + "\n";
    }
    text += "H: report_descriptor=" + Hex(device.descriptor) + "\n\n";
    const std::string rawPath = hidPath + "/hidraw/hidraw" + n;
    text += "P: " + rawPath + "\nN: hidraw" + n + "\nE: SUBSYSTEM=hidraw\nE: DEVNAME=/dev/hidraw" + n +
            "\nA: dev=241:" + n + "\nL: device=../../../" + hidPath.substr(hidPath.rfind('/') + 1) + "\n\n";

    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(m_Testbed, text.c_str(), &error)) {
        const std::string message = error != nullptr ? error->message : "unknown";
        g_clear_error(&error);
        throw std::runtime_error("umockdev: " + message);
    }
    Slot slot;
    slot.device = device;
    slot.syspath = "/sys" + rawPath;
    slot.topSyspath = "/sys" + topPath;
    const std::string devnode = "/dev/hidraw" + n;
    slot.deviceEnd = umockdev_testbed_get_dev_fd(m_Testbed, devnode.c_str());
    if (slot.deviceEnd < 0) {
        throw std::runtime_error("umockdev: no device end for " + devnode);
    }
    // Watch the node's input queue through the pty's own name: umockdev answers
    // ioctls on /dev/hidrawN itself, so FIONREAD would not reach the pty there.
    const char* pty = ptsname(slot.deviceEnd);
    slot.ptyName = pty != nullptr ? pty : "";
    slot.observer = pty != nullptr ? ::open(pty, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC) : -1;
    if (slot.observer < 0) {
        throw std::runtime_error("emulated device: cannot watch " + devnode);
    }
    // Reports are binary: no line editing, no echo, no newline translation. The
    // line discipline that matters is the node's side of the pty.
    struct termios raw {};
    if (RealIoctl(slot.observer, TCGETS, &raw) == 0) {
        cfmakeraw(&raw);
        RealIoctl(slot.observer, TCSETS, &raw);
    }
    m_Slots.push_back(std::move(slot));
}

EmulatedHidBus::Slot* EmulatedHidBus::Find(int node) {
    for (Slot& slot : m_Slots) {
        if (slot.device.node == node) {
            return &slot;
        }
    }
    throw std::runtime_error("no emulated device hidraw" + std::to_string(node));
}

void EmulatedHidBus::Remove(int node) {
    Slot* slot = Find(node);
    umockdev_testbed_remove_device(m_Testbed, slot->syspath.c_str());
    // The devices above the node go too, so that the same device can come back.
    umockdev_testbed_remove_device(m_Testbed, slot->topSyspath.c_str());
    if (slot->observer >= 0) {
        ::close(slot->observer);
        slot->observer = -1;
    }
    if (slot->deviceEnd >= 0) {
        ::close(slot->deviceEnd);
        slot->deviceEnd = -1;
    }
    // Once nobody holds the node any more the kernel hands its pty to the next device plugged in,
    // and umockdev refuses to map a pty it still has on its books: the removed node's entry goes.
    std::string mapped = slot->ptyName;
    std::replace(mapped.begin(), mapped.end(), '/', '_');
    if (!mapped.empty()) {
        gchar* root = umockdev_testbed_get_root_dir(m_Testbed); // the caller's to free
        ::unlink((std::string(root) + "/dev/.ptymap/" + mapped).c_str());
        g_free(root);
    }
}

void EmulatedHidBus::SendInput(int node, const std::vector<std::uint8_t>& report) {
    Slot* slot = Find(node);
    std::vector<std::uint8_t> wire = report;
    if (!slot->device.numbered && !wire.empty()) {
        wire.erase(wire.begin());
    }
    if (::write(slot->deviceEnd, wire.data(), wire.size()) != static_cast<ssize_t>(wire.size())) {
        throw std::runtime_error("emulated device: short write");
    }
    // Wait until the node's input queue holds the whole report.
    for (int waited = 0; waited < kArrivalBoundMs; ++waited) {
        int queued = 0;
        if (RealIoctl(slot->observer, FIONREAD, &queued) == 0 && queued >= static_cast<int>(wire.size())) {
            return;
        }
        struct pollfd p = {slot->observer, POLLIN, 0};
        ::poll(&p, 1, 1);
    }
    throw std::runtime_error("emulated device: report did not arrive");
}

std::vector<std::uint8_t> EmulatedHidBus::ReceivedOutput(int node, std::size_t expected) {
    Slot* slot = Find(node);
    m_LastRaw.clear();
    while (m_LastRaw.size() < expected) {
        struct pollfd p = {slot->deviceEnd, POLLIN, 0};
        if (::poll(&p, 1, kArrivalBoundMs) <= 0) {
            break;
        }
        std::uint8_t chunk[256];
        const ssize_t n = ::read(slot->deviceEnd, chunk, sizeof chunk);
        if (n <= 0) {
            break;
        }
        m_LastRaw.insert(m_LastRaw.end(), chunk, chunk + n);
    }
    std::vector<std::uint8_t> seen = m_LastRaw;
    if (!slot->device.numbered && !seen.empty() && seen[0] == 0) {
        seen.erase(seen.begin());
    }
    return seen;
}

std::vector<std::uint8_t> EmulatedHidBus::PendingRawOutput(int node) {
    Slot* slot = Find(node);
    std::vector<std::uint8_t> raw;
    struct pollfd p = {slot->deviceEnd, POLLIN, 0};
    while (::poll(&p, 1, 0) > 0 && (p.revents & POLLIN)) {
        std::uint8_t chunk[256];
        const ssize_t n = ::read(slot->deviceEnd, chunk, sizeof chunk);
        if (n <= 0) {
            break;
        }
        raw.insert(raw.end(), chunk, chunk + n);
    }
    return raw;
}

std::vector<int> EmulatedHidBus::DescriptorsOn(int node) {
    Slot* slot = Find(node);
    std::vector<int> found;
    // Compare link targets rather than fstat() every descriptor: the testbed's
    // worker thread opens and closes its sockets meanwhile.
    DIR* dir = opendir("/proc/self/fd");
    if (dir == nullptr) {
        return found;
    }
    while (dirent* entry = readdir(dir)) {
        const int fd = std::atoi(entry->d_name);
        if (entry->d_name[0] == '.' || fd == slot->observer) {
            continue;
        }
        char target[PATH_MAX] = {};
        const std::string link = std::string("/proc/self/fd/") + entry->d_name;
        if (::readlink(link.c_str(), target, sizeof target - 1) > 0 && slot->ptyName == target) {
            found.push_back(fd);
        }
    }
    closedir(dir);
    return found;
}

int EmulatedHidBus::OpenCount(int node) {
    return static_cast<int>(DescriptorsOn(node).size());
}

int EmulatedHidBus::OnIoctl(void* handler, void* client, void* self) {
    auto* bus = static_cast<EmulatedHidBus*>(self);
    auto* c = static_cast<UMockdevIoctlClient*>(client);
    const std::string devnode = umockdev_ioctl_client_get_devnode(c);
    const Slot* slot = nullptr;
    for (const Slot& s : bus->m_Slots) {
        if (devnode == "/dev/hidraw" + std::to_string(s.device.node)) {
            slot = &s;
        }
    }
    (void)handler;
    if (slot == nullptr) {
        return FALSE;
    }
    const unsigned long request = umockdev_ioctl_client_get_request(c);
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(c);
    const std::vector<std::uint8_t>& d = slot->device.descriptor;
    if (request == HIDIOCGRDESCSIZE) {
        UMockdevIoctlData* out = umockdev_ioctl_data_resolve(arg, 0, sizeof(int), nullptr);
        const int size = static_cast<int>(d.size());
        std::memcpy(out->data, &size, sizeof size);
    } else if (request == HIDIOCGRDESC) {
        UMockdevIoctlData* out =
            umockdev_ioctl_data_resolve(arg, 0, sizeof(hidraw_report_descriptor), nullptr);
        auto* rd = reinterpret_cast<hidraw_report_descriptor*>(out->data);
        rd->size = static_cast<__u32>(d.size());
        std::memcpy(rd->value, d.data(), d.size());
    } else if (request == HIDIOCGRAWINFO) {
        UMockdevIoctlData* out = umockdev_ioctl_data_resolve(arg, 0, sizeof(hidraw_devinfo), nullptr);
        auto* info = reinterpret_cast<hidraw_devinfo*>(out->data);
        info->bustype = slot->device.usb ? 3 : 5;
        info->vendor = static_cast<__s16>(slot->device.vendorId);
        info->product = static_cast<__s16>(slot->device.productId);
    } else if (_IOC_TYPE(request) == 'H' && _IOC_NR(request) == 0x04) { // HIDIOCGRAWNAME(len)
        const std::string name =
            slot->device.usb ? slot->device.manufacturer + " " + slot->device.product : slot->device.product;
        const std::size_t room = _IOC_SIZE(request);
        UMockdevIoctlData* out = umockdev_ioctl_data_resolve(arg, 0, room, nullptr);
        const std::size_t n = std::min(room - 1, name.size());
        std::memcpy(out->data, name.c_str(), n);
        out->data[n] = 0;
        umockdev_ioctl_client_complete(c, static_cast<long>(n + 1), 0);
        return TRUE;
    } else {
        return FALSE;
    }
    umockdev_ioctl_client_complete(c, 0, 0);
    return TRUE;
}

void EmulatedHidBus::AnswerHidrawIoctls(int node) {
    const std::string devnode = "/dev/hidraw" + std::to_string(Find(node)->device.node);
    UMockdevIoctlBase* handler = umockdev_ioctl_base_new();
    g_signal_connect(handler, "handle-ioctl", G_CALLBACK(&EmulatedHidBus::OnIoctl), this);
    GError* error = nullptr;
    if (!umockdev_testbed_attach_ioctl(m_Testbed, devnode.c_str(), handler, &error)) {
        const std::string message = error != nullptr ? error->message : "unknown";
        g_clear_error(&error);
        g_object_unref(handler);
        throw std::runtime_error("umockdev: cannot answer ioctls on " + devnode + ": " + message);
    }
    m_IoctlHandlers.push_back(handler);
}
