#include "ui/SkinRegion.h"

#include <cstring>

namespace ui {

namespace {

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
    b[at + 2] = (v >> 16) & 0xFF;
    b[at + 3] = (v >> 24) & 0xFF;
}

std::uint32_t Get32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

constexpr std::uint32_t kWhite = 0x00FFFFFF;

} // namespace

CRegionData::CRegionData(std::size_t initialRoom)
    : m_Room(initialRoom), m_Buffer(kHeaderSize + initialRoom * kRectSize, 0) {
    Put32(m_Buffer, 0, kHeaderSize); // header size
    Put32(m_Buffer, 4, 1);           // rectangles
}

std::size_t CRegionData::Count() const {
    return Get32(m_Buffer, 8);
}

void CRegionData::Append(const RegionRect& r) {
    const std::size_t count = Count();
    if (count >= m_Room) {
        // Grow by a fixed step and copy the header and rectangles into the larger buffer.
        m_Room += kGrowth;
        std::vector<std::uint8_t> larger(kHeaderSize + m_Room * kRectSize, 0);
        std::memcpy(larger.data(), m_Buffer.data(), kHeaderSize + count * kRectSize);
        m_Buffer.swap(larger);
    }
    const std::size_t at = kHeaderSize + count * kRectSize;
    Put32(m_Buffer, at, static_cast<std::uint32_t>(r.Left));
    Put32(m_Buffer, at + 4, static_cast<std::uint32_t>(r.Top));
    Put32(m_Buffer, at + 8, static_cast<std::uint32_t>(r.Right));
    Put32(m_Buffer, at + 12, static_cast<std::uint32_t>(r.Bottom));
    Put32(m_Buffer, 8, static_cast<std::uint32_t>(count + 1));
}

RegionRect CRegionData::At(std::size_t i) const {
    const std::size_t at = kHeaderSize + i * kRectSize;
    return {static_cast<std::int32_t>(Get32(m_Buffer, at)),
            static_cast<std::int32_t>(Get32(m_Buffer, at + 4)),
            static_cast<std::int32_t>(Get32(m_Buffer, at + 8)),
            static_cast<std::int32_t>(Get32(m_Buffer, at + 12))};
}

std::vector<RegionRect> CRegionData::Rects() const {
    std::vector<RegionRect> rects;
    for (std::size_t i = 0; i < Count(); ++i) {
        rects.push_back(At(i));
    }
    return rects;
}

QRegion CRegionData::ToRegion() const {
    // Rows in scan order are already the y-x bands a region is made of, so they go in as they are.
    std::vector<QRect> rects;
    for (std::size_t i = 0; i < Count(); ++i) {
        const RegionRect r = At(i);
        rects.emplace_back(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
    }
    QRegion region;
    region.setRects(rects.data(), static_cast<int>(rects.size()));
    return region;
}

bool IsSkinPixelTransparent(const DibPixels& skin, int x, int y) {
    const std::uint8_t* row = skin.Row(y);
    switch (skin.BitsPerPixel) {
    case 8:
        return skin.ColorTable[row[x]] == kWhite;
    case 16: {
        const std::uint32_t pixel = row[x * 2] | (row[x * 2 + 1] << 8);
        const std::uint32_t colourBits = skin.RedMask | skin.GreenMask | skin.BlueMask;
        return (pixel & colourBits) == colourBits;
    }
    case 24:
        return row[x * 3] == 0xFF && row[x * 3 + 1] == 0xFF && row[x * 3 + 2] == 0xFF;
    case 32: {
        const std::uint8_t* p = row + x * 4;
        const std::uint32_t pixel =
            p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
        return pixel == kWhite;
    }
    default:
        return false;
    }
}

CRegionData BuildSkinRegionData(const DibPixels& skin) {
    CRegionData data(static_cast<std::size_t>(skin.Height));
    for (int y = 0; y < skin.Height; ++y) {
        int runStart = -1;
        for (int x = 0; x < skin.Width; ++x) {
            const bool transparent = IsSkinPixelTransparent(skin, x, y);
            if (!transparent && runStart < 0) {
                runStart = x;
            } else if (transparent && runStart >= 0) {
                data.Append({runStart, y, x, y + 1});
                runStart = -1;
            }
        }
        if (runStart >= 0) {
            data.Append({runStart, y, skin.Width, y + 1});
        }
    }
    return data;
}

std::optional<QRegion> MakeSkinRegion(const DibPixels& skin, int& skinWidth, int& skinHeight) {
    skinWidth = skin.Width;
    skinHeight = skin.Height;
    if (skin.BitsPerPixel != 8 && skin.BitsPerPixel != 16 && skin.BitsPerPixel != 24 &&
        skin.BitsPerPixel != 32) {
        return std::nullopt;
    }
    if (skin.BitsPerPixel == 8 && skin.ColorTable.size() < 256) {
        return std::nullopt;
    }
    if (skin.Bits.size() < static_cast<std::size_t>(skin.Stride()) * skin.Height) {
        return std::nullopt;
    }
    return BuildSkinRegionData(skin).ToRegion();
}

} // namespace ui
