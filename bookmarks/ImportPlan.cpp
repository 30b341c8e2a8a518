#include "bookmarks/ImportPlan.h"

#include "bookmarks/SourceFile.h"
#include "core/OutsideText.h"
#include "core/UrlKey.h"

#include <algorithm>
#include <unordered_set>

std::vector<ImportFolder> importFolders(const BookmarkTree& tree, const std::string& rootName) {
    std::vector<ImportFolder> folders;
    std::vector<int> slotOfTop(tree.size(), -1); // top-level folder index -> folder slot
    int rootSlot = -1;
    for (size_t i = 0; i < tree.size(); ++i) {
        const BookmarkItem& item = tree.items()[i];
        if (item.kind == BookmarkKind::Folder && item.parent < 0) {
            slotOfTop[i] = static_cast<int>(folders.size());
            folders.push_back({item.title, {}});
            continue;
        }
        if (item.kind != BookmarkKind::Link)
            continue;
        const int top = tree.topFolder(static_cast<int>(i));
        int slot = top >= 0 ? slotOfTop[static_cast<size_t>(top)] : rootSlot;
        if (slot < 0) {
            slot = rootSlot = static_cast<int>(folders.size());
            folders.push_back({rootName, {}});
        }
        ImportFolder& folder = folders[static_cast<size_t>(slot)];
        if (std::optional<Link> link = outsideLink(item.title, item.url))
            folder.links.push_back({std::move(link->m_description), std::move(link->m_url)});
        else
            ++folder.refusedLinks;
    }
    return folders;
}

std::vector<int> defaultMapping(const std::vector<ImportFolder>& folders,
                                const std::vector<bool>& checked,
                                const std::vector<ExistingGroup>& groups) {
    std::vector<int> mapping(folders.size(), -1);
    size_t group = 0;
    for (size_t f = 0; f < folders.size(); ++f) {
        if (f >= checked.size() || !checked[f] || folders[f].links.empty())
            continue;
        while (group < groups.size() && !groups[group].urls.empty())
            ++group;
        if (group == groups.size())
            break;
        mapping[f] = static_cast<int>(group++);
    }
    return mapping;
}

std::string ImportPlan::summary() const {
    auto count = [](size_t n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    std::string text =
        count(linkCount, "link", "links") + " into " + count(groupCount, "group", "groups");
    if (duplicates > 0)
        text += ", " + count(duplicates, "duplicate", "duplicates") + " skipped";
    if (refusedLinks > 0)
        text += ", " + skippedLinksText(refusedLinks);
    return text;
}

ImportPlan planImport(const std::vector<ImportFolder>& folders, const std::vector<int>& mapping,
                      const std::vector<ImportMode>& modes,
                      const std::vector<ExistingGroup>& groups) {
    ImportPlan plan;
    std::vector<int> slotOfGroup(groups.size(), -1);
    std::vector<std::unordered_set<std::string>> seen;
    for (size_t f = 0; f < folders.size() && f < mapping.size(); ++f) {
        const int g = mapping[f];
        if (g < 0 || static_cast<size_t>(g) >= groups.size())
            continue;
        const auto gi = static_cast<size_t>(g);
        if (slotOfGroup[gi] < 0) {
            slotOfGroup[gi] = static_cast<int>(plan.groups.size());
            GroupImport change;
            change.group = g;
            change.mode = gi < modes.size() ? modes[gi] : ImportMode::Append;
            std::unordered_set<std::string> keys;
            if (change.mode == ImportMode::Append)
                for (const std::string& url : groups[gi].urls)
                    keys.insert(urlComparisonKey(url));
            if (trimmedText(groups[gi].title).empty())
                change.newTitle = plainTextToHtml(folders[f].name);
            plan.groups.push_back(std::move(change));
            seen.push_back(std::move(keys));
        }
        const auto slot = static_cast<size_t>(slotOfGroup[gi]);
        plan.refusedLinks += folders[f].refusedLinks;
        for (const GroupLink& link : folders[f].links) {
            if (!seen[slot].insert(urlComparisonKey(link.url)).second) {
                ++plan.duplicates;
                continue;
            }
            plan.groups[slot].links.push_back(link);
            ++plan.linkCount;
        }
    }
    std::sort(plan.groups.begin(), plan.groups.end(),
              [](const GroupImport& a, const GroupImport& b) { return a.group < b.group; });
    for (const GroupImport& change : plan.groups)
        if (!change.links.empty())
            ++plan.groupCount;
    return plan;
}
