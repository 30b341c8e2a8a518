#pragma once

#include "core/LinkGroup.h"

#include <string>
#include <vector>

class Project;

// Colour maths for the modern page: contrast as WCAG 2 defines it, and the
// light and dark palettes derived from the project's colours so that text
// stays readable in both.

// The least contrast text keeps against its background (WCAG AA).
inline constexpr double kMinTextContrast = 4.5;
// The page's plain text (the filter's label, the count) is held to more.
inline constexpr double kBodyTextContrast = 7.0;
// The least contrast of a control's border (WCAG 1.4.11).
inline constexpr double kMinControlContrast = 3.0;

// WCAG relative luminance, 0 (black) to 1 (white).
double relativeLuminance(RgbColor color);
// (lighter + 0.05) / (darker + 0.05): 1 to 21.
double contrastRatio(RgbColor a, RgbColor b);

// color itself when it keeps minRatio against background; otherwise the
// colour nearest to it, on the way to black or to white (whichever gets
// further), that does.
RgbColor withContrast(RgbColor color, RgbColor background, double minRatio = kMinTextContrast);

// color with its lightness turned over (light to dark and back), hue and
// saturation kept: a project colour's counterpart on the dark page.
RgbColor invertLightness(RgbColor color);

// a and b mixed: 0 gives a, 1 gives b.
RgbColor mixColors(RgbColor a, RgbColor b, double amount);

// One theme's colours; every text colour meets kMinTextContrast against
// surface, the card background, and title against background.
struct PagePalette {
    RgbColor background = 0; // the page
    RgbColor surface = 0;    // the group cards
    RgbColor border = 0;     // the cards' edge
    RgbColor control = 0;    // the filter box's edge: kMinControlContrast on both
    RgbColor text = 0;       // the filter box, counts: kBodyTextContrast
    RgbColor title = 0;
    RgbColor link = 0;
    RgbColor visitedLink = 0;
    std::vector<RgbColor> headings; // one per group, in group order
};

// The light theme: the project's own colours, each darkened or lightened
// only as far as it needs to be readable.
PagePalette lightPalette(const Project& doc);
// The dark theme derived from them: a neutral dark grey (the page's hue
// kept only as a trace), the project's colours with their lightness turned
// over.
PagePalette darkPalette(const Project& doc);
// The colours a printout uses whatever the theme: the light theme's on
// white paper.
PagePalette printPalette(const Project& doc);

// The background of the n-th letter tile (n modulo kTileColours of
// core/SiteName.h): hues around the circle, each dark enough for a white
// letter to keep kMinTextContrast.
RgbColor tileColour(int n);

// "#RRGGBB".
std::string cssColor(RgbColor color);
