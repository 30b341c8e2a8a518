// The import of a places.sqlite in two steps (its folders, then the links
// of the folders imported) against the import of its whole tree: the same
// rows, and the same project, message and status from the command.
#include "BookmarkTestUtil.h"
#include "bookmarks/BookmarkCommands.h"
#include "bookmarks/BookmarkReader.h"
#include "bookmarks/FirefoxPlacesReader.h"
#include "bookmarks/ImportPlan.h"
#include "bookmarks/ProjectBookmarks.h"
#include "core/Project.h"
#include "core/ProjectFile.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <sstream>

namespace {

void Exec(sqlite3* db, const std::string& sql) {
    char* message = nullptr;
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK) << message;
}

// Loose links between the folders of a root and alone in one, more than
// ten folders, nested ones, queries, empty URLs, script and data links,
// URLs that are the same link, positions tied, the tags and a parent cycle
// out of reach, and a root moved into a folder; with `deep`, a position
// missing and a chain deeper than the tree allows with links before and
// after each level (the outline is then read in the index's order).
void BuildMixedPlaces(const std::string& path, bool deep) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    Exec(db, kFirefoxPlacesSchema);
    Exec(db, R"(
INSERT INTO moz_places (id, url) VALUES
  (10, 'https://example.org/a'), (11, 'http://example.org/b'), (12, 'javascript:alert(1)'),
  (13, 'place:sort=8&maxResults=10'), (14, ''), (15, 'ftp://files.example.org/'),
  (16, '  https://spaced.example.org/x y '), (17, 'data:text/html,hi'),
  (18, 'HTTPS://EXAMPLE.org/a'), (19, 'mailto:someone@example.org');
INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, guid) VALUES
  (100, 1, 10, 2, 0, 'Loose first', 'm0'), (101, 2, NULL, 2, 1, 'Projects', 'm1'),
  (110, 1, 11, 101, 0, 'B & <b>', 'p0'), (111, 1, 12, 101, 1, 'Script', 'p1'),
  (112, 2, NULL, 101, 2, 'Inner', 'p2'), (113, 1, 18, 101, 3, 'Same as A', 'p3'),
  (114, 3, NULL, 101, 4, NULL, 'p4'), (115, 1, 13, 101, 5, 'Query', 'p5'),
  (120, 1, 15, 112, 0, 'Files', 'i0'), (121, 2, NULL, 112, 1, 'Innermost', 'i1'),
  (122, 1, 10, 112, 2, NULL, 'i2'), (130, 1, 16, 121, 0, 'Spaced', 'j0'),
  (102, 1, 19, 2, 2, 'Loose mail', 'm2'), (103, 3, NULL, 2, 3, NULL, 'm3'),
  (104, 2, NULL, 2, 4, 'Only script', 'm4'), (140, 1, 12, 104, 0, 'js', 's0'),
  (105, 2, NULL, 2, 5, 'Empty', 'm5'),
  (150, 1, 11, 3, 0, 'first', 't0'), (152, 1, 10, 3, 1, 'tie b', 't2'),
  (151, 1, 11, 3, 1, 'tie a', 't1'), (153, 2, NULL, 3, 2, 'Deep', 't3'),
  (154, 1, 14, 3, 3, 'no URL', 't4'), (155, 1, 15, 3, 4, 'last', 't5'),
  (163, 2, NULL, 5, 0, 'Before the loose ones', 'u3'), (164, 1, 11, 163, 0, 'in', 'u4'),
  (165, 1, 13, 5, 1, 'a query first', 'u5'), (166, 1, 11, 5, 2, 'tie', 'u6'),
  (160, 1, 10, 5, 2, 'Again A', 'u0'), (161, 1, 18, 5, 3, 'Again, upper case', 'u1'),
  (167, 2, NULL, 5, 4, 'Between', 'u7'), (162, 1, 17, 5, 5, 'data', 'u2'),
  (170, 2, NULL, 4, 0, 'a tag', 'g0'), (171, 1, 11, 170, 0, NULL, 'g1'),
  (180, 2, NULL, 181, 0, 'A', 'c0'), (181, 2, NULL, 180, 0, 'B', 'c1'),
  (182, 1, 10, 180, 1, 'in a cycle', 'c2');
UPDATE moz_bookmarks SET parent = 101, position = 6 WHERE id = 6;
WITH RECURSIVE n(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM n WHERE k < 12)
INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, guid)
  SELECT 200 + k, 2, NULL, 2, 5 + k, 'Folder ' || k, 'x' || k FROM n
  UNION ALL SELECT 400 + 2 * k, 1, 10 + k % 2, 200 + k, 0, 'one ' || k, 'y' || k FROM n
  UNION ALL SELECT 401 + 2 * k, 1, 15, 200 + k, 1, 'two ' || k, 'z' || k FROM n;
)");
    if (deep)
        Exec(db, "UPDATE moz_bookmarks SET position = NULL WHERE id = 150;"
                 R"(WITH RECURSIVE n(k) AS (SELECT 0 UNION ALL SELECT k + 1 FROM n WHERE k < 70)
INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, guid)
  SELECT 1000 + k, 2, NULL, CASE k WHEN 0 THEN 153 ELSE 999 + k END, 1, 'Level ' || k,
    'd' || k FROM n
  UNION ALL SELECT 2000 + k, 1, 10 + k % 3, 1000 + k, 0, 'before ' || k, 'e' || k FROM n
  UNION ALL SELECT 3000 + k, 1, 11, 1000 + k, 2, 'after ' || k, 'f' || k FROM n;
)");
    sqlite3_close(db);
}

