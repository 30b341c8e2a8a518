#pragma once

#include "core/LinkList.h"

#include <cstdint>
#include <string>
#include <vector>

// Colour reference 0x00BBGGRR: red in the low byte, top byte zero.
using RgbColor = std::uint32_t;

// Style code: bit 0 bold, bit 1 italic.
enum : std::int32_t { kStylePlain = 0, kStyleBold = 1, kStyleItalic = 2, kStyleBoldItalic = 3 };

// One URL group (one tab "1".."10"): its heading (texts in UTF-8) and its
// links, stored compactly (see LinkList).
struct LinkGroup {
    std::string title;
    std::string bullet;
    std::string face = "Arial";
    std::int32_t style = 0;
    RgbColor textColor = 0;
    LinkList links;

    bool operator==(const LinkGroup&) const = default;
};
