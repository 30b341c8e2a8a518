#include "core/Project.h"

#include "core/FileError.h"
#include "core/ProjectFile.h"

namespace {

const LinkGroup kNoGroup;

} // namespace

Project::Project() {
    resetGroups();
}

template <typename T> void Project::change(T& field, T value) {
    if (field == value)
        return;
    field = std::move(value);
    m_modified = true;
}

void Project::setTitle(std::string title) {
    change(m_title, std::move(title));
}
void Project::setSubtitle(std::string subtitle) {
    change(m_subtitle, std::move(subtitle));
}
void Project::setTitleFace(std::string face) {
    change(m_titleFace, std::move(face));
}
void Project::setTitleStyle(std::int32_t style) {
    change(m_titleStyle, style);
}
void Project::setTopImage(std::string path) {
    change(m_topImage, std::move(path));
}
void Project::setTitleColor(RgbColor color) {
    change(m_titleColor, color);
}
void Project::setColumns(std::int32_t columns) {
    change(m_columns, columns);
}
void Project::setBorders(std::int32_t borders) {
    change(m_borders, borders);
}
void Project::setBackgroundColor(RgbColor color) {
    change(m_backgroundColor, color);
}
void Project::setLinkColor(RgbColor color) {
    change(m_linkColor, color);
}
void Project::setVisitedLinkColor(RgbColor color) {
    change(m_visitedLinkColor, color);
}

const LinkGroup& Project::group(int group) const {
    if (group < 0 || group >= groupCount())
        return kNoGroup;
    return m_groups[static_cast<size_t>(group)];
}

void Project::setGroupHeading(int group, const LinkGroup& heading) {
    if (group < 0 || group >= groupCount())
        return;
    LinkGroup& g = m_groups[static_cast<size_t>(group)];
    change(g.m_title, heading.m_title);
    change(g.m_bullet, heading.m_bullet);
    change(g.m_face, heading.m_face);
    change(g.m_style, heading.m_style);
    change(g.m_textColor, heading.m_textColor);
}

std::vector<Link> Project::links(int group) const {
    return this->group(group).m_links.toVector();
}

void Project::setLinks(int group, const std::vector<Link>& links) {
    setLinkList(group, LinkList(links));
}

void Project::setLinkList(int group, LinkList links) {
    if (group < 0 || group >= groupCount())
        return;
    change(m_groups[static_cast<size_t>(group)].m_links, std::move(links));
}

void Project::addLink(int group, std::string description, std::string url) {
    if (group < 0 || group >= groupCount())
        return;
    m_groups[static_cast<size_t>(group)].m_links.emplace_back(description, url);
    m_modified = true;
}

void Project::clearLinks(int group) {
    if (group < 0) {
        for (auto& g : m_groups)
            g.m_links.clear();
    } else if (group < groupCount()) {
        m_groups[static_cast<size_t>(group)].m_links.clear();
    }
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

void Project::resetGroups() {
    std::vector<LinkGroup>().swap(m_groups);
    m_groups.resize(kGroupCount);
}

void Project::resetToNew() {
    m_filePath.clear();
    m_modified = false;
    setPageDefaults();
    resetGroups();
}

LoadResult Project::load(const std::string& path) {
    ProjectFileHandle file;
    m_error = openProjectFile(path, file);
    if (!m_error.ok())
        return {LoadStatus::NotOpened, fileErrorText(m_error)};

    resetGroups();
    m_error = readProjectFile(file, path, *this);
    m_modified = !m_error.ok();
    if (!m_error.ok())
        return {LoadStatus::Damaged, fileErrorText(m_error)};
    return {};
}

bool Project::save(const std::string& path) {
    m_error = saveProjectFile(*this, path);
    if (!m_error.ok())
        return false;
    setModified(false);
    return true;
}

void Project::setGroupTitle(int group, std::string title) {
    if (group < 0 || group >= groupCount())
        return;
    change(m_groups[static_cast<size_t>(group)].m_title, std::move(title));
}
