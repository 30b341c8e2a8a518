#pragma once

#include "core/ModernPage.h"

#include <iosfwd>

class Project;

// The part of the program that needs Qt (the editor, the link check and the
// modern page's icons) is a library of its own, loaded only when one of
// them is asked for, so that the headless verbs start without Qt
// (app/PrivateLibrary.h). The library hands the program this table of its
// entry points.
struct EditorLibraryEntry {
    const char* version; // the LINKFOLD_VERSION it was built as
    // The editor for the command line (argv as main() received it).
    int (*runEditor)(int argc, char** argv);
    // --check-links and its sibling verbs.
    int (*runLinkCommand)(int argc, char** argv);
    // The modern page's icons from the user's browsers.
    void (*pageIcons)(const Project& doc, PageIcons& icons);
};

// The library's one exported symbol: the address of its EditorLibraryEntry.
extern "C" const void* linkfoldEditorEntry();
inline constexpr const char* kEditorEntrySymbol = "linkfoldEditorEntry";
inline constexpr const char* kEditorLibraryName = "linkfold-editor.so";

// Loads the library once and returns its entry points; on failure says why
// on err and returns nullptr.
const EditorLibraryEntry* loadEditorLibrary(std::ostream& err);
