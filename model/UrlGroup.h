#pragma once

#include "model/LinkEntry.h"

#include <cstdint>
#include <string>
#include <vector>

// Colour reference 0x00BBGGRR: red in the low byte, top byte zero.
using COLORREF = std::uint32_t;

// Style code: bit 0 bold, bit 1 italic.
enum : std::int32_t { kStylePlain = 0, kStyleBold = 1, kStyleItalic = 2, kStyleBoldItalic = 3 };

// One URL group (one tab "1".."10"). The group owns its links by value.
struct CUrlGroup {
    std::string m_strTitle;
    std::string m_strBullet;
    std::string m_strFace = "Arial";
    std::int32_t m_nStyle = 0;
    COLORREF m_clrText = 0;
    std::vector<CLinkEntry> m_links;

    bool operator==(const CUrlGroup&) const = default;
};
