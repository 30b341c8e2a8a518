#pragma once

#include "core/AtomicFileWriter.h"
#include "core/PageStyle.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class Project;

// Pictures for the links of the modern page: for each host (lower case,
// without port, user or a leading "www."), a data: URI of a small image.
// The page embeds each host's picture once; a host without one gets a letter
// tile drawn by the style sheet. The core never looks for icons itself.
struct PageIcons {
    std::unordered_map<std::string, std::string> byHost;
};

// The largest data: URI the page embeds for one host; larger ones are left
// out (the host gets a letter tile).
inline constexpr size_t kMaxIconUriBytes = size_t{8} * 1024;

// The host an icon is looked up by: "https://www.Example.org:8080/x" gives
// "example.org". Empty for a URL without one (mailto:, relative paths).
std::string iconHost(std::string_view url);

// The distinct hosts of the project's links as iconHost gives them, in
// order of first use; each distinct authority is read once.
std::vector<std::string> linkHosts(const Project& doc);

// The page one self-contained HTML5 file in UTF-8: group cards in columns
// that fit any window, light and dark themes from the project's colours, a
// filter box, keys, icons and letter tiles, all inline, and nothing fetched
// from the network but the pictures the project names. The user's markup is
// kept inside the element it stands in; the page's own words are in the
// page style's language (by default the one the program runs in).
// programLanguage, a BCP 47 tag, is the language the program runs in, for a
// page style that names none; empty: the one the environment names
// (environmentLanguage in PageWords.h).
std::string renderModernPage(const Project& doc, const PageIcons& icons = {},
                             std::string_view programLanguage = {});

// The start page in the given look (the classic page when Classic) written
// to path; the result says why when it could not be written completely.
FileResult writePageLook(const Project& doc, const std::string& path, PageLook look,
                         const PageIcons& icons = {}, SystemCalls& ops = systemCalls(),
                         std::string_view programLanguage = {});
