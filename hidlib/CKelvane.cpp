#include "kelvane.h"

#include "Diagnostics.h"
#include "LastError.h"
#include "linux/HidrawChannel.h"
#include "linux/HidrawEnumerator.h"
#include "linux/IdentityText.h"
#include "linux/ReportDescriptor.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

using namespace kelvane;

namespace {

// Library-wide, as callers of the class expect: the identity texts of the device
// examined last, and the kind of Read chosen by the last successful Open.
char g_ProductText[50];
char g_ManufacturerText[50];
char g_SerialText[50];
bool g_Overlapped = false;

// Copies at most size - 1 characters and always ends dst with a NUL.
void CopyText(char* dst, std::size_t size, const char* src) {
    const std::size_t n = strnlen(src, size - 1);
    std::memcpy(dst, src, n);
    dst[n] = '\0';
}

template <std::size_t N> void CopyText(char (&dst)[N], const char* src) {
    CopyText(dst, N, src);
}

void StoreIdentity(char (&dst)[50], const std::string& raw) {
    CopyText(dst, MakeIdentityText(raw, 49).c_str());
}

bool Differs(const char* filter, const char* text) {
    return filter != nullptr && std::strcmp(filter, text) != 0;
}

// hidraw gives one node per HID interface, whatever the number of top-level
// collections in it; Windows gives one path per collection (with "&colNN") only
// when there are several. A node with several collections therefore stands for
// collection 1 and answers to a filter for any of 1..N; a node with one has none.
int CollectionNumber(const ReportLayout& layout) {
    return layout.topCollections > 1 ? 1 : -1;
}

bool HasCollection(const ReportLayout& layout, int collection) {
    return layout.topCollections > 1 && collection >= 1 && collection <= layout.topCollections;
}

// The hook gets the text callers of the class know; the object keeps the reason in
// Linux terms.
void Fail(const CKelvane* self, const char* hookText, int error, const std::string& text) {
    if (hookText != nullptr) {
        Diagnostic(hookText);
    }
    SetLastError(self, error, text);
}

// The device's report layout; zero lengths when the descriptor cannot be read.
ReportLayout ReadLayout(const CKelvane* self, const HidInterface& hid) {
    ReportLayout layout;
    std::vector<unsigned char> descriptor;
    if (!ReadReportDescriptor(hid, descriptor)) {
        const int error = errno;
        Fail(self, kReadDescriptor, error,
             WithReason("cannot read the report descriptor of " + hid.path, error));
        return layout;
    }
    if (!ParseReportDescriptor(descriptor.data(), descriptor.size(), layout)) {
        Fail(self, kParseDescriptor, EBADMSG,
             "the report descriptor of " + hid.path + " ends inside an item");
        layout = ReportLayout{};
    }
    return layout;
}

// A failed Read or Write in plain terms; node is where the channels were opened.
std::string ChannelText(const char* channel, const char* node, int error) {
    const std::string name = node[0] != '\0' ? node : "the device";
    switch (error) {
    case EBADF:
        return std::string("no ") + channel + " channel is open";
    case EINVAL:
        return "no buffer for the report";
    case ENODEV:
        return name + " has gone: the device was unplugged";
    default:
        return WithReason(std::string(channel) + " " + name + " failed", error);
    }
}

void NoDeviceList(const CKelvane* self) {
    const int error = errno;
    Fail(self, kNoDeviceList, error, WithReason("udev cannot list the hidraw devices", error));
}

} // namespace

CKelvane::CKelvane()
    : m_Serial{}, m_InputReportLength(0), m_OutputReportLength(0), m_Interface(-1), m_Collection(-1),
      m_ReadHandle(-1), m_WriteHandle(-1), m_Unnumbered(true), m_NodePath{} {
    // A new object at the address of one gone has no failure of its own yet; this also
    // builds the table of failures before the first object, so that it outlives them all.
    ClearLastError(this);
}

CKelvane::~CKelvane() {
    CloseRead();
    CloseWrite();
    ForgetLastError(this);
}

