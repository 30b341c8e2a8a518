#pragma once

#include "bookmarks/BookmarkTree.h"

#include <string>
#include <string_view>

// Reads the `Bookmarks` JSON file of Chromium, Chrome, Edge, Brave, Vivaldi
// and Opera: the roots bookmark_bar, other and synced (and any other root
// folder), each a browser root named as the browser names it, holding nodes
// of type "url" or "folder" with their children. date_added counts
// microseconds since 1601. The file is read as a stream into the tree.
// Values of the wrong type where the format has a known one are errors
// naming the place ("children of bookmark_bar is not a list").
BookmarkReadResult readChromiumBookmarks(std::string_view bytes, const std::string& name);
