#pragma once

#include "TestUtil.h"
#include "bookmarks/BookmarkTree.h"

#include <string>
#include <vector>

// The tree as lines, one per item: folders as "[path/title]", links as
// "path: title <url>", separators as "path: ---".
inline std::vector<std::string> Outline(const BookmarkTree& tree) {
    std::vector<std::string> lines;
    for (size_t i = 0; i < tree.size(); ++i) {
        const BookmarkItem& item = tree.items()[i];
        std::string path;
        for (const std::string& folder : tree.folderPath(static_cast<int>(i)))
            path += (path.empty() ? "" : "/") + folder;
        switch (item.kind) {
        case BookmarkKind::Folder:
            lines.push_back("[" + path + (path.empty() ? "" : "/") + item.title + "]");
            break;
        case BookmarkKind::Link:
            lines.push_back(path + ": " + item.title + " <" + item.url + ">");
            break;
        case BookmarkKind::Separator:
            lines.push_back(path + ": ---");
            break;
        }
    }
    return lines;
}

inline std::string Fixture(const std::string& name) {
    return ReadFileBytes(std::string(LINKFOLD_BOOKMARK_DATA) + "/" + name);
}

inline std::string FixturePath(const std::string& name) {
    return std::string(LINKFOLD_BOOKMARK_DATA) + "/" + name;
}
