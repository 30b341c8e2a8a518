#pragma once

#include "model/UrlGroup.h"

#include <QColor>

// Conversions between the model's colour references (0x00BBGGRR, red in the
// low byte) and Qt colours. Alpha is dropped.
inline QColor ToQColor(COLORREF color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

inline COLORREF ToColorRef(const QColor& color) {
    return static_cast<COLORREF>(color.red()) | (static_cast<COLORREF>(color.green()) << 8) |
           (static_cast<COLORREF>(color.blue()) << 16);
}
