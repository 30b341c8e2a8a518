#include "bookmarks/ProjectBookmarks.h"

#include "bookmarks/ExportTree.h"
#include "bookmarks/NetscapeBookmarkWriter.h"
#include "bookmarks/XbelWriter.h"
#include "core/AtomicFileWriter.h"
#include "core/Codepage.h"
#include "core/Project.h"

#include <algorithm>
#include <cctype>

std::vector<ExistingGroup> existingGroups(const Project& project) {
    std::vector<ExistingGroup> groups;
    groups.reserve(project.groups().size());
    for (const LinkGroup& group : project.groups()) {
        ExistingGroup existing;
        existing.title = group.title;
        existing.urls.reserve(group.links.size());
        for (const LinkView link : group.links)
            existing.urls.emplace_back(link.url);
        groups.push_back(std::move(existing));
    }
    return groups;
}

bool applyImportPlan(const ImportPlan& plan, Project& project) {
    bool changed = false;
    for (const GroupImport& change : plan.groups) {
        if (change.group < 0 || change.group >= project.groupCount())
            continue;
        const bool replace = change.mode == ImportMode::Replace;
        if (!change.links.empty() || (replace && !project.linkList(change.group).empty())) {
            LinkList links = replace ? LinkList() : project.linkList(change.group);
            for (const GroupLink& link : change.links)
                links.emplace_back(link.description, link.url);
            project.setLinkList(change.group, std::move(links));
            changed = true;
        }
        if (!change.newTitle.empty()) {
            project.setGroupTitle(change.group, change.newTitle);
            changed = true;
        }
    }
    if (changed)
        project.setModified(true);
    return changed;
}

std::vector<GroupContent> exportGroups(const Project& project) {
    std::vector<GroupContent> groups;
    groups.reserve(project.groups().size());
    for (const LinkGroup& group : project.groups()) {
        GroupContent content;
        content.title = group.title;
        content.links.reserve(group.links.size());
        for (const LinkView link : group.links)
            content.links.push_back({std::string(link.description), std::string(link.url)});
        groups.push_back(std::move(content));
    }
    return groups;
}

BookmarkFileKind bookmarkFileKindForName(const std::string& path) {
    const std::string suffix = ".xbel";
    if (path.size() < suffix.size())
        return BookmarkFileKind::Html;
    std::string tail = path.substr(path.size() - suffix.size());
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return tail == suffix ? BookmarkFileKind::Xbel : BookmarkFileKind::Html;
}

std::string exportBookmarkBytes(const Project& project, BookmarkFileKind kind) {
    const BookmarkTree tree = exportTree(exportGroups(project));
    return kind == BookmarkFileKind::Xbel ? writeXbel(tree) : writeNetscapeBookmarks(tree);
}

FileResult writeBookmarkExport(const Project& project, const std::string& path,
                               BookmarkFileKind kind) {
    const std::string bytes = exportBookmarkBytes(project, kind);
    AtomicFileWriter writer;
    if (!writer.open(path) || !writer.write(bytes.data(), bytes.size()) || !writer.commit())
        return writer.error();
    return FileResult::success();
}
