#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

// Project text is UTF-8 and may hold any Unicode character. The project
// file keeps Windows-1252 bytes where they suffice (and UTF-16 otherwise),
// the page is written in Windows-1252; these convert at those edges. Every
// decoder here turns bytes that are not valid UTF-8 and unpaired surrogates
// into U+FFFD, never into a failure.

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// True when every byte is below 0x80: such text reads the same in UTF-8 and
// in Windows-1252, so the converters below pass it through unchanged.
// Inline: the file and page writers ask it for every string.
inline bool isAscii(std::string_view text) {
    const char* p = text.data();
    size_t n = text.size();
    // A set top bit in any byte means non-ASCII: test 32 bytes at a time,
    // then 8, then the rest.
    constexpr std::uint64_t kTopBits = 0x8080808080808080ULL;
    for (; n >= 32; p += 32, n -= 32) {
        std::uint64_t w[4];
        std::memcpy(w, p, 32);
        if ((w[0] | w[1] | w[2] | w[3]) & kTopBits)
            return false;
    }
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        if (word & kTopBits)
            return false;
    }
    for (; n > 0; ++p, --n)
        if (static_cast<unsigned char>(*p) >= 0x80)
            return false;
    return true;
}

// Unicode code point of one Windows-1252 byte (undefined bytes map to
// themselves, as C1 controls).
char32_t cp1252ToCodePoint(unsigned char byte);
// The Windows-1252 byte of a code point, or -1 when it has none.
int cp1252ByteOf(char32_t cp);

// The code point of the UTF-8 sequence at text[pos], advancing pos past it.
// Invalid, overlong or cut-off sequences yield U+FFFD and advance one byte.
// pos must be below text.size().
char32_t nextCodePoint(std::string_view text, size_t& pos);
void appendUtf8(std::string& out, char32_t cp);

// True when text is well-formed UTF-8.
bool isValidUtf8(std::string_view text);

std::string cp1252ToUtf8(std::string_view bytes);
// The Windows-1252 bytes of utf8 in out; false (out unspecified) when some
// character has no Windows-1252 byte.
bool utf8ToCp1252(std::string_view utf8, std::string& out);

std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);
