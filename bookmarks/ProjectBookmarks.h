#pragma once

#include "bookmarks/GroupLinks.h"
#include "bookmarks/ImportPlan.h"
#include "core/FileError.h"

#include <string>
#include <vector>

class Project;

// Between bookmarks and the project; both keep their text in UTF-8.

// The project's groups as the import plan sees them: titles and URLs.
std::vector<ExistingGroup> existingGroups(const Project& project);

// Carries out the plan on the project as one change: replaced groups lose
// their links, the imported ones are appended, untitled groups take their
// new titles. The project is marked modified when anything changed; nothing
// is written to disk. Returns whether anything changed.
bool applyImportPlan(const ImportPlan& plan, Project& project);

// The project's groups as the export writes them.
std::vector<GroupContent> exportGroups(const Project& project);

enum class BookmarkFileKind { Html, Xbel };

// The export format for an output name: XBEL for ".xbel" (any case),
// bookmark HTML otherwise.
BookmarkFileKind bookmarkFileKindForName(const std::string& path);

// The project's groups as a bookmark file of the given kind.
std::string exportBookmarkBytes(const Project& project, BookmarkFileKind kind);

// Writes that file at path atomically; the result names the path on failure.
FileResult writeBookmarkExport(const Project& project, const std::string& path,
                               BookmarkFileKind kind);
