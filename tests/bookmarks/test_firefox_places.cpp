#include "BookmarkTestUtil.h"
#include "bookmarks/BookmarkCommands.h"
#include "bookmarks/BookmarkReader.h"
#include "bookmarks/FirefoxPlacesReader.h"
#include "bookmarks/PrivateDatabaseCopy.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace {

using Lines = std::vector<std::string>;

void Exec(sqlite3* db, const std::string& sql) {
    char* message = nullptr;
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK) << message;
}

// A places database with the roots, some bookmarks, a tag and a query.
void BuildPlaces(const std::string& path, bool wal, const std::string& extra = {}) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    if (wal)
        Exec(db, "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;");
    Exec(db, kFirefoxPlacesSchema);
    Exec(db, R"(
INSERT INTO moz_places (id, url, title, guid) VALUES
  (10, 'https://www.mozilla.org/', 'Mozilla', 'p1'),
  (11, 'place:type=6&sort=14', NULL, 'p2'),
  (12, 'https://example.org/tagged', 'Tagged', 'p3'),
  (13, 'https://example.org/inner', 'Inner', 'p4');
INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, guid, dateAdded) VALUES
  (20, 1, 11, 2, 0, 'Recent Tags', 'b0', 1700000001000000),
  (21, 1, 10, 2, 1, 'Mozilla & co', 'b1', 1700000002000000),
  (22, 3, NULL, 2, 2, NULL, 'b2', 1700000003000000),
  (23, 2, NULL, 2, 3, 'Folder', 'b3', 1700000004000000),
  (24, 1, 13, 23, 0, 'Inner', 'b4', 1700000005000000),
  (25, 2, NULL, 4, 0, 'mytag', 'b5', 1700000006000000),
  (26, 1, 12, 25, 0, NULL, 'b6', 1700000007000000),
  (27, 1, 12, 3, 0, 'On the toolbar', 'b7', 1700000008000000);
)" + extra);
    sqlite3_close(db);
}

// What --import-bookmarks says when it fails (it reads a places.sqlite in
// two steps of its own), beside the reader's message.
std::string ImportError(const std::string& source, const std::string& project) {
    std::ostringstream err;
    EXPECT_EQ(runImportBookmarks(source, project, 0, err), kImportFailed) << source;
    EXPECT_FALSE(std::filesystem::exists(project));
    return err.str();
}

const Lines kExpected{"[Bookmarks Menu]",
                      "Bookmarks Menu: Mozilla & co <https://www.mozilla.org/>",
                      "Bookmarks Menu: ---",
                      "[Bookmarks Menu/Folder]",
                      "Bookmarks Menu/Folder: Inner <https://example.org/inner>",
                      "[Bookmarks Toolbar]",
                      "Bookmarks Toolbar: On the toolbar <https://example.org/tagged>",
                      "[Other Bookmarks]",
                      "[Mobile Bookmarks]"};

TEST(FirefoxPlaces, ReadsTheRootsSkippingTagsAndQueries) {
    TempDir dir;
    BuildPlaces(dir.file("places.sqlite"), false);
    const BookmarkReadResult r = readFirefoxPlaces(dir.file("places.sqlite"));
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(Outline(r.tree), kExpected);
    EXPECT_EQ(r.tree.queries().count, 1u);
    EXPECT_EQ(r.tree.queries().text(), "Recent Tags");
    EXPECT_EQ(r.tree.items()[1].added, 1700000002);
    EXPECT_TRUE(r.tree.items()[5].toolbar);
}

TEST(FirefoxPlaces, ReadsUncheckpointedChangesFromTheWalFileWhileTheDatabaseIsOpen) {
    TempDir dir;
    const std::string path = dir.file("places.sqlite");
    BuildPlaces(path, true);
    // Firefox keeps the database open with an exclusive lock and recent
    // changes only in the -wal file.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    Exec(db, "PRAGMA locking_mode=EXCLUSIVE; PRAGMA wal_autocheckpoint=0;"
             "INSERT INTO moz_places (id, url, guid) VALUES (14, 'https://wal.example/', 'p5');"
             "INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, guid) VALUES "
             "(28, 1, 14, 5, 0, 'From the WAL', 'b8');");
    ASSERT_TRUE(std::filesystem::exists(path + "-wal"));
    // SQLite keeps the -wal beside the file itself: a profile reached
    // through a symbolic link (to the database, or to its folder) is read
    // with its -wal all the same, by the reader and by the import.
    std::filesystem::create_directory(dir.file("elsewhere"));
    std::filesystem::create_symlink(path, dir.file("elsewhere/places.sqlite"));
    std::filesystem::create_directory_symlink(dir.path(), dir.file("linked"));
    for (const std::string& source :
         {path, dir.file("elsewhere/places.sqlite"), dir.file("linked/places.sqlite")}) {
        const BookmarkReadResult r = readFirefoxPlaces(source);
        ASSERT_TRUE(r.ok()) << r.error;
        EXPECT_EQ(Outline(r.tree).back(), "[Mobile Bookmarks]");
        const Lines lines = Outline(r.tree);
        EXPECT_NE(std::find(lines.begin(), lines.end(),
                            "Other Bookmarks: From the WAL <https://wal.example/>"),
                  lines.end())
            << source;
        std::ostringstream err;
        const std::string project = dir.file("p.lfp");
        std::filesystem::remove(project);
        EXPECT_EQ(runImportBookmarks(source, project, 1, err), kImportPartial) << source;
        // The saved query is the one link left out.
        EXPECT_EQ(err.str(), source + ": 4 links into 1 group, 1 saved query skipped (Recent "
                                      "Tags).\n");
    }
    sqlite3_close(db);
}

