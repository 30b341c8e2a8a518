#include "bookmarks/FirefoxPlacesReader.h"

#include "bookmarks/PrivateDatabaseCopy.h"
#include "bookmarks/SourceFile.h"
#include "core/OutsideText.h"
#include "core/TextUtil.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>
#include <tuple>
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
    case SQLITE_INTERRUPT:
        return "reading it takes more work than a database of its size";
    case SQLITE_TOOBIG:
        return "it holds a value larger than the file";
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
// browser's order (ties by id). `ord` is a root folder's place in kRoots,
// -1 for the other rows; a folder with a root's GUID is never taken as a
// child, so a damaged file whose root lies inside its own tree is still
// read once. (The type is compared as sqlite3_column_int reads it.) An
// import's outline needs no dates and only the folders' titles, and can
// often do without the order (see PlacesImport::open).
enum class Select {
    Whole,         // every column the tree keeps
    Outline,       // the folders' titles, no dates
    OutlineByTable // the same, with the position instead of the date, unordered
};
std::string selectRows(Select select) {
    const std::string folder = "CAST(b.type AS INTEGER) = 2";
    const bool whole = select == Select::Whole;
    return "SELECT b.id, b.parent, b.type," +
           (whole ? std::string(" b.title, p.url, b.dateAdded,")
                  : " CASE WHEN " + folder + " THEN b.title END, p.url," +
                        (select == Select::Outline ? " 0," : " b.position,")) +
           " CASE WHEN " + folder +
           " THEN CASE b.guid WHEN 'menu________' THEN 0"
           "  WHEN 'toolbar_____' THEN 1 WHEN 'unfiled_____' THEN 2 WHEN 'mobile______' THEN 3"
           "  ELSE -1 END ELSE -1 END"
           " FROM moz_bookmarks b LEFT JOIN moz_places p ON p.id = b.fk" +
           (select == Select::OutlineByTable ? "" : " ORDER BY b.parent, b.position, b.id");
}
// The contents of one folder in the same order, for the links of the
// folders an import takes.
const std::string kSelectChildren = "SELECT b.type, b.title, p.url"
                                    " FROM moz_bookmarks b LEFT JOIN moz_places p ON p.id = b.fk"
                                    " WHERE b.parent = ? ORDER BY b.position, b.id";

enum Column { kId, kParent, kType, kTitle, kUrl, kAdded, kOrd, kPosition = kAdded };
constexpr int kLink = 1, kFolder = 2, kSeparator = 3;

// A link's URL as the tree keeps it; empty for a link that is not read
// (no URL, or one of Firefox's place: queries, which are never folders).
std::string_view keptUrl(sqlite3_stmt* stmt, int column) {
    const std::string_view url = columnText(stmt, column);
    return isPlaceQuery(url) ? std::string_view() : url;
}

