#pragma once

#include "bookmarks/BookmarkTree.h"
#include "bookmarks/ImportPlan.h"
#include "bookmarks/PrivateDatabaseCopy.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3_stmt;

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

// An import from a places.sqlite that never holds the whole tree. open()
// reads the folders from the private copy and counts the links in each:
// the rows importFolders makes of readFirefoxPlaces' tree (walked by the
// same rules), each with its own links counted in unreadLinks instead of
// read. readLinks() then reads the links of the rows the import takes,
// one folder at a time, so that the rows end as importFolders makes them.
class PlacesImport {
public:
    PlacesImport();
    PlacesImport(const PlacesImport&) = delete;
    PlacesImport& operator=(const PlacesImport&) = delete;
    ~PlacesImport();

    // False, with error() naming the file and what is wrong, when the
    // database cannot be copied or read (the same messages as
    // readFirefoxPlaces); `looseName` as for importFolders.
    bool open(const std::string& path, const std::string& looseName);
    std::vector<ImportFolder>& folders() { return m_folders; }
    // Reads the links of the rows marked in `rows` (importedRows) that are
    // not read yet; false with error() when the database cannot be read or
    // the links would take more memory than a source of its size may.
    bool readLinks(const std::vector<bool>& rows);
    // For each top row (the rows the default mapping ticks), the group that
    // holds more than half of its links already (see HeldGroups; -1 for
    // the other rows), from one scan of the links' URLs made only when a
    // group holds any link, which passes over the rows already decided;
    // false with error() when the database cannot be read.
    bool heldGroups(const std::vector<ExistingGroup>& groups, std::vector<int>& held);
    // The saved queries the walk met, skipped.
    const SkippedNames& queries() const { return m_queries; }
    const std::string& error() const { return m_error; }

private:
    // Links of one moz_bookmarks folder that a row takes next, in the
    // walk's order (more than one folder when deeper ones are flattened).
    struct Segment {
        std::int64_t folder;
        size_t links; // those the walk takes, refused ones too
    };

    bool fail(std::string error);
    // fail() with "PATH: what.", a damaged database blamed on a -wal
    // folded into it.
    bool failWith(const std::string& what);
    enum class Outline { Read, InOrder, Failed };
    // Reads the rows from the scan (in the table's order when `byTable`);
    // InOrder when the file needs the scan in the index's order.
    Outline readOutline(sqlite3_stmt* scan, bool byTable, const std::string& looseName);

    PrivateDatabaseCopy m_copy;
    std::string m_path;
    std::string m_error;
    std::vector<ImportFolder> m_folders;
    SkippedNames m_queries;
    std::vector<std::vector<Segment>> m_segments; // for each row
    size_t m_memory = 0;                          // the rows and the links read
    size_t m_limit = 0;
};
