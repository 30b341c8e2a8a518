#include "bookmarks/FirefoxPlacesReader.h"

#include "bookmarks/PrivateDatabaseCopy.h"
#include "bookmarks/SourceFile.h"

#include <sqlite3.h>

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

struct Row {
    std::int64_t id = 0;
    int type = 0;
    std::int64_t parent = 0;
    std::int64_t added = 0;
    std::string title;
    std::string guid;
    std::string url;
};

// The column's text with surrounding whitespace removed, cut at a NUL.
std::string columnText(sqlite3_stmt* stmt, int column) {
    const unsigned char* text = sqlite3_column_text(stmt, column);
    return text ? std::string(trimmedView(reinterpret_cast<const char*>(text))) : std::string();
}

std::string sqliteMessage(sqlite3* db) {
    const int code = sqlite3_errcode(db);
    if (code == SQLITE_NOTADB)
        return "not a SQLite database";
    if (code == SQLITE_CORRUPT)
        return "the database is damaged (" + std::string(sqlite3_errmsg(db)) + ")";
    return sqlite3_errmsg(db);
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

BookmarkReadResult readDatabase(sqlite3* db, const std::string& name) {
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_exec(db, "PRAGMA query_only=ON", nullptr, nullptr, nullptr);

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

    const char* kSelect = "SELECT b.id, b.type, b.parent, b.dateAdded, b.title, b.guid, p.url "
                          "FROM moz_bookmarks b LEFT JOIN moz_places p ON p.id = b.fk "
                          "ORDER BY b.parent, b.position, b.id";
    if (sqlite3_prepare_v2(db, kSelect, -1, &raw, nullptr) != SQLITE_OK)
        return BookmarkReadResult::failure(name, "not a Firefox bookmark database: " +
                                                     std::string(sqlite3_errmsg(db)));
    StmtPtr select(raw);
    std::vector<Row> rows;
    rows.reserve(4096);
    int rc = SQLITE_OK;
    while ((rc = sqlite3_step(select.get())) == SQLITE_ROW) {
        Row row;
        row.id = sqlite3_column_int64(select.get(), 0);
        row.type = sqlite3_column_int(select.get(), 1);
        row.parent = sqlite3_column_int64(select.get(), 2);
        row.added = sqlite3_column_int64(select.get(), 3) / 1'000'000;
        if (row.added < 0)
            row.added = 0;
        row.title = columnText(select.get(), 4);
        row.guid = columnText(select.get(), 5);
        row.url = columnText(select.get(), 6);
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE)
        return BookmarkReadResult::failure(name, sqliteMessage(db));

    // The rows come sorted by parent: each folder's children are one run.
    std::unordered_map<std::int64_t, std::pair<size_t, size_t>> children; // parent -> [begin, end)
    for (size_t i = 0; i < rows.size();) {
        size_t end = i + 1;
        while (end < rows.size() && rows[end].parent == rows[i].parent)
            ++end;
        children.emplace(rows[i].parent, std::make_pair(i, end));
        i = end;
    }

    BookmarkReadResult result;
    BookmarkTree& tree = result.tree;
    tree.reserve(rows.size());
    std::vector<bool> visited(rows.size(), false);
    struct Pending {
        size_t row;
        int parent;
    };
    std::vector<Pending> stack;
    auto pushChildren = [&](std::int64_t id, int parent) {
        const auto it = children.find(id);
        if (it == children.end())
            return;
        for (size_t c = it->second.second; c > it->second.first; --c)
            stack.push_back({c - 1, parent});
    };
    for (const Root& root : kRoots) {
        size_t index = rows.size();
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i].guid == root.guid && rows[i].type == 2)
                index = i;
        if (index == rows.size() || visited[index])
            continue;
        visited[index] = true;
        const bool toolbar = std::strcmp(root.guid, "toolbar_____") == 0;
        pushChildren(rows[index].id, tree.addFolder(-1, root.title, rows[index].added, toolbar));
        while (!stack.empty()) {
            const Pending p = stack.back();
            stack.pop_back();
            Row& row = rows[p.row];
            if (visited[p.row])
                continue;
            visited[p.row] = true;
            if (row.type == 1) {
                if (!row.url.empty() && !isPlaceQuery(row.url))
                    tree.addLink(p.parent, std::move(row.title), std::move(row.url), row.added);
            } else if (row.type == 2) {
                pushChildren(row.id, tree.addFolder(p.parent, std::move(row.title), row.added));
            } else if (row.type == 3) {
                tree.addSeparator(p.parent);
            }
        }
    }
    return result;
}

} // namespace

BookmarkReadResult readFirefoxPlaces(const std::string& path) {
    PrivateDatabaseCopy copy;
    if (!copy.open(path, kMaxDatabaseBytes))
        return BookmarkReadResult::failure(copy.errorPath(), copy.error());
    return readDatabase(copy.db(), path);
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
    return readDatabase(db.get(), name);
}
