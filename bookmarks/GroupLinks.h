#pragma once

#include <string>
#include <vector>

// The project side of an import or export, kept free of the project model:
// a group's title and its links, each an HTML description and a URL.
struct GroupLink {
    std::string description;
    std::string url;

    bool operator==(const GroupLink&) const = default;
};

struct GroupContent {
    std::string title;
    std::vector<GroupLink> links;
};
