#include "bookmarks/XbelReader.h"

#include "bookmarks/LibXmlUtil.h"
#include "bookmarks/SourceFile.h"
#include "core/TextUtil.h"

#include <libxml/parser.h>

#include <climits>
#include <ctime>
#include <unordered_map>
#include <vector>

namespace {

struct CtxtDeleter {
    void operator()(xmlParserCtxt* ctxt) const { xmlFreeParserCtxt(ctxt); }
};

const xmlNode* childElement(const xmlNode* node, const char* name) {
    for (const xmlNode* c = node->children; c; c = c->next)
        if (libxml::elementName(c) == name)
            return c;
    return nullptr;
}

std::string titleOf(const xmlNode* node) {
    return std::string(trimWhiteSpace(libxml::nodeText(childElement(node, "title"))));
}

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

} // namespace

BookmarkReadResult readXbel(std::string_view bytes, const std::string& name) {
    if (bytes.empty())
        return BookmarkReadResult::failure(name, "the file is empty");
    if (bytes.size() > INT_MAX)
        return BookmarkReadResult::failure(name, "the file is too large");
    libxml::init();
    std::unique_ptr<xmlParserCtxt, CtxtDeleter> ctxt(xmlNewParserCtxt());
    if (!ctxt)
        return BookmarkReadResult::failure(name, "out of memory");
    libxml::DocPtr doc(
        xmlCtxtReadMemory(ctxt.get(), bytes.data(), static_cast<int>(bytes.size()), nullptr,
                          nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (!doc)
        return BookmarkReadResult::failure(
            name, "not well-formed XML" + libxml::errorLine(xmlCtxtGetLastError(ctxt.get())));
    xmlNode* top = xmlDocGetRootElement(doc.get());
    if (libxml::elementName(top) != "xbel")
        return BookmarkReadResult::failure(name,
                                           "not an XBEL file: the root element is not <xbel>");

    // Bookmarks by id, for the aliases.
    std::unordered_map<std::string, const xmlNode*> byId;
    libxml::walk(
        top,
        [&](xmlNode* node) {
            const std::string element = libxml::elementName(node);
            if (element == "bookmark") {
                const std::string id = libxml::attribute(node, "id");
                if (!id.empty())
                    byId.emplace(id, node);
                return false;
            }
            return element == "xbel" || element == "folder";
        },
        [](xmlNode*) {});

    BookmarkReadResult result;
    BookmarkTree& tree = result.tree;
    std::vector<int> folders;
    auto current = [&] { return folders.empty() ? -1 : folders.back(); };
    auto addBookmark = [&](const xmlNode* node) {
        std::string url(trimWhiteSpace(libxml::attribute(node, "href")));
        if (!url.empty() && !isPlaceQuery(url))
            tree.addLink(current(), titleOf(node), std::move(url),
                         parseIsoDate(libxml::attribute(node, "added")));
    };
    libxml::walk(
        top,
        [&](xmlNode* node) {
            const std::string element = libxml::elementName(node);
            if (element == "xbel")
                return true;
            if (element == "folder") {
                folders.push_back(tree.addFolder(current(), titleOf(node),
                                                 parseIsoDate(libxml::attribute(node, "added"))));
                return true;
            }
            if (element == "bookmark")
                addBookmark(node);
            else if (element == "separator")
                tree.addSeparator(current());
            else if (element == "alias") {
                const auto it = byId.find(libxml::attribute(node, "ref"));
                if (it != byId.end())
                    addBookmark(it->second);
            }
            return false;
        },
        [&](xmlNode* node) {
            if (libxml::elementName(node) == "folder")
                folders.pop_back();
        });
    return result;
}
