#pragma once
#include <QColor>
#include <QImage>
#include <QString>

namespace artwork {

// Turns a picture drawn with soft (anti-aliased) edges on a transparent canvas into an opaque
// bitmap for key-colour transparency: nearly transparent pixels become the key, the others are
// blended over `behind` (the colour the picture will sit on) and kept off the key by one step,
// so that no drawn pixel is cut away by accident.
QImage FlattenOnKey(const QImage& argb, const QColor& key, const QColor& behind);

// Writes a 24-bit BMP; exits the program with a message when the file cannot be written, so a
// build never goes on with missing artwork.
void SaveBmp(const QImage& image, const QString& path);
void SavePng(const QImage& image, const QString& path);

} // namespace artwork
