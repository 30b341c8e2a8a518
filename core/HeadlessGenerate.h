#pragma once

#include "core/ModernPage.h"
#include "core/PageStyle.h"
#include "core/SystemCalls.h"

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

// linkfold --generate PROJECT PAGE: loads the project as open does and writes
// its start page, with no display. A name in double quotes is taken without
// them, as the editor's open does. A page that is the project file itself
// (the same file once links are followed) is refused and nothing is written.
// Returns the exit status: 0 success, 1 the project or the page could not be
// read or written; on failure the message the editor would show goes to err.
// look, when given, replaces the project's page look for this run; icons,
// when given, is asked for the modern page's icons.
using PageIconSource = std::function<PageIcons(const Project&)>;
int runHeadlessGenerate(const std::string& project, const std::string& page, std::ostream& err,
                        std::optional<PageLook> look = std::nullopt,
                        const PageIconSource& icons = {});

// The path made absolute against the current directory, with "." and ".."
// folded away; symbolic links are left as they are.
std::string makeAbsolutePath(const std::string& path);

// The name without a leading and a trailing double quote.
std::string stripQuotes(const std::string& name);

// Whether both paths name one existing file (same device and inode, links
// followed).
bool isSameFile(const std::string& a, const std::string& b, SystemCalls& ops = systemCalls());
