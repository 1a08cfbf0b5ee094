/*
 * kelvane.h - Kelvane, a small HID access library (Linux hidraw).
 *
 * A CKelvane object finds one HID device by vendor and product number, identity
 * texts, interface and collection number, opens a read and a write channel on it
 * and moves whole reports (byte 0 is always the report number). The same library
 * exports plain C functions that work on a table of two objects, for programs
 * that cannot use the class.
 *
 * Threads: the library takes no lock. The identity texts of the device examined
 * last and the kind of Read (polling or blocking) are shared by every object, so
 * Open, GetList and Read of all objects must be called from one thread at a time.
 * Write uses its own channel and is independent of reading.
 *
 * Errors are return values; nothing here throws, and nothing is shown except on
 * an explicit ShowVersion call. Beside its results each object keeps the reason
 * of its last failure, which GetLastError gives.
 */
#ifndef KELVANE_H
#define KELVANE_H

#if defined(KELVANE_BUILDING)
#define KELVANE_API __attribute__((visibility("default")))
#else
#define KELVANE_API
#endif

#define KELVANE_VERSION_TEXT "1.17c"

/*
 * One device found by GetList (class interface). 144 bytes, no padding, the same
 * on 32- and 64-bit Linux:
 *   offset   0  char ProductName[50]   identity text, at most 49 characters + NUL
 *   offset  50  char Manufacturer[50]  identity text, at most 49 characters + NUL
 *   offset 100  char SerialNumber[20]  identity text, at most 19 characters + NUL
 *   offset 120  int  VendorID
 *   offset 124  int  ProductID
 *   offset 128  int  InputReportLength   report number byte included
 *   offset 132  int  OutputReportLength  report number byte included
 *   offset 136  int  Interface           USB interface number, -1 when none
 *   offset 140  int  Collection          see docs/kelvane.md, -1 when none
 */
typedef struct mdeviceList {
    char ProductName[50];
    char Manufacturer[50];
    char SerialNumber[20];
    int VendorID;
    int ProductID;
    int InputReportLength;
    int OutputReportLength;
    int Interface;
    int Collection;
} mdeviceList;

/*
 * One device found by the plain GetList. The three text fields point to buffers
 * of the caller (50, 50 and 20 bytes); a null pointer is skipped. On 64-bit
 * Linux (LP64) the record is 48 bytes:
 *   offset  0  char* ProductName    (8 bytes)
 *   offset  8  char* Manufacturer   (8 bytes)
 *   offset 16  char* SerialNumber   (8 bytes)
 *   offset 24  int   VendorID
 *   offset 28  int   ProductID
 *   offset 32  int   InputReportLength
 *   offset 36  int   OutputReportLength
 *   offset 40  int   Interface
 *   offset 44  int   Collection
 * (On 32-bit Linux the pointers are 4 bytes and the record is 36 bytes.)
 */
typedef struct mdeviceRecord {
    char* ProductName;
    char* Manufacturer;
    char* SerialNumber;
    int VendorID;
    int ProductID;
    int InputReportLength;
    int OutputReportLength;
    int Interface;
    int Collection;
} mdeviceRecord;

/* Receives the text of ShowVersion; see SetNoticeHandler. */
typedef void (*KelvaneNoticeHandler)(const char* caption, const char* text);

#ifdef __cplusplus
static_assert(sizeof(mdeviceList) == 144, "mdeviceList is part of the binary interface");
static_assert(sizeof(void*) != 8 || sizeof(mdeviceRecord) == 48, "mdeviceRecord layout on LP64");

class KELVANE_API CKelvane {
public:
    // A closed object: no channels, no interface or collection filter.
    CKelvane();
    // Closes the channels that are open.
    ~CKelvane();
    // Copies every member, the channels included: both objects then share the same
    // channels, and only one of them may close them (or be destroyed while open).
    CKelvane& operator=(const CKelvane& other);
    CKelvane(const CKelvane&) = delete;

    // Looks at every HID interface in node order and opens a read and a write
    // channel on the first that matches. 0xFFFF or more as vendor or product, and a
    // null text, match anything; texts compare with identity texts (the leading
    // letters and digits of the device's string: "USB Headset" gives "USB").
    // overlapped != 0 makes Read a poll that never waits. Returns 1 when a device
    // matched and both channels are open, else 0; a failed search leaves the old
    // channels and report lengths as they were. Called again on an open object, it
    // keeps healthy channels of the same kind on the same node (reports waiting in
    // them stay readable) and replaces any others: an object never holds more than
    // one channel of each kind.
    int Open(unsigned vendorId, unsigned productId, char* manufacturer, char* serialNumber, char* productName,
             int overlapped);

