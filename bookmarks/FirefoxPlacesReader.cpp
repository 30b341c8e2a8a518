#include "bookmarks/FirefoxPlacesReader.h"

#include "bookmarks/PrivateDatabaseCopy.h"
#include "bookmarks/SourceFile.h"
#include "core/TextUtil.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unordered_map>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using DbPtr = std::unique_ptr<sqlite3, DbCloser>;

struct StmtFinalizer {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using StmtPtr = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

// The column's text with surrounding whitespace removed, cut at a NUL; valid
// until the statement steps on.
std::string_view columnText(sqlite3_stmt* stmt, int column) {
    const unsigned char* text = sqlite3_column_text(stmt, column);
    return text ? trimWhiteSpace(reinterpret_cast<const char*>(text)) : std::string_view();
}

constexpr const char* kDamaged = "the database is damaged";

std::string sqliteMessage(sqlite3* db) {
    switch (sqlite3_errcode(db) & 0xff) {
    case SQLITE_NOTADB:
        return "not a SQLite database";
    case SQLITE_CORRUPT:
        return kDamaged;
    case SQLITE_NOMEM:
        return "not enough memory to read it";
    default:
        return "the database cannot be read";
    }
}

// The roots Firefox shows, in its order, under their shown names.
struct Root {
    const char* guid;
    const char* title;
};
constexpr Root kRoots[] = {{"menu________", "Bookmarks Menu"},
                           {"toolbar_____", "Bookmarks Toolbar"},
                           {"unfiled_____", "Other Bookmarks"},
                           {"mobile______", "Mobile Bookmarks"}};

// Every item below the roots, depth first in the browser's order, with its
// depth (0 for a root; a root's `ord` is its place in kRoots). The queue of
// the recursive query is ordered deepest first, then by position, which is
// exactly a depth-first walk. Roots are never taken as children, so a
// damaged file whose root lies inside its own tree is still read once.
constexpr const char* kSelect =
    "WITH RECURSIVE t(id, type, title, url, added, depth, ord) AS ("
    " SELECT b.id, b.type, b.title, NULL, b.dateAdded, 0,"
    "  CASE b.guid WHEN 'menu________' THEN 0 WHEN 'toolbar_____' THEN 1"
    "   WHEN 'unfiled_____' THEN 2 ELSE 3 END"
    " FROM moz_bookmarks b WHERE b.type = 2 AND b.guid IN"
    "  ('menu________', 'toolbar_____', 'unfiled_____', 'mobile______')"
    " UNION ALL"
    " SELECT c.id, c.type, c.title, p.url, c.dateAdded, t.depth + 1, c.position"
    " FROM t JOIN moz_bookmarks c ON c.parent = t.id LEFT JOIN moz_places p ON p.id = c.fk"
    " WHERE t.type = 2 AND coalesce(c.guid, '') NOT IN"
    "  ('menu________', 'toolbar_____', 'unfiled_____', 'mobile______')"
    " ORDER BY 6 DESC, 7, 1)"
    " SELECT type, title, url, added, depth, ord FROM t";

// Whether moz_bookmarks has an index that starts with its parent column
// (Firefox makes one); without it the walk above would scan the table once
// per folder.
bool hasParentIndex(sqlite3* db) {
    sqlite3_stmt* raw = nullptr;
    const char* kQuery = "SELECT 1 FROM pragma_index_list('moz_bookmarks') l, "
                         "pragma_index_info(l.name) i WHERE i.seqno = 0 AND i.name = 'parent'";
    if (sqlite3_prepare_v2(db, kQuery, -1, &raw, nullptr) != SQLITE_OK)
        return false;
    StmtPtr stmt(raw);
    return sqlite3_step(stmt.get()) == SQLITE_ROW;
}

BookmarkReadResult readDatabase(sqlite3* db, const std::string& name, size_t sourceBytes) {
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);