// A row as text, its links included.
std::string RowText(const ImportFolder& row) {
    std::string text = row.name + " parent " + std::to_string(row.parent) + " depth " +
                       std::to_string(row.depth) + " refused " + std::to_string(row.refusedLinks) +
                       " unread " + std::to_string(row.unreadLinks) + " below " +
                       std::to_string(row.linksBelow);
    for (const GroupLink& link : row.links)
        text += "\n  " + link.description + " <" + link.url + ">";
    return text;
}

std::vector<std::string> RowTexts(const std::vector<ImportFolder>& rows) {
    std::vector<std::string> texts;
    for (const ImportFolder& row : rows)
        texts.push_back(RowText(row));
    return texts;
}

struct Outcome {
    int status = -1;
    std::string err;
    std::string project;
};

// What --import-bookmarks must give, made from the whole tree: the rows of
// importFolders, the command's choices, planImport, the summary.
Outcome FromWholeTree(const std::string& source, const std::string& start, int group) {
    Project doc;
    if (start.empty() || !doc.load(start).ok())
        doc.resetToNew();
    const BookmarkReadResult read = readBookmarkFile(source);
    EXPECT_TRUE(read.ok()) << read.error;
    const std::vector<ImportFolder> folders = importFolders(read.tree, kLooseBookmarksName);
    const std::vector<ExistingGroup> groups = existingGroups(doc);
    std::vector<FolderChoice> choices;
    if (group > 0)
        for (const ImportFolder& folder : folders)
            choices.push_back({folder.parent < 0, group - 1});
    else
        choices = defaultChoices(folders, groups, heldGroups(folders, groups));
    ImportPlan plan = planImport(folders, choices, std::vector<ImportMode>(groups.size()), groups);
    plan.queries = read.tree.queries();
    Outcome outcome;
    outcome.status = plan.complete() ? kImportComplete : kImportPartial;
    if (!plan.complete() || plan.duplicates > 0)
        outcome.err = source + ": " + plan.summary(false) +
                      (plan.noGroupLinks > 0 ? "; use --group N" : "") + ".\n";
    applyImportPlan(plan, doc);
    outcome.project = serializeProject(doc);
    return outcome;
}

Outcome FromCommand(const std::string& source, const std::string& start, int group,
                    const std::string& out) {
    std::filesystem::remove(out);
    if (!start.empty())
        std::filesystem::copy_file(start, out);
    std::ostringstream err;
    Outcome outcome;
    outcome.status = runImportBookmarks(source, out, group, err);
    outcome.err = err.str();
    outcome.project = readFileBytes(out);
    return outcome;
}

TEST(PlacesImport, ReadsTheRowsOfTheWholeTree) {
    TempDir dir;
    BuildMixedPlaces(dir.file("mixed.sqlite"), false);
    BuildMixedPlaces(dir.file("deep.sqlite"), true);
    for (const std::string& source :
         {std::string(LINKFOLD_BROWSER_FIXTURES) + "/firefox-places.sqlite",
          dir.file("mixed.sqlite"), dir.file("deep.sqlite")}) {
        const BookmarkReadResult read = readBookmarkFile(source);
        ASSERT_TRUE(read.ok()) << read.error;
        const std::vector<ImportFolder> whole = importFolders(read.tree, kLooseBookmarksName);

        PlacesImport places;
        ASSERT_TRUE(places.open(source, kLooseBookmarksName)) << places.error();
        std::vector<ImportFolder> counted = whole;
        for (ImportFolder& row : counted) {
            row.unreadLinks = row.links.size();
            row.links.clear();
        }
        EXPECT_EQ(RowTexts(places.folders()), RowTexts(counted)) << source;
        ASSERT_TRUE(places.readLinks(std::vector<bool>(whole.size(), true))) << places.error();
        EXPECT_EQ(RowTexts(places.folders()), RowTexts(whole)) << source;
    }
}

TEST(PlacesImport, TheCommandGivesTheProjectOfTheWholeTree) {
    TempDir dir;
    BuildMixedPlaces(dir.file("mixed.sqlite"), false);
    BuildMixedPlaces(dir.file("deep.sqlite"), true);
    const std::string fixture = std::string(LINKFOLD_BROWSER_FIXTURES) + "/firefox-places.sqlite";
    const std::string mixed = dir.file("mixed.sqlite");
    const std::string deep = dir.file("deep.sqlite");
    // Projects made before, for importing again.
    ASSERT_EQ(FromCommand(mixed, "", 0, dir.file("before.lfp")).status, kImportPartial);
    ASSERT_EQ(FromCommand(mixed, "", 4, dir.file("all-in-4.lfp")).status, kImportPartial);
    ASSERT_EQ(FromCommand(fixture, "", 0, dir.file("fixture.lfp")).status, kImportComplete);

    const struct {
        std::string source;
        std::string start; // the project imported into; empty for a new one
        int group;
    } cases[] = {
        {fixture, "", 0},
        {fixture, "", 2},
        {fixture, dir.file("fixture.lfp"), 0},
        {fixture, dir.file("before.lfp"), 0},
        {mixed, "", 0},
        {mixed, "", 4},
        {mixed, "", 10},
        {mixed, dir.file("before.lfp"), 0},
        {mixed, dir.file("all-in-4.lfp"), 4},
        {mixed, dir.file("fixture.lfp"), 0},
        {deep, "", 0},
        {deep, "", 4},
        {deep, dir.file("before.lfp"), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source + " into " + (c.start.empty() ? "a new project" : c.start) +
                     ", group " + std::to_string(c.group));
        const Outcome expected = FromWholeTree(c.source, c.start, c.group);
        const Outcome actual = FromCommand(c.source, c.start, c.group, dir.file("out.lfp"));
        EXPECT_EQ(actual.status, expected.status);
        EXPECT_EQ(actual.err, expected.err);
        EXPECT_TRUE(actual.project == expected.project);
    }
}

} // namespace
