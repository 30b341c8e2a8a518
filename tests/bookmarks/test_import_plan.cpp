#include "BookmarkTestUtil.h"
#include "bookmarks/BookmarkReader.h"
#include "bookmarks/ImportPlan.h"
#include "bookmarks/ProjectBookmarks.h"
#include "core/Project.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

using Links = std::vector<GroupLink>;
using Lines = std::vector<std::string>;

// Each row as "  name: own/below", indented by depth.
Lines Rows(const std::vector<ImportFolder>& rows) {
    Lines lines;
    for (const ImportFolder& row : rows)
        lines.push_back(std::string(static_cast<size_t>(row.depth) * 2, ' ') + row.name + ": " +
                        std::to_string(row.links.size()) + "/" + std::to_string(row.linksBelow));
    return lines;
}

// "N title: url url ..." for each group that has links.
Lines GroupLines(const Project& doc) {
    Lines lines;
    for (int g = 0; g < doc.groupCount(); ++g) {
        const std::vector<Link> links = doc.links(g);
        if (links.empty())
            continue;
        std::string line = std::to_string(g + 1) + " " + doc.group(g).title + ":";
        for (const Link& link : links)
            line += " " + link.url;
        lines.push_back(line);
    }
    return lines;
}

ImportPlan ImportDefault(const BookmarkTree& tree, Project& doc) {
    const std::vector<ImportFolder> rows = importFolders(tree, "Bookmarks");
    const std::vector<ExistingGroup> groups = existingGroups(doc);
    const ImportPlan plan = planImport(rows, defaultChoices(rows, groups, heldGroups(rows, groups)),
                                       std::vector<ImportMode>(groups.size()), groups);
    applyImportPlan(plan, doc);
    return plan;
}

TEST(ImportRows, BrowserRootsAreUnwrappedAndTheUsersFoldersAreRowsAtAnyDepth) {
    BookmarkTree tree;
    const int menu = tree.addFolder(-1, "Bookmarks Menu", 0, false, true);
    tree.addLink(menu, "loose", "https://menu/1");
    const int work = tree.addFolder(menu, "Work");
    tree.addLink(work, "w & co", "https://work/1");
    const int tools = tree.addFolder(work, "Tools");
    tree.addLink(tools, "t", "https://tools/1");
    tree.addLink(tools, "script", "javascript:alert(1)");
    tree.addFolder(menu, "Empty");
    tree.addLink(menu, "loose again", "https://menu/2");
    const int bar = tree.addFolder(-1, "Bookmarks Toolbar", 0, true, true);
    const int news = tree.addFolder(bar, "News");
    tree.addLink(news, "n", "https://news/1");
    tree.addLink(-1, "outside", "https://outside/");
    const int plain = tree.addFolder(-1, "Plain folder"); // not a browser root
    tree.addLink(plain, "p", "https://plain/");

    const std::vector<ImportFolder> rows = importFolders(tree, "Unfiled");
    EXPECT_EQ(Rows(rows), (Lines{"Bookmarks Menu: 2/2", "Work: 1/2", "  Tools: 1/1", "Empty: 0/0",
                                 "News: 1/1", "Unfiled: 1/1", "Plain folder: 1/1"}));
    EXPECT_EQ(rows[1].links, (Links{{"w &amp; co", "https://work/1"}}));
    EXPECT_EQ(rows[2].parent, 1);
    EXPECT_EQ(rows[2].refusedLinks, 1u);
}

// The same bookmarks, read the ways a browser gives them, make the same rows
// and the same groups.
const char* const kFirefoxPlacesRows = R"(
INSERT INTO moz_places (id, url, title, guid) VALUES
  (10, 'https://www.mozilla.org/', 'Mozilla', 'p1'), (11, 'https://work.example/', 'W', 'p2'),
  (12, 'https://tools.example/', 'T', 'p3'), (13, 'https://read.example/', 'R', 'p4'),
  (14, 'https://www.debian.org/', 'D', 'p5'), (15, 'https://news.example/', 'N', 'p6');
INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, guid, dateAdded) VALUES
  (20, 1, 10, 2, 0, 'Mozilla', 'b0', 1700000001000000),
  (21, 2, NULL, 2, 1, 'Work', 'b1', 1700000002000000),
  (22, 1, 11, 21, 0, 'Wiki', 'b2', 1700000003000000),
  (23, 2, NULL, 21, 1, 'Tools', 'b3', 1700000004000000),
  (24, 1, 12, 23, 0, 'Tool', 'b4', 1700000005000000),
  (25, 2, NULL, 2, 2, 'Reading', 'b5', 1700000006000000),
  (26, 1, 13, 25, 0, 'Read', 'b6', 1700000007000000),
  (27, 1, 14, 3, 0, 'Debian', 'b7', 1700000008000000),
  (28, 2, NULL, 3, 1, 'News', 'b8', 1700000009000000),
  (29, 1, 15, 28, 0, 'News', 'b9', 1700000010000000);
)";

// As Firefox's "Export Bookmarks to HTML" writes the same profile.
const char* const kFirefoxExport = R"(<!DOCTYPE NETSCAPE-Bookmark-file-1>
<!-- This is an automatically generated file.
     It will be read and overwritten.
     DO NOT EDIT! -->
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<meta http-equiv="Content-Security-Policy"
      content="default-src 'self'; script-src 'none'; img-src data: *; object-src 'none'"></meta>
<TITLE>Bookmarks</TITLE>
<H1>Bookmarks Menu</H1>

<DL><p>
    <DT><A HREF="https://www.mozilla.org/" ADD_DATE="1700000001">Mozilla</A>
    <DT><H3 ADD_DATE="1700000002" LAST_MODIFIED="1700000002">Work</H3>
    <DL><p>
        <DT><A HREF="https://work.example/" ADD_DATE="1700000003">Wiki</A>
        <DT><H3 ADD_DATE="1700000004" LAST_MODIFIED="1700000004">Tools</H3>
        <DL><p>
            <DT><A HREF="https://tools.example/" ADD_DATE="1700000005">Tool</A>
        </DL><p>
    </DL><p>
    <DT><H3 ADD_DATE="1700000006" LAST_MODIFIED="1700000006">Reading</H3>
    <DL><p>
        <DT><A HREF="https://read.example/" ADD_DATE="1700000007">Read</A>
    </DL><p>
    <DT><H3 ADD_DATE="1700000000" LAST_MODIFIED="1700000009" PERSONAL_TOOLBAR_FOLDER="true">Bookmarks Toolbar</H3>
    <DL><p>
        <DT><A HREF="https://www.debian.org/" ADD_DATE="1700000008">Debian</A>
        <DT><H3 ADD_DATE="1700000009" LAST_MODIFIED="1700000009">News</H3>
        <DL><p>
            <DT><A HREF="https://news.example/" ADD_DATE="1700000010">News</A>
        </DL><p>
    </DL><p>
    <DT><H3 ADD_DATE="1700000000" LAST_MODIFIED="1700000000" UNFILED_BOOKMARKS_FOLDER="true">Other Bookmarks</H3>
    <DL><p>
    </DL><p>
</DL>
)";

// Chromium's Bookmarks file for a profile with nested folders on the bar and
// in Other bookmarks, children written before names as Chromium does.
const char* const kChromiumJson = R"({
   "checksum": "0123456789abcdef0123456789abcdef",
   "roots": {
      "bookmark_bar": {
         "children": [ {
            "date_added": "13345678901234567", "guid": "a1", "id": "5",
            "name": "Debian", "type": "url", "url": "https://www.debian.org/"
         }, {
            "children": [ {
               "date_added": "13345678901234999", "guid": "a3", "id": "7",
               "name": "Wiki", "type": "url", "url": "https://work.example/"
            }, {
               "children": [ {
                  "date_added": "13345678901235999", "guid": "a5", "id": "9",
                  "name": "Tool", "type": "url", "url": "https://tools.example/"
               } ],
               "date_added": "13345678901235000", "date_modified": "0", "guid": "a4", "id": "8",
               "name": "Tools", "type": "folder"
            } ],
            "date_added": "13345678901234000", "date_modified": "0", "guid": "a2", "id": "6",
            "name": "Work", "type": "folder"
         } ],
         "date_added": "13345678900000000", "date_modified": "0", "guid": "0bc5d13f", "id": "1",
         "name": "Bookmarks bar", "type": "folder"
      },
      "other": {
         "children": [ {
            "children": [ {
               "date_added": "13345678901236999", "guid": "a7", "id": "11",
               "name": "Read", "type": "url", "url": "https://read.example/"
            } ],
            "date_added": "13345678901236000", "date_modified": "0", "guid": "a6", "id": "10",
            "name": "Reading", "type": "folder"
         } ],
         "date_added": "13345678900000000", "date_modified": "0", "guid": "82b081ec", "id": "2",
         "name": "Other bookmarks", "type": "folder"
      },
      "synced": {
         "children": [  ],
         "date_added": "13345678900000000", "date_modified": "0", "guid": "4cf2e351", "id": "3",
         "name": "Mobile bookmarks", "type": "folder"
      }
   },
   "version": 1
}
)";

