#pragma once

#include "core/LibXml.h"
#include "core/OutsideText.h"
#include "core/TextUtil.h"

#include <libxml/HTMLparser.h>

#include <algorithm>
#include <climits>
#include <string>
#include <string_view>
#include <vector>

// What the start page's template itself puts on a page: these elements and
// attributes, and links only to the schemes a link may have. A page made
// from outside text alone must hold nothing else; the first thing that does
// not belong is described, else the result is empty.
namespace pagesafety {

inline bool oneOf(std::string_view name, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

inline libxml::DocPtr parsePage(const std::string& page, const char* encoding) {
    if (page.size() > INT_MAX)
        return nullptr;
    return libxml::DocPtr(htmlReadMemory(
        page.data(), static_cast<int>(page.size()), nullptr, encoding,
        HTML_PARSE_RECOVER | HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING));
}

// Walks every element of the page, parsed from the given encoding; check
// describes the first element that does not belong, else the result is
// empty.
template <typename Check>
std::string firstUnsafe(const std::string& page, const char* encoding, Check check) {
    const libxml::DocPtr doc = parsePage(page, encoding);
    if (!doc)
        return "page does not parse";
    std::string problem;
    libxml::walk(
        xmlDocGetRootElement(doc.get()),
        [&](const xmlNode* cur) {
            if (problem.empty() && cur->type == XML_ELEMENT_NODE)
                problem = check(cur);
            return problem.empty();
        },
        [](const xmlNode*) {});
    return problem;
}

inline std::string attributeValue(const xmlAttr* a) {
    xmlChar* value = xmlNodeGetContent(reinterpret_cast<const xmlNode*>(a));
    std::string text = value ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return text;
}

inline std::string unsafeMarkup(const std::string& page) {
    return firstUnsafe(page, "windows-1252", [](const xmlNode* cur) -> std::string {
        const std::string name(reinterpret_cast<const char*>(cur->name));
        if (!oneOf(name, {"html", "head", "title", "body", "basefont", "img", "br", "font",
                          "center", "table", "tr", "th", "td", "a", "b", "i"}))
            return "element <" + name + ">";
        for (const xmlAttr* a = cur->properties; a; a = a->next) {
            const std::string attr(reinterpret_cast<const char*>(a->name));
            if (!oneOf(attr, {"bgcolor", "link", "vlink", "size", "align", "src", "face", "color",
                              "border", "rowspan", "colspan", "width", "height", "href", "clear"}))
                return "attribute " + attr + " on <" + name + ">";
            if (attr == "href" && !hasAllowedLinkScheme(attributeValue(a)))
                return "link to " + attributeValue(a);
        }
        return {};
    });
}

// The same for the modern page: its own template's elements and attributes,
// its one script (without attributes), its icon link "data:," and its list
// parts' "--n:N" styles.
inline std::string unsafeModernMarkup(const std::string& page) {
    int scripts = 0;
    std::string problem = firstUnsafe(page, "utf-8", [&](const xmlNode* cur) -> std::string {
        const std::string name(reinterpret_cast<const char*>(cur->name));
        if (!oneOf(name,
                   {"html", "head", "meta",   "title", "link",  "style", "body",    "header", "img",
                    "h1",   "p",    "form",   "label", "input", "main",  "section", "h2",     "ul",
                    "li",   "a",    "script", "b",     "i",     "br",    "div"}))
            return "element <" + name + ">";
        if (name == "script" && (++scripts > 1 || cur->properties))
            return "a second or sourced <script>";
        for (const xmlAttr* a = cur->properties; a; a = a->next) {
            const std::string attr(reinterpret_cast<const char*>(a->name));
            const std::string value = attributeValue(a);
            if (!oneOf(attr, {"lang",
                              "charset",
                              "name",
                              "content",
                              "rel",
                              "href",
                              "class",
                              "src",
                              "alt",
                              "id",
                              "role",
                              "hidden",
                              "data-search",
                              "for",
                              "type",
                              "autocomplete",
                              "spellcheck",
                              "aria-describedby",
                              "placeholder",
                              "aria-live",
                              "aria-labelledby",
                              "aria-label",
                              "style",
                              "data-t",
                              "dir",
                              "http-equiv",
                              "data-none",
                              "data-none-search",
                              "data-one",
                              "data-many"}))
                return "attribute " + attr + " on <" + name + ">";
            if (attr == "href" && !(name == "link" && value == "data:,") &&
                !hasAllowedLinkScheme(value))
                return "link to " + value;
            if (attr == "style" &&
                (name != "ul" || value.rfind("--n:", 0) != 0 || value.size() == 4 ||
                 value.find_first_not_of("0123456789", 4) != std::string::npos))
                return "style " + value + " on <" + name + ">";
        }
        return {};
    });
    return problem;
}

// The texts of the page's links, in order, white space at both ends removed.
inline std::vector<std::string> linkTexts(const std::string& page,
                                          const char* encoding = "windows-1252") {
    std::vector<std::string> texts;
    const libxml::DocPtr doc = parsePage(page, encoding);
    if (!doc)
        return texts;
    libxml::walk(
        xmlDocGetRootElement(doc.get()),
        [&texts](const xmlNode* cur) {
            if (libxml::elementName(cur) != "a")
                return true;
            texts.emplace_back(trimWhiteSpace(libxml::nodeText(cur)));
            return false;
        },
        [](const xmlNode*) {});
    return texts;
}

} // namespace pagesafety
