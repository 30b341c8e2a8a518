#include "app/MainWindow.h"

#include "app/AboutDialog.h"
#include "app/KeyLockState.h"
#include "app/ProjectFileController.h"
#include "app/RecentFileList.h"
#include "bookmarks/BrowserProfiles.h"
#include "bookmarks/ProjectBookmarks.h"
#include "core/HeadlessGenerate.h"
#include "core/Project.h"
#include "dialogs/ImportBookmarksDialog.h"
#include "editor/LinkCheckSession.h"
#include "editor/LinkCommands.h"
#include "editor/ProjectCommands.h"
#include "editor/ProjectDocument.h"
#include "editor/ProjectForm.h"
#include "gui/FileErrorText.h"
#include "gui/HelpLauncher.h"
#include "gui/QtText.h"
#include "gui/Resources.h"
#include "gui/UiServices.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QUndoStack>

#include <optional>

namespace {

// The client area while the form has no size of its own.
constexpr QSize kEmptyFormSize(520, 400);

const char* const kIdleMessage = " ";

QString promptPart(const QString& s) {
    return s.section(QLatin1Char('\n'), 0, 0);
}
QString tipPart(const QString& s) {
    return s.contains(QLatin1Char('\n')) ? s.section(QLatin1Char('\n'), 1) : QString();
}

// Keys taken by commands that nothing carries out (Next and Previous Pane):
// they do nothing, also while a text field has the focus.
bool isInertKey(QKeyCombination k) {
    const QKeyCombination inert[] = {
        QKeyCombination(Qt::NoModifier, Qt::Key_F6),
        QKeyCombination(Qt::ShiftModifier, Qt::Key_F6),
    };
    const QKeyCombination plain(k.keyboardModifiers() & ~Qt::KeypadModifier, k.key());
    for (const auto& i : inert)
        if (i == plain)
            return true;
    return false;
}

} // namespace

