#include "bookmarks/ChromiumBookmarkReader.h"

#include "bookmarks/SourceFile.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <utility>
#include <vector>

using nlohmann::json;

namespace {

constexpr std::int64_t kSeconds1601To1970 = 11'644'473'600;

std::string stringField(const json& node, const char* key) {
    const auto it = node.find(key);
    return it != node.end() && it->is_string() ? it->get<std::string>() : std::string();
}

std::int64_t chromiumDate(const json& node) {
    const auto it = node.find("date_added");
    if (it == node.end())
        return 0;
    std::int64_t micro = 0;
    if (it->is_string()) {
        const std::string& s = it->get_ref<const std::string&>();
        if (std::from_chars(s.data(), s.data() + s.size(), micro).ec != std::errc())
            return 0;
    } else if (it->is_number_integer()) {
        micro = it->get<std::int64_t>();
    }
    const std::int64_t seconds = micro / 1'000'000 - kSeconds1601To1970;
    return seconds > 0 ? seconds : 0;
}

// "[json.exception.parse_error.101] parse error at ..." without the tag.
std::string jsonMessage(const json::exception& e) {
    std::string text = e.what();
    const size_t close = text.find("] ");
    return close == std::string::npos ? text : text.substr(close + 2);
}

} // namespace

BookmarkReadResult readChromiumBookmarks(std::string_view bytes, const std::string& name) {
    if (bytes.empty())
        return BookmarkReadResult::failure(name, "the file is empty");
    json doc;
    try {
        doc = json::parse(bytes.begin(), bytes.end());
    } catch (const json::exception& e) {
        return BookmarkReadResult::failure(name, "not valid JSON: " + jsonMessage(e));
    }
    const json* roots = nullptr;
    if (doc.is_object()) {
        const auto it = doc.find("roots");
        if (it != doc.end() && it->is_object())
            roots = &*it;
    }
    if (!roots)
        return BookmarkReadResult::failure(
            name, "not a browser bookmark file: it has no \"roots\" object");

    std::vector<std::pair<std::string, const json*>> tops;
    for (const char* key : {"bookmark_bar", "other", "synced"}) {
        const auto it = roots->find(key);
        if (it != roots->end())
            tops.emplace_back(key, &*it);
    }
    for (auto it = roots->begin(); it != roots->end(); ++it)
        if (it.key() != "bookmark_bar" && it.key() != "other" && it.key() != "synced" &&
            it->is_object() && stringField(*it, "type") == "folder")
            tops.emplace_back(it.key(), &*it);

    BookmarkReadResult result;
    BookmarkTree& tree = result.tree;
    struct Pending {
        const json* node;
        int parent;
        bool toolbar;
    };
    std::vector<Pending> stack;
    for (auto it = tops.rbegin(); it != tops.rend(); ++it)
        stack.push_back({it->second, -1, it->first == "bookmark_bar"});
    while (!stack.empty()) {
        const Pending p = stack.back();
        stack.pop_back();
        const json& node = *p.node;
        if (!node.is_object())
            continue;
        const std::string type = stringField(node, "type");
        if (type == "url") {
            std::string url = trimmedText(stringField(node, "url"));
            if (!url.empty() && !isPlaceQuery(url))
                tree.addLink(p.parent, trimmedText(stringField(node, "name")), std::move(url),
                             chromiumDate(node));
        } else if (type == "folder" || p.parent < 0) {
            const int folder = tree.addFolder(p.parent, trimmedText(stringField(node, "name")),
                                              chromiumDate(node), p.toolbar);
            const auto children = node.find("children");
            if (children == node.end() || !children->is_array())
                continue;
            for (auto c = children->rbegin(); c != children->rend(); ++c)
                stack.push_back({&*c, folder, false});
        }
    }
    return result;
}
