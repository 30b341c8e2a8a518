#include "core/UrlKey.h"

#include <idn2.h>

#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

constexpr bool isUnreservedChar(int c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

// Each byte as it stands in a path, query, fragment or user part: itself,
// or 0 when it must be escaped ("%" included: it is looked at apart).
constexpr std::array<char, 256> makeComponentTable() {
    std::array<char, 256> table{};
    for (int c = 0x21; c < 0x7f; ++c)
        table[static_cast<std::size_t>(c)] = static_cast<char>(c);
    for (const char c : {'"', '<', '>', '\\', '^', '`', '{', '|', '}', '%'})
        table[static_cast<unsigned char>(c)] = 0;
    return table;
}

// Each byte of a decoded host name as the key writes it: in lower case, or
// 0 when it must be escaped (anything that could end or split the host).
constexpr std::array<char, 256> makeHostTable() {
    std::array<char, 256> table{};
    for (int c = 0; c < 256; ++c) {
        if (isUnreservedChar(c))
            table[static_cast<std::size_t>(c)] =
                static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    }
    for (const char c : {'!', '$', '&', '\'', '(', ')', '*', '+', ',', ';', '='})
        table[static_cast<unsigned char>(c)] = c;
    return table;
}

// Letters (in lower case), digits, "-" and "."; 0 for any other byte.
constexpr std::array<char, 256> makeSimpleHostTable() {
    std::array<char, 256> table{};
    for (int c = 0; c < 256; ++c) {
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.')
            table[static_cast<std::size_t>(c)] = static_cast<char>(c);
        else if (c >= 'A' && c <= 'Z')
            table[static_cast<std::size_t>(c)] = static_cast<char>(c + ('a' - 'A'));
    }
    return table;
}

constexpr std::array<signed char, 256> makeHexTable() {
    std::array<signed char, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[static_cast<std::size_t>(c)] = -1;
    for (std::size_t c = 0; c < 10; ++c)
        table['0' + c] = static_cast<signed char>(c);
    for (std::size_t c = 0; c < 6; ++c) {
        table['a' + c] = static_cast<signed char>(10 + c);
        table['A' + c] = static_cast<signed char>(10 + c);
    }
    return table;
}

// What ends or splits an authority ("user@host:port").
enum : char { kAuthPlain = 0, kAuthEnd, kAuthAt, kAuthColon, kAuthBracket };

constexpr std::array<char, 256> makeAuthorityTable() {
    std::array<char, 256> table{};
    table['/'] = table['?'] = table['#'] = kAuthEnd;
    table['@'] = kAuthAt;
    table[':'] = kAuthColon;
    table[']'] = kAuthBracket;
    return table;
}

constexpr std::array<char, 256> kComponent = makeComponentTable();
constexpr std::array<char, 256> kHost = makeHostTable();
constexpr std::array<char, 256> kSimpleHost = makeSimpleHostTable();
constexpr std::array<signed char, 256> kHexValue = makeHexTable();
constexpr std::array<char, 256> kAuthority = makeAuthorityTable();

unsigned char byteAt(std::string_view text, std::size_t i) {
    return static_cast<unsigned char>(text[i]);
}

// The value of the escape at text[i] ("%XX"), or -1 when there is none.
int escapeAt(std::string_view text, std::size_t i) {
    if (i + 2 >= text.size())
        return -1;
    const signed char high = kHexValue[byteAt(text, i + 1)];
    const signed char low = kHexValue[byteAt(text, i + 2)];
    if (high < 0 || low < 0)
        return -1;
    return static_cast<unsigned char>(high) * 16 + static_cast<unsigned char>(low);
}

char* putEscape(char* w, unsigned value) {
    w[0] = '%';
    w[1] = kHex[value >> 4];
    w[2] = kHex[value & 15];
    return w + 3;
}

bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string_view trimmed(std::string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && isSpace(text[first]))
        ++first;
    while (last > first && isSpace(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool equalsLower(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (asciiLower(text[i]) != lower[i])
            return false;
    return true;
}

// The key is written through a pointer into a string sized ahead: three
// bytes for each byte of the URL and a few more cover every part but an
// international host name, which makes room for itself.
class KeyWriter {
public:
    KeyWriter(std::string& out, std::size_t inputSize) : m_out(out) {
        m_out.resize(inputSize * 3 + 16);
        w = m_out.data();
    }
    ~KeyWriter() { m_out.resize(static_cast<std::size_t>(w - m_out.data())); }
    KeyWriter(const KeyWriter&) = delete;
    KeyWriter& operator=(const KeyWriter&) = delete;

    void grow(std::size_t more) {
        const std::size_t at = static_cast<std::size_t>(w - m_out.data());
        m_out.resize(m_out.size() + more);
        w = m_out.data() + at;
    }
    void append(std::string_view text) {
        std::memcpy(w, text.data(), text.size());
        w += text.size();
    }

    // A path, query, fragment or user part: bytes a URL cannot hold as they
    // are escaped, escapes of unreserved characters decoded, the others in
    // upper case.
    void component(std::string_view text) {
        const std::size_t n = text.size();
        for (std::size_t i = 0; i < n; ++i) {
            const unsigned char c = byteAt(text, i);
            if (const char kept = kComponent[c]) {
                *w++ = kept;
                continue;
            }
            const int value = c == '%' ? escapeAt(text, i) : -1;
            if (value < 0) {
                w = putEscape(w, c);
            } else {
                if (isUnreservedChar(value))
                    *w++ = static_cast<char>(value);
                else
                    w = putEscape(w, static_cast<unsigned>(value));
                i += 2;
            }
        }
    }

    // A decoded host name's bytes, each as kHost says.
    void hostBytes(std::string_view text) {
        for (const char c : text) {
            const char kept = kHost[static_cast<unsigned char>(c)];
            if (kept)
                *w++ = kept;
            else
                w = putEscape(w, static_cast<unsigned char>(c));
        }
    }

    char* w = nullptr;

private:
    std::string& m_out;
};

// The host in lower case; an international name in its ASCII form (the
// mapping folds its case too). A name IDNA refuses is kept in lower case.
void writeHost(std::string_view raw, KeyWriter& key) {
    if (!raw.empty() && raw.front() == '[') {
        // An IPv6 literal: its case, and its escapes as in a path.
        for (std::size_t i = 0; i < raw.size(); ++i) {
            const unsigned char c = byteAt(raw, i);
            if (kComponent[c]) {
                *key.w++ = asciiLower(static_cast<char>(c));
                continue;
            }
            const int value = c == '%' ? escapeAt(raw, i) : -1;
            key.w = putEscape(key.w, value < 0 ? c : static_cast<unsigned>(value));
            i += value < 0 ? 0 : 2;
        }
        return;
    }
    char* const start = key.w;
    for (const char c : raw) {
        const char kept = kHost[static_cast<unsigned char>(c)];
        if (!kept)
            break;
        *key.w++ = kept;
    }
    if (key.w == start + raw.size())
        return;
    // Escapes, or bytes beyond ASCII: decoded first.
    key.w = start;
    std::string host;
    host.reserve(raw.size());
    bool ascii = true;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const int value = raw[i] == '%' ? escapeAt(raw, i) : -1;
        const char c = value < 0 ? raw[i] : static_cast<char>(value);
        i += value < 0 ? 0 : 2;
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
        host += c;
    }
    if (!ascii && host.find('\0') == std::string::npos) {
        for (const int flags :
             {IDN2_NFC_INPUT | IDN2_NONTRANSITIONAL, IDN2_NFC_INPUT | IDN2_TRANSITIONAL}) {
            char* ace = nullptr;
            if (idn2_to_ascii_8z(host.c_str(), &ace, flags) == IDN2_OK && ace) {
                const std::string_view name(ace);
                key.grow(name.size() * 3);
                key.hostBytes(name);
                idn2_free(ace);
                return;
            }
            idn2_free(ace);
        }
    }
    key.hostBytes(host);
}

// "user@host:port/path?query#fragment", what follows "scheme://".
void writeHierarchical(std::string_view scheme, std::string_view rest, UrlFragment fragment,
                       KeyWriter& key) {
    // One pass over the authority finds its end, its last "@" and the
    // ":" before the port (outside an IPv6 literal's brackets).
    std::size_t end = 0;
    std::size_t at = std::string_view::npos;
    std::size_t colon = std::string_view::npos;
    bool inBrackets = !rest.empty() && rest[0] == '[';
    for (; end < rest.size(); ++end) {
        const char kind = kAuthority[byteAt(rest, end)];
        if (kind == kAuthPlain)
            continue;
        if (kind == kAuthEnd)
            break;
        if (kind == kAuthAt) {
            at = end;
            colon = std::string_view::npos;
            inBrackets = end + 1 < rest.size() && rest[end + 1] == '[';
        } else if (kind == kAuthColon) {
            if (colon == std::string_view::npos && !inBrackets)
                colon = end;
        } else {
            inBrackets = false;
        }
    }
    const std::size_t hostStart = at == std::string_view::npos ? 0 : at + 1;
    if (at != std::string_view::npos) {
        key.component(rest.substr(0, at));
        *key.w++ = '@';
    }
    const std::size_t hostEnd = colon == std::string_view::npos ? end : colon;
    const std::string_view host = rest.substr(hostStart, hostEnd - hostStart);
    const bool localFile = scheme == "file" && equalsLower(host, "localhost");
    if (!localFile)
        writeHost(host, key);

    if (colon != std::string_view::npos) {
        std::string_view port = rest.substr(colon + 1, end - colon - 1);
        bool digits = true;
        for (const char c : port)
            digits = digits && c >= '0' && c <= '9';
        if (digits) {
            while (!port.empty() && port.front() == '0')
                port.remove_prefix(1);
            const bool defaultPort =
                (scheme == "http" && port == "80") || (scheme == "https" && port == "443");
            if (!port.empty() && !defaultPort) {
                *key.w++ = ':';
                key.append(port);
            }
        } else {
            *key.w++ = ':';
            key.component(port);
        }
    }

    std::string_view tail = rest.substr(end);
    const std::size_t hash = tail.find('#');
    const std::string_view fragmentPart =
        hash == std::string_view::npos ? std::string_view() : tail.substr(hash);
    tail = tail.substr(0, hash);
    if (tail.empty() || tail.front() == '?')
        *key.w++ = '/';
    key.component(tail);
    if (fragmentPart.size() > 1 && fragment == UrlFragment::Compare)
        key.component(fragmentPart);
}

#if defined(__SSE2__)
__m128i bytes(char c) {
    return _mm_set1_epi8(c);
}

// Bit i set when byte i is a letter, a digit, "-" or "." (bytes above 0x7f
// compare as negative and fail every range).
unsigned simpleHostMask(__m128i v) {
    const __m128i folded = _mm_or_si128(v, bytes(0x20));
    const __m128i letter = _mm_and_si128(_mm_cmpgt_epi8(folded, bytes('a' - 1)),
                                         _mm_cmplt_epi8(folded, bytes('z' + 1)));
    const __m128i digit =
        _mm_and_si128(_mm_cmpgt_epi8(v, bytes('0' - 1)), _mm_cmplt_epi8(v, bytes('9' + 1)));
    const __m128i mark = _mm_or_si128(_mm_cmpeq_epi8(v, bytes('-')), _mm_cmpeq_epi8(v, bytes('.')));
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(letter, digit), mark)));
}

