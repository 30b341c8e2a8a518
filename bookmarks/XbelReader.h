#pragma once

#include "bookmarks/BookmarkTree.h"

#include <string>
#include <string_view>

// Reads an XBEL document: <folder> with <title>, <bookmark href> with
// <title>, <separator/>, and <alias ref> copying the bookmark it names
// (aliases of folders are skipped). libxml2's XML parser hands over its
// events without building a document, declaring no entity (a reference to
// one leaves the file not well-formed) and loading nothing, so entity bombs
// expand nowhere and memory follows the bookmarks. Nesting deeper than the
// tree allows is flattened as in the other formats.
BookmarkReadResult readXbel(std::string_view bytes, const std::string& name);
