#include "core/LinkFile.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ShortcutCase {
    const char* name;
    std::string text;
    std::string url;
};

class ShortcutText : public testing::TestWithParam<ShortcutCase> {};

TEST_P(ShortcutText, GivesStoredUrl) {
    EXPECT_EQ(urlFromShortcutText(GetParam().text), GetParam().url);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShortcutText,
    testing::Values(
        ShortcutCase{"InternetShortcut", "[InternetShortcut]\nURL=http://a.example/\n",
                     "http://a.example/"},
        ShortcutCase{
            "CrLfAndOtherSections",
            "[DEFAULT]\r\nBASEURL=http://base/\r\n[InternetShortcut]\r\nURL=http://b/x\r\n",
            "http://b/x"},
        ShortcutCase{"NamesIgnoreCase", "[internetshortcut]\n  url = http://c/ \n", "http://c/"},
        ShortcutCase{"Windows1252BytesRead", "[InternetShortcut]\nURL=http://d/\xE9\n",
                     "http://d/\u00E9"},
        ShortcutCase{"EqualsInsideUrl", "[InternetShortcut]\nURL=http://e/?a=1&b=2\n",
                     "http://e/?a=1&b=2"},
        ShortcutCase{"NoUrlKey", "[InternetShortcut]\nIconIndex=0\n", ""},
        ShortcutCase{"UrlOutsideSection", "[Other]\nURL=http://f/\n", ""},
        ShortcutCase{"PlainText", "URL=http://g/\nhello\n", ""}, ShortcutCase{"Empty", "", ""},
        ShortcutCase{"DesktopLink", "[Desktop Entry]\nType=Link\nName=N\nURL=https://h/\n",
                     "https://h/"},
        ShortcutCase{"DesktopLinkTypeAfterUrl", "[Desktop Entry]\nURL=https://i/\nType=Link\n",
                     "https://i/"},
        ShortcutCase{"DesktopApplication", "[Desktop Entry]\nType=Application\nURL=https://j/\n",
                     ""},
        ShortcutCase{"DesktopOtherGroup",
                     "[Desktop Entry]\nType=Link\n[Desktop Action x]\nURL=https://k/\n", ""},
        ShortcutCase{"DesktopKeysAreCaseSensitive", "[Desktop Entry]\nType=Link\nurl=https://l/\n",
                     ""},
        ShortcutCase{"DesktopEscapesAndUtf8",
                     "\xEF\xBB\xBF[Desktop Entry]\nType=Link\nURL=https://m/a\\sb/\xC3\xA9\n",
                     "https://m/a b/\u00E9"}),
    [](const testing::TestParamInfo<ShortcutCase>& c) { return c.param.name; });

TEST(ShortcutFile, ReadsFilesByContent) {
    const std::string dir = LINKFOLD_TEST_DATA "/shortcuts/";
    EXPECT_EQ(shortcutUrl(dir + "Home.Page.url"), "http://example.org/home");
    EXPECT_EQ(shortcutUrl(dir + "News.desktop"), "https://news.example.com/today");
    EXPECT_EQ(shortcutUrl(dir + "Editor.desktop"), "");
    EXPECT_EQ(shortcutUrl(dir + "notes.txt"), "");
    EXPECT_EQ(shortcutUrl(dir + "missing.url"), "");
    EXPECT_EQ(shortcutUrl(dir), ""); // a folder
}

std::string utf16Le(const std::u16string& s, bool bom = false) {
    std::string out;
    if (bom)
        out += "\xFF\xFE";
    for (char16_t c : s) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

TEST(MozUrl, ParsesUrlTitlePairs) {
    struct Case {
        std::string bytes;
        std::vector<std::pair<std::string, std::string>> links;
    };
    const Case cases[] = {
        {utf16Le(u"http://a/\nA title"), {{"http://a/", "A title"}}},
        {utf16Le(u"http://a/\n", true), {{"http://a/", ""}}},
        {utf16Le(u"http://a/"), {{"http://a/", ""}}},
        {utf16Le(u"http://a/\r\nT\u00e9\r\nhttp://b/\nB"),
         {{"http://a/", "T\u00E9"}, {"http://b/", "B"}}},
        {std::string("\xFE\xFF\0h\0t\0t\0p\0:\0/\0/\0c\0/\0\n\0C", 24), {{"http://c/", "C"}}},
        {"https://d/\nD \xE2\x82\xAC", {{"https://d/", "D \u20AC"}}}, // UTF-8, euro sign
        {"", {}},
    };
    for (const Case& c : cases) {
        std::vector<DroppedLink> got = parseMozUrl(c.bytes);
        ASSERT_EQ(got.size(), c.links.size()) << c.bytes;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].url, c.links[i].first);
            EXPECT_EQ(got[i].title, c.links[i].second);
        }
    }
    EXPECT_EQ(untitledDescription("http://x/"), "(http://x/)");
}

} // namespace