// One row of moz_bookmarks, its texts already kept by the tree.
struct Row {
    sqlite3_int64 id = 0;
    sqlite3_int64 parent = 0;
    std::int64_t added = 0;
    std::string_view title, url;
    int type = 0;
    int ord = -1;
    bool query = false; // a saved query, skipped and named
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

// The scan of every row (selectRows), once the database is known to be
// Firefox's; or the message naming the file and what is wrong.
struct Scan {
    StmtPtr select;
    size_t rowCount = 0; // rows in moz_bookmarks, for the whole read
    std::string error;
};

// The database comes with the guards of one from outside
// (limitOutsideDatabase, plainSchemaError).
Scan startScan(sqlite3* db, const std::string& name, Select select) {
    Scan scan;
    auto fail = [&](const std::string& what) {
        scan.error = BookmarkReadResult::failure(name, what).error;
        return std::move(scan);
    };
    sqlite3_stmt* raw = nullptr;
    const char* kTables = "SELECT count(*) FROM sqlite_master WHERE type='table' AND "
                          "name IN ('moz_bookmarks','moz_places')";
    if (sqlite3_prepare_v2(db, kTables, -1, &raw, nullptr) != SQLITE_OK)
        return fail(sqliteMessage(db));
    StmtPtr tables(raw);
    if (sqlite3_step(tables.get()) != SQLITE_ROW)
        return fail(sqliteMessage(db));
    if (sqlite3_column_int(tables.get(), 0) != 2)
        return fail("not a Firefox bookmark database: the tables moz_bookmarks and moz_places are "
                    "missing");
    // The copy is private: an index it lacks can be added to it.
    if (!hasParentIndex(db))
        sqlite3_exec(db, "CREATE INDEX temp_linkfold_parent ON moz_bookmarks(parent)", nullptr,
                     nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA query_only=ON", nullptr, nullptr, nullptr);

    if (sqlite3_prepare_v2(db, selectRows(select).c_str(), -1, &raw, nullptr) != SQLITE_OK)
        return fail("not a Firefox bookmark database: its tables are not as Firefox makes them");
    scan.select.reset(raw);
    // The whole read sizes its rows and tree once; the outline keeps too
    // few rows to need it.
    if (select == Select::Whole && sqlite3_prepare_v2(db, "SELECT count(*) FROM moz_bookmarks", -1,
                                                      &raw, nullptr) == SQLITE_OK) {
        StmtPtr count(raw);
        if (sqlite3_step(count.get()) == SQLITE_ROW)
            scan.rowCount = static_cast<size_t>(
                std::max<sqlite3_int64>(0, sqlite3_column_int64(count.get(), 0)));
    }
    return scan;
}

// The one walk over the scanned rows (sorted by parent, position and id),
// for the whole tree and for an import's outline alike: the roots in
// Firefox's order under their shown names, each walked depth first. A
// folder with a root's GUID is never taken as a child, and only rows
// reached from a root are walked, so a parent cycle is never entered;
// folders deeper than the tree allows are flattened into their ancestor by
// the tree.
// `add(folder, row)` adds a child row to the tree folder and returns the
// folder its contents go into (for a folder row). False when the tree
// went over its memory limit.
template <class R, class Add>
bool walkRows(const std::vector<R>& rows, BookmarkTree& tree, Add add) {
    std::vector<size_t> roots;
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].type == kFolder && rows[i].ord >= 0)
            roots.push_back(i);
    std::stable_sort(roots.begin(), roots.end(), [&rows](size_t a, size_t b) {
        return std::pair(rows[a].ord, rows[a].id) < std::pair(rows[b].ord, rows[b].id);
    });
    auto firstChild = [&rows](sqlite3_int64 id) {
        return static_cast<size_t>(
            std::lower_bound(rows.begin(), rows.end(), id,
                             [](const R& r, sqlite3_int64 parent) { return r.parent < parent; }) -
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
            const R& child = rows[frame.next++];
            if (tree.overLimit())
                return false;
            if (child.ord >= 0)
                continue;
            const int folder = add(frame.folder, child);
            if (child.type == kFolder) {
                if (walk.size() == walk.capacity())
                    tree.addReaderMemory(std::max<size_t>(walk.capacity(), 16) * sizeof(Frame));
                walk.push_back({firstChild(child.id), child.id, folder});
            }
        }
    }
    return !tree.overLimit();
}

