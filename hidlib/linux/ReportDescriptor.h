// Report lengths from a HID report descriptor, counted the way the Windows HID
// capabilities count them, which callers of this library were written against.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvane {

struct ReportLayout {
    // Bytes of the longest input / output report plus one for the report number,
    // which is counted even when the device uses no report numbers; 0 when the
    // device has no report of that kind.
    unsigned inputLength = 0;
    unsigned outputLength = 0;
    // The descriptor declares report numbers: hidraw then passes them through.
    bool numbered = false;
    // Application collections at the top level of the descriptor.
    int topCollections = 0;
};

// Returns false for a descriptor that ends inside an item.
bool ParseReportDescriptor(const std::uint8_t* data, std::size_t size, ReportLayout& layout);

} // namespace kelvane
