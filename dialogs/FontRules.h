#pragma once

// Window-free rules of the font and colour pickers, kept apart from the
// widgets so that they can be checked without a screen.

#include "core/LinkGroup.h"

#include <cstdint>
#include <string>
#include <string_view>

// Font height in logical pixels (negative: a character height, not a cell
// height) for a whole point size on a device with dpi pixels per inch.
// Fractions of a pixel are dropped: 14 points at 96 dpi give -18, 32 give -42.
int pointSizeToHeight(int points, int dpi);

// The style code (bit 0 bold, bit 1 italic) of a font the user chose: 2 for
// italic plus 1 only for a weight of exactly 700. Lighter or heavier weights
// (600, 800, 900) do not count as bold.
std::int32_t styleCodeFromFont(bool italic, int weight);
// The weight and italic flag a style code asks for: weight 700 only for
// codes 1 and 3 (else 400), italic only for codes 2 and 3. Any other code
// (possible only from a project file) means Regular.
int weightFromStyleCode(std::int32_t style);
bool italicFromStyleCode(std::int32_t style);
// True for the codes 0..3 the picker offers.
bool isKnownStyleCode(std::int32_t style);

// The longest face name the picker starts on; longer names (possible only
// from a project file) are cut to their first 31 characters.
inline constexpr std::size_t kMaxFaceLength = 31;
std::string cutFaceName(std::string_view face);

// The sixteen standard colours of the font picker's colour list, in list
// order, as colour references 0x00BBGGRR.
struct NamedColor {
    const char* name;
    RgbColor color;
};
inline constexpr int kStandardColorCount = 16;
extern const NamedColor kStandardColors[kStandardColorCount];
// Index of the standard colour equal to color, or -1 (a custom colour).
int findStandardColor(RgbColor color);
