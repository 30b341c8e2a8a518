// The modern page: its themes keep text readable whatever the project's
// colours, its markup is safe whatever the project holds, it carries its
// icons once per host and fetches nothing; the classic page is untouched.
#include "TestUtil.h"

#include "core/Codepage.h"
#include "core/HtmlFragment.h"
#include "core/ModernPage.h"
#include "core/PageColors.h"
#include "core/PageWords.h"
#include "core/PageWriter.h"
#include "core/ProjectExtension.h"
#include "core/SiteName.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <set>

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
    style.language = "en";
    doc.setPageStyle(style);
    return doc;
}

std::string balanced(std::string_view html, FragmentPlace place = FragmentPlace::Link) {
    std::string out;
    appendBalancedHtml(out, html, place);
    return out;
}

// Sets the environment variables for its life, then puts them back.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::initializer_list<std::pair<const char*, const char*>> values) {
        for (const auto& [name, value] : values) {
            const char* old = std::getenv(name);
            m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            if (value)
                ::setenv(name, value, 1);
            else
                ::unsetenv(name);
        }
    }
    ~ScopedEnvironment() {
        for (const auto& [name, value] : m_saved) {
            if (value)
                ::setenv(name, value->c_str(), 1);
            else
                ::unsetenv(name);
        }
    }

