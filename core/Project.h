#pragma once

#include "core/FileError.h"
#include "core/LinkGroup.h"
#include "core/ProjectExtension.h"
#include "core/ProjectFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kGroupCount = 10;
inline constexpr std::int32_t kFormatWord = 256;

// How an attempt to open a project ended.
enum class LoadStatus {
    Ok,
    NotOpened, // the file could not be opened: the project is as it was
    Damaged    // reading began and failed: the project holds what was read
};

struct LoadResult {
    LoadStatus status = LoadStatus::Ok;
    std::string error; // the message for the user unless status is Ok
    // Ok, but part of the extension block could not be read and was
    // dropped (kExtrasDroppedMessage); the project is then modified.
    bool extrasDropped = false;
    bool ok() const { return status == LoadStatus::Ok; }
};

// A link's identity while the program runs: it stays with the link when the
// link moves within or between groups and is never used again for another
// link. Never written to a file.
using LinkId = std::uint64_t;

// Some rows of one group, ascending, with their links and identities: what
// an edit took out of a group or puts into it.
struct LinkRows {
    std::vector<std::size_t> rows;
    LinkList links;
    std::vector<LinkId> ids;

    std::size_t size() const { return rows.size(); }
    bool empty() const { return rows.empty(); }
    // The memory it holds, roughly.
    std::size_t bytes() const {
        return links.textSize() + rows.size() * (sizeof(std::size_t) + sizeof(LinkId) + 8);
    }
};

// Every value of the page that is not a group, as one value: an edit of the
// page settings takes one and gives one back (see Project::setPageSettings).
struct PageSettings {
    std::string title;
    std::string subtitle;
    std::string titleFace = "Arial";
    std::int32_t titleStyle = 0;
    std::string topImage;
    RgbColor titleColor = 0;
    std::int32_t columns = 2;
    std::int32_t borders = 1;
    RgbColor backgroundColor = 0x00FFFFFF;
    RgbColor linkColor = 0;
    RgbColor visitedLinkColor = 0x00800000;
    // Classic or modern page, and the modern page's options.
    PageStyle style;

    bool operator==(const PageSettings&) const = default;
};

// Told of every change of the project after it happened. Row numbers are
// 0-based; lists of rows are ascending.
class ProjectObserver {
public:
    virtual ~ProjectObserver() = default;
    // These rows (numbered as before the change) left the group.
    virtual void linksRemoved(int /*group*/, const std::vector<std::size_t>& /*rows*/) {}
    // These rows (numbered as after the change) came into the group.
    virtual void linksInserted(int /*group*/, const std::vector<std::size_t>& /*rows*/) {}
    // The texts of these rows changed.
    virtual void linksChanged(int /*group*/, const std::vector<std::size_t>& /*rows*/) {}
    // The group's links were replaced as a whole.
    virtual void groupReset(int /*group*/) {}
    // The group's heading (title, bullet, font) changed.
    virtual void headingChanged(int /*group*/) {}
    // A page setting changed.
    virtual void pageChanged() {}
    // New or load: every value and every link may be another.
    virtual void projectReset() {}
};

// The project: one start page and exactly ten URL groups. Texts are UTF-8.
// It is the one copy of its values while the editor runs: every view shows
// it and every edit goes through it. Every change marks the project
// modified when it changes a value, so no edit can forget to, and tells the
// observers.
class Project {
public:
    Project();

    // Page fields, in file order. They start at the New defaults.
    const std::string& title() const { return m_title; }
    void setTitle(std::string title);
    const std::string& subtitle() const { return m_subtitle; }
    void setSubtitle(std::string subtitle);
    const std::string& titleFace() const { return m_titleFace; }
    void setTitleFace(std::string face);
    std::int32_t titleStyle() const { return m_titleStyle; }
    void setTitleStyle(std::int32_t style);
    const std::string& topImage() const { return m_topImage; }
    void setTopImage(std::string path);
    RgbColor titleColor() const { return m_titleColor; }
    void setTitleColor(RgbColor color);
    std::int32_t columns() const { return m_columns; }
    void setColumns(std::int32_t columns);
    std::int32_t borders() const { return m_borders; }
    void setBorders(std::int32_t borders);
    RgbColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(RgbColor color);
    RgbColor linkColor() const { return m_linkColor; }
    void setLinkColor(RgbColor color);
    RgbColor visitedLinkColor() const { return m_visitedLinkColor; }
    void setVisitedLinkColor(RgbColor color);

    // Every page setting at once; setPageSettings tells the observers once.
    PageSettings pageSettings() const;
    void setPageSettings(const PageSettings& page);

    // The groups, always kGroupCount of them. group() and links() of an
    // index out of range give an empty group.
    int groupCount() const { return static_cast<int>(m_groups.size()); }
    const std::vector<LinkGroup>& groups() const { return m_groups; }
    const LinkGroup& group(int group) const;
    // Takes title, bullet, face, style and text colour of heading; the
    // group's links stay.
    void setGroupHeading(int group, const LinkGroup& heading);
    void setGroupTitle(int group, std::string title);
    // A copy of the group's links; the writers and other hot paths look at
    // them in place through linkList().
    std::vector<Link> links(int group) const;
    const LinkList& linkList(int group) const { return this->group(group).links; }
    void setLinks(int group, const std::vector<Link>& links);
    void setLinkList(int group, LinkList links);
    void addLink(int group, std::string_view description, std::string_view url);
    // Empties one group's links; a negative index empties every group.
    void clearLinks(int group);

