#pragma once

#include "bookmarks/BookmarkTree.h"

#include <cstddef>
#include <string>
#include <string_view>

// Reads a macOS .webloc file, an XML or binary property list whose URL key
// holds the address, with libplist. Gives one link at the tree root, titled
// with the file name without its extension. Files above kMaxWeblocBytes are
// refused: a real one is a few hundred bytes.
constexpr size_t kMaxWeblocBytes = size_t{1} << 20;

BookmarkReadResult readWebloc(std::string_view bytes, const std::string& name);
