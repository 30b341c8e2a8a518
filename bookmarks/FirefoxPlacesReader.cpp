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

// Every row that can become an item, in the order of Firefox's (parent,
// position) index, so that each folder's contents lie together in the
// browser's order (ties by id). `ord` is a root's place in kRoots, -1 for
// the other rows; a row with a root's GUID is never taken as a child, so a
// damaged file whose root lies inside its own tree is still read once.
constexpr const char* kSelect =
    "SELECT b.id, b.parent, b.type, b.title, p.url, b.dateAdded,"
    " CASE b.guid WHEN 'menu________' THEN 0 WHEN 'toolbar_____' THEN 1"
    "  WHEN 'unfiled_____' THEN 2 WHEN 'mobile______' THEN 3 ELSE -1 END"
    " FROM moz_bookmarks b LEFT JOIN moz_places p ON p.id = b.fk"
    " ORDER BY b.parent, b.position, b.id";

// One row of moz_bookmarks, its texts already kept by the tree.
struct Row {
    sqlite3_int64 id = 0;
    sqlite3_int64 parent = 0;
    std::int64_t added = 0;
    std::string_view title, url;
    int type = 0;
    int ord = -1;
};

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
    // Room for every row at once (within the limit), so that neither the
    // rows nor the tree are moved while they grow.
    size_t rowCount = 0;
    if (sqlite3_prepare_v2(db, "SELECT count(*) FROM moz_bookmarks", -1, &raw, nullptr) ==
        SQLITE_OK) {
        StmtPtr count(raw);
        if (sqlite3_step(count.get()) == SQLITE_ROW)
            rowCount = static_cast<size_t>(
                std::max<sqlite3_int64>(0, sqlite3_column_int64(count.get(), 0)));
    }
    // The rows, then the walk over them in memory: one scan instead of a
    // recursive query that runs once per row.
    std::vector<Row> rows;
    const size_t rowRoom = BookmarkTree::memoryLimitFor(sourceBytes) / 2 / sizeof(Row);
    rows.reserve(std::min(rowCount, rowRoom));
    tree.addReaderMemory(rows.capacity() * sizeof(Row));
    tree.reserve(rowCount);
    int rc = SQLITE_OK;
    sqlite3_stmt* row = select.get();
    while ((rc = sqlite3_step(row)) == SQLITE_ROW) {
        Row r;
        r.type = sqlite3_column_int(row, 2);
        r.ord = sqlite3_column_int(row, 6);
        if (r.type == 1) {
            const std::string_view url = columnText(row, 4);
            if (url.empty() || isPlaceQuery(url))
                continue; // nothing to show, and never a folder
            r.url = tree.keepText(url);
            r.title = tree.keepText(columnText(row, 3));
        } else if (r.type == 2) {
            if (r.ord < 0)
                r.title = tree.keepText(columnText(row, 3));
        } else if (r.type != 3) {
            continue;
        }
        r.id = sqlite3_column_int64(row, 0);
        r.parent = sqlite3_column_int64(row, 1);
        r.added = std::max<std::int64_t>(0, sqlite3_column_int64(row, 5) / 1'000'000);
        if (rows.size() == rows.capacity())
            tree.addReaderMemory(std::max<size_t>(rows.capacity(), 16) * sizeof(Row));
        if (tree.overLimit())
            return BookmarkReadResult::failure(name, BookmarkTree::kTooManyItems);
        rows.push_back(r);
    }
    if (rc != SQLITE_DONE)
        return BookmarkReadResult::failure(name, sqliteMessage(db));

    // The roots in Firefox's order, each walked depth first.
    std::vector<size_t> roots;
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].type == 2 && rows[i].ord >= 0)
            roots.push_back(i);
    std::stable_sort(roots.begin(), roots.end(), [&rows](size_t a, size_t b) {
        return std::pair(rows[a].ord, rows[a].id) < std::pair(rows[b].ord, rows[b].id);
    });
    auto firstChild = [&rows](sqlite3_int64 id) {
        return static_cast<size_t>(
            std::lower_bound(rows.begin(), rows.end(), id,
                             [](const Row& r, sqlite3_int64 parent) { return r.parent < parent; }) -
            rows.begin());
    };
    struct Frame {
        size_t next;      // the next row in the folder
        sqlite3_int64 id; // the folder's row id
        int folder;       // its tree folder
    };
    std::vector<Frame> walk;
    for (const size_t r : roots) {
        const Root& root = kRoots[rows[r].ord];
        const int top = tree.addFolder(-1, root.title, rows[r].added,
                                       std::strcmp(root.guid, "toolbar_____") == 0, true);
        walk.assign(1, {firstChild(rows[r].id), rows[r].id, top});
        while (!walk.empty()) {
            Frame& frame = walk.back();
            if (frame.next == rows.size() || rows[frame.next].parent != frame.id) {
                walk.pop_back();
                continue;
            }
            const Row& child = rows[frame.next++];
            if (tree.overLimit())
                return BookmarkReadResult::failure(name, BookmarkTree::kTooManyItems);
            if (child.ord >= 0)
                continue;
            if (child.type == 1) {
                tree.addKeptLink(frame.folder, child.title, child.url, child.added);
            } else if (child.type == 3) {
                tree.addSeparator(frame.folder);
            } else {
                const int folder = tree.addKeptFolder(frame.folder, child.title, child.added);
                if (walk.size() == walk.capacity())
                    tree.addReaderMemory(std::max<size_t>(walk.capacity(), 16) * sizeof(Frame));
                walk.push_back({firstChild(child.id), child.id, folder});
            }
        }
    }
    if (tree.overLimit())
        return BookmarkReadResult::failure(name, BookmarkTree::kTooManyItems);
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
