#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Text for HTML or XML output: &, <, > (and " in attribute values) as
// references, and bytes that are not UTF-8 or characters that XML does not
// allow replaced by U+FFFD, so the output always parses.
std::string escapeMarkup(std::string_view text, bool attribute);

// "2024-03-01T12:00:00Z" for seconds since 1970.
std::string isoDate(std::int64_t seconds);
