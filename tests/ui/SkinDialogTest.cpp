#include "QtTestApp.h"
#include "ui/CSkinDialog.h"
#include "ui/DibPixels.h"
#include "ui/MainLayout.h"
#include "ui/SkinRegion.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class TestDialog : public CSkinDialog {
public:
    QString SkinPath;
    bool SkinApplied = false;
    bool EndWhileOpening = false;
    int Opened = 0;

protected:
    void OnInitDialog() override {
        ++Opened;
        SkinApplied = ApplySkin(SkinPath);
        if (EndWhileOpening) {
            EndDialog(QDialog::Accepted);
        }
    }
};

class SkinDialog : public ::testing::Test {
protected:
    SkinDialog() { EnsureQtApp(); }
    static void Send(QWidget* w, QEvent::Type type, QPoint local, Qt::MouseButton button,
                     Qt::MouseButtons buttons) {
        const QPointF global = w->mapToGlobal(QPointF(local));
        QMouseEvent e(type, QPointF(local), global, button, buttons, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
};

TEST_F(SkinDialog, the_skin_gives_the_window_its_size_shape_and_look) {
    TestDialog d;
    d.SkinPath = TAVLO_RES_DIR "/Rgn.bmp";
    d.show();
    ASSERT_TRUE(d.SkinApplied);
    EXPECT_EQ(d.size(), QSize(ui::kMainSkinWidth, ui::kMainSkinHeight));
    EXPECT_EQ(d.m_SkinWidth, ui::kMainSkinWidth);
    EXPECT_EQ(d.m_SkinHeight, ui::kMainSkinHeight);
    int w = 0, h = 0;
    const QRegion expected = *ui::MakeSkinRegion(*ui::ReadDibFile(TAVLO_RES_DIR "/Rgn.bmp"), w, h);
    EXPECT_EQ(d.mask(), expected);
    // The skin is painted with its top-left pixel on the window's corner.
    const QImage shot = d.grab().toImage();
    const QImage skin(TAVLO_RES_DIR "/Rgn.bmp");
    for (const QPoint p : {QPoint(250, 3), QPoint(100, 100), QPoint(30, 200)}) {
        EXPECT_EQ(shot.pixel(p), skin.pixel(p)) << p.x() << "," << p.y();
    }
}

TEST_F(SkinDialog, a_missing_skin_leaves_the_window_rectangular_at_its_size) {
    TestDialog d;
    d.SkinPath = "/nonexistent/Rgn.bmp";
    d.resize(200, 100);
    d.show();
    EXPECT_FALSE(d.SkinApplied);
    EXPECT_EQ(d.size(), QSize(200, 100));
    EXPECT_TRUE(d.mask().isEmpty());
    EXPECT_FALSE(d.HasSkin());
}

TEST_F(SkinDialog, the_opening_sequence_runs_once) {
    TestDialog d;
    d.SkinPath = TAVLO_RES_DIR "/Rgn.bmp";
    d.show();
    d.hide();
    d.show();
    EXPECT_EQ(d.Opened, 1);
}

TEST_F(SkinDialog, a_dialog_ended_while_opening_returns_its_result_without_a_modal_loop) {
    TestDialog d;
    d.SkinPath = TAVLO_RES_DIR "/Rgn.bmp";
    d.EndWhileOpening = true;
    EXPECT_EQ(d.exec(), QDialog::Accepted);
    EXPECT_FALSE(d.isVisible());
}

TEST_F(SkinDialog, dragging_the_body_moves_the_window_by_the_mouse_displacement) {
    TestDialog d;
    d.SkinPath = TAVLO_RES_DIR "/Rgn.bmp";
    d.move(100, 100);
    d.show();
    const QPoint start = d.pos();
    Send(&d, QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(d.m_Dragging);
    // The mouse went 20 right and 15 down; in client coordinates that is (30, 25).
    Send(&d, QEvent::MouseMove, QPoint(30, 25), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(d.pos(), start + QPoint(20, 15));
    Send(&d, QEvent::MouseButtonRelease, QPoint(10, 10), Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(d.m_Dragging);
    Send(&d, QEvent::MouseMove, QPoint(50, 50), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(d.pos(), start + QPoint(20, 15));
}

TEST(BackgroundTiler, tiles_from_the_corner_and_reports_when_it_has_nothing_to_tile) {
    EnsureQtApp();
    CBackgroundTiler tiler;
    QImage target(7, 5, QImage::Format_RGB32);
    target.fill(Qt::white);
    {
        QPainter p(&target);
        EXPECT_FALSE(tiler.TileBackground(p, target.rect()));
    }
    EXPECT_EQ(target.pixel(0, 0), qRgb(255, 255, 255));
    QImage tile(3, 2, QImage::Format_RGB32);
    tile.fill(Qt::blue);
    tile.setPixel(0, 0, qRgb(255, 0, 0));
    tiler.SetBackgroundBitmap(QPixmap::fromImage(tile));
    {
        QPainter p(&target);
        EXPECT_TRUE(tiler.TileBackground(p, target.rect()));
    }
    for (const QPoint red : {QPoint(0, 0), QPoint(3, 0), QPoint(6, 2), QPoint(3, 4)}) {
        EXPECT_EQ(target.pixel(red), qRgb(255, 0, 0)) << red.x() << "," << red.y();
    }
    EXPECT_EQ(target.pixel(1, 0), qRgb(0, 0, 255));
}

} // namespace
