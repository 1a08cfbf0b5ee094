#pragma once
#include "ui/DibPixels.h"

#include <QRegion>
#include <cstdint>
#include <optional>
#include <vector>

namespace ui {

// One rectangle of a region: left, top, right, bottom, right and bottom exclusive.
struct RegionRect {
    std::int32_t Left, Top, Right, Bottom;
    bool operator==(const RegionRect&) const = default;
};

// The rectangle list that a skin's region is built from, laid out as the 32-byte header and the
// 16-byte rectangles that follow it, in one buffer that first has room for one rectangle per row
// and grows by 40 rectangles whenever it is full.
class CRegionData {
public:
    static constexpr std::size_t kHeaderSize = 32;
    static constexpr std::size_t kRectSize = 16;
    static constexpr std::size_t kGrowth = 40;

    explicit CRegionData(std::size_t initialRoom);
    void Append(const RegionRect& r);

    std::size_t Count() const;
    // How many rectangles fit before the buffer must grow again.
    std::size_t Room() const { return m_Room; }
    RegionRect At(std::size_t i) const;
    std::vector<RegionRect> Rects() const;
    // The header and rectangles as they lie in memory.
    const std::vector<std::uint8_t>& Bytes() const { return m_Buffer; }
    QRegion ToRegion() const;

private:
    std::size_t m_Room;
    std::vector<std::uint8_t> m_Buffer;
};

// True when the pixel at (x, y), top row 0, is the transparent colour white as stored at the
// skin's depth: the colour-table entry 0x00FFFFFF (8 bits), every colour bit set under the
// channel masks (16 bits), three bytes 0xFF (24 bits), or exactly 0x00FFFFFF, the fourth byte
// included (32 bits).
bool IsSkinPixelTransparent(const DibPixels& skin, int x, int y);

// Scans the skin row by row and returns one rectangle per run of opaque pixels in a row, in scan
// order, never merged across rows.
CRegionData BuildSkinRegionData(const DibPixels& skin);

// The window region of a skin: every pixel that is not white belongs to the window. Sets
// `skinWidth` and `skinHeight` to the skin's size. Nothing for a depth other than 8, 16, 24, 32.
std::optional<QRegion> MakeSkinRegion(const DibPixels& skin, int& skinWidth, int& skinHeight);

} // namespace ui
