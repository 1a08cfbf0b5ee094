#include "ui/CLevelMeter.h"
#include "ui/MainLayout.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

CLevelMeter::CLevelMeter(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int CLevelMeter::SegmentsFor(int peak) {
    if (peak <= 0)
        return 0;
    const double db = 20.0 * std::log10(std::min(peak, 32768) / 32768.0);
    const double share = (db + kFloorDb) / kFloorDb;
    return std::clamp(static_cast<int>(std::ceil(share * kSegments - 1e-9)), 0, kSegments);
}

void CLevelMeter::SetPeak(int peak) {
    const int lit = SegmentsFor(peak);
    if (lit == m_Lit)
        return;
    m_Lit = lit;
    update();
}

QColor CLevelMeter::Background() {
    return QColor(ui::kStatusRed, ui::kStatusGreen, ui::kStatusBlue);
}

QColor CLevelMeter::Lit() {
    return Qt::black;
}

// The lit colour faintly on the display, as an unlit segment of a liquid-crystal display shows.
QColor CLevelMeter::Unlit() {
    return QColor(ui::kStatusRed, ui::kStatusGreen * 4 / 5, ui::kStatusBlue * 4 / 5);
}

QRect CLevelMeter::SegmentRect(int index) const {
    const int gap = 2;
    const int width = (this->width() - gap * (kSegments - 1)) / kSegments;
    return QRect(index * (width + gap), 2, width, height() - 4);
}

void CLevelMeter::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Background());
    for (int i = 0; i < kSegments; ++i)
        p.fillRect(SegmentRect(i), i < m_Lit ? Lit() : Unlit());
}
