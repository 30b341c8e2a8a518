#include "bookmarks/NetscapeBookmarkReader.h"

#include "bookmarks/LibXmlUtil.h"
#include "bookmarks/SourceFile.h"
#include "core/TextUtil.h"

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>

#include <climits>
#include <memory>
#include <vector>

namespace {

struct CtxtDeleter {
    void operator()(htmlParserCtxt* ctxt) const { htmlFreeParserCtxt(ctxt); }
};

// Names the encoding when the file does not: browsers write UTF-8, and
// libxml2 would otherwise assume ISO-8859-1 for HTML.
const char* encodingFor(std::string_view bytes) {
    const std::string_view head = bytes.substr(0, 4096);
    for (std::string_view key : {"charset", "CHARSET", "Charset"})
        if (head.find(key) != std::string_view::npos)
            return nullptr;
    return "UTF-8";
}

// Builds the tree from the parser's events, without a document tree, so that
// memory follows the bookmarks and not the markup (a file of a million
// empty elements costs the parser nothing). libxml2 reports every element
// it closes on its own, so the events nest as the document would.
class Reader {
public:
    BookmarkTree tree;
    bool sawList = false;
    bool stopped = false;

    void start(const char* element, const xmlChar** atts) {
        if (m_capture != Capture::None) {
            ++m_inner; // inside a title, link or heading: only its text counts
            return;
        }
        if (tree.overLimit()) {
            stopped = true;
            return;
        }
        if (libxml::isElement(element, "h3")) {
            // The browsers' own folders carry a mark: the toolbar and
            // Firefox's "Other Bookmarks" are roots, as in the profile.
            m_toolbar = libxml::eventAttribute(atts, "personal_toolbar_folder") == "true";
            m_root =
                current() < 0 &&
                (m_toolbar || libxml::eventAttribute(atts, "unfiled_bookmarks_folder") == "true");
            m_added = parseEpochSeconds(libxml::eventAttribute(atts, "add_date"));
            begin(Capture::Folder);
        } else if (libxml::isElement(element, "dl")) {
            m_lists.push_back(m_pending >= 0 ? m_pending : current());
            m_pending = -1;
            sawList = true;
        } else if (libxml::isElement(element, "a")) {
            m_url = std::string(trimWhiteSpace(libxml::eventAttribute(atts, "href")));
            m_added = parseEpochSeconds(libxml::eventAttribute(atts, "add_date"));
            m_pending = -1;
            begin(Capture::Link);
        } else if (libxml::isElement(element, "hr")) {
            tree.addSeparator(current());
        } else if (libxml::isElement(element, "h1")) {
            // The heading names the links outside any folder: Firefox
            // writes "Bookmarks Menu", the menu root they come from.
            begin(Capture::Heading);
        } else if (libxml::isElement(element, "title") || libxml::isElement(element, "head")) {
            begin(Capture::Ignored);
        }
    }

    void end(const char* element) {
        if (m_capture != Capture::None) {
            if (m_inner > 0) {
                --m_inner;
                return;
            }
            finish();
            return;
        }
        if (libxml::isElement(element, "dl") && !m_lists.empty())
            m_lists.pop_back();
    }

    void text(const xmlChar* chars, int length) {
        if (m_capture != Capture::None && m_capture != Capture::Ignored)
            m_text.append(reinterpret_cast<const char*>(chars), static_cast<size_t>(length));
    }

private:
    enum class Capture { None, Folder, Link, Heading, Ignored };

    int current() const { return m_lists.empty() ? -1 : m_lists.back(); }

    void begin(Capture capture) {
        m_capture = capture;
        m_inner = 0;
        m_text.clear();
    }

    void finish() {
        switch (m_capture) {
        case Capture::Folder:
            m_pending =
                tree.addFolder(current(), trimWhiteSpace(m_text), m_added, m_toolbar, m_root);
            break;
        case Capture::Link:
            if (isPlaceQuery(m_url))
                tree.skipQuery(trimWhiteSpace(m_text));
            else if (!m_url.empty())
                tree.addLink(current(), trimWhiteSpace(m_text), m_url, m_added);
            break;
        case Capture::Heading:
            if (tree.looseName().empty())
                tree.setLooseName(std::string(trimWhiteSpace(m_text)));
            break;
        case Capture::Ignored:
        case Capture::None:
            break;
        }
        m_capture = Capture::None;
        m_text.clear();
        m_url.clear();
    }

    std::vector<int> m_lists; // the folder of each open <DL>
    int m_pending = -1;       // the folder whose <DL> is expected next
    Capture m_capture = Capture::None;
    size_t m_inner = 0; // elements open inside the captured one
    std::string m_text, m_url;
    std::int64_t m_added = 0;
    bool m_toolbar = false, m_root = false;
};

Reader& readerOf(void* ctx) {
    return *static_cast<Reader*>(static_cast<htmlParserCtxtPtr>(ctx)->_private);
}

void onStart(void* ctx, const xmlChar* name, const xmlChar** atts) {
    Reader& reader = readerOf(ctx);
    reader.start(reinterpret_cast<const char*>(name), atts);
    if (reader.stopped)
        xmlStopParser(static_cast<htmlParserCtxtPtr>(ctx));
}

void onEnd(void* ctx, const xmlChar* name) {
    readerOf(ctx).end(reinterpret_cast<const char*>(name));
}

void onText(void* ctx, const xmlChar* chars, int length) {
    readerOf(ctx).text(chars, length);
}

} // namespace

BookmarkReadResult readNetscapeBookmarks(std::string_view bytes, const std::string& name) {
    if (bytes.empty())
        return BookmarkReadResult::failure(name, "the file is empty");
    if (bytes.size() > INT_MAX)
        return BookmarkReadResult::failure(name, "the file is too large");
    libxml::init();
    std::unique_ptr<htmlParserCtxt, CtxtDeleter> ctxt(htmlNewParserCtxt());
    if (!ctxt || !ctxt->sax)
        return BookmarkReadResult::failure(name, "not enough memory to read it");
    // Only the events the reader needs: no document tree is built.
    htmlSAXHandler& sax = *ctxt->sax;
    std::memset(&sax, 0, sizeof sax);
    sax.startElement = onStart;
    sax.endElement = onEnd;
    sax.characters = onText;
    sax.cdataBlock = onText;
    Reader reader;
    reader.tree.setMemoryLimit(BookmarkTree::memoryLimitFor(bytes.size()));
    ctxt->_private = &reader;
    // libxml2 2.9 nests each unclosed <DT> inside the one before, so a folder
    // of 300 links is 300 elements deep: the element depth limit is lifted
    // (XML_PARSE_HUGE). The file size is bounded by the caller's cap.
    const int options = HTML_PARSE_RECOVER | HTML_PARSE_NONET | HTML_PARSE_NOERROR |
                        HTML_PARSE_NOWARNING | static_cast<int>(XML_PARSE_HUGE);
    libxml::DocPtr doc(htmlCtxtReadMemory(ctxt.get(), bytes.data(), static_cast<int>(bytes.size()),
                                          nullptr, encodingFor(bytes), options));
    if (reader.stopped || reader.tree.overLimit())
        return BookmarkReadResult::failure(name, BookmarkTree::kTooManyItems);
    if (ctxt->errNo == XML_ERR_NO_MEMORY)
        return BookmarkReadResult::failure(name, "not enough memory to read it");
    if (!reader.sawList && reader.tree.empty())
        return BookmarkReadResult::failure(name, "not a bookmark file: it has no bookmark list");
    BookmarkReadResult result;
    result.tree = std::move(reader.tree);
    return result;
}
