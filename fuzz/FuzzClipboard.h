#pragma once

#include "core/ModernPage.h"
#include "core/PageWriter.h"
#include "core/Project.h"
#include "core/UrlLines.h"
#include "fuzz/PageSafety.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

// One fuzz input as text another program put on the clipboard, pasted into
// a group: whatever it holds, neither page may show an element, attribute
// or link its template does not write. Linkfold's own lines, read back as
// project text, must give the same number of links.
inline void fuzzOneClipboardText(const std::uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<Link> links = parseOutsideUrlLines(bytes);
    if (links.size() > parseUrlLines(bytes).size())
        std::abort();
    Project project;
    project.setLinks(0, links);
    if (!pagesafety::unsafeMarkup(renderPage(project)).empty())
        std::abort();
    if (!pagesafety::unsafeModernMarkup(renderModernPage(project)).empty())
        std::abort();
}
