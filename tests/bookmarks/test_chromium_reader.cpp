#include "BookmarkTestUtil.h"
#include "bookmarks/ChromiumBookmarkReader.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

TEST(ChromiumReader, ReadsTheRootsInTheBrowsersOrder) {
    const BookmarkReadResult r =
        readChromiumBookmarks(Fixture("chromium-Bookmarks.json"), "Bookmarks");
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(Outline(r.tree),
              (Lines{"[Bookmarks bar]",
                     "Bookmarks bar: Chromium &amp; friends <https://www.chromium.org/>",
                     "[Bookmarks bar/Folder]",
                     "Bookmarks bar/Folder: Nested ünïcödé <https://example.org/nested>",
                     "[Other bookmarks]", "Other bookmarks: Other one <https://other.example.org/>",
                     "[Mobile bookmarks]"}));
    // 13345678901234567 microseconds since 1601.
    EXPECT_EQ(r.tree.items()[1].added, 1701205301);
    EXPECT_TRUE(r.tree.items()[0].toolbar);
}

struct TypeCase {
    const char* name;
    std::string json;
    Lines outline; // empty with `error` set when refused
    const char* error;
};

void PrintTo(const TypeCase& c, std::ostream* os) {
    *os << c.name;
}

class ChromiumTypesTest : public ::testing::TestWithParam<TypeCase> {};

TEST_P(ChromiumTypesTest, WrongTypesAreSkippedOrRefusedWithAMessage) {
    const TypeCase& c = GetParam();
    const BookmarkReadResult r = readChromiumBookmarks(c.json, "Bookmarks");
    if (c.error) {
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.error.rfind("Bookmarks: ", 0), 0u) << r.error;
        EXPECT_NE(r.error.find(c.error), std::string::npos) << r.error;
    } else {
        ASSERT_TRUE(r.ok()) << r.error;
        EXPECT_EQ(Outline(r.tree), c.outline);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChromiumTypesTest,
    ::testing::Values(
        TypeCase{"Empty", "", {}, "empty"},
        TypeCase{"Truncated", R"({"roots": {"other": {"children": [)", {}, "not valid JSON"},
        TypeCase{"Array", "[1,2]", {}, "no \"roots\""},
        // Any value at the top but an object is not a bookmark file.
        TypeCase{"TopString", R"("x")", {}, "no \"roots\""},
        TypeCase{"TopNumber", "7", {}, "no \"roots\""},
        TypeCase{"TopNull", "null", {}, "no \"roots\""},
        TypeCase{"TopFalse", "false", {}, "no \"roots\""},
        // Where the format has a type, another one is an error naming the place.
        TypeCase{"RootsString", R"({"roots": "x"})", {}, "roots is not an object."},
        TypeCase{"RootIsNumber",
                 R"({"roots": {"bookmark_bar": 5}})",
                 {},
                 "bookmark_bar is not a folder."},
        TypeCase{"ChildrenNotArray",
                 R"({"roots": {"other": {"type": "folder", "name": "O", "children": {"a": 1}}}})",
                 {},
                 "children of other is not a list."},
        TypeCase{"RootNameNotString",
                 R"({"roots": {"other": {"type": "folder", "name": 7, "children": []}}})",
                 {},
                 "name of other is not text."},
        TypeCase{"UrlNotString",
                 R"({"roots": {"other": {"type": "folder", "children": [
                     {"type": "url", "name": "no url", "url": 12}]}}})",
                 {},
                 "url of \"no url\" in other is not text."},
        TypeCase{"ItemNotObject",
                 R"({"roots": {"other": {"type": "folder", "children": ["text"]}}})",
                 {},
                 "an item in other is not a bookmark."},
        // Keys the format does not know are passed over, whatever they hold.
        TypeCase{"UnknownKeys",
                 R"({"roots": {"other": {"type": "folder", "name": "O", "meta_info": [1, {}],
                     "children": [{"type": "url", "name": "n", "url": "http://a/", "x": {"y": []}}]},
                     "sync_transaction_version": "1"}, "version": {}})",
                 {"[O]", "O: n <http://a/>"},
                 nullptr},
        TypeCase{"DateOfWrongType",
                 R"({"roots": {"other": {"type": "folder", "name": "O", "date_added": {},
                     "children": [{"type": "url", "name": "n", "url": "http://a/", "date_added": "soon"}]}}})",
                 {"[O]", "O: n <http://a/>"},
                 nullptr}));

TEST(ChromiumReader, DeepNestingIsFlattenedAtTheDepthLimit) {
    const int levels = 100000;
    std::string json = R"({"roots": {"other": )";
    for (int i = 0; i < levels; ++i)
        json += R"({"type": "folder", "name": "f", "children": [)";
    json += R"({"type": "url", "name": "deep", "url": "http://deep/"})";
    for (int i = 0; i < levels; ++i)
        json += "]}";
    json += "}}";
    const BookmarkReadResult r = readChromiumBookmarks(json, "Bookmarks");
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.tree.linkCount(), 1u);
    EXPECT_EQ(r.tree.items().back().depth, BookmarkTree::kMaxDepth);
}

} // namespace