BookmarkReadResult readDatabase(sqlite3* db, const std::string& name, size_t sourceBytes) {
    Scan scan = startScan(db, name, Select::Whole);
    if (!scan.error.empty()) {
        BookmarkReadResult failed;
        failed.error = std::move(scan.error);
        return failed;
    }
    BookmarkReadResult result;
    BookmarkTree& tree = result.tree;
    tree.setMemoryLimit(BookmarkTree::memoryLimitFor(sourceBytes));
    // The rows, then the walk over them in memory: one scan instead of a
    // recursive query that runs once per row. Room for every row at once
    // (within the limit), so that neither the rows nor the tree are moved
    // while they grow.
    std::vector<Row> rows;
    const size_t rowRoom = BookmarkTree::memoryLimitFor(sourceBytes) / 2 / sizeof(Row);
    rows.reserve(std::min(scan.rowCount, rowRoom));
    tree.addReaderMemory(rows.capacity() * sizeof(Row));
    tree.reserve(scan.rowCount);
    int rc = SQLITE_OK;
    sqlite3_stmt* row = scan.select.get();
    while ((rc = sqlite3_step(row)) == SQLITE_ROW) {
        Row r;
        r.type = sqlite3_column_int(row, kType);
        r.ord = sqlite3_column_int(row, kOrd);
        if (r.type == kLink) {
            const std::string_view url = keptUrl(row, kUrl);
            r.query = url.empty() && isPlaceQuery(columnText(row, kUrl));
            if (url.empty() && !r.query)
                continue; // nothing to show, and never a folder
            r.url = tree.keepText(url);
            r.title = tree.keepText(columnText(row, kTitle));
        } else if (r.type == kFolder) {
            if (r.ord < 0)
                r.title = tree.keepText(columnText(row, kTitle));
        } else if (r.type != kSeparator) {
            continue;
        }
        r.id = sqlite3_column_int64(row, kId);
        r.parent = sqlite3_column_int64(row, kParent);
        r.added = std::max<std::int64_t>(0, sqlite3_column_int64(row, kAdded) / 1'000'000);
        if (rows.size() == rows.capacity())
            tree.addReaderMemory(std::max<size_t>(rows.capacity(), 16) * sizeof(Row));
        if (tree.overLimit())
            return BookmarkReadResult::failure(name, BookmarkTree::kTooManyItems);
        rows.push_back(r);
    }
    if (rc != SQLITE_DONE)
        return BookmarkReadResult::failure(name, sqliteMessage(db));

    const bool walked = walkRows(rows, tree, [&tree](int folder, const Row& child) {
        if (child.query) {
            tree.skipQuery(child.title);
            return folder;
        }
        if (child.type == kLink)
            return tree.addKeptLink(folder, child.title, child.url, child.added);
        if (child.type == kSeparator)
            return tree.addSeparator(folder);
        return tree.addKeptFolder(folder, child.title, child.added);
    });
    if (!walked)
        return BookmarkReadResult::failure(name, BookmarkTree::kTooManyItems);
    return result;
}

// The URL of a row that the walk takes as a link; empty for every other
// row (a folder, a separator, a link it skips).
std::string_view linkUrl(sqlite3_stmt* stmt, int typeColumn, int urlColumn) {
    return sqlite3_column_int(stmt, typeColumn) == kLink ? keptUrl(stmt, urlColumn)
                                                         : std::string_view();
}

// What an import makes of a link row's URL (the column): nothing (not
// kept, see keptUrl), a link, or a link refused for its scheme. Answered at
// once for the usual http and https.
enum class LinkUrl { None, Allowed, Refused };
LinkUrl classifyUrl(sqlite3_stmt* stmt, int column) {
    const unsigned char* text = sqlite3_column_text(stmt, column);
    if (text && (std::strncmp(reinterpret_cast<const char*>(text), "https:", 6) == 0 ||
                 std::strncmp(reinterpret_cast<const char*>(text), "http:", 5) == 0))
        return LinkUrl::Allowed;
    const std::string_view url = keptUrl(stmt, column);
    if (url.empty())
        return LinkUrl::None;
    return hasAllowedLinkScheme(url) ? LinkUrl::Allowed : LinkUrl::Refused;
}

// A row of an import's outline: a folder, or a run of links that follow
// one another in a folder (between two of its subfolders), counted.
struct OutlineRow {
    sqlite3_int64 id = 0;
    sqlite3_int64 parent = 0;
    std::int64_t added = 0;
    sqlite3_int64 position = 0; // read only for the scan in the table's order
    std::string_view title;
    size_t links = 0;   // links of the run whose URL may go on the page
    size_t refused = 0; // the others
    int type = 0;       // kFolder or kLink
    int ord = -1;
    bool query = false; // a saved query (a link row of its own)
};

// The heap a string takes beyond its own bytes.
size_t heapBytes(const std::string& text) {
    static const size_t inPlace = std::string().capacity();
    return text.capacity() > inPlace ? text.capacity() + 1 : 0;
}

