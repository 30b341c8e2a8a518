#pragma once

#include "bookmarks/BookmarkReader.h"
#include "bookmarks/ChromiumBookmarkReader.h"
#include "bookmarks/FirefoxPlacesReader.h"
#include "bookmarks/ImportPlan.h"
#include "bookmarks/NetscapeBookmarkReader.h"
#include "bookmarks/NetscapeBookmarkWriter.h"
#include "bookmarks/ProjectBookmarks.h"
#include "bookmarks/WeblocReader.h"
#include "bookmarks/XbelReader.h"
#include "bookmarks/XbelWriter.h"
#include "core/ModernPage.h"
#include "core/PageWriter.h"
#include "core/Project.h"
#include "fuzz/PageSafety.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

// Whether SQLite finds the database file sound: its integrity check, which
// also compares every index with its table (the quick check does not).
inline bool soundDatabase(const std::string& path) {
    sqlite3* db = nullptr;
    bool sound = false;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* check = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check(1)", -1, &check, nullptr) == SQLITE_OK &&
            sqlite3_step(check) == SQLITE_ROW) {
            const unsigned char* answer = sqlite3_column_text(check, 0);
            sound = answer && std::string_view(reinterpret_cast<const char*>(answer)) == "ok";
        }
        sqlite3_finalize(check);
    }
    sqlite3_close(db);
    return sound;
}

// A places.sqlite read in two steps, as the command imports it (its
// folders, then every folder's links), must give the rows of its whole tree,
// or a message naming the file.
inline void fuzzPlacesInTwoSteps(std::string_view bytes, const std::vector<ImportFolder>& whole) {
    // One file for every input, gone when the fuzzer ends.
    static const struct InputFile {
        std::string path;
        InputFile() {
            char name[] = "/tmp/linkfold-fuzz-XXXXXX.sqlite";
            const int fd = ::mkstemps(name, 7);
            if (fd < 0)
                std::abort();
            ::close(fd);
            path = name;
        }
        ~InputFile() { ::unlink(path.c_str()); }
        InputFile(const InputFile&) = delete;
        InputFile& operator=(const InputFile&) = delete;
    } file;
    {
        std::ofstream out(file.path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out)
            std::abort();
    }
    PlacesImport places;
    if (!places.open(file.path, "Bookmarks") ||
        !places.readLinks(std::vector<bool>(places.folders().size(), true))) {
        if (places.error().rfind(file.path + ": ", 0) != 0)
            std::abort();
        return;
    }
    // A damaged file whose indexes and table disagree may read one way
    // through an index and another through the table; a sound one may not.
    if (places.folders() != whole && soundDatabase(file.path))
        std::abort();
}

// One fuzz input for one reader: it must give a tree or a message naming the
// file; whatever reads must write as HTML and XBEL that read back to the
// same links, and imported into a new project it must make a start page
// that holds no markup, attribute or link scheme the page itself does not
// put there. A places.sqlite is also imported in two steps.
inline void fuzzOneBookmarkSource(BookmarkFormat format, const std::uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string name = "fuzz-input";
    BookmarkReadResult result;
    switch (format) {
    case BookmarkFormat::NetscapeHtml:
        result = readNetscapeBookmarks(bytes, name);
        break;
    case BookmarkFormat::Xbel:
        result = readXbel(bytes, name);
        break;
    case BookmarkFormat::ChromiumJson:
        result = readChromiumBookmarks(bytes, name);
        break;
    case BookmarkFormat::FirefoxPlaces:
        result = readFirefoxPlacesImage(bytes, name);
        break;
    case BookmarkFormat::Webloc:
        result = readWebloc(bytes, name);
        break;
    case BookmarkFormat::Unknown:
        result = readBookmarks(bytes, name);
        break;
    }
    if (!result.ok()) {
        if (result.error.rfind(name + ": ", 0) != 0)
            std::abort();
        return;
    }
    const BookmarkReadResult html =
        readNetscapeBookmarks(writeNetscapeBookmarks(result.tree), name);
    const BookmarkReadResult xbel = readXbel(writeXbel(result.tree), name);
    if (!html.ok() || !xbel.ok())
        std::abort();
    if (html.tree.linkCount() != result.tree.linkCount() ||
        xbel.tree.linkCount() != result.tree.linkCount())
        std::abort();
    Project project;
    const std::vector<ImportFolder> folders = importFolders(result.tree, "Bookmarks");
    if (format == BookmarkFormat::FirefoxPlaces)
        fuzzPlacesInTwoSteps(bytes, folders);
    const std::vector<ExistingGroup> groups = existingGroups(project);
    applyImportPlan(planImport(folders, defaultChoices(folders, groups),
                               std::vector<ImportMode>(groups.size()), groups),
                    project);
    if (!pagesafety::unsafeMarkup(renderPage(project)).empty())
        std::abort();
    if (!pagesafety::unsafeModernMarkup(renderModernPage(project)).empty())
        std::abort();
}
