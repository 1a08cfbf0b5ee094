#include "ButtonArt.h"
#include "Flatten.h"
#include "Palette.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace artwork {

namespace {

QPainterPath CapPath(const QRectF& r, CapShape shape) {
    QPainterPath path;
    switch (shape) {
    case CapShape::Rounded: {
        const double radius = std::min(r.width(), r.height()) * 0.22;
        path.addRoundedRect(r, radius, radius);
        break;
    }
    case CapShape::Round:
        path.addEllipse(r);
        break;
    case CapShape::Pill:
        path.addRoundedRect(r, r.height() / 2, r.height() / 2);
        break;
    }
    return path;
}

const QColor kHoverInk(96, 238, 240);
const QColor kEdge(20, 22, 26);

} // namespace

QImage DrawKeyButton(QSize size, Look look, Symbol symbol, const ButtonStyle& style,
                     std::optional<QColor> ink, bool glow) {
    QImage canvas(size, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);

    const QRectF outer = QRectF(canvas.rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QRectF cap = outer.adjusted(1, 1, -1, -1);
    QLinearGradient fill(cap.topLeft(), cap.bottomLeft());
    switch (look) {
    case Look::Normal:
        fill.setColorAt(0, kCapTop);
        fill.setColorAt(1, kCapBottom);
        break;
    case Look::Hover:
        fill.setColorAt(0, QColor(108, 116, 127));
        fill.setColorAt(1, QColor(62, 68, 77));
        break;
    case Look::Pressed:
        fill.setColorAt(0, QColor(26, 29, 33));
        fill.setColorAt(1, QColor(50, 55, 62));
        break;
    }
    // The dark outer edge seats the cap in the body; the rim shows hover and press.
    p.setPen(Qt::NoPen);
    p.setBrush(kEdge);
    p.drawPath(CapPath(outer, style.Shape));
    p.setBrush(fill);
    p.drawPath(CapPath(cap, style.Shape));
    if (look == Look::Normal) {
        p.setPen(QPen(QColor(255, 255, 255, 46), 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawPath(CapPath(cap.adjusted(1, 1, -1, -1), style.Shape));
    } else {
        p.setPen(QPen(look == Look::Hover ? kHoverInk : kStatus, 1.4));
        p.setBrush(Qt::NoBrush);
        p.drawPath(CapPath(cap.adjusted(0.7, 0.7, -0.7, -0.7), style.Shape));
    }

    QColor symbolInk = look == Look::Normal ? kSymbol : (look == Look::Hover ? kHoverInk : kStatus);
    if (ink) {
        symbolInk = *ink;
    }
    QRectF symbolBox =
        cap.adjusted(cap.width() * 0.16, cap.height() * 0.16, -cap.width() * 0.16, -cap.height() * 0.16);
    if (glow) {
        const double r = std::min(symbolBox.width(), symbolBox.height()) * 0.5;
        QRadialGradient halo(symbolBox.center(), r);
        halo.setColorAt(0.0, QColor(255, 90, 70, 200));
        halo.setColorAt(0.55, QColor(255, 60, 50, 120));
        halo.setColorAt(1.0, QColor(255, 40, 40, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(halo);
        p.drawEllipse(symbolBox.center(), r, r);
    }
    DrawSymbol(p, symbol, symbolBox, symbolInk);
    p.end();
    return FlattenOnKey(canvas, style.Key, style.Behind);
}

} // namespace artwork
