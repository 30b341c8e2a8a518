// Linkfold: the command line decides between the headless verbs (page
// generator, bookmark import and export, link check, duplicate list) and
// the editor. The headless verbs never create a GUI application object.
#include "bookmarks/BookmarkCommands.h"
#include "bookmarks/PrivateDatabaseCopy.h"
#include "core/CommandLineOptions.h"
#include "core/HeadlessGenerate.h"
#include "linkcheck/ProjectLinks.h"
#include "pageicons/BrowserIcons.h"

#include <iostream>
#include <string>
#include <vector>

#ifdef LINKFOLD_GUI
#include "app/GuiMain.h"
#endif

int main(int argc, char** argv) {
    PrivateDatabaseCopy::removeLeftoverCopies();
    std::vector<std::string> args(argv + 1, argv + argc);
    const CommandLineOptions info = parseCommandLine(args);
    switch (info.m_command) {
    case CommandLineOptions::Generate:
        return runHeadlessGenerate(info.m_fileName, info.m_pageName, std::cerr, info.m_pageLook,
                                   [](const Project& doc) { return browserPageIcons(doc); });
    case CommandLineOptions::ImportBookmarks:
        return runImportBookmarks(info.m_bookmarkFile, info.m_fileName, info.m_group, std::cerr);
    case CommandLineOptions::ExportBookmarks:
        return runExportBookmarks(info.m_fileName, info.m_bookmarkFile, std::cerr);
    case CommandLineOptions::CheckLinks:
    case CommandLineOptions::FindDuplicates:
        return runProjectLinkCommand(info, argc, argv, std::cout, std::cerr);
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
#ifdef LINKFOLD_GUI
    return runGui(argc, argv, info);
#else
    std::cerr << "This build has no editor; use --generate.\n";
    return 2;
#endif
}
