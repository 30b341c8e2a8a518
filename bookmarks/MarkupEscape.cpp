#include "bookmarks/MarkupEscape.h"

#include <libxml/chvalid.h>
#include <libxml/xmlstring.h>

#include <climits>
#include <ctime>

namespace {

// xmlGetUTF8Char checks the continuation bytes but takes a stray
// continuation byte as a lead byte and accepts overlong forms; those are
// refused here so that only UTF-8 an XML parser accepts goes out.
bool strictUtf8(const unsigned char* p, int len, int c) {
    if (len == 1)
        return c < 0x80;
    if (p[0] < 0xC2 || p[0] > 0xF4)
        return false;
    if (len == 2)
        return c >= 0x80;
    if (len == 3)
        return c >= 0x800 && (c < 0xD800 || c > 0xDFFF);
    return len == 4 && c >= 0x10000 && c <= 0x10FFFF;
}

} // namespace

std::string escapeMarkup(std::string_view text, bool attribute) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    size_t left = text.size();
    while (left > 0) {
        int len = left > INT_MAX ? INT_MAX : static_cast<int>(left);
        const int c = xmlGetUTF8Char(p, &len);
        if (c < 0 || len <= 0 || !strictUtf8(p, len, c)) {
            out += "\xEF\xBF\xBD";
            ++p;
            --left;
            continue;
        }
        const auto step = static_cast<size_t>(len);
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '"' && attribute)
            out += "&quot;";
        else if (!xmlIsCharQ(c))
            out += "\xEF\xBF\xBD"; // not allowed in XML
        else
            out.append(reinterpret_cast<const char*>(p), step);
        p += step;
        left -= step;
    }
    return out;
}

std::string isoDate(std::int64_t seconds) {
    const auto t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    if (!::gmtime_r(&t, &tm))
        return {};
    char buffer[32];
    const size_t n = std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return std::string(buffer, n);
}
