#pragma once

#include "model/UrlGroup.h"

#include <cstdint>
#include <string>
#include <vector>

// Rows of the link list as the document reads them when it takes over a
// group's links. The editor's list implements it; tests use a plain table.
class CLinkRowSource {
public:
    virtual ~CLinkRowSource() = default;
    virtual int GetRowCount() const = 0;
    // Column 0 is the description, column 1 the URL.
    virtual std::string GetCellText(int row, int column) const = 0;
};

// What the document needs from its one form view around open and save.
class CDocViewHooks {
public:
    virtual ~CDocViewHooks() = default;
    // Copies the form's page fields and the shown group's rows into the document.
    virtual void UpdateDocument() = 0;
    // Empties the link list, selects tab "1" and makes group 0 current.
    virtual void ResetForOpen() = 0;
};

inline constexpr int kGroupCount = 10;
inline constexpr std::int32_t kFormatWord = 256;

// The project: one start page and exactly ten URL groups.
class CLFDoc {
public:
    // Page fields, in file order. They start at the New defaults.
    std::string m_strTitle;
    std::string m_strSubtitle;
    std::string m_strTitleFace = "Arial";
    std::int32_t m_nTitleStyle = 0;
    std::string m_strTopImage;
    COLORREF m_clrTitle = 0;
    std::int32_t m_nColumns = 2;
    std::int32_t m_bBorders = 1;
    std::vector<CUrlGroup> m_groups;
    COLORREF m_clrBackground = 0x00FFFFFF;
    COLORREF m_clrLink = 0;
    COLORREF m_clrVisitedLink = 0x00800000;

    CLFDoc();

    // Resets every page field to its New value and the groups to ten fresh
    // ones. Path, title and modified flag are the document manager's affair.
    bool OnNewDocument();

    // Reads the project at path. Returns false and sets ErrorString() on
    // failure. When the file cannot be opened nothing changes; once it is
    // open, the view is reset, the groups are reset and the document stays
    // modified if reading fails part-way.
    bool OnOpenDocument(const std::string& path);

    // Takes the form's edits, then writes the project to path (atomically).
    // Returns false and sets ErrorString() on failure; the modified flag is
    // cleared only after a successful write.
    bool OnSaveDocument(const std::string& path);

    // Writes the start page. Returns false when the page could not be
    // written completely (open, write or close failed).
    bool WritePage(const std::string& path) const;

    void AddLink(int group, std::string description, std::string url);
    void ReplaceLinksFromList(int group, const CLinkRowSource& list);
    // A negative index clears every group.
    void ClearLinks(int group);
    void DeleteAllGroups();
    void ResetGroups();

    // Document state kept by the document manager.
    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool modified = true) { m_bModified = modified; }
    const std::string& GetPathName() const { return m_strPathName; }
    void SetPathName(std::string path) { m_strPathName = std::move(path); }
    const std::string& GetTitle() const { return m_strDocTitle; }
    void SetTitle(std::string title) { m_strDocTitle = std::move(title); }
    const std::string& ErrorString() const { return m_strError; }

    void SetView(CDocViewHooks* view) { m_pView = view; }
    CDocViewHooks* GetView() const { return m_pView; }

private:
    void SetPageDefaults();

    bool m_bModified = false;
    std::string m_strPathName;
    std::string m_strDocTitle = "Untitled";
    std::string m_strError;
    CDocViewHooks* m_pView = nullptr;
};
