#pragma once
#include <QPainter>
#include <QPixmap>
#include <QRect>

// Tiles a background bitmap behind a dialog, from the top-left corner, row by row. Neither of the
// program's windows attaches one; they show their skin instead.
class CBackgroundTiler {
public:
    virtual ~CBackgroundTiler() = default;

    // Attaches the bitmap to tile; a null pixmap detaches it.
    void SetBackgroundBitmap(const QPixmap& bitmap);
    // Paints the bitmap over `rect` (its top-left is the tiling origin) and returns true; false,
    // painting nothing, when no bitmap of non-zero size is attached.
    bool TileBackground(QPainter& painter, const QRect& rect) const;

private:
    QPixmap m_Background;
    int m_Width = 0;
    int m_Height = 0;
};
