#pragma once

#include <iosfwd>

// The parts of the program that need large libraries are libraries of their
// own, loaded only when a command needs them, so that a command that needs
// none of them starts as a small tool does:
//   linkfold-editor.so     the editor, the link check and the modern page's
//                          icons: Qt, libcurl (app/EditorLibrary.h)
//   linkfold-bookmarks.so  bookmark import and export and the duplicate
//                          list: libxml2 with ICU, SQLite, libplist
//                          (app/BookmarkLibrary.h)
// Each exports one function, extern "C" const void* NAME(), that returns the
// address of a table of its entry points; the table is a plain struct whose
// first member is the LINKFOLD_VERSION the library was built as.
//
// The program carries its own copy of the C++ runtime; the libraries use the
// shared one. So only plain data may cross between them (the command line,
// the project, strings and containers): no stream, no locale, and no
// exception may leave an entry point.

// The folder the private libraries are installed in, relative to the
// program's own folder.
#ifdef LINKFOLD_PRIVATE_LIBRARY_DIR
inline constexpr const char* kPrivateLibraryInstalledDir = LINKFOLD_PRIVATE_LIBRARY_DIR;
#endif

// Finds fileName beside the program (the build tree), then in the private
// folder of the installed package, loads it and returns the table its
// entrySymbol gives. On failure says on err that `what` cannot be loaded,
// and why, and returns nullptr.
const void* loadPrivateLibrary(const char* fileName, const char* entrySymbol, const char* what,
                               std::ostream& err);
