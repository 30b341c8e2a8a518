#pragma once

#include <string>

// One link of a URL group: the anchor text and its target, both UTF-8 text
// of any length. Never validated or normalised.
struct Link {
    std::string description;
    std::string url;

    Link() = default;
    Link(std::string text, std::string target)
        : description(std::move(text)), url(std::move(target)) {}

    bool operator==(const Link&) const = default;
};

// The description a link gets when nothing names it: "(" + url + ")".
inline std::string untitledDescription(const std::string& url) {
    return "(" + url + ")";
}
