#include "core/LinkFile.h"

#include "core/Codepage.h"
#include "core/TextUtil.h"

#include <cctype>
#include <fstream>
#include <iconv.h>

namespace {

// UTF-8 text with every byte that does not belong to a well-formed sequence
// replaced by U+FFFD.
std::string validUtf8(std::string_view bytes) {
    return isValidUtf8(bytes) ? std::string(bytes) : utf16ToUtf8(utf8ToUtf16(bytes));
}

// Link files are a few lines; anything larger is not one.
constexpr std::streamoff kMaxLinkFileSize = 1 << 20;

// Calls f(section, key, value) for every "key=value" line, with the name of
// the "[section]" it stands in; f returns false to stop.
template <class F> void forEachEntry(std::string_view text, F f) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::string_view section;
    while (!text.empty()) {
        size_t nl = text.find('\n');
        std::string_view line = trimWhiteSpace(text.substr(0, nl));
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[') {
            size_t close = line.find(']');
            section = close == std::string_view::npos ? line.substr(1) : line.substr(1, close - 1);
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            continue;
        if (!f(section, trimWhiteSpace(line.substr(0, eq)), trimWhiteSpace(line.substr(eq + 1))))
            return;
    }
}

// Desktop entry string values escape \s, \n, \t, \r and \\.
std::string unescapeDesktopValue(std::string_view v) {
    std::string out;
    out.reserve(v.size());
    for (size_t i = 0; i < v.size(); ++i) {
        if (v[i] != '\\' || i + 1 == v.size()) {
            out += v[i];
            continue;
        }
        switch (v[++i]) {
        case 's':
            out += ' ';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case '\\':
            out += '\\';
            break;
        default:
            out += '\\';
            out += v[i];
        }
    }
    return out;
}

// UTF-7 text as UTF-8, or nothing when it is not valid UTF-7.
std::string utf7ToUtf8(std::string_view utf7) {
    iconv_t cd = ::iconv_open("UTF-8", "UTF-7");
    // NOLINTNEXTLINE(performance-no-int-to-ptr): iconv_open's failure value
    if (cd == reinterpret_cast<iconv_t>(-1))
        return {};
    // Each UTF-16 unit takes at least 8/3 bytes of UTF-7 and at most three
    // of UTF-8, and a direct character one byte of each.
    std::string out(utf7.size() * 2 + 16, '\0');
    std::string in(utf7);
    char* inPtr = in.data();
    size_t inLeft = in.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    const size_t done = ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    ::iconv_close(cd);
    if (done == static_cast<size_t>(-1) || inLeft != 0)
        return {};
    out.resize(out.size() - outLeft);
    return out;
}

std::string internetShortcutUrl(std::string_view text) {
    std::string url;
    std::string wideUrl;
    forEachEntry(text, [&](std::string_view section, std::string_view key, std::string_view value) {
        if (url.empty() && equalNoCase(section, "InternetShortcut") && equalNoCase(key, "URL"))
            url = std::string(value);
        else if (wideUrl.empty() && equalNoCase(section, "InternetShortcut.W") &&
                 equalNoCase(key, "URL"))
            wideUrl = utf7ToUtf8(value);
        return url.empty() || wideUrl.empty();
    });
    if (!wideUrl.empty())
        return wideUrl;
    return isValidUtf8(url) ? url : cp1252ToUtf8(url);
}

std::string desktopLinkUrl(std::string_view text) {
    bool isLink = false;
    std::string url;
    forEachEntry(text, [&](std::string_view section, std::string_view key, std::string_view value) {
        if (section != "Desktop Entry")
            return true;
        if (key == "Type")
            isLink = value == "Link";
        else if (key == "URL" && url.empty())
            url = unescapeDesktopValue(value);
        return true;
    });
    return isLink ? validUtf8(url) : std::string();
}

std::u16string decodeUtf16(std::string_view bytes) {
    bool bigEndian = false;
    if (bytes.size() >= 2) {
        unsigned char b0 = static_cast<unsigned char>(bytes[0]);
        unsigned char b1 = static_cast<unsigned char>(bytes[1]);
        if ((b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF)) {
            bigEndian = b0 == 0xFE;
            bytes.remove_prefix(2);
        }
    }
    std::u16string out;
    out.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto lo = static_cast<unsigned char>(bytes[i + (bigEndian ? 1 : 0)]);
        auto hi = static_cast<unsigned char>(bytes[i + (bigEndian ? 0 : 1)]);
        out += static_cast<char16_t>(lo | (hi << 8));
    }
    return out;
}

} // namespace

std::string urlFromShortcutText(std::string_view text) {
    std::string url = internetShortcutUrl(text);
    if (url.empty())
        url = desktopLinkUrl(text);
    return url;
}

std::string shortcutUrl(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return {};
    std::streamoff size = in.tellg();
    if (size <= 0 || size > kMaxLinkFileSize)
        return {};
    std::string text(static_cast<size_t>(size), '\0');
    in.seekg(0);
    if (!in.read(text.data(), size))
        return {};
    return urlFromShortcutText(text);
}

std::vector<DroppedLink> parseMozUrl(std::string_view bytes) {
    std::string text = bytes.find('\0') != std::string_view::npos ? utf16ToUtf8(decodeUtf16(bytes))
                                                                  : validUtf8(bytes);
    while (!text.empty() && text.back() == '\0')
        text.pop_back();

    std::vector<DroppedLink> links;
    std::string_view rest = text;
    while (!rest.empty()) {
        size_t nl = rest.find('\n');
        std::string_view url = trimWhiteSpace(rest.substr(0, nl));
        rest = nl == std::string_view::npos ? std::string_view() : rest.substr(nl + 1);
        nl = rest.find('\n');
        std::string_view title = trimWhiteSpace(rest.substr(0, nl));
        rest = nl == std::string_view::npos ? std::string_view() : rest.substr(nl + 1);
        if (!url.empty())
            links.push_back({std::string(url), std::string(title)});
    }
    return links;
}
