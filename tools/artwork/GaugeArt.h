#pragma once
#include <QImage>

namespace artwork {

// "vol-N.bmp": seven bars rising from a speaker, N of them lit (0: a muted speaker). Sized as
// picture control 1013.
QImage DrawVolumeGauge(int level);

// "battery-N.bmp": a battery drawn in the display's ink with N of five segments filled
// (0: empty and struck through, the level is not known). Sized as picture control 1014.
QImage DrawBatteryGauge(int level);

// Icons 128 and 151 (the recorder) and cursor 183 (a pointer with its hot spot at 1,1).
QImage DrawAppIcon(int size);
QImage DrawPointerCursor();

} // namespace artwork