MainWindow::MainWindow(ProjectDocument& document, ProjectFileController& files, QWidget* parent)
    : QMainWindow(parent), m_fileController(files), m_document(document),
      m_doc(document.project()) {
    initLinkfoldResources();
    setObjectName(QStringLiteral("mainWindow"));
    // A window of the classic size at first, which the user may enlarge
    // and maximize: the link list takes the room.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon(QStringLiteral(":/icons/linkfold.svg")));
    setDockOptions(QMainWindow::AnimatedDocks);

    createActions();
    createMenus();
    createToolBar();
    createStatusBar();

    m_form = new ProjectForm(&m_document, this);
    setCentralWidget(m_form);
    connect(m_form, &ProjectForm::statusMessage, this, &MainWindow::setMessageText);
    connect(m_form, &ProjectForm::commandStateChanged, this, &MainWindow::updateActions);

    // The form's commands.
    LinkCommands* commands = m_form->linkCommands();
    const QList<QPair<QAction*, void (LinkCommands::*)()>> linkCommands = {
        {m_actionCut, &LinkCommands::cut},
        {m_actionCopy, &LinkCommands::copy},
        {m_actionPaste, &LinkCommands::paste},
        {m_actionDelete, &LinkCommands::deleteSelected},
        {m_actionDeleteLink, &LinkCommands::deleteSelected},
        {m_actionAddLink, &LinkCommands::addLink},
        {m_actionGroupProperties, &LinkCommands::groupProperties},
        {m_actionLinkProperties, &LinkCommands::linkProperties},
        {m_actionPageStyle, &LinkCommands::pageStyle},
    };
    for (const auto& [action, slot] : linkCommands)
        connect(action, &QAction::triggered, commands, slot);
    connect(m_actionGenerate, &QAction::triggered, m_form, &ProjectForm::generate);
    connect(m_actionPreview, &QAction::triggered, m_form, &ProjectForm::preview);

    m_linkCheck = new LinkCheckSession(m_form, statusBar(), this);
    connect(m_actionCheckLinks, &QAction::triggered, m_linkCheck, &LinkCheckSession::checkAllLinks);
    connect(m_actionFindDuplicates, &QAction::triggered, m_linkCheck,
            &LinkCheckSession::findDuplicates);
    connect(m_actionCancelCheck, &QAction::triggered, m_linkCheck, &LinkCheckSession::cancel);
    connect(m_linkCheck, &LinkCheckSession::statusMessage, this, &MainWindow::setMessageText);
    connect(m_linkCheck, &LinkCheckSession::runningChanged, this, &MainWindow::updateActions);
    connect(m_actionShowLastCheck, &QAction::triggered, m_linkCheck,
            &LinkCheckSession::showLastResults);
    connect(m_linkCheck, &LinkCheckSession::lastResultsChanged, this, &MainWindow::updateActions);
    // A command may change what the others depend on.
    for (QAction* action : findChildren<QAction*>(Qt::FindDirectChildrenOnly))
        connect(action, &QAction::triggered, this, &MainWindow::updateActions,
                Qt::QueuedConnection);

    connect(m_actionUndo, &QAction::triggered, &document, &ProjectDocument::undo);
    connect(m_actionRedo, &QAction::triggered, &document, &ProjectDocument::redo);
    connect(&document, &ProjectDocument::stateChanged, this, &MainWindow::updateActions);
    connect(&document, &ProjectDocument::stateChanged, this, &MainWindow::updateTitle);

    m_fileController.setDialogParent(this);
    m_fileController.setCheckFields([this] { m_form->checkFields(); });
    connect(&m_fileController, &ProjectFileController::saved, &document,
            &ProjectDocument::markSaved);
    connect(&m_fileController, &ProjectFileController::titleChanged, this,
            &MainWindow::updateTitle);
    connect(&m_fileController, &ProjectFileController::recentFilesChanged, this,
            &MainWindow::updateRecentFileMenu);
    connect(&m_fileController, &ProjectFileController::projectReplaced, this,
            &MainWindow::onProjectReplaced);
    connect(&m_fileController, &ProjectFileController::statusMessage, this,
            &MainWindow::setMessageText);
    connect(&m_fileController, &ProjectFileController::activateRequested, this, [this] {
        if (isMinimized())
            showNormal();
        raise();
        activateWindow();
    });

    connect(qApp, &QApplication::focusChanged, this, &MainWindow::onFocusChanged);
    if (QClipboard* clipboard = QApplication::clipboard())
        connect(clipboard, &QClipboard::dataChanged, this, &MainWindow::updateActions);
    qApp->installEventFilter(this);

    updateTitle();
    updateRecentFileMenu();
    updateActions();
}

MainWindow::~MainWindow() {
    // Tearing the window down moves the focus and hides the form: nothing of
    // that may call back into this half-destroyed frame.
    qApp->removeEventFilter(this);
    disconnect(qApp, nullptr, this, nullptr);
    if (QClipboard* clipboard = QApplication::clipboard())
        disconnect(clipboard, nullptr, this, nullptr);
    disconnect(&m_fileController, nullptr, this, nullptr);
    disconnect(m_form, nullptr, this, nullptr);
    m_fileController.setDialogParent(nullptr);
    m_fileController.setCheckFields({});
}

QAction* MainWindow::action(const QString& objectName) const {
    return findChild<QAction*>(objectName, Qt::FindDirectChildrenOnly);
}

QAction* MainWindow::makeAction(const char* name, const QString& text, const QString& prompt,
                                const QList<QKeySequence>& keys) {
    auto* action = new QAction(text, this);
    action->setObjectName(QLatin1String(name));
    action->setStatusTip(promptPart(prompt));
    const QString tip = tipPart(prompt);
    if (!tip.isEmpty())
        action->setToolTip(tip);
    if (!keys.isEmpty())
        action->setShortcuts(keys);
    for (const QKeySequence& k : keys)
        m_acceleratorKeys.insert(k[0].toCombined());
    // Menus show texts only; the pictures belong to the toolbar.
    action->setIconVisibleInMenu(false);
    return action;
}

