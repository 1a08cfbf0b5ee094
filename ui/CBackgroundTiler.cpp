#include "ui/CBackgroundTiler.h"

void CBackgroundTiler::SetBackgroundBitmap(const QPixmap& bitmap) {
    m_Background = bitmap;
    m_Width = bitmap.width();
    m_Height = bitmap.height();
}

bool CBackgroundTiler::TileBackground(QPainter& painter, const QRect& rect) const {
    if (m_Background.isNull() || m_Width <= 0 || m_Height <= 0) {
        return false;
    }
    for (int y = 0; y < rect.height(); y += m_Height) {
        for (int x = 0; x < rect.width(); x += m_Width) {
            painter.drawPixmap(rect.left() + x, rect.top() + y, m_Background);
        }
    }
    return true;
}
