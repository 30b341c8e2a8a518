#include "bookmarks/BookmarkTree.h"

#include <algorithm>
#include <utility>

namespace {

size_t heapBytes(const std::string& text) {
    // A text beyond the string's own buffer is a heap block, rounded up as
    // malloc does, with its header.
    return text.capacity() > std::string().capacity() ? ((text.capacity() + 24) & ~size_t{15}) : 0;
}

} // namespace

void BookmarkTree::account(const BookmarkItem& item) {
    m_memory += heapBytes(item.title) + heapBytes(item.url);
}

int BookmarkTree::add(BookmarkItem item) {
    item.depth = depthBelow(item.parent);
    const size_t capacity = m_items.capacity();
    if (m_items.size() == capacity) {
        // Growing holds the old and the new block at once: refused when the
        // two would pass the limit.
        const size_t grown = std::max<size_t>(2 * capacity, 16) * sizeof(BookmarkItem);
        if (m_memory + heapBytes(item.title) + heapBytes(item.url) + grown > m_limit) {
            m_full = true;
            return item.parent;
        }
    }
    account(item);
    m_items.push_back(std::move(item));
    m_memory += (m_items.capacity() - capacity) * sizeof(BookmarkItem);
    return static_cast<int>(m_items.size() - 1);
}

void BookmarkTree::reserve(size_t items) {
    const size_t capacity = m_items.capacity();
    const size_t room = m_limit > m_memory ? (m_limit - m_memory) / sizeof(BookmarkItem) / 2 : 0;
    if (items <= capacity || room <= capacity)
        return;
    m_items.reserve(std::min(items, room));
    m_memory += (m_items.capacity() - capacity) * sizeof(BookmarkItem);
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
    // A separator at the top of a folder or after another one separates
    // nothing.
    if (m_items.empty() ||
        (m_items.back().kind == BookmarkKind::Separator && m_items.back().parent == parent))
        return -1;
    if (parent >= 0 && static_cast<size_t>(parent) + 1 == m_items.size())
        return -1;
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
    account(item);
}

void BookmarkTree::makeLink(int index, std::string title, std::string url, std::int64_t added) {
    BookmarkItem& item = m_items[static_cast<size_t>(index)];
    item.kind = BookmarkKind::Link;
    item.title = std::move(title);
    item.url = std::move(url);
    item.added = added;
    item.toolbar = item.root = false;
    account(item);
    ++m_links;
}

void BookmarkTree::removeLast() {
    if (m_items.back().kind == BookmarkKind::Link)
        --m_links;
    m_items.pop_back();
}
