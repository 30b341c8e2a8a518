#pragma once

#include "core/FileError.h"
#include "core/LinkGroup.h"

#include <cstdint>
#include <string>
#include <vector>

class ByteSource;
struct ReadResult;

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
    bool ok() const { return status == LoadStatus::Ok; }
};

// The project: one start page and exactly ten URL groups. Texts are UTF-8.
// Every setter marks the project modified when it changes a value, so no
// edit can forget to; the form keeps its own working copies and hands them
// over through the setters (see ProjectForm::commitEdits).
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
    const LinkList& linkList(int group) const { return this->group(group).m_links; }
    void setLinks(int group, const std::vector<Link>& links);
    void setLinkList(int group, LinkList links);
    void addLink(int group, std::string description, std::string url);
    // Empties one group's links; a negative index empties every group.
    void clearLinks(int group);

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

    // Writes the start page; the result says why when it could not be
    // written completely.
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
    friend ReadResult readProjectRecords(ByteSource& source, Project& doc);

    void setPageDefaults();
    void resetGroups();
    template <typename T> void change(T& field, T value);

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

    bool m_modified = false;
    std::string m_filePath;
    std::string m_documentTitle = "Untitled";
    FileResult m_error;
};
