#pragma once

#include <string>
#include <string_view>

// The user's markup for the modern page, kept inside the element it is
// written in. A project text (a description, a group title, the page's
// title) is HTML; a typo in one (an unclosed <i>, a stray "<b") must not
// change the rest of the page.

// Where a fragment stands: inside a link, or in a heading or a block of
// its own. Elements that would end the page's own element in a browser (a
// link inside a link, a list item, a heading inside a heading) are written
// as <span> there.
enum class FragmentPlace { Link, Heading, Block };

// Appends html (well-formed UTF-8) to out balanced: parsed with libxml2's
// HTML parser, every element closed, text and attribute values escaped,
// comments dropped, and elements that act on the whole page rather than
// the text (base, meta, link, title, head content) left out. What the user
// wrote still renders: <b>, <i>, <span style>, <img>, entities. Text
// without '<' is appended as it stands, as the classic page writes it.
// When libxml2 cannot be loaded, markup is appended as escaped text.
void appendBalancedHtml(std::string& out, std::string_view html, FragmentPlace place);

// The text of the fragment without its markup, escaped for an element's
// text (the page's <title>).
std::string fragmentTextEscaped(std::string_view html);