void MainWindow::createActions() {
    using K = QKeySequence;
    // Status-bar prompts and tooltips: the text before the line feed is the
    // prompt, the text after it the tooltip.
    m_actionNew = makeAction("actionNew", tr("&New"), tr("Create a new project\nNew Project"),
                             {K(Qt::CTRL | Qt::Key_N)});
    m_actionOpen =
        makeAction("actionOpen", tr("&Open..."), tr("Open an existing Project\nOpen Project"),
                   {K(Qt::CTRL | Qt::Key_O)});
    m_actionSave =
        makeAction("actionSave", tr("&Save"), tr("Save the current project\nSave Project"),
                   {K(Qt::CTRL | Qt::Key_S)});
    m_actionSaveAs = makeAction("actionSaveAs", tr("Save &As..."),
                                tr("Save the active document with a new name\nSave As"));
    m_actionImportBookmarks =
        makeAction("actionImportBookmarks", tr("&Import Bookmarks..."),
                   tr("Import a browser's bookmarks into the groups\nImport Bookmarks"));
    m_actionExportBookmarks =
        makeAction("actionExportBookmarks", tr("&Export Bookmarks..."),
                   tr("Save the groups as a bookmark file for browsers\nExport Bookmarks"));
    connect(m_actionImportBookmarks, &QAction::triggered, this, &MainWindow::importBookmarks);
    connect(m_actionExportBookmarks, &QAction::triggered, this, &MainWindow::exportBookmarks);
    const char* const recentNames[] = {"actionRecentFile1", "actionRecentFile2",
                                       "actionRecentFile3", "actionRecentFile4"};
    for (int i = 0; i < 4; ++i) {
        QAction* recent = makeAction(recentNames[i], tr("Recent File"), tr("Open this document"));
        connect(recent, &QAction::triggered, this,
                [this, i] { m_fileController.openRecentFile(i); });
        m_recentActions.append(recent);
    }
    m_actionExit = makeAction("actionExit", tr("E&xit"),
                              tr("Quit the application; prompts to save documents\nExit"));

    m_actionUndo = makeAction("actionUndo", tr("&Undo"), tr("Undo the last change\nUndo"),
                              {K(Qt::CTRL | Qt::Key_Z), K(Qt::ALT | Qt::Key_Backspace)});
    m_actionRedo =
        makeAction("actionRedo", tr("&Redo"), tr("Do the change undone last again\nRedo"),
                   {K(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), K(Qt::CTRL | Qt::Key_Y)});
    m_actionCut = makeAction("actionCut", tr("Cu&t"),
                             tr("Cut the selection and put it on the Clipboard\nCut"),
                             {K(Qt::CTRL | Qt::Key_X), K(Qt::SHIFT | Qt::Key_Delete)});
    m_actionCopy = makeAction("actionCopy", tr("&Copy"),
                              tr("Copy current group's URLs to the clipboard\nCopy URLs"),
                              {K(Qt::CTRL | Qt::Key_C), K(Qt::CTRL | Qt::Key_Insert)});
    m_actionPaste =
        makeAction("actionPaste", tr("&Paste"),
                   tr("Insert URLs in the Clipboard into the current group\nPaste URLs"),
                   {K(Qt::CTRL | Qt::Key_V), K(Qt::SHIFT | Qt::Key_Insert)});
    // Del belongs to the link list itself; the menu only names it.
    m_actionDelete = makeAction("actionDelete", tr("&Delete\tDel"), QString());
    m_actionDeleteLink = makeAction("actionDeleteLink", tr("&Delete\tDel"),
                                    tr("Remove an entry from the list of links\nDelete Link"));
    m_actionAddLink = makeAction("actionAddLink", tr("&Add..."),
                                 tr("Add an entry to the list of links\nAdd Link"));
    m_actionGroupProperties = makeAction("actionGroupProperties", tr("&Group Properties"),
                                         tr("Configure the properties for the current group."));
    m_actionLinkProperties = makeAction("actionLinkProperties", tr("&Link Properties"),
                                        tr("Configure properties for the current link."));
    m_actionGenerate = makeAction("actionGenerate", tr("&Generate..."),
                                  tr("Generate a new start page\nGenerate Start Page"));
    m_actionPreview =
        makeAction("actionPreview", tr("&Preview"),
                   tr("Preview a sample of the current start page\nPreview Start Page"));
    m_actionPageStyle = makeAction(
        "actionPageStyle", tr("Page St&yle..."),
        tr("Choose the classic page or the modern one, with its theme, filter and icons\nPage "
           "Style"));
    m_actionCheckLinks =
        makeAction("actionCheckLinks", tr("&Check Links"),
                   tr("Ask the servers of every link whether the pages are still there\nCheck "
                      "Links"));
    m_actionFindDuplicates =
        makeAction("actionFindDuplicates", tr("Find &Duplicate Links"),
                   tr("List the links that lead to the same place\nFind Duplicate "
                      "Links"));
    m_actionShowLastCheck =
        makeAction("actionShowLastCheck", tr("Show &Last Link Check"),
                   tr("Open the results of the last link check again\nShow Last Link Check"));
    m_actionShowLastCheck->setEnabled(false);
    m_actionCancelCheck = makeAction("actionCancelCheck", tr("Cancel Link Check"),
                                     tr("Stop the link check"), {K(Qt::Key_Escape)});
    m_actionCancelCheck->setEnabled(false);
    m_actionHelpContents = makeAction("actionHelpContents", tr("&Contents"),
                                      tr("Display help file contents\nHelp Contents"));
    m_actionOpenExample = makeAction("actionOpenExample", tr("Open &Example Project"),
                                     tr("Open a copy of the example project as a new project"));
    m_actionAbout =
        makeAction("actionAbout", tr("&About Linkfold..."),
                   tr("Display program information, version number and copyright\nAbout"));

    connect(m_actionNew, &QAction::triggered, &m_fileController,
            &ProjectFileController::newProject);
    connect(m_actionOpen, &QAction::triggered, &m_fileController, &ProjectFileController::open);
    connect(m_actionSave, &QAction::triggered, &m_fileController, &ProjectFileController::save);
    connect(m_actionSaveAs, &QAction::triggered, &m_fileController, &ProjectFileController::saveAs);
    connect(m_actionExit, &QAction::triggered, this, &MainWindow::close);
    connect(m_actionHelpContents, &QAction::triggered, this, &MainWindow::helpContents);
    connect(m_actionOpenExample, &QAction::triggered, this, &MainWindow::openExampleProject);
    connect(m_actionAbout, &QAction::triggered, this, &MainWindow::about);

    // Keys of commands nothing carries out: they are taken and do nothing.
    QAction* next = makeAction("actionNextPane", tr("Next Pane"), QString(), {K(Qt::Key_F6)});
    QAction* prev = makeAction("actionPreviousPane", tr("Previous Pane"), QString(),
                               {K(Qt::SHIFT | Qt::Key_F6)});
    // F1 in the window opens the contents; each property dialog opens its own page.
    QAction* f1 = makeAction("actionHelp", tr("Help"), QString(), {K(Qt::Key_F1)});
    connect(f1, &QAction::triggered, this, &MainWindow::helpContents);
    // F10 opens the first menu, as on other desktop programs; the arrows go on
    // from there.
    QAction* f10 = makeAction("actionMenuBar", tr("Menu Bar"), QString(), {K(Qt::Key_F10)});
    connect(f10, &QAction::triggered, this, [this] {
        const QList<QAction*> menus = menuBar()->actions();
        if (!menus.isEmpty())
            menuBar()->setActiveAction(menus.first());
    });
    addActions({next, prev, f1, f10, m_actionCancelCheck});

    const QList<QPair<QAction*, QString>> icons = {
        {m_actionNew, QStringLiteral("new")},
        {m_actionOpen, QStringLiteral("open")},
        {m_actionSave, QStringLiteral("save")},
        {m_actionAddLink, QStringLiteral("add")},
        {m_actionDeleteLink, QStringLiteral("delete")},
        {m_actionUndo, QStringLiteral("undo")},
        {m_actionRedo, QStringLiteral("redo")},
        {m_actionGenerate, QStringLiteral("generate")},
        {m_actionPreview, QStringLiteral("preview")},
        {m_actionHelpContents, QStringLiteral("help")},
    };
    for (const auto& [action, name] : icons)
        action->setIcon(QIcon(QStringLiteral(":/toolbar/%1.svg").arg(name)));
}

