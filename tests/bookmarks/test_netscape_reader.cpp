#include "BookmarkTestUtil.h"
#include "bookmarks/NetscapeBookmarkReader.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

struct FixtureCase {
    const char* file;
    Lines outline;
};

void PrintTo(const FixtureCase& c, std::ostream* os) {
    *os << c.file;
}

class NetscapeFixtureTest : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(NetscapeFixtureTest, ReadsFoldersLinksAndSeparatorsAsTheBrowserWroteThem) {
    const BookmarkReadResult r = readNetscapeBookmarks(Fixture(GetParam().file), GetParam().file);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(Outline(r.tree), GetParam().outline);
}

INSTANTIATE_TEST_SUITE_P(
    Browsers, NetscapeFixtureTest,
    ::testing::Values(
        // Place queries skipped; ICON, SHORTCUTURL, TAGS, FEED and <DD> ignored;
        // entities decoded; nested folders without closing </DT>.
        FixtureCase{
            "firefox.html",
            {": Get Help & Support <https://www.mozilla.org/en-US/firefox/>", ": ---",
             "[Café <Reading>]", "Café <Reading>: Rock 'n' Roll été <https://example.org/a>",
             "[Café <Reading>/Inner]", "Café <Reading>/Inner: Inner link <https://example.org/b>",
             "Café <Reading>: After inner <https://example.org/c>", "[Bookmarks Toolbar]",
             "Bookmarks Toolbar: Debian <https://www.debian.org/>",
             "Bookmarks Toolbar: Old live bookmark <http://feeds.example.org/rss>",
             "[Other Bookmarks]"}},
        FixtureCase{"chromium.html",
                    {"[Bookmarks bar]", "Bookmarks bar: News & Weather <https://news.example.com/>",
                     "[Bookmarks bar/Work]",
                     "Bookmarks bar/Work: Wiki <https://intranet.example.com/wiki>",
                     ": Loose link <https://loose.example.com/>"}},
        // Safari: folders at the top without an enclosing list, FOLDED, empty folder.
        FixtureCase{"safari.html",
                    {"[Favourites]", "Favourites: Apple <https://www.apple.com/>",
                     "[Favourites/Empty]", "[Reading List]",
                     "Reading List: Later <https://read.example.com/later>"}}));

TEST(NetscapeReader, KeepsDatesAndTheToolbarMark) {
    const BookmarkReadResult r = readNetscapeBookmarks(Fixture("firefox.html"), "firefox.html");
    ASSERT_TRUE(r.ok());
    const auto& items = r.tree.items();
    EXPECT_EQ(items[0].added, 1700000001);
    ASSERT_EQ(items[7].title, "Bookmarks Toolbar");
    EXPECT_TRUE(items[7].toolbar);
    EXPECT_FALSE(items[2].toolbar);
    EXPECT_EQ(r.tree.linkCount(), 6u);
}

TEST(NetscapeReader, UndeclaredEncodingIsUtf8) {
    const BookmarkReadResult r =
        readNetscapeBookmarks("<DL><p><DT><A HREF=\"http://a/\">Grüße</A></DL>", "x.html");
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(Outline(r.tree), Lines{": Grüße <http://a/>"});
}

std::string NestedHtml(int levels) {
    std::string html = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
    for (int i = 0; i < levels; ++i)
        html += "<DT><H3>F" + std::to_string(i) + "</H3>\n<DL><p>\n";
    html += "<DT><A HREF=\"http://deep/\">Deep</A>\n";
    for (int i = 0; i < levels; ++i)
        html += "</DL><p>\n";
    return html + "<DT><A HREF=\"http://after/\">After</A>\n</DL>\n";
}

TEST(NetscapeReader, DeepNestingIsFlattenedAtTheDepthLimit) {
    const BookmarkReadResult r = readNetscapeBookmarks(NestedHtml(100000), "deep.html");
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.tree.linkCount(), 2u);
    int deepest = 0;
    for (const BookmarkItem& item : r.tree.items())
        deepest = std::max(deepest, item.depth);
    EXPECT_EQ(deepest, BookmarkTree::kMaxDepth);
    EXPECT_EQ(r.tree.items()[r.tree.size() - 2].depth, BookmarkTree::kMaxDepth);
    const BookmarkItem& after = r.tree.items().back();
    EXPECT_EQ(after.url, "http://after/");
    EXPECT_EQ(after.depth, 0);
}

// libxml2 nests each unclosed <DT> in the one before it.
TEST(NetscapeReader, LongFoldersAreReadWhole) {
    std::string html = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n<DT><H3>Many</H3>\n<DL><p>\n";
    for (int i = 0; i < 5000; ++i)
        html += "<DT><A HREF=\"http://a/" + std::to_string(i) + "\">L</A>\n";
    html += "</DL><p>\n<DT><A HREF=\"http://after/\">After</A>\n</DL><p>\n";
    const BookmarkReadResult r = readNetscapeBookmarks(html, "long.html");
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.tree.linkCount(), 5001u);
    EXPECT_EQ(r.tree.items()[5000].url, "http://a/4999");
    EXPECT_EQ(r.tree.items()[5000].depth, 1);
    EXPECT_EQ(r.tree.items().back().depth, 0);
}

TEST(NetscapeReader, FilesWithoutBookmarksGiveAMessageNamingTheFile) {
    for (const char* text : {"", "just some text", "<html><body><p>Hello</p></body></html>"}) {
        const BookmarkReadResult r = readNetscapeBookmarks(text, "/home/u/page.html");
        EXPECT_FALSE(r.ok()) << text;
        EXPECT_EQ(r.error.rfind("/home/u/page.html: ", 0), 0u) << r.error;
    }
}

TEST(NetscapeReader, TruncatedFileKeepsWhatWasRead) {
    std::string html = Fixture("chromium.html");
    html.resize(html.find("Wiki</A>") + 4);
    const BookmarkReadResult r = readNetscapeBookmarks(html, "cut.html");
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.tree.linkCount(), 2u);
}

} // namespace
