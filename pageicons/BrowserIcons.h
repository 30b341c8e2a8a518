#pragma once

#include "core/ModernPage.h"

#include <cstddef>
#include <string>
#include <string_view>

class Project;

// Icons for the modern page from the favicon stores of the user's own
// browsers: each host of the project's links looked up once, its picture
// scaled to 32 (or, when smaller, 16) pixels with Qt's image code and
// embedded as a PNG data: URI within kMaxIconUriBytes. Missing or locked
// stores and pictures Qt cannot read are passed over quietly. Needs no
// display: only QImage, no application object.
//
// A store is outside data: a picture is decoded only when its header says
// it is at most kMaxIconSide pixels wide and high, and an SVG only when it
// is made of self-contained shapes (see svgIsSelfContained), rendered at
// the page's size. Every page has one budget of decoded pixels
// (kPageIconPixels); once it is spent the remaining hosts get no icon (the
// page shows their letter tiles).
PageIcons browserPageIcons(const Project& doc);

// The same from the browsers found in home.
PageIcons browserPageIcons(const Project& doc, const std::string& home);

inline constexpr int kMaxIconSide = 512;
inline constexpr size_t kPageIconPixels = size_t{8} << 20;

// What the icons of one page may still decode, in pixels (an SVG also
// counts its bytes, for the work of parsing it).
struct IconBudget {
    size_t pixels = kPageIconPixels;
};

// One picture's bytes as the page's data: URI; empty when Qt cannot read
// it, it is not a picture this page takes, the budget does not cover it or
// the result would be too large. What was decoded is taken from budget.
std::string iconDataUri(const std::string& bytes, IconBudget& budget);
std::string iconDataUri(const std::string& bytes);

// Whether an SVG document draws only shapes of its own: no DTD, no
// processing instruction, only the elements of plain shapes, groups,
// gradients and clips (no text, image, use, script, style sheet import,
// foreign object or filter), no event handler attributes, no reference
// that leaves the document (href and url() only to "#id").
bool svgIsSelfContained(std::string_view bytes);