void MainWindow::createMenus() {
    auto menu = [this](const char* name, const QString& title, const QList<QAction*>& actions) {
        QMenu* m = menuBar()->addMenu(title);
        m->setObjectName(QLatin1String(name));
        for (QAction* action : actions) {
            if (!action)
                m->addSeparator();
            else
                m->addAction(action);
        }
        connect(m, &QMenu::aboutToShow, this, &MainWindow::updateActions);
        // Leaving a menu with Escape leaves the menu bar too.
        connect(m, &QMenu::aboutToHide, this,
                [this] { QTimer::singleShot(0, this, &MainWindow::giveFocusBackFromMenuBar); });
        return m;
    };
    QMenu* project = menu("menuProject", tr("&Project"),
                          {m_actionNew, m_actionOpen, m_actionSave, m_actionSaveAs, nullptr,
                           m_actionImportBookmarks, m_actionExportBookmarks, nullptr});
    // Display names depend on the current folder: refresh them as the menu opens.
    connect(project, &QMenu::aboutToShow, this, &MainWindow::updateRecentFileMenu);
    project->addActions(m_recentActions);
    project->addSeparator();
    project->addAction(m_actionExit);
    menu("menuEdit", tr("&Edit"),
         {m_actionUndo, m_actionRedo, nullptr, m_actionCut, m_actionCopy, m_actionPaste,
          m_actionDelete, nullptr, m_actionAddLink, m_actionGroupProperties,
          m_actionLinkProperties});
    menu("menuPage", tr("&Page"),
         {m_actionGenerate, m_actionPreview, m_actionPageStyle, nullptr, m_actionCheckLinks,
          m_actionShowLastCheck, m_actionFindDuplicates});
    menu("menuHelp", tr("&Help"),
         {m_actionHelpContents, m_actionOpenExample, nullptr, m_actionAbout});
}

