#pragma once

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
bool isAscii(std::string_view text);

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
