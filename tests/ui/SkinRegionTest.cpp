#include "ui/SkinRegion.h"
#include "ui/SkinAlpha.h"

#include <QImage>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using ui::DibPixels;
using ui::RegionRect;

namespace {

// A skin of the given depth whose pixel (x, y) is opaque where `opaque` says so. Rows are stored
// bottom-up, as in a bitmap file.
DibPixels MakeSkin(int w, int h, int bpp, const std::function<bool(int, int)>& opaque) {
    DibPixels dib;
    dib.Width = w;
    dib.Height = h;
    dib.BitsPerPixel = bpp;
    dib.Bits.assign(static_cast<std::size_t>(dib.Stride()) * h, 0);
    if (bpp == 8) {
        dib.ColorTable.assign(256, 0x00102030);
        dib.ColorTable[7] = 0x00FFFFFF; // white lives at index 7
    }
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = dib.Bits.data() + static_cast<std::size_t>(h - 1 - y) * dib.Stride();
        for (int x = 0; x < w; ++x) {
            const bool white = !opaque(x, y);
            switch (bpp) {
            case 8:
                row[x] = white ? 7 : 3;
                break;
            case 16:
                row[x * 2] = white ? 0xFF : 0x10;
                row[x * 2 + 1] = white ? 0x7F : 0x22;
                break;
            case 24:
                for (int c = 0; c < 3; ++c) {
                    row[x * 3 + c] = white ? 0xFF : 0x40;
                }
                break;
            case 32:
                for (int c = 0; c < 3; ++c) {
                    row[x * 4 + c] = white ? 0xFF : 0x40;
                }
                row[x * 4 + 3] = 0;
                break;
            }
        }
    }
    return dib;
}

class SkinRegionAtEveryDepth : public ::testing::TestWithParam<int> {};

TEST_P(SkinRegionAtEveryDepth, an_all_white_skin_gives_an_empty_region_but_keeps_its_size) {
    const DibPixels skin = MakeSkin(9, 4, GetParam(), [](int, int) { return false; });
    int w = 0, h = 0;
    const auto region = ui::MakeSkinRegion(skin, w, h);
    ASSERT_TRUE(region.has_value());
    EXPECT_TRUE(region->isEmpty());
    EXPECT_EQ(w, 9);
    EXPECT_EQ(h, 4);
}

TEST_P(SkinRegionAtEveryDepth, rows_opaque_from_edge_to_edge_give_one_full_width_rectangle_each) {
    const DibPixels skin = MakeSkin(7, 3, GetParam(), [](int, int) { return true; });
    const std::vector<RegionRect> expected = {{0, 0, 7, 1}, {0, 1, 7, 2}, {0, 2, 7, 3}};
    EXPECT_EQ(ui::BuildSkinRegionData(skin).Rects(), expected);
}

TEST_P(SkinRegionAtEveryDepth, a_lone_pixel_in_the_last_column_gives_a_one_pixel_rectangle) {
    const DibPixels skin = MakeSkin(6, 3, GetParam(), [](int x, int y) { return x == 5 && y == 1; });
    const std::vector<RegionRect> expected = {{5, 1, 6, 2}};
    EXPECT_EQ(ui::BuildSkinRegionData(skin).Rects(), expected);
    int w = 0, h = 0;
    const QRegion region = *ui::MakeSkinRegion(skin, w, h);
    EXPECT_TRUE(region.contains(QPoint(5, 1)));
    EXPECT_FALSE(region.contains(QPoint(4, 1)));
}

TEST_P(SkinRegionAtEveryDepth, runs_end_at_the_first_white_pixel_and_do_not_carry_into_the_next_row) {
    // Row 0: .XX.XX  row 1: XXXX..  (a run that ends a row does not continue below)
    const char* rows[] = {".XX.XX", "XXXX.."};
    const DibPixels skin = MakeSkin(6, 2, GetParam(), [&](int x, int y) { return rows[y][x] == 'X'; });
    const std::vector<RegionRect> expected = {{1, 0, 3, 1}, {4, 0, 6, 1}, {0, 1, 4, 2}};
    EXPECT_EQ(ui::BuildSkinRegionData(skin).Rects(), expected);
}