void MainWindow::createToolBar() {
    m_toolBar = new QToolBar(tr("Toolbar"), this);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setIconSize(QSize(24, 20));
    m_toolBar->setMovable(true);
    m_toolBar->setFloatable(true);
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    for (QAction* action :
         {m_actionNew, m_actionOpen, m_actionSave, (QAction*)nullptr, m_actionUndo, m_actionRedo,
          (QAction*)nullptr, m_actionAddLink, m_actionDeleteLink, (QAction*)nullptr,
          m_actionGenerate, m_actionPreview, (QAction*)nullptr, m_actionHelpContents}) {
        if (!action)
            m_toolBar->addSeparator();
        else
            addToolBarButton(action);
    }
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    // Docking on another edge or floating changes what the form needs; the
    // window's layout settles first.
    connect(m_toolBar, &QToolBar::topLevelChanged, this,
            [this] { QTimer::singleShot(0, this, &MainWindow::fitToContents); });
    connect(m_toolBar, &QToolBar::orientationChanged, this,
            [this] { QTimer::singleShot(0, this, &MainWindow::fitToContents); });
    // The end of a drag settles where the bar stays.
    m_toolBar->installEventFilter(this);
}

void MainWindow::addToolBarButton(QAction* action) {
    m_toolBar->addAction(action);
    // A screen reader names the button by its tooltip ("Delete Link"), not
    // by the menu text with its shortcut ("Delete\tDel") and mnemonic.
    QString name = action->toolTip();
    if (name.isEmpty()) {
        name = action->text().section(QLatin1Char('\t'), 0, 0);
        name.remove(QLatin1Char('&'));
    }
    if (QWidget* button = m_toolBar->widgetForAction(action))
        button->setAccessibleName(name);
}

void MainWindow::createStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    bar->setSizeGripEnabled(false);
    const char* const names[3] = {QT_TR_NOOP("CAP"), QT_TR_NOOP("NUM"), QT_TR_NOOP("SCRL")};
    for (int i = 0; i < 3; ++i) {
        m_indicators[i] = new QLabel(tr(names[i]), bar);
        m_indicators[i]->setObjectName(QStringLiteral("indicator%1").arg(QLatin1String(names[i])));
        m_indicators[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        m_indicators[i]->setAlignment(Qt::AlignCenter);
        bar->addPermanentWidget(m_indicators[i]);
    }
    setMessageText(QString());
    updateKeyIndicators();
}

