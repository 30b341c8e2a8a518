#pragma once

#include "bookmarks/BookmarkTree.h"
#include "bookmarks/GroupLinks.h"

#include <vector>

// The tree the writers export for a project's groups: one top-level folder
// per non-empty group, titled with the group's title or "Group N" (N counting
// from 1 over all groups), holding its links with the descriptions turned
// into plain titles.
BookmarkTree exportTree(const std::vector<GroupContent>& groups);
