#pragma once

#include "bookmarks/BookmarkTree.h"

#include <string>
#include <string_view>

// Reads the `Bookmarks` JSON file of Chromium, Chrome, Edge, Brave, Vivaldi
// and Opera: the roots bookmark_bar, other and synced (then any other root
// folder), each a folder named as the browser names it, holding nodes of
// type "url" or "folder" with their children. date_added counts
// microseconds since 1601. Values of the wrong type are skipped.
BookmarkReadResult readChromiumBookmarks(std::string_view bytes, const std::string& name);
