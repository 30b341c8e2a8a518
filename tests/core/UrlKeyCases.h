#pragma once

// The one same-URL rule as a table, shared by the tests of each caller: the
// comparison key itself, the duplicates finder, the bookmark import and the
// link checker's "ask each address once". Fragments differ per caller and
// are left out here.
struct UrlKeyCase {
    const char* a;
    const char* b;
    bool same;
};

inline constexpr UrlKeyCase kUrlKeyCases[] = {
    {"HTTP://Example.COM/Path", "http://example.com/Path", true},  // scheme and host case
    {"http://example.com/Path", "http://example.com/path", false}, // path case counts
    {"http://H:80/", "http://h/", true},                           // default port
    {"http://h:080/x", "http://h/x", true},
    {"https://example.com:443/x", "https://example.com/x", true},
    {"http://example.com:8080/", "http://example.com/", false},
    {"https://example.com:80/", "https://example.com/", false},
    {"http://example.com/", "https://example.com/", false},
    {"http://example.com", "http://example.com/", true}, // empty path and "/"
    {"http://example.com?q=1", "http://example.com/?q=1", true},
    {"http://example.com/x", "http://example.com/x/", false}, // a trailing "/" is another page
    {"http://example.com/tsA/", "http://example.com/tsA", false},
    {"file:///x/", "file:///x", false},
    {"http://example.com/page#", "http://example.com/page", true}, // empty fragment
    {"  http://example.com/  ", "http://example.com", true},
    {"http://example.com/%7E", "http://example.com/~", true}, // unreserved escapes decoded
    {"http://example.com/%7e", "http://example.com/~", true},
    {"http://example.com/%61", "http://example.com/a", true},
    {"http://example.com/?q=%7E", "http://example.com/?q=~", true},
    {"http://example.com/a b", "http://example.com/a%20b", true},
    {"http://example.com/a%2fb", "http://example.com/a%2Fb", true},
    {"http://example.com/a%2Fb", "http://example.com/a/b", false},
    {"http://example.com/a%20b", "http://example.com/a+b", false},
    {"http://example.com/?q=a%26b", "http://example.com/?q=a&b", false},
    {"http://example.com/caf\xC3\xA9", "http://example.com/caf%C3%A9", true},
    {"http://example.com/100%", "http://example.com/100%25", true},
    {"http://B\xC3\x9C"
     "CHER.de/",
     "http://b\xC3\xBC"
     "cher.de/",
     true}, // IDN: case folded
    {"http://b\xC3\xBC"
     "cher.de/",
     "http://xn--bcher-kva.de/", true}, // IDN = punycode
    {"http://XN--BCHER-KVA.de/", "http://xn--bcher-kva.de", true},
    {"http://b%C3%BC"
     "cher.de/",
     "http://xn--bcher-kva.de/", true},
    {"http://b\xC3\xBC"
     "cher.de/",
     "http://bucher.de/", false},
    {"http://user@example.com/", "http://example.com/", false},
    {"http://[::1]:80/", "http://[::1]/", true},
    {"http://[::1]:8080/", "http://[::1]/", false},
    {"MAILTO:someone@example.com", "mailto:someone@example.com", true},
    {"file://localhost/x", "file:///x", true},
    {"file:///a b", "file:///a%20b", true},
    {"file:///x", "file:///y", false},
    {"http://exa\tmple.com/a\nb", "http://example.com/ab", true}, // tabs, line breaks dropped
    {"http://h/x%A\tA", "http://h/x%AA", true},
    {"not a url", "not  a url", false},
};
