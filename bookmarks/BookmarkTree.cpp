#include "bookmarks/BookmarkTree.h"

#include <algorithm>
#include <utility>

int BookmarkTree::add(BookmarkItem item) {
    item.depth = depthBelow(item.parent);
    m_items.push_back(std::move(item));
    return static_cast<int>(m_items.size() - 1);
}

int BookmarkTree::addFolder(int parent, std::string title, std::int64_t added, bool toolbar,
                            bool root) {
    if (depthBelow(parent) >= kMaxDepth)
        return parent;
    BookmarkItem item;
    item.kind = BookmarkKind::Folder;
    item.title = std::move(title);
    item.added = added;
    item.parent = parent;
    item.toolbar = toolbar;
    item.root = root && parent < 0;
    return add(std::move(item));
}

int BookmarkTree::addLink(int parent, std::string title, std::string url, std::int64_t added) {
    BookmarkItem item;
    item.kind = BookmarkKind::Link;
    item.title = std::move(title);
    item.url = std::move(url);
    item.added = added;
    item.parent = parent;
    ++m_links;
    return add(std::move(item));
}

int BookmarkTree::addSeparator(int parent) {
    BookmarkItem item;
    item.kind = BookmarkKind::Separator;
    item.parent = parent;
    return add(std::move(item));
}

std::vector<std::string> BookmarkTree::folderPath(int index) const {
    std::vector<std::string> path;
    for (int p = at(index).parent; p >= 0; p = at(p).parent)
        path.push_back(at(p).title);
    std::reverse(path.begin(), path.end());
    return path;
}

int BookmarkTree::topFolder(int index) const {
    int top = at(index).kind == BookmarkKind::Folder ? index : -1;
    for (int p = at(index).parent; p >= 0; p = at(p).parent)
        top = p;
    return top;
}

void BookmarkTree::setFolder(int index, std::string title, std::int64_t added) {
    BookmarkItem& item = m_items[static_cast<size_t>(index)];
    item.title = std::move(title);
    item.added = added;
}

void BookmarkTree::makeLink(int index, std::string title, std::string url, std::int64_t added) {
    BookmarkItem& item = m_items[static_cast<size_t>(index)];
    item.kind = BookmarkKind::Link;
    item.title = std::move(title);
    item.url = std::move(url);
    item.added = added;
    item.toolbar = item.root = false;
    ++m_links;
}

void BookmarkTree::removeLast() {
    if (m_items.back().kind == BookmarkKind::Link)
        --m_links;
    m_items.pop_back();
}