    sqlite3_stmt* raw = nullptr;
    const char* kTables = "SELECT count(*) FROM sqlite_master WHERE type='table' AND "
                          "name IN ('moz_bookmarks','moz_places')";
    if (sqlite3_prepare_v2(db, kTables, -1, &raw, nullptr) != SQLITE_OK)
        return BookmarkReadResult::failure(name, sqliteMessage(db));
    StmtPtr tables(raw);
    if (sqlite3_step(tables.get()) != SQLITE_ROW)
        return BookmarkReadResult::failure(name, sqliteMessage(db));
    if (sqlite3_column_int(tables.get(), 0) != 2)
        return BookmarkReadResult::failure(
            name, "not a Firefox bookmark database: the tables moz_bookmarks and moz_places are "
                  "missing");
    // The copy is private: an index it lacks can be added to it.
    if (!hasParentIndex(db))
        sqlite3_exec(db, "CREATE INDEX temp_linkfold_parent ON moz_bookmarks(parent)", nullptr,
                     nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA query_only=ON", nullptr, nullptr, nullptr);

    if (sqlite3_prepare_v2(db, kSelect, -1, &raw, nullptr) != SQLITE_OK)
        return BookmarkReadResult::failure(
            name, "not a Firefox bookmark database: its tables are not as Firefox makes them");
    StmtPtr select(raw);
    BookmarkReadResult result;
    BookmarkTree& tree = result.tree;
    tree.setMemoryLimit(BookmarkTree::memoryLimitFor(sourceBytes));
    // Room for every row at once (within the limit), so that the tree is
    // not moved while it grows.
    if (sqlite3_prepare_v2(db, "SELECT count(*) FROM moz_bookmarks", -1, &raw, nullptr) ==
        SQLITE_OK) {
        StmtPtr count(raw);
        if (sqlite3_step(count.get()) == SQLITE_ROW)
            tree.reserve(static_cast<size_t>(
                std::max<sqlite3_int64>(0, sqlite3_column_int64(count.get(), 0))));
    }
    std::vector<int> folderAt; // the tree folder at each depth of the walk
    int rc = SQLITE_OK;
    sqlite3_stmt* row = select.get();
    while ((rc = sqlite3_step(row)) == SQLITE_ROW) {
        if (tree.overLimit())
            return BookmarkReadResult::failure(name, BookmarkTree::kTooManyItems);
        const int type = sqlite3_column_int(row, 0);
        const std::int64_t depth = sqlite3_column_int64(row, 4);
        std::int64_t added = sqlite3_column_int64(row, 3) / 1'000'000;
        if (added < 0)
            added = 0;
        if (depth <= 0) {
            const std::int64_t ord = sqlite3_column_int64(row, 5);
            const Root& root = kRoots[ord >= 0 && ord < 4 ? ord : 3];
            folderAt.assign(1, tree.addFolder(-1, root.title, added,
                                              std::strcmp(root.guid, "toolbar_____") == 0, true));
            continue;
        }
        if (folderAt.empty() || static_cast<size_t>(depth) > folderAt.size())
            continue; // not reached in a well-formed walk
        folderAt.resize(static_cast<size_t>(depth));
        const int parent = folderAt.back();
        if (type == 1) {
            const std::string_view url = columnText(row, 2);
            if (!url.empty() && !isPlaceQuery(url))
                tree.addLink(parent, columnText(row, 1), url, added);
        } else if (type == 2) {
            folderAt.push_back(tree.addFolder(parent, columnText(row, 1), added));
        } else if (type == 3) {
            tree.addSeparator(parent);
        }
    }
    if (rc != SQLITE_DONE)
        return BookmarkReadResult::failure(name, sqliteMessage(db));
    return result;
}

} // namespace

BookmarkReadResult readFirefoxPlaces(const std::string& path) {
    PrivateDatabaseCopy copy;
    if (!copy.open(path, kMaxDatabaseBytes)) {
        BookmarkReadResult result;
        result.error = copy.error();
        return result;
    }
    BookmarkReadResult result = readDatabase(copy.db(), path, copy.sourceBytes());
    if (copy.walApplied() && result.error == BookmarkReadResult::failure(path, kDamaged).error) {
        result = {};
        result.error = copy.walMismatch();
    }
    return result;
}

BookmarkReadResult readFirefoxPlacesImage(std::string_view bytes, const std::string& name) {
    if (bytes.empty())
        return BookmarkReadResult::failure(name, "the file is empty");
    if (bytes.size() > kMaxDatabaseBytes)
        return BookmarkReadResult::failure(name, "is larger than 1 GiB, too large to read");
    sqlite3* raw = nullptr;
    if (sqlite3_open_v2(":memory:", &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
        sqlite3_close_v2(raw);
        return BookmarkReadResult::failure(name, "cannot open a database in memory");
    }
    DbPtr db(raw);
    auto* image = static_cast<unsigned char*>(sqlite3_malloc64(bytes.size()));
    if (!image)
        return BookmarkReadResult::failure(name, "out of memory");
    std::memcpy(image, bytes.data(), bytes.size());
    // A database in WAL mode reads from memory as a rollback-journal one.
    if (bytes.size() >= 20 && image[18] == 2 && image[19] == 2)
        image[18] = image[19] = 1;
    const auto size = static_cast<sqlite3_int64>(bytes.size());
    if (sqlite3_deserialize(db.get(), "main", image, size, size,
                            SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_READONLY) !=
        SQLITE_OK)
        return BookmarkReadResult::failure(name, sqliteMessage(db.get()));
    return readDatabase(db.get(), name, bytes.size());
}
