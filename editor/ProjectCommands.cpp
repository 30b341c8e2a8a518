#include "editor/ProjectCommands.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

std::size_t groupSize(const Project& project, int group) {
    return project.linkList(group).size();
}

// The rows' links and identities as the group holds them now. rows: ascending.
LinkRows rowsOf(const Project& project, int group, std::vector<std::size_t> rows) {
    LinkRows out;
    const LinkList& links = project.linkList(group);
    const std::vector<LinkId>& ids = project.linkIds(group);
    for (std::size_t r : rows) {
        const LinkView link = links.view(r);
        out.links.emplace_back(link.description, link.url);
        out.ids.push_back(ids[r]);
    }
    out.rows = std::move(rows);
    return out;
}

// Ascending, each once, within the group.
std::vector<std::size_t> tidy(std::vector<std::size_t> rows, std::size_t count) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::lower_bound(rows.begin(), rows.end(), count), rows.end());
    return rows;
}

std::size_t headingBytes(const LinkGroup& g) {
    return sizeof(LinkGroup) + g.title.size() + g.bullet.size() + g.face.size() +
           g.links.textSize() + g.links.size() * 8;
}

} // namespace

// --- ProjectCommand ------------------------------------------------------------

ProjectCommand::ProjectCommand(Project& project, const QString& text)
    : QUndoCommand(text), m_project(project) {}

void ProjectCommand::drop() {
    if (m_dropped)
        return;
    m_dropped = true;
    release();
}

// --- LinkEditCommand -----------------------------------------------------------

LinkEditCommand::LinkEditCommand(Project& project, const QString& text,
                                 std::vector<GroupEdit> edits)
    : ProjectCommand(project, text), m_edits(std::move(edits)) {}

void LinkEditCommand::redo() {
    for (const GroupEdit& e : m_edits) {
        m_project.takeLinks(e.group, e.removed.rows);
        m_project.putLinks(e.group, e.inserted);
        m_project.replaceLinks(e.group, e.after);
    }
}

void LinkEditCommand::undo() {
    for (auto e = m_edits.rbegin(); e != m_edits.rend(); ++e) {
        m_project.replaceLinks(e->group, e->before);
        m_project.takeLinks(e->group, e->inserted.rows);
        m_project.putLinks(e->group, e->removed);
    }
}

std::size_t LinkEditCommand::bytes() const {
    std::size_t n = sizeof(*this);
    for (const GroupEdit& e : m_edits)
        n += sizeof(GroupEdit) + e.removed.bytes() + e.inserted.bytes() + e.before.bytes() +
             e.after.bytes();
    return n;
}

void LinkEditCommand::release() {
    std::vector<GroupEdit>().swap(m_edits);
}

LinkEditCommand* LinkEditCommand::remove(Project& project, const QString& text, int group,
                                         std::vector<std::size_t> rows) {
    rows = tidy(std::move(rows), groupSize(project, group));
    if (rows.empty())
        return nullptr;
    GroupEdit e;
    e.group = group;
    e.removed = rowsOf(project, group, std::move(rows));
    auto* command = new LinkEditCommand(project, text, {});
    command->m_shownRedo = {group, {}, e.removed.rows.front(), true};
    command->m_shownUndo = {group, e.removed.ids, 0, false};
    command->m_edits.push_back(std::move(e));
    return command;
}

LinkEditCommand* LinkEditCommand::append(Project& project, const QString& text, int group,
                                         const std::vector<Link>& links) {
    if (links.empty() || group < 0 || group >= project.groupCount())
        return nullptr;
    GroupEdit e;
    e.group = group;
    const std::size_t count = groupSize(project, group);
    for (std::size_t i = 0; i < links.size(); ++i) {
        e.inserted.rows.push_back(count + i);
        e.inserted.links.push_back(links[i]);
        e.inserted.ids.push_back(project.newLinkId());
    }
    auto* command = new LinkEditCommand(project, text, {});
    command->m_shownRedo = {group, e.inserted.ids, 0, false};
    command->m_shownUndo = {group, {}, count, true};
    command->m_edits.push_back(std::move(e));
    return command;
}

LinkEditCommand* LinkEditCommand::moveRow(Project& project, const QString& text, int group,
                                          std::size_t from, std::size_t to) {
    const std::size_t count = groupSize(project, group);
    if (from >= count || to >= count || from == to)
        return nullptr;
    GroupEdit e;
    e.group = group;
    e.removed = rowsOf(project, group, {from});
    e.inserted = e.removed;
    e.inserted.rows = {to};
    auto* command = new LinkEditCommand(project, text, {});
    command->m_shownRedo = {group, e.removed.ids, 0, false};
    command->m_shownUndo = command->m_shownRedo;
    command->m_edits.push_back(std::move(e));
    return command;
}

LinkEditCommand* LinkEditCommand::moveToGroup(Project& project, int from,
                                              std::vector<std::size_t> rows, int to) {
    if (from == to || to < 0 || to >= project.groupCount())
        return nullptr;
    rows = tidy(std::move(rows), groupSize(project, from));
    if (rows.empty())
        return nullptr;
    GroupEdit out;
    out.group = from;
    out.removed = rowsOf(project, from, std::move(rows));
    GroupEdit in;
    in.group = to;
    in.inserted = out.removed;
    const std::size_t end = groupSize(project, to);
    for (std::size_t i = 0; i < in.inserted.rows.size(); ++i)
        in.inserted.rows[i] = end + i;
    const std::size_t n = out.removed.size();
    const QString text =
        n == 1
            ? QCoreApplication::translate("ProjectCommands", "Move Link to Group %1").arg(to + 1)
            : QCoreApplication::translate("ProjectCommands", "Move Links to Group %1").arg(to + 1);
    auto* command = new LinkEditCommand(project, text, {});
    command->m_shownRedo = {from, {}, out.removed.rows.front(), true};
    command->m_shownUndo = {from, out.removed.ids, 0, false};
    command->m_edits.push_back(std::move(out));
    command->m_edits.push_back(std::move(in));
    return command;
}

