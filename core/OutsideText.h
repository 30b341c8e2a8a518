#pragma once

#include "core/Link.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The one boundary between the project's texts and text from elsewhere.
//
// Project texts (link descriptions, group titles, the page's title and
// subtitle) are HTML: the user's own markup is written into the page as it
// stands. Text from outside the program (bookmark titles and folder names,
// the title of a link dragged from a browser, a dropped file's name) is plain
// text: it is escaped once on the way in, so no outside source can add
// markup to the page, and a project text is turned back into plain text on
// the way out (bookmark export, windows that show descriptions as text).
// URLs from outside are checked on the way in.

// Plain text as a project text: &, < and > written as &amp;, &lt; and &gt;,
// nothing else changed.
std::string plainTextToHtml(std::string_view text);

// A dropped link file's name as a description: < and > escaped so that no
// file name adds markup, & kept as it stands (a name such as "Q&amp;A.url"
// reads as the user wrote it).
std::string fileNameToHtml(std::string_view name);

// A project text as plain text: tags dropped, character references decoded
// (libxml2 parses it as an HTML fragment), white space at both ends removed.
// plainTextToHtml(htmlToPlainText(plainTextToHtml(t))) == plainTextToHtml(t)
// for trimmed t.
std::string htmlToPlainText(std::string_view html);

// True when the URL, after leading white space, names a scheme a link on the
// page may have: http, https, file, mailto or ftp (letter case ignored).
bool hasAllowedLinkScheme(std::string_view url);

// A URL from outside as the project keeps it: white space and control
// characters at both ends removed, and inside, spaces, control characters,
// '"', '<' and '>' percent-encoded (a browser encodes them the same way when
// it follows the link). Empty when the scheme is not one of
// hasAllowedLinkScheme's: script (javascript:, vbscript:), data: and every
// other kind is refused, as are relative URLs.
std::optional<std::string> checkedOutsideUrl(std::string_view url);

// A link named by an outside source, or nothing when its URL is refused. The
// title is plain text; an empty one gives the description untitledDescription
// of the checked URL, escaped like any outside text.
std::optional<Link> outsideLink(std::string_view title, std::string_view url);

// The same, for a dropped link file: its name follows fileNameToHtml.
std::optional<Link> linkFileLink(std::string_view fileName, std::string_view url);

// "3 script or data links skipped" (singular for one).
std::string skippedLinksText(size_t count);
