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
    auto newRow = [&](std::string_view name, int parent, std::string_view parentName) {
        ImportFolder row;
        row.name =
            trimWhiteSpace(name).empty() ? untitledFolderName(parentName) : std::string(name);
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
            if (!item.root) {
                const int parentRow =
                    parent < 0 || inRoot ? -1 : rowOf[static_cast<size_t>(parent)];
                const std::string_view parentName =
                    parentRow >= 0 ? std::string_view(rows[static_cast<size_t>(parentRow)].name)
                    : inRoot       ? items[static_cast<size_t>(parent)].title
                                   : std::string_view();
                rowOf[i] = newRow(item.title, parentRow, parentName);
            }
            continue;
        }
        if (item.kind != BookmarkKind::Link)
            continue;
        int row = -1;
        if (parent < 0) {
            if (outsideRow < 0)
                outsideRow = newRow(outside, -1, {});
            row = outsideRow;
        } else {
            int& slot = rowOf[static_cast<size_t>(parent)];
            if (slot < 0) // the first link directly in a root
                slot = newRow(items[static_cast<size_t>(parent)].title, -1, {});
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

std::string untitledFolderName(std::string_view parentName) {
    const std::string_view parent = trimWhiteSpace(parentName);
    return parent.empty() ? std::string("Untitled folder")
                          : "Untitled folder (" + std::string(parent) + ")";
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

HeldGroups::HeldGroups(const std::vector<ExistingGroup>& groups)
    : m_groups(std::min<size_t>(groups.size(), 64)) {
    size_t urls = 0;
    for (size_t g = 0; g < m_groups; ++g)
        urls += groups[g].urls.size();
    m_groupsOf.reserve(urls);
    for (size_t g = 0; g < m_groups; ++g)
        for (const std::string& url : groups[g].urls)
            m_groupsOf[urlComparisonKey(url)] |= std::uint64_t{1} << g;
    m_groupsOfUrl.reserve(urls);
    for (size_t g = 0; g < m_groups; ++g)
        for (const std::string& url : groups[g].urls)
            m_groupsOfUrl.emplace(url, m_groupsOf[urlComparisonKey(url)]);
}

int heldGroup(const std::uint32_t* hits, size_t groups, size_t links) {
    int best = -1;
    for (size_t g = 0; g < groups; ++g)
        if (size_t{2} * hits[g] > links && (best < 0 || hits[g] > hits[static_cast<size_t>(best)]))
            best = static_cast<int>(g);
    return best;
}

std::uint64_t HeldGroups::groupsHolding(std::string_view url) const {
    if (m_groupsOf.empty())
        return 0;
    const auto same = m_groupsOfUrl.find(std::string(url));
    if (same != m_groupsOfUrl.end())
        return same->second;
    const auto found = m_groupsOf.find(urlComparisonKey(url));
    return found == m_groupsOf.end() ? 0 : found->second;
}

void HeldGroups::add(size_t row, std::string_view url) {
    const size_t width = m_groups + 1;
    if (m_counts.size() < (row + 1) * width)
        m_counts.resize((row + 1) * width, 0);
    std::uint32_t* counts = &m_counts[row * width];
    ++counts[0];
    const std::uint64_t holding = groupsHolding(url);
    for (size_t g = 0; g < m_groups; ++g)
        if (holding & (std::uint64_t{1} << g))
            ++counts[1 + g];
}

std::vector<int> HeldGroups::result(const std::vector<ImportFolder>& folders) const {
    const size_t width = m_groups + 1;
    std::vector<std::uint32_t> counts = m_counts;
    counts.resize(folders.size() * width, 0);
    // Parents come before their rows: one pass backwards sums each row
    // into its parent.
    for (size_t r = folders.size(); r-- > 0;) {
        const int parent = folders[r].parent;
        if (parent >= 0 && static_cast<size_t>(parent) < r)
            for (size_t c = 0; c < width; ++c)
                counts[static_cast<size_t>(parent) * width + c] += counts[r * width + c];
    }
    std::vector<int> held(folders.size(), -1);
    for (size_t r = 0; r < folders.size(); ++r)
        held[r] = heldGroup(&counts[r * width + 1], m_groups, counts[r * width]);
    return held;
}

std::vector<int> heldGroups(const std::vector<ImportFolder>& folders,
                            const std::vector<ExistingGroup>& groups) {
    HeldGroups held(groups);
    if (!held.any())
        return std::vector<int>(folders.size(), -1);
    for (size_t r = 0; r < folders.size(); ++r)
        for (const GroupLink& link : folders[r].links)
            held.add(r, link.url);
    return held.result(folders);
}

namespace {

bool titleNames(const std::string& groupTitle, const std::string& folderName) {
    const std::string_view name = trimWhiteSpace(folderName);
    return !name.empty() && htmlToPlainText(groupTitle) == name;
}

// The groups given to ticked rows other than those marked in `except`.
std::vector<bool> takenGroups(const std::vector<FolderChoice>& choices, size_t groupCount,
                              const std::vector<bool>& except) {
    std::vector<bool> taken(groupCount, false);
    for (size_t r = 0; r < choices.size(); ++r)
        if (!(r < except.size() && except[r]) && choices[r].checked && choices[r].group >= 0 &&
            static_cast<size_t>(choices[r].group) < groupCount)
            taken[static_cast<size_t>(choices[r].group)] = true;
    return taken;
}

enum class Rule { Held, Title, Empty };

int firstGroup(const std::vector<ExistingGroup>& groups, const std::vector<bool>& taken,
               const ImportFolder& folder, int held, Rule rule) {
    if (rule == Rule::Held)
        return held >= 0 && static_cast<size_t>(held) < groups.size() &&
                       !taken[static_cast<size_t>(held)]
                   ? held
                   : -1;
    for (size_t g = 0; g < groups.size(); ++g)
        if (!taken[g] && (rule == Rule::Title ? titleNames(groups[g].title, folder.name)
                                              : groups[g].urls.empty()))
            return static_cast<int>(g);
    return -1;
}

// Gives the rows (ascending) that are ticked without a group and have
// links one each, by the rules in turn, from the groups not taken.
void giveGroups(const std::vector<ImportFolder>& folders, std::vector<FolderChoice>& choices,
                const std::vector<size_t>& rows, const std::vector<ExistingGroup>& groups,
                const std::vector<int>& held, std::vector<bool>& taken) {
    for (const Rule rule : {Rule::Held, Rule::Title, Rule::Empty}) {
        for (const size_t r : rows) {
            // A row without a link the page may take needs no group.
            if (!choices[r].checked || choices[r].group >= 0 || folders[r].linksBelow == 0)
                continue;
            const int g =
                firstGroup(groups, taken, folders[r], r < held.size() ? held[r] : -1, rule);
            if (g >= 0) {
                choices[r].group = g;
                taken[static_cast<size_t>(g)] = true;
            }
        }
    }
}

} // namespace

std::vector<FolderChoice> defaultChoices(const std::vector<ImportFolder>& folders,
                                         const std::vector<ExistingGroup>& groups,
                                         const std::vector<int>& held) {
    std::vector<FolderChoice> choices(folders.size());
    std::vector<bool> taken(groups.size(), false);
    std::vector<size_t> rows;
    for (size_t r = 0; r < folders.size(); ++r) {
        choices[r].checked = folders[r].parent < 0 && folders[r].linksBelow > 0;
        if (choices[r].checked)
            rows.push_back(r);
    }
    giveGroups(folders, choices, rows, groups, held, taken);
    return choices;
}

std::vector<FolderChoice> tickRows(const std::vector<ImportFolder>& folders,
                                   std::vector<FolderChoice> choices,
                                   const std::vector<size_t>& rows,
                                   const std::vector<ExistingGroup>& groups,
                                   const std::vector<int>& held) {
    choices.resize(folders.size());
    std::vector<bool> ticking(folders.size(), false);
    std::vector<size_t> valid;
    for (const size_t r : rows)
        if (r < folders.size() && !ticking[r]) {
            ticking[r] = true;
            valid.push_back(r);
        }
    std::sort(valid.begin(), valid.end());
    std::vector<bool> taken = takenGroups(choices, groups.size(), ticking);
    for (const size_t r : valid) {
        FolderChoice& choice = choices[r];
        choice.checked = true;
        if (choice.group >= 0 && static_cast<size_t>(choice.group) < groups.size() &&
            !taken[static_cast<size_t>(choice.group)])
            taken[static_cast<size_t>(choice.group)] = true;
        else
            choice.group = -1;
    }
    giveGroups(folders, choices, valid, groups, held, taken);
    return choices;
}

std::string countText(size_t n) {
    std::string digits = std::to_string(n);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, 1, ',');
    return digits;
}

std::string ImportPlan::summary(bool window) const {
    auto count = [](size_t n, const char* one, const char* many) {
        return countText(n) + " " + (n == 1 ? one : many);
    };
    auto names = [](const SkippedNames& skipped, const char* before = "") {
        const std::string text = skipped.text();
        return text.empty() ? text : " (" + std::string(before) + text + ")";
    };
    std::string text =
        count(linkCount, "link", "links") + " into " + count(groupCount, "group", "groups");
    if (duplicates > 0)
        text += ", " + count(duplicates, "duplicate", "duplicates") + " skipped" +
                names(duplicateNames);
    if (refusedLinks > 0)
        text += ", " + skippedLinksText(refusedLinks) + names(refusedFolders, "in ");
    if (queries.count > 0)
        text += ", " + count(queries.count, "saved query", "saved queries") + " skipped" +
                names(queries);
    if (noGroupLinks > 0)
        text += "; " + count(noGroupLinks, "link", "links") + " in " +
                count(noGroupFolders, "folder", "folders") + " not imported: no group left" +
                names(noGroupNames);
    if (unchosenLinks > 0)
        text += "; " + count(unchosenLinks, "link", "links") + " in " +
                count(unchosenFolders, "folder", "folders") +
                (window ? " not ticked" : " left out") + names(unchosenNames);
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
        // Links the page may not take are left out wherever they lie.
        plan.refusedLinks += folder.refusedLinks;
        plan.refusedFolders.add(folder.name, folder.refusedLinks);
        const size_t own = folder.links.size() + folder.unreadLinks;
        if (fate.fate != Fate::Imported) {
            const bool noGroup = fate.fate == Fate::NoGroup;
            (noGroup ? plan.noGroupLinks : plan.unchosenLinks) += own;
            if (own > 0) {
                ++(noGroup ? plan.noGroupFolders : plan.unchosenFolders);
                (noGroup ? plan.noGroupNames : plan.unchosenNames).add(folder.name, own);
            }
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
            keys.reserve((change.mode == ImportMode::Append ? groups[gi].urls.size() : 0) +
                         incoming[gi]);
            if (change.mode == ImportMode::Append)
                for (const std::string& url : groups[gi].urls)
                    keys.insert(urlComparisonKey(url));
            if (trimWhiteSpace(groups[gi].title).empty())
                change.newTitle = plainTextToHtml(folders[static_cast<size_t>(fate.ticked)].name);
            plan.groups.push_back(std::move(change));
            seen.push_back(std::move(keys));
        }
        const auto slot = static_cast<size_t>(slotOfGroup[gi]);
        for (auto& link : folder.links) {
            if (!seen[slot].insert(urlComparisonKey(link.url)).second) {
                ++plan.duplicates;
                plan.duplicateNames.add(link.url);
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
