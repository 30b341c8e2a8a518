#include "core/PageColors.h"

#include "core/Project.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr RgbColor kBlack = 0x000000;
constexpr RgbColor kWhite = 0xFFFFFF;

double channel(RgbColor color, int shift) {
    return static_cast<double>((color >> shift) & 0xFF) / 255.0;
}

RgbColor fromChannels(double r, double g, double b) {
    auto byte = [](double v) {
        return static_cast<RgbColor>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
    };
    return byte(r) | byte(g) << 8 | byte(b) << 16;
}

struct Hsl {
    double h = 0, s = 0, l = 0;
};

Hsl toHsl(RgbColor color) {
    const double r = channel(color, 0), g = channel(color, 8), b = channel(color, 16);
    const double hi = std::max({r, g, b}), lo = std::min({r, g, b});
    Hsl out;
    out.l = (hi + lo) / 2;
    const double d = hi - lo;
    if (d <= 0)
        return out;
    out.s = d / (1 - std::abs(2 * out.l - 1));
    if (hi == r)
        out.h = std::fmod((g - b) / d, 6.0);
    else if (hi == g)
        out.h = (b - r) / d + 2;
    else
        out.h = (r - g) / d + 4;
    out.h *= 60;
    if (out.h < 0)
        out.h += 360;
    return out;
}

RgbColor fromHsl(const Hsl& c) {
    const double chroma = (1 - std::abs(2 * c.l - 1)) * c.s;
    const double x = chroma * (1 - std::abs(std::fmod(c.h / 60, 2.0) - 1));
    const double m = c.l - chroma / 2;
    double r = 0, g = 0, b = 0;
    switch (static_cast<int>(c.h / 60) % 6) {
    case 0:
        r = chroma, g = x;
        break;
    case 1:
        r = x, g = chroma;
        break;
    case 2:
        g = chroma, b = x;
        break;
    case 3:
        g = x, b = chroma;
        break;
    case 4:
        r = x, b = chroma;
        break;
    default:
        r = chroma, b = x;
        break;
    }
    return fromChannels(r + m, g + m, b + m);
}

// The colour a classic page shows for a group heading: its own, unless that
// is the background's, which would hide it.
RgbColor headingColor(const LinkGroup& group, RgbColor background) {
    if ((group.textColor & 0xFFFFFF) == background)
        return background == 0 ? kWhite : kBlack;
    return group.textColor & 0xFFFFFF;
}

// Fills every text colour of p from the project's, passed through map and
// made readable on p's surface.
template <typename Map> void fillText(PagePalette& p, const Project& doc, Map map) {
    const RgbColor background = doc.backgroundColor() & 0xFFFFFF;
    // Plain text stands on the cards and on the page (the filter's label
    // and count): black or white, whichever stands further from the cards.
    const RgbColor ink =
        contrastRatio(kBlack, p.surface) >= contrastRatio(kWhite, p.surface) ? kBlack : kWhite;
    p.text = withContrast(withContrast(ink, p.surface, kBodyTextContrast), p.background,
                          kBodyTextContrast);
    p.title = withContrast(map(doc.titleColor() & 0xFFFFFF), p.background);
    p.link = withContrast(map(doc.linkColor() & 0xFFFFFF), p.surface);
    p.visitedLink = withContrast(map(doc.visitedLinkColor() & 0xFFFFFF), p.surface);
    p.headings.clear();
    for (const LinkGroup& g : doc.groups())
        p.headings.push_back(withContrast(map(headingColor(g, background)), p.surface));
    p.border = mixColors(p.surface, p.text, 0.3);
    // The filter box stands on the page with the cards' colour inside.
    p.control = withContrast(
        withContrast(mixColors(p.surface, p.text, 0.45), p.surface, kMinControlContrast),
        p.background, kMinControlContrast);
}

} // namespace

double relativeLuminance(RgbColor color) {
    auto linear = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(channel(color, 0)) + 0.7152 * linear(channel(color, 8)) +
           0.0722 * linear(channel(color, 16));
}

double contrastRatio(RgbColor a, RgbColor b) {
    const double la = relativeLuminance(a), lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

RgbColor mixColors(RgbColor a, RgbColor b, double amount) {
    auto mix = [&](int shift) {
        return channel(a, shift) + (channel(b, shift) - channel(a, shift)) * amount;
    };
    return fromChannels(mix(0), mix(8), mix(16));
}

RgbColor withContrast(RgbColor color, RgbColor background, double minRatio) {
    color &= 0xFFFFFF;
    if (contrastRatio(color, background) >= minRatio)
        return color;
    // Black or white always reaches 4.58 against any background; take the
    // one that gets further and the least step towards it that is enough.
    const RgbColor target =
        contrastRatio(kBlack, background) >= contrastRatio(kWhite, background) ? kBlack : kWhite;
    double lo = 0, hi = 1;
    for (int i = 0; i < 20; ++i) {
        const double mid = (lo + hi) / 2;
        if (contrastRatio(mixColors(color, target, mid), background) >= minRatio)
            hi = mid;
        else
            lo = mid;
    }
    RgbColor result = mixColors(color, target, hi);
    // Rounding to whole channel values may land just short.
    while (contrastRatio(result, background) < minRatio && result != target) {
        hi = std::min(1.0, hi + 1.0 / 255);
        result = mixColors(color, target, hi);
    }
    return result;
}

RgbColor invertLightness(RgbColor color) {
    Hsl c = toHsl(color & 0xFFFFFF);
    c.l = 1 - c.l;
    return fromHsl(c);
}

PagePalette lightPalette(const Project& doc) {
    PagePalette p;
    p.background = doc.backgroundColor() & 0xFFFFFF;
    // Cards stand a little apart from the page, towards the text.
    const RgbColor ink = contrastRatio(kBlack, p.background) >= contrastRatio(kWhite, p.background)
                             ? kBlack
                             : kWhite;
    p.surface = mixColors(p.background, ink, 0.03);
    // On a mid-grey page that step could leave the page's text colour
    // unreadable on the cards: they keep the page's colour then.
    if (contrastRatio(ink, p.surface) < kMinTextContrast)
        p.surface = p.background;
    fillText(p, doc, [](RgbColor c) { return c; });
    return p;
}

PagePalette darkPalette(const Project& doc) {
    PagePalette p;
    // A neutral dark grey: the background's hue only as a trace, so that a
    // cream or yellow page does not turn brown.
    Hsl page = toHsl(doc.backgroundColor() & 0xFFFFFF);
    page.s = std::min(page.s, 0.08);
    page.l = 0.09;
    p.background = fromHsl(page);
    page.l = 0.14;
    p.surface = fromHsl(page);
    fillText(p, doc, [](RgbColor c) { return invertLightness(c); });
    return p;
}

PagePalette printPalette(const Project& doc) {
    PagePalette p;
    p.background = kWhite;
    p.surface = kWhite;
    fillText(p, doc, [](RgbColor c) { return c; });
    return p;
}

RgbColor tileColour(int n) {
    Hsl c;
    c.h = 30.0 * ((n % 12 + 12) % 12);
    c.s = 0.6;
    c.l = 0.45;
    return withContrast(fromHsl(c), kWhite);
}

std::string cssColor(RgbColor c) {
    char tmp[8];
    std::snprintf(tmp, sizeof tmp, "#%02x%02x%02x", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    return tmp;
}
