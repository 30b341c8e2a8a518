// The import against files the browsers wrote themselves
// (tests/fixtures/browsers, made by its make-fixtures.sh): one tree of
// nested folders, read from Firefox's places.sqlite, Firefox's own HTML
// export and Chromium's Bookmarks file.
#include "BookmarkTestUtil.h"
#include "bookmarks/BookmarkCommands.h"
#include "bookmarks/BookmarkReader.h"
#include "bookmarks/ImportPlan.h"
#include "bookmarks/ProjectBookmarks.h"
#include "core/Project.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

namespace {

using Lines = std::vector<std::string>;

std::string BrowserFixture(const char* name) {
    return std::string(LINKFOLD_BROWSER_FIXTURES) + "/" + name;
}

// "N title:" for each group that has links, then "  description <url>" for
// each of its links.
Lines Groups(const Project& doc) {
    Lines lines;
    for (int g = 0; g < doc.groupCount(); ++g) {
        const std::vector<Link> links = doc.links(g);
        if (links.empty())
            continue;
        lines.push_back(std::to_string(g + 1) + " " + doc.group(g).title + ":");
        for (const Link& link : links)
            lines.push_back("  " + link.description + " <" + link.url + ">");
    }
    return lines;
}

// The import with the choices the import window opens with, as the window
// and --import-bookmarks make it.
ImportPlan ImportDefault(const std::string& path, Project& doc) {
    BookmarkReadResult read = readBookmarkFile(path);
    EXPECT_TRUE(read.ok()) << read.error;
    const std::vector<ImportFolder> rows = importFolders(std::move(read.tree), kLooseBookmarksName);
    const std::vector<ExistingGroup> groups = existingGroups(doc);
    const ImportPlan plan = planImport(rows, defaultChoices(rows, groups, heldGroups(rows, groups)),
                                       std::vector<ImportMode>(groups.size()), groups);
    EXPECT_TRUE(applyImportPlan(plan, doc) || plan.linkCount == 0) << path;
    return plan;
}

// Both Firefox routes: the links directly in the menu form one group named
// after it, where the first of them stands; each folder the user made at
// the top of a root is a group, with the folders inside it flattened into
// it (its own links first); a URL met twice in one group is kept once.
const Lines kFirefoxGroups{
    "1 Bookmarks Menu:",
    "  Debian — the universal operating system <https://www.debian.org/>",
    "  LWN.net <https://lwn.net/>",
    "2 Work &amp; Projects:",
    "  Issues &lt;open&gt; &amp; new <https://tracker.example.com/issues?state=open&sort=new>",
    "  Team wiki <https://wiki.example.com/>",
    "  Compiler Explorer <https://godbolt.org/>",
    "  cppreference.com <https://en.cppreference.com/w/>",
    "  Qt 6 — Widgets <https://doc.qt.io/qt-6/qtwidgets-index.html>",
    "3 Reading:",
    "  Straße &amp; Café: Zürich notes <https://de.wikipedia.org/wiki/Z%C3%BCrich>",
    "  日本語のページ <https://example.jp/%E3%83%9A%E3%83%BC%E3%82%B8?q=1&r=2>",
    "  Old &lt;b&gt;bold&lt;/b&gt; post <https://old.example.net/2001/post.html>",
    "4 News:",
    "  Ünïcödé Nëws <https://news.example.de/>",
    "  Team wiki <https://wiki.example.com/>",
    "  Weather &amp; traffic <https://local.example.org/weather>",
    "5 Dev:",
    "  GoogleTest <https://google.github.io/googletest/>",
    "  Qt Test <https://doc.qt.io/qt-6/qttest-index.html>",
};

// Chromium has no menu: the same folders stand in its bookmarks bar (the
// toolbar's) and in "Other bookmarks" (the menu's), in that order, and the
// loose links take the name of Chromium's root. Every folder's group is the
// one Firefox gives.
const Lines kChromiumGroups{
    "1 News:",
    "  Ünïcödé Nëws <https://news.example.de/>",
    "  Team wiki <https://wiki.example.com/>",
    "  Weather &amp; traffic <https://local.example.org/weather>",
    "2 Dev:",
    "  GoogleTest <https://google.github.io/googletest/>",
    "  Qt Test <https://doc.qt.io/qt-6/qttest-index.html>",
    "3 Other bookmarks:",
    "  Debian — the universal operating system <https://www.debian.org/>",
    "  LWN.net <https://lwn.net/>",
    "4 Work &amp; Projects:",
    "  Issues &lt;open&gt; &amp; new <https://tracker.example.com/issues?state=open&sort=new>",
    "  Team wiki <https://wiki.example.com/>",
    "  Compiler Explorer <https://godbolt.org/>",
    "  cppreference.com <https://en.cppreference.com/w/>",
    "  Qt 6 — Widgets <https://doc.qt.io/qt-6/qtwidgets-index.html>",
    "5 Reading:",
    "  Straße &amp; Café: Zürich notes <https://de.wikipedia.org/wiki/Z%C3%BCrich>",
    "  日本語のページ <https://example.jp/%E3%83%9A%E3%83%BC%E3%82%B8?q=1&r=2>",
    "  Old &lt;b&gt;bold&lt;/b&gt; post <https://old.example.net/2001/post.html>",
};

const struct Route {
    const char* file;
    const Lines& groups;
    const char* summary;
} kRoutes[] = {
    {"firefox-places.sqlite", kFirefoxGroups,
     "15 links into 5 groups, 1 duplicate skipped (https://wiki.example.com/)"},
    {"firefox-bookmarks.html", kFirefoxGroups,
     "15 links into 5 groups, 1 duplicate skipped (https://wiki.example.com/)"},
    {"chromium-Bookmarks", kChromiumGroups,
     "15 links into 5 groups, 1 duplicate skipped (https://wiki.example.com/)"},
};

} // namespace

