#pragma once

#include <string>

// One link of a URL group: the anchor text and its target, both 8-bit
// (Windows-1252) byte strings of any length. Never validated or normalised.
struct Link {
    std::string m_description;
    std::string m_url;

    Link() = default;
    Link(std::string description, std::string url)
        : m_description(std::move(description)), m_url(std::move(url)) {}

    bool operator==(const Link&) const = default;
};
