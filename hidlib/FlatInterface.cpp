// The plain functions: a table of two objects and a selection, for programs that
// cannot use the class.
#include "kelvane.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int kPlainListMax = 20;

CKelvane g_Instances[2];
int g_Instance = 0;
KelvaneNoticeHandler g_NoticeHandler = nullptr;

CKelvane& Selected() {
    return g_Instances[g_Instance];
}

void CopyInto(char* dst, std::size_t size, const char* src) {
    if (dst != nullptr) {
        const std::size_t n = strnlen(src, size - 1);
        std::memcpy(dst, src, n);
        dst[n] = '\0';
    }
}

} // namespace

extern "C" {

int SetInstance(int n) {
    if (n != 0 && n != 1) {
        return -1;
    }
    g_Instance = n;
    return n;
}

int Open(int vendorId, int productId, char* manufacturer, char* serialNumber, char* productName,
         int overlapped) {
    // A negative number becomes a large unsigned one and so matches any device,
    // as 0xFFFF does.
    return Selected().Open(static_cast<unsigned>(vendorId), static_cast<unsigned>(productId), manufacturer,
                           serialNumber, productName, overlapped);
}

int Read(void* buffer) {
    return Selected().Read(buffer);
}

int Write(void* buffer) {
    return Selected().Write(buffer);
}

void CloseRead(void) {
    Selected().CloseRead();
}

void CloseWrite(void) {
    Selected().CloseWrite();
}

void GetReportLengths(int* inputLength, int* outputLength) {
    Selected().GetReportLengths(inputLength, outputLength);
}

int GetLibVersion(char* buffer) {
    if (buffer == nullptr) {
        return -1;
    }
    std::strcpy(buffer, KELVANE_VERSION_TEXT);
    return 0;
}

void ShowVersion(void) {
    // A shared library must not pull in a GUI toolkit: a program with a user
    // interface installs a handler and shows the box itself; otherwise the notice
    // goes to standard error, the terminal's equivalent of a message box.
    const char* caption = "Kelvane";
    char text[64];
    std::snprintf(text, sizeof text, "Library Version: %s", KELVANE_VERSION_TEXT);
    if (g_NoticeHandler != nullptr) {
        g_NoticeHandler(caption, text);
    } else {
        std::fprintf(stderr, "%s: %s\n", caption, text);
    }
}

int GetList(int vendorId, int productId, char* manufacturer, char* serialNumber, char* productName,
            mdeviceRecord* list, int maxCount) {
    if (list == nullptr) {
        return -1;
    }
    mdeviceList found[kPlainListMax];
    const int limit = maxCount < kPlainListMax ? maxCount : kPlainListMax;
    const int count = Selected().GetList(static_cast<unsigned>(vendorId), static_cast<unsigned>(productId),
                                         manufacturer, serialNumber, productName, found, limit);
    for (int i = 0; i < count; ++i) {
        // A null text pointer is skipped rather than written through.
        CopyInto(list[i].ProductName, sizeof found[i].ProductName, found[i].ProductName);
        CopyInto(list[i].Manufacturer, sizeof found[i].Manufacturer, found[i].Manufacturer);
        CopyInto(list[i].SerialNumber, sizeof found[i].SerialNumber, found[i].SerialNumber);
        list[i].VendorID = found[i].VendorID;
        list[i].ProductID = found[i].ProductID;
        list[i].InputReportLength = found[i].InputReportLength;
        list[i].OutputReportLength = found[i].OutputReportLength;
        list[i].Interface = found[i].Interface;
        list[i].Collection = found[i].Collection;
    }
    return count;
}

void SetInterface(int interfaceNumber) {
    Selected().SetInterface(interfaceNumber);
}

int GetInterface(void) {
    return Selected().GetInterface();
}

void SetCollection(int collectionNumber) {
    Selected().SetCollection(collectionNumber);
}

int GetCollection(void) {
    return Selected().GetCollection();
}

void SetNoticeHandler(KelvaneNoticeHandler handler) {
    g_NoticeHandler = handler;
}

} // extern "C"
