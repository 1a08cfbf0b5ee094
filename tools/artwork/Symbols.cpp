#include "Symbols.h"

#include <QPainterPath>
#include <cmath>

namespace artwork {

namespace {

QPainterPath Triangle(QPointF a, QPointF b, QPointF c) {
    QPainterPath path;
    path.moveTo(a);
    path.lineTo(b);
    path.lineTo(c);
    path.closeSubpath();
    return path;
}

// A triangle pointing right (dir = 1) or left (dir = -1) with its base at x0.
QPainterPath Arrow(double x0, double cy, double w, double h, int dir) {
    return Triangle({x0, cy - h / 2}, {x0 + dir * w, cy}, {x0, cy + h / 2});
}

QPainterPath SpeakerPath(double x, double cy, double s) {
    QPainterPath path;
    path.moveTo(x, cy - 0.18 * s);
    path.lineTo(x + 0.22 * s, cy - 0.18 * s);
    path.lineTo(x + 0.48 * s, cy - 0.42 * s);
    path.lineTo(x + 0.48 * s, cy + 0.42 * s);
    path.lineTo(x + 0.22 * s, cy + 0.18 * s);
    path.lineTo(x, cy + 0.18 * s);
    path.closeSubpath();
    return path;
}

QPainterPath GearPath(QPointF c, double outer, double inner, double hole, int teeth) {
    QPainterPath path;
    const double pi = 3.14159265358979;
    for (int i = 0; i < teeth * 4; ++i) {
        const double angle = (i - 0.5) * pi * 2 / (teeth * 4);
        const double r = (i % 4 == 0 || i % 4 == 1) ? outer : inner;
        const QPointF pt(c.x() + r * std::cos(angle), c.y() + r * std::sin(angle));
        if (i == 0) {
            path.moveTo(pt);
        } else {
            path.lineTo(pt);
        }
    }
    path.closeSubpath();
    path.addEllipse(c, hole, hole);
    path.setFillRule(Qt::OddEvenFill);
    return path;
}

} // namespace

void DrawSymbol(QPainter& p, Symbol symbol, const QRectF& box, const QColor& ink) {
    const double s = std::min(box.width(), box.height());
    const QPointF c = box.center();
    const double cx = c.x(), cy = c.y();
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    QPen stroke(ink, std::max(1.5, s * 0.11), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    switch (symbol) {
    case Symbol::PlayPause:
        p.drawPath(Arrow(cx - 0.42 * s, cy, 0.46 * s, 0.56 * s, 1));
        p.drawRect(QRectF(cx + 0.14 * s, cy - 0.26 * s, 0.1 * s, 0.52 * s));
        p.drawRect(QRectF(cx + 0.3 * s, cy - 0.26 * s, 0.1 * s, 0.52 * s));
        break;
    case Symbol::Stop:
        p.drawRoundedRect(QRectF(cx - 0.24 * s, cy - 0.24 * s, 0.48 * s, 0.48 * s), 0.05 * s, 0.05 * s);
        break;
    case Symbol::Rewind:
        p.drawPath(Arrow(cx, cy, 0.34 * s, 0.5 * s, -1));
        p.drawPath(Arrow(cx + 0.34 * s, cy, 0.34 * s, 0.5 * s, -1));
        break;
    case Symbol::Forward:
        p.drawPath(Arrow(cx, cy, 0.34 * s, 0.5 * s, 1));
        p.drawPath(Arrow(cx - 0.34 * s, cy, 0.34 * s, 0.5 * s, 1));
        break;
    case Symbol::Record:
        p.drawEllipse(c, 0.26 * s, 0.26 * s);
        break;
    case Symbol::Save: {
        // A disk with its label and shutter: the recording is put away.
        const QRectF body(cx - 0.28 * s, cy - 0.28 * s, 0.56 * s, 0.56 * s);
        QPainterPath disk;
        disk.addRoundedRect(body, 0.05 * s, 0.05 * s);
        QPainterPath holes;
        holes.addRect(QRectF(body.left() + 0.12 * s, body.top(), 0.3 * s, 0.18 * s));
        holes.addRect(QRectF(body.left() + 0.09 * s, cy + 0.04 * s, 0.38 * s, 0.2 * s));
        p.drawPath(disk.subtracted(holes));
        p.drawRect(QRectF(body.left() + 0.3 * s, body.top() + 0.03 * s, 0.07 * s, 0.12 * s));
        break;
    }
    case Symbol::SectionPrevious:
        p.drawRect(QRectF(cx - 0.3 * s, cy - 0.24 * s, 0.09 * s, 0.48 * s));
        p.drawPath(Arrow(cx + 0.02 * s, cy, 0.24 * s, 0.48 * s, -1));
        p.drawPath(Arrow(cx + 0.3 * s, cy, 0.24 * s, 0.48 * s, -1));
        break;
    case Symbol::SectionNext:
        p.drawRect(QRectF(cx + 0.21 * s, cy - 0.24 * s, 0.09 * s, 0.48 * s));
        p.drawPath(Arrow(cx - 0.02 * s, cy, 0.24 * s, 0.48 * s, 1));
        p.drawPath(Arrow(cx - 0.3 * s, cy, 0.24 * s, 0.48 * s, 1));
        break;
    case Symbol::FileUp:
    case Symbol::FileDown: {
        // A sheet with a folded corner, and an arrow to the previous or next file beside it.
        const QRectF sheet(cx - 0.42 * s, cy - 0.34 * s, 0.42 * s, 0.62 * s);
        QPainterPath page;
        page.moveTo(sheet.topLeft());
        page.lineTo(sheet.right() - 0.14 * s, sheet.top());
        page.lineTo(sheet.right(), sheet.top() + 0.14 * s);
        page.lineTo(sheet.bottomRight());
        page.lineTo(sheet.bottomLeft());
        page.closeSubpath();
        QPainterPath lines;
        for (int i = 0; i < 3; ++i) {
            lines.addRect(
                QRectF(sheet.left() + 0.07 * s, sheet.top() + (0.22 + 0.12 * i) * s, 0.26 * s, 0.05 * s));
        }
        p.drawPath(page.subtracted(lines));
        const double ax = cx + 0.24 * s;
        if (symbol == Symbol::FileUp) {
            p.drawPath(
                Triangle({ax - 0.18 * s, cy - 0.02 * s}, {ax, cy - 0.3 * s}, {ax + 0.18 * s, cy - 0.02 * s}));
            p.drawRect(QRectF(ax - 0.05 * s, cy - 0.04 * s, 0.1 * s, 0.3 * s));
        } else {
            p.drawPath(
                Triangle({ax - 0.18 * s, cy + 0.02 * s}, {ax, cy + 0.3 * s}, {ax + 0.18 * s, cy + 0.02 * s}));
            p.drawRect(QRectF(ax - 0.05 * s, cy - 0.26 * s, 0.1 * s, 0.3 * s));
        }
        break;
    }
    case Symbol::VolumeUp:
    case Symbol::VolumeDown: {
        p.drawPath(SpeakerPath(cx - 0.44 * s, cy, s));
        const double px = cx + 0.26 * s;
        p.drawRect(QRectF(px - 0.17 * s, cy - 0.05 * s, 0.34 * s, 0.1 * s));
        if (symbol == Symbol::VolumeUp) {
            p.drawRect(QRectF(px - 0.05 * s, cy - 0.17 * s, 0.1 * s, 0.34 * s));
        }
        break;
    }
    case Symbol::Speaker:
        p.drawPath(SpeakerPath(cx - 0.4 * s, cy, s));
        p.setBrush(Qt::NoBrush);
        stroke.setWidthF(std::max(1.2, s * 0.07));
        p.setPen(stroke);
        p.drawArc(QRectF(cx - 0.2 * s, cy - 0.2 * s, 0.4 * s, 0.4 * s), -50 * 16, 100 * 16);
        p.drawArc(QRectF(cx - 0.36 * s, cy - 0.36 * s, 0.72 * s, 0.72 * s), -50 * 16, 100 * 16);
        break;
    case Symbol::SpeakerMuted:
        p.drawPath(SpeakerPath(cx - 0.4 * s, cy, s));
        stroke.setColor(QColor(255, 96, 80));
        stroke.setWidthF(std::max(1.5, s * 0.09));
        p.setPen(stroke);
        p.drawLine(QPointF(cx + 0.12 * s, cy - 0.16 * s), QPointF(cx + 0.42 * s, cy + 0.16 * s));
        p.drawLine(QPointF(cx + 0.12 * s, cy + 0.16 * s), QPointF(cx + 0.42 * s, cy - 0.16 * s));
        break;
    case Symbol::Gear:
        p.drawPath(GearPath(c, 0.36 * s, 0.26 * s, 0.11 * s, 8));
        break;
    case Symbol::Minimize:
        p.drawRoundedRect(QRectF(cx - 0.3 * s, cy + 0.12 * s, 0.6 * s, 0.14 * s), 0.04 * s, 0.04 * s);
        break;
    case Symbol::Close:
        stroke.setWidthF(std::max(1.6, s * 0.14));
        p.setPen(stroke);
        p.drawLine(QPointF(cx - 0.22 * s, cy - 0.22 * s), QPointF(cx + 0.22 * s, cy + 0.22 * s));
        p.drawLine(QPointF(cx - 0.22 * s, cy + 0.22 * s), QPointF(cx + 0.22 * s, cy - 0.22 * s));
        break;
    case Symbol::Link: {
        // Two chain links joined, with radio waves: the remote and the receiver pair up.
        p.setBrush(Qt::NoBrush);
        stroke.setWidthF(std::max(1.6, s * 0.12));
        p.setPen(stroke);
        const double w = 0.5 * s, h = 0.3 * s;
        p.drawRoundedRect(QRectF(cx - 0.62 * s, cy - h / 2, w, h), h / 2, h / 2);
        p.drawRoundedRect(QRectF(cx - 0.24 * s, cy - h / 2, w, h), h / 2, h / 2);
        stroke.setWidthF(std::max(1.2, s * 0.08));
        p.setPen(stroke);
        p.drawArc(QRectF(cx + 0.14 * s, cy - 0.3 * s, 0.5 * s, 0.6 * s), -45 * 16, 90 * 16);
        p.drawArc(QRectF(cx + 0.06 * s, cy - 0.44 * s, 0.8 * s, 0.88 * s), -45 * 16, 90 * 16);
        break;
    }
    }
    p.restore();
}

} // namespace artwork
