#include "core/OutsideText.h"

#include "core/LibXml.h"
#include "core/TextUtil.h"

#include <libxml/HTMLparser.h>

#include <algorithm>
#include <array>
#include <climits>

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
        return std::string(trimWhiteSpace(html));
    std::string page = "<html><head><meta charset=\"utf-8\"></head><body><div>";
    page.append(html);
    page += "</div></body></html>";
    if (page.size() > INT_MAX)
        return {};
    libxml::init();
    const libxml::DocPtr doc(
        htmlReadMemory(page.data(), static_cast<int>(page.size()), nullptr, "UTF-8",
                       HTML_PARSE_RECOVER | HTML_PARSE_NONET | HTML_PARSE_NOERROR |
                           HTML_PARSE_NOWARNING | static_cast<int>(XML_PARSE_HUGE)));
    if (!doc)
        return {};
    const xmlNode* root = xmlDocGetRootElement(doc.get());
    const xmlNode* body = nullptr;
    for (const xmlNode* c = root ? root->children : nullptr; c; c = c->next)
        if (libxml::elementName(c) == "body")
            body = c;
    return std::string(trimWhiteSpace(libxml::nodeText(body)));
}

bool hasAllowedLinkScheme(std::string_view url) {
    url = trimmedUrl(url);
    const size_t colon = url.find(':');
    if (colon == std::string_view::npos)
        return false;
    static constexpr std::array<std::string_view, 5> kAllowed = {"http", "https", "file", "mailto",
                                                                 "ftp"};
    const std::string_view scheme = url.substr(0, colon);
    return std::any_of(kAllowed.begin(), kAllowed.end(),
                       [scheme](std::string_view allowed) { return equalNoCase(scheme, allowed); });
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

namespace {

// The link for a checked URL, named by `name` made into a project text, or
// by the escaped "(URL)" when the name is blank.
std::optional<Link> checkedLink(std::string_view name, std::string_view url,
                                std::string (*toHtml)(std::string_view)) {
    std::optional<std::string> checked = checkedOutsideUrl(url);
    if (!checked)
        return std::nullopt;
    std::string description = trimWhiteSpace(name).empty()
                                  ? plainTextToHtml(untitledDescription(*checked))
                                  : toHtml(name);
    return Link(std::move(description), std::move(*checked));
}

} // namespace

std::optional<Link> outsideLink(std::string_view title, std::string_view url) {
    return checkedLink(title, url, plainTextToHtml);
}

std::optional<Link> linkFileLink(std::string_view fileName, std::string_view url) {
    return checkedLink(fileName, url, fileNameToHtml);
}

std::string skippedLinksText(size_t count) {
    return std::to_string(count) +
           (count == 1 ? " script or data link skipped" : " script or data links skipped");
}
