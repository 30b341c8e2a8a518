#include "core/OutsideText.h"

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <array>
#include <climits>
#include <memory>
#include <mutex>

namespace {

bool isSpaceOrControl(unsigned char c) {
    return c <= 0x20 || c == 0x7F;
}

std::string_view trimmedUrl(std::string_view s) {
    while (!s.empty() && isSpaceOrControl(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && isSpaceOrControl(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

std::string escaped(std::string_view text, bool ampersand) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += ampersand ? "&amp;" : "&";
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

std::string_view trimmedText(std::string_view s) {
    const char* space = " \t\r\n\f\v";
    const size_t first = s.find_first_not_of(space);
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(space) - first + 1);
}

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

} // namespace

std::string plainTextToHtml(std::string_view text) {
    return escaped(text, true);
}

std::string fileNameToHtml(std::string_view name) {
    return escaped(name, false);
}

std::string htmlToPlainText(std::string_view html) {
    // Nothing to parse without markup or references.
    if (html.find_first_of("<&") == std::string_view::npos)
        return std::string(trimmedText(html));
    std::string page = "<html><head><meta charset=\"utf-8\"></head><body><div>";
    page.append(html);
    page += "</div></body></html>";
    if (page.size() > INT_MAX)
        return {};
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
    std::unique_ptr<xmlDoc, DocFree> doc(
        htmlReadMemory(page.data(), static_cast<int>(page.size()), nullptr, "UTF-8",
                       HTML_PARSE_RECOVER | HTML_PARSE_NONET | HTML_PARSE_NOERROR |
                           HTML_PARSE_NOWARNING | static_cast<int>(XML_PARSE_HUGE)));
    if (!doc)
        return {};
    const xmlNode* root = xmlDocGetRootElement(doc.get());
    const xmlNode* body = nullptr;
    for (const xmlNode* c = root ? root->children : nullptr; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE && xmlStrcasecmp(c->name, BAD_CAST "body") == 0)
            body = c;
    if (!body)
        return {};
    // Text and CDATA below <body>, in document order, without recursion.
    std::string text;
    const xmlNode* cur = body->children;
    while (cur) {
        if ((cur->type == XML_TEXT_NODE || cur->type == XML_CDATA_SECTION_NODE) && cur->content)
            text += reinterpret_cast<const char*>(cur->content);
        if (cur->type == XML_ELEMENT_NODE && cur->children) {
            cur = cur->children;
            continue;
        }
        while (cur && cur != body && !cur->next)
            cur = cur->parent;
        if (!cur || cur == body)
            break;
        cur = cur->next;
    }
    return std::string(trimmedText(text));
}

bool hasAllowedLinkScheme(std::string_view url) {
    url = trimmedUrl(url);
    const size_t colon = url.find(':');
    if (colon == std::string_view::npos)
        return false;
    std::string scheme;
    for (char c : url.substr(0, colon))
        scheme += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    static constexpr std::array<std::string_view, 5> kAllowed = {"http", "https", "file", "mailto",
                                                                 "ftp"};
    for (std::string_view allowed : kAllowed)
        if (scheme == allowed)
            return true;
    return false;
}

std::optional<std::string> checkedOutsideUrl(std::string_view url) {
    url = trimmedUrl(url);
    if (!hasAllowedLinkScheme(url))
        return std::nullopt;
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(url.size());
    for (char ch : url) {
        const auto c = static_cast<unsigned char>(ch);
        if (isSpaceOrControl(c) || c == '"' || c == '<' || c == '>') {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            out += ch;
        }
    }
    return out;
}

std::optional<Link> outsideLink(std::string_view title, std::string_view url) {
    std::optional<std::string> checked = checkedOutsideUrl(url);
    if (!checked)
        return std::nullopt;
    std::string description = trimmedText(title).empty()
                                  ? plainTextToHtml(untitledDescription(*checked))
                                  : plainTextToHtml(title);
    return Link(std::move(description), std::move(*checked));
}

std::optional<Link> linkFileLink(std::string_view fileName, std::string_view url) {
    std::optional<std::string> checked = checkedOutsideUrl(url);
    if (!checked)
        return std::nullopt;
    std::string description = trimmedText(fileName).empty()
                                  ? plainTextToHtml(untitledDescription(*checked))
                                  : fileNameToHtml(fileName);
    return Link(std::move(description), std::move(*checked));
}

std::string skippedLinksText(size_t count) {
    return std::to_string(count) +
           (count == 1 ? " script or data link skipped" : " script or data links skipped");
}
