#pragma once

#include <string>
#include <string_view>

// What the modern page shows for a site without an icon: a letter tile.
// The letter is the first one of the name a person knows the site by, its
// registrable domain from the public suffix list ("W" for en.wikipedia.org,
// "P" for docs.python.org, "B" for www.bbc.co.uk), and its colour one of
// kTileColours picked by that name, the same for every page of the site.

inline constexpr int kTileColours = 12;

struct SiteTile {
    std::string letter; // one character, upper case, UTF-8
    int colour = 0;     // 0 .. kTileColours - 1
};

// The registrable domain of a host in lower case ("bbc.co.uk" for
// "news.bbc.co.uk"), international names in Unicode; the host itself when
// it has none (localhost, a public suffix, an IP address) or when libpsl
// cannot be loaded.
std::string registrableDomain(std::string_view host);

// The tile for a link to host (as iconHost gives it); for a link without
// one (mailto:, relative paths) the first letter or digit after the URL's
// scheme. IP addresses get "#".
SiteTile siteTile(std::string_view host, std::string_view url);