void MainWindow::updateKeyIndicators() {
    const KeyLockState state = queryKeyLockState();
    const bool on[3] = {state.capsLock, state.numLock, state.scrollLock};
    for (int i = 0; i < 3; ++i)
        m_indicators[i]->setVisible(state.known && on[i]);
}

void MainWindow::setMessageText(const QString& text) {
    statusBar()->showMessage(text.isEmpty() ? QString::fromLatin1(kIdleMessage) : text);
}

QString MainWindow::messageText() const {
    return statusBar()->currentMessage();
}

void MainWindow::updateTitle() {
    QString title = m_fileController.windowTitleText();
    // "[*]" would be read as the modified placeholder; show it as written.
    title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(title);
}

void MainWindow::updateRecentFileMenu() {
    const RecentFileList& list = m_fileController.recentFiles();
    QString curDir = QDir::currentPath();
    if (!curDir.endsWith(QLatin1Char('/')))
        curDir += QLatin1Char('/');
    const std::string cur = toFileNameBytes(curDir);
    bool ended = false;
    for (int i = 0; i < m_recentActions.size(); ++i) {
        QAction* action = m_recentActions[i];
        const auto name = ended ? std::nullopt : list.displayName(i, cur);
        if (name) {
            QString shown = fromFileNameBytes(*name);
            shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
            action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
            action->setEnabled(true);
            action->setVisible(true);
            continue;
        }
        ended = true;
        // The first slot stays as the greyed "Recent file" item.
        action->setText(tr("Recent File"));
        action->setEnabled(false);
        action->setVisible(i == 0);
    }
}

void MainWindow::updateActions() {
    if (!m_form)
        return;
    const int selected = m_form->selectedLinkCount();
    m_actionCut->setEnabled(m_form->canCut());
    m_actionCopy->setEnabled(m_form->canCopy());
    m_actionPaste->setEnabled(m_form->canPaste());
    m_actionDelete->setEnabled(selected > 0);
    m_actionDeleteLink->setEnabled(selected > 0);
    m_actionLinkProperties->setEnabled(selected == 1);
    // Undo and Redo name the step they would take back or do again.
    const bool canUndo = m_document.canUndo();
    const bool canRedo = m_document.canRedo();
    m_actionUndo->setEnabled(canUndo);
    m_actionRedo->setEnabled(canRedo);
    const QString undo = canUndo ? tr("Undo %1").arg(m_document.undoText()) : tr("Undo");
    const QString redo = canRedo ? tr("Redo %1").arg(m_document.redoText()) : tr("Redo");
    const auto escaped = [](QString name) { return name.replace(QLatin1Char('&'), "&&"); };
    m_actionUndo->setText(canUndo ? tr("&Undo %1").arg(escaped(m_document.undoText()))
                                  : tr("&Undo"));
    m_actionRedo->setText(canRedo ? tr("&Redo %1").arg(escaped(m_document.redoText()))
                                  : tr("&Redo"));
    m_actionUndo->setToolTip(undo);
    m_actionRedo->setToolTip(redo);
    // Escape cancels a check only while one runs; otherwise it is the widgets'.
    m_actionCancelCheck->setEnabled(m_linkCheck && m_linkCheck->isRunning());
    m_actionShowLastCheck->setEnabled(m_linkCheck && m_linkCheck->hasLastResults());
    // Add, Group Properties, Generate and Preview are always available.
}

void MainWindow::onFocusChanged(QWidget* from, QWidget* to) {
    if (to && to == menuBar() && from && from->window() == this)
        m_focusBeforeMenuBar = from;
    updateActions();
}

void MainWindow::giveFocusBackFromMenuBar() {
    // A menu closed and no other opened in its place (Escape, or a command
    // chosen): the keyboard goes back to where it was before the menu bar.
    if (QApplication::activePopupWidget() || QApplication::focusWidget() != menuBar())
        return;
    if (m_focusBeforeMenuBar && m_focusBeforeMenuBar->isVisible() &&
        m_focusBeforeMenuBar->isEnabled())
        m_focusBeforeMenuBar->setFocus(Qt::MenuBarFocusReason);
}

