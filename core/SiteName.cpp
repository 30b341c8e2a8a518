#include "core/SiteName.h"

#include "core/Codepage.h"

#include <idn2.h>
#include <libpsl.h>

#include <dlfcn.h>

#include <clocale>
#include <cstdint>
#include <cwctype>
#include <locale.h>
#include <mutex>

// libpsl (and libidn2, which it brings) are opened when the first tile is
// drawn rather than linked, as libxml2 is for the page's markup: the
// program starts with the C and C++ runtimes alone (ARCHITECTURE.md).
namespace {

struct Psl {
    const psl_ctx_t* ctx = nullptr;
    decltype(&psl_registrable_domain) registrable = nullptr;
    decltype(&psl_str_to_utf8lower) toLower = nullptr;
    decltype(&psl_free_string) freeString = nullptr;
    decltype(&idn2_to_unicode_8z8z) toUnicode = nullptr;
    decltype(&idn2_free) idnFree = nullptr;
};

const Psl& psl() {
    static Psl lib;
    static std::once_flag once;
    std::call_once(once, [] {
        void* handle = dlopen("libpsl.so.5", RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return;
        auto latest = reinterpret_cast<decltype(&psl_latest)>(dlsym(handle, "psl_latest"));
        auto builtin = reinterpret_cast<decltype(&psl_builtin)>(dlsym(handle, "psl_builtin"));
        lib.registrable =
            reinterpret_cast<decltype(lib.registrable)>(dlsym(handle, "psl_registrable_domain"));
        lib.toLower =
            reinterpret_cast<decltype(lib.toLower)>(dlsym(handle, "psl_str_to_utf8lower"));
        lib.freeString =
            reinterpret_cast<decltype(lib.freeString)>(dlsym(handle, "psl_free_string"));
        // The system's list (Debian's publicsuffix package) when it is newer
        // than the one built in; kept for the life of the process.
        if (latest)
            lib.ctx = latest(nullptr);
        if (!lib.ctx && builtin)
            lib.ctx = builtin();
        if (!lib.registrable)
            lib.ctx = nullptr;
        if (void* idn = dlopen("libidn2.so.0", RTLD_NOW | RTLD_LOCAL)) {
            lib.toUnicode =
                reinterpret_cast<decltype(lib.toUnicode)>(dlsym(idn, "idn2_to_unicode_8z8z"));
            lib.idnFree = reinterpret_cast<decltype(lib.idnFree)>(dlsym(idn, "idn2_free"));
        }
    });
    return lib;
}

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isIpAddress(std::string_view host) {
    if (host.starts_with('['))
        return true;
    if (host.empty())
        return false;
    for (char c : host)
        if (!((c >= '0' && c <= '9') || c == '.'))
            return false;
    return true;
}

// The host in Unicode lower case: A-labels ("xn--") decoded.
std::string unicodeHost(std::string_view host) {
    const Psl& lib = psl();
    std::string text(host);
    if (text.find("xn--") != std::string::npos && lib.toUnicode && lib.idnFree) {
        char* out = nullptr;
        if (lib.toUnicode(text.c_str(), &out, 0) == IDN2_OK && out)
            text = out;
        if (out)
            lib.idnFree(out);
    }
    if (!isAscii(text) && lib.toLower && lib.freeString) {
        char* lower = nullptr;
        if (lib.toLower(text.c_str(), "utf-8", nullptr, &lower) == PSL_SUCCESS && lower)
            text = lower;
        if (lower)
            lib.freeString(lower);
    }
    return text;
}

locale_t utf8Locale() {
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    return locale;
}

// The first letter or digit of text, upper case; empty when it has none.
std::string firstLetter(std::string_view text) {
    const locale_t locale = utf8Locale();
    for (size_t pos = 0; pos < text.size();) {
        const char32_t cp = nextCodePoint(text, pos);
        if (cp < 0x80) {
            const char c = static_cast<char>(cp);
            if (isAsciiLetter(c) || (c >= '0' && c <= '9'))
                return std::string(1, static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c));
            continue;
        }
        if (cp == 0xFFFD)
            continue;
        const auto wide = static_cast<wint_t>(cp);
        if (locale && !iswalnum_l(wide, locale))
            continue;
        std::string out;
        appendUtf8(out, locale ? static_cast<char32_t>(towupper_l(wide, locale)) : cp);
        return out;
    }
    return {};
}

int colourOf(std::string_view name) {
    std::uint32_t hash = 2166136261u; // FNV-1a
    for (char c : name) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return static_cast<int>(hash % kTileColours);
}

} // namespace

std::string registrableDomain(std::string_view host) {
    std::string name = unicodeHost(host);
    if (isIpAddress(name))
        return name;
    const Psl& lib = psl();
    if (lib.ctx)
        if (const char* domain = lib.registrable(lib.ctx, name.c_str()))
            return domain;
    return name;
}

SiteTile siteTile(std::string_view host, std::string_view url) {
    SiteTile tile;
    if (host.empty()) {
        const size_t colon = url.find(':');
        const std::string_view rest = colon == std::string_view::npos ? url : url.substr(colon + 1);
        tile.letter = firstLetter(rest);
        tile.colour = colourOf(rest.substr(0, rest.find_first_of("/?#")));
    } else if (isIpAddress(host)) {
        tile.letter = "#";
        tile.colour = colourOf(host);
    } else {
        const std::string site = registrableDomain(host);
        tile.letter = firstLetter(site.substr(0, site.find('.')));
        if (tile.letter.empty())
            tile.letter = firstLetter(site);
        tile.colour = colourOf(site);
    }
    if (tile.letter.empty())
        tile.letter = "#";
    return tile;
}
