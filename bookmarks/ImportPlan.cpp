#include "bookmarks/ImportPlan.h"

#include "bookmarks/SourceFile.h"
#include "core/OutsideText.h"
#include "core/TextUtil.h"
#include "core/UrlKey.h"

#include <algorithm>
#include <type_traits>
#include <unordered_set>

std::vector<ImportFolder>
importRows(const BookmarkTree& tree, const std::string& looseName,
           const std::function<void(ImportFolder& row, size_t rowIndex, int item)>& link) {
    const std::string outside = tree.looseName().empty() ? looseName : tree.looseName();
    const std::vector<BookmarkItem>& items = tree.items();
    std::vector<ImportFolder> rows;
    // The row of each folder item; for a root, the row of its loose links.
    std::vector<int> rowOf(items.size(), -1);
    int outsideRow = -1;
    auto newRow = [&](std::string_view name, int parent) {
        ImportFolder row;
        row.name = std::string(name);
        row.parent = parent;
        row.depth = parent < 0 ? 0 : rows[static_cast<size_t>(parent)].depth + 1;
        rows.push_back(std::move(row));
        return static_cast<int>(rows.size() - 1);
    };
    for (size_t i = 0; i < items.size(); ++i) {
        const BookmarkItem& item = items[i];
        const int parent = item.parent;
        const bool inRoot = parent >= 0 && items[static_cast<size_t>(parent)].root;
        if (item.kind == BookmarkKind::Folder) {
            if (!item.root)
                rowOf[i] = newRow(item.title,
                                  parent < 0 || inRoot ? -1 : rowOf[static_cast<size_t>(parent)]);
            continue;
        }
        if (item.kind != BookmarkKind::Link)
            continue;
        int row = -1;
        if (parent < 0) {
            if (outsideRow < 0)
                outsideRow = newRow(outside, -1);
            row = outsideRow;
        } else {
            int& slot = rowOf[static_cast<size_t>(parent)];
            if (slot < 0) // the first link directly in a root
                slot = newRow(items[static_cast<size_t>(parent)].title, -1);
            row = slot;
        }
        link(rows[static_cast<size_t>(row)], static_cast<size_t>(row), static_cast<int>(i));
    }
    // Parents come before their rows: one pass backwards adds each row's
    // count to its parent.
    for (size_t r = rows.size(); r-- > 0;)
        if (rows[r].parent >= 0)
            rows[static_cast<size_t>(rows[r].parent)].linksBelow += rows[r].linksBelow;
    return rows;
}

std::vector<ImportFolder> importFolders(const BookmarkTree& tree, const std::string& looseName) {
    const std::vector<BookmarkItem>& items = tree.items();
    // The links directly in each folder (the last slot: outside any), so
    // that each row's list is sized once.
    std::vector<unsigned> ownLinks(items.size() + 1, 0);
    for (const BookmarkItem& item : items)
        if (item.kind == BookmarkKind::Link)
            ++ownLinks[item.parent < 0 ? items.size() : static_cast<size_t>(item.parent)];
    return importRows(tree, looseName, [&](ImportFolder& folder, size_t, int index) {
        const BookmarkItem& item = items[static_cast<size_t>(index)];
        if (folder.links.capacity() == 0)
            folder.links.reserve(
                ownLinks[item.parent < 0 ? items.size() : static_cast<size_t>(item.parent)]);
        if (std::optional<Link> link = outsideLink(item.title, item.url)) {
            folder.links.push_back({std::move(link->description), std::move(link->url)});
            ++folder.linksBelow;
        } else {
            ++folder.refusedLinks;
        }
    });
}

