#pragma once

#include <QMainWindow>
#include <QMap>
#include <QSet>

class CDocManager;
class CLFDoc;
class CLFView;
class QAction;
class QLabel;
class QMenu;
class QToolBar;

// The main window: menu bar, toolbar, status bar and the one form view. It
// carries out the project, help and About commands itself and routes every
// other command to the view. The window has a fixed size that fits the form.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(CDocManager& docManager, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CLFView* GetView() const { return m_pView; }
    QToolBar* GetToolBar() const { return m_pToolBar; }
    // The action of a command id (menus, toolbar and accelerators share it).
    QAction* GetAction(int id) const { return m_actions.value(id); }

    // Carries out a command as the menus, toolbar and accelerators do. A
    // disabled command is not carried out; returns whether it ran.
    bool OnCommand(int id);
    // Refreshes the enable state of every command.
    void UpdateCommandUI();

    // The status bar's message pane; an empty text shows the idle text " ".
    void SetMessageText(const QString& text);
    QString MessageText() const;

    // Fits the fixed window size to the form and the bars around it.
    void RecalcLayout();

    // Shows the key-lock indicators that are on.
    void UpdateKeyIndicators();

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    QAction* AddAction(int id, const QString& text, const QString& prompt,
                       const QList<QKeySequence>& keys = {});
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void UpdateTitle();
    void UpdateRecentFileMenu();
    void OnDocumentReplaced();
    void OnAbout();
    bool IsRoutedToView(int id) const;

    CDocManager& m_docManager;
    CLFDoc& m_doc;
    CLFView* m_pView = nullptr;
    QToolBar* m_pToolBar = nullptr;
    QMap<int, QAction*> m_actions;
    QList<QAction*> m_recentActions;
    QSet<int> m_acceleratorKeys; // key combinations of the accelerators
    QLabel* m_pIndicators[3] = {};
    bool m_bFitted = false;
};

// Status-bar prompts and tooltips of the commands: the text before the line
// feed is the prompt, the text after it the tooltip.
QString CommandPromptString(int id);
