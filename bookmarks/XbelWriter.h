#pragma once

#include "bookmarks/BookmarkTree.h"

#include <string>

// The tree as an XBEL 1.0 document in UTF-8: <folder> and <bookmark href>
// with <title> children, <separator/>, dates as ISO 8601 "added" attributes.
std::string writeXbel(const BookmarkTree& tree);
