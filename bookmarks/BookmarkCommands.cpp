#include "bookmarks/BookmarkCommands.h"

#include "bookmarks/BookmarkReader.h"
#include "bookmarks/FirefoxPlacesReader.h"
#include "bookmarks/ImportPlan.h"
#include "bookmarks/ProjectBookmarks.h"
#include "core/HeadlessGenerate.h"
#include "core/OutsideText.h"
#include "core/Project.h"
#include "core/ProjectFile.h"

#include <memory>
#include <new>
#include <ostream>
#include <utility>

namespace {

// A file message that names the file: some project messages do not.
void reportFileError(std::ostream& err, const FileResult& result, const std::string& path) {
    const std::string text = fileErrorText(result);
    if (text.find(path) == std::string::npos)
        err << path << ": ";
    err << text << '\n';
}

// Opens the project at path into project; a missing file leaves a new one.
bool loadOrCreate(Project& project, const std::string& path, std::ostream& err) {
    if (project.load(path).ok())
        return true;
    if (project.lastError().cause == FileErrorCause::FileNotFound) {
        project.resetToNew();
        return true;
    }
    reportFileError(err, project.lastError(), path);
    return false;
}

} // namespace

int runImportBookmarks(const std::string& source, const std::string& project, int group,
                       std::ostream& err) {
    const std::string sourcePath = makeAbsolutePath(stripQuotes(source));
    const std::string projectPath = makeAbsolutePath(stripQuotes(project));
    if (group < 0 || group > kGroupCount) {
        err << "The group must be a number from 1 to " << kGroupCount << ".\n";
        return kImportUsage;
    }
    if (isSameFile(sourcePath, projectPath)) {
        err << sourcePath << ": the bookmarks source is the project itself.\n";
        return kImportFailed;
    }
    try {
        // A places.sqlite is read in two steps: its folders, then the links
        // of those imported only. Any other source is read whole, and its
        // tree goes once its rows are made.
        std::unique_ptr<PlacesImport> places;
        std::vector<ImportFolder> rows;
        SkippedNames queries;
        if (isDatabaseFile(sourcePath)) {
            places = std::make_unique<PlacesImport>();
            if (!places->open(sourcePath, kLooseBookmarksName)) {
                err << places->error() << '\n';
                return kImportFailed;
            }
        } else {
            const BookmarkReadResult read = readBookmarkFile(sourcePath);
            if (!read.ok()) {
                err << read.error << '\n';
                return kImportFailed;
            }
            rows = importFolders(read.tree, kLooseBookmarksName);
            queries = read.tree.queries();
        }
        std::vector<ImportFolder>& folders = places ? places->folders() : rows;
        Project doc;
        if (!loadOrCreate(doc, projectPath, err))
            return kImportFailed;

        const std::vector<ExistingGroup> groups = existingGroups(doc);
        std::vector<FolderChoice> choices;
        if (group > 0) {
            // Every top row into the one group, the folders inside with it.
            for (const ImportFolder& folder : folders)
                choices.push_back({folder.parent < 0, group - 1});
        } else {
            // A folder goes back to the group that holds its links from an
            // earlier import.
            std::vector<int> held;
            if (!places) {
                held = heldGroups(folders, groups);
            } else if (!places->heldGroups(groups, held)) {
                err << places->error() << '\n';
                return kImportFailed;
            }
            choices = defaultChoices(folders, groups, held);
        }
        if (places) {
            if (!places->readLinks(importedRows(folders, choices, groups))) {
                err << places->error() << '\n';
                return kImportFailed;
            }
            // The database and its cache go before the plan is made.
            rows = std::move(folders);
            queries = places->queries();
            places.reset();
        }
        // The links move into the plan.
        ImportPlan plan =
            planImport(std::move(rows), choices, std::vector<ImportMode>(groups.size()), groups);
        plan.queries = std::move(queries);
        rows = {};
        // Whatever did not arrive is named: nothing is printed only when
        // every link went in.
        if (!plan.complete() || plan.duplicates > 0) {
            err << sourcePath << ": " << plan.summary(false)
                << (plan.noGroupLinks > 0 ? "; use --group N" : "") << ".\n";
        }
        applyImportPlan(plan, doc);
        const FileResult saved = saveProjectFile(doc, projectPath);
        if (!saved.ok()) {
            reportFileError(err, saved, projectPath);
            return kImportFailed;
        }
        return plan.complete() ? kImportComplete : kImportPartial;
    } catch (const std::bad_alloc&) {
        err << sourcePath << ": not enough memory to import it.\n";
        return kImportFailed;
    }
}

int runExportBookmarks(const std::string& project, const std::string& out, std::ostream& err) {
    const std::string projectPath = makeAbsolutePath(stripQuotes(project));
    const std::string outPath = makeAbsolutePath(stripQuotes(out));
    Project doc;
    if (!doc.load(projectPath).ok()) {
        reportFileError(err, doc.lastError(), projectPath);
        return 1;
    }
    if (isSameFile(projectPath, outPath)) {
        err << outPath << " is the project itself; the bookmarks were not written over it.\n";
        return 1;
    }
    const FileResult written = writeBookmarkExport(doc, outPath, bookmarkFileKindForName(outPath));
    if (!written.ok()) {
        reportFileError(err, written, outPath);
        return 1;
    }
    return 0;
}
