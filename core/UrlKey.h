#pragma once

#include <string>
#include <string_view>

// The form of a URL used to tell whether two links lead to the same place:
// scheme and host in lower case, the scheme's default port (80 for http, 443
// for https) removed, an empty path and "/" alike, a trailing "/" ignored, an
// empty fragment (a "#" at the end) ignored. The URL is split with libxml2's
// URI parser; text it cannot split is compared as it is, less a trailing "#"
// and surrounding whitespace.
std::string urlComparisonKey(std::string_view url);
