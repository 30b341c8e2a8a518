#include "bookmarks/BookmarkReader.h"

#include "bookmarks/ChromiumBookmarkReader.h"
#include "bookmarks/FirefoxPlacesReader.h"
#include "bookmarks/NetscapeBookmarkReader.h"
#include "bookmarks/SourceFile.h"
#include "bookmarks/WeblocReader.h"
#include "bookmarks/XbelReader.h"
#include "core/ProjectFile.h"

#include <algorithm>
#include <cctype>
#include <new>
#include <unistd.h>
#include <utility>

namespace {

constexpr std::string_view kSqliteHeader{"SQLite format 3\0", 16};

std::string lowerHead(std::string_view bytes) {
    std::string head(bytes.substr(0, 4096));
    std::transform(head.begin(), head.end(), head.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return head;
}

} // namespace

BookmarkFormat sniffBookmarkFormat(std::string_view bytes) {
    if (bytes.substr(0, kSqliteHeader.size()) == kSqliteHeader)
        return BookmarkFormat::FirefoxPlaces;
    if (bytes.substr(0, 8) == "bplist00")
        return BookmarkFormat::Webloc;
    std::string_view text = bytes;
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first != std::string_view::npos && text[first] == '{')
        return BookmarkFormat::ChromiumJson;
    // The marker that comes first decides, so that a title quoting another
    // format's marker does not.
    const std::string head = lowerHead(text);
    const std::pair<const char*, BookmarkFormat> markers[] = {
        {"netscape-bookmark-file", BookmarkFormat::NetscapeHtml},
        {"<xbel", BookmarkFormat::Xbel},
        {"<!doctype plist", BookmarkFormat::Webloc},
        {"<plist", BookmarkFormat::Webloc},
        {"<dl", BookmarkFormat::NetscapeHtml},
        {"<dt>", BookmarkFormat::NetscapeHtml}};
    size_t earliest = std::string::npos;
    BookmarkFormat format = BookmarkFormat::Unknown;
    for (const auto& [marker, kind] : markers) {
        const size_t at = head.find(marker);
        if (at < earliest) {
            earliest = at;
            format = kind;
        }
    }
    return format;
}

BookmarkReadResult readBookmarks(std::string_view bytes, const std::string& name) {
    switch (sniffBookmarkFormat(bytes)) {
    case BookmarkFormat::NetscapeHtml:
        return readNetscapeBookmarks(bytes, name);
    case BookmarkFormat::Xbel:
        return readXbel(bytes, name);
    case BookmarkFormat::ChromiumJson:
        return readChromiumBookmarks(bytes, name);
    case BookmarkFormat::FirefoxPlaces:
        return readFirefoxPlacesImage(bytes, name);
    case BookmarkFormat::Webloc:
        return readWebloc(bytes, name);
    case BookmarkFormat::Unknown:
        break;
    }
    if (bytes.empty())
        return BookmarkReadResult::failure(name, "the file is empty");
    return BookmarkReadResult::failure(name, "not a bookmark file of a known kind");
}

bool isDatabaseFile(const std::string& path) {
    ProjectFileHandle handle;
    if (!openProjectFile(path, handle).ok())
        return false;
    char head[16] = {};
    const ssize_t n = ::pread(handle.fd.get(), head, sizeof head, 0);
    return n > 0 && std::string_view(head, static_cast<size_t>(n)) == kSqliteHeader;
}

BookmarkReadResult readBookmarkFile(const std::string& path) {
    try {
        if (isDatabaseFile(path))
            return readFirefoxPlaces(path);
        // A file that cannot be opened is named by the read as a project's is.
        SourceFile file = readSourceFile(path);
        if (!file.ok()) {
            BookmarkReadResult result;
            result.error = file.error;
            return result;
        }
        return readBookmarks(file.bytes, path);
    } catch (const std::bad_alloc&) {
        return BookmarkReadResult::failure(path, "not enough memory to read it.");
    }
}