namespace {

bool titleNames(const std::string& groupTitle, const std::string& folderName) {
    const std::string_view name = trimWhiteSpace(folderName);
    return !name.empty() && htmlToPlainText(groupTitle) == name;
}

// The groups given to ticked rows other than `except`.
std::vector<bool> takenGroups(const std::vector<FolderChoice>& choices, size_t groupCount,
                              size_t except) {
    std::vector<bool> taken(groupCount, false);
    for (size_t r = 0; r < choices.size(); ++r)
        if (r != except && choices[r].checked && choices[r].group >= 0 &&
            static_cast<size_t>(choices[r].group) < groupCount)
            taken[static_cast<size_t>(choices[r].group)] = true;
    return taken;
}

int firstGroup(const std::vector<ExistingGroup>& groups, const std::vector<bool>& taken,
               const std::string& name, bool byTitle) {
    for (size_t g = 0; g < groups.size(); ++g)
        if (!taken[g] && (byTitle ? titleNames(groups[g].title, name) : groups[g].urls.empty()))
            return static_cast<int>(g);
    return -1;
}

} // namespace

std::vector<FolderChoice> defaultChoices(const std::vector<ImportFolder>& folders,
                                         const std::vector<ExistingGroup>& groups) {
    std::vector<FolderChoice> choices(folders.size());
    std::vector<bool> taken(groups.size(), false);
    for (size_t r = 0; r < folders.size(); ++r)
        choices[r].checked = folders[r].parent < 0 && folders[r].linksBelow > 0;
    for (const bool byTitle : {true, false}) {
        for (size_t r = 0; r < folders.size(); ++r) {
            if (!choices[r].checked || choices[r].group >= 0)
                continue;
            const int g = firstGroup(groups, taken, folders[r].name, byTitle);
            if (g >= 0) {
                choices[r].group = g;
                taken[static_cast<size_t>(g)] = true;
            }
        }
    }
    return choices;
}

int freeGroupFor(const std::vector<ImportFolder>& folders, const std::vector<FolderChoice>& choices,
                 size_t row, const std::vector<ExistingGroup>& groups) {
    const std::vector<bool> taken = takenGroups(choices, groups.size(), row);
    const int byTitle = firstGroup(groups, taken, folders[row].name, true);
    return byTitle >= 0 ? byTitle : firstGroup(groups, taken, folders[row].name, false);
}

std::string countText(size_t n) {
    std::string digits = std::to_string(n);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, 1, ',');
    return digits;
}

std::string ImportPlan::summary() const {
    auto count = [](size_t n, const char* one, const char* many) {
        return countText(n) + " " + (n == 1 ? one : many);
    };
    std::string text =
        count(linkCount, "link", "links") + " into " + count(groupCount, "group", "groups");
    if (duplicates > 0)
        text += ", " + count(duplicates, "duplicate", "duplicates") + " skipped";
    if (refusedLinks > 0)
        text += ", " + skippedLinksText(refusedLinks);
    if (noGroupLinks > 0)
        text += "; " + count(noGroupLinks, "link", "links") + " in " +
                count(noGroupFolders, "folder", "folders") + " not imported: no group left";
    if (unchosenLinks > 0)
        text += "; " + count(unchosenLinks, "link", "links") + " in " +
                count(unchosenFolders, "folder", "folders") + " not ticked";
    return text;
}

namespace {

enum class Fate : unsigned char { Unchosen, NoGroup, Imported };
struct RowFate {
    Fate fate = Fate::Unchosen;
    int group = -1;
    int ticked = -1; // the ticked row it goes with
};

// Where each row's links go: a ticked row into its group (or nowhere when
// it has none), an unticked row with the row it lies in.
std::vector<RowFate> rowFates(const std::vector<ImportFolder>& folders,
                              const std::vector<FolderChoice>& choices,
                              const std::vector<ExistingGroup>& groups) {
    std::vector<RowFate> fates(folders.size());
    for (size_t r = 0; r < folders.size(); ++r) {
        const FolderChoice choice = r < choices.size() ? choices[r] : FolderChoice{};
        const int parent = folders[r].parent;
        if (choice.checked) {
            const bool valid =
                choice.group >= 0 && static_cast<size_t>(choice.group) < groups.size();
            fates[r] = {valid ? Fate::Imported : Fate::NoGroup, valid ? choice.group : -1,
                        static_cast<int>(r)};
        } else if (parent >= 0 && static_cast<size_t>(parent) < r) {
            fates[r] = fates[static_cast<size_t>(parent)];
        }
    }
    return fates;
}

} // namespace

