#include "ui/SkinAlpha.h"
#include "ui/SkinRegion.h"

namespace ui {

bool WindowSystemCutsMasks(const QString& platformName) {
    // "wayland", "wayland-egl" and the other flavours of Qt's Wayland platform.
    return !platformName.startsWith(QLatin1String("wayland"));
}

QImage SkinWithAlpha(const DibPixels& skin, const QImage& picture) {
    QImage shown = picture.convertToFormat(QImage::Format_ARGB32);
    if (shown.size() != QSize(skin.Width, skin.Height))
        return shown;
    // The same test as the region's, so that what is painted and what takes the mouse agree.
    for (int y = 0; y < skin.Height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(shown.scanLine(y));
        for (int x = 0; x < skin.Width; ++x)
            if (IsSkinPixelTransparent(skin, x, y))
                row[x] = qRgba(0, 0, 0, 0);
    }
    return shown;
}

} // namespace ui
