#include "bookmarks/BookmarkCommands.h"

#include "bookmarks/BookmarkReader.h"
#include "bookmarks/ImportPlan.h"
#include "bookmarks/ProjectBookmarks.h"
#include "core/HeadlessGenerate.h"
#include "core/OutsideText.h"
#include "core/Project.h"
#include "core/ProjectFile.h"

#include <ostream>

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
        return 1;
    }
    if (isSameFile(sourcePath, projectPath)) {
        err << sourcePath << ": the bookmarks source is the project itself.\n";
        return 1;
    }
    const BookmarkReadResult read = readBookmarkFile(sourcePath);
    if (!read.ok()) {
        err << read.error << '\n';
        return 1;
    }
    Project doc;
    if (!loadOrCreate(doc, projectPath, err))
        return 1;

    const std::vector<ImportFolder> folders = importFolders(read.tree, kLooseBookmarksName);
    const std::vector<ExistingGroup> groups = existingGroups(doc);
    std::vector<int> mapping;
    if (group > 0)
        mapping.assign(folders.size(), group - 1);
    else
        mapping = defaultMapping(folders, std::vector<bool>(folders.size(), true), groups);
    const ImportPlan plan =
        planImport(folders, mapping, std::vector<ImportMode>(groups.size()), groups);

    size_t left = 0;
    for (size_t f = 0; f < folders.size(); ++f)
        if (mapping[f] < 0)
            left += folders[f].links.size();
    if (left > 0) {
        err << sourcePath << ": " << left
            << " links not imported: no empty group was left for their folders (use --group N).\n";
    }
    if (plan.refusedLinks > 0)
        err << sourcePath << ": " << skippedLinksText(plan.refusedLinks) << ".\n";
    applyImportPlan(plan, doc);
    const FileResult saved = saveProjectFile(doc, projectPath);
    if (!saved.ok()) {
        reportFileError(err, saved, projectPath);
        return 1;
    }
    return 0;
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
