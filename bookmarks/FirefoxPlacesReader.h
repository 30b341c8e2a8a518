#pragma once

#include "bookmarks/BookmarkTree.h"

#include <cstddef>
#include <string>
#include <string_view>

// Reads Firefox's places.sqlite: moz_bookmarks rows (type 1 bookmark,
// 2 folder, 3 separator) under the roots menu, toolbar, unfiled and mobile,
// with URLs from moz_places. The tags folder and place: queries are skipped;
// a parent cycle in a damaged file is cut.
//
// The database is copied first (with its -wal file when present) into a
// private temporary folder and the copy opened read-only, so a running
// Firefox's lock does not matter and nothing is written next to the original.
// Files above kMaxDatabaseBytes are refused.
constexpr size_t kMaxDatabaseBytes = size_t{1} << 30; // 1 GiB

BookmarkReadResult readFirefoxPlaces(const std::string& path);

// The same from a database image held in memory (`name` for messages).
BookmarkReadResult readFirefoxPlacesImage(std::string_view bytes, const std::string& name);
