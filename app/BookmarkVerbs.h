#pragma once

#include "bookmarks/BookmarkCommands.h"
#include "bookmarks/PrivateDatabaseCopy.h"
#include "core/CommandLineOptions.h"
#include "core/DuplicateLinks.h"
#include "core/HeadlessGenerate.h"
#include "core/Project.h"

#include <ostream>

// --import-bookmarks, --export-bookmarks and --duplicates: the headless
// verbs that need the bookmark formats' libraries or the URL key. The
// installed program runs them from the bookmark library
// (app/BookmarkLibrary.h); a build without it, from main().
inline int runBookmarkVerb(const CommandLineOptions& info, std::ostream& out, std::ostream& err) {
    // Private copies of browser databases left by a run that was killed.
    PrivateDatabaseCopy::removeLeftoverCopies();
    switch (info.command) {
    case CommandLineOptions::ImportBookmarks:
        return runImportBookmarks(info.bookmarkFile, info.fileName, info.group, err);
    case CommandLineOptions::ExportBookmarks:
        return runExportBookmarks(info.fileName, info.bookmarkFile, err);
    case CommandLineOptions::FindDuplicates: {
        Project project;
        const LoadResult loaded = project.load(makeAbsolutePath(stripQuotes(info.fileName)));
        if (!loaded.ok()) {
            err << loaded.error << '\n';
            return 1;
        }
        return writeDuplicateReport(project, out, err);
    }
    default:
        return 2;
    }
}
