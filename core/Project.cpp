#include "core/Project.h"

#include "core/FileError.h"
#include "core/ProjectFile.h"

Project::Project() {
    resetGroups();
}

void Project::setPageDefaults() {
    m_title.clear();
    m_subtitle.clear();
    m_titleFace = "Arial";
    m_titleStyle = 0;
    m_topImage.clear();
    m_titleColor = 0;
    m_columns = 2;
    m_borders = 1;
    m_backgroundColor = 0x00FFFFFF;
    m_linkColor = 0;
    m_visitedLinkColor = 0x00800000;
}

bool Project::resetToNew() {
    m_filePath.clear();
    m_modified = false;
    setPageDefaults();
    resetGroups();
    return true;
}

bool Project::load(const std::string& path) {
    m_error = {};
    ProjectFileHandle file;
    m_error = openProjectFile(path, file);
    if (!m_error.ok())
        return false;

    if (m_form)
        m_form->resetForOpen();
    resetGroups();
    setModified(true);

    m_error = readProjectFile(file, path, *this);
    if (!m_error.ok())
        return false;
    setModified(false);
    return true;
}

bool Project::save(const std::string& path) {
    m_error = {};
    if (m_form)
        m_form->commitEdits();
    m_error = saveProjectFile(*this, path);
    if (!m_error.ok())
        return false;
    setModified(false);
    return true;
}

void Project::addLink(int group, std::string description, std::string url) {
    if (group < 0 || static_cast<size_t>(group) >= m_groups.size())
        return;
    m_groups[static_cast<size_t>(group)].m_links.emplace_back(std::move(description),
                                                              std::move(url));
}

void Project::replaceLinksFromList(int group, const LinkRowSource& list) {
    clearLinks(group);
    if (group < 0 || static_cast<size_t>(group) >= m_groups.size())
        return;
    auto& links = m_groups[static_cast<size_t>(group)].m_links;
    links.reserve(static_cast<size_t>(std::max(0, list.sourceRowCount())));
    for (int r = 0; r < list.sourceRowCount(); ++r)
        links.emplace_back(list.sourceCellText(r, 0), list.sourceCellText(r, 1));
}

void Project::clearLinks(int group) {
    if (group < 0) {
        for (auto& g : m_groups)
            std::vector<Link>().swap(g.m_links);
    } else if (static_cast<size_t>(group) < m_groups.size()) {
        std::vector<Link>().swap(m_groups[static_cast<size_t>(group)].m_links);
    }
}

void Project::deleteAllGroups() {
    std::vector<LinkGroup>().swap(m_groups);
}

void Project::resetGroups() {
    clearLinks(-1);
    deleteAllGroups();
    m_groups.resize(kGroupCount);
}
