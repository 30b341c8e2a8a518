#pragma once

#include <string>

// One link of a URL group: the anchor text and its target, both 8-bit
// (Windows-1252) byte strings of any length. Never validated or normalised.
struct CLinkEntry {
    std::string m_strDescription;
    std::string m_strUrl;

    CLinkEntry() = default;
    CLinkEntry(std::string description, std::string url)
        : m_strDescription(std::move(description)), m_strUrl(std::move(url)) {}

    bool operator==(const CLinkEntry&) const = default;
};
