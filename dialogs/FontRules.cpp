#include "dialogs/FontRules.h"

#include "core/Codepage.h"

#include <QtGlobal>

#include <cstdlib>

const NamedColor kStandardColors[kStandardColorCount] = {
    // The names are translated where they are shown (FontDialog).
    {QT_TRANSLATE_NOOP("FontDialog", "Black"), 0x000000},
    {QT_TRANSLATE_NOOP("FontDialog", "Maroon"), 0x000080},
    {QT_TRANSLATE_NOOP("FontDialog", "Green"), 0x008000},
    {QT_TRANSLATE_NOOP("FontDialog", "Olive"), 0x008080},
    {QT_TRANSLATE_NOOP("FontDialog", "Navy"), 0x800000},
    {QT_TRANSLATE_NOOP("FontDialog", "Purple"), 0x800080},
    {QT_TRANSLATE_NOOP("FontDialog", "Teal"), 0x808000},
    {QT_TRANSLATE_NOOP("FontDialog", "Gray"), 0x808080},
    {QT_TRANSLATE_NOOP("FontDialog", "Silver"), 0xC0C0C0},
    {QT_TRANSLATE_NOOP("FontDialog", "Red"), 0x0000FF},
    {QT_TRANSLATE_NOOP("FontDialog", "Lime"), 0x00FF00},
    {QT_TRANSLATE_NOOP("FontDialog", "Yellow"), 0x00FFFF},
    {QT_TRANSLATE_NOOP("FontDialog", "Blue"), 0xFF0000},
    {QT_TRANSLATE_NOOP("FontDialog", "Fuchsia"), 0xFF00FF},
    {QT_TRANSLATE_NOOP("FontDialog", "Aqua"), 0xFFFF00},
    {QT_TRANSLATE_NOOP("FontDialog", "White"), 0xFFFFFF},
};

int pointSizeToHeight(int points, int dpi) {
    // 32-bit arithmetic, truncating toward zero.
    const std::int32_t y = points * dpi * 10 / 720;
    return -std::abs(y);
}

std::int32_t styleCodeFromFont(bool italic, int weight) {
    return (italic ? kStyleItalic : 0) + (weight == 700 ? kStyleBold : 0);
}

bool isKnownStyleCode(std::int32_t style) {
    return style >= 0 && style <= kStyleBoldItalic;
}

int weightFromStyleCode(std::int32_t style) {
    return isKnownStyleCode(style) && (style & kStyleBold) ? 700 : 400;
}

bool italicFromStyleCode(std::int32_t style) {
    return isKnownStyleCode(style) && (style & kStyleItalic) != 0;
}

std::string cutFaceName(std::string_view face) {
    // Characters are counted, not bytes: a face name is UTF-8.
    size_t end = 0;
    for (std::size_t n = 0; n < kMaxFaceLength && end < face.size(); ++n)
        nextCodePoint(face, end);
    return std::string(face.substr(0, end));
}

int findStandardColor(RgbColor color) {
    for (int i = 0; i < kStandardColorCount; ++i) {
        if (kStandardColors[i].color == color)
            return i;
    }
    return -1;
}
