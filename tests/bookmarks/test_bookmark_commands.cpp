// --import-bookmarks and --export-bookmarks: parsed, then run end to end
// through the headless program.
#include "BookmarkTestUtil.h"
#include "bookmarks/BookmarkReader.h"
#include "core/CommandLineOptions.h"
#include "core/Project.h"
#include "core/ProjectFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

using C = CommandLineOptions;

struct RunResult {
    int status;
    std::string err;
};

// "title <url>" per link of each non-empty group, groups as "N title:".
std::vector<std::string> Groups(const Project& doc) {
    std::vector<std::string> lines;
    for (size_t g = 0; g < doc.groups().size(); ++g) {
        const LinkGroup& group = doc.group(static_cast<int>(g));
        if (group.links.empty() && group.title.empty())
            continue;
        lines.push_back(std::to_string(g + 1) + " " + group.title + ":");
        for (const Link& link : group.links.toVector())
            lines.push_back("  " + link.description + " <" + link.url + ">");
    }
    return lines;
}

class BookmarkCommand : public ::testing::Test {
protected:
    RunResult run(const std::string& args) {
        const std::string log = dir.file("err.txt");
        const std::string cmd = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=none " +
                                std::string(LINKFOLD_HEADLESS) + " " + args + " >" + log + " 2>&1";
        const int rc = std::system(cmd.c_str());
        return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, readFileBytes(log)};
    }
    Project load(const std::string& name) {
        Project doc;
        EXPECT_TRUE(doc.load(dir.file(name)).ok()) << doc.errorString();
        return doc;
    }
    void save(const Project& doc, const std::string& name) {
        writeFileBytes(dir.file(name), serializeProject(doc));
    }
    TempDir dir;
};

} // namespace

TEST(BookmarkCommandLine, ParsesTheVerbs) {
    const struct {
        std::vector<std::string> args;
        C::Command command;
        std::string file, bookmarks;
        int group;
    } cases[] = {
        {{"--import-bookmarks", "b.html", "p.lfp"}, C::ImportBookmarks, "p.lfp", "b.html", 0},
        {{"--import-bookmarks", "b.html", "p.lfp", "--group", "10"},
         C::ImportBookmarks,
         "p.lfp",
         "b.html",
         10},
        {{"--export-bookmarks", "p.lfp", "out.html"}, C::ExportBookmarks, "p.lfp", "out.html", 0},
        {{"--export-bookmarks", "p.lfp", "OUT.XBEL"}, C::ExportBookmarks, "p.lfp", "OUT.XBEL", 0},
        {{"--import-bookmarks", "b.html"}, C::Invalid, "", "", 0},
        {{"--import-bookmarks", "b.html", "p.lfp", "--group"}, C::Invalid, "", "", 0},
        {{"--import-bookmarks", "b.html", "p.lfp", "--group", "0"}, C::Invalid, "", "", 0},
        {{"--import-bookmarks", "b.html", "p.lfp", "--group", "11"}, C::Invalid, "", "", 0},
        {{"--import-bookmarks", "b.html", "p.lfp", "--group", "x"}, C::Invalid, "", "", 0},
        {{"--import-bookmarks", "b.html", "p.lfp", "extra"}, C::Invalid, "", "", 0},
        {{"--export-bookmarks", "p.lfp"}, C::Invalid, "", "", 0},
        {{"--export-bookmarks", "p.lfp", "out.txt"}, C::Invalid, "", "", 0},
        {{"--export-bookmarks", "p.lfp", "out.html", "--group", "1"}, C::Invalid, "", "", 0},
    };
    for (const auto& c : cases) {
        const C info = parseCommandLine(c.args);
        const std::string what = testing::PrintToString(c.args);
        EXPECT_EQ(info.command, c.command) << what;
        if (c.command == C::Invalid) {
            EXPECT_FALSE(info.error.empty()) << what;
            continue;
        }
        EXPECT_EQ(info.fileName, c.file) << what;
        EXPECT_EQ(info.bookmarkFile, c.bookmarks) << what;
        EXPECT_EQ(info.group, c.group) << what;
    }
}

