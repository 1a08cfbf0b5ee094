#include "QtTestApp.h"
#include "resources/Resources.h"
#include "ui/ButtonLooks.h"
#include "ui/CSkinButton.h"
#include "ui/CSkinDialog.h"

#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using Ids = std::pair<int, int>;
const QRgb kKey = ui::kButtonKeyColour;

class SkinButton : public ::testing::Test {
protected:
    // A button on a plain parent, shown so that it receives mouse events.
    CSkinButton* MakeButton(int id) {
        auto* button = new CSkinButton(id, &m_Parent);
        button->setGeometry(10, 10, 54, 50);
        m_Parent.resize(120, 80);
        m_Parent.show();
        return button;
    }
    void Click(CSkinButton* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5)); }

    struct AppFirst {
        AppFirst() { EnsureQtApp(); }
    } m_App; // the application must exist before the parent widget
    QWidget m_Parent;
};

// A 4 x 2 picture whose left half is the key colour and right half red; one pixel is one step
// off the key and must be drawn as it is.
QPixmap HalfKeyedPicture() {
    QImage image(4, 2, QImage::Format_RGB32);
    image.fill(qRgb(200, 0, 0));
    for (int y = 0; y < 2; ++y) {
        image.setPixel(0, y, kKey);
        image.setPixel(1, y, kKey);
    }
    image.setPixel(1, 1, qRgb(242, 241, 240));
    return QPixmap::fromImage(image);
}

TEST_F(SkinButton, key_coloured_pixels_show_the_background_and_all_others_the_picture) {
    CSkinButton* b = MakeButton(1019);
    b->setGeometry(0, 0, 8, 6); // picture placed at ((8-4)/2, (6-2)/2) = (2, 2)
    b->m_BkColorOut = QColor(0, 0, 255);
    b->m_DrawBorder = false;
    ASSERT_EQ(b->AssignImages(HalfKeyedPicture(), kKey, QPixmap(), 0), 0);
    const QImage shot = b->grab().toImage();
    EXPECT_EQ(shot.pixel(2, 2), qRgb(0, 0, 255)); // key: background
    EXPECT_EQ(shot.pixel(3, 2), qRgb(0, 0, 255));
    EXPECT_EQ(shot.pixel(3, 3), qRgb(242, 241, 240)); // near the key: drawn
    EXPECT_EQ(shot.pixel(4, 2), qRgb(200, 0, 0));
    EXPECT_EQ(shot.pixel(0, 0), qRgb(0, 0, 255)); // outside the picture: background
}

TEST_F(SkinButton, the_out_picture_shows_until_the_mouse_is_over_the_button) {
    CSkinButton* b = MakeButton(1001);
    ASSERT_EQ(b->AssignImagesFromResources(130, kKey, 129, kKey), 0);
    EXPECT_EQ(b->PictureIds(), Ids(130, 129));
    const QImage normal = b->grab().toImage();
    const QImage out = LoadBitmapResource(129).toImage().convertToFormat(QImage::Format_RGB32);
    // The picture fills the button; every non-key pixel is the out picture's.
    EXPECT_EQ(normal.pixel(27, 25), out.pixel(27, 25));
    m_Parent.activateWindow();
    QApplication::setActiveWindow(&m_Parent);
    QEnterEvent enter(QPointF(5, 5), QPointF(15, 15), QPointF(15, 15));
    QApplication::sendEvent(b, &enter);
    ASSERT_TRUE(b->IsHovered());
    const QImage lit = LoadBitmapResource(130).toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(b->grab().toImage().pixel(27, 25), lit.pixel(27, 25));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(b, &leave);
    EXPECT_FALSE(b->IsHovered());
}

TEST_F(SkinButton, the_parent_background_shows_the_skin_under_the_button) {
    EnsureQtApp();
    class Skinned : public CSkinDialog {
    public:
        void Load(const QString& path) { ApplySkin(path); }
    } dialog;
    dialog.Load(TAVLO_RES_DIR "/Rgn.bmp");
    auto* b = new CSkinButton(1001, &dialog);
    b->setGeometry(78, 148, 54, 50);
    b->m_DrawBorder = false;
    b->AssignImagesFromResources(130, kKey, 129, kKey);
    b->UseParentBackground();
    const QImage shot = b->grab().toImage();
    const QImage skin = dialog.m_SkinDC.toImage();
    // The picture's key-coloured corner shows the skin's own pixel there.
    EXPECT_EQ(shot.pixel(0, 0), skin.pixel(78, 148));
    EXPECT_EQ(shot.pixel(53, 49), skin.pixel(78 + 53, 148 + 49));
}

TEST_F(SkinButton, a_drag_that_enters_the_button_does_not_light_it) {
    CSkinButton* b = MakeButton(1001);
    QApplication::setActiveWindow(&m_Parent);
    // The left button goes down on the parent, outside the button, and stays down.
    QTest::mousePress(&m_Parent, Qt::LeftButton, {}, QPoint(100, 70));
    ASSERT_TRUE(QApplication::mouseButtons() & Qt::LeftButton);
    QEnterEvent enter(QPointF(5, 5), QPointF(15, 15), QPointF(15, 15));
    QApplication::sendEvent(b, &enter);
    EXPECT_FALSE(b->IsHovered());
    QTest::mouseRelease(&m_Parent, Qt::LeftButton, {}, QPoint(100, 70));
    QApplication::sendEvent(b, &enter);
    EXPECT_TRUE(b->IsHovered());
}

