#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ui {

// A skin bitmap's pixels as stored in its file: rows of `BitsPerPixel` bits padded to 4 bytes,
// bottom row first unless `TopDown`. 8-bit skins carry their colour table (entries as the 32-bit
// values blue, green, red, reserved); 16-bit skins carry their channel masks.
struct DibPixels {
    int Width = 0;
    int Height = 0;
    int BitsPerPixel = 0;
    bool TopDown = false;
    std::vector<std::uint8_t> Bits;
    std::vector<std::uint32_t> ColorTable;
    std::uint32_t RedMask = 0x7C00; // 16-bit default layout: 5-5-5
    std::uint32_t GreenMask = 0x03E0;
    std::uint32_t BlueMask = 0x001F;

    int Stride() const { return ((Width * BitsPerPixel + 31) / 32) * 4; }
    // The bytes of row y counted from the top of the picture.
    const std::uint8_t* Row(int y) const {
        const int stored = TopDown ? y : Height - 1 - y;
        return Bits.data() + static_cast<std::size_t>(stored) * Stride();
    }
};

// Reads an uncompressed Windows bitmap file (8, 16, 24 or 32 bits per pixel; 16 and 32 also with
// channel masks). Returns nothing for a file that is missing, truncated, compressed, of another
// depth or larger than 16384 pixels a side.
std::optional<DibPixels> ReadDibFile(const std::string& path);
std::optional<DibPixels> ParseDib(const std::vector<std::uint8_t>& file);

} // namespace ui
