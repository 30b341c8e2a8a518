#pragma once

#include "bookmarks/BookmarkTree.h"
#include "bookmarks/GroupLinks.h"

#include <string>
#include <vector>

// How bookmarks go into the project's groups. Pure functions over plain
// data, so the import window only shows choices and applies the result.

// A top-level folder of the source with every link below it, subfolders
// flattened in order. Links at the tree root form one more folder, placed
// where the first of them appears and named `rootName`.
struct ImportFolder {
    std::string name;             // plain text, as the source gives it
    std::vector<GroupLink> links; // checked URLs; descriptions already converted from titles
    size_t refusedLinks = 0;      // links whose URL may not go on the page
};

std::vector<ImportFolder> importFolders(const BookmarkTree& tree, const std::string& rootName);

// A group as it stands before the import.
struct ExistingGroup {
    std::string title;
    std::vector<std::string> urls;
};

enum class ImportMode { Append, Replace };

// For each folder, the group it goes into (an index into the groups) or -1.
// By default the checked folders that have links go, in order, to the
// groups that are empty; the rest stay unassigned.
std::vector<int> defaultMapping(const std::vector<ImportFolder>& folders,
                                const std::vector<bool>& checked,
                                const std::vector<ExistingGroup>& groups);

// What happens to one group.
struct GroupImport {
    int group = -1;
    ImportMode mode = ImportMode::Append;
    std::string newTitle;         // empty: the title stays
    std::vector<GroupLink> links; // to add (Append) or to become the group's links (Replace)
};

struct ImportPlan {
    std::vector<GroupImport> groups; // in group order, only groups that receive folders
    size_t linkCount = 0;
    size_t groupCount = 0; // groups that receive at least one link
    size_t duplicates = 0;
    size_t refusedLinks = 0; // script, data and other links that may not go on the page

    // "312 links into 6 groups, 14 duplicates skipped, 3 script or data links
    // skipped".
    std::string summary() const;
};

// The plan for a mapping (folder -> group or -1) and a mode per group.
// Links whose URL matches, by urlComparisonKey, one already in the target
// group (unless it is replaced) or one imported before into it are skipped
// and counted; a group without a title takes its first folder's name (as
// HTML: the name is escaped). Refused links of the mapped folders are counted.
ImportPlan planImport(const std::vector<ImportFolder>& folders, const std::vector<int>& mapping,
                      const std::vector<ImportMode>& modes,
                      const std::vector<ExistingGroup>& groups);