TEST_F(BookmarkCommand, ImportsIntoANewProjectWithTheDefaultMapping) {
    const RunResult r =
        run("--import-bookmarks " + FixturePath("firefox.html") + " " + dir.file("new.lfp"));
    // Firefox's saved query is named, and counts as left out.
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_EQ(r.err, FixturePath("firefox.html") +
                         ": 6 links into 3 groups, 1 saved query skipped (Recent Tags).\n");
    const Project doc = load("new.lfp");
    // Links outside folders first, named after the menu they come from (the
    // place: query skipped), then each top-level folder with links into the
    // next group, its own links before its subfolders'; the toolbar is the
    // browser's own folder: its loose links form the last group. Titles as HTML.
    EXPECT_EQ(Groups(doc), (std::vector<std::string>{
                               "1 Bookmarks Menu:",
                               "  Get Help &amp; Support <https://www.mozilla.org/en-US/firefox/>",
                               "2 Caf\xC3\xA9 &lt;Reading&gt;:",
                               "  Rock 'n' Roll \xC3\xA9t\xC3\xA9 <https://example.org/a>",
                               "  After inner <https://example.org/c>",
                               "  Inner link <https://example.org/b>",
                               "3 Bookmarks Toolbar:",
                               "  Debian <https://www.debian.org/>",
                               "  Old live bookmark <http://feeds.example.org/rss>",
                           }));
}

TEST_F(BookmarkCommand, AppendsToAnExistingProjectSkippingDuplicates) {
    Project doc;
    doc.setTitle("Kept");
    doc.setGroupTitle(0, "Mine");
    doc.addLink(0, "My Debian", "HTTPS://www.debian.org");
    doc.addLink(2, "Busy", "https://busy.example/");
    save(doc, "p.lfp");

    // Everything into group 1: Debian is there already.
    RunResult r = run("--import-bookmarks " + FixturePath("firefox.html") + " " +
                      dir.file("p.lfp") + " --group 1");
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_EQ(r.err, FixturePath("firefox.html") +
                         ": 5 links into 1 group, 1 duplicate skipped (https://www.debian.org/), 1 "
                         "saved query skipped (Recent Tags).\n");
    Project after = load("p.lfp");
    EXPECT_EQ(after.title(), "Kept");
    EXPECT_EQ(after.group(0).title, "Mine");
    EXPECT_EQ(after.links(0).size(), 1u + 6u - 1u); // six read, Debian skipped
    EXPECT_EQ(after.links(0)[0].description, "My Debian");

    // The default mapping uses only empty groups: 2, 4 and 5 here.
    save(doc, "p.lfp");
    r = run("--import-bookmarks " + FixturePath("chromium-Bookmarks.json") + " " +
            dir.file("p.lfp"));
    EXPECT_EQ(r.status, 0) << r.err;
    after = load("p.lfp");
    EXPECT_EQ(after.links(0).size(), 1u);
    EXPECT_EQ(after.links(2).size(), 1u);
    EXPECT_FALSE(after.links(1).empty());
}

