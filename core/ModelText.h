#pragma once

#include <string>
#include <string_view>

// The project keeps its texts as Windows-1252 bytes. Code speaking UTF-8
// (the link check, the duplicate search) converts link text here and nowhere
// else.
std::string modelTextToUtf8(std::string_view text);
// A character Windows-1252 cannot hold becomes '?'.
std::string utf8ToModelText(std::string_view utf8);
