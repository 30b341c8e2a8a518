#pragma once

#include <string_view>

// Small text helpers shared by the readers of outside text.

// s without leading and trailing white space of any kind (space, tab, CR, LF,
// form feed, vertical tab).
std::string_view trimWhiteSpace(std::string_view s);

// Equal when compared without regard to ASCII letter case.
bool equalNoCase(std::string_view a, std::string_view b);