TEST_F(SkinButton, press_shows_the_pressed_picture_alone_and_release_restores_the_pair) {
    CSkinButton* b = MakeButton(1018);
    b->AssignImagesFromResources(158, kKey, 153, kKey);
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(b->PictureIds(), Ids(166, 0));
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(b->PictureIds(), Ids(158, 153));
}

TEST_F(SkinButton, a_record_click_whose_command_starts_recording_ends_with_the_recording_pair) {
    CSkinButton* b = MakeButton(1000);
    b->AssignImagesFromResources(165, kKey, 145, kKey);
    QObject::connect(b, &QPushButton::clicked, [b] { b->m_bRecordLook = 1; });
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(b->PictureIds(), Ids(167, 0)); // still idle when pressed
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(b->PictureIds(), Ids(168, 132));
    QObject::disconnect(b, &QPushButton::clicked, nullptr, nullptr);
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(b->PictureIds(), Ids(169, 0));
}

TEST_F(SkinButton, mute_has_one_picture_and_takes_its_muted_look_from_the_flag) {
    CSkinButton* b = MakeButton(1012);
    b->AssignImagesFromResources(138, kKey, 0, kKey);
    EXPECT_EQ(b->PictureIds(), Ids(138, 0));
    QObject::connect(b, &QPushButton::clicked, [b] { b->m_bMuteLook = 1; });
    Click(b);
    EXPECT_EQ(b->PictureIds(), Ids(144, 0));
    QObject::disconnect(b, &QPushButton::clicked, nullptr, nullptr);
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(b->PictureIds(), Ids(182, 0));
    // A mute look other than 0 or 1: pressing treats it as muted, releasing changes nothing.
    b->m_bMuteLook = 2;
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(b->PictureIds(), Ids(182, 0));
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(b->PictureIds(), Ids(182, 0));
}

TEST_F(SkinButton, buttons_outside_the_tables_keep_the_pictures_their_owner_gave) {
    CSkinButton* b = MakeButton(1001);
    b->AssignImagesFromResources(130, kKey, 129, kKey);
    Click(b);
    EXPECT_EQ(b->PictureIds(), Ids(130, 129));
}

TEST_F(SkinButton, releasing_outside_restores_the_pair_without_a_click) {
    CSkinButton* b = MakeButton(1016);
    b->AssignImagesFromResources(164, kKey, 148, kKey);
    int clicks = 0;
    QObject::connect(b, &QPushButton::clicked, [&clicks] { ++clicks; });
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(200, 200));
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(b->PictureIds(), Ids(164, 148));
}

TEST_F(SkinButton, settings_buttons_use_white_as_their_key) {
    const auto look = ui::ReleaseLook(1039, 0, 0);
    ASSERT_TRUE(look.has_value());
    EXPECT_EQ(look->Key, qRgb(255, 255, 255));
    EXPECT_EQ(look->Hover, 185);
    EXPECT_EQ(look->Normal, 184);
    EXPECT_EQ(ui::PressLook(1028, 0, 0)->Pressed, 181);
    EXPECT_FALSE(ui::PressLook(1002, 0, 0).has_value());
    EXPECT_FALSE(ui::ReleaseLook(1019, 0, 0).has_value());
}

TEST_F(SkinButton, tooltip_and_cursor_come_from_the_resources) {
    CSkinButton* b = MakeButton(1010);
    b->AssignTipFromString(107);
    EXPECT_EQ(b->toolTip(), "Volume up");
    b->AssignTipFromString(999); // no such string: the tip stays
    EXPECT_EQ(b->toolTip(), "Volume up");
    b->AssignCursor(183);
    EXPECT_EQ(b->cursor().shape(), Qt::BitmapCursor);
}

TEST_F(SkinButton, a_missing_resource_clears_the_pictures) {
    CSkinButton* b = MakeButton(1010);
    b->AssignImagesFromResources(155, kKey, 136, kKey);
    EXPECT_EQ(b->AssignImagesFromResources(131, kKey, 136, kKey), 0);
    EXPECT_EQ(b->PictureIds(), Ids(0, 0));
}

TEST_F(SkinButton, a_text_button_without_pictures_draws_its_text_on_its_fill) {
    CSkinButton* b = MakeButton(1019);
    b->setText("...");
    b->setGeometry(0, 0, 24, 23);
    b->m_BkColorOut = QColor(10, 200, 10);
    b->m_TextColorOut = QColor(0, 0, 0);
    const QImage shot = b->grab().toImage();
    EXPECT_EQ(shot.pixel(1, 1), qRgb(10, 200, 10));
    bool inked = false;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            inked = inked || qGreen(shot.pixel(x, y)) < 100;
        }
    }
    EXPECT_TRUE(inked);
}

} // namespace