TEST(BrowserFixtures, EveryRouteGivesTheSameDefaultGroups) {
    for (const Route& route : kRoutes) {
        Project doc;
        const ImportPlan plan = ImportDefault(BrowserFixture(route.file), doc);
        EXPECT_EQ(Groups(doc), route.groups) << route.file;
        EXPECT_EQ(plan.summary(), route.summary) << route.file;
        EXPECT_TRUE(plan.complete()) << route.file;
    }
}

// A second import, by the same route or by the other route of the same
// browser, meets the groups the first one made and skips every link.
TEST(BrowserFixtures, ImportingAgainIntoTheProjectItMadeAddsNothing) {
    for (const Route& first : kRoutes) {
        for (const Route& again : kRoutes) {
            if (&first.groups != &again.groups)
                continue;
            Project doc;
            ImportDefault(BrowserFixture(first.file), doc);
            const ImportPlan plan = ImportDefault(BrowserFixture(again.file), doc);
            const std::string what = std::string(first.file) + " then " + again.file;
            EXPECT_EQ(plan.summary().rfind("0 links into 0 groups, 16 duplicates skipped (", 0), 0u)
                << what;
            EXPECT_TRUE(plan.complete()) << what;
            EXPECT_EQ(Groups(doc), first.groups) << what;
        }
    }
}

// The command line reads the files as the window does: a complete import
// (status 0, the duplicates named) into a new project, and again into the
// project it made.
TEST(BrowserFixtures, TheCommandImportsEachIntoANewProjectAndAgainWithoutDoubles) {
    TempDir dir;
    const std::string project = dir.file("p.lfp");
    auto run = [&](const Route& route, const std::string& said) {
        const std::string log = dir.file("err.txt");
        const std::string cmd = "env -u DISPLAY -u WAYLAND_DISPLAY " +
                                std::string(LINKFOLD_HEADLESS) + " --import-bookmarks '" +
                                BrowserFixture(route.file) + "' '" + project + "' >'" + log +
                                "' 2>&1";
        const int rc = std::system(cmd.c_str());
        EXPECT_EQ(readFileBytes(log).rfind(BrowserFixture(route.file) + ": " + said, 0), 0u)
            << route.file << ": " << readFileBytes(log);
        return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    };
    for (const Route& route : kRoutes) {
        std::remove(project.c_str());
        for (int time = 0; time < 2; ++time) {
            EXPECT_EQ(run(route, time == 0 ? std::string(route.summary)
                                           : "0 links into 0 groups, 16 duplicates skipped ("),
                      kImportComplete)
                << route.file << " import " << time + 1;
            Project doc;
            ASSERT_TRUE(doc.load(project).ok()) << doc.errorString();
            EXPECT_EQ(Groups(doc), route.groups) << route.file << " import " << time + 1;
        }
    }
}
