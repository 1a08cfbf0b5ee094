#pragma once
#include "ui/DibPixels.h"

#include <QImage>
#include <QString>

namespace ui {

// Whether the window system shows a top-level window only inside its mask. X11 does (its shape
// extension); a Wayland compositor does not: there a mask only decides where the window takes the
// mouse, and the cut-away parts must be painted fully transparent on a window with an alpha channel.
bool WindowSystemCutsMasks(const QString& platformName);

// The skin as a window with an alpha channel shows it: the pixels the skin's region leaves out
// (white, as MakeSkinRegion sees them at the skin's depth) fully transparent, every other pixel of
// `picture` as it is. Nothing changes where the two differ in size.
QImage SkinWithAlpha(const DibPixels& skin, const QImage& picture);

} // namespace ui
