// The handheld remote on screen, drawn with QPainter: the state light and volume that Tavlo's
// reports set, the battery and link switch, and the seven keys, which press and release like the
// real ones (rewind and forward repeat while held).
#pragma once

#include "VirtualSet.h"

#include <QRectF>
#include <QWidget>

namespace virtualset {

class RemoteView : public QWidget {
public:
    explicit RemoteView(VirtualSet& set, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRectF KeyRect(std::size_t index) const;
    QRectF LinkRect() const;
    QRectF BatteryRect() const;

    VirtualSet& m_Set;
    const RemoteKey* m_Pressed = nullptr;
};

} // namespace virtualset
