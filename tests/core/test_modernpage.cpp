// The modern page: its themes keep text readable whatever the project's
// colours, its markup is safe whatever the project holds, it carries its
// icons once per host and fetches nothing; the classic page is untouched.
#include "TestUtil.h"

#include "core/Codepage.h"
#include "core/ModernPage.h"
#include "core/PageColors.h"
#include "core/PageWriter.h"

namespace {

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

Project modernProject() {
    Project doc;
    PageStyle style;
    style.look = PageLook::Modern;
    doc.setPageStyle(style);
    return doc;
}

} // namespace

TEST(PageColors, ContrastFollowsTheDefinition) {
    EXPECT_NEAR(contrastRatio(0x000000, 0xFFFFFF), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(0x777777, 0x777777), 1.0, 1e-9);
    EXPECT_NEAR(contrastRatio(0x767676, 0xFFFFFF), 4.54, 0.01); // the lightest AA grey
    EXPECT_NEAR(contrastRatio(0x0000FF, 0xFFFFFF), 4.0, 0.01);  // pure red
}

TEST(PageColors, BothThemesReachAAForEveryColourSet) {
    struct Set {
        const char* name;
        RgbColor background, link, visited, title, heading;
    };
    // Colours as 0x00BBGGRR.
    const Set sets[] = {
        {"the defaults", 0xFFFFFF, 0x000000, 0x800000, 0x000000, 0x000000},
        {"white on white", 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF},
        {"black on black", 0x000000, 0x000000, 0x000000, 0x000000, 0x000000},
        {"yellow links on white", 0xFFFFFF, 0x00FFFF, 0x00FFFF, 0x00CCFF, 0x00FF00},
        {"mid grey page", 0x777777, 0x888888, 0x666666, 0x7F7F7F, 0x808080},
        {"navy page, blue links", 0x400000, 0xFF0000, 0x800000, 0xFF8080, 0x802020},
        {"pastels", 0xF0E0FF, 0xFFC0C0, 0xC0FFC0, 0xC0C0FF, 0xE0E0E0},
        {"saturated red", 0x0000FF, 0x00FFFF, 0xFF0000, 0x00FF00, 0xFFFFFF},
    };
    for (const Set& s : sets) {
        SCOPED_TRACE(s.name);
        Project doc;
        doc.setBackgroundColor(s.background);
        doc.setLinkColor(s.link);
        doc.setVisitedLinkColor(s.visited);
        doc.setTitleColor(s.title);
        editHeading(doc, 0, [&](LinkGroup& g) { g.textColor = s.heading; });
        for (const PagePalette& p : {lightPalette(doc), darkPalette(doc)}) {
            EXPECT_GE(contrastRatio(p.title, p.background), kMinTextContrast);
            EXPECT_GE(contrastRatio(p.text, p.background), kMinTextContrast);
            for (RgbColor text : {p.text, p.link, p.visitedLink, p.headings[0], p.headings[9]})
                EXPECT_GE(contrastRatio(text, p.surface), kMinTextContrast) << cssColor(text);
        }
        EXPECT_LT(relativeLuminance(darkPalette(doc).background), 0.05);
    }
}

TEST(PageColors, ReadableColoursAreKeptAndOthersMovedLeastNeeded) {
    // Already readable: unchanged.
    EXPECT_EQ(withContrast(0x800000, 0xFFFFFF), 0x800000u);
    EXPECT_EQ(withContrast(0x000000, 0xF8F8F8), 0x000000u);
    // Unreadable: darkened on a light page, lightened on a dark one, just
    // past the line.
    const RgbColor darker = withContrast(0x00FFFF, 0xFFFFFF);
    EXPECT_GE(contrastRatio(darker, 0xFFFFFF), kMinTextContrast);
    EXPECT_LT(contrastRatio(darker, 0xFFFFFF), kMinTextContrast + 0.2);
    const RgbColor lighter = withContrast(0x800000, 0x101010);
    EXPECT_GE(contrastRatio(lighter, 0x101010), kMinTextContrast);
    EXPECT_GT(relativeLuminance(lighter), relativeLuminance(0x800000));
}