TEST_F(BookmarkCommand, FailuresLeaveTheProjectUnchanged) {
    Project doc;
    doc.addLink(0, "A", "https://a.example/");
    save(doc, "p.lfp");
    const std::string before = readFileBytes(dir.file("p.lfp"));
    writeFileBytes(dir.file("damaged.json"), "{\"roots\": {\"bookmark_bar\": [1, 2");
    writeFileBytes(dir.file("garbage.bin"), std::string("\x01\x02garbage", 9));
    writeFileBytes(dir.file("cut.sqlite"), std::string("SQLite format 3\0", 16) + "cut short");
    writeFileBytes(dir.file("bad.lfp"), "not a project");
    for (const std::string source : {"damaged.json", "garbage.bin", "cut.sqlite", "missing"}) {
        const RunResult r = run("--import-bookmarks " + dir.file(source) + " " + dir.file("p.lfp"));
        EXPECT_EQ(r.status, 1) << source;
        EXPECT_NE(r.err.find(dir.file(source)), std::string::npos) << r.err;
        EXPECT_EQ(readFileBytes(dir.file("p.lfp")), before) << source;
    }
    // A project that cannot be read is not replaced by a new one.
    RunResult r =
        run("--import-bookmarks " + FixturePath("firefox.html") + " " + dir.file("bad.lfp"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(dir.file("bad.lfp")), std::string::npos) << r.err;
    EXPECT_EQ(readFileBytes(dir.file("bad.lfp")), "not a project");
    // Export needs a readable project and a place to write.
    r = run("--export-bookmarks " + dir.file("missing.lfp") + " " + dir.file("out.html"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(dir.file("missing.lfp")), std::string::npos) << r.err;
    r = run("--export-bookmarks " + dir.file("p.lfp") + " " + dir.file("nodir/out.xbel"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(dir.file("nodir/out.xbel")), std::string::npos) << r.err;
    // Usage errors.
    EXPECT_EQ(run("--import-bookmarks " + dir.file("p.lfp")).status, 2);
    EXPECT_EQ(run("--export-bookmarks " + dir.file("p.lfp") + " out.txt").status, 2);
    EXPECT_EQ(readFileBytes(dir.file("p.lfp")), before);
}

TEST_F(BookmarkCommand, ExportsHtmlAndXbelThatReadBack) {
    Project doc;
    doc.setGroupTitle(0, "News");
    doc.addLink(0, "News &amp; <b>Views</b>", "https://news.example/");
    doc.addLink(2, "Caf\xC3\xA9", "https://cafe.example/");
    save(doc, "p.lfp");
    for (const std::string out : {"out.html", "out.xbel"}) {
        const RunResult r = run("--export-bookmarks " + dir.file("p.lfp") + " " + dir.file(out));
        EXPECT_EQ(r.status, 0) << r.err;
        const BookmarkReadResult read = readBookmarkFile(dir.file(out));
        ASSERT_TRUE(read.ok()) << read.error;
        EXPECT_EQ(Outline(read.tree), (std::vector<std::string>{
                                          "[News]",
                                          "News: News & Views <https://news.example/>",
                                          "[Group 3]",
                                          "Group 3: Caf\xC3\xA9 <https://cafe.example/>",
                                      }))
            << out;
    }
}

TEST_F(BookmarkCommand, ImportExportImportKeepsTheDescriptions) {
    ASSERT_EQ(
        run("--import-bookmarks " + FixturePath("firefox.html") + " " + dir.file("a.lfp")).status,
        3); // its saved query left out
    for (const std::string out : {"a.html", "a.xbel"}) {
        ASSERT_EQ(run("--export-bookmarks " + dir.file("a.lfp") + " " + dir.file(out)).status, 0);
        const std::string again = "again-" + out + ".lfp";
        const RunResult r = run("--import-bookmarks " + dir.file(out) + " " + dir.file(again));
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(Groups(load(again)), Groups(load("a.lfp"))) << out;
    }
}

TEST_F(BookmarkCommand, FoldersWithoutAnEmptyGroupAreReportedAndThePartialImportSaved) {
    Project doc;
    for (int g = 0; g < kGroupCount - 1; ++g)
        doc.addLink(g, "Busy", "https://busy.example/" + std::to_string(g));
    save(doc, "p.lfp");
    const RunResult r =
        run("--import-bookmarks " + FixturePath("firefox.html") + " " + dir.file("p.lfp"));
    EXPECT_EQ(r.status, 3);
    // The first folder fills group 10; the other three folders' five links stay out.
    EXPECT_EQ(r.err, FixturePath("firefox.html") +
                         ": 1 link into 1 group, 1 saved query skipped (Recent Tags); 5 links in 3 "
                         "folders not imported: no group left (Caf\xC3\xA9 <Reading>, Inner and "
                         "Bookmarks Toolbar); use --group N.\n");
    const Project after = load("p.lfp");
    ASSERT_EQ(after.links(9).size(), 1u);
    EXPECT_EQ(after.group(9).title, "Bookmarks Menu");
}

TEST_F(BookmarkCommand, ExitStatusTellsACompleteImportFromAPartialOne) {
    writeFileBytes(dir.file("script.html"), "<!DOCTYPE NETSCAPE-Bookmark-file-1><DL><p>"
                                            "<DT><A HREF=\"https://ok.example/\">OK</A>"
                                            "<DT><A HREF=\"javascript:alert(1)\">JS</A></DL>");
    writeFileBytes(dir.file("empty.html"), "<!DOCTYPE NETSCAPE-Bookmark-file-1><DL><p></DL>");
    writeFileBytes(
        dir.file("types.json"),
        R"({"roots": {"bookmark_bar": {"children": 5, "name": "Bar", "type": "folder"}}})");
    writeFileBytes(dir.file("nested.json"),
                   R"({"roots": {"other": {"children": [{"type": "folder", "name": "Work",)"
                   R"( "children": {"x": 1}}]}}})");
    writeFileBytes(dir.file("item.json"), R"({"roots": {"other": {"children": [7]}}})");
    writeFileBytes(dir.file("number.json"), "{\"roots\": " + std::string(100000, '9'));
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    ASSERT_EQ(::mkdir(dir.file("folder").c_str(), 0700), 0);
    const struct {
        const char* source;
        int status;
        const char* message; // the end of what is printed
    } cases[] = {
        {"chromium-Bookmarks.json", 0, ""},
        {"empty.html", 0, ""},
        {"script.html", 3,
         ": 1 link into 1 group, 1 script or data link skipped (in Bookmarks).\n"},
        {"types.json", 1, ": children of bookmark_bar is not a list.\n"},
        {"nested.json", 1, ": children of \"Work\" in other is not a list.\n"},
        {"item.json", 1, ": an item in other is not a bookmark.\n"},
        {"number.json", 1, ": not valid JSON (at byte 100010).\n"},
        {"missing.html", 1, "missing.html was not found.\n"},
        {"fifo", 1, "fifo: is not a regular file.\n"},
        {"folder", 1, "folder: is a folder.\n"},
    };
    for (const auto& c : cases) {
        const std::string source = std::string(c.source) == "chromium-Bookmarks.json"
                                       ? FixturePath(c.source)
                                       : dir.file(c.source);
        std::remove(dir.file("p.lfp").c_str());
        const RunResult r = run("--import-bookmarks " + source + " " + dir.file("p.lfp"));
        EXPECT_EQ(r.status, c.status) << c.source << ": " << r.err;
        const std::string message = c.message;
        EXPECT_EQ(r.err.substr(r.err.size() - std::min(r.err.size(), message.size())), message)
            << c.source;
        EXPECT_LT(r.err.size(), 400u) << c.source;
        // What fitted is saved, also when some links were left out.
        struct stat st {};
        EXPECT_EQ(::stat(dir.file("p.lfp").c_str(), &st) == 0, c.status != 1) << c.source;
    }
}

TEST_F(BookmarkCommand, ImportingAgainIntoTheProjectItMadeAddsNothing) {
    const std::string cmd =
        "--import-bookmarks " + FixturePath("firefox.html") + " " + dir.file("p.lfp");
    ASSERT_EQ(run(cmd).status, 3); // its saved query left out
    const std::vector<std::string> once = Groups(load("p.lfp"));
    const RunResult again = run(cmd);
    EXPECT_EQ(again.status, 3) << again.err;
    EXPECT_EQ(again.err, FixturePath("firefox.html") +
                             ": 0 links into 0 groups, 6 duplicates skipped "
                             "(https://www.mozilla.org/en-US/firefox/, https://example.org/a, "
                             "https://example.org/c and 3 more), 1 saved query skipped (Recent "
                             "Tags).\n");
    EXPECT_EQ(Groups(load("p.lfp")), once);
}

// Each kind of link that does not arrive is named on standard error; the
// status is 0 only when every link went in or was a duplicate.
TEST_F(BookmarkCommand, EverySkipIsNamedOnStandardError) {
    auto html = [](const std::string& body) {
        return "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<H1>Bookmarks</H1>\n<DL><p>\n" + body +
               "</DL>\n";
    };
    auto folder = [](const std::string& name, const std::string& links) {
        return "<DT><H3>" + name + "</H3>\n<DL><p>\n" + links + "</DL><p>\n";
    };
    auto link = [](const std::string& url, const std::string& title = "t") {
        return "<DT><A HREF=\"" + url + "\">" + title + "</A>\n";
    };
    std::string twelve;
    for (int f = 1; f <= 12; ++f)
        twelve +=
            folder("F" + std::to_string(f), link("https://f" + std::to_string(f) + ".example/"));
    Project existing;
    existing.setGroupTitle(0, "Web");
    existing.addLink(0, "Example", "HTTP://Example.ORG/");
    const struct {
        const char* name;
        std::string source;
        int status;
        std::string err; // after "SOURCE: "
    } cases[] = {
        {"every link in", html(folder("Web", link("https://new.example/"))), 0, ""},
        {"a duplicate",
         html(folder("Web", link("http://example.org/") + link("https://new.example/"))), 0,
         "1 link into 1 group, 1 duplicate skipped (http://example.org/).\n"},
        {"a folder of script links only",
         html(folder("Web", link("https://new.example/")) +
              folder("Bookmarklets", link("javascript:void(0)") + link("data:text/html,x"))),
         3, "1 link into 1 group, 2 script or data links skipped (in Bookmarklets).\n"},
        {"saved queries",
         html(folder("Web", link("https://new.example/")) +
              link("place:sort=8&maxResults=10", "Most Visited") +
              link("place:type=6&sort=14", "Recent Tags")),
         3, "1 link into 1 group, 2 saved queries skipped (Most Visited and Recent Tags).\n"},
        {"no group left", html(twelve), 3,
         "9 links into 9 groups; 3 links in 3 folders not imported: no group left (F10, F11 and "
         "F12); use --group N.\n"},
    };
    for (const auto& c : cases) {
        writeFileBytes(dir.file("source.html"), c.source);
        save(existing, "p.lfp");
        const RunResult r =
            run("--import-bookmarks " + dir.file("source.html") + " " + dir.file("p.lfp"));
        EXPECT_EQ(r.status, c.status) << c.name << ": " << r.err;
        EXPECT_EQ(r.err, c.err.empty() ? "" : dir.file("source.html") + ": " + c.err) << c.name;
        EXPECT_EQ(r.err.find("ticked"), std::string::npos) << c.name;
    }
}