__m128i lowerCase(__m128i v) {
    const __m128i upper =
        _mm_and_si128(_mm_cmpgt_epi8(v, bytes('A' - 1)), _mm_cmplt_epi8(v, bytes('Z' + 1)));
    return _mm_add_epi8(v, _mm_and_si128(upper, bytes(0x20)));
}

// Bit i set when byte i stands as it is in a path or query (kComponent), and
// is not the "#" that ends them: printable ASCII but for "\"#%<>\\^`{|}".
unsigned plainMask(__m128i v) {
    const auto in = [v](char low, char high) {
        return _mm_and_si128(_mm_cmpgt_epi8(v, bytes(static_cast<char>(low - 1))),
                             _mm_cmplt_epi8(v, bytes(static_cast<char>(high + 1))));
    };
    const auto is = [v](char c) { return _mm_cmpeq_epi8(v, bytes(c)); };
    const __m128i odd = _mm_or_si128(
        _mm_or_si128(_mm_or_si128(in('"', '#'), in('{', '}')), _mm_or_si128(is('%'), is('<'))),
        _mm_or_si128(_mm_or_si128(is('>'), is('\\')), _mm_or_si128(is('^'), is('`'))));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_andnot_si128(odd, in('!', '~'))));
}

// Copies the text from i in whole blocks of sixteen bytes, each as `copied`
// gives it, up to the first byte `accepted` refuses; i and w move past what
// was copied. The key has room for a whole block wherever it stands.
template <typename Copied, typename Accepted>
void copyBlocks(std::string_view text, std::size_t& i, char*& w, Copied copied, Accepted accepted) {
    while (i + 16 <= text.size()) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(w), copied(block));
        const unsigned mask = accepted(block);
        if (mask != 0xFFFF) {
            const auto run = static_cast<std::size_t>(__builtin_ctz(~mask));
            i += run;
            w += run;
            return;
        }
        i += 16;
        w += 16;
    }
}
#endif

