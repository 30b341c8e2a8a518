#include "BookmarkTestUtil.h"
#include "bookmarks/XbelReader.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

TEST(XbelReader, ReadsFoldersBookmarksSeparatorsAndAliases) {
    const BookmarkReadResult r = readXbel(Fixture("bookmarks.xbel"), "bookmarks.xbel");
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(Outline(r.tree),
              (Lines{"[Tools & Docs]", "Tools & Docs: CMake <https://cmake.org/>",
                     "Tools & Docs: ---", "[Tools & Docs/Nested]",
                     "Tools & Docs/Nested: Less <than> & more <https://example.org/<x>>",
                     ": Top level <https://toplevel.example.org/>", "[Aliases]",
                     "Aliases: CMake <https://cmake.org/>"}));
    EXPECT_EQ(r.tree.items()[0].added, 1700000000);
    EXPECT_EQ(r.tree.items()[1].added, 1700000001);
}

TEST(XbelReader, EntitiesAreNeitherExpandedNorLoaded) {
    const BookmarkReadResult r = readXbel(Fixture("laughs.xbel"), "laughs.xbel");
    if (r.ok()) {
        ASSERT_EQ(r.tree.linkCount(), 2u);
        for (const BookmarkItem& item : r.tree.items())
            EXPECT_LT(item.title.size(), 100u) << item.url;
        EXPECT_EQ(r.tree.items()[1].title.find("root:"), std::string::npos);
    } else {
        EXPECT_EQ(r.error.rfind("laughs.xbel: ", 0), 0u) << r.error;
    }
}

struct BadCase {
    const char* name;
    std::string text;
    const char* message; // part of the expected message
};

void PrintTo(const BadCase& c, std::ostream* os) {
    *os << c.name;
}

class XbelBadTest : public ::testing::TestWithParam<BadCase> {};

TEST_P(XbelBadTest, GivesAMessageNamingTheFile) {
    const BookmarkReadResult r = readXbel(GetParam().text, "in.xbel");
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error.rfind("in.xbel: ", 0), 0u) << r.error;
    EXPECT_NE(r.error.find(GetParam().message), std::string::npos) << r.error;
}

INSTANTIATE_TEST_SUITE_P(Cases, XbelBadTest,
                         ::testing::Values(BadCase{"Empty", "", "empty"},
                                           BadCase{"Truncated", "<xbel><folder><title>A</ti",
                                                   "in.xbel: not well-formed XML (line 1)."},
                                           BadCase{"OtherRoot", "<opml><body/></opml>",
                                                   "root element is not <xbel>"}));

// Nesting deeper than the parser's own limit is flattened as in the other
// formats, not refused.
TEST(XbelReader, DeepNestingIsFlattenedAtTheDepthLimit) {
    std::string text = "<xbel>";
    for (int i = 0; i < 100000; ++i)
        text += "<folder><title>f</title>";
    text += "<bookmark href='http://deep/'><title>deep</title></bookmark>";
    for (int i = 0; i < 100000; ++i)
        text += "</folder>";
    text += "</xbel>";
    const BookmarkReadResult r = readXbel(text, "in.xbel");
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.tree.linkCount(), 1u);
    EXPECT_EQ(r.tree.items().back().depth, BookmarkTree::kMaxDepth);
}

} // namespace

namespace {

struct ShapeCase {
    const char* name;
    std::string text;
    std::vector<std::string> outline;
};

void PrintTo(const ShapeCase& c, std::ostream* os) {
    *os << c.name;
}

class XbelShapeTest : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(XbelShapeTest, ReadsAsTheDocumentNests) {
    const BookmarkReadResult r = readXbel("<xbel>" + GetParam().text + "</xbel>", "in.xbel");
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(Outline(r.tree), GetParam().outline);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XbelShapeTest,
    ::testing::Values(
        ShapeCase{
            "AliasBeforeItsBookmark",
            "<folder><title>A</title><alias ref='b'/></folder>"
            "<bookmark id='b' href='http://b/' added='2023-11-14'><title>B</title></bookmark>",
            {"[A]", "A: B <http://b/>", ": B <http://b/>"}},
        ShapeCase{"AliasOfNothingTakesItsSeparatorAlong",
                  "<folder><title>A</title><bookmark href='http://a/'><title>a</title></bookmark>"
                  "<separator/><alias ref='none'/><separator/><alias ref='later'/></folder>",
                  {"[A]", "A: a <http://a/>", "A: ---"}},
        ShapeCase{"TitleAfterTheContentsAndOnlyTheFirst",
                  "<folder><bookmark href='http://a/'><desc><title>no</title></desc>"
                  "<title>a <b>bold</b></title><title>second</title></bookmark>"
                  "<title> Late </title><title>Later</title></folder>",
                  {"[Late]", "Late: a bold <http://a/>"}},
        ShapeCase{"InsideOtherElementsNothingCounts",
                  "<info><bookmark href='http://hidden/'/></info>"
                  "<bookmark href='http://x/'><folder><title>no</title></folder></bookmark>",
                  {":  <http://x/>"}},
        ShapeCase{"AnXbelInsideAFolderIsPartOfIt",
                  "<folder><title>A</title><xbel><title>no</title>"
                  "<bookmark href='http://a/'/></xbel></folder>",
                  {"[A]", "A:  <http://a/>"}},
        ShapeCase{"EntityReferencesInAttributesAndText",
                  "<bookmark href='http://e/?a=1&amp;b=&#50;'><title>Q&amp;A &#x263A;</title>"
                  "</bookmark>",
                  {": Q&A \xE2\x98\xBA <http://e/?a=1&b=2>"}}));

// A folder too deep to be made takes neither the title nor the bookmarks
// of its own: they go into the deepest folder there is.
TEST(XbelReader, TitlesOfFoldersTooDeepAreNotTaken) {
    std::string text = "<xbel>";
    for (int i = 0; i < BookmarkTree::kMaxDepth + 2; ++i)
        text += "<folder><title>f" + std::to_string(i) + "</title>";
    text += "<bookmark href='http://deep/'/>";
    for (int i = 0; i < BookmarkTree::kMaxDepth + 2; ++i)
        text += "</folder>";
    text += "<bookmark href='http://top/'/></xbel>";
    const BookmarkReadResult r = readXbel(text, "in.xbel");
    ASSERT_TRUE(r.ok()) << r.error;
    const auto& items = r.tree.items();
    ASSERT_EQ(items.size(), size_t(BookmarkTree::kMaxDepth) + 2);
    EXPECT_EQ(items[BookmarkTree::kMaxDepth - 1].title, "f63");
    EXPECT_EQ(items[BookmarkTree::kMaxDepth].url, "http://deep/");
    EXPECT_EQ(items[BookmarkTree::kMaxDepth].parent, BookmarkTree::kMaxDepth - 1);
    EXPECT_EQ(items.back().url, "http://top/");
    EXPECT_EQ(items.back().depth, 0);
}

} // namespace
