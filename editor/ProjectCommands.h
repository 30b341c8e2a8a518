#pragma once

#include "core/Project.h"

#include <QObject>
#include <QString>
#include <QUndoCommand>

#include <cstddef>
#include <vector>

// What a step shows once done or undone: the group to switch to and the
// links to select there (by identity), or, when none is named, the row to
// select (the one standing where removed rows stood).
struct ShownChange {
    int group = -1;
    std::vector<LinkId> select;
    std::size_t row = 0;
    bool selectRow = false;
};

// One undoable step on the project. Each keeps only what it changes, so its
// memory follows the size of the change.
class ProjectCommand : public QUndoCommand {
public:
    ProjectCommand(Project& project, const QString& text);

    // What the list shows after redo and after undo.
    virtual ShownChange shownAfterRedo() const { return {}; }
    virtual ShownChange shownAfterUndo() const { return {}; }
    // The memory the step holds.
    virtual std::size_t bytes() const = 0;
    // An old step whose memory went to newer ones: it can no longer be
    // undone, and undo stops before it.
    bool isDropped() const { return m_dropped; }
    void drop();

protected:
    virtual void release() = 0;
    Project& m_project;

private:
    bool m_dropped = false;
};

// Edits of links in one or more groups: rows taken out, rows put in, rows
// given other texts, in that order per group (undo runs them backwards).
// Covers delete, cut, add, paste, drop, move, move to another group,
// link properties and update to the final URL.
class LinkEditCommand : public ProjectCommand {
public:
    struct GroupEdit {
        int group = 0;
        LinkRows removed;  // rows numbered before the edit
        LinkRows inserted; // rows numbered after the removal
        LinkRows before;   // rows (after removal and insertion) and their old texts
        LinkRows after;    // the same rows with their new texts
    };
    LinkEditCommand(Project& project, const QString& text, std::vector<GroupEdit> edits);

    void redo() override;
    void undo() override;
    std::size_t bytes() const override;
    ShownChange shownAfterRedo() const override { return m_shownRedo; }
    ShownChange shownAfterUndo() const override { return m_shownUndo; }
    void setShown(ShownChange afterRedo, ShownChange afterUndo) {
        m_shownRedo = std::move(afterRedo);
        m_shownUndo = std::move(afterUndo);
    }

    // Builders. Each returns null when the edit would change nothing.
    // rows: any order; removed from the group.
    static LinkEditCommand* remove(Project& project, const QString& text, int group,
                                   std::vector<std::size_t> rows);
    // links appended to the group.
    static LinkEditCommand* append(Project& project, const QString& text, int group,
                                   const std::vector<Link>& links);
    // One row moved so that it stands at `to` afterwards.
    static LinkEditCommand* moveRow(Project& project, const QString& text, int group,
                                    std::size_t from, std::size_t to);
    // Rows (any order) moved to the end of another group.
    static LinkEditCommand* moveToGroup(Project& project, int from, std::vector<std::size_t> rows,
                                        int to);
    // Rows of several groups given new texts: per group, ascending rows and
    // their new links.
    struct TextChange {
        int group = 0;
        std::vector<std::size_t> rows;
        std::vector<Link> links;
    };
    static LinkEditCommand* setTexts(Project& project, const QString& text,
                                     const std::vector<TextChange>& changes);

protected:
    void release() override;

private:
    std::vector<GroupEdit> m_edits;
    ShownChange m_shownRedo;
    ShownChange m_shownUndo;
};

// A change of the page settings. Typing in one page field is one step: the
// commands of one field (same merge id) merge while they follow each other.
// New page settings slot in as fields of PageSettings; a dialog that edits
// some of them pushes one PageSettingsCommand with its name.
class PageSettingsCommand : public ProjectCommand {
public:
    // mergeId: -1 never merges; fields that merge use their own id, and
    // merge only within one typing session (see ProjectDocument::endTyping).
    PageSettingsCommand(Project& project, const QString& text, PageSettings after, int mergeId = -1,
                        int session = 0);

    void redo() override;
    void undo() override;
    int id() const override { return m_mergeId; }
    bool mergeWith(const QUndoCommand* other) override;
    std::size_t bytes() const override;
    bool changesNothing() const { return m_before == m_after; }

protected:
    void release() override;

private:
    PageSettings m_before;
    PageSettings m_after;
    int m_mergeId;
    int m_session;
};

// Group Properties: a group's heading (title, bullet, font, colour).
class GroupHeadingCommand : public ProjectCommand {
public:
    GroupHeadingCommand(Project& project, int group, const LinkGroup& heading);
    void redo() override;
    void undo() override;
    std::size_t bytes() const override;
    bool changesNothing() const;
    ShownChange shownAfterRedo() const override { return {m_group, {}, 0, false}; }
    ShownChange shownAfterUndo() const override { return {m_group, {}, 0, false}; }

protected:
    void release() override;

private:
    int m_group;
    LinkGroup m_before;
    LinkGroup m_after;
};

// Whole groups replaced (Import Bookmarks): the groups as they were and as
// they became, with their identities.
class GroupsCommand : public ProjectCommand {
public:
    struct Snapshot {
        int group = 0;
        LinkGroup content;
        std::vector<LinkId> ids;
    };
    // before: the groups as they were; the project already holds the new
    // state, which is taken as the redo state. shown: the group to show.
    GroupsCommand(Project& project, const QString& text, std::vector<Snapshot> before, int shown);
    // The groups as they are now.
    static Snapshot snapshot(const Project& project, int group);

    void redo() override;
    void undo() override;
    std::size_t bytes() const override;
    ShownChange shownAfterRedo() const override { return {m_shown, {}, 0, false}; }
    ShownChange shownAfterUndo() const override { return {m_shown, {}, 0, false}; }

protected:
    void release() override;

private:
    std::vector<Snapshot> m_before;
    std::vector<Snapshot> m_after;
    int m_shown;
};
