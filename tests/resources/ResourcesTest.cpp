#include "resources/Resources.h"
#include "ui/MainLayout.h"

#include <QGuiApplication>
#include <QImage>
#include <gtest/gtest.h>

namespace {

class ResourceTable : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "tests";
        static char* argv[] = {name, nullptr};
        if (!QGuiApplication::instance()) {
            new QGuiApplication(argc, argv);
        }
    }
};

const QRgb kButtonKey = qRgb(242, 241, 241);
const QRgb kWhite = qRgb(255, 255, 255);

struct Picture {
    int Id;
    int ControlId;
};

// Every bitmap the windows ask for, with the control that shows it.
const Picture kMainPictures[] = {
    {129, 1001}, {130, 1001}, {132, 1000}, {133, 1002}, {134, 1005}, {135, 1004}, {136, 1010}, {137, 1011},
    {138, 1012}, {139, 1007}, {140, 1006}, {141, 2},    {142, 1},    {143, 1002}, {144, 1012}, {145, 1000},
    {146, 1004}, {147, 1005}, {148, 1016}, {149, 1017}, {150, 1003}, {153, 1018}, {154, 1003}, {155, 1010},
    {156, 1011}, {157, 1003}, {158, 1018}, {159, 1},    {160, 2},    {161, 1007}, {162, 1006}, {163, 1017},
    {164, 1016}, {165, 1000}, {166, 1018}, {167, 1000}, {168, 1000}, {169, 1000}, {170, 1006}, {171, 1007},
    {172, 1016}, {173, 1017}, {174, 1012}, {177, 1010}, {178, 1011}, {179, 2},    {180, 1},    {182, 1012},
};

TEST_F(ResourceTable, main_window_pictures_fill_their_buttons_and_are_keyed_at_the_corners) {
    for (const Picture& p : kMainPictures) {
        SCOPED_TRACE(p.Id);
        const QImage image = LoadBitmapResource(p.Id).toImage();
        ASSERT_FALSE(image.isNull());
        const ui::LayoutRect r = ui::FindMainControl(p.ControlId)->Rect;
        EXPECT_EQ(image.width(), r.Width);
        EXPECT_EQ(image.height(), r.Height);
        EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, kButtonKey & 0xFFFFFF);
        EXPECT_EQ(image.pixel(image.width() - 1, image.height() - 1) & 0xFFFFFF, kButtonKey & 0xFFFFFF);
        EXPECT_NE(image.pixel(image.width() / 2, image.height() / 2) & 0xFFFFFF, kButtonKey & 0xFFFFFF);
    }
}

TEST_F(ResourceTable, settings_buttons_have_their_sizes_and_a_white_key) {
    for (int id : {175, 176, 181}) {
        const QImage image = LoadBitmapResource(id).toImage();
        EXPECT_EQ(image.size(), QSize(26, 26)) << id;
        EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, kWhite & 0xFFFFFF) << id;
    }
    for (int id : {184, 185, 186}) {
        const QImage image = LoadBitmapResource(id).toImage();
        EXPECT_EQ(image.size(), QSize(72, 25)) << id;
        EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, kWhite & 0xFFFFFF) << id;
        EXPECT_NE(image.pixel(36, 12) & 0xFFFFFF, kWhite & 0xFFFFFF) << id;
    }
}

TEST_F(ResourceTable, the_looks_of_one_button_differ_from_each_other) {
    const QImage normal = LoadBitmapResource(145).toImage();
    const QImage hover = LoadBitmapResource(165).toImage();
    const QImage pressed = LoadBitmapResource(167).toImage();
    const QImage recording = LoadBitmapResource(132).toImage();
    EXPECT_NE(normal, hover);
    EXPECT_NE(normal, pressed);
    EXPECT_NE(hover, pressed);
    EXPECT_NE(normal, recording);
    EXPECT_NE(LoadBitmapResource(138).toImage(), LoadBitmapResource(144).toImage());
}

TEST_F(ResourceTable, numbers_that_name_no_bitmap_load_as_none) {
    EXPECT_TRUE(LoadBitmapResource(131).isNull());
    EXPECT_TRUE(LoadBitmapResource(183).isNull());
    EXPECT_TRUE(LoadBitmapResource(0).isNull());
}

TEST_F(ResourceTable, string_table_holds_the_tooltips_of_both_windows) {
    EXPECT_EQ(LoadStringResource(101), "About Tavlo");
    EXPECT_EQ(LoadStringResource(115), "Close");
    EXPECT_EQ(LoadStringResource(118), "File Path");
    EXPECT_EQ(LoadStringResource(119), "Link");
    EXPECT_EQ(LoadStringResource(100), "");
    EXPECT_EQ(LoadStringResource(120), "");
    const QStringList expected = {
        "Play/Pause",  "Record",    "Section/Stop",      "Rewind",       "Fast Forward", "Volume up",
        "Volume down", "Mute",      "Section up",        "Section down", "Close",        "Minimize",
        "File up",     "File down", "File end and save", "Setup"};
    QStringList tips;
    for (const ui::MainControl& c : ui::kMainControls) {
        if (c.Kind == ui::MainControlKind::Button) {
            tips << LoadStringResource(c.TipString);
        }
    }
    EXPECT_EQ(tips, expected);
}

TEST_F(ResourceTable, icons_and_the_pointer_cursor_load) {
    EXPECT_FALSE(LoadIconResource(128).isNull());
    EXPECT_FALSE(LoadIconResource(151).isNull());
    EXPECT_TRUE(LoadIconResource(129).isNull());
    EXPECT_TRUE(HasCursorResource(183));
    const QCursor cursor = LoadCursorResource(183);
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor.hotSpot(), QPoint(1, 1));
    EXPECT_EQ(LoadCursorResource(184).shape(), Qt::ArrowCursor);
}

} // namespace
