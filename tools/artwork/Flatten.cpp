#include "Flatten.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>

namespace artwork {

namespace {
int Blend(int over, int under, int alpha) {
    return (over * alpha + under * (255 - alpha) + 127) / 255;
}

void Save(const QImage& image, const QString& path, const char* format) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!image.save(path, format)) {
        std::fprintf(stderr, "artwork: cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}
} // namespace

QImage FlattenOnKey(const QImage& argb, const QColor& key, const QColor& behind) {
    const QImage src = argb.convertToFormat(QImage::Format_ARGB32);
    QImage out(src.size(), QImage::Format_RGB32);
    const QRgb keyRgb = key.rgb() & 0xFFFFFF;
    for (int y = 0; y < src.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            const int a = qAlpha(in[x]);
            if (a < 100) {
                dst[x] = 0xFF000000 | keyRgb;
                continue;
            }
            QRgb c = qRgb(Blend(qRed(in[x]), behind.red(), a), Blend(qGreen(in[x]), behind.green(), a),
                          Blend(qBlue(in[x]), behind.blue(), a));
            if ((c & 0xFFFFFF) == keyRgb) {
                c = qRgb(qMax(0, qRed(c) - 1), qGreen(c), qBlue(c));
            }
            dst[x] = c;
        }
    }
    return out;
}

void SaveBmp(const QImage& image, const QString& path) {
    Save(image.convertToFormat(QImage::Format_RGB888), path, "BMP");
}

void SavePng(const QImage& image, const QString& path) {
    Save(image, path, "PNG");
}

} // namespace artwork