LinkEditCommand* LinkEditCommand::setTexts(Project& project, const QString& text,
                                           const std::vector<TextChange>& changes) {
    std::vector<GroupEdit> edits;
    for (const TextChange& c : changes) {
        const std::size_t count = groupSize(project, c.group);
        GroupEdit e;
        e.group = c.group;
        const LinkList& links = project.linkList(c.group);
        const std::vector<LinkId>& ids = project.linkIds(c.group);
        for (std::size_t i = 0; i < c.rows.size() && i < c.links.size(); ++i) {
            const std::size_t r = c.rows[i];
            if (r >= count || (!e.after.rows.empty() && r <= e.after.rows.back()))
                continue;
            const LinkView old = links.view(r);
            if (old.description == c.links[i].description && old.url == c.links[i].url)
                continue;
            e.before.rows.push_back(r);
            e.before.links.emplace_back(old.description, old.url);
            e.before.ids.push_back(ids[r]);
            e.after.rows.push_back(r);
            e.after.links.push_back(c.links[i]);
            e.after.ids.push_back(ids[r]);
        }
        if (!e.after.empty())
            edits.push_back(std::move(e));
    }
    if (edits.empty())
        return nullptr;
    auto* command = new LinkEditCommand(project, text, {});
    command->m_shownRedo = {edits.front().group, edits.front().after.ids, 0, false};
    command->m_shownUndo = command->m_shownRedo;
    command->m_edits = std::move(edits);
    return command;
}

// --- PageSettingsCommand ---------------------------------------------------------

PageSettingsCommand::PageSettingsCommand(Project& project, const QString& text, PageSettings after,
                                         int mergeId, int session)
    : ProjectCommand(project, text), m_before(project.pageSettings()), m_after(std::move(after)),
      m_mergeId(mergeId), m_session(session) {}

void PageSettingsCommand::redo() {
    m_project.setPageSettings(m_after);
}

void PageSettingsCommand::undo() {
    m_project.setPageSettings(m_before);
}

bool PageSettingsCommand::mergeWith(const QUndoCommand* other) {
    const auto* next = dynamic_cast<const PageSettingsCommand*>(other);
    if (!next || next->m_mergeId != m_mergeId || m_mergeId < 0 || next->m_session != m_session ||
        isDropped())
        return false;
    m_after = next->m_after;
    // Typing back to where the field began leaves no step.
    setObsolete(m_before == m_after);
    return true;
}

std::size_t PageSettingsCommand::bytes() const {
    auto size = [](const PageSettings& p) {
        return sizeof(PageSettings) + p.title.size() + p.subtitle.size() + p.titleFace.size() +
               p.topImage.size();
    };
    return sizeof(*this) + size(m_before) + size(m_after);
}

void PageSettingsCommand::release() {
    m_before = m_after = PageSettings();
}

// --- GroupHeadingCommand ----------------------------------------------------------

GroupHeadingCommand::GroupHeadingCommand(Project& project, int group, const LinkGroup& heading)
    : ProjectCommand(project, QCoreApplication::translate("ProjectCommands", "Group Properties")),
      m_group(group) {
    m_before = project.group(group);
    m_before.links.clear();
    m_after = heading;
    m_after.links.clear();
}

bool GroupHeadingCommand::changesNothing() const {
    return m_before == m_after;
}

void GroupHeadingCommand::redo() {
    m_project.setGroupHeading(m_group, m_after);
}

void GroupHeadingCommand::undo() {
    m_project.setGroupHeading(m_group, m_before);
}

std::size_t GroupHeadingCommand::bytes() const {
    return sizeof(*this) + headingBytes(m_before) + headingBytes(m_after);
}

void GroupHeadingCommand::release() {
    m_before = m_after = LinkGroup();
}

// --- GroupsCommand -------------------------------------------------------------------

GroupsCommand::GroupsCommand(Project& project, const QString& text, std::vector<Snapshot> before,
                             int shown)
    : ProjectCommand(project, text), m_before(std::move(before)), m_shown(shown) {
    for (const Snapshot& s : m_before)
        m_after.push_back(snapshot(project, s.group));
}

GroupsCommand::Snapshot GroupsCommand::snapshot(const Project& project, int group) {
    return {group, project.group(group), project.linkIds(group)};
}

void GroupsCommand::redo() {
    for (const Snapshot& s : m_after)
        m_project.restoreGroup(s.group, s.content, s.ids);
}

void GroupsCommand::undo() {
    for (const Snapshot& s : m_before)
        m_project.restoreGroup(s.group, s.content, s.ids);
}

std::size_t GroupsCommand::bytes() const {
    std::size_t n = sizeof(*this);
    for (const auto* list : {&m_before, &m_after})
        for (const Snapshot& s : *list)
            n += sizeof(Snapshot) + headingBytes(s.content) + s.ids.size() * sizeof(LinkId);
    return n;
}

void GroupsCommand::release() {
    std::vector<Snapshot>().swap(m_before);
    std::vector<Snapshot>().swap(m_after);
}

// --- ProjectHistory -------------------------------------------------------------------
