#include "bookmarks/ImportPlan.h"

#include <gtest/gtest.h>

namespace {

using Links = std::vector<GroupLink>;

TEST(ImportPlan, TopFoldersFlattenTheirSubfoldersAndRootLinksFormTheirOwn) {
    BookmarkTree tree;
    const int a = tree.addFolder(-1, "A");
    tree.addLink(a, "a1", "https://a/1");
    const int sub = tree.addFolder(a, "Sub");
    tree.addLink(sub, "s & t", "https://a/sub");
    tree.addSeparator(a);
    tree.addLink(a, "a2", "https://a/2");
    tree.addLink(-1, "loose", "https://loose/");
    tree.addFolder(-1, "Empty");
    const int b = tree.addFolder(-1, "B");
    tree.addLink(b, "b1", "https://b/1");
    tree.addLink(-1, "loose2", "https://loose/2");

    const std::vector<ImportFolder> folders = importFolders(tree, "Unfiled");
    ASSERT_EQ(folders.size(), 4u);
    EXPECT_EQ(folders[0].name, "A");
    EXPECT_EQ(
        folders[0].links,
        (Links{{"a1", "https://a/1"}, {"s &amp; t", "https://a/sub"}, {"a2", "https://a/2"}}));
    EXPECT_EQ(folders[1].name, "Unfiled");
    EXPECT_EQ(folders[1].links,
              (Links{{"loose", "https://loose/"}, {"loose2", "https://loose/2"}}));
    EXPECT_EQ(folders[2].name, "Empty");
    EXPECT_TRUE(folders[2].links.empty());
    EXPECT_EQ(folders[3].name, "B");
}

TEST(ImportPlan, DefaultMappingSendsCheckedFoldersWithLinksToEmptyGroupsInOrder) {
    const std::vector<ImportFolder> folders{{"F0", {{"x", "u"}}}, {"F1", {{"x", "u"}}},
                                            {"F2", {}},           {"F3", {{"x", "u"}}},
                                            {"F4", {{"x", "u"}}}, {"F5", {{"x", "u"}}}};
    std::vector<ExistingGroup> groups(4);
    groups[0].urls = {"https://taken/"};
    groups[2].urls = {"https://taken/"};
    const struct {
        std::vector<bool> checked;
        std::vector<int> mapping;
    } cases[] = {
        {{true, true, true, true, true, true}, {1, 3, -1, -1, -1, -1}},
        {{false, true, true, true, false, true}, {-1, 1, -1, 3, -1, -1}},
        {{false, false, false, false, false, false}, {-1, -1, -1, -1, -1, -1}},
        {{true}, {1, -1, -1, -1, -1, -1}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(defaultMapping(folders, c.checked, groups), c.mapping);
}

TEST(ImportPlan, DuplicatesAreSkippedAgainstTheGroupAndEarlierImports) {
    const std::vector<ImportFolder> folders{
        {"Web",
         {{"one", "https://One.example/"},
          {"kept", "https://kept.example/"},
          {"again", "https://one.example:443"},
          {"exists", "http://EXISTS.example/#"}}},
        {"More", {{"kept twice", "https://kept.example"}, {"new", "https://new.example/"}}},
        {"Skipped", {{"s", "https://s.example/"}}},
        {"Replace", {{"exists", "http://exists.example/"}, {"r", "https://r.example/"}}},
    };
    std::vector<ExistingGroup> groups(4);
    groups[0] = {"Mine", {"http://exists.example"}};
    groups[2] = {"", {"http://exists.example/"}};
    const std::vector<int> mapping{0, 0, -1, 2};
    const std::vector<ImportMode> modes{ImportMode::Append, ImportMode::Append,
                                        ImportMode::Replace};

    const ImportPlan plan = planImport(folders, mapping, modes, groups);
    ASSERT_EQ(plan.groups.size(), 2u);
    EXPECT_EQ(plan.groups[0].group, 0);
    EXPECT_EQ(plan.groups[0].mode, ImportMode::Append);
    EXPECT_EQ(plan.groups[0].newTitle, "");
    EXPECT_EQ(plan.groups[0].links, (Links{{"one", "https://One.example/"},
                                           {"kept", "https://kept.example/"},
                                           {"new", "https://new.example/"}}));
    EXPECT_EQ(plan.groups[1].group, 2);
    EXPECT_EQ(plan.groups[1].mode, ImportMode::Replace);
    EXPECT_EQ(plan.groups[1].newTitle, "Replace");
    EXPECT_EQ(plan.groups[1].links,
              (Links{{"exists", "http://exists.example/"}, {"r", "https://r.example/"}}));
    EXPECT_EQ(plan.linkCount, 5u);
    EXPECT_EQ(plan.groupCount, 2u);
    EXPECT_EQ(plan.duplicates, 3u);
    EXPECT_EQ(plan.summary(), "5 links into 2 groups, 3 duplicates skipped");
}

TEST(ImportPlan, SummaryCountsInWords) {
    const struct {
        size_t links, groups, duplicates;
        const char* text;
    } cases[] = {{312, 6, 14, "312 links into 6 groups, 14 duplicates skipped"},
                 {1, 1, 1, "1 link into 1 group, 1 duplicate skipped"},
                 {0, 0, 0, "0 links into 0 groups"},
                 {2, 1, 0, "2 links into 1 group"}};
    for (const auto& c : cases) {
        ImportPlan plan;
        plan.linkCount = c.links;
        plan.groupCount = c.groups;
        plan.duplicates = c.duplicates;
        EXPECT_EQ(plan.summary(), c.text);
    }
}

} // namespace
