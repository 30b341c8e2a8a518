#pragma once

#include "core/LinkGroup.h"

#include <QColor>

// Conversions between the model's colour references (0x00BBGGRR, red in the
// low byte) and Qt colours. Alpha is dropped.
inline QColor toQColor(RgbColor color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

inline RgbColor toColorRef(const QColor& color) {
    return static_cast<RgbColor>(color.red()) | (static_cast<RgbColor>(color.green()) << 8) |
           (static_cast<RgbColor>(color.blue()) << 16);
}