QString MainWindow::exampleProjectPath() {
    const QString appDir = QCoreApplication::applicationDirPath();
    for (const QString& candidate :
         {appDir + QStringLiteral("/examples/example.lfp"),
          appDir + QStringLiteral("/../examples/example.lfp"),
          appDir + QStringLiteral("/../share/linkfold/examples/example.lfp")}) {
        if (QFileInfo(candidate).isFile())
            return QDir::cleanPath(candidate);
    }
    return {};
}

void MainWindow::openExampleProject() {
    const QString path = exampleProjectPath();
    if (path.isEmpty()) {
        showError(this, tr("The example project was not found."));
        return;
    }
    m_fileController.openCopyAsUntitled(path);
}

void MainWindow::importBookmarks() {
    ImportBookmarksDialog::Input input;
    input.profiles = findBrowserProfiles(toFileNameBytes(QDir::homePath()));
    input.groups = existingGroups(m_doc);
    const std::optional<ImportPlan> plan = ImportBookmarksDialog::edit(this, input);
    if (!plan)
        return;
    // The import is one step: the groups it touches as they were, then as
    // they became.
    std::vector<GroupsCommand::Snapshot> before;
    for (const GroupImport& change : plan->groups)
        if (change.group >= 0 && change.group < m_doc.groupCount())
            before.push_back(GroupsCommand::snapshot(m_doc, change.group));
    // Show the first group that received links, as a click on its tab would.
    int first = -1;
    for (const GroupImport& change : plan->groups)
        if (!change.links.empty() && (first < 0 || change.group < first))
            first = change.group;
    const bool modified = m_doc.isModified();
    if (applyImportPlan(*plan, m_doc)) {
        m_form->document()->push(new GroupsCommand(m_doc, tr("Import Bookmarks"), std::move(before),
                                                   first >= 0 ? first : m_form->currentTab()));
    } else {
        m_doc.setModified(modified);
    }
    updateTitle();
    updateActions();
    UiServices::instance().messageBox(this, tr("Imported: %1.").arg(toQString(plan->summary())),
                                      QMessageBox::Information, QMessageBox::Ok);
}

void MainWindow::exportBookmarks() {
    UiServices::FileDialogOptions options;
    options.title = tr("Export Bookmarks");
    options.filters = {tr("Bookmark HTML (*.html)"), tr("XBEL (*.xbel)")};
    options.defaultSuffix = QStringLiteral("html");
    if (!m_doc.filePath().empty()) {
        const QFileInfo project(fromFileNameBytes(m_doc.filePath()));
        options.initialPath =
            project.dir().filePath(project.completeBaseName() + QStringLiteral(".html"));
    }
    const QString name = UiServices::instance().getSaveFileName(this, options);
    if (name.isEmpty())
        return;
    const std::string path = toFileNameBytes(name);
    if (!m_doc.filePath().empty() && isSameFile(path, m_doc.filePath())) {
        showError(this, tr("%1 is the project itself; the bookmarks were not written "
                           "over it.")
                            .arg(name));
        return;
    }
    const FileResult written = writeBookmarkExport(m_doc, path, bookmarkFileKindForName(path));
    if (!written.ok())
        showError(this, translatedFileError(fileErrorText(written)));
}

void MainWindow::helpContents() {
    help::launchHelp(this, help::Page::Contents);
}

void MainWindow::about() {
    AboutDialog dlg(this);
    UiServices::instance().execDialog(dlg);
}

void MainWindow::onProjectReplaced() {
    m_linkCheck->projectReplaced();
    m_form->loadFromProject();
    if (isVisible())
        fitToContents();
    updateActions();
}