private:
    std::vector<std::pair<const char*, std::optional<std::string>>> m_saved;
};

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
    // The tab shows the title's text; the page its markup.
    EXPECT_NE(page.find("<title>Caf\u00E9 links</title>"), std::string::npos);
    EXPECT_NE(page.find("<h1 dir=\"auto\">Caf\u00E9 <b>links</b></h1>"), std::string::npos);
    // No host is looked up ahead of a click.
    EXPECT_NE(page.find("<meta http-equiv=\"x-dns-prefetch-control\" content=\"off\">"),
              std::string::npos);
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
    EXPECT_NE(renderModernPage(doc).find("<form id=\"find\" role=\"search\" hidden data-none="),
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

TEST(ModernPage, UserMarkupStaysInsideItsElement) {
    struct Case {
        const char* html;
        const char* written;
        FragmentPlace place = FragmentPlace::Link;
    };
    const Case cases[] = {
        // Text without markup is written as the classic page writes it.
        {"Plain & simple > all", "Plain & simple > all"},
        // Unclosed, stray and crossed tags are closed where they end.
        {"<i>open italic", "<i>open italic</i>"},
        {"x<b", "x<b></b>"},
        {"a</i>b</div>c", "abc"},
        {"<b>bold <i>both</b> after", "<b>bold <i>both</i></b> after"},
        {"</a></li></ul></section>tail", "tail"},
        // What the user wrote still renders.
        {"<span style=\"color:#c00\">red</span> &amp; &nbsp;&copy; &lt;tag&gt;",
         "<span style=\"color:#c00\">red</span> &amp; \u00A0\u00A9 &lt;tag&gt;"},
        {"<img src=\"pics/a.png\" alt=\"A\"> <br>next",
         "<img src=\"pics/a.png\" alt=\"A\"> <br>next"},
        {"<span title='say \"hi\"'>q</span>", "<span title=\"say &quot;hi&quot;\">q</span>"},
        // What would end the page's own element is written as a span.
        {"<a href=\"https://in.example/\">inner</a>",
         "<span href=\"https://in.example/\">inner</span>"},
        {"one<li>two", "one<span>two</span>"},
        {"<ul><li>kept</li></ul>", "<ul><li>kept</li></ul>"},
        {"<h3>sub</h3>", "<span>sub</span>", FragmentPlace::Heading},
        {"<h3>sub</h3>", "<h3>sub</h3>", FragmentPlace::Block},
        {"<plaintext>rest", "<span>rest</span>"},
        // Comments go, and so does what acts on the whole page.
        {"a<!-- never closed", "a"},
        {"a<base href=\"https://elsewhere.example/\"><meta http-equiv=\"refresh\" content=\"0\">b",
         "ab"},
        {"<script>if (a < b) x()</script>", "<script></script>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(balanced(c.html, c.place), c.written) << c.html;

    // On the page: every description ends in its own link and list item.
    Project doc = modernProject();
    editHeading(doc, 0, [](LinkGroup& g) { g.title = "<b>Unclosed title"; });
    for (const Case& c : cases)
        doc.addLink(0, c.html, "https://a.example/");
    const std::string page = renderModernPage(doc);
    EXPECT_NE(page.find("<h2 id=\"h0\" dir=\"auto\"><b>Unclosed title</b></h2>"),
              std::string::npos);
    EXPECT_EQ(count(page, "<li dir=\"auto\">"), std::size(cases));
    EXPECT_EQ(count(page, "</a></li>\n"), std::size(cases));
    EXPECT_EQ(count(page, "<main>"), 1u);
    EXPECT_EQ(count(page, "</section>"), 1u);
}

TEST(ModernPage, LanguageGivesTheWordsAndDirection) {
    Project doc = modernProject();
    doc.addLink(0, "a", "https://a.example/");
    editHeading(doc, 1, [](LinkGroup& g) { g.title = "\u0623\u062E\u0628\u0627\u0631"; });
    doc.addLink(1, "\u0645\u0628\u0627\u0634\u0631\u0629 2024!", "https://b.example/");
    auto withLanguage = [&](const char* language) {
        PageStyle style = doc.pageStyle();
        style.language = language;
        doc.setPageStyle(style);
        return renderModernPage(doc);
    };
    const std::string german = withLanguage("de-AT");
    EXPECT_NE(german.find("<html lang=\"de-AT\">"), std::string::npos);
    EXPECT_NE(german.find("<label for=\"q\">Links filtern</label>"), std::string::npos);
    EXPECT_NE(german.find("data-many=\"%d Links passen.\""), std::string::npos);
    EXPECT_NE(german.find("aria-label=\"Gruppe 1\""), std::string::npos);
    // A language without words of its own: its tag and direction, English words.
    const std::string arabic = withLanguage("ar");
    EXPECT_NE(arabic.find("<html lang=\"ar\" dir=\"rtl\">"), std::string::npos);
    EXPECT_NE(arabic.find("<label for=\"q\">Filter links</label>"), std::string::npos);
    // Every user text finds its own direction.
    EXPECT_NE(arabic.find("<h2 id=\"h1\" dir=\"auto\">"), std::string::npos);
    EXPECT_EQ(count(arabic, "<li dir=\"auto\">"), 2u);

    // By default, the language the program runs in.
    struct Env {
        const char *language, *lcAll, *lang, *expected;
    };
    for (const Env& e :
         {Env{nullptr, nullptr, "de_DE.UTF-8", "de"}, Env{"fr:de", nullptr, "fr_FR.UTF-8", "de"},
          Env{"de", nullptr, "C", "en"}, Env{nullptr, "en_GB.UTF-8", "de_DE", "en"},
          Env{nullptr, nullptr, "fr_FR.UTF-8", "en"}, Env{nullptr, nullptr, nullptr, "en"}}) {
        ScopedEnvironment env{{"LANGUAGE", e.language},
                              {"LC_ALL", e.lcAll},
                              {"LC_MESSAGES", nullptr},
                              {"LANG", e.lang}};
        EXPECT_EQ(environmentLanguage(), e.expected) << (e.lang ? e.lang : "(none)");
        EXPECT_NE(withLanguage("").find(std::string("<html lang=\"") + e.expected + "\">"),
                  std::string::npos);
    }
    // The editor passes the language it runs in; the page style's own wins.
    EXPECT_NE(renderModernPage(doc, {}, "de").find("<html lang=\"de\">"), std::string::npos);
    EXPECT_NE(withLanguage("en").find("<html lang=\"en\">"), std::string::npos);
    EXPECT_NE(renderModernPage(doc, {}, "de").find("<html lang=\"en\">"), std::string::npos);
}

TEST(ModernPage, LanguageIsKeptInTheExtensionBlock) {
    ProjectExtras extras;
    extras.pageStyle.language = "de";
    const std::string block = encodeExtensionBlock(extras);
    EXPECT_NE(block.find(std::string("PLNG\x02\0\0\0de", 10)), std::string::npos);
    ProjectExtras read;
    EXPECT_TRUE(decodeExtensionBlock(block, read));
    EXPECT_EQ(read, extras);
    // The default writes nothing; a tag the page cannot carry is dropped.
    EXPECT_EQ(encodeExtensionBlock(ProjectExtras{}), "");
    ProjectExtras bad;
    EXPECT_FALSE(decodeExtensionBlock(std::string("LFPX\x01PLNG\x04\0\0\0d\"e>", 17), bad));
    EXPECT_EQ(bad.pageStyle.language, "");
}

TEST(ModernPage, TilesShowTheSitesLetterInItsOwnColour) {
    const std::pair<const char*, const char*> cases[] = {
        {"en.wikipedia.org", "W"},
        {"docs.python.org", "P"},
        {"bbc.co.uk", "B"},
        {"news.bbc.co.uk", "B"},
        {"someone.github.io", "S"}, // a suffix of the list's private part
        {"xn--bung-zra.de", "\u00DC"},
        {"\u00FCbung.de", "\u00DC"},
        {"192.168.1.20", "#"},
        {"[::1]", "#"},
        {"localhost", "L"},
        {"nas", "N"},
        {"123.example", "1"},
    };
    for (const auto& [host, letter] : cases)
        EXPECT_EQ(siteTile(host, std::string("https://") + host + "/").letter, letter) << host;
    EXPECT_EQ(siteTile("", "mailto:me@example.org").letter, "M");
    EXPECT_EQ(siteTile("", "notes/index.htm").letter, "N");
    // One colour per site, whatever its subdomain; other sites spread out.
    EXPECT_EQ(siteTile("en.wikipedia.org", "").colour, siteTile("de.wikipedia.org", "").colour);
    std::set<int> colours;
    for (const char* host : {"a.example", "b.example", "c.example", "d.example", "e.example",
                             "f.example", "g.example", "h.example"})
        colours.insert(siteTile(host, "").colour);
    EXPECT_GE(colours.size(), 4u);
    // Every tile's white letter is readable.
    for (int i = 0; i < kTileColours; ++i)
        EXPECT_GE(contrastRatio(tileColour(i), 0xFFFFFF), kMinTextContrast) << i;

    // On the page: each site read once, its letter and colour class on every link.
    Project doc = modernProject();
    doc.addLink(0, "A", "https://en.wikipedia.org/wiki/A");
    doc.addLink(0, "B", "https://de.wikipedia.org/wiki/B");
    const std::string page = renderModernPage(doc);
    const std::string tile = "class=\"l ic t" +
                             std::to_string(siteTile("wikipedia.org", "").colour) +
                             "\" data-t=\"W\" href=\"https://";
    EXPECT_EQ(count(page, tile), 2u);
}

TEST(ModernPage, LinkHostsAreDistinct) {
    Project doc;
    doc.addLink(0, "a", "https://www.Example.org/a");
    doc.addLink(0, "b", "https://example.org:8443/b");
    doc.addLink(1, "c", "https://other.example/");
    doc.addLink(1, "d", "https://www.Example.org/d");
    doc.addLink(1, "e", "mailto:me@example.org");
    EXPECT_EQ(linkHosts(doc), (std::vector<std::string>{"example.org", "other.example"}));
}

TEST(PageColors, DarkIsNeutralAndControlsAndTextStandOut) {
    struct Set {
        const char* name;
        RgbColor background;
    };
    // Colours as 0x00BBGGRR.
    for (const Set& s : {Set{"white", 0xFFFFFF}, Set{"cream", 0xDCF8FF}, Set{"yellow", 0x00FFFF},
                         Set{"navy", 0x400000}, Set{"mid grey", 0x777777}}) {
        SCOPED_TRACE(s.name);
        Project doc;
        doc.setBackgroundColor(s.background);
        const PagePalette dark = darkPalette(doc);
        // No brown or other tint: the channels stay within a few steps.
        const int r = dark.background & 0xFF, g = (dark.background >> 8) & 0xFF,
                  b = (dark.background >> 16) & 0xFF;
        EXPECT_LE(std::max({r, g, b}) - std::min({r, g, b}), 6) << cssColor(dark.background);
        for (const PagePalette& p : {lightPalette(doc), dark, printPalette(doc)}) {
            EXPECT_GE(contrastRatio(p.control, p.surface), kMinControlContrast);
            EXPECT_GE(contrastRatio(p.control, p.background), kMinControlContrast);
            if (s.background != 0x777777) { // no colour reaches 7:1 on mid grey
                EXPECT_GE(contrastRatio(p.text, p.surface), kBodyTextContrast);
            }
        }
    }
    // Paper is white, whatever the page's colours.
    Project navy;
    navy.setBackgroundColor(0x400000);
    navy.setLinkColor(0xFFFF80);
    const PagePalette print = printPalette(navy);
    EXPECT_EQ(print.background, 0xFFFFFFu);
    EXPECT_GE(contrastRatio(print.link, 0xFFFFFF), kMinTextContrast);
}
