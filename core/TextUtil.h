#pragma once

#include <string_view>

// Small text helpers shared by the INI and link-file readers.

// s without leading and trailing spaces, tabs, CRs and LFs.
std::string_view trimSpace(std::string_view s);

// Equal when compared without regard to ASCII letter case.
bool equalNoCase(std::string_view a, std::string_view b);
