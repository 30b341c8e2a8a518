#pragma once

#include "core/Link.h"

#include <string>
#include <string_view>
#include <vector>

// Readers of link files dropped on the link list, and of the link data a web
// browser offers when one of its links is dragged. Texts returned as
// std::string are UTF-8, as the project model keeps them.

// The URL stored in a link file: an Internet shortcut ("[InternetShortcut]"
// with "URL=") or a freedesktop link (".desktop" with "Type=Link" and
// "URL="). The file's content decides, not its name. A shortcut's
// "[InternetShortcut.W]" section, where present, holds the URL in UTF-7
// and is preferred; the plain section is read as UTF-8 when it is valid
// UTF-8, else as Windows-1252. A freedesktop link is UTF-8. Returns an empty string
// for anything else: a missing or unreadable file, another kind of file, a
// link without a URL, or a file too large to be a link file.
std::string shortcutUrl(const std::string& path);

// The same, from the file's bytes.
std::string urlFromShortcutText(std::string_view text);

// One link offered by a browser drag. An empty title means the browser gave
// none.
struct DroppedLink {
    std::string url;
    std::string title;
};

// Parses "text/x-moz-url" data: lines alternating URL and title. The bytes
// are UTF-16 (with or without byte order mark, little-endian unless the mark
// says otherwise) when they hold zero bytes, otherwise UTF-8. Also used for
// "_NETSCAPE_URL", which has the same shape.
std::vector<DroppedLink> parseMozUrl(std::string_view bytes);
