#include "model/UrlText.h"

#include <array>

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (Lower(text[i]) != prefix[i])
            return false;
    }
    return true;
}

constexpr std::array<std::string_view, 4> kUrlPrefixes = {"http://", "https://", "file://",
                                                          "mailto:"};

bool HasUrlPrefix(std::string_view line) {
    for (std::string_view prefix : kUrlPrefixes) {
        if (StartsWithNoCase(line, prefix))
            return true;
    }
    return false;
}

} // namespace

bool IsUrlLine(std::string_view line) {
    size_t start = 0;
    while (start < line.size() && IsSpace(line[start]))
        ++start;
    return HasUrlPrefix(line.substr(start));
}

int ParseUrlText(std::string_view text, bool testMode, std::vector<CLinkEntry>* links) {
    int result = 0;
    size_t p = 0;
    for (;;) {
        while (p < text.size() && IsSpace(text[p]))
            ++p;
        if (p >= text.size())
            break;

        size_t end = text.find('\n', p);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(p, end - p);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);

        if (!HasUrlPrefix(line))
            break;
        if (testMode)
            return 1;

        if (links) {
            size_t tab = line.find('\t');
            if (tab != std::string_view::npos) {
                links->emplace_back(std::string(line.substr(tab + 1)),
                                    std::string(line.substr(0, tab)));
            } else {
                std::string url(line);
                links->emplace_back("(" + url + ")", url);
            }
        }
        result = 1;
        p = end + 1;
    }
    return result;
}

std::string FormatUrlLines(const std::vector<CLinkEntry>& links) {
    std::string text;
    for (const CLinkEntry& link : links) {
        text += link.m_strUrl;
        text += '\t';
        text += link.m_strDescription;
        text += '\n';
    }
    return text;
}
