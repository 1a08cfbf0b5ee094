#include "RemoteView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace virtualset {

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 430;

QColor LightColour(RemoteLights::State state) {
    switch (state) {
    case RemoteLights::State::Recording:
        return QColor(235, 40, 40);
    case RemoteLights::State::Playing:
        return QColor(40, 210, 70);
    case RemoteLights::State::Alert:
        return QColor(255, 160, 0);
    case RemoteLights::State::Link:
        return QColor(60, 140, 255);
    case RemoteLights::State::Idle:
        break;
    }
    return QColor(90, 110, 95);
}

} // namespace

RemoteView::RemoteView(VirtualSet& set, QWidget* parent) : QWidget(parent), m_Set(set) {
    setWindowTitle("Virtual remote");
    setFixedSize(kWidth, kHeight);
}

// Keys: file and file-down on top, the wind keys around play, stop and record at the bottom.
QRectF RemoteView::KeyRect(std::size_t index) const {
    static const QRectF places[] = {
        {30, 210, 60, 34},  // file
        {16, 256, 52, 52},  // rewind
        {74, 256, 52, 52},  // play
        {132, 256, 52, 52}, // forward
        {110, 210, 60, 34}, // file-down
        {30, 322, 60, 44},  // stop
        {110, 322, 60, 44}, // record
    };
    return places[index];
}

QRectF RemoteView::LinkRect() const {
    return {30, 380, 60, 24};
}

QRectF RemoteView::BatteryRect() const {
    return {120, 382, 50, 20};
}

void RemoteView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), QColor(235, 235, 238));

    // The body.
    QPainterPath body;
    body.addRoundedRect(QRectF(6, 6, kWidth - 12, kHeight - 12), 40, 40);
    p.fillPath(body, QColor(48, 52, 60));
    p.setPen(QPen(QColor(20, 20, 24), 2));
    p.drawPath(body);

    // Microphone grille.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 32, 36));
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 7; ++col)
            p.drawEllipse(QPointF(64 + col * 12, 30 + row * 10), 3, 3);

    // State light.
    const RemoteLights& lights = m_Set.Lights();
    const QColor light = LightColour(lights.Light);
    QRadialGradient glow(QPointF(kWidth / 2.0, 80), 22);
    glow.setColorAt(0, light.lighter(150));
    glow.setColorAt(1, light.darker(130));
    p.setBrush(glow);
    p.drawEllipse(QPointF(kWidth / 2.0, 80), 14, 14);
    p.setPen(Qt::white);
    p.setFont(QFont("DejaVu Sans", 8));
    p.drawText(QRectF(0, 98, kWidth, 16), Qt::AlignCenter, StateName(lights.Light));

    // Volume: eight steps, the lit ones up to the level.
    p.drawText(QRectF(20, 120, 60, 16), Qt::AlignLeft | Qt::AlignVCenter, "VOL");
    for (int level = 1; level <= 7; ++level) {
        const QRectF bar(62 + (level - 1) * 16, 136 - level * 2.5, 12, level * 2.5 + 4);
        p.fillRect(bar, level <= lights.Volume ? QColor(120, 220, 255) : QColor(70, 76, 86));
    }
    p.drawText(QRectF(20, 144, kWidth - 40, 16), Qt::AlignCenter,
               m_Set.Plugged() ? "receiver plugged in" : "receiver unplugged");
    p.drawText(QRectF(20, 162, kWidth - 40, 16), Qt::AlignCenter,
               m_Set.LinkOn() ? "radio link on" : "radio link off");

    // Keys.
    p.setFont(QFont("DejaVu Sans", 11, QFont::Bold));
    for (std::size_t i = 0; i < std::size(kKeys); ++i) {
        const RemoteKey& key = kKeys[i];
        const bool down = m_Set.HeldKey() == &key || m_Pressed == &key;
        const QRectF r = KeyRect(i);
        p.setPen(QPen(QColor(15, 15, 18), 1.5));
        p.setBrush(down ? QColor(120, 126, 138) : QColor(82, 88, 100));
        p.drawRoundedRect(r, 10, 10);
        p.setPen(key.Down == 0x07 ? QColor(255, 80, 80) : QColor(240, 240, 240));
        p.drawText(r, Qt::AlignCenter, QString::fromUtf8(key.Label));
    }

    // Link switch.
    const QRectF link = LinkRect();
    p.setPen(QPen(QColor(15, 15, 18), 1.5));
    p.setBrush(QColor(30, 32, 36));
    p.drawRoundedRect(link, 12, 12);
    const QRectF knob = m_Set.LinkOn() ? QRectF(link.right() - 24, link.top(), 24, 24)
                                       : QRectF(link.topLeft(), QSizeF(24, 24));
    p.setBrush(m_Set.LinkOn() ? QColor(60, 200, 90) : QColor(150, 150, 150));
    p.drawEllipse(knob);

    // Battery: five cells.
    const QRectF battery = BatteryRect();
    p.setPen(QPen(QColor(220, 220, 220), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRect(battery);
    p.fillRect(QRectF(battery.right(), battery.center().y() - 4, 3, 8), QColor(220, 220, 220));
    for (int cell = 0; cell < m_Set.Battery(); ++cell)
        p.fillRect(QRectF(battery.left() + 3 + cell * 9.2, battery.top() + 3, 7, battery.height() - 6),
                   m_Set.Battery() <= 1 ? QColor(240, 80, 60) : QColor(110, 220, 110));
}

void RemoteView::mousePressEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    for (std::size_t i = 0; i < std::size(kKeys); ++i) {
        if (KeyRect(i).contains(at)) {
            m_Pressed = &kKeys[i];
            m_Set.KeyDown(kKeys[i]);
            return;
        }
    }
    if (LinkRect().contains(at))
        m_Set.SetLink(!m_Set.LinkOn());
    else if (BatteryRect().contains(at))
        m_Set.SetBattery(m_Set.Battery() > 1 ? m_Set.Battery() - 1 : 5);
}

void RemoteView::mouseReleaseEvent(QMouseEvent*) {
    if (m_Pressed) {
        const RemoteKey* key = m_Pressed;
        m_Pressed = nullptr;
        m_Set.KeyUp(*key);
    }
}

} // namespace virtualset
