#include "bookmarks/XbelReader.h"

#include "bookmarks/LibXmlUtil.h"
#include "core/TextUtil.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <climits>
#include <ctime>
#include <memory>
#include <unordered_map>
#include <vector>

namespace {

struct CtxtDeleter {
    void operator()(xmlParserCtxt* ctxt) const { xmlFreeParserCtxt(ctxt); }
};

// XBEL dates are ISO 8601 ("2024-03-01T12:00:00Z"); seconds since 1970.
std::int64_t parseIsoDate(const std::string& text) {
    if (text.empty())
        return 0;
    std::tm tm{};
    const char* end = ::strptime(text.c_str(), "%Y-%m-%dT%H:%M:%S", &tm);
    if (!end)
        end = ::strptime(text.c_str(), "%Y-%m-%d", &tm);
    if (!end)
        return 0;
    const std::time_t t = ::timegm(&tm);
    return t > 0 ? static_cast<std::int64_t>(t) : 0;
}

// Builds the tree from the parser's events, without a document tree, so
// that memory follows the bookmarks and not the markup. Only the elements
// directly in <xbel> and <folder> count; what lies inside anything else
// (a bookmark's <desc>, <info>) is skipped, except a bookmark's or folder's
// first <title>, whose text (nested elements' text included) is its title.
class Reader {
public:
    BookmarkTree tree;
    xmlParserCtxtPtr parser = nullptr;
    bool wrongRoot = false;
    bool stopped = false;

    void start(const char* element, const xmlChar** atts) {
        if (m_inner > 0) {
            ++m_inner;
            if (m_inBookmark && m_inner == 2 && !m_bookmarkTitled &&
                libxml::isElement(element, "title")) {
                m_bookmarkTitled = true;
                beginCapture(2, -1);
            }
            return;
        }
        if (!m_sawRoot) {
            m_sawRoot = true;
            if (libxml::isElement(element, "xbel")) {
                m_levels.push_back({-1, 0, false});
            } else {
                wrongRoot = true;
                m_inner = 1; // read on only to tell whether it is well-formed
            }
            return;
        }
        if (tree.overLimit()) {
            stopped = true;
            return;
        }
        const int parent = current();
        if (libxml::isElement(element, "folder")) {
            const int index =
                tree.addFolder(parent, {}, parseIsoDate(libxml::eventAttribute(atts, "added")));
            if (index != parent)
                m_levels.push_back({index, 0, false});
            else
                ++m_levels.back().within; // too deep: its contents go into the parent
            return;
        }
        if (libxml::isElement(element, "xbel")) {
            ++m_levels.back().within;
            return;
        }
        m_inner = 1;
        if (libxml::isElement(element, "bookmark")) {
            m_inBookmark = true;
            m_bookmarkTitled = false;
            m_url = std::string(trimWhiteSpace(libxml::eventAttribute(atts, "href")));
            m_added = parseIsoDate(libxml::eventAttribute(atts, "added"));
            m_id = libxml::eventAttribute(atts, "id");
            m_title.clear();
        } else if (libxml::isElement(element, "separator")) {
            tree.addSeparator(parent);
        } else if (libxml::isElement(element, "alias")) {
            alias(libxml::eventAttribute(atts, "ref"));
        } else if (libxml::isElement(element, "title")) {
            Level& level = m_levels.back();
            if (level.index >= 0 && level.within == 0 && !level.titled) {
                level.titled = true;
                beginCapture(1, level.index);
            }
        }
    }

    void end() {
        if (m_inner > 0) {
            if (m_capture == m_inner)
                finishCapture();
            if (--m_inner == 0 && m_inBookmark)
                finishBookmark();
            return;
        }
        Level& level = m_levels.back();
        if (level.within > 0)
            --level.within;
        else
            m_levels.pop_back();
    }

    void text(const xmlChar* chars, int length) {
        if (m_capture > 0)
            m_text.append(reinterpret_cast<const char*>(chars), static_cast<size_t>(length));
    }

    // Aliases that came before the bookmark they name are filled in now;
    // those that name none are taken out.
    void resolveAliases() {
        std::vector<int> unresolved;
        for (const auto& [index, ref] : m_forward) {
            const auto it = m_byId.find(ref);
            if (it == m_byId.end()) {
                unresolved.push_back(index);
                continue;
            }
            const BookmarkItem target = tree.at(it->second);
            tree.makeLink(index, target.title, target.url, target.added);
        }
        tree.removeLinks(unresolved);
    }

private:
    // An open <xbel> or <folder>: the tree folder its contents go into.
    // Folders too deep to be made, and <xbel> elements inside, share their
    // parent's level (`within` counts them), so that a hostile file of a
    // million nested folders costs one level, not a million.
    struct Level {
        int index;     // the tree folder, -1 at the top
        size_t within; // elements of the same folder open inside
        bool titled;   // its <title> was seen
    };

    int current() const { return m_levels.empty() ? -1 : m_levels.back().index; }

    void beginCapture(size_t level, int folder) {
        m_capture = level;
        m_captureFolder = folder;
        m_text.clear();
    }

