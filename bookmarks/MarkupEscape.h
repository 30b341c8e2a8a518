#pragma once

#include <cstdint>
#include <string>

// Text for HTML or XML output: &, <, > (and " in attribute values) as
// references, bytes that are not UTF-8 replaced by U+FFFD and control
// characters that XML does not allow dropped, so the output always parses.
std::string escapeMarkup(const std::string& text, bool attribute);

// "2024-03-01T12:00:00Z" for seconds since 1970.
std::string isoDate(std::int64_t seconds);
