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
    };
    for (const auto& c : different)
        EXPECT_NE(urlComparisonKey(c.a), urlComparisonKey(c.b)) << c.a << " vs " << c.b;
}

} // namespace