TEST(FirefoxPlaces, ReadsADatabaseImageFromMemory) {
    TempDir dir;
    BuildPlaces(dir.file("places.sqlite"), true);
    const std::string image = readFileBytes(dir.file("places.sqlite"));
    const BookmarkReadResult r = readBookmarks(image, "places.sqlite");
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(Outline(r.tree), kExpected);
}

TEST(FirefoxPlaces, FoldersInAParentCycleAreSkipped) {
    TempDir dir;
    BuildPlaces(dir.file("places.sqlite"), false,
                "INSERT INTO moz_bookmarks (id, type, parent, position, title, guid) VALUES "
                "(30, 2, 31, 0, 'A', 'c1'), (31, 2, 30, 0, 'B', 'c2'), (32, 2, 2, 9, 'C', 'c3');"
                "UPDATE moz_bookmarks SET parent = 32 WHERE id = 30;"
                "UPDATE moz_bookmarks SET parent = 30 WHERE id = 32;");
    const BookmarkReadResult r = readFirefoxPlaces(dir.file("places.sqlite"));
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.tree.linkCount(), 3u);
}

// Contents by position (none first, ties by id) and depth first; a root
// moved into another is still read once, as a root.
TEST(FirefoxPlaces, WalksInTheBrowsersOrder) {
    TempDir dir;
    BuildPlaces(dir.file("places.sqlite"), false,
                "INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, guid) VALUES "
                "(41, 1, 13, 3, 1, 'tie', 'w1'), (40, 1, 10, 3, 1, 'second', 'w2'),"
                "(39, 1, 10, 3, NULL, 'unplaced', 'w3'), (44, 1, 13, 3, 3, 'after', 'w4'),"
                "(42, 2, NULL, 3, 2, 'Sub', 'w5'), (43, 1, 10, 42, 0, 'inside', 'w6');"
                "UPDATE moz_bookmarks SET parent = 3, position = 9 WHERE id = 2;");
    const BookmarkReadResult r = readFirefoxPlaces(dir.file("places.sqlite"));
    ASSERT_TRUE(r.ok()) << r.error;
    Lines expected(kExpected.begin(), kExpected.begin() + 6);
    for (const char* line :
         {"Bookmarks Toolbar: unplaced <https://www.mozilla.org/>",
          "Bookmarks Toolbar: On the toolbar <https://example.org/tagged>",
          "Bookmarks Toolbar: second <https://www.mozilla.org/>",
          "Bookmarks Toolbar: tie <https://example.org/inner>", "[Bookmarks Toolbar/Sub]",
          "Bookmarks Toolbar/Sub: inside <https://www.mozilla.org/>",
          "Bookmarks Toolbar: after <https://example.org/inner>", "[Other Bookmarks]",
          "[Mobile Bookmarks]"})
        expected.push_back(line);
    EXPECT_EQ(Outline(r.tree), expected);
}

TEST(FirefoxPlaces, DatabasesThatAreNotBookmarksGiveAMessage) {
    TempDir dir;
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(dir.file("other.sqlite").c_str(), &db), SQLITE_OK);
        Exec(db, "CREATE TABLE cookies (name TEXT);");
        sqlite3_close(db);
    }
    BuildPlaces(dir.file("places.sqlite"), false);
    std::string damaged = readFileBytes(dir.file("places.sqlite"));
    for (size_t i = 100; i < damaged.size(); i += 7)
        damaged[i] = char(0xA5);
    writeFileBytes(dir.file("damaged.sqlite"), damaged);
    writeFileBytes(dir.file("header.sqlite"), std::string("SQLite format 3\0garbage", 23));

    const struct {
        const char* file;
        const char* message;
    } cases[] = {{"other.sqlite", "not a Firefox bookmark database"},
                 {"damaged.sqlite", ""},
                 {"header.sqlite", ""},
                 {"missing.sqlite", "missing.sqlite was not found."}};
    for (const auto& c : cases) {
        const BookmarkReadResult r = readFirefoxPlaces(dir.file(c.file));
        ASSERT_FALSE(r.ok()) << c.file;
        EXPECT_EQ(r.error.rfind(dir.file(c.file), 0), 0u) << r.error;
        EXPECT_NE(r.error.find(c.message), std::string::npos) << r.error;
        EXPECT_EQ(ImportError(dir.file(c.file), dir.file("new.lfp")), r.error + "\n");
    }
}

