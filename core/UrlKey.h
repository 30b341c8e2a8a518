#pragma once

#include <string>
#include <string_view>

// Whether the part after "#" takes part in a comparison: two links to one
// page that differ only in it are the same request to its server.
enum class UrlFragment { Compare, Ignore };

// The one rule for telling whether two links lead to the same place, used
// by the duplicates finder, the bookmark import and the link checker's
// "ask each address once". Two URLs are the same when their keys are equal:
// - scheme and host in lower case; an international host name in its ASCII
//   form, so its case does not matter either ("BÜCHER.de", "bücher.de" and
//   "xn--bcher-kva.de" alike);
// - the scheme's default port (80 for http, 443 for https) removed;
//   "file://localhost/" and "file:///" alike;
// - characters a URL cannot hold as they are (spaces, non-ASCII bytes, a
//   "%" that starts no escape) percent-encoded, escapes of letters, digits
//   and "-._~" decoded ("%61" is "a"), other escapes in upper case ("a b",
//   "a%20b" alike);
// - an empty path and "/" alike, a trailing "/" ignored ("file:///x/" and
//   "file:///x" alike); an empty fragment (a "#" at the end) ignored.
// The URL is split with libxml2's URI parser; text it cannot split is
// compared as it is, less surrounding whitespace and a trailing "#".
std::string urlComparisonKey(std::string_view url, UrlFragment fragment = UrlFragment::Compare);
