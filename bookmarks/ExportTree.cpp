#include "bookmarks/ExportTree.h"

#include "core/OutsideText.h"

BookmarkTree exportTree(const std::vector<GroupContent>& groups) {
    BookmarkTree tree;
    for (size_t i = 0; i < groups.size(); ++i) {
        const GroupContent& group = groups[i];
        if (group.links.empty())
            continue;
        std::string title = htmlToPlainText(group.title);
        if (title.empty())
            title = "Group " + std::to_string(i + 1);
        const int folder = tree.addFolder(-1, std::move(title));
        for (const GroupLink& link : group.links)
            tree.addLink(folder, htmlToPlainText(link.description), link.url);
    }
    return tree;
}
