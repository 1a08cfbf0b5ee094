#include "ui/DibPixels.h"

#include <fstream>
#include <iterator>

namespace ui {

namespace {

std::uint32_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8);
}
std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

constexpr std::size_t kFileHeader = 14;
constexpr int kMaxSide = 16384;
constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kBitfields = 3;

} // namespace

std::optional<DibPixels> ParseDib(const std::vector<std::uint8_t>& file) {
    if (file.size() < kFileHeader + 40 || file[0] != 'B' || file[1] != 'M') {
        return std::nullopt;
    }
    const std::uint32_t bitsOffset = U32(file, 10);
    const std::uint32_t infoSize = U32(file, kFileHeader);
    if (infoSize < 40 || kFileHeader + infoSize > file.size()) {
        return std::nullopt;
    }
    DibPixels dib;
    const auto width = static_cast<std::int32_t>(U32(file, kFileHeader + 4));
    const auto height = static_cast<std::int32_t>(U32(file, kFileHeader + 8));
    dib.BitsPerPixel = static_cast<int>(U16(file, kFileHeader + 14));
    const std::uint32_t compression = U32(file, kFileHeader + 16);
    std::uint32_t colorsUsed = U32(file, kFileHeader + 32);
    if (width <= 0 || width > kMaxSide || height == 0 || height < -kMaxSide || height > kMaxSide) {
        return std::nullopt;
    }
    dib.Width = width;
    dib.Height = height < 0 ? -height : height;
    dib.TopDown = height < 0;
    if (dib.BitsPerPixel != 8 && dib.BitsPerPixel != 16 && dib.BitsPerPixel != 24 && dib.BitsPerPixel != 32) {
        return std::nullopt;
    }
    std::size_t tableAt = kFileHeader + infoSize;
    if (compression == kBitfields && (dib.BitsPerPixel == 16 || dib.BitsPerPixel == 32)) {
        // The masks follow a 40-byte header and lie inside the larger ones.
        const std::size_t masksAt = kFileHeader + 40;
        if (masksAt + 12 > file.size()) {
            return std::nullopt;
        }
        dib.RedMask = U32(file, masksAt);
        dib.GreenMask = U32(file, masksAt + 4);
        dib.BlueMask = U32(file, masksAt + 8);
        if (infoSize == 40) {
            tableAt += 12;
        }
    } else if (compression != kRgb) {
        return std::nullopt;
    }
    if (dib.BitsPerPixel == 8) {
        if (colorsUsed == 0 || colorsUsed > 256) {
            colorsUsed = 256;
        }
        if (tableAt + colorsUsed * 4 > file.size()) {
            return std::nullopt;
        }
        // A colour index past a short table reads as entry 0, never outside the table.
        dib.ColorTable.assign(256, 0);
        for (std::uint32_t i = 0; i < colorsUsed; ++i) {
            dib.ColorTable[i] = U32(file, tableAt + i * 4);
        }
    }
    const std::size_t size = static_cast<std::size_t>(dib.Stride()) * dib.Height;
    if (bitsOffset > file.size() || file.size() - bitsOffset < size) {
        return std::nullopt;
    }
    dib.Bits.assign(file.begin() + bitsOffset, file.begin() + bitsOffset + size);
    return dib;
}

std::optional<DibPixels> ReadDibFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
    return ParseDib(file);
}

} // namespace ui
