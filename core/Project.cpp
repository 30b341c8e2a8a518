#include "core/Project.h"

#include "core/FileError.h"
#include "core/ProjectFile.h"

#include <algorithm>

namespace {

const LinkGroup kNoGroup;
const std::vector<LinkId> kNoIds;

// Rows ascending, each once, below `count`.
void tidyRows(std::vector<std::size_t>& rows, std::size_t count) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::lower_bound(rows.begin(), rows.end(), count), rows.end());
}

} // namespace

Project::Project() {
    resetGroups();
}

template <typename T> bool Project::change(T& field, T value) {
    if (field == value)
        return false;
    field = std::move(value);
    m_modified = true;
    return true;
}

template <typename F> void Project::notify(F&& tell) {
    // An observer may stop observing while it is told.
    const std::vector<ProjectObserver*> observers = m_observers;
    for (ProjectObserver* o : observers)
        if (std::find(m_observers.begin(), m_observers.end(), o) != m_observers.end())
            tell(*o);
}

void Project::pageChange(bool changed) {
    if (changed)
        notify([](ProjectObserver& o) { o.pageChanged(); });
}

void Project::addObserver(ProjectObserver* observer) {
    if (std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void Project::removeObserver(ProjectObserver* observer) {
    std::erase(m_observers, observer);
}

void Project::setTitle(std::string title) {
    pageChange(change(m_title, std::move(title)));
}
void Project::setSubtitle(std::string subtitle) {
    pageChange(change(m_subtitle, std::move(subtitle)));
}
void Project::setTitleFace(std::string face) {
    pageChange(change(m_titleFace, std::move(face)));
}
void Project::setTitleStyle(std::int32_t style) {
    pageChange(change(m_titleStyle, style));
}
void Project::setTopImage(std::string path) {
    pageChange(change(m_topImage, std::move(path)));
}
void Project::setTitleColor(RgbColor color) {
    pageChange(change(m_titleColor, color));
}
void Project::setColumns(std::int32_t columns) {
    pageChange(change(m_columns, columns));
}
void Project::setBorders(std::int32_t borders) {
    pageChange(change(m_borders, borders));
}
void Project::setBackgroundColor(RgbColor color) {
    pageChange(change(m_backgroundColor, color));
}
void Project::setLinkColor(RgbColor color) {
    pageChange(change(m_linkColor, color));
}
void Project::setVisitedLinkColor(RgbColor color) {
    pageChange(change(m_visitedLinkColor, color));
}

PageSettings Project::pageSettings() const {
    PageSettings p;
    p.title = m_title;
    p.subtitle = m_subtitle;
    p.titleFace = m_titleFace;
    p.titleStyle = m_titleStyle;
    p.topImage = m_topImage;
    p.titleColor = m_titleColor;
    p.columns = m_columns;
    p.borders = m_borders;
    p.backgroundColor = m_backgroundColor;
    p.linkColor = m_linkColor;
    p.visitedLinkColor = m_visitedLinkColor;
    p.style = m_extras.pageStyle;
    return p;
}

void Project::setPageSettings(const PageSettings& p) {
    bool changed = change(m_title, p.title);
    changed = change(m_subtitle, p.subtitle) || changed;
    changed = change(m_titleFace, p.titleFace) || changed;
    changed = change(m_titleStyle, p.titleStyle) || changed;
    changed = change(m_topImage, p.topImage) || changed;
    changed = change(m_titleColor, p.titleColor) || changed;
    changed = change(m_columns, p.columns) || changed;
    changed = change(m_borders, p.borders) || changed;
    changed = change(m_backgroundColor, p.backgroundColor) || changed;
    changed = change(m_linkColor, p.linkColor) || changed;
    changed = change(m_visitedLinkColor, p.visitedLinkColor) || changed;
    changed = change(m_extras.pageStyle, p.style) || changed;
    pageChange(changed);
}

void Project::setPageStyle(PageStyle style) {
    pageChange(change(m_extras.pageStyle, std::move(style)));
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
    bool changed = change(g.title, heading.title);
    changed = change(g.bullet, heading.bullet) || changed;
    changed = change(g.face, heading.face) || changed;
    changed = change(g.style, heading.style) || changed;
    changed = change(g.textColor, heading.textColor) || changed;
    if (changed)
        notify([group](ProjectObserver& o) { o.headingChanged(group); });
}

std::vector<Link> Project::links(int group) const {
    return this->group(group).links.toVector();
}

void Project::setLinks(int group, const std::vector<Link>& links) {
    setLinkList(group, LinkList(links));
}

void Project::setLinkList(int group, LinkList links) {
    if (!hasGroup(group))
        return;
    const size_t g = static_cast<size_t>(group);
    const LinkList& old = m_groups[g].links;
    if (old == links)
        return;
    // The rows that keep their place and texts keep their identities.
    std::vector<LinkId> ids = std::move(idList(g));
    size_t same = 0;
    while (same < old.size() && same < links.size() && old.view(same).url == links.view(same).url &&
           old.view(same).description == links.view(same).description)
        ++same;
    ids.resize(same);
    for (size_t i = same; i < links.size(); ++i)
        ids.push_back(newLinkId());
    m_ids[g] = std::move(ids);
    change(m_groups[g].links, std::move(links));
    notify([group](ProjectObserver& o) { o.groupReset(group); });
}

void Project::addLink(int group, std::string_view description, std::string_view url) {
    if (!hasGroup(group))
        return;
    const size_t g = static_cast<size_t>(group);
    std::vector<LinkId>& list = idList(g);
    m_groups[g].links.emplace_back(description, url);
    list.push_back(newLinkId());
    m_modified = true;
    const std::vector<size_t> rows{list.size() - 1};
    notify([&](ProjectObserver& o) { o.linksInserted(group, rows); });
}

void Project::clearLinks(int group) {
    for (int g = 0; g < groupCount(); ++g) {
        if ((group < 0 || g == group) && !m_groups[static_cast<size_t>(g)].links.empty()) {
            m_groups[static_cast<size_t>(g)].links.clear();
            m_ids[static_cast<size_t>(g)].clear();
            notify([g](ProjectObserver& o) { o.groupReset(g); });
        }
    }
}

const std::vector<LinkId>& Project::linkIds(int group) const {
    return hasGroup(group) ? idList(static_cast<size_t>(group)) : kNoIds;
}

bool Project::findLink(LinkId id, int& group, std::size_t& row) const {
    for (size_t g = 0; g < m_ids.size(); ++g) {
        const auto& ids = idList(g);
        const auto at = std::find(ids.begin(), ids.end(), id);
        if (at != ids.end()) {
            group = static_cast<int>(g);
            row = static_cast<size_t>(at - ids.begin());
            return true;
        }
    }
    return false;
}

LinkRows Project::takeLinks(int group, std::vector<std::size_t> rows) {
    LinkRows taken;
    if (!hasGroup(group))
        return taken;
    const size_t g = static_cast<size_t>(group);
    std::vector<LinkId>& list = idList(g);
    tidyRows(rows, list.size());
    if (rows.empty())
        return taken;
    taken.links = m_groups[g].links.erase(rows);
    std::vector<LinkId> kept;
    kept.reserve(list.size() - rows.size());
    auto next = rows.begin();
    for (size_t r = 0; r < list.size(); ++r) {
        if (next != rows.end() && *next == r) {
            taken.ids.push_back(list[r]);
            ++next;
        } else {
            kept.push_back(list[r]);
        }
    }
    list = std::move(kept);
    taken.rows = std::move(rows);
    m_modified = true;
    notify([&](ProjectObserver& o) { o.linksRemoved(group, taken.rows); });
    return taken;
}

void Project::putLinks(int group, const LinkRows& rows) {
    if (!hasGroup(group) || rows.empty())
        return;
    const size_t g = static_cast<size_t>(group);
    std::vector<LinkId>& list = idList(g);
    m_groups[g].links.insert(rows.rows, rows.links);
    std::vector<LinkId> ids;
    const size_t total = list.size() + rows.size();
    ids.reserve(total);
    size_t from = 0;
    size_t i = 0;
    for (size_t r = 0; r < total; ++r) {
        if (i < rows.size() && rows.rows[i] == r)
            ids.push_back(rows.ids[i++]);
        else if (from < list.size())
            ids.push_back(list[from++]);
    }
    for (; i < rows.size(); ++i)
        ids.push_back(rows.ids[i]);
    list = std::move(ids);
    m_modified = true;
    std::vector<size_t> at = rows.rows;
    // Rows asked beyond the end stand at the end.
    for (size_t k = 0; k < at.size(); ++k)
        at[k] = std::min(at[k], total - at.size() + k);
    notify([&](ProjectObserver& o) { o.linksInserted(group, at); });
}

LinkRows Project::replaceLinks(int group, const LinkRows& rows) {
    LinkRows old;
    if (!hasGroup(group) || rows.empty())
        return old;
    const size_t g = static_cast<size_t>(group);
    const std::vector<LinkId>& list = idList(g);
    if (rows.rows.back() >= list.size())
        return old;
    old.rows = rows.rows;
    old.links = m_groups[g].links.replace(rows.rows, rows.links);
    for (size_t r : rows.rows)
        old.ids.push_back(list[r]);
    m_modified = true;
    notify([&](ProjectObserver& o) { o.linksChanged(group, rows.rows); });
    return old;
}

void Project::restoreGroup(int group, const LinkGroup& content, const std::vector<LinkId>& ids) {
    if (!hasGroup(group) || ids.size() != content.links.size())
        return;
    const size_t g = static_cast<size_t>(group);
    const bool linksChanged = idList(g) != ids || !(m_groups[g].links == content.links);
    setGroupHeading(group, content);
    if (!linksChanged)
        return;
    m_groups[g].links = content.links;
    m_ids[g] = ids;
    m_modified = true;
    notify([group](ProjectObserver& o) { o.groupReset(group); });
}

void Project::renumber(int group) {
    const size_t g = static_cast<size_t>(group);
    std::vector<LinkId>().swap(m_ids[g]);
    m_idBase[g] = m_nextId;
    m_nextId += m_groups[g].links.size();
}

std::vector<LinkId>& Project::idList(size_t g) const {
    std::vector<LinkId>& list = m_ids[g];
    const size_t count = m_groups[g].links.size();
    if (list.size() != count) {
        list.resize(count);
        for (size_t r = 0; r < count; ++r)
            list[r] = m_idBase[g] + r;
    }
    return list;
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
    m_extras = {};
}

void Project::resetGroups() {
    std::vector<LinkGroup>().swap(m_groups);
    m_groups.resize(kGroupCount);
    std::vector<std::vector<LinkId>>().swap(m_ids);
    m_ids.resize(kGroupCount);
    m_idBase.assign(kGroupCount, 0);
}

void Project::resetToNew() {
    m_filePath.clear();
    m_modified = false;
    setPageDefaults();
    resetGroups();
    notify([](ProjectObserver& o) { o.projectReset(); });
}

LoadResult Project::load(const std::string& path) {
    ProjectFileHandle file;
    m_error = openProjectFile(path, file);
    if (!m_error.ok())
        return {LoadStatus::NotOpened, fileErrorText(m_error)};

    resetGroups();
    m_extras = {};
    bool extrasDropped = false;
    m_error = readProjectFile(file, path, *this, systemCalls(), &extrasDropped);
    // What was dropped is gone from the next save: the project differs
    // from its file.
    m_modified = !m_error.ok() || extrasDropped;
    for (int g = 0; g < groupCount(); ++g)
        renumber(g);
    notify([](ProjectObserver& o) { o.projectReset(); });
    if (!m_error.ok())
        return {LoadStatus::Damaged, fileErrorText(m_error)};
    LoadResult result;
    result.extrasDropped = extrasDropped;
    return result;
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
    if (change(m_groups[static_cast<size_t>(group)].title, std::move(title)))
        notify([group](ProjectObserver& o) { o.headingChanged(group); });
}
