// Linkfold: the command line decides between the headless verbs (page
// generator, bookmark import and export, link check, duplicate list) and
// the editor. The headless verbs never create a GUI application object.
//
// The installed program keeps Qt out of its start-up: the verbs that need
// no Qt run from here with the window-free libraries alone, and the editor,
// the link check and the modern page's icons come from the editor library,
// loaded only when asked for (LINKFOLD_EDITOR_LIBRARY). Built without it,
// the same main() links the link check and the icons directly and has no
// editor.
#include "bookmarks/BookmarkCommands.h"
#include "bookmarks/PrivateDatabaseCopy.h"
#include "core/CommandLineOptions.h"
#include "core/DuplicateLinks.h"
#include "core/HeadlessGenerate.h"
#include "core/Project.h"

#include <iostream>
#include <string>
#include <vector>

#ifdef LINKFOLD_EDITOR_LIBRARY
#include "app/EditorLibrary.h"
#else
#include "linkcheck/ProjectLinks.h"
#include "pageicons/BrowserIcons.h"
#endif

namespace {

// --duplicates needs no Qt: the project and the report are window-free.
int runDuplicates(const CommandLineOptions& info) {
    Project project;
    const LoadResult loaded = project.load(makeAbsolutePath(stripQuotes(info.m_fileName)));
    if (!loaded.ok()) {
        std::cerr << loaded.error << '\n';
        return 1;
    }
    return writeDuplicateReport(project, std::cout, std::cerr);
}

#ifdef LINKFOLD_EDITOR_LIBRARY

int runLinkCommand(const CommandLineOptions&, int argc, char** argv) {
    const EditorLibraryEntry* editor = loadEditorLibrary(std::cerr);
    return editor ? editor->runLinkCommand(argc, argv) : 1;
}

PageIcons pageIcons(const Project& doc) {
    PageIcons icons;
    if (const EditorLibraryEntry* editor = loadEditorLibrary(std::cerr))
        editor->pageIcons(doc, icons);
    return icons;
}

int runEditor(const CommandLineOptions& info, int argc, char** argv) {
    if (info.m_command == CommandLineOptions::DdeRequest)
        return 0; // nothing to do, and nothing is touched
    const EditorLibraryEntry* editor = loadEditorLibrary(std::cerr);
    return editor ? editor->runEditor(argc, argv) : 1;
}

#else

int runLinkCommand(const CommandLineOptions& info, int argc, char** argv) {
    return runProjectLinkCommand(info, argc, argv, std::cout, std::cerr);
}

PageIcons pageIcons(const Project& doc) {
    return browserPageIcons(doc);
}

int runEditor(const CommandLineOptions&, int, char**) {
    std::cerr << "This build has no editor; use --generate.\n";
    return 2;
}

#endif

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const CommandLineOptions info = parseCommandLine(args);
    // Private copies of browser databases left by a run that was killed.
    if (info.m_command != CommandLineOptions::ShowVersion &&
        info.m_command != CommandLineOptions::ShowHelp)
        PrivateDatabaseCopy::removeLeftoverCopies();
    switch (info.m_command) {
    case CommandLineOptions::Generate:
        return runHeadlessGenerate(info.m_fileName, info.m_pageName, std::cerr, info.m_pageLook,
                                   pageIcons);
    case CommandLineOptions::ImportBookmarks:
        return runImportBookmarks(info.m_bookmarkFile, info.m_fileName, info.m_group, std::cerr);
    case CommandLineOptions::ExportBookmarks:
        return runExportBookmarks(info.m_fileName, info.m_bookmarkFile, std::cerr);
    case CommandLineOptions::CheckLinks:
        return runLinkCommand(info, argc, argv);
    case CommandLineOptions::FindDuplicates:
        return runDuplicates(info);
    case CommandLineOptions::ShowHelp:
        std::cout << commandLineUsage();
        return 0;
    case CommandLineOptions::ShowVersion:
        std::cout << versionText();
        return 0;
    case CommandLineOptions::Invalid:
        std::cerr << info.m_error << '\n' << commandLineUsage();
        return 2;
    default:
        break;
    }
    return runEditor(info, argc, argv);
}
