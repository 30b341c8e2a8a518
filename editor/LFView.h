#pragma once

#include "model/LFDoc.h"

#include <QWidget>

#include <string>

class CIniFile;
class CLinkCommands;
class CLinkListCtrl;
class QLineEdit;
class QTabBar;

// The project form: page fields, the ten group tabs and the link list of the
// shown group. The main window owns it as its central widget; the document
// reaches it through CDocViewHooks around open and save.
class CLFView : public QWidget, public CDocViewHooks {
    Q_OBJECT
public:
    CLFView(CLFDoc* doc, QWidget* parent = nullptr);
    ~CLFView() override;

    CLFDoc* GetDocument() const { return m_pDoc; }

    // Fills the form from the document (after New and a successful Open).
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

signals:
    // Text for the status bar's message pane (a tab's group title while the
    // pointer rests on it); empty restores the idle text.
    void statusMessage(const QString& text);
    // Something in the view changed what the command enable rules depend on.
    void commandStateChanged();

private:
    CLFDoc* m_pDoc;
    CLinkCommands* m_pLinkCommands = nullptr;
};
