// The entry points of the editor library (see app/EditorLibrary.h).
#include "app/EditorLibrary.h"

#include "linkfold_version.h"

#include "app/GuiMain.h"
#include "bookmarks/PrivateDatabaseCopy.h"
#include "core/CommandLineOptions.h"
#include "linkcheck/ProjectLinks.h"
#include "pageicons/BrowserIcons.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

CommandLineOptions parseArguments(int argc, char** argv) {
    return parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
}

int runEditor(int argc, char** argv) {
    // Private copies of browser databases left by a run that was killed.
    PrivateDatabaseCopy::removeLeftoverCopies();
    return runGui(argc, argv, parseArguments(argc, argv));
}

int runLinkCommand(int argc, char** argv) {
    PrivateDatabaseCopy::removeLeftoverCopies();
    return runProjectLinkCommand(parseArguments(argc, argv), argc, argv, std::cout, std::cerr);
}

void pageIcons(const Project& doc, PageIcons& icons) {
    icons = browserPageIcons(doc);
}

constexpr EditorLibraryEntry kEntry{LINKFOLD_VERSION, runEditor, runLinkCommand, pageIcons};

} // namespace

extern "C" __attribute__((visibility("default"))) const void* linkfoldEditorEntry() {
    return &kEntry;
}
