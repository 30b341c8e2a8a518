#pragma once

#include <iosfwd>
#include <string>

// The command-line verbs, run without a display. Each returns the exit
// status: 0 success, 1 failure, with a message on err naming the file and
// what is wrong; on failure the project file is left as it was.

// linkfold --import-bookmarks SOURCE PROJECT [--group N]: reads SOURCE (any
// format readBookmarkFile knows), maps its folders as the import dialog does
// by default, or everything into group `group` (1..10) when it is not 0, and
// saves the project atomically; a missing project is created.
int runImportBookmarks(const std::string& source, const std::string& project, int group,
                       std::ostream& err);

// linkfold --export-bookmarks PROJECT OUT: writes the project's groups as
// XBEL when OUT ends in ".xbel", as bookmark HTML otherwise.
int runExportBookmarks(const std::string& project, const std::string& out, std::ostream& err);

// The name the links outside any folder are imported under.
inline constexpr const char* kLooseBookmarksName = "Bookmarks";