// The common case in one pass: "http://" or "https://", a host of letters,
// digits, "-" and ".", a port of digits, then whatever path. False, with
// nothing written, for anything else: the general reading below takes it.
bool writeSimpleHttp(std::string_view text, UrlFragment fragment, KeyWriter& key) {
    const std::size_t n = text.size();
    if (n < 8 || (text[0] | 0x20) != 'h' || (text[1] | 0x20) != 't' || (text[2] | 0x20) != 't' ||
        (text[3] | 0x20) != 'p')
        return false;
    const bool secure = (text[4] | 0x20) == 's';
    std::size_t i = secure ? 5 : 4;
    if (i + 3 > n || text[i] != ':' || text[i + 1] != '/' || text[i + 2] != '/')
        return false;
    i += 3;
    char* const start = key.w;
    std::memcpy(key.w, secure ? "https://" : "http://\0", 8);
    key.w += secure ? 8 : 7;
    const std::size_t hostStart = i;
    char* w = key.w;
#if defined(__SSE2__)
    // Sixteen bytes at a time while a whole block can be read.
    copyBlocks(text, i, w, lowerCase, simpleHostMask);
#endif
    for (; i < n; ++i) {
        const char kept = kSimpleHost[byteAt(text, i)];
        if (!kept)
            break;
        *w++ = kept;
    }
    if (i == hostStart) {
        key.w = start;
        return false;
    }
    if (i < n && text[i] == ':') {
        const std::size_t portStart = ++i;
        while (i < n && text[i] >= '0' && text[i] <= '9')
            ++i;
        std::string_view port = text.substr(portStart, i - portStart);
        while (!port.empty() && port.front() == '0')
            port.remove_prefix(1);
        if (!port.empty() && port != (secure ? std::string_view("443") : std::string_view("80"))) {
            *w++ = ':';
            std::memcpy(w, port.data(), port.size());
            w += port.size();
        }
    }
    if (i < n && text[i] != '/' && text[i] != '?' && text[i] != '#') {
        key.w = start;
        return false;
    }
    if (i == n || text[i] == '?' || text[i] == '#')
        *w++ = '/';
#if defined(__SSE2__)
    // The path and query as they stand up to the first byte that is not:
    // whole blocks, then the last sixteen bytes of the text for the rest.
    copyBlocks(
        text, i, w, [](__m128i block) { return block; }, plainMask);
    if (i < n && n >= 16 && i + 16 > n) {
        const __m128i last =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + n - 16));
        const unsigned mask = plainMask(last) >> (i + 16 - n);
        const auto run = static_cast<std::size_t>(__builtin_ctz(~mask));
        std::memcpy(w, text.data() + i, run);
        i += run;
        w += run;
    }
