#pragma once

#include <QMainWindow>
#include <QMap>
#include <QSet>

class ProjectFileController;
class Project;
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
    MainWindow(ProjectFileController& docManager, QWidget* parent = nullptr);
    ~MainWindow() override;

    ProjectForm* form() const { return m_form; }
    QToolBar* toolBar() const { return m_toolBar; }
    // The action of a command id (menus, toolbar and accelerators share it).
    QAction* action(int id) const { return m_actions.value(id); }

    // Carries out a command as the menus, toolbar and accelerators do. A
    // disabled command is not carried out; returns whether it ran.
    bool onCommand(int id);
    // Refreshes the enable state of every command.
    void updateCommandUI();

    // The status bar's message pane; an empty text shows the idle text " ".
    void setMessageText(const QString& text);
    QString messageText() const;

    // Fits the fixed window size to the form and the bars around it.
    void recalcLayout();

    // Shows the key-lock indicators that are on.
    void updateKeyIndicators();

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    QAction* addAction(int id, const QString& text, const QString& prompt,
                       const QList<QKeySequence>& keys = {});
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void updateTitle();
    void updateRecentFileMenu();
    void onDocumentReplaced();
    void onAbout();
    bool isRoutedToView(int id) const;

    ProjectFileController& m_docManager;
    Project& m_doc;
    ProjectForm* m_form = nullptr;
    QToolBar* m_toolBar = nullptr;
    QMap<int, QAction*> m_actions;
    QList<QAction*> m_recentActions;
    QSet<int> m_acceleratorKeys; // key combinations of the accelerators
    QLabel* m_indicators[3] = {};
    bool m_fitted = false;
};

// Status-bar prompts and tooltips of the commands: the text before the line
// feed is the prompt, the text after it the tooltip.
QString commandPromptString(int id);
