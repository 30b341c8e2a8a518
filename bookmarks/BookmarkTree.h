#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

enum class BookmarkKind { Folder, Link, Separator };

// Things left out, counted, the first few named: "A, B, C and 4 more".
struct SkippedNames {
    static constexpr size_t kShown = 3;
    size_t count = 0;               // what is counted (links, say)
    size_t named = 0;               // the names offered (folders, say)
    std::vector<std::string> first; // the first kShown of them

    // Counts `n` more under the name (nothing when n is 0).
    void add(std::string_view name, size_t n = 1) {
        if (n == 0)
            return;
        count += n;
        ++named;
        if (first.size() < kShown)
            first.emplace_back(name);
    }
    // "A, B, C and 4 more"; empty when nothing was named.
    std::string text() const {
        std::string out;
        for (size_t i = 0; i < first.size(); ++i) {
            if (i > 0)
                out += i + 1 == first.size() && named == first.size() ? " and " : ", ";
            out += first[i].empty() ? std::string("(untitled)") : first[i];
        }
        if (named > first.size())
            out += " and " + std::to_string(named - first.size()) + " more";
        return out;
    }
    bool operator==(const SkippedNames&) const = default;
};

// One folder, link or separator. Titles are plain UTF-8 text. The texts
// belong to the tree that holds the item and live as long as it does.
struct BookmarkItem {
    std::string_view title;
    std::string_view url;   // links only
    std::int64_t added = 0; // seconds since 1970-01-01 UTC, 0 when the source has no date
    int parent = -1;        // index of the containing folder, -1 at the tree root
    int depth = 0;          // 0 at the tree root
    BookmarkKind kind = BookmarkKind::Link;
    bool toolbar = false; // the browser's toolbar folder
    bool root = false;    // one of the browser's own top-level folders (menu, toolbar, other)
};

// The bookmarks read from one source: a flat list in document order (every
// folder comes before its contents), each item naming its folder by index, so
// that nothing walking the tree needs recursion.
//
// Nesting is bounded: a folder that would lie deeper than kMaxDepth levels is
// not created, and what it holds goes into its deepest allowed ancestor. A
// hostile file with 100,000 nested folders therefore reads as 64 levels with
// the innermost content merged into the last one.
//
// The texts are kept back to back in a few large blocks rather than one heap
// block each: a browser profile of 100,000 bookmarks then costs two
// allocations per thousand items instead of two per item.
class BookmarkTree {
public:
    static constexpr int kMaxDepth = 64;

    BookmarkTree() = default;
    BookmarkTree(BookmarkTree&&) noexcept = default;
    BookmarkTree& operator=(BookmarkTree&&) noexcept = default;
    BookmarkTree(const BookmarkTree& other);
    BookmarkTree& operator=(const BookmarkTree& other);
    ~BookmarkTree() = default;

    // Returns the index that the folder's contents are to name as parent: the
    // new folder, or the deepest allowed ancestor when nesting is too deep.
    // A root (`root`) is one of the browser's own folders at the top, which
    // the import unwraps: the folders in it are the user's.
    int addFolder(int parent, std::string_view title, std::int64_t added = 0, bool toolbar = false,
                  bool root = false);
    int addLink(int parent, std::string_view title, std::string_view url, std::int64_t added = 0);
    // A separator first in its folder or right after another is dropped.
    int addSeparator(int parent);

    // For a reader that gathers the texts before it knows the items' order:
    // a copy of the text kept by the tree (empty, and overLimit(), when
    // there is no room), which the two below take as it is.
    std::string_view keepText(std::string_view text);
    int addKeptFolder(int parent, std::string_view keptTitle, std::int64_t added);
    int addKeptLink(int parent, std::string_view keptTitle, std::string_view keptUrl,
                    std::int64_t added);

    // Room for that many items, or as many as the memory limit allows.
    void reserve(size_t items);

