#pragma once

#include "bookmarks/BookmarkTree.h"

#include <string>
#include <string_view>

enum class BookmarkFormat { Unknown, NetscapeHtml, Xbel, ChromiumJson, FirefoxPlaces, Webloc };

// The format of a bookmark source judged by its first bytes, not its name:
// the SQLite header, a binary or XML property list, an <xbel> root, a JSON
// object, or the bookmark HTML doctype (or a <DL> list).
BookmarkFormat sniffBookmarkFormat(std::string_view bytes);

// Reads any of the formats above from bytes (`name` for messages).
BookmarkReadResult readBookmarks(std::string_view bytes, const std::string& name);

// Whether the file at path begins as a SQLite database, which is read
// from a private copy rather than into memory; false when it cannot be
// opened.
bool isDatabaseFile(const std::string& path);

// Reads a file of any of the formats above. Files are capped at
// SourceFile::kMaxBytes; a places.sqlite is read from a private copy.
BookmarkReadResult readBookmarkFile(const std::string& path);
