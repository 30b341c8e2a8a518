#pragma once

#include "model/LFDoc.h"

#include <QWidget>

class CIniFile;

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
};
