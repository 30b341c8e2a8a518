#include "core/UrlLines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Links = std::vector<Link>;

struct ParseCase {
    const char* name;
    std::string text;
    int result;
    Links links;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << c.name;
}

class UrlLinesTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(UrlLinesTest, AppendsOneLinkPerUrlLine) {
    const ParseCase& c = GetParam();
    const Links links = parseUrlLines(c.text);
    EXPECT_EQ(links, c.links);
    EXPECT_EQ(links.empty() ? 0 : 1, c.result);
}

TEST_P(UrlLinesTest, StartsWithUrlLineAgreesWithTheParser) {
    const ParseCase& c = GetParam();
    EXPECT_EQ(startsWithUrlLine(c.text), c.result == 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UrlLinesTest,
    ::testing::Values(
        ParseCase{"Empty", "", 0, {}}, ParseCase{"OnlyBlank", " \n\t\r\n\v\f", 0, {}},
        ParseCase{"TabSplits", "http://a.example/\tA site\n", 1, {{"A site", "http://a.example/"}}},
        ParseCase{"NoTabGetsParenthesised",
                  "http://a.example/\n",
                  1,
                  {{"(http://a.example/)", "http://a.example/"}}},
        ParseCase{
            "LaterTabsStayInDescription", "http://a/\tone\ttwo\n", 1, {{"one\ttwo", "http://a/"}}},
        ParseCase{"EmptyDescriptionAfterTab", "http://a/\t\n", 1, {{"", "http://a/"}}},
        ParseCase{"UpperCasePrefixKeepsCase",
                  "HTTP://Example.COM/Path\tMixed Case\n",
                  1,
                  {{"Mixed Case", "HTTP://Example.COM/Path"}}},
        ParseCase{"Https", "https://secure.example/\tS\n", 1, {{"S", "https://secure.example/"}}},
        ParseCase{"HttpsUpperCase", "HTTPS://X/\tS\n", 1, {{"S", "HTTPS://X/"}}},
        ParseCase{"File", "file:///c:/page.htm\tF\n", 1, {{"F", "file:///c:/page.htm"}}},
        ParseCase{"Mailto",
                  "MailTo:me@example.com\n",
                  1,
                  {{"(MailTo:me@example.com)", "MailTo:me@example.com"}}},
        ParseCase{"OtherSchemeStops", "ftp://files.example/\tF\nhttp://a/\tA\n", 0, {}},
        ParseCase{"PrefixTooShort", "http:/a\n", 0, {}},
        ParseCase{"PlainWordsStopTheParse",
                  "http://a/\tA\nsome plain words\nhttp://b/\tB\n",
                  1,
                  {{"A", "http://a/"}}},
        ParseCase{
            "LeadingBlankLinesAndSpaces", "\n\n   \t http://a/\tA\n", 1, {{"A", "http://a/"}}},
        ParseCase{"BlankLinesBetween",
                  "http://a/\tA\n\n\n  http://b/\tB\n",
                  1,
                  {{"A", "http://a/"}, {"B", "http://b/"}}},
        ParseCase{"LastLineWithoutLineFeed",
                  "http://a/\tA\nhttp://b/\tB",
                  1,
                  {{"A", "http://a/"}, {"B", "http://b/"}}},
        ParseCase{"CrLfDropsCarriageReturnFromDescription",
                  "http://a/\tA\r\nhttp://b/\tB\r\n",
                  1,
                  {{"A", "http://a/"}, {"B", "http://b/"}}},
        ParseCase{
            "CrLfDropsCarriageReturnFromUrl", "http://a/\r\n", 1, {{"(http://a/)", "http://a/"}}},
        ParseCase{"OnlyOneTrailingCarriageReturnDropped",
                  "http://a/\tA\r\r\n",
                  1,
                  {{"A\r", "http://a/"}}},
        ParseCase{"UntitledDescriptionIsTheUrlAsText",
                  "http://a/?x=<b>&y=2\n",
                  1,
                  {{"(http://a/?x=&lt;b&gt;&amp;y=2)", "http://a/?x=<b>&y=2"}}},
        ParseCase{"HighBytesKept",
                  "http://caf\xE9.example/\tCaf\xE9 \x80\n",
                  1,
                  {{"Caf\xE9 \x80", "http://caf\xE9.example/"}}}),
    [](const ::testing::TestParamInfo<ParseCase>& c) { return std::string(c.param.name); });

TEST(FormatUrlLines, WritesUrlTabDescriptionLineFeedInGivenOrder) {
    Links rows{{"First", "http://1/"}, {"Second", "https://2/"}, {"", "mailto:x@y"}};
    EXPECT_EQ(formatUrlLines(rows), "http://1/\tFirst\nhttps://2/\tSecond\nmailto:x@y\t\n");
    EXPECT_EQ(formatUrlLines({}), "");
}

TEST(FormatUrlLines, CopyThenPasteKeepsTheOrder) {
    Links rows{{"Row 1", "http://one/"},
               {"Row 3", "HTTPS://Three/"},
               {"Tabbed\tdescription", "file:///c:/x.htm"}};
    EXPECT_EQ(parseUrlLines(formatUrlLines(rows)), rows);
}

// Lines from another program: descriptions are plain text and URLs are
// checked, so that neither can add markup; the same lines' order and
// parse rules hold.
TEST(ParseOutsideUrlLines, EscapesTextAndChecksUrls) {
    const std::string text = "https://example.com/c2/<svg/onload=alert('C2')>\n"
                             "https://e/\t<img src=x onerror=alert(1)> & co\n"
                             "  http://q/\"x y\"\tQuote\r\n"
                             "mailto:me@example.com\t\n"
                             "plain words end it\nhttp://never/\tN\n";
    const Links expected{{"(https://example.com/c2/%3Csvg/onload=alert('C2')%3E)",
                          "https://example.com/c2/%3Csvg/onload=alert('C2')%3E"},
                         {"&lt;img src=x onerror=alert(1)&gt; &amp; co", "https://e/"},
                         {"Quote", "http://q/%22x%20y%22"},
                         {"", "mailto:me@example.com"}};
    EXPECT_EQ(parseOutsideUrlLines(text), expected);
    EXPECT_TRUE(parseOutsideUrlLines("javascript:alert(1)\tJ\n").empty());
}

TEST(IsUrlLine, PrefixesAfterWhiteSpace) {
    EXPECT_TRUE(isUrlLine("  https://a/"));
    EXPECT_TRUE(isUrlLine("\tFILE://x"));
    EXPECT_FALSE(isUrlLine("www.example.com"));
    EXPECT_FALSE(isUrlLine(""));
}

} // namespace