CKelvane& CKelvane::operator=(const CKelvane& other) {
    if (this != &other) {
        std::memcpy(m_Serial, other.m_Serial, sizeof m_Serial);
        m_InputReportLength = other.m_InputReportLength;
        m_OutputReportLength = other.m_OutputReportLength;
        m_Interface = other.m_Interface;
        m_Collection = other.m_Collection;
        m_ReadHandle = other.m_ReadHandle;
        m_WriteHandle = other.m_WriteHandle;
        m_Unnumbered = other.m_Unnumbered;
        std::memcpy(m_NodePath, other.m_NodePath, sizeof m_NodePath);
        CopyLastErrorTo(this, &other);
    }
    return *this;
}

// The first look at interface i that Open and GetList share: Skip when it is gone since the
// scan or does not carry the numbers asked for, Abort when it has no device path (the search
// then ends with nothing), Candidate otherwise.
enum class SearchStep { Candidate, Skip, Abort };

static SearchStep Examine(const CKelvane* self, const HidrawEnumerator& devices, std::size_t i,
                          HidInterface& hid, unsigned vendorId, unsigned productId) {
    if (!devices.Describe(i, hid, vendorId, productId)) {
        Diagnostic(kCannotQuery);
        return SearchStep::Skip;
    }
    if (hid.path.empty()) {
        Fail(self, kNoDevicePath, ENODEV, "udev knows no device node for a hidraw device");
        return SearchStep::Abort;
    }
    return hid.idsMatch && hid.hasProduct ? SearchStep::Candidate : SearchStep::Skip;
}

// Failures are results, never exceptions: should memory run out, the search
// simply finds nothing.
int CKelvane::Open(unsigned vendorId, unsigned productId, char* manufacturer, char* serialNumber,
                   char* productName, int overlapped) try {
    ClearLastError(this);
    HidrawEnumerator devices;
    if (!devices.Scan()) {
        NoDeviceList(this);
        return 0;
    }
    bool matched = false;
    // Every interface is looked at: a machine with many HID devices (keyboards,
    // mice, webcams, docks) easily has more than the twenty once examined, and
    // the receiver may come after them.
    for (std::size_t i = 0; i < devices.Count() && !matched; ++i) {
        HidInterface hid;
        const SearchStep step = Examine(this, devices, i, hid, vendorId, productId);
        if (step == SearchStep::Abort) {
            return 0;
        }
        if (step == SearchStep::Skip) {
            continue;
        }
        matched = true;
        StoreIdentity(g_ProductText, hid.product);
        if (Differs(productName, g_ProductText)) {
            matched = false;
        }
        const ReportLayout layout = matched ? ReadLayout(this, hid) : ReportLayout{};
        if (m_Interface != -1 && hid.interfaceNumber != m_Interface) {
            matched = false;
        }
        if (m_Collection != -1 && !HasCollection(layout, m_Collection)) {
            matched = false;
        }
        if (matched) {
            StoreIdentity(g_SerialText, hid.serial);
            StoreIdentity(g_ManufacturerText, hid.manufacturer);
            if (Differs(manufacturer, g_ManufacturerText) || Differs(serialNumber, g_SerialText)) {
                matched = false;
            }
        }
        if (matched) {
            m_InputReportLength = static_cast<unsigned short>(layout.inputLength);
            m_OutputReportLength = static_cast<unsigned short>(layout.outputLength);
            m_Unnumbered = !layout.numbered;
            CopyText(m_Serial, g_SerialText);
            Diagnostic(kFreeDescriptor);

            // The presence test calls Open once a second on the open receiver.
            // hidraw keeps unread reports per open file, so replacing a healthy
            // channel would drop a key pressed since the last Read: channels of
            // the same kind on the same node are kept.
            const bool keep = hid.path == m_NodePath && ChannelStillUsable(m_ReadHandle, overlapped != 0) &&
                              ChannelStillUsable(m_WriteHandle, false);
            if (!keep) {
                // Replace, never add: an object holds one channel of each kind.
                CloseRead();
                CloseWrite();
                m_ReadHandle = OpenReadChannel(hid.path.c_str(), overlapped != 0);
                if (m_ReadHandle < 0) {
                    const int error = errno;
                    SetLastError(this, error, WithReason("cannot open " + hid.path + " for reading", error));
                    return 0;
                }
            }
            g_Overlapped = overlapped != 0;
            if (!keep) {
                m_WriteHandle = OpenWriteChannel(hid.path.c_str());
                if (m_WriteHandle < 0) {
                    const int error = errno;
                    SetLastError(this, error, WithReason("cannot open " + hid.path + " for writing", error));
                    CloseRead();
                    return 0;
                }
                // A path too long to remember is never kept.
                CopyText(m_NodePath, hid.path.size() < sizeof m_NodePath ? hid.path.c_str() : "");
            }
        }
    }
    if (!matched) {
        SetLastError(this, ENODEV, "no HID device matches");
    }
    return matched ? 1 : 0;
} catch (...) {
    SetLastError(this, ENOMEM, "out of memory");
    return 0;
}

