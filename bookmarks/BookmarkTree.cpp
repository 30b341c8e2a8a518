#include "bookmarks/BookmarkTree.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// Text blocks grow with the tree, from a few pages to a megabyte; a text
// longer than that has a block of its own.
constexpr size_t kFirstBlock = size_t{16} << 10;
constexpr size_t kLargestBlock = size_t{1} << 20;

} // namespace

BookmarkTree::BookmarkTree(const BookmarkTree& other)
    : m_items(other.m_items), m_links(other.m_links), m_limit(other.m_limit),
      m_memory(other.m_memory), m_full(other.m_full), m_looseName(other.m_looseName),
      m_queries(other.m_queries) {
    // The copy's texts are its own.
    size_t bytes = 0;
    for (const BookmarkItem& item : m_items)
        bytes += item.title.size() + item.url.size();
    if (bytes > 0) {
        m_blocks.push_back(std::make_unique<char[]>(bytes));
        m_free = m_blocks.back().get();
        m_left = bytes;
    }
    for (BookmarkItem& item : m_items) {
        item.title = keep(item.title);
        item.url = keep(item.url);
    }
}

BookmarkTree& BookmarkTree::operator=(const BookmarkTree& other) {
    if (this != &other)
        *this = BookmarkTree(other);
    return *this;
}

bool BookmarkTree::textRoom(size_t bytes) {
    if (bytes <= m_left)
        return true;
    const size_t grown = std::clamp(m_memory / 4, kFirstBlock, kLargestBlock);
    const size_t block = std::max(bytes, grown);
    if (m_memory + block > m_limit) {
        m_full = true;
        return false;
    }
    m_blocks.push_back(std::make_unique_for_overwrite<char[]>(block));
    m_free = m_blocks.back().get();
    m_left = block;
    m_memory += block;
    return true;
}

std::string_view BookmarkTree::keep(std::string_view text) {
    if (text.empty())
        return {};
    std::memcpy(m_free, text.data(), text.size());
    const std::string_view kept(m_free, text.size());
    m_free += text.size();
    m_left -= text.size();
    return kept;
}

std::string_view BookmarkTree::keepText(std::string_view text) {
    return textRoom(text.size()) ? keep(text) : std::string_view();
}

int BookmarkTree::addKeptFolder(int parent, std::string_view keptTitle, std::int64_t added) {
    return addFolderItem(parent, keptTitle, added, false, false, false);
}

int BookmarkTree::addKeptLink(int parent, std::string_view keptTitle, std::string_view keptUrl,
                              std::int64_t added) {
    return addLinkItem(parent, keptTitle, keptUrl, added, false);
}

int BookmarkTree::add(BookmarkItem item, bool copyTexts) {
    item.depth = depthBelow(item.parent);
    const size_t capacity = m_items.capacity();
    if (m_items.size() == capacity) {
        // Growing holds the old and the new block at once: refused when the
        // two would pass the limit.
        const size_t grown = std::max<size_t>(2 * capacity, 16) * sizeof(BookmarkItem);
        if (m_memory + grown > m_limit) {
            m_full = true;
            return item.parent;
        }
    }
    if (copyTexts) {
        if (!textRoom(item.title.size() + item.url.size()))
            return item.parent;
        item.title = keep(item.title);
        item.url = keep(item.url);
    }
    m_items.push_back(item);
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

int BookmarkTree::addFolder(int parent, std::string_view title, std::int64_t added, bool toolbar,
                            bool root) {
    return addFolderItem(parent, title, added, toolbar, root, true);
}

int BookmarkTree::addLink(int parent, std::string_view title, std::string_view url,
                          std::int64_t added) {
    return addLinkItem(parent, title, url, added, true);
}

int BookmarkTree::addFolderItem(int parent, std::string_view title, std::int64_t added,
                                bool toolbar, bool root, bool copyTexts) {
    if (depthBelow(parent) >= kMaxDepth)
        return parent;
    BookmarkItem item;
    item.kind = BookmarkKind::Folder;
    item.title = title;
    item.added = added;
    item.parent = parent;
    item.toolbar = toolbar;
    item.root = root && parent < 0;
    return add(item, copyTexts);
}

int BookmarkTree::addLinkItem(int parent, std::string_view title, std::string_view url,
                              std::int64_t added, bool copyTexts) {
    BookmarkItem item;
    item.kind = BookmarkKind::Link;
    item.title = title;
    item.url = url;
    item.added = added;
    item.parent = parent;
    const int index = add(item, copyTexts);
    if (index != parent)
        ++m_links;
    return index;
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
    return add(item, true);
}

std::vector<std::string> BookmarkTree::folderPath(int index) const {
    std::vector<std::string> path;
    for (int p = at(index).parent; p >= 0; p = at(p).parent)
        path.emplace_back(at(p).title);
    std::reverse(path.begin(), path.end());
    return path;
}

int BookmarkTree::topFolder(int index) const {
    int top = at(index).kind == BookmarkKind::Folder ? index : -1;
    for (int p = at(index).parent; p >= 0; p = at(p).parent)
        top = p;
    return top;
}

void BookmarkTree::setFolder(int index, std::string_view title, std::int64_t added) {
    BookmarkItem& item = m_items[static_cast<size_t>(index)];
    item.added = added;
    if (textRoom(title.size()))
        item.title = keep(title);
}

void BookmarkTree::makeLink(int index, std::string_view title, std::string_view url,
                            std::int64_t added) {
    BookmarkItem& item = m_items[static_cast<size_t>(index)];
    if (item.kind != BookmarkKind::Link)
        ++m_links;
    item.kind = BookmarkKind::Link;
    item.added = added;
    item.toolbar = item.root = false;
    if (textRoom(title.size() + url.size())) {
        item.title = keep(title);
        item.url = keep(url);
    }
}

void BookmarkTree::removeLinks(const std::vector<int>& indexes) {
    if (indexes.empty())
        return;
    // Where each kept item moves to; a removed link is no folder, so no
    // parent is ever removed.
    std::vector<int> movedTo(m_items.size(), -1);
    size_t next = 0; // the next of the indexes
    size_t kept = 0;
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (next < indexes.size() && static_cast<size_t>(indexes[next]) == i) {
            ++next;
            --m_links;
            continue;
        }
        BookmarkItem item = m_items[i];
        if (item.parent >= 0)
            item.parent = movedTo[static_cast<size_t>(item.parent)];
        if (item.kind == BookmarkKind::Separator &&
            (kept == 0 ||
             (m_items[kept - 1].kind == BookmarkKind::Separator &&
              m_items[kept - 1].parent == item.parent) ||
             (item.parent >= 0 && static_cast<size_t>(item.parent) + 1 == kept)))
            continue;
        movedTo[i] = static_cast<int>(kept);
        m_items[kept++] = item;
    }
    m_items.resize(kept);
}

void BookmarkTree::removeLast() {
    if (m_items.back().kind == BookmarkKind::Link)
        --m_links;
    m_items.pop_back();
}
