#include "kelvane.h"

#include "Diagnostics.h"
#include "linux/HidrawChannel.h"
#include "linux/HidrawEnumerator.h"
#include "linux/IdentityText.h"
#include "linux/ReportDescriptor.h"

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

// The device's report layout; zero lengths when the descriptor cannot be read.
ReportLayout ReadLayout(const HidInterface& hid) {
    ReportLayout layout;
    std::vector<unsigned char> descriptor;
    if (!ReadReportDescriptor(hid, descriptor)) {
        Diagnostic(kReadDescriptor);
        return layout;
    }
    if (!ParseReportDescriptor(descriptor.data(), descriptor.size(), layout)) {
        Diagnostic(kParseDescriptor);
        layout = ReportLayout{};
    }
    return layout;
}

} // namespace

CKelvane::CKelvane()
    : m_Serial{}, m_InputReportLength(0), m_OutputReportLength(0), m_Interface(-1), m_Collection(-1),
      m_ReadHandle(-1), m_WriteHandle(-1), m_Unnumbered(true), m_NodePath{} {}

CKelvane::~CKelvane() {
    CloseRead();
    CloseWrite();
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
    }
    return *this;
}

// The first look at interface i that Open and GetList share: Skip when it is gone since the
// scan or does not carry the numbers asked for, Abort when it has no device path (the search
// then ends with nothing), Candidate otherwise.
enum class SearchStep { Candidate, Skip, Abort };

static SearchStep Examine(const HidrawEnumerator& devices, std::size_t i, HidInterface& hid,
                          unsigned vendorId, unsigned productId) {
    if (!devices.Describe(i, hid, vendorId, productId)) {
        Diagnostic(kCannotQuery);
        return SearchStep::Skip;
    }
    if (hid.path.empty()) {
        Diagnostic(kNoDevicePath);
        return SearchStep::Abort;
    }
    return hid.idsMatch && hid.hasProduct ? SearchStep::Candidate : SearchStep::Skip;
}

// Failures are results, never exceptions: should memory run out, the search
// simply finds nothing.
int CKelvane::Open(unsigned vendorId, unsigned productId, char* manufacturer, char* serialNumber,
                   char* productName, int overlapped) try {
    HidrawEnumerator devices;
    if (!devices.Scan()) {
        Diagnostic(kNoDeviceList);
        return 0;
    }
    bool matched = false;
    // Every interface is looked at: a machine with many HID devices (keyboards,
    // mice, webcams, docks) easily has more than the twenty once examined, and
    // the receiver may come after them.
    for (std::size_t i = 0; i < devices.Count() && !matched; ++i) {
        HidInterface hid;
        const SearchStep step = Examine(devices, i, hid, vendorId, productId);
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
        const ReportLayout layout = matched ? ReadLayout(hid) : ReportLayout{};
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
                    return 0;
                }
            }
            g_Overlapped = overlapped != 0;
            if (!keep) {
                m_WriteHandle = OpenWriteChannel(hid.path.c_str());
                if (m_WriteHandle < 0) {
                    CloseRead();
                    return 0;
                }
                // A path too long to remember is never kept.
                CopyText(m_NodePath, hid.path.size() < sizeof m_NodePath ? hid.path.c_str() : "");
            }
        }
    }
    return matched ? 1 : 0;
} catch (...) {
    return 0;
}

int CKelvane::GetList(unsigned vendorId, unsigned productId, char* manufacturer, char* serialNumber,
                      char* productName, mdeviceList* list, int maxCount) try {
    if (list == nullptr) {
        return -1;
    }
    HidrawEnumerator devices;
    if (!devices.Scan()) {
        Diagnostic(kNoDeviceList);
        return 0;
    }
    int filled = 0;
    for (std::size_t i = 0; i < devices.Count(); ++i) {
        HidInterface hid;
        const SearchStep step = Examine(devices, i, hid, vendorId, productId);
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
        const ReportLayout layout = ReadLayout(hid);
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
    return 0;
}

int CKelvane::Read(void* buffer) {
    return g_Overlapped ? ReadAsync(buffer) : ReadSync(buffer);
}

int CKelvane::ReadAsync(void* buffer) {
    return PollReport(m_ReadHandle, buffer, m_InputReportLength, m_Unnumbered);
}

int CKelvane::ReadSync(void* buffer) {
    return WaitReport(m_ReadHandle, buffer, m_InputReportLength, m_Unnumbered);
}

int CKelvane::Write(void* buffer) {
    return WriteReport(m_WriteHandle, buffer, m_OutputReportLength);
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
