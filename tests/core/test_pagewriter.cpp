#include "TestUtil.h"

#include "core/PageWriter.h"
#include "core/Project.h"
#include "core/ProjectFile.h"

#include <sys/stat.h>

namespace {

Project workedExample() {
    Project doc;
    doc.setTitle("My Links");
    doc.setSubtitle("Daily");
    doc.setTitleStyle(1);
    doc.setTopImage("C:\\pics\\logo.gif");
    editHeading(doc, 0, [](LinkGroup& g) {
        g.title = "News";
        g.bullet = "dot.gif";
        g.style = 2;
        g.textColor = 0x00FFFFFF;
    });
    doc.addLink(0, "Alpha", "alpha.htm");
    doc.addLink(0, "Beta", "beta.htm");
    doc.addLink(0, "Gamma", "gamma.htm");
    return doc;
}

std::string lines(std::initializer_list<const char*> lines) {
    std::string out;
    for (const char* l : lines)
        out += std::string(l) + "\r\n";
    return out;
}

const std::string kHead = lines({"<html>", "", "<head><title>My Links</title></head>", "",
                                 "<body bgcolor=\"#FFFFFF\" link=\"#000000\" vlink=\"#000080\">",
                                 "<basefont size=4>", "", ""});

size_t count(const std::string& hay, const std::string& needle) {
    size_t n = 0;
    for (size_t p = hay.find(needle); p != std::string::npos; p = hay.find(needle, p + 1))
        ++n;
    return n;
}

} // namespace

TEST(PageWriter, WorkedExampleByteForByte) {
    std::string expected =
        kHead + lines({"<img align=left src=\"file://C:/pics/logo.gif\"><br>",
                       "",
                       "",
                       "<font face=\"Arial\" color=\"#000000\" size=7>",
                       "<b>",
                       "<center>My Links<br><font size=6>Daily<br clear=left></font></center>",
                       "</b>",
                       "</font>",
                       "",
                       "<table border>",
                       "",
                       "<tr><th rowspan=1 colspan=2>",
                       "<i><font face=\"Arial\" color=\"#000000\" size=4>News</i></font>",
                       "</th></tr>",
                       "",
                       "<tr>",
                       "<td width=400 align=left>",
                       "<img align=left src=\"dot.gif\" height=16 width=16>",
                       "<a href=\"alpha.htm\">  Alpha </a>",
                       "</td>",
                       "",
                       "<td width=400 align=left>",
                       "<img align=left src=\"dot.gif\" height=16 width=16>",
                       "<a href=\"beta.htm\">  Beta </a>",
                       "</td>",
                       "",
                       "</tr>",
                       "<tr>",
                       "<td width=400 align=left>",
                       "<img align=left src=\"dot.gif\" height=16 width=16>",
                       "<a href=\"gamma.htm\">  Gamma </a>",
                       "</td>",
                       "",
                       "<td width=400 align=left>",
                       "</td>",
                       "",
                       "</tr>",
                       "</table><br><br>",
                       "</body>",
                       "</html>"});
    std::string page = renderPage(workedExample());
    EXPECT_EQ(page.size(), 906u);
    EXPECT_EQ(count(page, "\r\n"), 48u);
    EXPECT_EQ(page, expected);
}

TEST(PageWriter, EmptyProjectHasOnlyHeadAndEnd) {
    Project doc;
    std::string page = renderPage(doc);
    EXPECT_EQ(page, lines({"<html>", "", "<head><title>Start Page</title></head>", "",
                           "<body bgcolor=\"#FFFFFF\" link=\"#000000\" vlink=\"#000080\">",
                           "<basefont size=4>", "", "", "", "",
                           "<font face=\"Arial\" color=\"#000000\" size=7>",
                           "<center><br><font size=6><br clear=left></font></center>", "</font>",
                           "", "</body>", "</html>"}));
}

TEST(PageWriter, StyleTags) {
    const struct {
        int style;
        const char* open;
        const char* close;
    } cases[] = {{0, "", ""}, {1, "<b>", "</b>"}, {2, "<i>", "</i>"}, {3, "<b><i>", "</b></i>"},
                 {4, "", ""}, {-1, "", ""}};
    for (const auto& c : cases) {
        StyleTags t = styleTags(c.style);
        EXPECT_STREQ(t.open, c.open) << c.style;
        EXPECT_STREQ(t.close, c.close) << c.style;
    }
    // A plain group after a bold one, under a bold-italic title, has no tags.
    Project doc;
    doc.setTitleStyle(3);
    editHeading(doc, 0, [&](LinkGroup& g) { g.style = 1; });
    doc.addLink(0, "a", "a");
    doc.addLink(1, "b", "b");
    std::string page = renderPage(doc);
    EXPECT_NE(page.find("<b><i>\r\n<center>"), std::string::npos);
    EXPECT_NE(page.find("</center>\r\n</b></i>\r\n</font>"), std::string::npos);
    EXPECT_NE(page.find("colspan=2>\r\n<font face=\"Arial\" color=\"#000000\" size=4></font>"),
              std::string::npos);
}

TEST(PageWriter, HeaderColourAgainstBackground) {
    const struct {
        RgbColor background, text;
        const char* expected;
    } cases[] = {
        {0x000000, 0x000000, "\"#FFFFFF\""},
        {0xFFFFFF, 0xFFFFFF, "\"#000000\""},
        {0x123456, 0x123456, "\"#000000\""},
        {0x123456, 0x123457, "\"#573412\""},
    };
    for (const auto& c : cases) {
        Project doc;
        doc.setBackgroundColor(c.background);
        editHeading(doc, 0, [&](LinkGroup& g) { g.textColor = c.text; });
        doc.addLink(0, "a", "b");
        EXPECT_NE(renderPage(doc).find(std::string("color=") + c.expected + " size=4>"),
                  std::string::npos)
            << std::hex << c.background << " " << c.text;
    }
    EXPECT_EQ(formatHtmlColor(0xFF800000), "\"#000080\"");
}

