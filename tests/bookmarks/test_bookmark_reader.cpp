#include "BookmarkTestUtil.h"
#include "bookmarks/BookmarkReader.h"
#include "bookmarks/SourceFile.h"

#include <gtest/gtest.h>

namespace {

TEST(BookmarkReader, SniffsTheFormatFromTheContent) {
    const struct {
        std::string head;
        BookmarkFormat format;
    } cases[] = {
        {Fixture("firefox.html"), BookmarkFormat::NetscapeHtml},
        {Fixture("safari.html"), BookmarkFormat::NetscapeHtml},
        {"<dl><p><dt><a href=x>y</a>", BookmarkFormat::NetscapeHtml},
        {Fixture("bookmarks.xbel"), BookmarkFormat::Xbel},
        {"<xbel><bookmark href='x'><title>NETSCAPE-Bookmark-file-1 &lt;dl&gt;</title>",
         BookmarkFormat::Xbel},
        {"\xEF\xBB\xBF\n  {\"roots\": {}}", BookmarkFormat::ChromiumJson},
        {std::string("SQLite format 3\0", 16), BookmarkFormat::FirefoxPlaces},
        {Fixture("link.webloc"), BookmarkFormat::Webloc},
        {"bplist00\xD1\x01\x02", BookmarkFormat::Webloc},
        {"", BookmarkFormat::Unknown},
        {"SQLite format 2", BookmarkFormat::Unknown},
        {"plain text with a < sign", BookmarkFormat::Unknown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sniffBookmarkFormat(c.head), c.format) << c.head.substr(0, 40);
}

TEST(BookmarkReader, FilesOfEachKindReadByContentNotName) {
    const struct {
        const char* file;
        size_t links;
    } cases[] = {{"firefox.html", 6},   {"chromium.html", 3},           {"safari.html", 2},
                 {"bookmarks.xbel", 4}, {"chromium-Bookmarks.json", 3}, {"link.webloc", 1}};
    for (const auto& c : cases) {
        const BookmarkReadResult r = readBookmarkFile(FixturePath(c.file));
        ASSERT_TRUE(r.ok()) << r.error;
        EXPECT_EQ(r.tree.linkCount(), c.links) << c.file;
    }
}

TEST(BookmarkReader, UnreadableFilesGiveAMessageNamingThem) {
    TempDir dir;
    WriteFileBytes(dir.File("notes.txt"), "Just some notes.\n");
    WriteFileBytes(dir.File("empty.html"), "");
    const struct {
        std::string path;
        const char* message;
    } cases[] = {{dir.File("missing.html"), "cannot be opened"},
                 {dir.Path().string(), "is a folder"},
                 {dir.File("notes.txt"), "not a bookmark file"},
                 {dir.File("empty.html"), "empty"}};
    for (const auto& c : cases) {
        const BookmarkReadResult r = readBookmarkFile(c.path);
        ASSERT_FALSE(r.ok()) << c.path;
        EXPECT_EQ(r.error.rfind(c.path + ": ", 0), 0u) << r.error;
        EXPECT_NE(r.error.find(c.message), std::string::npos) << r.error;
    }
}

TEST(SourceFile, RefusesFilesAboveTheCapIncludingEndlessOnes) {
    TempDir dir;
    WriteFileBytes(dir.File("big"), std::string(4096, 'x'));
    SourceFile f = readSourceFile(dir.File("big"), 4095);
    EXPECT_FALSE(f.ok());
    EXPECT_NE(f.error.find("too large"), std::string::npos) << f.error;
    EXPECT_TRUE(f.bytes.empty());
    EXPECT_TRUE(readSourceFile(dir.File("big"), 4096).ok());
    // Not a regular file: the size is only known by reading.
    f = readSourceFile("/dev/zero", 1 << 20);
    EXPECT_FALSE(f.ok());
    EXPECT_NE(f.error.find("/dev/zero: is larger than 1 MiB"), std::string::npos) << f.error;
}

} // namespace