// As Chromium's bookmark manager exports the same profile: the bar as a
// marked folder, the contents of Other bookmarks at the top.
const char* const kChromiumExport = R"(<!DOCTYPE NETSCAPE-Bookmark-file-1>
<!-- This is an automatically generated file.
     It will be read and overwritten.
     DO NOT EDIT! -->
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<TITLE>Bookmarks</TITLE>
<H1>Bookmarks</H1>
<DL><p>
    <DT><H3 ADD_DATE="1700000000" LAST_MODIFIED="0" PERSONAL_TOOLBAR_FOLDER="true">Bookmarks bar</H3>
    <DL><p>
        <DT><A HREF="https://www.debian.org/" ADD_DATE="1700000001">Debian</A>
        <DT><H3 ADD_DATE="1700000002" LAST_MODIFIED="0">Work</H3>
        <DL><p>
            <DT><A HREF="https://work.example/" ADD_DATE="1700000003">Wiki</A>
            <DT><H3 ADD_DATE="1700000004" LAST_MODIFIED="0">Tools</H3>
            <DL><p>
                <DT><A HREF="https://tools.example/" ADD_DATE="1700000005">Tool</A>
            </DL><p>
        </DL><p>
    </DL><p>
    <DT><H3 ADD_DATE="1700000006" LAST_MODIFIED="0">Reading</H3>
    <DL><p>
        <DT><A HREF="https://read.example/" ADD_DATE="1700000007">Read</A>
    </DL><p>
</DL><p>
)";

TEST(ImportRows, TheSameBookmarksGiveTheSameGroupsWhicheverWayTheyAreRead) {
    TempDir dir;
    const std::string places = dir.file("places.sqlite");
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(places.c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, kFirefoxPlacesSchema, nullptr, nullptr, nullptr), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, kFirefoxPlacesRows, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
    writeFileBytes(dir.file("firefox.html"), kFirefoxExport);
    writeFileBytes(dir.file("Bookmarks"), kChromiumJson);
    writeFileBytes(dir.file("chromium.html"), kChromiumExport);

    const Lines firefoxRows{"Bookmarks Menu: 1/1",    "Work: 1/2", "  Tools: 1/1", "Reading: 1/1",
                            "Bookmarks Toolbar: 1/1", "News: 1/1"};
    const Lines firefoxGroups{
        "1 Bookmarks Menu: https://www.mozilla.org/",
        "2 Work: https://work.example/ https://tools.example/",
        "3 Reading: https://read.example/",
        "4 Bookmarks Toolbar: https://www.debian.org/",
        "5 News: https://news.example/",
    };
    const Lines chromiumRows{"Bookmarks bar: 1/1", "Work: 1/2", "  Tools: 1/1", "Reading: 1/1"};
    const Lines chromiumGroups{
        "1 Bookmarks bar: https://www.debian.org/",
        "2 Work: https://work.example/ https://tools.example/",
        "3 Reading: https://read.example/",
    };
    const struct {
        const char* file;
        const Lines& rows;
        const Lines& groups;
    } cases[] = {
        {"places.sqlite", firefoxRows, firefoxGroups},
        {"firefox.html", firefoxRows, firefoxGroups},
        {"Bookmarks", chromiumRows, chromiumGroups},
        {"chromium.html", chromiumRows, chromiumGroups},
    };
    for (const auto& c : cases) {
        const BookmarkReadResult read = readBookmarkFile(dir.file(c.file));
        ASSERT_TRUE(read.ok()) << read.error;
        EXPECT_EQ(Rows(importFolders(read.tree, "Bookmarks")), c.rows) << c.file;
        Project doc;
        ImportDefault(read.tree, doc);
        EXPECT_EQ(GroupLines(doc), c.groups) << c.file;
    }
}

