#pragma once
#include "Symbols.h"

#include <QImage>
#include <QSize>
#include <optional>

namespace artwork {

enum class Look { Normal, Hover, Pressed };
enum class CapShape { Rounded, Round, Pill };

struct ButtonStyle {
    CapShape Shape = CapShape::Rounded;
    QColor Key;    // transparent key colour around the cap
    QColor Behind; // the skin colour under the button, for the soft edges
};

// A key cap with a symbol, in the given look: normal (graphite, light symbol), hover (lighter cap,
// cyan rim, cyan symbol), pressed (dark inset cap, cyan symbol). `ink` overrides the symbol's
// colour (the red record dot); `glow` adds a halo around the symbol (the record dot while a
// recording is open).
QImage DrawKeyButton(QSize size, Look look, Symbol symbol, const ButtonStyle& style,
                     std::optional<QColor> ink = std::nullopt, bool glow = false);

} // namespace artwork
