#pragma once

#include <iosfwd>
#include <string>

// The command-line verbs, run without a display. Each returns the exit
// status, with a message on err naming the file and what is wrong; on
// failure the project file is left as it was.

// The exit statuses of --import-bookmarks.
inline constexpr int kImportComplete = 0; // every link imported or skipped as a duplicate
inline constexpr int kImportFailed = 1;   // a file could not be read or written
inline constexpr int kImportUsage = 2;    // the command line is wrong
inline constexpr int kImportPartial = 3;  // saved, but some links were left out

// linkfold --import-bookmarks SOURCE PROJECT [--group N]: reads SOURCE (any
// format readBookmarkFile knows), maps its folders as the import dialog does
// by default, or everything into group `group` (1..10) when it is not 0, and
// saves the project atomically; a missing project is created. A folder
// goes to the group holding its links from an earlier import, so that the
// same source imported twice adds nothing. When links are left out (no
// group left, URLs that may not go on the page, saved queries), the project
// is still saved with what fitted, the summary on err names what was left
// out, and the status is kImportPartial; skipped duplicates are named too,
// with the status kImportComplete.
int runImportBookmarks(const std::string& source, const std::string& project, int group,
                       std::ostream& err);

// linkfold --export-bookmarks PROJECT OUT: writes the project's groups as
// XBEL when OUT ends in ".xbel", as bookmark HTML for ".html" or ".htm" (the
// command line refuses any other name). Returns 0, or 1 when a file could not
// be read or written.
int runExportBookmarks(const std::string& project, const std::string& out, std::ostream& err);

// The name the links outside any folder are imported under.
inline constexpr const char* kLooseBookmarksName = "Bookmarks";
