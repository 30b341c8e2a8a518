// Memory a bookmark source may cost: a few times its own size whatever it
// holds, and a message naming the file when memory runs out.
#include "BookmarkTestUtil.h"
#include "bookmarks/BookmarkCommands.h"
#include "bookmarks/BookmarkReader.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

constexpr size_t kMiB = 1024 * 1024;

size_t mappedBytes() {
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0;
    statm >> pages;
    return pages * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

enum Outcome { Read = 0, Refused = 1, OutOfMemory = 2, WrongMessage = 3, TooManyItems = 4 };

// What reading gave: the message, empty when the source was read.
int outcomeOf(const std::string& path, const std::string& error) {
    if (error.empty())
        return Read;
    if (error.rfind(path + ": ", 0) != 0 || error.size() > path.size() + 150)
        return WrongMessage;
    if (error.find("not enough memory") != std::string::npos)
        return OutOfMemory;
    return error.find(BookmarkTree::kTooManyItems) != std::string::npos ? TooManyItems : Refused;
}

// Reads path in a child allowed `allowance` bytes of address space beyond
// what it has mapped already: through readBookmarkFile, or as
// --import-bookmarks into a new project (`command`). Every failure must
// name the file in a short message.
int readUnderLimit(const std::string& path, size_t allowance, bool command = false) {
    const pid_t child = fork();
    if (child == 0) {
        const size_t limit = mappedBytes() + allowance;
        const rlimit rl{limit, limit};
        if (setrlimit(RLIMIT_AS, &rl) != 0)
            _exit(9);
        if (command) {
            std::ostringstream err;
            const int status = runImportBookmarks(path, path + ".lfp", 0, err);
            std::string error = err.str();
            if (status == kImportComplete || status == kImportPartial)
                error.clear();
            else if (error.empty())
                error = "?";
            _exit(outcomeOf(path, error));
        }
        _exit(outcomeOf(path, readBookmarkFile(path).error));
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

std::string repeated(const std::string& head, const std::string& unit, size_t size,
                     const std::string& tail) {
    std::string bytes = head;
    bytes.reserve(size + tail.size());
    while (bytes.size() + unit.size() + tail.size() <= size)
        bytes += unit;
    return bytes + tail;
}

void exec(sqlite3* db, const char* sql) {
    char* message = nullptr;
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &message), SQLITE_OK) << message;
}

// Every row of moz_bookmarks as small as SQLite stores it: no titles, no
// GUIDs, one place for all the links, no indexes.
void buildDensePlaces(const std::string& path, const char* type) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    exec(db, "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url TEXT);"
             "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER,"
             " parent INTEGER, position INTEGER, title TEXT, guid TEXT, dateAdded INTEGER);"
             "INSERT INTO moz_places VALUES (1, 'https://example.org/');"
             "INSERT INTO moz_bookmarks (id, type, parent, guid) VALUES"
             " (1, 2, 0, 'root________'), (2, 2, 1, 'menu________');");
    const std::string fill =
        std::string("WITH RECURSIVE n(i) AS (SELECT 10 UNION ALL SELECT i + 1 FROM n"
                    " WHERE i < 1500000) INSERT INTO moz_bookmarks (id, type, fk, parent)"
                    " SELECT i, ") +
        type + ", 1, 2 FROM n;";
    exec(db, fill.c_str());
    sqlite3_close(db);
}