    // Identities: one per link of the group, in row order.
    const std::vector<LinkId>& linkIds(int group) const;
    // A fresh identity for a link about to be added.
    LinkId newLinkId() { return m_nextId++; }
    // Where the link is now; false when no group holds it.
    bool findLink(LinkId id, int& group, std::size_t& row) const;

    // The edits the editor's commands are made of, each the inverse of
    // another, in time proportional to the group. Rows out of range or
    // groups out of range are passed over.
    // Takes the rows out of the group and returns them.
    LinkRows takeLinks(int group, std::vector<std::size_t> rows);
    // Puts the links in so that each stands at its row afterwards.
    void putLinks(int group, const LinkRows& rows);
    // Gives the rows the texts given (the identities stay) and returns the
    // texts they had.
    LinkRows replaceLinks(int group, const LinkRows& rows);
    // Puts a whole group back as it was (heading, links, identities).
    void restoreGroup(int group, const LinkGroup& content, const std::vector<LinkId>& ids);

    // Watchers of changes; the project does not own them.
    void addObserver(ProjectObserver* observer);
    void removeObserver(ProjectObserver* observer);

    // How the page is written: a page setting (PageSettings::style), kept in
    // the file's extension block. setPageStyle sets it alone, as
    // setPageSettings does.
    const PageStyle& pageStyle() const { return m_extras.pageStyle; }
    void setPageStyle(PageStyle style);
    // The extension block's contents, records this version does not know
    // included.
    const ProjectExtras& extras() const { return m_extras; }

    // Resets every page field to its New value and the groups to ten fresh
    // ones. path, title and modified flag are the controller's affair.
    void resetToNew();

    // Reads the project at path. When the file cannot be opened nothing
    // changes (NotOpened). Once it is open the groups are reset; a read that
    // fails part-way (Damaged) leaves what was read and the project modified;
    // a complete one (Ok) leaves it unmodified.
    LoadResult load(const std::string& path);

    // Writes the project to path (atomically). Returns false and sets
    // errorString() on failure; the modified flag is cleared only after a
    // successful write. The caller commits the form's edits first.
    bool save(const std::string& path);

    // Writes the start page in the project's style; the result says why
    // when it could not be written completely.
    FileResult writePage(const std::string& path) const;

    // Document state kept by the controller.
    bool isModified() const { return m_modified; }
    void setModified(bool modified = true) { m_modified = modified; }
    const std::string& filePath() const { return m_filePath; }
    void setFilePath(std::string path) { m_filePath = std::move(path); }
    const std::string& documentTitle() const { return m_documentTitle; }
    void setDocumentTitle(std::string title) { m_documentTitle = std::move(title); }
    // The message for the user about the last failed load or save, and its
    // cause and path.
    std::string errorString() const { return fileErrorText(m_error); }
    const FileResult& lastError() const { return m_error; }

private:
    // The file reader fills the fields in place.
    friend ReadResult readProjectRecords(ByteSource& source, Project& doc,
                                         const GroupVisitor* onGroup);

    void setPageDefaults();
    void resetGroups();
    // Fresh identities for every link of the group.
    void renumber(int group);
    // The group's identity list, made when it is still a range.
    std::vector<LinkId>& idList(size_t group) const;
    bool hasGroup(int group) const { return group >= 0 && group < groupCount(); }
    template <typename T> bool change(T& field, T value);
    template <typename F> void notify(F&& tell);
    void pageChange(bool changed);

    std::string m_title;
    std::string m_subtitle;
    std::string m_titleFace = "Arial";
    std::int32_t m_titleStyle = 0;
    std::string m_topImage;
    RgbColor m_titleColor = 0;
    std::int32_t m_columns = 2;
    std::int32_t m_borders = 1;
    std::vector<LinkGroup> m_groups;
    RgbColor m_backgroundColor = 0x00FFFFFF;
    RgbColor m_linkColor = 0;
    RgbColor m_visitedLinkColor = 0x00800000;
    ProjectExtras m_extras;

    // Identities per group. A group as read from a file holds the range
    // m_idBase + row and its list is made on first use, so that a loaded
    // project costs no memory for them.
    mutable std::vector<std::vector<LinkId>> m_ids;
    std::vector<LinkId> m_idBase;
    LinkId m_nextId = 1;
    // A copy of the project starts without observers.
    struct Observers : std::vector<ProjectObserver*> {
        Observers() = default;
        // NOLINTNEXTLINE(bugprone-copy-constructor-init): the copy starts empty
        Observers(const Observers&) : std::vector<ProjectObserver*>() {}
        Observers& operator=(const Observers&) { return *this; }
    };
    Observers m_observers;

    bool m_modified = false;
    std::string m_filePath;
    std::string m_documentTitle = "Untitled";
    FileResult m_error;
};
