#include "bookmarks/ChromiumBookmarkReader.h"

#include "bookmarks/SourceFile.h"
#include "core/TextUtil.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cstdint>
#include <utility>
#include <vector>

using nlohmann::json;

namespace {

constexpr std::int64_t kSeconds1601To1970 = 11'644'473'600;

std::int64_t chromiumSeconds(std::int64_t micro) {
    const std::int64_t seconds = micro / 1'000'000 - kSeconds1601To1970;
    return seconds > 0 ? seconds : 0;
}

// A name as a message quotes it: at most 40 bytes, cut at a character.
std::string quotedName(const std::string& name) {
    if (name.size() <= 40)
        return "\"" + name + "\"";
    size_t cut = 40;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;
    return "\"" + name.substr(0, cut) + "...\"";
}

// Builds the tree while the parser reads, so that memory follows the
// bookmarks, not the JSON: nothing of the document is kept but the open
// objects on the way to the current value. Chromium writes a node's
// "children" before its "name" and "type", so each node starts as a folder
// and becomes a link (or is taken back) when it ends.
class ChromiumHandler : public nlohmann::json_sax<json> {
public:
    explicit ChromiumHandler(BookmarkTree& tree) : m_tree(tree) {}

    std::string error;
    bool sawRoots = false;

    bool null() override { return scalar(); }
    bool boolean(bool) override { return scalar(); }
    bool number_integer(number_integer_t value) override { return number(value); }
    bool number_unsigned(number_unsigned_t value) override {
        return number(value > INT64_MAX ? 0 : static_cast<std::int64_t>(value));
    }
    bool number_float(number_float_t, const string_t&) override { return scalar(); }
    bool binary(binary_t&) override { return scalar(); }

    bool string(string_t& value) override {
        if (skipping())
            return true;
        if (!m_stack.empty() && top().kind == Kind::Node) {
            Fields& f = fields();
            if (m_key == "name")
                f.name = std::string(trimWhiteSpace(value));
            else if (m_key == "type")
                f.type = value;
            else if (m_key == "url")
                f.url = std::string(trimWhiteSpace(value));
            else if (m_key == "date_added") {
                std::int64_t micro = 0;
                if (std::from_chars(value.data(), value.data() + value.size(), micro).ec ==
                    std::errc())
                    f.added = chromiumSeconds(micro);
            } else if (m_key == "children")
                return fail("children of " + place() + " is not a list");
            return true;
        }
        return scalar();
    }

    bool key(string_t& name) override {
        if (!skipping())
            m_key = name;
        return true;
    }

    bool start_object(std::size_t) override {
        if (skipping())
            return skipMore();
        if (m_stack.empty())
            return push({Kind::Document});
        switch (top().kind) {
        case Kind::Document:
            if (m_key == "roots") {
                sawRoots = true;
                return push({Kind::Roots});
            }
            return skip();
        case Kind::Roots:
            m_rootKey = m_key;
            return startNode(-1, true, m_key == "bookmark_bar");
        case Kind::Children:
            return startNode(top().container, false, false);
        case Kind::Node:
            if (m_key == "children")
                return fail("children of " + place() + " is not a list");
            return skip();
        case Kind::Skip:
            break;
        }
        return skip();
    }

    bool end_object() override {
        if (skipping())
            return skipLess();
        const Frame frame = top();
        m_stack.pop_back();
        if (frame.kind == Kind::Node)
            return endNode(frame);
        return true;
    }

    bool start_array(std::size_t) override {
        if (skipping())
            return skipMore();
        if (m_stack.empty())
            return fail("not a browser bookmark file: it has no \"roots\" object");
        switch (top().kind) {
        case Kind::Node:
            if (m_key == "children")
                return push({Kind::Children, false, -1, top().container});
            return skip();
        case Kind::Children:
            return fail("an item in " + place() + " is not a bookmark");
        case Kind::Roots:
            if (isKnownRoot(m_key))
                return fail(m_key + " is not a folder");
            return skip();
        case Kind::Document:
            if (m_key == "roots")
                return fail("roots is not an object");
            return skip();
        case Kind::Skip:
            break;
        }
        return skip();
    }

    bool end_array() override {
        if (skipping())
            return skipLess();
        m_stack.pop_back();
        return true;
    }

    bool parse_error(std::size_t position, const std::string&, const json::exception&) override {
        return fail("not valid JSON (at byte " + std::to_string(position) + ")");
    }

private:
    enum class Kind : std::uint8_t { Document, Roots, Node, Children, Skip };
    struct Frame {
        Kind kind;
        bool created = false; // the node has an item of its own
        int item = -1;        // the node's item (created) or where it went
        int container = -1;   // where the node's (or list's) items go
        size_t skipDepth = 0;
    };
    struct Fields {
        std::string name, type, url;
        std::int64_t added = 0;
    };

    static bool isKnownRoot(const std::string& key) {
        return key == "bookmark_bar" || key == "other" || key == "synced";
    }

