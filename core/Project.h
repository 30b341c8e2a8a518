#pragma once

#include "core/FileError.h"
#include "core/LinkGroup.h"

#include <cstdint>
#include <string>
#include <vector>

// Rows of the link list as the document reads them when it takes over a
// group's links. The editor's list implements it; tests use a plain table.
class LinkRowSource {
public:
    virtual ~LinkRowSource() = default;
    virtual int sourceRowCount() const = 0;
    // Column 0 is the description, column 1 the URL.
    virtual std::string sourceCellText(int row, int column) const = 0;
};

// What the document needs from its one form view around open and save.
class DocViewHooks {
public:
    virtual ~DocViewHooks() = default;
    // Copies the form's page fields and the shown group's rows into the document.
    virtual void commitEdits() = 0;
    // Empties the link list, selects tab "1" and makes group 0 current.
    virtual void resetForOpen() = 0;
};

inline constexpr int kGroupCount = 10;
inline constexpr std::int32_t kFormatWord = 256;

// The project: one start page and exactly ten URL groups.
class Project {
public:
    // Page fields, in file order. They start at the New defaults.
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

    Project();

    // Resets every page field to its New value and the groups to ten fresh
    // ones. path, title and modified flag are the document manager's affair.
    bool resetToNew();

    // Reads the project at path. Returns false and sets errorString() on
    // failure. When the file cannot be opened nothing changes; once it is
    // open, the view is reset, the groups are reset and the document stays
    // modified if reading fails part-way.
    bool load(const std::string& path);

    // Takes the form's edits, then writes the project to path (atomically).
    // Returns false and sets errorString() on failure; the modified flag is
    // cleared only after a successful write.
    bool save(const std::string& path);

    // Writes the start page; the result says why when it could not be
    // written completely.
    FileResult writePage(const std::string& path) const;

    void addLink(int group, std::string description, std::string url);
    void replaceLinksFromList(int group, const LinkRowSource& list);
    // A negative index clears every group.
    void clearLinks(int group);
    void deleteAllGroups();
    void resetGroups();

    // Document state kept by the document manager.
    bool isModified() const { return m_modified; }
    void setModified(bool modified = true) { m_modified = modified; }
    const std::string& filePath() const { return m_filePath; }
    void setFilePath(std::string path) { m_filePath = std::move(path); }
    const std::string& documentTitle() const { return m_documentTitle; }
    void setDocumentTitle(std::string title) { m_documentTitle = std::move(title); }
    // The message for the user about the last failed load or save.
    std::string errorString() const { return fileErrorText(m_error); }
    const FileResult& lastError() const { return m_error; }

    void setForm(DocViewHooks* view) { m_form = view; }
    DocViewHooks* form() const { return m_form; }

private:
    void setPageDefaults();

    bool m_modified = false;
    std::string m_filePath;
    std::string m_documentTitle = "Untitled";
    FileResult m_error;
    DocViewHooks* m_form = nullptr;
};
