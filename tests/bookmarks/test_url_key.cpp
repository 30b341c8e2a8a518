#include "core/UrlKey.h"

#include <gtest/gtest.h>

namespace {

TEST(UrlKey, SameKeyForTheSamePlace) {
    const struct {
        const char* a;
        const char* b;
    } same[] = {
        {"HTTP://Example.COM/Path", "http://example.com/Path"},
        {"http://example.com:80/", "http://example.com/"},
        {"https://example.com:443/x", "https://example.com/x"},
        {"http://example.com", "http://example.com/"},
        {"http://example.com/dir/", "http://example.com/dir"},
        {"http://example.com/page#", "http://example.com/page"},
        {"http://example.com/?q=1#", "http://example.com?q=1"},
        {"  http://example.com/  ", "http://example.com"},
        {"MAILTO:someone@example.com", "mailto:someone@example.com"},
        {"http://example.com/a b", "http://example.com/a%20b"},
        {"http://example.com/a%2fb", "http://example.com/a%2Fb"},
        {"http://example.com/%61", "http://example.com/a"},
        {"http://example.com/?q=%7E", "http://example.com/?q=~"},
        {"http://example.com/caf\xC3\xA9", "http://example.com/caf%C3%A9"},
        {"http://example.com/100%", "http://example.com/100%25"},
        {"file:///x/", "file:///x"},
        {"file://localhost/x", "file:///x"},
        {"file:///a b/", "file:///a%20b"},
        {"http://B\xC3\x9C"
         "CHER.de/",
         "http://b\xC3\xBC"
         "cher.de/"},
        {"http://b\xC3\xBC"
         "cher.de/",
         "http://xn--bcher-kva.de/"},
        {"http://XN--BCHER-KVA.de/", "http://xn--bcher-kva.de"},
        {"http://b%C3%BC"
         "cher.de/",
         "http://xn--bcher-kva.de/"},
    };
    for (const auto& c : same)
        EXPECT_EQ(urlComparisonKey(c.a), urlComparisonKey(c.b)) << c.a << " vs " << c.b;
}

TEST(UrlKey, DifferentKeysForDifferentPlaces) {
    const struct {
        const char* a;
        const char* b;
    } different[] = {
        {"http://example.com/Path", "http://example.com/path"},
        {"http://example.com:8080/", "http://example.com/"},
        {"https://example.com:80/", "https://example.com/"},
        {"http://example.com/", "https://example.com/"},
        {"http://example.com/#top", "http://example.com/"},
        {"http://example.com/?a=1", "http://example.com/?a=2"},
        {"http://user@example.com/", "http://example.com/"},
        {"not a url", "not  a url"},
        {"http://example.com/a%2Fb", "http://example.com/a/b"},
        {"http://example.com/a%20b", "http://example.com/a+b"},
        {"http://example.com/?q=a%26b", "http://example.com/?q=a&b"},
        {"file:///x", "file:///y"},
        {"http://b\xC3\xBC"
         "cher.de/",
         "http://bucher.de/"},
    };
    for (const auto& c : different)
        EXPECT_NE(urlComparisonKey(c.a), urlComparisonKey(c.b)) << c.a << " vs " << c.b;
}

// The link checker asks once for links that differ only in the fragment.
TEST(UrlKey, FragmentIgnoredOnRequest) {
    EXPECT_EQ(urlComparisonKey("http://example.com/a#top", UrlFragment::Ignore),
              urlComparisonKey("http://example.com/a", UrlFragment::Ignore));
    EXPECT_EQ(urlComparisonKey("http://example.com/a b#x y", UrlFragment::Ignore),
              "http://example.com/a%20b");
    EXPECT_NE(urlComparisonKey("http://example.com/a#top"),
              urlComparisonKey("http://example.com/a"));
}

} // namespace
