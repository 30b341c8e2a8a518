#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QSet>

class LinkCheckSession;
class ProjectFileController;
class Project;
class ProjectDocument;
class ProjectForm;
class QAction;
class QLabel;
class QMenu;
class QToolBar;

// The main window: menu bar, toolbar, status bar and the one form view. It
// carries out the project, help and About commands itself and routes every
// other command to the view. The window has a fixed size that fits the form.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(ProjectDocument& document, ProjectFileController& files, QWidget* parent = nullptr);
    ~MainWindow() override;

    ProjectForm* form() const { return m_form; }
    QToolBar* toolBar() const { return m_toolBar; }
    // Page > Check Links and Find Duplicate Links, with their progress and windows.
    LinkCheckSession* linkCheckSession() const { return m_linkCheck; }
    // The action with the object name ("actionOpen", "actionAddLink", ...);
    // menus, toolbar and keys share it. Null when there is none.
    QAction* action(const QString& objectName) const;

    // Refreshes the enable state of every command from the form's state.
    void updateActions();

    // The status bar's message pane; an empty text shows the idle text " ".
    void setMessageText(const QString& text);
    QString messageText() const;

    // Fits the fixed window size to the form and the bars docked around it.
    void fitToContents();

    // Shows the key-lock indicators that are on.
    void updateKeyIndicators();

    // Where the example project is looked for: beside the program
    // (examples/), then under the install prefix
    // (../share/linkfold/examples/). Empty when none is there.
    static QString exampleProjectPath();

public slots:
    void about();
    void helpContents();
    // Opens a copy of the example project as an untitled project.
    void openExampleProject();
    // Project > Import Bookmarks: the mapping dialog, then the import as one
    // change of the project, and its summary.
    void importBookmarks();
    // Project > Export Bookmarks: the project's groups as bookmark HTML or XBEL.
    void exportBookmarks();

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    QAction* makeAction(const char* name, const QString& text, const QString& prompt,
                        const QList<QKeySequence>& keys = {});
    void createActions();
    void createMenus();
    void createToolBar();
    void addToolBarButton(QAction* action);
    void createStatusBar();
    void updateTitle();
    void updateRecentFileMenu();
    void onProjectReplaced();
    void onFocusChanged(QWidget* from, QWidget* to);
    void giveFocusBackFromMenuBar();

    ProjectFileController& m_fileController;
    ProjectDocument& m_document;
    Project& m_doc;
    ProjectForm* m_form = nullptr;
    LinkCheckSession* m_linkCheck = nullptr;
    QToolBar* m_toolBar = nullptr;

    QAction* m_actionNew = nullptr;
    QAction* m_actionOpen = nullptr;
    QAction* m_actionSave = nullptr;
    QAction* m_actionSaveAs = nullptr;
    QAction* m_actionImportBookmarks = nullptr;
    QAction* m_actionExportBookmarks = nullptr;
    QList<QAction*> m_recentActions;
    QAction* m_actionExit = nullptr;
    QAction* m_actionUndo = nullptr;
    QAction* m_actionRedo = nullptr;
    QAction* m_actionCut = nullptr;
    QAction* m_actionCopy = nullptr;
    QAction* m_actionPaste = nullptr;
    QAction* m_actionDelete = nullptr;     // Edit > Delete
    QAction* m_actionDeleteLink = nullptr; // the toolbar's Delete
    QAction* m_actionAddLink = nullptr;
    QAction* m_actionGroupProperties = nullptr;
    QAction* m_actionLinkProperties = nullptr;
    QAction* m_actionGenerate = nullptr;
    QAction* m_actionPreview = nullptr;
    QAction* m_actionPageStyle = nullptr;
    QAction* m_actionCheckLinks = nullptr;
    QAction* m_actionFindDuplicates = nullptr;
    QAction* m_actionShowLastCheck = nullptr;
    QAction* m_actionCancelCheck = nullptr; // Escape while a check runs
    QAction* m_actionHelpContents = nullptr;
    QAction* m_actionOpenExample = nullptr;
    QAction* m_actionAbout = nullptr;

    QSet<int> m_acceleratorKeys; // key combinations of the accelerators
    QPointer<QWidget> m_focusBeforeMenuBar;
    QLabel* m_indicators[3] = {};
    bool m_fitted = false;
    QSize m_fittedSize; // the size the window last fitted its contents at
    QSize m_lastNeed;   // the least size its layout asked for at the last resize
};
