#pragma once

#include "model/FileOps.h"
#include "model/UrlGroup.h"

#include <string>
#include <string_view>

class CLFDoc;

// "\"#RRGGBB\"", quotes included; the top byte of the colour is ignored.
std::string FormatHtmlColor(COLORREF color);

struct StyleTags {
    const char* open;
    const char* close;
};
StyleTags GetStyleTags(std::int32_t style);

// The src of an <img>: web addresses unchanged, rooted paths as file://
// URLs, relative paths with forward slashes.
std::string PathToUrl(std::string_view path);

// The column count the page is laid out with: the stored one kept within
// 1..800, so that every cell is at least one pixel wide.
int EffectiveColumns(std::int32_t columns);

// The whole page as it is written to disk (CR LF line ends).
std::string RenderPage(const CLFDoc& doc);

// Writes the page to path. Returns false and sets errno when it could not be
// written completely; an earlier file at path is then left as it was.
bool WriteStartPage(const CLFDoc& doc, const std::string& path, CFileOps& ops = SystemFileOps());
