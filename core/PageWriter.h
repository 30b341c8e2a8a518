#pragma once

#include "core/AtomicFileWriter.h"
#include "core/LinkGroup.h"

#include <functional>
#include <string>
#include <string_view>

class Project;
struct ProjectFileHandle;

// "\"#RRGGBB\"", quotes included; the top byte of the colour is ignored.
std::string formatHtmlColor(RgbColor color);

struct StyleTags {
    const char* open;
    const char* close;
};
StyleTags styleTags(std::int32_t style);

// The src of an <img>: web addresses unchanged, rooted paths as file://
// URLs, relative paths with forward slashes.
std::string pathToUrl(std::string_view path);

// The column count the page is laid out with: the stored one kept within
// 1..800, so that every cell is at least one pixel wide.
int effectiveColumns(std::int32_t columns);

// The whole page as it is written to disk (CR LF line ends).
std::string renderPage(const Project& doc);

// Writes the page to path. When it could not be written completely the
// result says why and an earlier file at path is left as it was.
FileResult writeStartPage(const Project& doc, const std::string& path,
                          SystemCalls& ops = systemCalls());

// Writes the page of an opened project file while the file is read: each
// group's table is written as soon as the group is read, and the next group
// is read into the same memory, so a project of any size costs the memory of
// its largest group and its texts are never copied twice. header receives
// the page fields and the extension block. When keep(header), asked once
// the whole file is read, says no, the page is left as it was and success is
// returned. When the project cannot be read or the page cannot be written,
// the result says why and the page is left as it was too.
FileResult writeStartPageWhileReading(ProjectFileHandle& project, const std::string& projectPath,
                                      Project& header, const std::string& pagePath,
                                      const std::function<bool(const Project&)>& keep,
                                      SystemCalls& ops = systemCalls(),
                                      bool* extrasDropped = nullptr);
