#include "core/OutsideText.h"

#include <gtest/gtest.h>

namespace {

TEST(OutsideText, PlainTextBecomesHtmlWithOnlyTheThreeMarkupCharactersEscaped) {
    const struct {
        const char* text;
        const char* html;
        const char* fileNameHtml;
    } cases[] = {
        {"Plain", "Plain", "Plain"},
        {"Q&A <b>not bold</b>", "Q&amp;A &lt;b&gt;not bold&lt;/b&gt;",
         "Q&A &lt;b&gt;not bold&lt;/b&gt;"},
        {"\"quoted\" 'single' café", "\"quoted\" 'single' café", "\"quoted\" 'single' café"},
        {"&amp; stays literal", "&amp;amp; stays literal", "&amp; stays literal"},
        {"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;",
         "&lt;script&gt;alert(1)&lt;/script&gt;"},
        {"", "", ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(plainTextToHtml(c.text), c.html) << c.text;
        EXPECT_EQ(fileNameToHtml(c.text), c.fileNameHtml) << c.text;
    }
}

TEST(OutsideText, HtmlBecomesPlainTextWithoutTagsAndWithReferencesDecoded) {
    const struct {
        const char* html;
        const char* text;
    } cases[] = {{"Plain", "Plain"},
                 {"<b>Bold</b> and <i>italic</i>", "Bold and italic"},
                 {"Q&amp;A &lt;x&gt; &eacute;t&eacute; &#233;&#x41;", "Q&A <x> été éA"},
                 {"caf&eacute;&nbsp;bar", "café\u00A0bar"},
                 {"<img src=x.png> picture", "picture"},
                 {"  spaced  ", "spaced"},
                 {"AT&T", "AT&T"},
                 {"Maps &amp; Travel", "Maps & Travel"},
                 {"<unclosed", ""},
                 {"", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(htmlToPlainText(c.html), c.text) << c.html;
}

TEST(OutsideText, PlainTextSurvivesTheWayInAndOut) {
    for (const char* text : {"Q&A <b>", "a &amp; b", "Rock 'n' Roll", "&lt;&gt;", "<<>>&&",
                             "tab\there", "été & co", "<script>x</script>"}) {
        const std::string html = plainTextToHtml(text);
        EXPECT_EQ(htmlToPlainText(html), text) << text;
        EXPECT_EQ(plainTextToHtml(htmlToPlainText(html)), html) << text;
    }
}

TEST(OutsideText, OnlyLinkSchemesComeInAndInsideSpacesAreEncoded) {
    const struct {
        const char* url;
        const char* checked; // nullptr: refused
    } cases[] = {{"https://example.com/a", "https://example.com/a"},
                 {"HTTP://EXAMPLE.COM/", "HTTP://EXAMPLE.COM/"},
                 {"  https://example.com/x  \n", "https://example.com/x"},
                 {"file:///home/me/a b.htm", "file:///home/me/a%20b.htm"},
                 {"mailto:me@example.com", "mailto:me@example.com"},
                 {"ftp://ftp.example.com/pub", "ftp://ftp.example.com/pub"},
                 {"https://example.com/a\"onmouseover=\"alert(1)",
                  "https://example.com/a%22onmouseover=%22alert(1)"},
                 {"https://example.com/x\"><script>alert(1)</script>",
                  "https://example.com/x%22%3E%3Cscript%3Ealert(1)%3C/script%3E"},
                 {"https://example.com/\ttab\x01", "https://example.com/%09tab"},
                 {"javascript:alert(1)", nullptr},
                 {"JaVaScRiPt:alert(1)", nullptr},
                 {" javascript:alert(1)", nullptr},
                 {"java\tscript:alert(1)", nullptr},
                 {"vbscript:msgbox(1)", nullptr},
                 {"data:text/html,<script>alert(1)</script>", nullptr},
                 {"other.htm", nullptr},
                 {"", nullptr}};
    for (const auto& c : cases) {
        const std::optional<std::string> checked = checkedOutsideUrl(c.url);
        if (c.checked) {
            ASSERT_TRUE(checked.has_value()) << c.url;
            EXPECT_EQ(*checked, c.checked) << c.url;
        } else {
            EXPECT_FALSE(checked.has_value()) << c.url;
        }
    }
}

TEST(OutsideText, OutsideLinksAreNamedAndEscaped) {
    EXPECT_EQ(outsideLink("", "https://a.example/?x=1&y=<2>"),
              Link("(https://a.example/?x=1&amp;y=%3C2%3E)", "https://a.example/?x=1&y=%3C2%3E"));
    EXPECT_EQ(outsideLink("  ", "https://a.example/"),
              Link("(https://a.example/)", "https://a.example/"));
    EXPECT_EQ(outsideLink("<b>Q&A</b>", "https://a.example/"),
              Link("&lt;b&gt;Q&amp;A&lt;/b&gt;", "https://a.example/"));
    EXPECT_FALSE(outsideLink("Click", "javascript:alert(1)").has_value());
    EXPECT_EQ(linkFileLink("Q&A <i>", "https://a.example/"),
              Link("Q&A &lt;i&gt;", "https://a.example/"));
    EXPECT_FALSE(linkFileLink("x", "data:text/html,x").has_value());
    EXPECT_EQ(skippedLinksText(1), "1 script or data link skipped");
    EXPECT_EQ(skippedLinksText(3), "3 script or data links skipped");
}

} // namespace
