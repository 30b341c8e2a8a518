#include "bookmarks/ProjectBookmarks.h"

#include "bookmarks/ExportTree.h"
#include "bookmarks/NetscapeBookmarkWriter.h"
#include "bookmarks/XbelWriter.h"
#include "core/AtomicFileWriter.h"
#include "core/Codepage.h"
#include "core/Project.h"

#include <algorithm>
#include <cctype>

std::string projectTextFromUtf8(const std::string& utf8) {
    return utf8ToCp1252(utf8);
}

std::string utf8FromProjectText(const std::string& text) {
    return cp1252ToUtf8(text);
}

std::vector<ExistingGroup> existingGroups(const Project& project) {
    std::vector<ExistingGroup> groups;
    groups.reserve(project.m_groups.size());
    for (const LinkGroup& group : project.m_groups) {
        ExistingGroup existing;
        existing.title = utf8FromProjectText(group.m_title);
        existing.urls.reserve(group.m_links.size());
        for (const Link& link : group.m_links)
            existing.urls.push_back(utf8FromProjectText(link.m_url));
        groups.push_back(std::move(existing));
    }
    return groups;
}

bool applyImportPlan(const ImportPlan& plan, Project& project) {
    bool changed = false;
    for (const GroupImport& change : plan.groups) {
        if (change.group < 0 || static_cast<size_t>(change.group) >= project.m_groups.size())
            continue;
        LinkGroup& group = project.m_groups[static_cast<size_t>(change.group)];
        if (change.mode == ImportMode::Replace && !group.m_links.empty()) {
            group.m_links.clear();
            changed = true;
        }
        group.m_links.reserve(group.m_links.size() + change.links.size());
        for (const GroupLink& link : change.links)
            group.m_links.emplace_back(projectTextFromUtf8(link.description),
                                       projectTextFromUtf8(link.url));
        changed = changed || !change.links.empty();
        if (!change.newTitle.empty()) {
            group.m_title = projectTextFromUtf8(change.newTitle);
            changed = true;
        }
    }
    if (changed)
        project.setModified(true);
    return changed;
}

std::vector<GroupContent> exportGroups(const Project& project) {
    std::vector<GroupContent> groups;
    groups.reserve(project.m_groups.size());
    for (const LinkGroup& group : project.m_groups) {
        GroupContent content;
        content.title = utf8FromProjectText(group.m_title);
        content.links.reserve(group.m_links.size());
        for (const Link& link : group.m_links)
            content.links.push_back(
                {utf8FromProjectText(link.m_description), utf8FromProjectText(link.m_url)});
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
