#include "linux/ReportDescriptor.h"

#include <map>
#include <vector>

namespace kelvane {
namespace {

struct Globals {
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint32_t reportId = 0;
};

unsigned BytesWithNumber(const std::map<std::uint32_t, std::uint64_t>& bitsById) {
    unsigned longest = 0;
    for (const auto& [id, bits] : bitsById) {
        const auto bytes = static_cast<unsigned>((bits + 7) / 8);
        if (bytes > longest) {
            longest = bytes;
        }
    }
    return bitsById.empty() ? 0 : longest + 1;
}

} // namespace

bool ParseReportDescriptor(const std::uint8_t* data, std::size_t size, ReportLayout& layout) {
    layout = ReportLayout{};
    Globals globals;
    std::vector<Globals> stack;
    std::map<std::uint32_t, std::uint64_t> inputBits;
    std::map<std::uint32_t, std::uint64_t> outputBits;
    int depth = 0;
    std::size_t pos = 0;
    while (pos < size) {
        const std::uint8_t prefix = data[pos];
        if (prefix == 0xFE) { // long item: size byte, tag byte, data; carries nothing we count
            if (pos + 3 > size) {
                return false;
            }
            const std::size_t len = data[pos + 1];
            pos += 3 + len;
            if (pos > size) {
                return false;
            }
            continue;
        }
        static constexpr std::size_t kDataSize[4] = {0, 1, 2, 4};
        const std::size_t len = kDataSize[prefix & 0x03];
        if (pos + 1 + len > size) {
            return false;
        }
        std::uint32_t value = 0;
        for (std::size_t k = 0; k < len; ++k) {
            value |= static_cast<std::uint32_t>(data[pos + 1 + k]) << (8 * k);
        }
        pos += 1 + len;
        const int type = (prefix >> 2) & 0x03;
        const int tag = prefix >> 4;
        if (type == 0) { // main
            const std::uint64_t bits = static_cast<std::uint64_t>(globals.reportSize) * globals.reportCount;
            if (tag == 0x8) {
                inputBits[globals.reportId] += bits;
            } else if (tag == 0x9) {
                outputBits[globals.reportId] += bits;
            } else if (tag == 0xA) {
                if (depth == 0 && value == 0x01) {
                    ++layout.topCollections;
                }
                ++depth;
            } else if (tag == 0xC && depth > 0) {
                --depth;
            }
        } else if (type == 1) { // global
            if (tag == 0x7) {
                globals.reportSize = value;
            } else if (tag == 0x9) {
                globals.reportCount = value;
            } else if (tag == 0x8) {
                globals.reportId = value;
                layout.numbered = true;
            } else if (tag == 0xA) {
                stack.push_back(globals);
            } else if (tag == 0xB && !stack.empty()) {
                globals = stack.back();
                stack.pop_back();
            }
        }
    }
    layout.inputLength = BytesWithNumber(inputBits);
    layout.outputLength = BytesWithNumber(outputBits);
    return true;
}

} // namespace kelvane