    void finishCapture() {
        if (m_captureFolder >= 0)
            tree.setFolder(m_captureFolder, trimWhiteSpace(m_text), tree.at(m_captureFolder).added);
        else
            m_title = std::string(trimWhiteSpace(m_text));
        m_capture = 0;
        m_text.clear();
    }

    void finishBookmark() {
        m_inBookmark = false;
        const int parent = current();
        if (isPlaceQuery(m_url))
            tree.skipQuery(m_title);
        if (m_url.empty() || isPlaceQuery(m_url))
            return;
        const int index = tree.addLink(parent, m_title, m_url, m_added);
        if (index != parent && !m_id.empty() && m_byId.emplace(m_id, index).second)
            tree.addReaderMemory(kEntryBytes + m_id.size());
    }

    void alias(const std::string& ref) {
        const int parent = current();
        const auto it = m_byId.find(ref);
        if (it != m_byId.end()) {
            const BookmarkItem target = tree.at(it->second);
            tree.addLink(parent, target.title, target.url, target.added);
            return;
        }
        if (ref.empty())
            return;
        // Filled in or taken out once the whole file is read.
        const int index = tree.addLink(parent, {}, {}, 0);
        if (index != parent) {
            m_forward.emplace_back(index, ref);
            tree.addReaderMemory(kEntryBytes + ref.size());
        }
    }

    // What an entry of the id index or the list of aliases costs beside its
    // name, roughly.
    static constexpr size_t kEntryBytes = 64;

    std::vector<Level> m_levels;
    size_t m_inner = 0;   // elements open inside one that is not <xbel> or <folder>
    size_t m_capture = 0; // the m_inner of the <title> being read, 0 when none
    int m_captureFolder = -1;
    bool m_sawRoot = false;
    bool m_inBookmark = false, m_bookmarkTitled = false;
    std::string m_text, m_title, m_url, m_id;
    std::int64_t m_added = 0;
    std::unordered_map<std::string, int> m_byId;        // bookmarks by id, for the aliases
    std::vector<std::pair<int, std::string>> m_forward; // aliases read before their bookmark
};

// The events reach the reader itself (the parser's user data), not the
// parser context: libxml2 then declares no entity on the reader's behalf.
Reader& readerOf(void* ctx) {
    return *static_cast<Reader*>(ctx);
}

void onStart(void* ctx, const xmlChar* name, const xmlChar** atts) {
    Reader& reader = readerOf(ctx);
    reader.start(reinterpret_cast<const char*>(name), atts);
    if (reader.stopped)
        xmlStopParser(reader.parser);
}

void onEnd(void* ctx, const xmlChar*) {
    readerOf(ctx).end();
}

void onText(void* ctx, const xmlChar* chars, int length) {
    readerOf(ctx).text(chars, length);
}

} // namespace

BookmarkReadResult readXbel(std::string_view bytes, const std::string& name) {
    if (bytes.empty())
        return BookmarkReadResult::failure(name, "the file is empty");
    if (bytes.size() > INT_MAX)
        return BookmarkReadResult::failure(name, "the file is too large");
    libxml::init();
    std::unique_ptr<xmlParserCtxt, CtxtDeleter> ctxt(
        xmlCreateMemoryParserCtxt(bytes.data(), static_cast<int>(bytes.size())));
    if (!ctxt || !ctxt->sax)
        return BookmarkReadResult::failure(name, "not enough memory to read it");
    // Only the events the reader needs, in the plain (non-namespace) form,
    // which keeps one name per open element: no document tree is built.
    xmlSAXHandler& sax = *ctxt->sax;
    std::memset(&sax, 0, sizeof sax);
    sax.initialized = 1;
    sax.startElement = onStart;
    sax.endElement = onEnd;
    sax.characters = onText;
    sax.cdataBlock = onText;
    sax.ignorableWhitespace = onText;
    Reader reader;
    reader.tree.setMemoryLimit(BookmarkTree::memoryLimitFor(bytes.size()));
    reader.parser = ctxt.get();
    ctxt->userData = &reader;
    // References to the predefined entities and characters are replaced in
    // attribute values too; no other entity exists.
    xmlCtxtUseOptions(ctxt.get(),
                      XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    xmlParseDocument(ctxt.get());
    if (reader.stopped || reader.tree.overLimit())
        return BookmarkReadResult::failure(name, BookmarkTree::kTooManyItems);
    if (ctxt->errNo == XML_ERR_NO_MEMORY)
        return BookmarkReadResult::failure(name, "not enough memory to read it");
    if (!ctxt->wellFormed)
        return BookmarkReadResult::failure(
            name, "not well-formed XML" + libxml::errorLine(xmlCtxtGetLastError(ctxt.get())));
    if (reader.wrongRoot)
        return BookmarkReadResult::failure(name,
                                           "not an XBEL file: the root element is not <xbel>");
    reader.resolveAliases();
    BookmarkReadResult result;
    result.tree = std::move(reader.tree);
    return result;
}
