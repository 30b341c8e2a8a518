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
    writeFileBytes(dir.file("notes.txt"), "Just some notes.\n");
    writeFileBytes(dir.file("empty.html"), "");
    // The file messages are the ones a project gets, but for what is there and
    // no file; the rest name the file first.
    const struct {
        std::string path;
        std::string message;
    } cases[] = {
        {dir.file("missing.html"), dir.file("missing.html") + " was not found."},
        {dir.path().string(), dir.path().string() + ": is a folder."},
        {dir.file("notes.txt"), dir.file("notes.txt") + ": not a bookmark file of a known kind."},
        {dir.file("empty.html"), dir.file("empty.html") + ": the file is empty."}};
    for (const auto& c : cases) {
        const BookmarkReadResult r = readBookmarkFile(c.path);
        ASSERT_FALSE(r.ok()) << c.path;
        EXPECT_EQ(r.error, c.message);
    }
}

TEST(SourceFile, RefusesFilesAboveTheCapIncludingEndlessOnes) {
    TempDir dir;
    writeFileBytes(dir.file("big"), std::string(4096, 'x'));
    SourceFile f = readSourceFile(dir.file("big"), 4095);
    EXPECT_FALSE(f.ok());
    EXPECT_NE(f.error.find("too large"), std::string::npos) << f.error;
    EXPECT_TRUE(f.bytes.empty());
    EXPECT_TRUE(readSourceFile(dir.file("big"), 4096).ok());
    // Not a regular file: refused at once, never read.
    f = readSourceFile("/dev/zero", 1 << 20);
    EXPECT_FALSE(f.ok());
    EXPECT_EQ(f.error, "/dev/zero: is not a regular file.");
}

} // namespace
