#include "bookmarks/WeblocReader.h"

#include "bookmarks/SourceFile.h"
#include "core/TextUtil.h"

#include <plist/plist.h>

#include <filesystem>
#include <memory>

namespace {

struct PlistDeleter {
    void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};

} // namespace

BookmarkReadResult readWebloc(std::string_view bytes, const std::string& name) {
    if (bytes.empty())
        return BookmarkReadResult::failure(name, "the file is empty");
    if (bytes.size() > kMaxWeblocBytes)
        return BookmarkReadResult::failure(name, "is too large for a link file");
    plist_t raw = nullptr;
    plist_from_memory(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &raw);
    std::unique_ptr<void, PlistDeleter> root(raw);
    if (!root)
        return BookmarkReadResult::failure(name, "not a property list");
    if (plist_get_node_type(raw) != PLIST_DICT)
        return BookmarkReadResult::failure(name,
                                           "not a link file: the property list is no dictionary");
    plist_t item = plist_dict_get_item(raw, "URL");
    if (!item || plist_get_node_type(item) != PLIST_STRING)
        return BookmarkReadResult::failure(name, "not a link file: it has no URL");
    // plist_get_string_val asserts on a string holding a NUL byte.
    std::uint64_t length = 0;
    const char* value = plist_get_string_ptr(item, &length);
    if (!value)
        return BookmarkReadResult::failure(name, "not a link file: it has no URL");
    const std::string text(value, static_cast<size_t>(length));
    if (text.find('\0') != std::string::npos)
        return BookmarkReadResult::failure(name, "the URL contains a NUL byte");
    std::string url(trimWhiteSpace(text));
    if (url.empty())
        return BookmarkReadResult::failure(name, "the URL is empty");
    if (isPlaceQuery(url))
        return BookmarkReadResult::failure(name, "the URL is a browser query, not an address");
    BookmarkReadResult result;
    result.tree.addLink(-1, std::filesystem::path(name).stem().string(), std::move(url));
    return result;
}
