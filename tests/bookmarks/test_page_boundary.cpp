// Text and URLs from outside the program reach the start page only as text
// and as links of the allowed kinds, whichever way they come in.
#include "TestUtil.h"
#include "bookmarks/BookmarkReader.h"
#include "bookmarks/ExportTree.h"
#include "bookmarks/ImportPlan.h"
#include "bookmarks/NetscapeBookmarkReader.h"
#include "bookmarks/NetscapeBookmarkWriter.h"
#include "bookmarks/ProjectBookmarks.h"
#include "bookmarks/XbelReader.h"
#include "bookmarks/XbelWriter.h"
#include "core/LinkFile.h"
#include "core/ModernPage.h"
#include "core/OutsideText.h"
#include "core/PageWriter.h"
#include "core/Project.h"
#include "fuzz/PageSafety.h"

#include <gtest/gtest.h>

namespace {

// The links every hostile source below holds, as the page must show them.
const std::vector<std::string> kShownLinks = {
    "<img src=x onerror=alert(1)>",
    "(https://example.com/x%22%3E%3Cscript%3Ealert(1)%3C/script%3E)",
    "Q&A <b>",
};

// The hostile sources are the bookmark fuzzers' seed files of that name.
std::string hostileSource(const char* format, const char* extension) {
    return readFileBytes(std::string(LINKFOLD_BOOKMARK_CORPUS) + "/" + format + "/hostile-markup." +
                         extension);
}

struct Imported {
    Project project;
    ImportPlan plan;
};

void importInto(const BookmarkTree& tree, Imported& out) {
    const std::vector<ImportFolder> folders = importFolders(tree, "Bookmarks");
    const std::vector<ExistingGroup> groups = existingGroups(out.project);
    out.plan = planImport(folders, defaultChoices(folders, groups),
                          std::vector<ImportMode>(groups.size()), groups);
    applyImportPlan(out.plan, out.project);
}

std::vector<std::string> groupTitles(const Project& project) {
    std::vector<std::string> titles;
    for (const LinkGroup& group : project.groups())
        if (!group.links.empty())
            titles.push_back(htmlToPlainText(group.title));
    return titles;
}

TEST(PageBoundary, HostileBookmarkFilesMakeAPageOfTextOnly) {
    const struct {
        const char* name;
        std::string source;
        std::vector<std::string> titles;
    } cases[] = {
        {"bookmarks.html",
         hostileSource("netscape", "html"),
         {"<script>alert(1)</script>", "Work <tools>"}},
        {"bookmarks.xbel",
         hostileSource("xbel", "xbel"),
         {"<script>alert(1)</script>", "Work <tools>"}},
        // The bar is the browser's own folder: the user's folders in it are the groups.
        {"Bookmarks",
         hostileSource("chromium", "json"),
         {"<script>alert(1)</script>", "Work <tools>"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const BookmarkReadResult read = readBookmarks(c.source, c.name);
        ASSERT_TRUE(read.ok()) << read.error;
        Imported imported;
        importInto(read.tree, imported);
        EXPECT_EQ(imported.plan.refusedLinks, 4u);
        EXPECT_NE(imported.plan.summary().find("4 script or data links skipped"),
                  std::string::npos);
        const std::string page = renderPage(imported.project);
        EXPECT_EQ(pagesafety::unsafeMarkup(page), "");
        EXPECT_EQ(pagesafety::linkTexts(page), kShownLinks);
        const std::string modern = renderModernPage(imported.project);
        EXPECT_EQ(pagesafety::unsafeModernMarkup(modern), "");
        EXPECT_EQ(pagesafety::linkTexts(modern, "utf-8"), kShownLinks);
        EXPECT_EQ(groupTitles(imported.project), c.titles);
    }
}

TEST(PageBoundary, DraggedAndDroppedLinksMakeAPageOfTextOnly) {
    Project project;
    std::vector<Link> links;
    // A browser drag: URL and title lines.
    for (const DroppedLink& l : parseMozUrl("https://example.com/a\"onmouseover=\"alert(1)\n"
                                            "<img src=x onerror=alert(1)>\n"
                                            "javascript:alert(1)\nScript\n"))
        if (std::optional<Link> link = outsideLink(l.title, l.url))
            links.push_back(*link);
    // Dropped link files, named after the file.
    const struct {
        const char* fileName;
        const char* content;
    } files[] = {
        {"Q&A <b>", "[InternetShortcut]\r\nURL=https://example.com/ok\r\n"},
        {"Evil", "[InternetShortcut]\r\nURL=javascript:alert(1)\r\n"},
        {"Desk <i>", "[Desktop Entry]\nType=Link\nURL=https://example.com/d\"x\n"},
    };
    for (const auto& f : files)
        if (std::optional<Link> link = linkFileLink(f.fileName, urlFromShortcutText(f.content)))
            links.push_back(*link);
    ASSERT_EQ(links.size(), 3u);
    project.setLinks(0, links);
    const std::string page = renderPage(project);
    EXPECT_EQ(pagesafety::unsafeMarkup(page), "");
    EXPECT_EQ(pagesafety::linkTexts(page),
              (std::vector<std::string>{"<img src=x onerror=alert(1)>", "Q&A <b>", "Desk <i>"}));
    const std::string modern = renderModernPage(project);
    EXPECT_EQ(pagesafety::unsafeModernMarkup(modern), "");
    EXPECT_EQ(pagesafety::linkTexts(modern, "utf-8"),
              (std::vector<std::string>{"<img src=x onerror=alert(1)>", "Q&A <b>", "Desk <i>"}));
}

TEST(PageBoundary, AttributesStaySafeWhateverTheProjectHolds) {
    // A project written by hand or by another program: quotes in every
    // attribute value the page writes.
    Project project;
    project.setTopImage("https://example.com/top.png\" onerror=\"alert(1)");
    project.setTitleFace("Arial\" onmouseover=\"alert(1)");
    LinkGroup group = project.group(0);
    group.face = "Serif\" onclick=\"alert(1)";
    group.bullet = "https://example.com/b.png\" onload=\"alert(1)";
    project.setGroupHeading(0, group);
    project.setLinks(0, {Link("Hand", "https://example.com/a\"onmouseover=\"alert(1)")});
    const std::string page = renderPage(project);
    EXPECT_EQ(pagesafety::unsafeMarkup(page), "");
    EXPECT_NE(page.find("href=\"https://example.com/a&quot;onmouseover=&quot;alert(1)\""),
              std::string::npos);
    PageStyle style;
    style.searchUrl = "https://s.example/?q=%s\" onfocus=\"alert(1)";
    project.setPageStyle(style);
    const std::string modern = renderModernPage(project);
    EXPECT_EQ(pagesafety::unsafeModernMarkup(modern), "");
    EXPECT_NE(modern.find("href=\"https://example.com/a&quot;onmouseover=&quot;alert(1)\""),
              std::string::npos);
}

TEST(PageBoundary, ImportExportImportKeepsEveryTitle) {
    const BookmarkReadResult read =
        readBookmarks(hostileSource("netscape", "html"), "bookmarks.html");
    ASSERT_TRUE(read.ok());
    Imported first;
    importInto(read.tree, first);
    for (const bool xbel : {false, true}) {
        SCOPED_TRACE(xbel ? "XBEL" : "HTML");
        const BookmarkTree exported = exportTree(exportGroups(first.project));
        const BookmarkReadResult back =
            xbel ? readXbel(writeXbel(exported), "out.xbel")
                 : readNetscapeBookmarks(writeNetscapeBookmarks(exported), "out.html");
        ASSERT_TRUE(back.ok()) << back.error;
        Imported second;
        importInto(back.tree, second);
        for (int g = 0; g < 10; ++g) {
            EXPECT_EQ(second.project.group(g).title, first.project.group(g).title) << g;
            EXPECT_EQ(second.project.links(g), first.project.links(g)) << g;
        }
    }
}

} // namespace
