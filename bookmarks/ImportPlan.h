#pragma once

#include "bookmarks/BookmarkTree.h"
#include "bookmarks/GroupLinks.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// How bookmarks go into the project's groups. Pure functions over plain
// data, so the import window only shows choices and applies the result.

// One row of the import: a folder the user made, at any depth, with its
// own links. The browser's roots (menu, toolbar, other bookmarks) are
// unwrapped: the folders in them are top rows, and the links directly in a
// root form one row named after it, placed where the first of them
// appears. Links outside any folder form a row named as the source names
// them (the bookmark HTML's heading), else `looseName`.
struct ImportFolder {
    std::string name;             // plain text, as the source gives it
    int parent = -1;              // the row of the enclosing folder, -1 for a top row
    int depth = 0;                // 0 for a top row
    std::vector<GroupLink> links; // its own links, checked; descriptions made from titles
    size_t refusedLinks = 0;      // its own links whose URL may not go on the page
    size_t unreadLinks = 0;       // its own links counted but not yet read (none once imported)
    size_t linksBelow = 0;        // links in it and in the folders inside it, refused ones not

    bool operator==(const ImportFolder&) const = default;
};

// A folder without a title is named "Untitled folder (PARENT)" after the
// folder or root it lies in ("Untitled folder" at the top), so that it is
// named alike on every import.
std::string untitledFolderName(std::string_view parentName);

// Reads the rows out of the tree.
std::vector<ImportFolder> importFolders(const BookmarkTree& tree, const std::string& looseName);

// The rows importFolders makes, with their links left to `link`: it is
// handed every link item of the tree, in order, with the row (and its
// index) the link belongs to. Each row's linksBelow is then summed from what
// `link` added to its own.
std::vector<ImportFolder>
importRows(const BookmarkTree& tree, const std::string& looseName,
           const std::function<void(ImportFolder& row, size_t rowIndex, int item)>& link);

// A group as it stands before the import.
struct ExistingGroup {
    std::string title;
    std::vector<std::string> urls;
};

enum class ImportMode { Append, Replace };

// Which group already holds a row's links: for each row, the group holding
// more than half of the URLs (by urlComparisonKey) of the links in it and
// in the folders inside it, or -1 (see heldGroup). Rows are known by index; `add` is called
// for each link (refused ones not) with the row it lies in directly.
class HeldGroups {
public:
    explicit HeldGroups(const std::vector<ExistingGroup>& groups);
    // Whether any group holds a link at all (else every row answers -1).
    bool any() const { return !m_groupsOf.empty(); }
    void add(size_t row, std::string_view url);
    std::vector<int> result(const std::vector<ImportFolder>& folders) const;
    // The groups (bit g for group g) holding a URL of the same key.
    std::uint64_t groupsHolding(std::string_view url) const;
    size_t groupCount() const { return m_groups; }

private:
    size_t m_groups;
    std::unordered_map<std::string, std::uint64_t> m_groupsOf; // key -> groups holding it
    // The groups' URLs as they stand -> the groups holding their key: the
    // same URL again needs no key.
    std::unordered_map<std::string, std::uint64_t> m_groupsOfUrl;
    std::vector<std::uint32_t> m_counts; // per row: links, then hits for each group
};

// Of the groups with `hits[g]` of a row's `links` links, the one holding
// more than half of them, the most (the first of equals); -1 for none. A
// link may lie in several groups.
int heldGroup(const std::uint32_t* hits, size_t groups, size_t links);

// The same from the rows' own links.
std::vector<int> heldGroups(const std::vector<ImportFolder>& folders,
                            const std::vector<ExistingGroup>& groups);

// What the user chose for one row. A ticked row goes into `group` (-1: no
// group, its links are left out) and takes with it the links of the
// unticked folders inside it; an unticked row inside a ticked one goes with
// that one.
struct FolderChoice {
    bool checked = false;
    int group = -1;

    bool operator==(const FolderChoice&) const = default;
};

// The choices the window opens with: every top row that has links is
// ticked; each goes first to the group that holds most of its links
// already (`held`, see HeldGroups; empty for none), then to the group whose
// title, as text, is the folder's name, then the rest in order to the
// groups that are empty. So an import made before is met again whatever
// its groups are called now, and its links are skipped as duplicates. Each
// group is given once; a ticked row left without one keeps group -1.
std::vector<FolderChoice> defaultChoices(const std::vector<ImportFolder>& folders,
                                         const std::vector<ExistingGroup>& groups,
                                         const std::vector<int>& held = {});

// Ticks the rows, in one pass as defaultChoices does: a row keeps the
// group it had when no other ticked row has it (the first in row order
// does), and the others that have links take groups by the same rules from
// those that no ticked row has. Two rows never get one group here; only
// the user gives one group twice.
std::vector<FolderChoice> tickRows(const std::vector<ImportFolder>& folders,
                                   std::vector<FolderChoice> choices,
                                   const std::vector<size_t>& rows,
                                   const std::vector<ExistingGroup>& groups,
                                   const std::vector<int>& held = {});

// Which rows' links go into a group under the choices, as planImport
// places them: a ticked row with a group, and the unticked rows inside it.
std::vector<bool> importedRows(const std::vector<ImportFolder>& folders,
                               const std::vector<FolderChoice>& choices,
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
    size_t refusedLinks = 0;    // script, data and other links that may not go on the page
    size_t noGroupLinks = 0;    // links of ticked folders left without a group
    size_t noGroupFolders = 0;  // the folders holding them
    size_t unchosenLinks = 0;   // links of folders not ticked
    size_t unchosenFolders = 0; // the folders holding them
    // What the counts above leave out, named: the duplicates' URLs, the
    // folders holding refused links, those left without a group and those
    // not ticked. The saved queries the source held (set by the caller,
    // from the reader) are counted and named by title.
    SkippedNames duplicateNames, refusedFolders, noGroupNames, unchosenNames;
    SkippedNames queries;

    // Whether every link was imported or skipped as a duplicate: nothing
    // else was left out.
    bool complete() const {
        return noGroupLinks == 0 && refusedLinks == 0 && unchosenLinks == 0 && queries.count == 0;
    }

    // "312 links into 6 groups, 14 duplicates skipped (https://a.example/,
    // https://b.example/, https://c.example/ and 11 more); 19,430 links in
    // 290 folders not imported, no group left (Work, News, Tools and 287
    // more)". `window` says "not ticked" for the folders the user left
    // unticked; the command line, where nothing is ticked, says "left out".
    std::string summary(bool window = true) const;
};

// The plan for the choices and a mode per group. Links whose URL matches,
// by urlComparisonKey, one already in the target group (unless it is
// replaced) or one imported before into it are skipped and counted; a group
// without a title takes its first folder's name (as HTML: the name is
// escaped).
ImportPlan planImport(const std::vector<ImportFolder>& folders,
                      const std::vector<FolderChoice>& choices,
                      const std::vector<ImportMode>& modes,
                      const std::vector<ExistingGroup>& groups);
// The same, moving the links out of the folders into the plan (the
// folders keep their names and counts, and no links).
ImportPlan planImport(std::vector<ImportFolder>&& folders, const std::vector<FolderChoice>& choices,
                      const std::vector<ImportMode>& modes,
                      const std::vector<ExistingGroup>& groups);

// "19,430": a count with thousands separated.
std::string countText(size_t n);
