#include "BookmarkTestUtil.h"
#include "bookmarks/BookmarkReader.h"
#include "bookmarks/ExportTree.h"
#include "bookmarks/NetscapeBookmarkReader.h"
#include "bookmarks/NetscapeBookmarkWriter.h"
#include "bookmarks/XbelReader.h"
#include "bookmarks/XbelWriter.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

TEST(ExportTree, OneFolderPerNonEmptyGroupTitledOrNumbered) {
    const std::vector<GroupContent> groups{
        {"News", {{"BBC &amp; <b>co</b>", "https://bbc.example/"}}},
        {"Empty", {}},
        {"", {{"Docs", "https://docs.example/"}, {"&lt;tag&gt;", "https://t.example/?a=1&b=2"}}},
    };
    EXPECT_EQ(Outline(exportTree(groups)),
              (Lines{"[News]", "News: BBC & co <https://bbc.example/>", "[Group 3]",
                     "Group 3: Docs <https://docs.example/>",
                     "Group 3: <tag> <https://t.example/?a=1&b=2>"}));
}

// A tree with every kind of item, nesting, markup characters and dates.
BookmarkTree SampleTree() {
    BookmarkTree tree;
    const int bar = tree.addFolder(-1, "Bar & <Stuff>", 1700000000, true);
    tree.addLink(bar, "Q&A \"quoted\" <x>", "https://e.example/?a=1&b=\"2\"", 1700000001);
    tree.addSeparator(bar);
    const int inner = tree.addFolder(bar, "Inner", 1700000002);
    tree.addLink(inner, "Grüße", "https://grüße.example/", 0);
    tree.addFolder(bar, "Empty");
    tree.addLink(-1, "At the root", "https://root.example/");
    tree.addFolder(-1, "Last");
    return tree;
}

TEST(Writers, HtmlAndXbelReadBackToTheSameTree) {
    const BookmarkTree tree = SampleTree();
    for (const std::string& bytes : {writeNetscapeBookmarks(tree), writeXbel(tree)}) {
        const BookmarkReadResult r = readBookmarks(bytes, "out");
        ASSERT_TRUE(r.ok()) << r.error;
        EXPECT_EQ(Outline(r.tree), Outline(tree)) << bytes;
        ASSERT_EQ(r.tree.size(), tree.size());
        for (size_t i = 0; i < tree.size(); ++i)
            EXPECT_EQ(r.tree.items()[i].added, tree.items()[i].added) << i;
    }
    const BookmarkReadResult html = readNetscapeBookmarks(writeNetscapeBookmarks(tree), "out");
    EXPECT_TRUE(html.tree.items()[0].toolbar);
}

TEST(Writers, HtmlDeclaresUtf8AndTheBookmarkDoctype) {
    const std::string html = writeNetscapeBookmarks(SampleTree());
    EXPECT_EQ(html.rfind("<!DOCTYPE NETSCAPE-Bookmark-file-1>\n", 0), 0u);
    EXPECT_NE(html.find("charset=UTF-8"), std::string::npos);
}

TEST(Writers, TextThatIsNotValidXmlIsCleanedSoTheOutputReads) {
    BookmarkTree tree;
    tree.addLink(-1, std::string("bad \xFF byte \x01 control"), "https://a.example/");
    tree.addLink(-1, "stray \x8E\x88 continuation, overlong \xC0\xAF, \xEF\xBF\xBF",
                 "https://\x8E\x88.example/");
    for (const std::string& bytes : {writeNetscapeBookmarks(tree), writeXbel(tree)}) {
        const BookmarkReadResult r = readBookmarks(bytes, "out");
        ASSERT_TRUE(r.ok()) << r.error;
        ASSERT_EQ(r.tree.linkCount(), 2u);
        EXPECT_EQ(r.tree.items()[0].title, "bad \xEF\xBF\xBD byte \xEF\xBF\xBD control");
        EXPECT_EQ(r.tree.items()[1].title, "stray \xEF\xBF\xBD\xEF\xBF\xBD continuation, overlong "
                                           "\xEF\xBF\xBD\xEF\xBF\xBD, \xEF\xBF\xBD");
    }
}

TEST(Writers, ExportedGroupsImportBackWithTheSameDescriptions) {
    const std::vector<GroupContent> groups{
        {"G", {{"Q&amp;A &lt;b&gt;", "https://a/"}, {"caf\xC3\xA9 &amp; co", "https://b/"}}}};
    for (const std::string& bytes :
         {writeNetscapeBookmarks(exportTree(groups)), writeXbel(exportTree(groups))}) {
        const BookmarkReadResult r = readBookmarks(bytes, "out");
        ASSERT_TRUE(r.ok()) << r.error;
        ASSERT_EQ(r.tree.linkCount(), 2u);
        EXPECT_EQ(r.tree.items()[1].title, "Q&A <b>");
        EXPECT_EQ(r.tree.items()[2].title, "café & co");
    }
}

} // namespace
