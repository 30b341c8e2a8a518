// Linkfold: the command line decides between the headless verbs (page
// generator, bookmark import and export, link check, duplicate list) and
// the editor. The headless verbs never create a GUI application object.
//
// The installed program keeps the large libraries out of its start-up
// (app/PrivateLibrary.h): --version, --help and --generate run from here
// with the C++ runtime alone; the bookmark verbs and the duplicate list come
// from the bookmark library (LINKFOLD_BOOKMARK_LIBRARY), and the editor, the
// link check and the modern page's icons from the editor library
// (LINKFOLD_EDITOR_LIBRARY), each loaded only when asked for. Built without
// them, the same main() links the bookmark verbs, the link check and the
// icons directly and has no editor.
//
// The commands that copy browser databases (the bookmark verbs, the link
// check, the editor) first remove the copies left by a run that was killed
// (PrivateDatabaseCopy::removeLeftoverCopies); the others need not.
#include "core/CommandLineOptions.h"
#include "core/HeadlessGenerate.h"
#include "core/Project.h"

#include <iostream>
#include <string>
#include <vector>

#ifdef LINKFOLD_BOOKMARK_LIBRARY
#include "app/BookmarkLibrary.h"
#else
#include "app/BookmarkVerbs.h"
#endif
#ifdef LINKFOLD_EDITOR_LIBRARY
#include "app/EditorLibrary.h"
#include "bookmarks/BrowserProfiles.h"

#include <cstdlib>
#include <filesystem>
#else
#include "bookmarks/PrivateDatabaseCopy.h"
#include "linkcheck/ProjectLinks.h"
#include "pageicons/BrowserIcons.h"
#endif

namespace {

#ifdef LINKFOLD_BOOKMARK_LIBRARY

int runBookmarkCommand(const CommandLineOptions&, int argc, char** argv) {
    const BookmarkLibraryEntry* bookmarks = loadBookmarkLibrary(std::cerr);
    return bookmarks ? bookmarks->runVerb(argc, argv) : 1;
}

#else

int runBookmarkCommand(const CommandLineOptions& info, int, char**) {
    return runBookmarkVerb(info, std::cout, std::cerr);
}

#endif

#ifdef LINKFOLD_EDITOR_LIBRARY

int runLinkCommand(const CommandLineOptions&, int argc, char** argv) {
    const EditorLibraryEntry* editor = loadEditorLibrary(std::cerr);
    return editor ? editor->runLinkCommand(argc, argv) : 1;
}

// Whether a browser profile of the user keeps icons: its favicon store
// beside its bookmarks, as findFaviconStores (bookmarks/FaviconStore.h)
// looks for it. Without one the editor library is not loaded for icons.
bool hasFaviconStore() {
    const char* home = std::getenv("HOME");
    if (!home || !*home)
        return false;
    std::error_code ec;
    for (const BrowserProfile& profile : findBrowserProfiles(home)) {
        const bool firefox = profile.format == BookmarkFormat::FirefoxPlaces;
        const auto store = std::filesystem::path(profile.bookmarkPath).parent_path() /
                           (firefox ? "favicons.sqlite" : "Favicons");
        if (std::filesystem::is_regular_file(store, ec))
            return true;
    }
    return false;
}

PageIcons pageIcons(const Project& doc) {
    PageIcons icons;
    if (!hasFaviconStore())
        return icons;
    if (const EditorLibraryEntry* editor = loadEditorLibrary(std::cerr))
        editor->pageIcons(doc, icons);
    return icons;
}

int runEditor(const CommandLineOptions& info, int argc, char** argv) {
    if (info.command == CommandLineOptions::DdeRequest)
        return 0; // nothing to do, and nothing is touched
    const EditorLibraryEntry* editor = loadEditorLibrary(std::cerr);
    return editor ? editor->runEditor(argc, argv) : 1;
}

#else

int runLinkCommand(const CommandLineOptions& info, int argc, char** argv) {
    PrivateDatabaseCopy::removeLeftoverCopies();
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
    switch (info.command) {
    case CommandLineOptions::Generate:
        return runHeadlessGenerate(info.fileName, info.pageName, std::cerr, info.pageLook,
                                   pageIcons);
    case CommandLineOptions::ImportBookmarks:
    case CommandLineOptions::ExportBookmarks:
    case CommandLineOptions::FindDuplicates:
        return runBookmarkCommand(info, argc, argv);
    case CommandLineOptions::CheckLinks:
        return runLinkCommand(info, argc, argv);
    case CommandLineOptions::ShowHelp:
        std::cout << commandLineUsage();
        return 0;
    case CommandLineOptions::ShowVersion:
        std::cout << versionText();
        return 0;
    case CommandLineOptions::Invalid:
        std::cerr << info.error << '\n' << commandLineUsage();
        return 2;
    default:
        break;
    }
    return runEditor(info, argc, argv);
}