int CKelvane::GetList(unsigned vendorId, unsigned productId, char* manufacturer, char* serialNumber,
                      char* productName, mdeviceList* list, int maxCount) try {
    ClearLastError(this);
    if (list == nullptr) {
        SetLastError(this, EINVAL, "no list to fill");
        return -1;
    }
    HidrawEnumerator devices;
    if (!devices.Scan()) {
        NoDeviceList(this);
        return 0;
    }
    int filled = 0;
    for (std::size_t i = 0; i < devices.Count(); ++i) {
        HidInterface hid;
        const SearchStep step = Examine(this, devices, i, hid, vendorId, productId);
        if (step == SearchStep::Abort) {
            return 0;
        }
        if (step == SearchStep::Skip) {
            continue;
        }
        StoreIdentity(g_ProductText, hid.product);
        if (Differs(productName, g_ProductText)) {
            continue;
        }
        StoreIdentity(g_SerialText, hid.serial);
        StoreIdentity(g_ManufacturerText, hid.manufacturer);
        if (Differs(manufacturer, g_ManufacturerText) || Differs(serialNumber, g_SerialText)) {
            continue;
        }
        if (filled >= maxCount) {
            break;
        }
        const ReportLayout layout = ReadLayout(this, hid);
        mdeviceList& record = list[filled++];
        CopyText(record.SerialNumber, sizeof record.SerialNumber, g_SerialText);
        CopyText(record.ProductName, sizeof record.ProductName, g_ProductText);
        CopyText(record.Manufacturer, sizeof record.Manufacturer, g_ManufacturerText);
        record.VendorID = static_cast<int>(hid.vendorId);
        record.ProductID = static_cast<int>(hid.productId);
        record.InputReportLength = static_cast<int>(layout.inputLength);
        record.OutputReportLength = static_cast<int>(layout.outputLength);
        record.Interface = hid.interfaceNumber;
        record.Collection = CollectionNumber(layout);
    }
    return filled;
} catch (...) {
    SetLastError(this, ENOMEM, "out of memory");
    return 0;
}

int CKelvane::Read(void* buffer) {
    const int n = g_Overlapped ? ReadAsync(buffer) : ReadSync(buffer);
    if (n < 0) {
        const int error = errno;
        SetLastError(this, error, ChannelText("read", m_NodePath, error));
    }
    return n;
}

int CKelvane::ReadAsync(void* buffer) {
    return PollReport(m_ReadHandle, buffer, m_InputReportLength, m_Unnumbered);
}

int CKelvane::ReadSync(void* buffer) {
    return WaitReport(m_ReadHandle, buffer, m_InputReportLength, m_Unnumbered);
}

int CKelvane::Write(void* buffer) {
    const int n = WriteReport(m_WriteHandle, buffer, m_OutputReportLength);
    if (n < 0) {
        const int error = errno;
        SetLastError(this, error, ChannelText("write", m_NodePath, error));
    }
    return n;
}

int CKelvane::GetLastError(char* text, int size) {
    return CopyLastError(this, text, size);
}

void CKelvane::CloseRead() {
    CloseChannel(m_ReadHandle);
}

void CKelvane::CloseWrite() {
    CloseChannel(m_WriteHandle);
}

void CKelvane::GetReportLengths(int* inputLength, int* outputLength) {
    if (inputLength != nullptr) {
        *inputLength = m_InputReportLength;
    }
    if (outputLength != nullptr) {
        *outputLength = m_OutputReportLength;
    }
}

int CKelvane::GetLibVersion(char* buffer) {
    return ::GetLibVersion(buffer);
}

void CKelvane::SetInterface(int interfaceNumber) {
    m_Interface = interfaceNumber;
}

int CKelvane::GetInterface() {
    return m_Interface;
}

void CKelvane::SetCollection(int collectionNumber) {
    m_Collection = collectionNumber;
}

int CKelvane::GetCollection() {
    return m_Collection;
}
