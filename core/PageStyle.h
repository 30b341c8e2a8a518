#pragma once

#include <string>

// How the start page is written. Classic is the fixed-width table page;
// Modern is a grid of group cards that fits any window, with a dark theme,
// a filter box and icons. A project at these defaults stores nothing extra.
enum class PageLook { Classic = 0, Modern = 1 };

// The modern page's colours: following the browser's light or dark
// preference, or fixed to one of them.
enum class PageTheme { System = 0, Light = 1, Dark = 2 };

struct PageStyle {
    PageLook look = PageLook::Classic;
    PageTheme theme = PageTheme::System;
    bool filterBox = true;
    // A web search for filter text that matches no link: a URL with "%s"
    // where the words go. Empty: nothing leaves the machine.
    std::string searchUrl;
    bool icons = true;
    // The language of the modern page's own words and its lang attribute, a
    // BCP 47 tag ("de", "en-GB"). Empty: the language the program runs in.
    std::string language;

    bool operator==(const PageStyle&) const = default;
};