void MainWindow::fitToContents() {
    if (layout())
        layout()->activate();
    const QSize form = m_form->sizeHint().isValid() ? m_form->sizeHint() : m_form->minimumSize();
    QSize size = sizeHint();
    if (m_toolBar->isFloating()) {
        // A floating toolbar is a window of its own: the window is the form
        // and the menu and status bars, whatever room the layout still keeps
        // for the bar while it is dragged.
        const QWidget* menu = menuWidget();
        const int bars = (menu && !menu->isHidden() ? menu->sizeHint().height() : 0) +
                         (statusBar()->isHidden() ? 0 : statusBar()->sizeHint().height());
        size = QSize(form.width(), form.height() + bars);
    }
    if (form.isEmpty()) {
        // The form has no size of its own: give the client area one.
        size = QSize(std::max(size.width(), kEmptyFormSize.width()),
                     size.height() + kEmptyFormSize.height());
    }
    // The form at its classic size plus the bars docked around it is the
    // window's first size and its least. A window the user has not enlarged
    // keeps fitting it (a toolbar docked elsewhere); a larger one keeps its
    // size, and the form gives the link list the extra room.
    const bool fitting = !m_fitted || this->size() == m_fittedSize || width() < size.width() ||
                         height() < size.height();
    if (fitting && !isMaximized() && !isFullScreen())
        setFixedSize(size); // the size, whatever room the layout would keep
    setMinimumSize(size);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    m_fittedSize = this->size();
    m_fitted = true;
}

void MainWindow::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    // Grown by its layout alone (a toolbar docked at its side), the window
    // still fits its contents; only a size beyond that is the user's.
    const QSize need = layout() ? layout()->minimumSize() : QSize();
    const QSize grown = e->size() - m_fittedSize;
    const QSize needGrown = need - m_lastNeed;
    if (grown.width() <= std::max(0, needGrown.width()) &&
        grown.height() <= std::max(0, needGrown.height()))
        m_fittedSize = e->size();
    m_lastNeed = need;
}

void MainWindow::showEvent(QShowEvent* e) {
    if (!m_fitted)
        fitToContents();
    QMainWindow::showEvent(e);
    updateKeyIndicators();
}

bool MainWindow::event(QEvent* e) {
    if (e->type() == QEvent::StatusTip) {
        setMessageText(static_cast<QStatusTipEvent*>(e)->tip());
        return true;
    }
    if (e->type() == QEvent::WindowActivate)
        updateKeyIndicators();
    return QMainWindow::event(e);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
    const QEvent::Type type = e->type();
    if (watched == m_toolBar && type == QEvent::MouseButtonRelease)
        QTimer::singleShot(0, this, &MainWindow::fitToContents);
    if (type == QEvent::ShortcutOverride || type == QEvent::KeyPress ||
        type == QEvent::KeyRelease) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this) {
            auto* key = static_cast<QKeyEvent*>(e);
            if (type == QEvent::ShortcutOverride) {
                if (isInertKey(key->keyCombination())) {
                    // Keep text fields from taking the key; the inert
                    // accelerator swallows it.
                    e->ignore();
                    return true;
                }
                // Undo and Redo are the document's wherever the keyboard
                // is: a text field's typing is already a step there, so the
                // field keeps no second history of its own.
                const QKeyCombination plain(key->modifiers() & ~Qt::KeypadModifier,
                                            Qt::Key(key->key()));
                const QKeySequence pressed(plain);
                if (m_actionUndo->shortcuts().contains(pressed) ||
                    m_actionRedo->shortcuts().contains(pressed) ||
                    pressed.matches(QKeySequence::Undo) == QKeySequence::ExactMatch ||
                    pressed.matches(QKeySequence::Redo) == QKeySequence::ExactMatch) {
                    updateActions();
                    e->ignore();
                    return true;
                }
                // The enable states are current before an accelerator runs.
                const QKeyCombination k(key->modifiers() & ~Qt::KeypadModifier,
                                        Qt::Key(key->key()));
                if (m_acceleratorKeys.contains(k.toCombined()))
                    updateActions();
            } else if (key->key() == Qt::Key_CapsLock || key->key() == Qt::Key_NumLock ||
                       key->key() == Qt::Key_ScrollLock) {
                updateKeyIndicators();
            }
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (!m_fileController.maybeSave()) {
        e->ignore();
        return;
    }
    e->accept();
}