TEST(FirefoxPlaces, LeavesNoCopyBehindAndRemovesTheCopiesOfProgramsThatAreGone) {
    TempDir dir;
    const char* oldCache = std::getenv("XDG_CACHE_HOME");
    const std::string savedCache = oldCache ? oldCache : "";
    ::setenv("XDG_CACHE_HOME", dir.file("cache").c_str(), 1);
    const std::string copies = PrivateDatabaseCopy::copiesFolder();
    EXPECT_EQ(copies, dir.file("cache") + "/linkfold/copies");
    // A copy of a program that was killed while copying, and one of a
    // program still running (the test's parent).
    const pid_t gone = fork();
    if (gone == 0)
        _exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string dead = copies + "/copy-" + std::to_string(gone) + "-AbCdEf";
    const std::string alive = copies + "/copy-" + std::to_string(::getppid()) + "-AbCdEf";
    std::filesystem::create_directories(dead);
    std::filesystem::create_directories(alive);
    writeFileBytes(dead + "/db", "the user's history");

    PrivateDatabaseCopy::removeLeftoverCopies();
    EXPECT_FALSE(std::filesystem::exists(dead));
    EXPECT_TRUE(std::filesystem::exists(alive));
    std::filesystem::remove_all(alive);

    BuildPlaces(dir.file("places.sqlite"), true);
    ASSERT_TRUE(readFirefoxPlaces(dir.file("places.sqlite")).ok());
    ASSERT_FALSE(readFirefoxPlaces(dir.file("missing.sqlite")).ok());
    EXPECT_TRUE(std::filesystem::is_empty(copies));
    if (oldCache)
        ::setenv("XDG_CACHE_HOME", savedCache.c_str(), 1);
    else
        ::unsetenv("XDG_CACHE_HOME");
}

// A writer in the middle of a change in rollback-journal mode: the database
// file already holds part of the change, the hot journal the old pages.
TEST(FirefoxPlaces, ADatabaseInTheMiddleOfAChangeIsRefused) {
    TempDir dir;
    const std::string path = dir.file("places.sqlite");
    BuildPlaces(path, false);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    Exec(db, "PRAGMA cache_size=1; BEGIN;"
             "WITH RECURSIVE n(i) AS (SELECT 100 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)"
             " INSERT INTO moz_bookmarks (id, type, parent, position, title)"
             " SELECT i, 2, 2, i, 'Half written ' || i FROM n;");
    ASSERT_TRUE(std::filesystem::exists(path + "-journal"));
    // The journal is looked for beside the file a link leads to.
    std::filesystem::create_directory(dir.file("elsewhere"));
    const std::string link = dir.file("elsewhere/places.sqlite");
    std::filesystem::create_symlink(path, link);
    for (const std::string& source : {path, link}) {
        const BookmarkReadResult r = readFirefoxPlaces(source);
        const std::string imported = ImportError(source, dir.file("new.lfp"));
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.error, source + ": is being changed by another program; try again.");
        EXPECT_EQ(imported, r.error + "\n");
    }
    Exec(db, "ROLLBACK;");
    sqlite3_close(db);
}

// A -wal left beside the database by another one (a profile copied over
// another after a crash) must not put the other's pages into it. SQLite
// files carry no mark that ties a -wal to its database, so what is caught
// is a -wal whose pages do not fit the database's trees.
TEST(FirefoxPlaces, AWalOfAnotherDatabaseIsNotApplied) {
    TempDir dir;
    const std::string mine = dir.file("places.sqlite");
    const std::string other = dir.file("other.sqlite");
    const auto folders = [](int first, const char* title) {
        return "WITH RECURSIVE n(i) AS (SELECT " + std::to_string(first) +
               " UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(first + 2000) +
               ") INSERT INTO moz_bookmarks (id, type, parent, position, title, guid)"
               " SELECT i, 2, 5, i, '" +
               title + " ' || i, 'g' || i FROM n;";
    };
    BuildPlaces(mine, false, folders(100, "Mine"));
    const BookmarkReadResult own = readFirefoxPlaces(mine);
    ASSERT_TRUE(own.ok()) << own.error;
    BuildPlaces(other, true, folders(5000, "Theirs"));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(other.c_str(), &db), SQLITE_OK);
    Exec(db, "PRAGMA locking_mode=EXCLUSIVE; PRAGMA wal_autocheckpoint=0;"
             "UPDATE moz_bookmarks SET title = 'Changed' WHERE id = 6000;");
    std::filesystem::copy_file(other + "-wal", mine + "-wal");
    sqlite3_close(db);

    const BookmarkReadResult r = readFirefoxPlaces(mine);
    if (r.ok()) {
        EXPECT_EQ(Outline(r.tree), Outline(own.tree));
    } else {
        EXPECT_EQ(r.error, mine + "-wal: does not belong to the database beside it.");
        EXPECT_EQ(ImportError(mine, dir.file("new.lfp")), r.error + "\n");
    }
}

} // namespace
