#pragma once

#include "bookmarks/BookmarkTree.h"

#include <string>
#include <string_view>

// Reads the bookmark HTML file every browser exports
// (<!DOCTYPE NETSCAPE-Bookmark-file-1>): <DT><H3> starts a folder whose
// contents are the <DL> that follows, <DT><A HREF> is a link, <HR> a
// separator. Parsed with libxml2's HTML parser in recover mode, so the
// unclosed <DT> and <p> tags every exporter writes are fine. ICON, FEED,
// SHORTCUTURL and TAGS attributes are ignored; place: queries are skipped.
// Folders nested deeper than BookmarkTree::kMaxDepth are merged into their
// ancestor at that depth.
// `name` is the file name used in messages.
BookmarkReadResult readNetscapeBookmarks(std::string_view bytes, const std::string& name);
