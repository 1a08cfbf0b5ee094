#include "SkinArt.h"
#include "Flatten.h"
#include "Palette.h"
#include "Symbols.h"
#include "ui/FolderLayout.h"
#include "ui/MainLayout.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace artwork {

namespace {

QRectF ToRectF(const ui::LayoutRect& r) {
    return QRectF(r.X, r.Y, r.Width, r.Height);
}

void DrawBody(QPainter& p, const QRectF& r, double radius) {
    QLinearGradient body(r.topLeft(), r.bottomLeft());
    body.setColorAt(0, kBodyTop);
    body.setColorAt(0.5, QColor(52, 57, 64));
    body.setColorAt(1, kBodyBottom);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(16, 18, 21));
    p.drawRoundedRect(r, radius, radius);
    p.setBrush(body);
    p.drawRoundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), radius - 1.5, radius - 1.5);
    // A light bevel along the top edge catches the light like a moulded case.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 40), 1.0));
    p.drawRoundedRect(r.adjusted(2.5, 2.5, -2.5, -2.5), radius - 2.5, radius - 2.5);
}

// A recessed seat: darker than the body, with a highlight on its lower edge.
void DrawWell(QPainter& p, const QRectF& r, double radius) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 28));
    p.drawRoundedRect(r.adjusted(0, 1, 0, 1), radius, radius);
    p.setBrush(QColor(18, 20, 24));
    p.drawRoundedRect(r, radius, radius);
}

} // namespace

QImage DrawMainSkin() {
    const QRectF all(0, 0, ui::kMainSkinWidth, ui::kMainSkinHeight);
    QImage canvas(all.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    DrawBody(p, all.adjusted(0.5, 0.5, -0.5, -0.5), 26);

    // Top strip: microphone grille, power light and a wave mark.
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 12; ++col) {
            const QPointF c(28 + col * 7 + (row % 2) * 3.5, 12 + row * 6);
            p.setBrush(QColor(14, 16, 19));
            p.drawEllipse(c, 1.8, 1.8);
        }
    }
    p.setBrush(QColor(7, 210, 212, 70));
    p.drawEllipse(QPointF(128, 18), 5.5, 5.5);
    p.setBrush(kStatus);
    p.drawEllipse(QPointF(128, 18), 3, 3);
    QPainterPath wave;
    wave.moveTo(142, 18);
    for (int i = 1; i <= 40; ++i) {
        const double x = 142 + i * 1.5;
        const double amplitude = 6.0 * (1.0 - std::abs(i - 20) / 20.0);
        wave.lineTo(x, 18 + amplitude * std::sin(i * 0.9));
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(7, 210, 212, 190), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(wave);
    p.setPen(QPen(QColor(0, 0, 0, 90), 1.0));
    p.drawLine(QPointF(14, 30.5), QPointF(ui::kMainSkinWidth - 14, 30.5));

    // Display: a dark bezel and the status-coloured glass with faint separators.
    const QRectF display = ToRectF(ui::kMainDisplay);
    DrawWell(p, display.adjusted(-4, -4, 4, 4), 8);
    p.setPen(Qt::NoPen);
    p.setBrush(kStatus);
    p.drawRoundedRect(display, 4, 4);
    p.setPen(QPen(QColor(3, 150, 152), 1.0));
    p.drawLine(QPointF(display.left() + 10, 90.5), QPointF(display.right() - 10, 90.5));
    p.setPen(QPen(QColor(255, 255, 255, 60), 1.0));
    p.drawLine(QPointF(display.left() + 6, display.top() + 1.5),
               QPointF(display.right() - 6, display.top() + 1.5));

    // Every control that is not on the display gets a seat in the body.
    for (const ui::MainControl& c : ui::kMainControls) {
        const QRectF r = ToRectF(c.Rect);
        if (c.Kind == ui::MainControlKind::Button) {
            DrawWell(p, r.adjusted(-2, -2, 2, 2), std::min(r.width(), r.height()) * 0.25);
        } else if (c.Id == 1013) {
            DrawWell(p, r.adjusted(-3, -3, 3, 3), 4);
        }
    }
    p.end();
    return FlattenOnKey(canvas, kWhite, kBodyBottom);
}

QImage DrawFolderSkin() {
    const QRectF all(0, 0, ui::kFolderSkinWidth, ui::kFolderSkinHeight);
    QImage canvas(all.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    DrawBody(p, all.adjusted(0.5, 0.5, -0.5, -0.5), 16);

    // Header: a gear, and beside it the dialog's title (a label of the dialog's, so that screen
    // readers read it); the panel below carries the labels and lists.
    DrawSymbol(p, Symbol::Gear, QRectF(10, 2, 18, 18), kStatus);
    const QRectF panel(6, 22, all.width() - 12, all.height() - 28);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 122, 126));
    p.drawRoundedRect(panel.adjusted(-1, -1, 1, 1), 9, 9);
    p.setBrush(kPanel);
    p.drawRoundedRect(panel, 8, 8);

    // A socket under the round Close button, a frame round the folder field, a rule above Link.
    const ui::LayoutRect close = ui::DluToPixels(ui::FindFolderControl(1028)->Dlu);
    const QPointF closeCentre(close.X + close.Width / 2.0, close.Y + close.Height / 2.0);
    p.setBrush(QColor(18, 20, 24));
    p.drawEllipse(closeCentre, 16, 16);
    const ui::LayoutRect path = ui::DluToPixels(ui::FindFolderControl(1015)->Dlu);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(150, 150, 148), 1.0));
    p.drawRoundedRect(QRectF(path.X - 2.5, path.Y - 2.5, path.Width + 5, path.Height + 5), 3, 3);
    // Rules above Link and above the recording input.
    const ui::LayoutRect link = ui::DluToPixels(ui::FindFolderControl(1039)->Dlu);
    const ui::LayoutRect input = ui::DluToPixels(ui::kInputLabelDlu);
    for (const int y : {link.Y, input.Y}) {
        p.setPen(QPen(QColor(180, 179, 176), 1.0));
        p.drawLine(QPointF(panel.left() + 10, y - 6.5), QPointF(panel.right() - 10, y - 6.5));
        p.setPen(QPen(QColor(245, 245, 243), 1.0));
        p.drawLine(QPointF(panel.left() + 10, y - 5.5), QPointF(panel.right() - 10, y - 5.5));
    }
    p.end();
    return FlattenOnKey(canvas, kWhite, kBodyBottom);
}

} // namespace artwork