TEST(ModernPage, IsOneSelfContainedUtf8File) {
    Project doc = modernProject();
    doc.setTitle("Caf\u00E9 <b>links</b>");
    doc.addLink(0, "Se\u00F1or <i>Search</i>", "https://example.org/?a=1&b=2");
    doc.addLink(1, "Local", "file:///home/me/notes.txt");
    const std::string page = renderModernPage(doc);
    EXPECT_EQ(
        page.rfind("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">", 0), 0u);
    EXPECT_NE(page.find("<title>Caf\u00E9 <b>links</b></title>"), std::string::npos);
    EXPECT_NE(page.find("<h1>Caf\u00E9 <b>links</b></h1>"), std::string::npos);
    // The user's markup as the classic page writes it, in UTF-8.
    EXPECT_NE(page.find("href=\"https://example.org/?a=1&b=2\">Se\u00F1or <i>Search</i></a>"),
              std::string::npos);
    EXPECT_EQ(page.find("\r"), std::string::npos);
    // Nothing is loaded from anywhere: no src, no stylesheet or script link,
    // no url() but data: ones.
    EXPECT_EQ(page.find(" src="), std::string::npos);
    EXPECT_EQ(page.find("<link rel=\"stylesheet\""), std::string::npos);
    EXPECT_EQ(page.find("<script src"), std::string::npos);
    EXPECT_EQ(page.find("@import"), std::string::npos);
    EXPECT_EQ(count(page, "url("), count(page, "url(data:"));
    // Ten groups, two with links: two cards.
    EXPECT_EQ(count(page, "<section "), 2u);
    EXPECT_EQ(page.find("<script>"), page.rfind("<script>"));
}

TEST(ModernPage, AttributesAndStyleSheetAreSafeWhateverTheProjectHolds) {
    Project doc = modernProject();
    PageStyle style = doc.pageStyle();
    style.searchUrl = "https://s.example/?q=%s&x=\"'<>";
    doc.setPageStyle(style);
    doc.setTitleFace("Evil\"}</style><script>alert(1)</script>");
    doc.setTopImage("/pics/a\"b.png");
    doc.addLink(0, "quote", "https://e.example/\" onmouseover=\"alert(1)");
    doc.addLink(0, "cut", std::string("https://cut.example/\0rest", 25));
    doc.addLink(0, "bad \xFF\xFE bytes", "https://x.example/");
    const std::string page = renderModernPage(doc);
    EXPECT_NE(page.find("href=\"https://e.example/&quot; onmouseover=&quot;alert(1)\""),
              std::string::npos);
    EXPECT_NE(page.find("href=\"https://cut.example/\">"), std::string::npos);
    EXPECT_NE(page.find("data-search=\"https://s.example/?q=%s&amp;x=&quot;&#39;&lt;&gt;\""),
              std::string::npos);
    EXPECT_NE(page.find("src=\"file:///pics/a&quot;b.png\""), std::string::npos);
    EXPECT_EQ(count(page, "</style>"), 1u);
    EXPECT_EQ(count(page, "<script>"), 1u);
    EXPECT_TRUE(isValidUtf8(page));
    EXPECT_NE(page.find("bad \uFFFD\uFFFD bytes"), std::string::npos);
}

TEST(ModernPage, ThemeSettingPicksTheColourRules) {
    struct Case {
        PageTheme theme;
        const char* scheme;
        size_t mediaRules;
    };
    for (const Case& c : {Case{PageTheme::System, "light dark", 1},
                          Case{PageTheme::Light, "light", 0}, Case{PageTheme::Dark, "dark", 0}}) {
        Project doc = modernProject();
        PageStyle style = doc.pageStyle();
        style.theme = c.theme;
        doc.setPageStyle(style);
        doc.addLink(0, "a", "https://a.example/");
        const std::string page = renderModernPage(doc);
        EXPECT_NE(page.find(std::string("<meta name=\"color-scheme\" content=\"") + c.scheme),
                  std::string::npos);
        EXPECT_EQ(count(page, "@media (prefers-color-scheme:dark)"), c.mediaRules);
        const std::string dark = "--bg:" + cssColor(darkPalette(doc).background);
        EXPECT_EQ(page.find(dark) != std::string::npos, c.theme != PageTheme::Light);
    }
}

TEST(ModernPage, IconsAreEmbeddedOncePerHostAndTilesFillTheRest) {
    Project doc = modernProject();
    doc.addLink(0, "One", "https://www.Example.org/one");
    doc.addLink(0, "Two", "https://example.org:8443/two");
    doc.addLink(1, "Other", "http://user@other.example/");
    doc.addLink(1, "Huge", "https://huge.example/");
    doc.addLink(1, "Hostile", "https://hostile.example/");
    doc.addLink(1, "Mail", "mailto:me@example.org");
    doc.addLink(2, "Bulleted", "https://example.org/three");
    editHeading(doc, 2, [](LinkGroup& g) { g.bullet = "/pics/dot.png"; });
    PageIcons icons;
    const std::string small = "data:image/png;base64,iVBORw0KGgo=";
    icons.byHost["example.org"] = small;
    icons.byHost["huge.example"] = "data:image/png;base64," + std::string(kMaxIconUriBytes, 'A');
    icons.byHost["hostile.example"] = "data:image/png;base64,x);}</style><script>";
    const std::string page = renderModernPage(doc, icons);
    EXPECT_EQ(count(page, small), 1u);
    EXPECT_EQ(count(page, "class=\"l ic f0\""), 2u);
    EXPECT_EQ(count(page, "base64,AAAA"), 0u);
    EXPECT_EQ(count(page, "</style>"), 1u);
    EXPECT_NE(page.find("data-t=\"O\" href=\"http://user@other.example/\""), std::string::npos);
    EXPECT_NE(page.find("data-t=\"H\" href=\"https://huge.example/\""), std::string::npos);
    EXPECT_NE(page.find("data-t=\"M\" href=\"mailto:"), std::string::npos);
    // A group with a bullet shows the user's picture instead.
    EXPECT_NE(page.find("<img class=\"b\" src=\"file:///pics/dot.png\" alt=\"\"><a class=\"l\" "
                        "href=\"https://example.org/three\">"),
              std::string::npos);

    PageStyle off = doc.pageStyle();
    off.icons = false;
    doc.setPageStyle(off);
    const std::string plain = renderModernPage(doc, icons);
    EXPECT_EQ(plain.find(small), std::string::npos);
    EXPECT_EQ(plain.find("data-t="), std::string::npos);
}

TEST(ModernPage, IconHostNamesTheSite) {
    const std::pair<const char*, const char*> cases[] = {
        {"https://www.Example.org:8080/x?y#z", "example.org"},
        {"http://user:pw@Host.example/", "host.example"},
        {"https://[::1]:8080/", "[::1]"},
        {"ftp://files.example", "files.example"},
        {"mailto:me@example.org", ""},
        {"notes/index.htm", ""},
        {"", ""},
    };
    for (const auto& [url, host] : cases)
        EXPECT_EQ(iconHost(url), host) << url;
}

TEST(ModernPage, FilterBoxAndGridFollowTheProject) {
    Project doc = modernProject();
    doc.setColumns(4);
    doc.addLink(0, "a", "https://a.example/");
    EXPECT_NE(renderModernPage(doc).find(":root{--cols:4;"), std::string::npos);
    EXPECT_NE(renderModernPage(doc).find("<form id=\"find\" role=\"search\" hidden>"),
              std::string::npos);
    doc.setColumns(0);
    EXPECT_NE(renderModernPage(doc).find(":root{--cols:1;"), std::string::npos);
    PageStyle style = doc.pageStyle();
    style.filterBox = false;
    doc.setPageStyle(style);
    EXPECT_EQ(renderModernPage(doc).find("id=\"find\""), std::string::npos);
}

TEST(ModernPage, WritingFollowsTheLookAndLeavesTheClassicPageAlone) {
    TempDir dir;
    Project doc = modernProject();
    doc.addLink(0, "a", "https://a.example/");
    ASSERT_TRUE(doc.writePage(dir.file("project.htm")).ok());
    EXPECT_EQ(readFileBytes(dir.file("project.htm")), renderModernPage(doc));
    ASSERT_TRUE(writePageLook(doc, dir.file("classic.htm"), PageLook::Classic).ok());
    EXPECT_EQ(readFileBytes(dir.file("classic.htm")), renderPage(doc));
    Project classic;
    classic.addLink(0, "a", "https://a.example/");
    EXPECT_EQ(renderPage(classic), renderPage(doc));
}