    // The memory the tree may take, for a source of the given size: a
    // hostile file of empty items (a million `{}` or separators) is
    // refused before it costs more than a few times its own bytes. Real
    // exports spend far more bytes per bookmark than the tree does.
    static size_t memoryLimitFor(size_t sourceBytes) {
        return 3 * sourceBytes + (size_t{16} << 20);
    }
    void setMemoryLimit(size_t bytes) { m_limit = bytes; }
    // Whether the items took more than the limit; readers stop and refuse
    // the source (kTooManyItems) once it is.
    bool overLimit() const { return m_full || m_memory > m_limit; }
    static constexpr const char* kTooManyItems = "it holds more items than a file of its size can";

    // For readers that learn what an item is only after its contents (a
    // streamed JSON node): the folder at index gets its title and date, or
    // becomes a link; the last item can be taken back.
    // makeLink also fills in a link added before its texts were known.
    void setFolder(int index, std::string_view title, std::int64_t added);
    void makeLink(int index, std::string_view title, std::string_view url, std::int64_t added);
    void removeLast();
    // Takes out the links at the given indexes (ascending; nothing inside
    // them), and the separators that then stand first in their folder or
    // after another.
    void removeLinks(const std::vector<int>& indexes);

    // Memory a reader holds for the source beside the items (an index of
    // names, say), counted against the limit.
    void addReaderMemory(size_t bytes) { m_memory += bytes; }

    const std::vector<BookmarkItem>& items() const { return m_items; }
    const BookmarkItem& at(int index) const { return m_items[static_cast<size_t>(index)]; }
    size_t size() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }
    size_t linkCount() const { return m_links; }

    // What the source calls the links outside any folder (the bookmark
    // HTML's heading); empty when it does not say.
    const std::string& looseName() const { return m_looseName; }
    void setLooseName(std::string name) { m_looseName = std::move(name); }

    // The saved queries ("place:...") the reader skipped, by title.
    const SkippedNames& queries() const { return m_queries; }
    void skipQuery(std::string_view title) { m_queries.add(title); }

    // Titles of the folders holding the item, outermost first.
    std::vector<std::string> folderPath(int index) const;
    // Index of the top-level folder holding the item, or -1 for an item at the
    // root (a top-level folder answers its own index).
    int topFolder(int index) const;

private:
    int depthBelow(int parent) const { return parent < 0 ? 0 : at(parent).depth + 1; }
    // The adders above: copyTexts false for texts the tree already keeps.
    int addFolderItem(int parent, std::string_view title, std::int64_t added, bool toolbar,
                      bool root, bool copyTexts);
    int addLinkItem(int parent, std::string_view title, std::string_view url, std::int64_t added,
                    bool copyTexts);
    int add(BookmarkItem item, bool copyTexts);
    // Whether the texts' bytes fit in the room left, or in a new block
    // within the limit.
    bool textRoom(size_t bytes);
    // A copy of text in the blocks; textRoom(text.size()) must have said yes.
    std::string_view keep(std::string_view text);

    std::vector<BookmarkItem> m_items;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    char* m_free = nullptr; // the unused end of the last block
    size_t m_left = 0;
    size_t m_links = 0;
    size_t m_limit = SIZE_MAX;
    size_t m_memory = 0; // the items' capacity and the text blocks
    bool m_full = false; // an item was refused for want of room
    std::string m_looseName;
    SkippedNames m_queries;
};

// Whether the URL is one of Firefox's saved queries ("place:..."), which
// mean nothing outside the browser; the readers skip them.
inline bool isPlaceQuery(std::string_view url) {
    return url.substr(0, 6) == "place:";
}

// What reading a bookmark source gives: the tree, or a message naming the
// file and what is wrong with it.
struct BookmarkReadResult {
    BookmarkTree tree;
    std::string error;

    bool ok() const { return error.empty(); }
    // "NAME: what." in the program's words.
    static BookmarkReadResult failure(const std::string& name, const std::string& what) {
        BookmarkReadResult r;
        r.error = name + ": " + what;
        if (r.error.back() != '.')
            r.error += '.';
        return r;
    }
};