#endif
    std::string_view tail = text.substr(i);
    if (!tail.empty() && tail.find_first_of("\t\n\r") != std::string_view::npos) {
        key.w = start; // dropped before anything is read, as below
        return false;
    }
    key.w = w;
    const std::size_t hash = tail.find('#');
    const std::string_view fragmentPart =
        hash == std::string_view::npos ? std::string_view() : tail.substr(hash);
    key.component(tail.substr(0, hash));
    if (fragmentPart.size() > 1 && fragment == UrlFragment::Compare)
        key.component(fragmentPart);
    return true;
}

// The scheme's length when text starts with one and its ":", else 0.
std::size_t schemeLength(std::string_view text) {
    if (text.empty() || asciiLower(text[0]) < 'a' || asciiLower(text[0]) > 'z')
        return 0;
    std::size_t i = 1;
    while (i < text.size()) {
        const char c = text[i];
        const bool schemeChar = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                                (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!schemeChar)
            break;
        ++i;
    }
    return i < text.size() && text[i] == ':' ? i : 0;
}

} // namespace

void urlComparisonKey(std::string_view url, UrlFragment fragment, std::string& out) {
    std::string_view text = url;
    if (!text.empty() && (isSpace(text.front()) || isSpace(text.back()) || text.back() == '#')) {
        text = trimmed(text);
        while (!text.empty() && text.back() == '#')
            text = trimmed(text.substr(0, text.size() - 1));
    }
    KeyWriter key(out, text.size());
    if (writeSimpleHttp(text, fragment, key))
        return;
    // Tabs and line breaks inside a URL are no part of it, as browsers
    // read one (and QUrl, so that the checker's key reads as the same
    // address again).
    std::string without;
    if (text.find_first_of("\t\n\r") != std::string_view::npos) {
        without.reserve(text.size());
        for (const char c : text)
            if (c != '\t' && c != '\n' && c != '\r')
                without += c;
        text = without;
    }
    const std::size_t length = schemeLength(text);
    if (length == 0) {
        // Not an address: compared as it stands.
        key.append(fragment == UrlFragment::Ignore ? trimmed(text.substr(0, text.find('#')))
                                                   : text);
        return;
    }
    char* const scheme = key.w;
    for (std::size_t i = 0; i < length; ++i)
        scheme[i] = asciiLower(text[i]);
    key.w += length;
    *key.w++ = ':';
    const std::string_view name(scheme, length);
    const std::string_view rest = text.substr(length + 1);
    if (rest.size() >= 2 && rest[0] == '/' && rest[1] == '/') {
        key.append("//");
        // The scheme is read from the key, which an international host may
        // move: a copy of the few bytes that matter.
        char copy[8] = {};
        std::memcpy(copy, name.data(), std::min<std::size_t>(length, sizeof copy - 1));
        writeHierarchical(length < sizeof copy ? std::string_view(copy, length) : "",
                          rest.substr(2), fragment, key);
        return;
    }
    // mailto:, javascript:, opaque forms.
    const std::size_t hash = rest.find('#');
    key.component(rest.substr(0, hash));
    if (hash != std::string_view::npos && hash + 1 < rest.size() &&
        fragment == UrlFragment::Compare)
        key.component(rest.substr(hash));
}

std::string urlComparisonKey(std::string_view url, UrlFragment fragment) {
    std::string key;
    urlComparisonKey(url, fragment, key);
    return key;
}
