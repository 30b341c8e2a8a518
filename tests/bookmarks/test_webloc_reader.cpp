#include "BookmarkTestUtil.h"
#include "bookmarks/BookmarkReader.h"
#include "bookmarks/WeblocReader.h"

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cstdlib>

namespace {

std::string BinaryWebloc(const char* key, const char* url) {
    plist_t dict = plist_new_dict();
    plist_dict_set_item(dict, key, plist_new_string(url));
    char* bin = nullptr;
    std::uint32_t size = 0;
    plist_to_bin(dict, &bin, &size);
    std::string bytes(bin, size);
    std::free(bin);
    plist_free(dict);
    return bytes;
}

TEST(WeblocReader, XmlAndBinaryPropertyListsGiveOneLinkNamedAfterTheFile) {
    const struct {
        std::string bytes;
        const char* url;
    } cases[] = {{Fixture("link.webloc"), "https://www.example.com/page?a=1&b=2"},
                 {BinaryWebloc("URL", "https://binary.example/"), "https://binary.example/"}};
    for (const auto& c : cases) {
        const BookmarkReadResult r = readBookmarks(c.bytes, "/tmp/My Page.webloc");
        ASSERT_TRUE(r.ok()) << r.error;
        ASSERT_EQ(r.tree.size(), 1u);
        EXPECT_EQ(r.tree.items()[0].title, "My Page");
        EXPECT_EQ(r.tree.items()[0].url, c.url);
        EXPECT_EQ(r.tree.items()[0].parent, -1);
    }
}

TEST(WeblocReader, PropertyListsWithoutAUrlGiveAMessage) {
    const struct {
        std::string bytes;
        const char* message;
    } cases[] = {
        {BinaryWebloc("Address", "https://a/"), "no URL"},
        {"<plist><array><string>x</string></array></plist>", "no dictionary"},
        {"bplist00 broken", "not a property list"},
        {"", "empty"},
        {std::string(kMaxWeblocBytes + 1, ' '), "too large"},
    };
    for (const auto& c : cases) {
        const BookmarkReadResult r = readWebloc(c.bytes, "x.webloc");
        ASSERT_FALSE(r.ok()) << c.message;
        EXPECT_EQ(r.error.rfind("x.webloc: ", 0), 0u) << r.error;
        EXPECT_NE(r.error.find(c.message), std::string::npos) << r.error;
    }
}

} // namespace
