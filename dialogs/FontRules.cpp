#include "dialogs/FontRules.h"

#include "core/Codepage.h"

#include <cstdlib>

const NamedColor kStandardColors[kStandardColorCount] = {
    {"Black", 0x000000},  {"Maroon", 0x000080},  {"Green", 0x008000}, {"Olive", 0x008080},
    {"Navy", 0x800000},   {"Purple", 0x800080},  {"Teal", 0x808000},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},     {"Lime", 0x00FF00},  {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00},  {"White", 0xFFFFFF},
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
