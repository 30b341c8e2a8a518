#pragma once

#include "model/LFDoc.h"

#include <QWidget>

#include <array>
#include <string>

class CIniFile;
class CLinkCommands;
class CLinkListCtrl;
class CSpinArrows;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QTabBar;

// The project form: page fields, the ten group tabs and the link list of the
// shown group. The main window owns it as its central widget; the document
// reaches it through CDocViewHooks around open and save.
//
// The form holds working copies: the page fields in its members and
// controls, the links of the shown group only as list rows. The document gets
// them back when a tab is left (that group's rows) and through
// UpdateDocument before every save, generate and preview.
class CLFView : public QWidget, public CDocViewHooks {
    Q_OBJECT
public:
    CLFView(CLFDoc* doc, QWidget* parent = nullptr);
    ~CLFView() override;

    CLFDoc* GetDocument() const { return m_pDoc; }

    // Fills the form from the document (after New and a successful Open):
    // page fields, then group 0 in the list with tab "1" selected. Never
    // marks the document modified.
    void OnInitialUpdate();

    // Controls the editing commands work on.
    CLinkListCtrl* GetLinkList() const;
    QTabBar* GetTabBar() const;
    QLineEdit* GetTitleEdit() const;
    QLineEdit* GetSubtitleEdit() const;
    QLineEdit* GetTopImageEdit() const;
    QLineEdit* GetColumnsEdit() const;
    // Index 0..9 of the group shown in the list.
    int GetCurrentTab() const;
    // Sets row `row` to the link, or appends it when row is -1.
    void SetLinkRow(const std::string& description, const std::string& url, int row);
    // Marks the document modified and refreshes command states.
    void SetModified();

    // CDocViewHooks
    void UpdateDocument() override;
    void ResetForOpen() override;

    // Column widths per tab, read at start and written at close.
    void LoadLayout(const CIniFile& ini);
    void SaveLayout(CIniFile& ini) const;

    // Command routing from the main window: returns true when the view
    // handled (or knows) the command.
    virtual bool OnCommand(int id);
    virtual bool IsCommandEnabled(int id, bool& enabled) const;

    // Empties the list, selects tab `group` (without leaving the shown group
    // the usual way) and fills the list with that group's links. Returns the
    // number of links. The current tab index and the document stay as they
    // are.
    int LoadGroup(int group);
    // Page fields between the controls and the members: save = false shows
    // the members; save = true validates and reads the controls in binding
    // order (borders, title, top image, columns, subtitle) and stops at the
    // first failure with its message, the focus and selection on the failing
    // control. Returns false when a check failed.
    bool UpdateData(bool save);
    // The width stored for column `column` (0 or 1) of tab `tab`.
    int GetStoredColumnWidth(int tab, int column) const;
    // The "Browse..." button: choose the top image.
    void OnBrowseTopImage();
    // One click of the "# Columns:" spin arrows (+1 up, -1 down).
    void StepColumns(int delta);

    // The form's own size (the template's, in the current font).
    QSize sizeHint() const override { return minimumSize(); }

    // Longest title and subtitle, in characters.
    static constexpr int kMaxTitleLength = 50;

signals:
    // Text for the status bar's message pane (a tab's group title while the
    // pointer rests on it); empty restores the idle text.
    void statusMessage(const QString& text);
    // Something in the view changed what the command enable rules depend on.
    void commandStateChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildForm();
    void PlaceControls();
    void OnTabChanged(int index);
    void OnPageFieldChanged();
    void StoreColumnWidths(int tab);
    void ApplyColumnWidths(int tab);

    CLFDoc* m_pDoc;
    CLinkCommands* m_pLinkCommands = nullptr;

    // Filling the form from the document: changes do not mark it modified.
    bool m_bInitializing = true;
    // Column widths are applied at the first initial update only.
    bool m_bFirstUpdate = true;
    // Per tab: width of column 0 ("Description") and column 1 ("URL").
    std::array<std::array<int, 2>, kGroupCount> m_colWidths{};
    int m_nCurrentTab = 0;

    // Mirrors of the document's page fields.
    std::int32_t m_bBorders = 0;
    std::string m_strTitle;
    std::string m_strTopImage;
    std::int32_t m_nColumns = 0;
    std::string m_strSubtitle;

    QLineEdit* m_pTitle = nullptr;
    QLineEdit* m_pSubtitle = nullptr;
    QPushButton* m_pFontButton = nullptr;
    QLineEdit* m_pTopImage = nullptr;
    QPushButton* m_pBrowseButton = nullptr;
    QLineEdit* m_pColumns = nullptr;
    CSpinArrows* m_pSpin = nullptr;
    QCheckBox* m_pBorders = nullptr;
    QPushButton* m_pColorsButton = nullptr;
    QTabBar* m_pTabs = nullptr;
    QWidget* m_pTabPanel = nullptr;
    CLinkListCtrl* m_pList = nullptr;
    QPushButton* m_pPropertiesButton = nullptr;
    QPushButton* m_pMoveUpButton = nullptr;
    QPushButton* m_pMoveDownButton = nullptr;
    QWidget* m_pPageBox = nullptr;
    QWidget* m_pGroupsBox = nullptr;
    QWidget* m_pPagePicture = nullptr;
    QWidget* m_pGroupsPicture = nullptr;
    QWidget* m_pTitleLabel = nullptr;
    QWidget* m_pImageLabel = nullptr;
    QWidget* m_pColumnsLabel = nullptr;
};
