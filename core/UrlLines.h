#pragma once

#include "core/Link.h"

#include <string>
#include <string_view>
#include <vector>

// Links travel through the clipboard as plain text, one "URL line" per
// link: the URL, a tab, the description and a line feed. All text here is
// UTF-8, as the clipboard's plain text is on this platform.
//
// The same lines come from two kinds of source. Linkfold's own Copy offers
// them in a private clipboard format as well, whose descriptions are the
// project's HTML (parseUrlLines keeps them). Plain text from any other
// program is outside text (parseOutsideUrlLines): its descriptions are
// plain text, escaped once, and its URLs are checked like every outside URL,
// so nothing pasted can add markup to a page.

// True when the line, after leading white space, begins with "http://",
// "https://", "file://" or "mailto:" (letter case ignored).
bool isUrlLine(std::string_view line);

// Reads URL lines from the start of text. Blank lines and white space before
// a line are passed over; the first line that is not a URL line ends the
// parse and the rest of the text is ignored. A last line without a line feed
// is read as well, and a carriage return ending a line is dropped.
//
// Gives one link per URL line, in order: the text before the first tab is
// the URL and the text after it the description (later tabs stay in the
// description); a line without a tab is all URL and gets the description
// untitledDescription(URL), escaped as plain text. Letter case is kept.
// Empty when the text does not begin with a URL line. For Linkfold's own
// lines: descriptions are taken as project HTML.
std::vector<Link> parseUrlLines(std::string_view text);

// The same lines read as text from another program: each description is
// plain text made into a project text (plainTextToHtml), each URL passes
// checkedOutsideUrl (spaces, quotes, '<' and '>' percent-encoded); a line
// whose URL is refused there is left out.
std::vector<Link> parseOutsideUrlLines(std::string_view text);

// True when parseUrlLines would give at least one link: the first line that
// is not blank is a URL line. Allocates nothing.
bool startsWithUrlLine(std::string_view text);

// The clipboard text for links, in the order given (the caller passes the
// selected rows top to bottom): URL, tab, description and "\n" for each,
// with no carriage returns.
std::string formatUrlLines(const std::vector<Link>& links);
