#include "GaugeArt.h"
#include "Flatten.h"
#include "Palette.h"
#include "Symbols.h"
#include "ui/MainLayout.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace artwork {

QImage DrawVolumeGauge(int level) {
    const ui::LayoutRect r = ui::FindMainControl(1013)->Rect;
    QImage image(r.Width, r.Height, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(22, 24, 28));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const double bottom = r.Height - 22;
    for (int i = 0; i < 7; ++i) {
        const double y = bottom - i * 11.0;
        const double w = 9 + i * 2.3;
        const QRectF bar((r.Width - w) / 2.0, y - 8, w, 8);
        QColor lit = i < 5 ? kStatus : (i == 5 ? QColor(240, 200, 40) : QColor(255, 110, 60));
        p.setBrush(i < level ? lit : QColor(50, 56, 64));
        p.drawRoundedRect(bar, 1.5, 1.5);
    }
    DrawSymbol(p, level == 0 ? Symbol::SpeakerMuted : Symbol::Speaker,
               QRectF(4, r.Height - 19, r.Width - 8, 16), level == 0 ? QColor(150, 156, 164) : kSymbol);
    p.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage DrawBatteryGauge(int level) {
    const ui::LayoutRect r = ui::FindMainControl(1014)->Rect;
    QImage image(r.Width, r.Height, QImage::Format_ARGB32_Premultiplied);
    image.fill(kStatus);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(1.5, 5.5, r.Width - 5.0, r.Height - 11.0);
    p.setPen(QPen(kStatusInk, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(body, 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(kStatusInk);
    p.drawRect(QRectF(body.right() + 0.7, body.center().y() - 2.5, 2.2, 5));
    const double segment = (body.width() - 3) / 5.0;
    for (int i = 0; i < 5; ++i) {
        p.setBrush(i < level ? kStatusInk : QColor(4, 176, 178));
        p.drawRect(QRectF(body.left() + 2 + i * segment, body.top() + 2, segment - 1, body.height() - 4));
    }
    if (level == 0) {
        p.setPen(QPen(QColor(200, 30, 30), 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(body.left() + 2, body.bottom() + 2), QPointF(body.right() - 2, body.top() - 2));
    }
    p.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage DrawAppIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    QLinearGradient body(0, 4, 0, 60);
    body.setColorAt(0, kBodyTop);
    body.setColorAt(1, kBodyBottom);
    p.setPen(QPen(QColor(16, 18, 21), 2));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(4, 8, 56, 48), 12, 12);
    p.setPen(Qt::NoPen);
    p.setBrush(kStatus);
    p.drawRoundedRect(QRectF(11, 15, 42, 16), 3, 3);
    QPainterPath wave;
    wave.moveTo(14, 23);
    for (int i = 1; i <= 36; ++i) {
        wave.lineTo(14 + i, 23 + 5.0 * (1.0 - std::abs(i - 18) / 18.0) * std::sin(i * 0.9));
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kStatusInk, 1.6));
    p.drawPath(wave);
    p.setPen(Qt::NoPen);
    p.setBrush(kRecord);
    p.drawEllipse(QPointF(20, 44), 6, 6);
    p.setBrush(kSymbol);
    QPainterPath play;
    play.moveTo(34, 38);
    play.lineTo(44, 44);
    play.lineTo(34, 50);
    play.closeSubpath();
    p.drawPath(play);
    p.drawRect(QRectF(47, 38, 3, 12));
    p.end();
    return image;
}

QImage DrawPointerCursor() {
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath arrow;
    arrow.moveTo(1, 1);
    arrow.lineTo(1, 22);
    arrow.lineTo(6.5, 17);
    arrow.lineTo(10.5, 26);
    arrow.lineTo(14, 24.5);
    arrow.lineTo(10, 16);
    arrow.lineTo(17, 16);
    arrow.closeSubpath();
    p.setPen(QPen(QColor(10, 12, 14), 1.4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(kStatus);
    p.drawPath(arrow);
    p.end();
    return image;
}

} // namespace artwork
