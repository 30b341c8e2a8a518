#include "core/UrlKey.h"

#include "core/TextUtil.h"

#include <libxml/uri.h>

#include <algorithm>
#include <cctype>
#include <memory>

namespace {

struct UriDeleter {
    void operator()(xmlURI* uri) const { xmlFreeURI(uri); }
};

std::string lower(const char* text) {
    std::string s = text ? text : "";
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

} // namespace

std::string urlComparisonKey(std::string_view url) {
    std::string text(trimWhiteSpace(url));
    while (!text.empty() && text.back() == '#')
        text.pop_back();
    std::unique_ptr<xmlURI, UriDeleter> uri(xmlParseURIRaw(text.c_str(), 1));
    if (!uri || !uri->scheme)
        return text;
    const std::string scheme = lower(uri->scheme);
    if (!uri->server) {
        // mailto:, javascript:, opaque and host-less forms: only the scheme's case.
        return scheme + text.substr(scheme.size());
    }
    std::string key = scheme + "://";
    if (uri->user)
        key += std::string(uri->user) + "@";
    key += lower(uri->server);
    const bool defaultPort =
        (scheme == "http" && uri->port == 80) || (scheme == "https" && uri->port == 443);
    if (uri->port > 0 && !defaultPort)
        key += ":" + std::to_string(uri->port);
    std::string path = uri->path ? uri->path : "";
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    key += path.empty() ? "/" : path;
    if (uri->query_raw)
        key += std::string("?") + uri->query_raw;
    if (uri->fragment && *uri->fragment)
        key += std::string("#") + uri->fragment;
    return key;
}
