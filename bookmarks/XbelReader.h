#pragma once

#include "bookmarks/BookmarkTree.h"

#include <string>
#include <string_view>

// Reads an XBEL document: <folder> with <title>, <bookmark href> with
// <title>, <separator/>, and <alias ref> copying the bookmark it names
// (aliases of folders are skipped). libxml2's XML parser runs without entity
// substitution, DTD loading or network access, and text comes only from
// text and CDATA nodes, so entity bombs expand nowhere. Nesting deeper than
// libxml2's limit (256) is refused with its message.
BookmarkReadResult readXbel(std::string_view bytes, const std::string& name);
