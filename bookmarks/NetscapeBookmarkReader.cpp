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

} // namespace

BookmarkReadResult readNetscapeBookmarks(std::string_view bytes, const std::string& name) {
    if (bytes.empty())
        return BookmarkReadResult::failure(name, "the file is empty");
    if (bytes.size() > INT_MAX)
        return BookmarkReadResult::failure(name, "the file is too large");
    libxml::init();
    std::unique_ptr<htmlParserCtxt, CtxtDeleter> ctxt(htmlNewParserCtxt());
    if (!ctxt)
        return BookmarkReadResult::failure(name, "out of memory");
    // libxml2 2.9 nests each unclosed <DT> inside the one before, so a folder
    // of 300 links is 300 elements deep: the element depth limit is lifted
    // (XML_PARSE_HUGE) and the tree is walked without recursion. The file
    // size is bounded by the caller's cap.
    const int options = HTML_PARSE_RECOVER | HTML_PARSE_NONET | HTML_PARSE_NOERROR |
                        HTML_PARSE_NOWARNING | HTML_PARSE_COMPACT |
                        static_cast<int>(XML_PARSE_HUGE);
    libxml::DocPtr doc(htmlCtxtReadMemory(ctxt.get(), bytes.data(), static_cast<int>(bytes.size()),
                                          nullptr, encodingFor(bytes), options));
    if (!doc)
        return BookmarkReadResult::failure(name, "not readable as HTML");
    xmlNode* top = xmlDocGetRootElement(doc.get());

    BookmarkReadResult result;
    BookmarkTree& tree = result.tree;
    std::vector<int> lists; // the folder of each open <DL>
    int pending = -1;       // the folder whose <DL> is expected next
    bool sawList = false;
    auto current = [&] { return lists.empty() ? -1 : lists.back(); };

    // Document order walk with enter and leave steps, without recursion.
    xmlNode* cur = top;
    while (cur) {
        bool descend = cur->type == XML_ELEMENT_NODE;
        const std::string element = libxml::elementName(cur);
        if (element == "h3") {
            // The browsers' own folders carry a mark: the toolbar and
            // Firefox's "Other Bookmarks" are roots, as in the profile.
            const bool toolbar = libxml::attribute(cur, "personal_toolbar_folder") == "true";
            const bool root =
                current() < 0 &&
                (toolbar || libxml::attribute(cur, "unfiled_bookmarks_folder") == "true");
            pending = tree.addFolder(current(), std::string(trimWhiteSpace(libxml::nodeText(cur))),
                                     parseEpochSeconds(libxml::attribute(cur, "add_date")), toolbar,
                                     root);
            descend = false;
        } else if (element == "dl") {
            lists.push_back(pending >= 0 ? pending : current());
            pending = -1;
            sawList = true;
        } else if (element == "a") {
            std::string url(trimWhiteSpace(libxml::attribute(cur, "href")));
            if (!url.empty() && !isPlaceQuery(url))
                tree.addLink(current(), std::string(trimWhiteSpace(libxml::nodeText(cur))),
                             std::move(url), parseEpochSeconds(libxml::attribute(cur, "add_date")));
            pending = -1;
            descend = false;
        } else if (element == "hr") {
            tree.addSeparator(current());
        } else if (element == "h1") {
            // The heading names the links outside any folder: Firefox
            // writes "Bookmarks Menu", the menu root they come from.
            if (tree.looseName().empty())
                tree.setLooseName(std::string(trimWhiteSpace(libxml::nodeText(cur))));
            descend = false;
        } else if (element == "title" || element == "head") {
            descend = false;
        }
        if (descend && cur->children) {
            cur = cur->children;
            continue;
        }
        for (;;) {
            if (libxml::elementName(cur) == "dl" && !lists.empty())
                lists.pop_back();
            if (cur == top) {
                cur = nullptr;
                break;
            }
            if (cur->next) {
                cur = cur->next;
                break;
            }
            cur = cur->parent;
        }
    }
    if (!sawList && tree.empty())
        return BookmarkReadResult::failure(name, "not a bookmark file: it has no bookmark list");
    return result;
}