// A read whose database turned out damaged after a -wal was folded into
// it blames the -wal.
std::string blameWal(const PrivateDatabaseCopy& copy, const std::string& path, std::string error) {
    if (copy.walApplied() && error == BookmarkReadResult::failure(path, kDamaged).error)
        return copy.walMismatch();
    return error;
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
    if (!result.ok()) {
        std::string error = blameWal(copy, path, std::move(result.error));
        result = {};
        result.error = std::move(error);
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
    DatabaseWork work;
    limitOutsideDatabase(db.get(), bytes.size(), work);
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
    if (const std::string error = plainSchemaError(db.get()); !error.empty())
        return BookmarkReadResult::failure(name, error);
    return readDatabase(db.get(), name, bytes.size());
}

PlacesImport::PlacesImport() = default;
PlacesImport::~PlacesImport() = default;

bool PlacesImport::fail(std::string error) {
    m_error = std::move(error);
    m_folders.clear();
    return false;
}

bool PlacesImport::failWith(const std::string& what) {
    return fail(blameWal(m_copy, m_path, BookmarkReadResult::failure(m_path, what).error));
}

bool PlacesImport::open(const std::string& path, const std::string& looseName) {
    m_path = path;
    try {
        if (!m_copy.open(path, kMaxDatabaseBytes))
            return fail(m_copy.error());
        sqlite3* db = m_copy.db();
        // What the links read later may take, with the rows: half of what
        // the whole tree may, since the import copies them once more.
        m_limit = BookmarkTree::memoryLimitFor(m_copy.sourceBytes()) / 2;
        // The outline is read in the table's order, cheaper than the
        // index's, and put in order in memory: every folder sorted by
        // (parent, position, id), all the links of a folder counted as one
        // run that stands where its first link does, which is all an
        // import's rows depend on. When a position or parent is not a whole
        // number (compared as SQLite orders them) or a folder lies deeper
        // than the tree allows (its links then lie between its ancestor's),
        // the outline is read again in the index's order, every run where
        // it stands.
        for (const Select select : {Select::OutlineByTable, Select::Outline}) {
            const bool byTable = select == Select::OutlineByTable;
            Scan scan = startScan(db, path, select);
            if (!scan.error.empty())
                return fail(blameWal(m_copy, path, std::move(scan.error)));
            const Outline outline = readOutline(scan.select.get(), byTable, looseName);
            if (outline == Outline::Failed)
                return false;
            if (outline == Outline::Read)
                return true;
        }
        return failWith(kDamaged);
    } catch (const std::bad_alloc&) {
        return failWith("not enough memory to read it");
    }
}

PlacesImport::Outline PlacesImport::readOutline(sqlite3_stmt* row, bool byTable,
                                                const std::string& looseName) {
    auto failed = [this](const std::string& what) {
        failWith(what);
        return Outline::Failed;
    };
    // The folders, and one link item for each run of links, in a tree
    // walked as the whole read walks it; the rows the import will make of
    // them are counted against its limit as they are added.
    BookmarkTree tree;
    tree.setMemoryLimit(m_limit);
    std::vector<OutlineRow> rows;
    // In the table's order: each folder's run, by the folder's id.
    std::unordered_map<sqlite3_int64, OutlineRow> runOf;
    int rc = SQLITE_OK;
    while ((rc = sqlite3_step(row)) == SQLITE_ROW) {
        OutlineRow r;
        r.type = sqlite3_column_int(row, kType);
        if (byTable &&
            (sqlite3_column_type(row, kParent) != SQLITE_INTEGER ||
             sqlite3_column_type(row, kPosition) != SQLITE_INTEGER) &&
            (r.type == kLink || r.type == kFolder))
            return Outline::InOrder;
        r.parent = sqlite3_column_int64(row, kParent);
        if (byTable)
            r.position = sqlite3_column_int64(row, kPosition);
        const LinkUrl url = r.type == kLink ? classifyUrl(row, kUrl) : LinkUrl::None;
        if (r.type == kLink && url == LinkUrl::None) {
            if (!isPlaceQuery(columnText(row, kUrl)))
                continue;
            // A saved query stands as a row of its own, named (its title
            // read by its id) if the walk reaches it.
            r.query = true;
        } else if (r.type == kLink) {
            const bool refused = url == LinkUrl::Refused;
            if (byTable) {
                r.id = sqlite3_column_int64(row, kId);
                const auto [at, fresh] = runOf.try_emplace(r.parent, r);
                if (fresh)
                    tree.addReaderMemory(sizeof(*at) + 2 * sizeof(void*));
                OutlineRow& run = at->second;
                if (std::pair(r.position, r.id) < std::pair(run.position, run.id)) {
                    run.position = r.position;
                    run.id = r.id;
                }
                ++(refused ? run.refused : run.links);
                if (tree.overLimit())
                    return failed(BookmarkTree::kTooManyItems);
                continue;
            }
            // The rows come in their folder's order: a link right after
            // one of the same folder extends its run.
            if (!rows.empty() && rows.back().type == kLink && !rows.back().query &&
                rows.back().parent == r.parent) {
                ++(refused ? rows.back().refused : rows.back().links);
                continue;
            }
            ++(refused ? r.refused : r.links);
        } else if (r.type == kFolder) {
            r.ord = sqlite3_column_int(row, kOrd);
            if (r.ord < 0)
                r.title = tree.keepText(columnText(row, kTitle));
        } else {
            continue; // separators divide nothing in an import
        }
        r.id = sqlite3_column_int64(row, kId);
        if (rows.size() == rows.capacity())
            tree.addReaderMemory(std::max<size_t>(rows.capacity(), 16) * sizeof(OutlineRow));
        if (tree.overLimit())
            return failed(BookmarkTree::kTooManyItems);
        rows.push_back(r);
    }
    if (rc != SQLITE_DONE)
        return failed(sqliteMessage(m_copy.db()));
    if (byTable) {
        tree.addReaderMemory(runOf.size() * sizeof(OutlineRow));
        if (tree.overLimit())
            return failed(BookmarkTree::kTooManyItems);
        for (const auto& [folder, run] : runOf)
            rows.push_back(run);
        runOf = {};
        std::sort(rows.begin(), rows.end(), [](const OutlineRow& a, const OutlineRow& b) {
            return std::tuple(a.parent, a.position, a.id) < std::tuple(b.parent, b.position, b.id);
        });
    }

    struct Run {
        sqlite3_int64 folder; // the moz_bookmarks folder holding it
        size_t links, refused;
    };
    std::vector<Run> runs; // one for each link item of the tree, in order
    const size_t rowBytes = sizeof(ImportFolder) + sizeof(std::vector<Segment>);
    bool flattened = false;
    // The outline reads no link's title: a saved query's is read by its id.
    SkippedNames queries;
    sqlite3_stmt* rawTitle = nullptr;
    sqlite3_prepare_v2(m_copy.db(), "SELECT title FROM moz_bookmarks WHERE id = ?", -1, &rawTitle,
                       nullptr);
    StmtPtr titleOf(rawTitle);
    const bool walked = walkRows(rows, tree, [&](int folder, const OutlineRow& child) {
        if (child.query) {
            std::string title;
            if (sqlite3_stmt* stmt = titleOf.get()) {
                sqlite3_reset(stmt);
                sqlite3_bind_int64(stmt, 1, child.id);
                if (sqlite3_step(stmt) == SQLITE_ROW)
                    title = std::string(columnText(stmt, 0));
            }
            queries.add(title);
            return folder;
        }
        if (child.type == kFolder) {
            tree.addReaderMemory(rowBytes + child.title.size());
            const int inner = tree.addKeptFolder(folder, child.title, child.added);
            flattened = flattened || (inner == folder && !tree.overLimit());
            return inner;
        }
        tree.addReaderMemory(sizeof(Run) + sizeof(Segment) + rowBytes);
        runs.push_back({child.parent, child.links, child.refused});
        return tree.addLink(folder, {}, {});
    });
    if (!walked)
        return failed(BookmarkTree::kTooManyItems);
    if (flattened && byTable)
        return Outline::InOrder;
    rows = {};
    m_queries = std::move(queries);

    size_t next = 0;
    m_folders = importRows(tree, looseName, [&](ImportFolder& folder, size_t index, int) {
        const Run& run = runs[next++];
        folder.unreadLinks += run.links;
        folder.linksBelow += run.links;
        folder.refusedLinks += run.refused;
        if (index >= m_segments.size())
            m_segments.resize(index + 1);
        std::vector<Segment>& segments = m_segments[index];
        const size_t count = run.links + run.refused;
        if (!segments.empty() && segments.back().folder == run.folder)
            segments.back().links += count;
        else
            segments.push_back({run.folder, count});
    });
    m_segments.resize(m_folders.size());
    m_memory = m_folders.capacity() * sizeof(ImportFolder) +
               m_segments.capacity() * sizeof(std::vector<Segment>);
    for (size_t r = 0; r < m_folders.size(); ++r)
        m_memory += heapBytes(m_folders[r].name) + m_segments[r].capacity() * sizeof(Segment);
    return Outline::Read;
}

bool PlacesImport::readLinks(const std::vector<bool>& rows) {
    try {
        sqlite3* db = m_copy.db();
        auto sqlFailure = [&] { return failWith(sqliteMessage(db)); };
        sqlite3_stmt* raw = nullptr;
        if (sqlite3_prepare_v2(db, kSelectChildren.c_str(), -1, &raw, nullptr) != SQLITE_OK)
            return sqlFailure();
        StmtPtr select(raw);
        // Hands each link of the folder that the walk takes to `take`, in
        // the folder's order, while the links stay within the limit:
        // SQLITE_DONE when all were read, SQLITE_FULL when the limit was
        // reached, or SQLite's error.
        auto eachLink = [&](sqlite3_int64 folder, auto take) {
            sqlite3_stmt* stmt = select.get();
            sqlite3_reset(stmt);
            sqlite3_bind_int64(stmt, 1, folder);
            int rc = SQLITE_OK;
            while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
                const std::string_view url = linkUrl(stmt, 0, 2);
                if (url.empty())
                    continue;
                take(columnText(stmt, 1), url);
                if (m_memory > m_limit)
                    return SQLITE_FULL;
            }
            return rc;
        };
        for (size_t r = 0; r < m_folders.size() && r < rows.size(); ++r) {
            // A row whose links were read, or that has none the page may
            // take, has nothing to read.
            ImportFolder& folder = m_folders[r];
            if (!rows[r] || folder.unreadLinks == 0)
                continue;
            const std::vector<Segment>& segments = m_segments[r];
            m_memory += folder.unreadLinks * sizeof(GroupLink);
            if (m_memory > m_limit)
                return failWith(BookmarkTree::kTooManyItems);
            folder.links.reserve(folder.unreadLinks);
            size_t refused = 0;
            size_t read = 0;
            auto add = [&](std::string_view title, std::string_view url) {
                ++read;
                if (std::optional<Link> link = outsideLink(title, url)) {
                    m_memory += heapBytes(link->description) + heapBytes(link->url);
                    folder.links.push_back({std::move(link->description), std::move(link->url)});
                } else {
                    ++refused;
                }
            };
            if (segments.size() == 1) {
                // A folder of its own: its links as they come.
                const int rc = eachLink(segments[0].folder, add);
                if (rc == SQLITE_FULL)
                    return failWith(BookmarkTree::kTooManyItems);
                if (rc != SQLITE_DONE)
                    return sqlFailure();
                if (read != segments[0].links)
                    return failWith(kDamaged);
            } else {
                // Folders too deep for the tree lie flattened in this one,
                // their links between its own: each folder is read whole
                // once, then handed out in the walk's order.
                struct Loaded {
                    std::vector<std::pair<std::string, std::string>> links;
                    size_t next = 0;
                };
                std::unordered_map<sqlite3_int64, Loaded> loaded;
                for (const Segment& segment : segments) {
                    const auto [at, fresh] = loaded.try_emplace(segment.folder);
                    Loaded& source = at->second;
                    if (fresh) {
                        const int rc = eachLink(
                            segment.folder, [&](std::string_view title, std::string_view url) {
                                source.links.emplace_back(title, url);
                                m_memory += 2 * sizeof(source.links.back()) +
                                            heapBytes(source.links.back().first) +
                                            heapBytes(source.links.back().second);
                            });
                        if (rc == SQLITE_FULL)
                            return failWith(BookmarkTree::kTooManyItems);
                        if (rc != SQLITE_DONE)
                            return sqlFailure();
                    }
                    if (source.links.size() - source.next < segment.links)
                        return failWith(kDamaged);
                    for (size_t i = 0; i < segment.links; ++i, ++source.next)
                        add(source.links[source.next].first, source.links[source.next].second);
                    if (m_memory > m_limit)
                        return failWith(BookmarkTree::kTooManyItems);
                }
            }
            if (folder.links.size() != folder.unreadLinks || refused != folder.refusedLinks)
                return failWith(kDamaged);
            folder.unreadLinks = 0;
        }
        return true;
    } catch (const std::bad_alloc&) {
        return failWith("not enough memory to read it");
    }
}