std::vector<bool> importedRows(const std::vector<ImportFolder>& folders,
                               const std::vector<FolderChoice>& choices,
                               const std::vector<ExistingGroup>& groups) {
    const std::vector<RowFate> fates = rowFates(folders, choices, groups);
    std::vector<bool> imported(fates.size());
    for (size_t r = 0; r < fates.size(); ++r)
        imported[r] = fates[r].fate == Fate::Imported;
    return imported;
}

namespace {

// planImport over folders whose links are copied into the plan, or moved
// (and each folder's list let go) when the folders are the plan's to take.
template <class Folders>
ImportPlan makePlan(Folders& folders, const std::vector<FolderChoice>& choices,
                    const std::vector<ImportMode>& modes,
                    const std::vector<ExistingGroup>& groups) {
    constexpr bool kMove = !std::is_const_v<Folders>;
    ImportPlan plan;
    const std::vector<RowFate> fates = rowFates(folders, choices, groups);
    // The links each group may receive, so that its list is sized once.
    std::vector<size_t> incoming(groups.size(), 0);
    for (size_t r = 0; r < folders.size(); ++r)
        if (fates[r].fate == Fate::Imported)
            incoming[static_cast<size_t>(fates[r].group)] += folders[r].links.size();
    std::vector<int> slotOfGroup(groups.size(), -1);
    std::vector<std::unordered_set<std::string>> seen;
    for (size_t r = 0; r < folders.size(); ++r) {
        auto& folder = folders[r];
        const RowFate& fate = fates[r];
        const size_t own = folder.links.size() + folder.unreadLinks + folder.refusedLinks;
        if (fate.fate != Fate::Imported) {
            const bool noGroup = fate.fate == Fate::NoGroup;
            (noGroup ? plan.noGroupLinks : plan.unchosenLinks) += own;
            if (own > 0)
                ++(noGroup ? plan.noGroupFolders : plan.unchosenFolders);
            continue;
        }
        const auto gi = static_cast<size_t>(fate.group);
        if (slotOfGroup[gi] < 0) {
            slotOfGroup[gi] = static_cast<int>(plan.groups.size());
            GroupImport change;
            change.group = fate.group;
            change.mode = gi < modes.size() ? modes[gi] : ImportMode::Append;
            change.links.reserve(incoming[gi]);
            std::unordered_set<std::string> keys;
            if (change.mode == ImportMode::Append)
                for (const std::string& url : groups[gi].urls)
                    keys.insert(urlComparisonKey(url));
            if (trimWhiteSpace(groups[gi].title).empty())
                change.newTitle = plainTextToHtml(folders[static_cast<size_t>(fate.ticked)].name);
            plan.groups.push_back(std::move(change));
            seen.push_back(std::move(keys));
        }
        const auto slot = static_cast<size_t>(slotOfGroup[gi]);
        plan.refusedLinks += folder.refusedLinks;
        for (auto& link : folder.links) {
            if (!seen[slot].insert(urlComparisonKey(link.url)).second) {
                ++plan.duplicates;
                continue;
            }
            if constexpr (kMove)
                plan.groups[slot].links.push_back(std::move(link));
            else
                plan.groups[slot].links.push_back(link);
            ++plan.linkCount;
        }
        if constexpr (kMove)
            folder.links = {};
    }
    std::sort(plan.groups.begin(), plan.groups.end(),
              [](const GroupImport& a, const GroupImport& b) { return a.group < b.group; });
    for (const GroupImport& change : plan.groups)
        if (!change.links.empty())
            ++plan.groupCount;
    return plan;
}

} // namespace

ImportPlan planImport(const std::vector<ImportFolder>& folders,
                      const std::vector<FolderChoice>& choices,
                      const std::vector<ImportMode>& modes,
                      const std::vector<ExistingGroup>& groups) {
    return makePlan(folders, choices, modes, groups);
}

ImportPlan planImport(std::vector<ImportFolder>&& folders, const std::vector<FolderChoice>& choices,
                      const std::vector<ImportMode>& modes,
                      const std::vector<ExistingGroup>& groups) {
    return makePlan(folders, choices, modes, groups);
}
