#pragma once

#include <string>
#include <string_view>

// The model keeps text as Windows-1252 bytes; the GUI and the wide form of
// the project file speak Unicode. A character Windows-1252 cannot represent
// becomes '?'.

// Unicode code point of one Windows-1252 byte (undefined bytes map to
// themselves, as C1 controls).
char32_t cp1252ToCodePoint(unsigned char byte);
// Windows-1252 byte for a code point, or '?' when there is none.
char codePointToCp1252(char32_t cp);

std::string cp1252ToUtf8(std::string_view bytes);
std::string utf8ToCp1252(std::string_view utf8);
std::u16string cp1252ToUtf16(std::string_view bytes);
std::string utf16ToCp1252(std::u16string_view utf16);