TEST(PageWriter, RowsAndColumns) {
    const struct {
        int columns;
        int links;
        int effective;
        int width;
        int rows;
    } cases[] = {
        {2, 4, 2, 400, 3},  {2, 3, 2, 400, 2},   {1, 2, 1, 800, 3},
        {3, 1, 3, 266, 1},  {5, 5, 5, 160, 2},   {0, 2, 1, 800, 3},
        {-3, 1, 1, 800, 2}, {801, 1, 800, 1, 1}, {800, 1, 800, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.columns);
        Project doc;
        doc.setColumns(c.columns);
        doc.setBorders(0);
        for (int i = 0; i < c.links; ++i)
            doc.addLink(0, "d", "u");
        std::string page = renderPage(doc);
        EXPECT_EQ(count(page, "<tr>\r\n"), size_t(c.rows));
        EXPECT_EQ(count(page, "<td width=" + std::to_string(c.width) + " align=left>"),
                  size_t(c.rows * c.effective));
        EXPECT_NE(page.find("colspan=" + std::to_string(c.effective) + ">"), std::string::npos);
        EXPECT_NE(page.find("<table >\r\n"), std::string::npos);
    }
}

TEST(PageWriter, ImageUrls) {
    const struct {
        const char* path;
        const char* url;
    } cases[] = {
        {"C:\\images\\logo.gif", "file://C:/images/logo.gif"},
        {"logo.gif", "logo.gif"},
        {"images\\logo.gif", "images/logo.gif"},
        {"\\\\server\\share\\x.gif", "file:////server/share/x.gif"},
        {"C:logo.gif", "file://C:logo.gif"},
        {"/home/me/a b.gif", "file:///home/me/a b.gif"},
        {"http://example.com/a.gif", "http://example.com/a.gif"},
        {"https://example.com/a.gif", "https://example.com/a.gif"},
        {"file:///tmp/a.gif", "file:///tmp/a.gif"},
        {"data:image/gif;base64,R0lG", "data:image/gif;base64,R0lG"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pathToUrl(c.path), c.url) << c.path;
}

TEST(PageWriter, BulletsMarkupNulAndNewlines) {
    Project doc;
    editHeading(doc, 0, [&](LinkGroup& g) { g.bullet = "b.gif"; });
    doc.addLink(0, "<b>x & \"y\"</b>", "a?b=1&c=2");
    doc.addLink(0, std::string("cut\0here", 8), "line\nbreak");
    std::string page = renderPage(doc);
    EXPECT_EQ(count(page, "<img align=left src=\"b.gif\" height=16 width=16>"), 2u);
    EXPECT_NE(page.find("<a href=\"a?b=1&c=2\">  <b>x & \"y\"</b> </a>"), std::string::npos);
    EXPECT_NE(page.find("<a href=\"line\r\nbreak\">  cut </a>"), std::string::npos);
}

TEST(PageWriter, WritesFileAndReportsFailure) {
    TempDir dir;
    const std::string path = dir.file("page.htm");
    ASSERT_TRUE(writeStartPage(workedExample(), path).ok());
    EXPECT_EQ(readFileBytes(path), renderPage(workedExample()));
    // A directory and a read-only file: nothing written, failure reported.
    EXPECT_EQ(writeStartPage(workedExample(), dir.path().string()).cause,
              FileErrorCause::AccessDenied);
    const std::string ro = dir.file("ro.htm");
    writeFileBytes(ro, "old");
    ::chmod(ro.c_str(), 0444);
    EXPECT_EQ(fileErrorText(writeStartPage(workedExample(), ro)),
              "Access to " + ro + " was denied.");
    EXPECT_EQ(readFileBytes(ro), "old");
}

// The page written while the project file is read, one group at a time in
// the same memory, is the page of the loaded project: a large group followed
// by smaller ones leaves nothing of itself behind, and texts in other
// scripts, bullets and empty groups come out as they do from the editor.
TEST(PageWriter, WrittenWhileReadingIsThePageOfTheLoadedProject) {
    Project mixed;
    mixed.setColumns(3);
    mixed.setBorders(1);
    for (int i = 0; i < 3000; ++i)
        mixed.addLink(
            1, "a long description of link " + std::to_string(i) + " \xE2\x80\x94 caf\xC3\xA9",
            "https://www.example.com/a/rather/long/path/" + std::to_string(i));
    mixed.addLink(4, "short", "s.htm");
    mixed.addLink(6, "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", "https://\xE6\x97\xA5.example/");
    editHeading(mixed, 6, [](LinkGroup& g) {
        g.title = "Wide";
        g.bullet = "dot.gif";
    });
    mixed.addLink(9, "last", "");
    const struct {
        const char* name;
        Project doc;
    } cases[] = {{"worked example", workedExample()}, {"mixed", mixed}, {"empty", Project()}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        writeFileBytes(dir.file("p.lfp"), serializeProject(c.doc));
        Project loaded;
        ASSERT_TRUE(loaded.load(dir.file("p.lfp")).ok());
        ProjectFileHandle file;
        ASSERT_TRUE(openProjectFile(dir.file("p.lfp"), file).ok());
        Project header;
        const FileResult r =
            writeStartPageWhileReading(file, dir.file("p.lfp"), header, dir.file("p.htm"),
                                       [](const Project&) { return true; });
        ASSERT_TRUE(r.ok()) << fileErrorText(r);
        EXPECT_EQ(readFileBytes(dir.file("p.htm")), renderPage(loaded));
        EXPECT_EQ(header.title(), loaded.title());
    }
}
