#pragma once

#include "bookmarks/BookmarkTree.h"

#include <string>

// The tree as bookmark HTML (<!DOCTYPE NETSCAPE-Bookmark-file-1>), UTF-8
// with a meta charset, laid out as browsers write it: <DT><H3> per folder
// followed by its <DL><p> list, <DT><A HREF ADD_DATE> per link, <HR> per
// separator.
std::string writeNetscapeBookmarks(const BookmarkTree& tree);
