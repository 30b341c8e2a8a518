#pragma once

#include <string>
#include <string_view>

// The project keeps its texts as Windows-1252 bytes. Everything that hands
// link text to code speaking UTF-8 (the link check, the duplicate search)
// converts it here and nowhere else.
std::string modelTextToUtf8(std::string_view text);