// Where masks do not cut the window, its look must cut it the same way: see-through exactly where
// the region leaves a pixel out, the picture unchanged everywhere else.
TEST_P(SkinRegionAtEveryDepth, the_skin_painted_with_alpha_is_see_through_exactly_outside_the_region) {
    const DibPixels skin = MakeSkin(7, 5, GetParam(), [](int x, int y) { return (x * y + x) % 3 != 0; });
    QImage picture(7, 5, QImage::Format_RGB32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            picture.setPixel(x, y, qRgb(x * 30, y * 40, 90));
    int w = 0, h = 0;
    const QRegion region = *ui::MakeSkinRegion(skin, w, h);
    const QImage shown = ui::SkinWithAlpha(skin, picture);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            const QRgb expected = region.contains(QPoint(x, y)) ? picture.pixel(x, y) : qRgba(0, 0, 0, 0);
            EXPECT_EQ(shown.pixel(x, y), expected) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Depths, SkinRegionAtEveryDepth, ::testing::Values(8, 16, 24, 32));

TEST(SkinRegion, only_wayland_platforms_need_the_skin_painted_with_alpha) {
    const std::pair<const char*, bool> platforms[] = {
        {"xcb", true}, {"offscreen", true}, {"wayland", false}, {"wayland-egl", false}};
    for (const auto& [name, cuts] : platforms)
        EXPECT_EQ(ui::WindowSystemCutsMasks(name), cuts) << name;
}

TEST(SkinRegion, the_buffer_starts_with_a_rectangle_per_row_and_grows_by_forty) {
    // 3 rows of 30 one-pixel runs: 90 rectangles, room 3 -> 43 -> 83 -> 123.
    const DibPixels skin = MakeSkin(60, 3, 24, [](int x, int) { return x % 2 == 0; });
    const ui::CRegionData data = ui::BuildSkinRegionData(skin);
    EXPECT_EQ(data.Count(), 90u);
    EXPECT_EQ(data.Room(), 123u);
    EXPECT_EQ(data.Bytes().size(), 32u + 123u * 16u);
    // Every rectangle survived the copies, in scan order.
    const std::vector<RegionRect> rects = data.Rects();
    EXPECT_EQ(rects.front(), (RegionRect{0, 0, 1, 1}));
    EXPECT_EQ(rects[45], (RegionRect{30, 1, 31, 2}));
    EXPECT_EQ(rects.back(), (RegionRect{58, 2, 59, 3}));
}

TEST(SkinRegion, the_header_reads_as_a_rectangle_list_of_the_count) {
    const DibPixels skin = MakeSkin(4, 2, 24, [](int x, int) { return x != 2; });
    const ui::CRegionData data = ui::BuildSkinRegionData(skin);
    const auto& b = data.Bytes();
    auto u32 = [&](std::size_t at) {
        return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (b[at + 3] << 24);
    };
    EXPECT_EQ(u32(0), 32u); // header size
    EXPECT_EQ(u32(4), 1u);  // rectangles
    EXPECT_EQ(u32(8), 4u);  // count
    EXPECT_EQ(u32(12), 0u); // region size
    for (std::size_t at = 16; at < 32; at += 4) {
        EXPECT_EQ(u32(at), 0u); // bounding rectangle left empty
    }
    EXPECT_EQ(u32(32 + 16 + 8), 4u); // second rectangle's right edge
}

TEST(SkinRegion, a_32_bit_white_pixel_with_a_non_zero_fourth_byte_stays_opaque) {
    DibPixels skin = MakeSkin(2, 1, 32, [](int, int) { return false; });
    skin.Bits[7] = 0xFF; // pixel (1, 0): 0xFFFFFFFF
    const std::vector<RegionRect> expected = {{1, 0, 2, 1}};
    EXPECT_EQ(ui::BuildSkinRegionData(skin).Rects(), expected);
}

TEST(SkinRegion, an_8_bit_pixel_is_white_by_its_colour_table_entry_not_its_index) {
    DibPixels skin = MakeSkin(3, 1, 8, [](int x, int) { return x == 1; });
    skin.ColorTable[3] = 0x00FFFFFF; // the opaque pixel's entry is white too now
    EXPECT_TRUE(ui::BuildSkinRegionData(skin).Rects().empty());
}

TEST(SkinRegion, a_16_bit_skin_with_565_masks_counts_0xFFFF_as_white_only) {
    DibPixels skin = MakeSkin(2, 1, 16, [](int, int) { return false; });
    skin.RedMask = 0xF800;
    skin.GreenMask = 0x07E0;
    skin.BlueMask = 0x001F;
    skin.Bits[0] = 0xFF;
    skin.Bits[1] = 0xFF; // (0, 0) white in 5-6-5
    skin.Bits[2] = 0xFF;
    skin.Bits[3] = 0x7F; // (1, 0) white in 5-5-5, not in 5-6-5
    const std::vector<RegionRect> expected = {{1, 0, 2, 1}};
    EXPECT_EQ(ui::BuildSkinRegionData(skin).Rects(), expected);
}

TEST(SkinRegion, other_depths_give_no_region) {
    DibPixels skin = MakeSkin(4, 4, 24, [](int, int) { return true; });
    skin.BitsPerPixel = 4;
    int w = 0, h = 0;
    EXPECT_FALSE(ui::MakeSkinRegion(skin, w, h).has_value());
}

TEST(SkinBitmapFile, a_bitmap_file_reads_back_with_its_rows_the_right_way_up) {
    QTemporaryDir dir;
    QImage image(5, 3, QImage::Format_RGB888);
    image.fill(Qt::white);
    image.setPixel(4, 0, qRgb(10, 20, 30)); // top row, last column
    const QString path = dir.filePath("skin.bmp");
    ASSERT_TRUE(image.save(path, "BMP"));
    const auto dib = ui::ReadDibFile(path.toStdString());
    ASSERT_TRUE(dib.has_value());
    EXPECT_EQ(dib->BitsPerPixel, 24);
    const std::vector<RegionRect> expected = {{4, 0, 5, 1}};
    EXPECT_EQ(ui::BuildSkinRegionData(*dib).Rects(), expected);
}

TEST(SkinBitmapFile, truncated_or_foreign_files_are_refused) {
    EXPECT_FALSE(ui::ReadDibFile("/nonexistent/skin.bmp").has_value());
    std::vector<std::uint8_t> bytes(60, 0);
    EXPECT_FALSE(ui::ParseDib(bytes).has_value()); // no "BM"
    bytes[0] = 'B';
    bytes[1] = 'M';
    bytes[14] = 40;
    bytes[18] = 100; // width 100
    bytes[22] = 100; // height 100
    bytes[28] = 24;
    bytes[10] = 54;
    EXPECT_FALSE(ui::ParseDib(bytes).has_value()); // pixels missing
}

TEST(SkinBitmapFile, the_main_skin_cuts_away_its_corners_and_keeps_its_body) {
    const auto dib = ui::ReadDibFile(TAVLO_RES_DIR "/Rgn.bmp");
    ASSERT_TRUE(dib.has_value());
    int w = 0, h = 0;
    const QRegion region = *ui::MakeSkinRegion(*dib, w, h);
    EXPECT_FALSE(region.contains(QPoint(0, 0)));
    EXPECT_FALSE(region.contains(QPoint(w - 1, h - 1)));
    EXPECT_TRUE(region.contains(QPoint(w / 2, h / 2)));
    EXPECT_TRUE(region.contains(QPoint(w / 2, 0)));
    EXPECT_EQ(region.boundingRect(), QRect(0, 0, w, h));
}

} // namespace