TEST(SourceMemory, HostileSourcesStayWithinFourTimesTheirSizeAndThirtyTwoMiB) {
    TempDir dir;
    const size_t size = 16 * kMiB;
    const std::string html = "<!DOCTYPE NETSCAPE-Bookmark-file-1><DL><p>";
    const std::string json = "{\"roots\": {\"bookmark_bar\": {\"children\": [";
    writeFileBytes(dir.file("paragraphs.html"), repeated(html, "<p>", size, "</DL>"));
    writeFileBytes(dir.file("nested.html"), repeated(html, "<DT><H3>F</H3><DL><p>", size, "</DL>"));
    writeFileBytes(dir.file("objects.json"), repeated(json, "{},", size, "{}]}}}"));
    writeFileBytes(dir.file("skipped.json"),
                   repeated("{\"roots\": {}, \"x\": [", "{},", size, "{}]}"));
    writeFileBytes(dir.file("folders.json"),
                   repeated(json, "{\"type\":\"folder\"},", size, "{}]}}}"));
    const std::string xbel = "<xbel><bookmark id='a' href='https://example.org/a'/>";
    const size_t levels = size / 17;
    std::string nested = xbel;
    for (size_t i = 0; i < levels; ++i)
        nested += "<folder>";
    for (size_t i = 0; i < levels; ++i)
        nested += "</folder>";
    writeFileBytes(dir.file("nested.xbel"), nested + "</xbel>");
    writeFileBytes(dir.file("folders.xbel"),
                   repeated(xbel, "<folder><title>f</title></folder>", size, "</xbel>"));
    writeFileBytes(dir.file("bookmarks.xbel"),
                   repeated(xbel, "<bookmark href='h'/><separator/>", size, "</xbel>"));
    writeFileBytes(dir.file("aliases.xbel"), repeated(xbel, "<alias ref='a'/>", size, "</xbel>"));
    writeFileBytes(dir.file("forward.xbel"), repeated("<xbel>", "<alias ref='a'/>", size,
                                                      "<bookmark id='a' href='h'/></xbel>"));
    std::string ids = xbel; // every bookmark with an id of its own, for the aliases
    for (size_t i = 0; ids.size() < size; ++i)
        ids += "<bookmark id='" + std::string(32, 'i') + std::to_string(i) + "' href='h'/>";
    writeFileBytes(dir.file("ids.xbel"), ids + "</xbel>");
    buildDensePlaces(dir.file("links.sqlite"), "1");
    buildDensePlaces(dir.file("separators.sqlite"), "3");

    for (const std::string name :
         {"paragraphs.html", "nested.html", "objects.json", "skipped.json", "folders.json",
          "nested.xbel", "folders.xbel", "bookmarks.xbel", "aliases.xbel", "forward.xbel",
          "ids.xbel", "links.sqlite", "separators.sqlite"}) {
        const std::string path = dir.file(name);
        const size_t fileSize = std::filesystem::file_size(path);
        const int outcome = readUnderLimit(path, 4 * fileSize + 32 * kMiB);
        // The XBEL files are well-formed: read, or refused for their items.
        const bool wellFormedXml = name.ends_with(".xbel");
        EXPECT_TRUE(outcome == Read || outcome == TooManyItems ||
                    (outcome == Refused && !wellFormedXml))
            << name << ": " << outcome;
        // A places.sqlite is imported without its whole tree: the command
        // keeps to the same bound.
        if (name.ends_with(".sqlite")) {
            const int imported = readUnderLimit(path, 4 * fileSize + 32 * kMiB, true);
            EXPECT_TRUE(imported == Read || imported == TooManyItems) << name << ": " << imported;
        }
    }
}

TEST(SourceMemory, RunningOutOfMemoryGivesAMessageNamingTheFile) {
    SKIP_UNDER_ADDRESS_SANITIZER();
    TempDir dir;
    const std::string link = "<DT><A HREF=\"https://www.example.com/page/12345\">Example</A>\n";
    writeFileBytes(dir.file("big.html"),
                   repeated("<!DOCTYPE NETSCAPE-Bookmark-file-1><DL><p>", link, 24 * kMiB, ""));
    writeFileBytes(dir.file("big.json"),
                   repeated("{\"roots\": {\"other\": {\"children\": [",
                            "{\"type\":\"url\",\"name\":\"Example\",\"url\":\"https://"
                            "www.example.com/page/12345\"},",
                            24 * kMiB, "{}]}}}"));
    buildDensePlaces(dir.file("big.sqlite"), "1");
    for (const char* name : {"big.html", "big.json", "big.sqlite"}) {
        const int outcome = readUnderLimit(dir.file(name), 6 * kMiB);
        EXPECT_EQ(outcome, OutOfMemory) << name;
    }
}

} // namespace
