#pragma once

#include "core/LinkFile.h"
#include "core/UrlLines.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

// One fuzz input, read as everything a drop or a paste hands the program: a
// dropped link file (.url or .desktop), a browser's link data, and clipboard
// text. Paste must be enabled exactly when it would add links, and the URL
// lines Copy writes for the pasted links must paste as the same links.
inline void fuzzOneLinkData(const std::uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)urlFromShortcutText(bytes);
    (void)parseMozUrl(bytes);
    const std::vector<Link> links = parseUrlLines(bytes);
    if (startsWithUrlLine(bytes) == links.empty())
        std::abort();
    // A description or URL holding a line break or starting with spaces is
    // not carried by one URL line; compare only links a line can carry.
    for (const Link& link : links)
        if (link.url.find_first_of("\r\n\t") != std::string::npos ||
            link.description.find_first_of("\r\n") != std::string::npos)
            return;
    if (parseUrlLines(formatUrlLines(links)) != links)
        std::abort();
}
