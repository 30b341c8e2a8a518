// SQLite files from outside: a schema that computes what it holds is
// refused before anything is read, and the work and memory of a read follow
// the file's size whatever the file asks for.
#include "BookmarkTestUtil.h"
#include "bookmarks/BookmarkCommands.h"
#include "bookmarks/FirefoxPlacesReader.h"
#include "bookmarks/PrivateDatabaseCopy.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// A places.sqlite with Firefox's schema and a hundred links, then changed
// by `schema`.
bool BuildHostilePlaces(const std::string& path, const std::string& schema) {
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK)
        return false;
    std::string sql = "PRAGMA synchronous=OFF; BEGIN;";
    sql += kFirefoxPlacesSchema;
    for (int i = 0; i < 100; ++i) {
        const std::string n = std::to_string(100 + i);
        sql += "INSERT INTO moz_places (id, url) VALUES (" + n + ", 'https://e.example/" + n +
               "');INSERT INTO moz_bookmarks (type, fk, parent, position) VALUES (1, " + n +
               ", 2, " + n + ");";
    }
    sql += schema + "COMMIT;";
    const bool ok = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

size_t mappedBytes() {
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0;
    statm >> pages;
    return pages * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

enum Outcome { Read = 0, Refused = 1, WrongMessage = 2 };

// Reads path in a child with 10 s of CPU and 64 MiB of address space
// beyond what it has mapped, through the reader or as --import-bookmarks.
int ReadBounded(const std::string& path, bool command) {
    const pid_t child = fork();
    if (child == 0) {
        const size_t limit = mappedBytes() + (size_t{64} << 20);
        const rlimit as{limit, limit};
        const rlimit cpu{10, 10};
        if (setrlimit(RLIMIT_AS, &as) != 0 || setrlimit(RLIMIT_CPU, &cpu) != 0)
            _exit(9);
        std::string error;
        if (command) {
            std::ostringstream err;
            const int status = runImportBookmarks(path, path + ".lfp", 0, err);
            error = status == kImportComplete || status == kImportPartial ? "" : err.str();
            if (!error.empty() && error.back() == '\n')
                error.pop_back();
        } else {
            error = readFirefoxPlaces(path).error;
        }
        if (error.empty())
            _exit(Read);
        _exit(error.rfind(path + ": ", 0) == 0 && error.size() < path.size() + 200 ? Refused
                                                                                   : WrongMessage);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

} // namespace

TEST(HostileDatabases, ComputingSchemasAreRefusedWithinABound) {
    struct Case {
        const char* name;
        const char* schema;
    };
    const Case cases[] = {
        {"generated column",
         "ALTER TABLE moz_bookmarks RENAME COLUMN title TO old_title;"
         "ALTER TABLE moz_bookmarks ADD COLUMN title AS (hex(zeroblob(100000000)));"},
        {"looping view",
         "ALTER TABLE moz_places RENAME TO places_table;"
         "CREATE VIEW moz_places AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
         "FROM n) SELECT i AS id, 'https://loop.example/' || i AS url FROM n;"},
        {"trigger", "CREATE TRIGGER t AFTER UPDATE ON moz_places BEGIN SELECT 1; END;"},
        {"index on an expression",
         "CREATE INDEX expr ON moz_bookmarks (length(hex(zeroblob(parent * 100000))));"},
        {"virtual table", "CREATE VIRTUAL TABLE search USING fts5(text);"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file(std::string(c.name) + ".sqlite");
        if (!BuildHostilePlaces(path, c.schema)) {
            ASSERT_STREQ(c.name, "virtual table") << "cannot build the fixture";
            continue; // this SQLite has no fts5
        }
        ASSERT_LT(std::filesystem::file_size(path), 64u * 1024);
        const BookmarkReadResult r = readFirefoxPlaces(path);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.error, path + ": is not a plain database: it computes what it holds (views, "
                                  "triggers, virtual tables, generated columns or indexes on "
                                  "expressions), which is not read.");
        EXPECT_EQ(ReadBounded(path, false), Refused);
        EXPECT_EQ(ReadBounded(path, true), Refused);
        // The same from memory, as the fuzz target reads it.
        EXPECT_FALSE(readFirefoxPlacesImage(readFileBytes(path), "image").ok());
    }
    // The same database with its plain schema is read.
    const std::string plain = dir.file("plain.sqlite");
    ASSERT_TRUE(BuildHostilePlaces(plain, ""));
    EXPECT_EQ(ReadBounded(plain, false), Read);
    EXPECT_EQ(ReadBounded(plain, true), Read);
}

// The work and the length of a value are bounded by the file's size:
// a statement that would run for ever is interrupted, a value longer than
// the file is refused.
TEST(HostileDatabases, WorkAndLengthFollowTheFilesSize) {
    for (const size_t bytes : {size_t{16} << 10, size_t{1} << 20}) {
        SCOPED_TRACE(bytes);
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
        DatabaseWork work;
        limitOutsideDatabase(db, bytes, work);
        const std::uint64_t budget = work.thousands;
        EXPECT_EQ(budget, (kDatabaseBaseSteps + kDatabaseStepsPerByte * bytes) / 1000);
        const std::string tooLong =
            "SELECT length(zeroblob(" + std::to_string(std::max(bytes, size_t{1} << 20) + 1) + "))";
        EXPECT_EQ(sqlite3_exec(db, tooLong.c_str(), nullptr, nullptr, nullptr), SQLITE_TOOBIG);
        EXPECT_EQ(sqlite3_exec(db,
                               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) "
                               "SELECT count(*) FROM n",
                               nullptr, nullptr, nullptr),
                  SQLITE_INTERRUPT);
        EXPECT_EQ(work.thousands, 0u);
        sqlite3_close(db);
    }
}
