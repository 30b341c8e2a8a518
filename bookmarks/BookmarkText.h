#pragma once

#include <string>

// Bookmark titles are plain text; link descriptions in a project are HTML.
//
// An imported title becomes a description with &, < and > written as
// &amp;, &lt; and &gt; and nothing else changed. An exported description
// becomes a title by dropping its tags and decoding its character
// references (libxml2 parses it as an HTML fragment), with whitespace at
// both ends removed. Import, export and import again gives the same
// description.
std::string titleToDescription(const std::string& title);
std::string descriptionToTitle(const std::string& description);
