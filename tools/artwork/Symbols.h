#pragma once
#include <QColor>
#include <QPainter>
#include <QRectF>

namespace artwork {

enum class Symbol {
    PlayPause,
    Stop,
    Rewind,
    Forward,
    Record,
    Save,
    SectionPrevious,
    SectionNext,
    FileUp,
    FileDown,
    VolumeUp,
    VolumeDown,
    Speaker,
    SpeakerMuted,
    Gear,
    Minimize,
    Close,
    Link,
};

// Draws a symbol centred in `box`, sized to its shorter side, in `ink`. Pure paths, no fonts,
// so that the artwork comes out the same on every machine.
void DrawSymbol(QPainter& p, Symbol symbol, const QRectF& box, const QColor& ink);

} // namespace artwork
