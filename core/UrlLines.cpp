#include "core/UrlLines.h"

#include "core/OutsideText.h"

#include <array>
#include <optional>
#include <utility>

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (asciiLower(text[i]) != prefix[i])
            return false;
    }
    return true;
}

constexpr std::array<std::string_view, 4> kUrlPrefixes = {"http://", "https://", "file://",
                                                          "mailto:"};

bool hasUrlPrefix(std::string_view line) {
    for (std::string_view prefix : kUrlPrefixes) {
        if (startsWithNoCase(line, prefix))
            return true;
    }
    return false;
}

} // namespace

bool isUrlLine(std::string_view line) {
    size_t start = 0;
    while (start < line.size() && isSpace(line[start]))
        ++start;
    return hasUrlPrefix(line.substr(start));
}

namespace {

// Calls onLine for each URL line at the start of text until it returns false
// or the URL lines end.
template <typename OnLine> void forEachUrlLine(std::string_view text, OnLine onLine) {
    size_t p = 0;
    for (;;) {
        while (p < text.size() && isSpace(text[p]))
            ++p;
        if (p >= text.size())
            return;

        size_t end = text.find('\n', p);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(p, end - p);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);

        if (!hasUrlPrefix(line) || !onLine(line))
            return;
        p = end + 1;
    }
}

} // namespace

std::vector<Link> parseUrlLines(std::string_view text) {
    std::vector<Link> links;
    forEachUrlLine(text, [&links](std::string_view line) {
        const size_t tab = line.find('\t');
        if (tab != std::string_view::npos) {
            links.emplace_back(std::string(line.substr(tab + 1)), std::string(line.substr(0, tab)));
        } else {
            std::string url(line);
            links.emplace_back(plainTextToHtml(untitledDescription(url)), url);
        }
        return true;
    });
    return links;
}

std::vector<Link> parseOutsideUrlLines(std::string_view text) {
    std::vector<Link> links;
    forEachUrlLine(text, [&links](std::string_view line) {
        const size_t tab = line.find('\t');
        std::optional<std::string> url = checkedOutsideUrl(line.substr(0, tab));
        if (!url)
            return true;
        std::string description = tab == std::string_view::npos
                                      ? plainTextToHtml(untitledDescription(*url))
                                      : plainTextToHtml(line.substr(tab + 1));
        links.emplace_back(std::move(description), std::move(*url));
        return true;
    });
    return links;
}

bool startsWithUrlLine(std::string_view text) {
    bool found = false;
    forEachUrlLine(text, [&found](std::string_view) {
        found = true;
        return false;
    });
    return found;
}

std::string formatUrlLines(const std::vector<Link>& links) {
    std::string text;
    for (const Link& link : links) {
        text += link.url;
        text += '\t';
        text += link.description;
        text += '\n';
    }
    return text;
}