bool PlacesImport::heldGroups(const std::vector<ExistingGroup>& groups, std::vector<int>& held) {
    held.assign(m_folders.size(), -1);
    try {
        const HeldGroups tally(groups);
        if (!tally.any())
            return true;
        // Only the top rows are ticked by default: each link counts for
        // the top row it lies under, and a row whose links left could not
        // give any group more than half is passed over from then on.
        const size_t width = tally.groupCount();
        std::vector<size_t> topOf(m_folders.size());
        for (size_t r = 0; r < m_folders.size(); ++r) {
            const int parent = m_folders[r].parent;
            topOf[r] = parent >= 0 && static_cast<size_t>(parent) < r
                           ? topOf[static_cast<size_t>(parent)]
                           : r;
        }
        std::unordered_map<sqlite3_int64, size_t> topRowOf; // a folder's links
        for (size_t r = 0; r < m_segments.size(); ++r)
            for (const Segment& segment : m_segments[r])
                topRowOf.emplace(segment.folder, topOf[r]);
        struct Tally {
            size_t seen = 0, most = 0;
            bool decided = false;
        };
        std::vector<Tally> rows(m_folders.size());
        std::vector<std::uint32_t> hits(m_folders.size() * width, 0);
        sqlite3* db = m_copy.db();
        sqlite3_stmt* raw = nullptr;
        const char* kSelectUrls = "SELECT b.parent, p.url FROM moz_bookmarks b"
                                  " JOIN moz_places p ON p.id = b.fk WHERE b.type = 1";
        if (sqlite3_prepare_v2(db, kSelectUrls, -1, &raw, nullptr) != SQLITE_OK)
            return failWith(sqliteMessage(db));
        StmtPtr select(raw);
        int rc = SQLITE_OK;
        while ((rc = sqlite3_step(select.get())) == SQLITE_ROW) {
            const auto at = topRowOf.find(sqlite3_column_int64(select.get(), 0));
            if (at == topRowOf.end() || rows[at->second].decided ||
                classifyUrl(select.get(), 1) != LinkUrl::Allowed)
                continue;
            const size_t r = at->second;
            Tally& row = rows[r];
            const size_t total = m_folders[r].linksBelow;
            ++row.seen;
            const std::uint64_t holding = tally.groupsHolding(columnText(select.get(), 1));
            for (size_t g = 0; g < width && holding != 0; ++g)
                if (holding & (std::uint64_t{1} << g))
                    row.most = std::max<size_t>(row.most, ++hits[r * width + g]);
            if (2 * (row.most + (total - std::min(total, row.seen))) <= total)
                row.decided = true;
        }
        if (rc != SQLITE_DONE)
            return failWith(sqliteMessage(db));
        for (size_t r = 0; r < m_folders.size(); ++r)
            if (topOf[r] == r)
                held[r] = heldGroup(&hits[r * width], width, m_folders[r].linksBelow);
        return true;
    } catch (const std::bad_alloc&) {
        return failWith("not enough memory to read it");
    }
}
