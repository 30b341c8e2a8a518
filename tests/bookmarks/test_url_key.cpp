#include "UrlKeyCases.h"
#include "bookmarks/ImportPlan.h"
#include "core/UrlKey.h"

#include <gtest/gtest.h>

namespace {

TEST(UrlKey, SameRuleTable) {
    for (const UrlKeyCase& c : kUrlKeyCases) {
        for (const UrlFragment f : {UrlFragment::Compare, UrlFragment::Ignore})
            EXPECT_EQ(urlComparisonKey(c.a, f) == urlComparisonKey(c.b, f), c.same)
                << c.a << " vs " << c.b << ": " << urlComparisonKey(c.a, f) << " / "
                << urlComparisonKey(c.b, f);
    }
}

TEST(UrlKey, FragmentIgnoredOnRequest) {
    EXPECT_EQ(urlComparisonKey("http://example.com/a#top", UrlFragment::Ignore),
              urlComparisonKey("http://example.com/a", UrlFragment::Ignore));
    EXPECT_EQ(urlComparisonKey("http://example.com/a b#x y", UrlFragment::Ignore),
              "http://example.com/a%20b");
    EXPECT_NE(urlComparisonKey("http://example.com/a#top"),
              urlComparisonKey("http://example.com/a"));
    // The fragment is everything after the first "#".
    EXPECT_EQ(urlComparisonKey("http://a.b#x#y"), "http://a.b/#x#y");
}

// The key of a key is the key: these once changed when keyed again.
TEST(UrlKey, KeyOfAKeyIsTheKey) {
    const char* urls[] = {
        "http://a.b#a b#c",
        "http://a.b/x #y",
        "not a url #x",
        "http://exa mple.com/",
        "http://a%2Fb%3Ac@h%40/",
        "http://a:b:80/",
        "http://h:8x/",
        "http://[fe80::1%25ETH0]:8080/",
        "http://[::1",
        "http://b\xC3\xBC%00x.de/",
        "http://\xFF\xFE/",
        "http:///path",
        "http:",
        "HTTP://H?#",
        "mailto:a b#c d",
        "x:#",
        "file://LOCALHOST",
        "  #  ",
        "h\xC3\xA9:/x",
        "http://\t0",
        "http://h/x%A\tA#\tb",
    };
    for (const char* url : urls) {
        for (const UrlFragment f : {UrlFragment::Compare, UrlFragment::Ignore}) {
            const std::string key = urlComparisonKey(url, f);
            EXPECT_EQ(urlComparisonKey(key, f), key) << url;
        }
    }
}

TEST(UrlKey, ReusedBufferGivesTheSameKeys) {
    std::string buffer = "left over from a longer key than any below";
    for (const UrlKeyCase& c : kUrlKeyCases) {
        urlComparisonKey(c.a, UrlFragment::Compare, buffer);
        EXPECT_EQ(buffer, urlComparisonKey(c.a));
    }
}

// The import drops a link as a duplicate by the same rule, and keeps "/x/"
// beside "/x".
TEST(UrlKey, ImportDropsDuplicatesByTheRule) {
    for (const UrlKeyCase& c : kUrlKeyCases) {
        ImportFolder folder;
        folder.name = "F";
        folder.links = {GroupLink{"a", c.a}, GroupLink{"b", c.b}};
        ExistingGroup group;
        const ImportPlan plan = planImport({folder}, {FolderChoice{true, 0}}, {ImportMode::Append},
                                           std::vector<ExistingGroup>(10, group));
        EXPECT_EQ(plan.duplicates, c.same ? 1u : 0u) << c.a << " vs " << c.b;
    }
}

} // namespace
