#include "bookmarks/WeblocReader.h"

#include "bookmarks/SourceFile.h"

#include <plist/plist.h>

#include <cstdlib>
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
    char* value = nullptr;
    plist_get_string_val(item, &value);
    std::string url = value ? trimmedText(value) : std::string();
    std::free(value);
    if (url.empty())
        return BookmarkReadResult::failure(name, "the URL is empty");
    if (isPlaceQuery(url))
        return BookmarkReadResult::failure(name, "the URL is a browser query, not an address");
    BookmarkReadResult result;
    result.tree.addLink(-1, std::filesystem::path(name).stem().string(), std::move(url));
    return result;
}