TEST(ImportPlan, DefaultsMatchGroupTitlesFirstThenFillEmptyGroupsInOrder) {
    auto folder = [](const char* name, int parent = -1, size_t links = 1) {
        ImportFolder f;
        f.name = name;
        f.parent = parent;
        f.linksBelow = links;
        return f;
    };
    auto group = [](const char* title, bool filled) {
        ExistingGroup g;
        g.title = title;
        if (filled)
            g.urls = {"https://taken/"};
        return g;
    };
    using Choices = std::vector<FolderChoice>;
    const struct {
        const char* name;
        std::vector<ImportFolder> folders;
        std::vector<ExistingGroup> groups;
        Choices choices;
    } cases[] = {
        {"empty groups in order, filled ones passed over",
         {folder("A"), folder("B"), folder("C")},
         {group("", true), group("", false), group("Mine", false), group("", false)},
         {{true, 1}, {true, 2}, {true, 3}}},
        {"a group titled as the folder is met again even when it holds links",
         {folder("A"), folder("Work"), folder("C")},
         {group("", false), group("Work", true), group("", false)},
         {{true, 0}, {true, 1}, {true, 2}}},
        {"titles are compared as text, markup and spaces aside",
         {folder(" Q&A ")},
         {group("", false), group("Q&amp;A", true)},
         {{true, 1}}},
        {"each group once: the second folder of one name takes an empty group",
         {folder("Work"), folder("Work")},
         {group("Work", true), group("", false)},
         {{true, 0}, {true, 1}}},
        {"no group left: ticked with none",
         {folder("A"), folder("B"), folder("C")},
         {group("", true), group("", false)},
         {{true, 1}, {true, -1}, {true, -1}}},
        {"folders inside and folders without links are not ticked",
         {folder("A"), folder("Inner", 0), folder("Empty", -1, 0)},
         {group("", false), group("", false)},
         {{true, 0}, {false, -1}, {false, -1}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(defaultChoices(c.folders, c.groups), c.choices) << c.name;
}

TEST(ImportPlan, AFolderGoesOnItsOwnOrWithTheUntickedFoldersInsideIt) {
    BookmarkTree tree;
    const int work = tree.addFolder(-1, "Work");
    tree.addLink(work, "w", "https://work/");
    const int tools = tree.addFolder(work, "Tools");
    tree.addLink(tools, "t", "https://tools/");
    const int deep = tree.addFolder(tools, "Deep");
    tree.addLink(deep, "d", "https://deep/");
    const int other = tree.addFolder(-1, "Other");
    tree.addLink(other, "o", "https://other/");
    const std::vector<ImportFolder> rows = importFolders(tree, "Bookmarks");
    const std::vector<ExistingGroup> groups(3);
    using Choices = std::vector<FolderChoice>;
    const struct {
        const char* name;
        Choices choices;
        std::vector<std::pair<int, Lines>> groups; // group -> URLs
        const char* summary;
    } cases[] = {
        {"subfolders flattened into their folder",
         {{true, 0}, {false, 2}, {false, -1}, {true, 1}},
         {{0, {"https://work/", "https://tools/", "https://deep/"}}, {1, {"https://other/"}}},
         "4 links into 2 groups"},
        {"a ticked subfolder on its own, its own subfolder with it",
         {{true, 0}, {true, 2}, {false, -1}, {false, 1}},
         {{0, {"https://work/"}}, {2, {"https://tools/", "https://deep/"}}},
         "3 links into 2 groups; 1 link in 1 folder not ticked (Other)"},
        {"a subfolder ticked inside an unticked folder",
         {{false, 0}, {false, -1}, {true, 1}, {false, -1}},
         {{1, {"https://deep/"}}},
         "1 link into 1 group; 3 links in 3 folders not ticked (Work, Tools and Other)"},
        {"ticked without a group: left out, with what is inside it",
         {{true, -1}, {false, -1}, {false, -1}, {true, 0}},
         {{0, {"https://other/"}}},
         "1 link into 1 group; 3 links in 3 folders not imported: no group left (Work, Tools and "
         "Deep)"},
    };
    for (const auto& c : cases) {
        const ImportPlan plan = planImport(rows, c.choices, {}, groups);
        std::vector<std::pair<int, Lines>> got;
        for (const GroupImport& change : plan.groups) {
            Lines urls;
            for (const GroupLink& link : change.links)
                urls.push_back(link.url);
            got.emplace_back(change.group, urls);
        }
        EXPECT_EQ(got, c.groups) << c.name;
        EXPECT_EQ(plan.summary(), c.summary) << c.name;
    }
}

TEST(ImportPlan, MoreFoldersThanGroupsSaysWhatIsLeftOut) {
    BookmarkTree tree;
    for (int f = 0; f < 300; ++f) {
        const int folder = tree.addFolder(-1, "Folder " + std::to_string(f));
        for (int i = 0; i < 67; ++i)
            tree.addLink(folder, "x",
                         "https://f" + std::to_string(f) + ".example/" + std::to_string(i));
    }
    Project doc;
    const ImportPlan plan = ImportDefault(tree, doc);
    EXPECT_EQ(plan.summary(), "670 links into 10 groups; 19,430 links in 290 folders not "
                              "imported: no group left (Folder 10, Folder 11, Folder 12 and 287 "
                              "more)");
    EXPECT_FALSE(plan.complete());
    EXPECT_EQ(doc.group(9).title, "Folder 9");
}

TEST(ImportPlan, ImportingTheSameBookmarksAgainAddsNothing) {
    const BookmarkReadResult read = readBookmarks(kFirefoxExport, "bookmarks.html");
    ASSERT_TRUE(read.ok()) << read.error;
    Project doc;
    doc.addLink(0, "Mine", "https://mine.example/");
    const ImportPlan first = ImportDefault(read.tree, doc);
    EXPECT_EQ(first.summary(), "6 links into 5 groups");
    const Lines once = GroupLines(doc);
    const ImportPlan again = ImportDefault(read.tree, doc);
    EXPECT_EQ(again.summary(), "0 links into 0 groups, 6 duplicates skipped "
                               "(https://www.mozilla.org/, https://work.example/, "
                               "https://tools.example/ and 3 more)");
    EXPECT_TRUE(again.complete());
    EXPECT_EQ(GroupLines(doc), once);
}

TEST(ImportPlan, DuplicatesAreSkippedAgainstTheGroupAndEarlierImports) {
    auto folder = [](const char* name, Links links) {
        ImportFolder f;
        f.name = name;
        f.links = std::move(links);
        f.linksBelow = f.links.size();
        return f;
    };
    const std::vector<ImportFolder> folders{
        folder("Web", {{"one", "https://One.example/"},
                       {"kept", "https://kept.example/"},
                       {"again", "https://one.example:443"},
                       {"exists", "http://EXISTS.example/#"}}),
        folder("More", {{"kept twice", "https://kept.example"}, {"new", "https://new.example/"}}),
        folder("Skipped", {{"s", "https://s.example/"}}),
        folder("Replace", {{"exists", "http://exists.example/"}, {"r", "https://r.example/"}}),
    };
    std::vector<ExistingGroup> groups(4);
    groups[0] = {"Mine", {"http://exists.example"}};
    groups[2] = {"", {"http://exists.example/"}};
    const std::vector<FolderChoice> choices{{true, 0}, {true, 0}, {false, 1}, {true, 2}};
    const std::vector<ImportMode> modes{ImportMode::Append, ImportMode::Append,
                                        ImportMode::Replace};

    const ImportPlan plan = planImport(folders, choices, modes, groups);
    ASSERT_EQ(plan.groups.size(), 2u);
    EXPECT_EQ(plan.groups[0].group, 0);
    EXPECT_EQ(plan.groups[0].newTitle, "");
    EXPECT_EQ(plan.groups[0].links, (Links{{"one", "https://One.example/"},
                                           {"kept", "https://kept.example/"},
                                           {"new", "https://new.example/"}}));
    EXPECT_EQ(plan.groups[1].group, 2);
    EXPECT_EQ(plan.groups[1].mode, ImportMode::Replace);
    EXPECT_EQ(plan.groups[1].newTitle, "Replace");
    EXPECT_EQ(plan.groups[1].links,
              (Links{{"exists", "http://exists.example/"}, {"r", "https://r.example/"}}));
    EXPECT_EQ(plan.summary(),
              "5 links into 2 groups, 3 duplicates skipped (https://one.example:443, "
              "http://EXISTS.example/# and https://kept.example); 1 link in 1 folder not ticked "
              "(Skipped)");
    // The folder left unticked left a link out.
    EXPECT_FALSE(plan.complete());
}

TEST(ImportPlan, SummaryCountsInWords) {
    const struct {
        size_t links, groups, duplicates, noGroup, noGroupFolders;
        const char* text;
    } cases[] = {{312, 6, 14, 0, 0, "312 links into 6 groups, 14 duplicates skipped"},
                 {1, 1, 1, 0, 0, "1 link into 1 group, 1 duplicate skipped"},
                 {0, 0, 0, 0, 0, "0 links into 0 groups"},
                 {1234567, 1, 0, 1, 1,
                  "1,234,567 links into 1 group; 1 link in 1 folder not imported: no group left"}};
    for (const auto& c : cases) {
        ImportPlan plan;
        plan.linkCount = c.links;
        plan.groupCount = c.groups;
        plan.duplicates = c.duplicates;
        plan.noGroupLinks = c.noGroup;
        plan.noGroupFolders = c.noGroupFolders;
        EXPECT_EQ(plan.summary(), c.text);
    }
}

// Untick All, Tick All, Space on some rows, in any order: the rows ticked
// get their groups in one pass, so no two rows are ever given one group,
// and ticking everything again gives back what the window opened with.
TEST(ImportPlan, TickingRowsNeverGivesTwoRowsOneGroup) {
    std::vector<ImportFolder> folders;
    auto add = [&folders](const char* name, size_t links, int parent = -1) {
        ImportFolder f;
        f.name = name;
        f.parent = parent;
        f.depth = parent < 0 ? 0 : 1;
        for (size_t i = 0; i < links; ++i)
            f.links.push_back(
                {"x", std::string("https://") + name + ".example/" + std::to_string(i)});
        f.linksBelow = links;
        f.refusedLinks = links == 0 ? 2 : 0;
        folders.push_back(std::move(f));
    };
    add("Bookmarklets", 0); // script links only: ticked, it needs no group
    for (const char* name : {"F1", "F2", "F3", "F4", "F5", "F6", "Recipes", "F8", "F9", "F10"})
        add(name, 2);
    add("Inner", 1, 10);
    add("F11", 1);
    std::vector<ExistingGroup> groups(10);
    groups[6].title = "Recipes";
    groups[2].urls = {"https://F3.example/0", "https://F3.example/1", "https://else.example/"};
    const std::vector<int> held = heldGroups(folders, groups);
    EXPECT_EQ(held[3], 2);
    const std::vector<FolderChoice> opened = defaultChoices(folders, groups, held);

    std::vector<size_t> all, top;
    for (size_t r = 0; r < folders.size(); ++r) {
        all.push_back(r);
        if (folders[r].parent < 0)
            top.push_back(r);
    }
    struct Step {
        bool tick;
        std::vector<size_t> rows;
    };
    const struct {
        const char* name;
        std::vector<Step> steps;
    } cases[] = {
        {"untick all, tick all", {{false, all}, {true, top}}},
        {"tick all at once", {{true, top}}},
        {"untick some, tick all", {{false, {1, 2, 7}}, {true, top}}},
        {"untick all, tick one at a time backwards",
         {{false, all}, {true, {12}}, {true, {10}}, {true, {7}}, {true, {3}}, {true, {0}}}},
        {"untick all, tick the inner row, then all", {{false, all}, {true, {11}}, {true, top}}},
        {"untick all, space on a range, tick all", {{false, all}, {true, {5, 6, 7}}, {true, top}}},
    };
    for (const auto& c : cases) {
        std::vector<FolderChoice> choices = opened;
        for (const Step& step : c.steps) {
            if (step.tick)
                choices = tickRows(folders, choices, step.rows, groups, held);
            else
                for (const size_t r : step.rows)
                    choices[r].checked = false;
            std::vector<int> owner(groups.size(), -1);
            for (size_t r = 0; r < choices.size(); ++r) {
                if (!choices[r].checked || choices[r].group < 0)
                    continue;
                int& first = owner[static_cast<size_t>(choices[r].group)];
                EXPECT_EQ(first, -1)
                    << c.name << ": " << folders[r].name << " shares group " << choices[r].group + 1
                    << " with " << folders[static_cast<size_t>(first)].name;
                first = static_cast<int>(r);
            }
        }
        if (c.steps.back().rows == top && std::string(c.name).find("inner") == std::string::npos) {
            // Every top row is back in the group it opened with; the one
            // without links has none. (A ticked inner row keeps the group
            // it took first.)
            for (const size_t r : top)
                EXPECT_EQ(choices[r].group, opened[r].group) << c.name << ": " << folders[r].name;
            EXPECT_EQ(choices[0].group, -1) << c.name;
            EXPECT_EQ(choices[7].group, 6) << c.name;
            EXPECT_EQ(choices[3].group, 2) << c.name;
        }
    }
}

// Importing the same bookmarks twice adds nothing, whatever the groups are
// called: a folder goes back to the group holding its links, then to a
// group of its name, then to an empty one.
TEST(ImportPlan, ReimportingAddsNothing) {
    struct Folder {
        const char* root; // "menu" or "toolbar"
        const char* name; // "" for a folder without a title
        std::vector<const char*> urls;
    };
    using Tree = std::vector<Folder>;
    auto build = [](const Tree& folders) {
        BookmarkTree tree;
        const int menu = tree.addFolder(-1, "Bookmarks Menu", 0, false, true);
        const int bar = tree.addFolder(-1, "Bookmarks Toolbar", 0, true, true);
        for (const Folder& f : folders) {
            const int folder = tree.addFolder(std::string(f.root) == "menu" ? menu : bar, f.name);
            for (const char* url : f.urls)
                tree.addLink(folder, "t", url);
        }
        return tree;
    };
    const Tree plain{{"menu", "Reading", {"https://r.example/1", "https://r.example/2"}},
                     {"menu", "News", {"https://n.example/"}}};
    const Tree untitled{{"menu", "", {"https://u.example/1", "https://u.example/2"}},
                        {"toolbar", "", {"https://t.example/"}}};
    const Tree moved{{"toolbar", "News", {"https://n.example/"}},
                     {"menu", "Reading", {"https://r.example/1", "https://r.example/2"}}};
    const struct {
        const char* name;
        std::vector<std::pair<std::string, std::string>> groups; // title, a URL ("" none)
        Tree first, second;
        std::vector<std::string> renamed; // titles given between the runs
        Lines once;
    } cases[] = {
        {"into empty groups",
         {},
         plain,
         plain,
         {},
         {"1 Reading: https://r.example/1 https://r.example/2", "2 News: https://n.example/"}},
        {"into an empty group titled otherwise",
         {{"Taxes", ""}},
         plain,
         plain,
         {},
         {"1 Taxes: https://r.example/1 https://r.example/2", "2 News: https://n.example/"}},
        {"beside groups of the user's",
         {{"Mine", "https://mine.example/"}, {"", ""}, {"Reading", ""}},
         plain,
         plain,
         {},
         {"1 Mine: https://mine.example/", "2 News: https://n.example/",
          "3 Reading: https://r.example/1 https://r.example/2"}},
        {"folders without titles",
         {},
         untitled,
         untitled,
         {},
         {"1 Untitled folder (Bookmarks Menu): https://u.example/1 https://u.example/2",
          "2 Untitled folder (Bookmarks Toolbar): https://t.example/"}},
        {"groups renamed between the runs",
         {},
         plain,
         plain,
         {"Later", "Elsewhere"},
         {"1 Later: https://r.example/1 https://r.example/2", "2 Elsewhere: https://n.example/"}},
        {"folders moved and groups renamed",
         {},
         plain,
         moved,
         {"News", "Reading"},
         {"1 News: https://r.example/1 https://r.example/2", "2 Reading: https://n.example/"}},
    };
    for (const auto& c : cases) {
        Project doc;
        for (size_t g = 0; g < c.groups.size(); ++g) {
            doc.setGroupTitle(static_cast<int>(g), c.groups[g].first);
            if (!c.groups[g].second.empty())
                doc.addLink(static_cast<int>(g), "m", c.groups[g].second);
        }
        ImportDefault(build(c.first), doc);
        for (size_t g = 0; g < c.renamed.size(); ++g)
            doc.setGroupTitle(static_cast<int>(g), c.renamed[g]);
        EXPECT_EQ(GroupLines(doc), c.once) << c.name;
        const ImportPlan again = ImportDefault(build(c.second), doc);
        EXPECT_EQ(again.linkCount, 0u) << c.name;
        EXPECT_TRUE(again.complete()) << c.name;
        EXPECT_EQ(GroupLines(doc), c.once) << c.name;
    }
}

// The group holding a folder's links: more than half of the links in it
// and in the folders inside it, by the same-URL rule; the group holding the
// most of them when a link lies in several.
TEST(ImportPlan, TheGroupHoldingAFoldersLinks) {
    auto folder = [](int parent, std::vector<std::string> urls) {
        ImportFolder f;
        f.name = "f";
        f.parent = parent;
        for (std::string& url : urls)
            f.links.push_back({"t", std::move(url)});
        return f;
    };
    std::vector<ExistingGroup> groups(3);
    groups[0].urls = {"https://a.example/", "https://b.example/"};
    groups[1].urls = {"HTTPS://A.example:443/", "https://b.example/", "https://c.example/"};
    groups[2].urls = {"https://z.example/"};
    const struct {
        const char* name;
        std::vector<ImportFolder> folders;
        std::vector<int> held;
    } cases[] = {
        {"half is not more than half",
         {folder(-1, {"https://a.example/", "https://n.example/"})},
         {-1}},
        {"the group holding the most",
         {folder(-1, {"https://a.example/", "https://b.example/", "https://c.example/"})},
         {1}},
        {"equals: the first", {folder(-1, {"https://a.example/", "https://b.example/"})}, {0}},
        {"the links of the folders inside count for their parent",
         {folder(-1, {"https://n.example/"}), folder(0, {"https://z.example/"}),
          folder(1, {"https://z.example/#"})},
         {2, 2, 2}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(heldGroups(c.folders, groups), c.held) << c.name;
}

// Whatever does not arrive is counted and named: the first few, then how
// many more.
TEST(ImportPlan, EverySkipIsNamed) {
    auto folder = [](std::string name, size_t links, size_t refused, int parent = -1) {
        ImportFolder f;
        f.name = std::move(name);
        f.parent = parent;
        for (size_t i = 0; i < links; ++i)
            f.links.push_back({"x", "https://" + f.name + ".example/" + std::to_string(i)});
        f.linksBelow = links;
        f.refusedLinks = refused;
        return f;
    };
    std::vector<ImportFolder> folders{folder("Bookmarklets", 0, 3), folder("Mixed", 2, 1)};
    for (int f = 1; f <= 12; ++f)
        folders.push_back(folder("F" + std::to_string(f), 1, 0));
    std::vector<ExistingGroup> groups(10);
    groups[0].urls = {"https://Mixed.example/1"};
    groups[0].title = "Mixed";
    std::vector<FolderChoice> choices = defaultChoices(folders, groups);
    EXPECT_FALSE(choices[0].checked);
    ImportPlan plan = planImport(folders, choices, {}, groups);
    plan.queries.add("Most Visited");
    plan.queries.add("Recent Tags");
    EXPECT_EQ(plan.summary(false),
              "10 links into 10 groups, 1 duplicate skipped (https://Mixed.example/1), 4 script "
              "or data links skipped (in Bookmarklets and Mixed), 2 saved queries skipped (Most "
              "Visited and Recent Tags); 3 links in 3 folders not imported: no group left (F10, "
              "F11 and F12)");
    EXPECT_FALSE(plan.complete());

    // Unticked folders: "not ticked" in the window, "left out" elsewhere.
    for (size_t r = 2; r < choices.size(); ++r)
        choices[r].checked = false;
    plan = planImport(folders, choices, {}, groups);
    EXPECT_EQ(plan.summary(true),
              "1 link into 1 group, 1 duplicate skipped (https://Mixed.example/1), 4 script or "
              "data links skipped (in Bookmarklets and Mixed); 12 links in 12 folders not ticked "
              "(F1, F2, F3 and 9 more)");
    EXPECT_NE(plan.summary(false).find("12 links in 12 folders left out (F1, F2, F3 and 9 more)"),
              std::string::npos);
    EXPECT_FALSE(plan.complete());

    // Only duplicates: complete.
    plan = planImport(std::vector<ImportFolder>{folder("Mixed", 2, 0)}, {{true, 0}}, {}, groups);
    EXPECT_EQ(plan.summary(), "1 link into 1 group, 1 duplicate skipped (https://Mixed.example/1)");
    EXPECT_TRUE(plan.complete());
}

// Folders without a title are named after the folder they lie in.
TEST(ImportRows, AFolderWithoutATitleIsNamedAfterItsParent) {
    BookmarkTree tree;
    const int menu = tree.addFolder(-1, "Bookmarks Menu", 0, false, true);
    const int blank = tree.addFolder(menu, "  ");
    tree.addLink(blank, "a", "https://a.example/");
    const int work = tree.addFolder(blank, "Work");
    const int inner = tree.addFolder(work, "");
    tree.addLink(inner, "b", "https://b.example/");
    const int top = tree.addFolder(-1, "");
    tree.addLink(top, "c", "https://c.example/");
    EXPECT_EQ(Rows(importFolders(tree, "Bookmarks")),
              (Lines{"Untitled folder (Bookmarks Menu): 1/2", "  Work: 0/1",
                     "    Untitled folder (Work): 1/1", "Untitled folder: 1/1"}));
}

} // namespace
