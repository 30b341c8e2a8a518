// The glue between bookmarks and the project: one import step, the export's
// group contents, the text conversion between the two.
#include "bookmarks/ProjectBookmarks.h"
#include "core/OutsideText.h"
#include "core/Project.h"

#include <gtest/gtest.h>

namespace {

GroupImport Change(int group, ImportMode mode, std::string title, std::vector<GroupLink> links) {
    GroupImport change;
    change.group = group;
    change.mode = mode;
    change.newTitle = std::move(title);
    change.links = std::move(links);
    return change;
}

} // namespace

TEST(ApplyImportPlan, ChangesGroupsInOneStep) {
    const struct {
        const char* name;
        GroupImport change;
        std::string title;       // group 1's title after
        std::vector<Link> links; // group 1's links after
        bool modified;
    } cases[] = {
        {"append keeps what is there",
         Change(1, ImportMode::Append, "", {{"New", "https://new.example/"}}),
         "Mine",
         {{"Old", "https://old.example/"}, {"New", "https://new.example/"}},
         true},
        {"replace drops what is there",
         Change(1, ImportMode::Replace, "", {{"New", "https://new.example/"}}),
         "Mine",
         {{"New", "https://new.example/"}},
         true},
        {"replace with nothing empties the group",
         Change(1, ImportMode::Replace, "", {}),
         "Mine",
         {},
         true},
        {"a new title is taken",
         Change(1, ImportMode::Append, "Reading", {}),
         "Reading",
         {{"Old", "https://old.example/"}},
         true},
        {"appending nothing changes nothing",
         Change(1, ImportMode::Append, "", {}),
         "Mine",
         {{"Old", "https://old.example/"}},
         false},
        {"a group out of range is ignored",
         Change(kGroupCount, ImportMode::Replace, "X", {{"New", "https://new.example/"}}),
         "Mine",
         {{"Old", "https://old.example/"}},
         false},
        // The project keeps every character of the bookmarks.
        {"text in every script is kept",
         Change(1, ImportMode::Replace, "Caf\xC3\xA9 \xE6\x97\xA5",
                {{"R\xC3\xA9sum\xC3\xA9 &amp; more", "https://x.example/\xE2\x82\xAC"}}),
         "Caf\xC3\xA9 \xE6\x97\xA5",
         {{"R\xC3\xA9sum\xC3\xA9 &amp; more", "https://x.example/\xE2\x82\xAC"}},
         true},
    };
    for (const auto& c : cases) {
        Project doc;
        doc.setGroupTitle(1, "Mine");
        doc.addLink(1, "Old", "https://old.example/");
        doc.addLink(0, "Untouched", "https://zero.example/");
        doc.setModified(false);
        ImportPlan plan;
        plan.groups.push_back(c.change);
        EXPECT_EQ(applyImportPlan(plan, doc), c.modified) << c.name;
        EXPECT_EQ(doc.isModified(), c.modified) << c.name;
        EXPECT_EQ(doc.group(1).title, c.title) << c.name;
        EXPECT_EQ(doc.links(1), c.links) << c.name;
        EXPECT_EQ(doc.links(0).size(), 1u) << c.name;
    }
}

TEST(ApplyImportPlan, PlannedAgainstTheProjectSkipsItsDuplicates) {
    Project doc;
    doc.addLink(0, "Debian", "https://www.debian.org/");
    std::vector<ImportFolder> folders(1);
    folders[0].name = "Linux";
    folders[0].links = {{"Debian again", "HTTPS://WWW.DEBIAN.ORG:443"},
                        {"Kernel", "https://kernel.org/"}};
    const ImportPlan plan = planImport(folders, {{true, 0}}, {}, existingGroups(doc));
    EXPECT_EQ(plan.summary(),
              "1 link into 1 group, 1 duplicate skipped (HTTPS://WWW.DEBIAN.ORG:443)");
    applyImportPlan(plan, doc);
    ASSERT_EQ(doc.links(0).size(), 2u);
    EXPECT_EQ(doc.links(0)[1].url, "https://kernel.org/");
    EXPECT_EQ(doc.group(0).title, "Linux"); // it had none
}

TEST(ExportGroups, GivesEveryGroupInUtf8) {
    Project doc;
    doc.setGroupTitle(2, "Caf\xC3\xA9");
    doc.addLink(2, "News &amp; Views \xE2\x82\xAC", "https://x.example/");
    const std::vector<GroupContent> groups = exportGroups(doc);
    ASSERT_EQ(groups.size(), static_cast<size_t>(kGroupCount));
    EXPECT_EQ(groups[2].title, "Caf\xC3\xA9");
    ASSERT_EQ(groups[2].links.size(), 1u);
    EXPECT_EQ(groups[2].links[0].description, "News &amp; Views \xE2\x82\xAC");
    EXPECT_TRUE(groups[0].links.empty());
    // The exported title is plain text again.
    EXPECT_EQ(htmlToPlainText(groups[2].links[0].description), "News & Views \xE2\x82\xAC");
}

TEST(BookmarkFileKind, ByExtension) {
    const struct {
        const char* name;
        BookmarkFileKind kind;
    } cases[] = {
        {"out.xbel", BookmarkFileKind::Xbel}, {"OUT.XBEL", BookmarkFileKind::Xbel},
        {"out.html", BookmarkFileKind::Html}, {"out.htm", BookmarkFileKind::Html},
        {"xbel", BookmarkFileKind::Html},     {"a.xbel/out.html", BookmarkFileKind::Html},
    };
    for (const auto& c : cases)
        EXPECT_EQ(bookmarkFileKindForName(c.name), c.kind) << c.name;
}