    // One input report into buffer (m_InputReportLength bytes, report number in
    // byte 0). Returns the bytes delivered, 0 when the polling kind finds nothing
    // waiting (the report is read by a later call), -1 without a read channel, with
    // a null buffer or when the device is gone. The blocking kind waits for a report.
    int Read(void* buffer);
    // One output report of m_OutputReportLength bytes, byte 0 the report number.
    // Returns the bytes written or -1 (no write channel, null buffer, device gone).
    int Write(void* buffer);
    // Close one channel; harmless on a closed channel.
    void CloseRead();
    void CloseWrite();

    // Fills up to maxCount records with the devices that match (interface and
    // collection filters are not applied). Returns the count, -1 for a null list,
    // 0 when the device list cannot be had.
    int GetList(unsigned vendorId, unsigned productId, char* manufacturer, char* serialNumber,
                char* productName, mdeviceList* list, int maxCount);
    // Stores the report lengths (report number included) into the non-null pointers.
    void GetReportLengths(int* inputLength, int* outputLength);
    // Copies "1.17c" into buffer and returns 0; -1 for a null buffer.
    int GetLibVersion(char* buffer);

    // The reason of this object's last failure: returns its errno (ENODEV when no
    // device matched or the device is gone, EACCES when a node may not be opened,
    // EBADF without a channel, ...) and copies a text in Linux terms into text
    // (at most size - 1 characters and a NUL; skipped when text is null), such as
    // "cannot open /dev/hidraw2 for reading: Permission denied". Each failing call
    // sets it; a successful Open or GetList clears it (0 and ""), except that Open
    // keeps a problem that did not stop it: report lengths of 0 because the report
    // descriptor could not be read. Safe from any thread.
    int GetLastError(char* text, int size);

    // Interface and collection filters for Open; -1 means any.
    void SetInterface(int interfaceNumber);
    int GetInterface();
    void SetCollection(int collectionNumber);
    int GetCollection();

private:
    int ReadAsync(void* buffer);
    int ReadSync(void* buffer);

    char m_Serial[20];
    unsigned short m_InputReportLength;
    unsigned short m_OutputReportLength;
    int m_Interface;
    int m_Collection;
    int m_ReadHandle;  // file descriptor of the read channel, -1 when none
    int m_WriteHandle; // file descriptor of the write channel, -1 when none
    // hidraw delivers reports of a device without report numbers with no number
    // byte; Read puts the 0 back in front for such a device.
    bool m_Unnumbered;
    // The node the channels are open on, so that Open can keep them (see Open).
    char m_NodePath[64];
};
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The plain interface: every function below works on the object selected by
 * SetInstance (object 0 when the library is loaded). Call from one thread. */

/* Selects object n (0 or 1) and returns n; anything else returns -1 and keeps the
 * selection. */
KELVANE_API int SetInstance(int n);
KELVANE_API int Open(int vendorId, int productId, char* manufacturer, char* serialNumber, char* productName,
                     int overlapped);
KELVANE_API int Read(void* buffer);
KELVANE_API int Write(void* buffer);
KELVANE_API void CloseRead(void);
KELVANE_API void CloseWrite(void);
KELVANE_API void GetReportLengths(int* inputLength, int* outputLength);
KELVANE_API int GetLibVersion(char* buffer);
/* Shows "Library Version: 1.17c" with the caption "Kelvane": through the handler
 * given to SetNoticeHandler, or on standard error when there is none. */
KELVANE_API void ShowVersion(void);
/* At most 20 records, whatever maxCount says. */
KELVANE_API int GetList(int vendorId, int productId, char* manufacturer, char* serialNumber,
                        char* productName, mdeviceRecord* list, int maxCount);
KELVANE_API void SetInterface(int interfaceNumber);
KELVANE_API int GetInterface(void);
KELVANE_API void SetCollection(int collectionNumber);
KELVANE_API int GetCollection(void);
/* Lets a program with a user interface show ShowVersion's notice as it likes; a
 * null handler goes back to standard error. */
KELVANE_API void SetNoticeHandler(KelvaneNoticeHandler handler);

#ifdef __cplusplus
}
#endif

#endif /* KELVANE_H */
