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
            lines.push_back("[" + path + (path.empty() ? "" : "/") + std::string(item.title) + "]");
            break;
        case BookmarkKind::Link:
            lines.push_back(path + ": " + std::string(item.title) + " <" + std::string(item.url) +
                            ">");
            break;
        case BookmarkKind::Separator:
            lines.push_back(path + ": ---");
            break;
        }
    }
    return lines;
}

inline std::string Fixture(const std::string& name) {
    return readFileBytes(std::string(LINKFOLD_BOOKMARK_DATA) + "/" + name);
}

inline std::string FixturePath(const std::string& name) {
    return std::string(LINKFOLD_BOOKMARK_DATA) + "/" + name;
}

// The places.sqlite tables as Firefox creates them, with its roots.
inline constexpr const char* kFirefoxPlacesSchema = R"(
CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR,
  rev_host LONGVARCHAR, visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL,
  typed INTEGER DEFAULT 0 NOT NULL, frecency INTEGER DEFAULT -1 NOT NULL,
  last_visit_date INTEGER, guid TEXT, foreign_count INTEGER DEFAULT 0 NOT NULL,
  url_hash INTEGER DEFAULT 0 NOT NULL, description TEXT, preview_image_url TEXT,
  site_name TEXT, origin_id INTEGER REFERENCES moz_origins(id),
  recalc_frecency INTEGER NOT NULL DEFAULT 0, alt_frecency INTEGER,
  recalc_alt_frecency INTEGER NOT NULL DEFAULT 0);
CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL,
  parent INTEGER, position INTEGER, title LONGVARCHAR, keyword_id INTEGER, folder_type TEXT,
  dateAdded INTEGER, lastModified INTEGER, guid TEXT, syncStatus INTEGER NOT NULL DEFAULT 0,
  syncChangeCounter INTEGER NOT NULL DEFAULT 1);
CREATE UNIQUE INDEX moz_bookmarks_guid_uniqueindex ON moz_bookmarks (guid);
CREATE INDEX moz_bookmarks_itemindex ON moz_bookmarks (fk, type);
CREATE INDEX moz_bookmarks_parentindex ON moz_bookmarks (parent, position);
INSERT INTO moz_bookmarks (id, type, parent, position, title, guid, dateAdded) VALUES
  (1, 2, 0, 0, '', 'root________', 1700000000000000),
  (2, 2, 1, 0, 'menu', 'menu________', 1700000000000000),
  (3, 2, 1, 1, 'toolbar', 'toolbar_____', 1700000000000000),
  (4, 2, 1, 2, 'tags', 'tags________', 1700000000000000),
  (5, 2, 1, 3, 'unfiled', 'unfiled_____', 1700000000000000),
  (6, 2, 1, 4, 'mobile', 'mobile______', 1700000000000000);
)";
