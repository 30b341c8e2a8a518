#include "core/UrlKey.h"

#include "core/TextUtil.h"

#include <idn2.h>
#include <libxml/uri.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

struct UriDeleter {
    void operator()(xmlURI* uri) const { xmlFreeURI(uri); }
};

constexpr char kHex[] = "0123456789ABCDEF";

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isEscape(std::string_view text, std::size_t at) {
    return at + 2 < text.size() && hexValue(text[at + 1]) >= 0 && hexValue(text[at + 2]) >= 0;
}

bool isUnreserved(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

void appendEscape(std::string& out, unsigned char c) {
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 15];
}

// What a browser sends for a typed address: bytes a URL cannot hold as they
// are become escapes, so that the parser can split the text.
std::string encodeForParsing(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool bad = c <= 0x20 || c >= 0x7f || c == '"' || c == '<' || c == '>' || c == '\\' ||
                         c == '^' || c == '`' || c == '{' || c == '|' || c == '}' ||
                         (c == '%' && !isEscape(text, i));
        if (bad)
            appendEscape(out, c);
        else
            out += static_cast<char>(c);
    }
    return out;
}

// Escapes of unreserved characters decoded, the others in upper case.
std::string normalizeEscapes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && isEscape(text, i)) {
            const auto c =
                static_cast<unsigned char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            if (isUnreserved(c))
                out += static_cast<char>(c);
            else
                appendEscape(out, c);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string decodeEscapes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && isEscape(text, i)) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string asciiLower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    });
    return s;
}

// The host in lower case; an international name in its ASCII form (the
// mapping folds its case too). A name IDNA refuses is kept in lower case.
std::string hostKey(std::string_view raw) {
    const std::string host = decodeEscapes(raw);
    const bool ascii = std::all_of(host.begin(), host.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii)
        return asciiLower(host);
    for (const int flags :
         {IDN2_NFC_INPUT | IDN2_NONTRANSITIONAL, IDN2_NFC_INPUT | IDN2_TRANSITIONAL}) {
        char* ace = nullptr;
        if (idn2_to_ascii_8z(host.c_str(), &ace, flags) == IDN2_OK && ace) {
            std::string result = asciiLower(ace);
            idn2_free(ace);
            return result;
        }
        idn2_free(ace);
    }
    return normalizeEscapes(encodeForParsing(asciiLower(host)));
}

} // namespace

std::string urlComparisonKey(std::string_view url, UrlFragment fragment) {
    std::string text(trimWhiteSpace(url));
    while (!text.empty() && text.back() == '#')
        text.pop_back();
    const std::string encoded = encodeForParsing(text);
    std::unique_ptr<xmlURI, UriDeleter> uri(xmlParseURIRaw(encoded.c_str(), 1));
    if (!uri || !uri->scheme) {
        if (fragment == UrlFragment::Ignore) {
            const std::size_t hash = text.find('#');
            if (hash != std::string::npos)
                text.erase(hash);
        }
        return text;
    }
    const std::string scheme = asciiLower(uri->scheme);
    const std::string_view rest = std::string_view(encoded).substr(scheme.size() + 1);
    const bool hierarchical = uri->server || rest.substr(0, 2) == "//";
    if (!hierarchical) {
        // mailto:, javascript:, opaque forms: only the scheme's case.
        std::string key = scheme + ":" + std::string(rest);
        if (fragment == UrlFragment::Ignore) {
            const std::size_t hash = key.find('#');
            if (hash != std::string::npos)
                key.erase(hash);
        }
        return key;
    }
    std::string key = scheme + "://";
    if (uri->user)
        key += normalizeEscapes(uri->user) + "@";
    std::string host = uri->server ? hostKey(uri->server) : std::string();
    if (scheme == "file" && host == "localhost")
        host.clear();
    key += host;
    const bool defaultPort =
        (scheme == "http" && uri->port == 80) || (scheme == "https" && uri->port == 443);
    if (uri->port > 0 && !defaultPort)
        key += ":" + std::to_string(uri->port);
    std::string path = normalizeEscapes(uri->path ? uri->path : "");
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    key += path.empty() ? "/" : path;
    if (uri->query_raw)
        key += "?" + normalizeEscapes(uri->query_raw);
    if (fragment == UrlFragment::Compare && uri->fragment && *uri->fragment)
        key += "#" + normalizeEscapes(uri->fragment);
    return key;
}