    Frame& top() { return m_stack.back(); }
    bool skipping() const { return !m_stack.empty() && m_stack.back().kind == Kind::Skip; }
    bool push(Frame frame) {
        m_stack.push_back(frame);
        return true;
    }
    bool skip() { return push({Kind::Skip, false, -1, -1, 1}); }
    bool skipMore() {
        ++top().skipDepth;
        return true;
    }
    bool skipLess() {
        if (--top().skipDepth == 0)
            m_stack.pop_back();
        return true;
    }
    bool fail(std::string message) {
        if (error.empty())
            error = std::move(message);
        return false;
    }

    // The fields of the innermost node. Nodes nested deeper than the tree
    // keeps share one slot: they are merged into an ancestor anyway, and a
    // link has no nodes inside it.
    Fields& fields() { return m_fields[std::min(m_nodeDepth, m_fields.size()) - 1]; }

    // The current node for messages: a root by its key, another node by its
    // name when known by now (Chromium writes it after the children) and the
    // root it is in.
    std::string place() {
        if (m_nodeDepth <= 1)
            return m_rootKey;
        const std::string& name = fields().name;
        return (name.empty() ? std::string("an item") : quotedName(name)) + " in " + m_rootKey;
    }

    bool scalar() {
        if (skipping() || m_stack.empty())
            return true;
        switch (top().kind) {
        case Kind::Document:
            if (m_key == "roots")
                return fail("roots is not an object");
            return true;
        case Kind::Roots:
            if (isKnownRoot(m_key))
                return fail(m_key + " is not a folder");
            return true;
        case Kind::Children:
            return fail("an item in " + place() + " is not a bookmark");
        case Kind::Node:
            if (m_key == "children")
                return fail("children of " + place() + " is not a list");
            if (m_key == "name" || m_key == "type" || m_key == "url")
                return fail(m_key + " of " + place() + " is not text");
            return true;
        case Kind::Skip:
            break;
        }
        return true;
    }

    bool number(std::int64_t value) {
        if (!skipping() && !m_stack.empty() && top().kind == Kind::Node && m_key == "date_added") {
            fields().added = chromiumSeconds(value);
            return true;
        }
        return scalar();
    }

    bool startNode(int parent, bool root, bool toolbar) {
        if (m_tree.overLimit())
            return fail(BookmarkTree::kTooManyItems);
        const size_t before = m_tree.size();
        const int index = m_tree.addFolder(parent, {}, 0, toolbar, root);
        Frame frame{Kind::Node};
        frame.created = m_tree.size() > before;
        frame.item = index;
        frame.container = index;
        ++m_nodeDepth;
        if (m_nodeDepth <= kFieldSlots) {
            if (m_fields.size() < m_nodeDepth)
                m_fields.emplace_back();
        }
        fields() = Fields{};
        return push(frame);
    }

    bool endNode(const Frame& node) {
        Fields& f = fields();
        const bool root = m_nodeDepth == 1;
        const bool empty = !node.created || static_cast<size_t>(node.item) + 1 == m_tree.size();
        if (f.type == "url" && !root) {
            if (node.created && !empty)
                return fail(place() + " is a link with bookmarks inside it");
            const bool keep = !f.url.empty() && !isPlaceQuery(f.url);
            if (isPlaceQuery(f.url))
                m_tree.skipQuery(f.name);
            if (node.created && keep)
                m_tree.makeLink(node.item, std::move(f.name), std::move(f.url), f.added);
            else if (node.created)
                m_tree.removeLast();
            else if (keep)
                m_tree.addLink(node.container, std::move(f.name), std::move(f.url), f.added);
        } else if (f.type == "folder" || (root && isKnownRoot(m_rootKey)) || !empty) {
            if (node.created)
                m_tree.setFolder(node.item, std::move(f.name), f.added);
        } else if (node.created) {
            m_tree.removeLast(); // neither a link nor a folder, and empty
        }
        // Nodes below the deepest slot share it: what this one said must
        // not speak for the node around it.
        f = Fields{};
        --m_nodeDepth;
        return true;
    }

    static constexpr size_t kFieldSlots = BookmarkTree::kMaxDepth + 2;

    BookmarkTree& m_tree;
    std::vector<Frame> m_stack;
    std::vector<Fields> m_fields;
    size_t m_nodeDepth = 0;
    std::string m_key;
    std::string m_rootKey;
};

} // namespace

BookmarkReadResult readChromiumBookmarks(std::string_view bytes, const std::string& name) {
    if (bytes.empty())
        return BookmarkReadResult::failure(name, "the file is empty");
    BookmarkReadResult result;
    result.tree.setMemoryLimit(BookmarkTree::memoryLimitFor(bytes.size()));
    ChromiumHandler handler(result.tree);
    json::sax_parse(bytes.begin(), bytes.end(), &handler);
    if (!handler.error.empty())
        return BookmarkReadResult::failure(name, handler.error);
    if (!handler.sawRoots)
        return BookmarkReadResult::failure(
            name, "not a browser bookmark file: it has no \"roots\" object");
    return result;
}
