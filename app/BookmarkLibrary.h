#pragma once

#include <iosfwd>

// The verbs built on the bookmark readers and writers and on the URL key
// (libxml2 with ICU, SQLite, libplist) are a library of their own, loaded
// only when one of them is asked for, so that --version, --help and
// --generate start without those libraries (app/PrivateLibrary.h).
struct BookmarkLibraryEntry {
    const char* version; // the LINKFOLD_VERSION it was built as
    // --import-bookmarks, --export-bookmarks and --duplicates
    // (app/BookmarkVerbs.h), for the command line (argv as main() received
    // it), printing on the standard streams.
    int (*runVerb)(int argc, char** argv);
};

// The library's one exported symbol: the address of its BookmarkLibraryEntry.
extern "C" const void* linkfoldBookmarkEntry();
inline constexpr const char* kBookmarkEntrySymbol = "linkfoldBookmarkEntry";
inline constexpr const char* kBookmarkLibraryName = "linkfold-bookmarks.so";

// Loads the library once and returns its entry points; on failure says why
// on err and returns nullptr.
const BookmarkLibraryEntry* loadBookmarkLibrary(std::ostream& err);
