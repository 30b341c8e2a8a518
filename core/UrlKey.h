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
// - the scheme's default port (80 for http, 443 for https) removed, and
//   leading zeros of a port; "file://localhost/" and "file:///" alike;
// - characters a URL cannot hold as they are (spaces, non-ASCII bytes, a
//   "%" that starts no escape) percent-encoded, escapes of letters, digits
//   and "-._~" decoded ("%61" is "a"), other escapes in upper case ("a b",
//   "a%20b" alike);
// - an empty path and "/" alike; but a trailing "/" on any other path makes
//   another address ("/x" and "/x/" may be two pages);
// - an empty fragment (a "#" at the end) ignored; the fragment is everything
//   after the first "#".
// Tabs and line breaks inside the text are dropped, as browsers do. Text
// without a scheme is compared as it is otherwise, less surrounding
// whitespace and a trailing "#". The key of a key is the key itself.
//
// The URL is read in one pass, without a parser library: a typical http(s)
// address costs a few hundred instructions and, with a reused buffer, no
// allocation.
std::string urlComparisonKey(std::string_view url, UrlFragment fragment = UrlFragment::Compare);

// The same key written into out (its old content replaced), so that a
// caller keying many URLs reuses one buffer.
void urlComparisonKey(std::string_view url, UrlFragment fragment, std::string& out);
