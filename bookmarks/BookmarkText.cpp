#include "bookmarks/BookmarkText.h"

#include "bookmarks/LibXmlUtil.h"
#include "bookmarks/SourceFile.h"

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>

#include <climits>

std::string titleToDescription(const std::string& title) {
    std::string out;
    out.reserve(title.size());
    for (char c : title) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string descriptionToTitle(const std::string& description) {
    // Nothing to parse without markup or references.
    if (description.find_first_of("<&") == std::string::npos)
        return trimmedText(description);
    const std::string page = "<html><head><meta charset=\"utf-8\"></head><body><div>" +
                             description + "</div></body></html>";
    if (page.size() > INT_MAX)
        return {};
    libxml::init();
    libxml::DocPtr doc(htmlReadMemory(page.data(), static_cast<int>(page.size()), nullptr, "UTF-8",
                                      HTML_PARSE_RECOVER | HTML_PARSE_NONET | HTML_PARSE_NOERROR |
                                          HTML_PARSE_NOWARNING | static_cast<int>(XML_PARSE_HUGE)));
    if (!doc)
        return {};
    const xmlNode* root = xmlDocGetRootElement(doc.get());
    const xmlNode* body = nullptr;
    for (const xmlNode* c = root ? root->children : nullptr; c; c = c->next)
        if (libxml::elementName(c) == "body")
            body = c;
    return trimmedText(libxml::nodeText(body));
}
