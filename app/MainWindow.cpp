#include "app/MainWindow.h"

#include "app/AboutDialog.h"
#include "app/KeyLockState.h"
#include "app/ProjectFileController.h"
#include "app/RecentFileList.h"
#include "core/Project.h"
#include "editor/ProjectForm.h"
#include "gui/CommandIds.h"
#include "gui/HelpLauncher.h"
#include "gui/Resources.h"
#include "gui/UiServices.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>

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

// Keys taken by commands that nothing carries out (Undo, Next and Previous
// Pane): they do nothing, also while a text field has the focus.
bool isInertKey(QKeyCombination k) {
    const QKeyCombination inert[] = {
        QKeyCombination(Qt::ControlModifier, Qt::Key_Z),
        QKeyCombination(Qt::AltModifier, Qt::Key_Backspace),
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

QString commandPromptString(int id) {
    using namespace cmd;
    switch (id) {
    case ID_FILE_NEW:
        return QStringLiteral("Create a new project\nNew Project");
    case ID_FILE_OPEN:
        return QStringLiteral("Open an existing Project\nOpen Project");
    case ID_FILE_SAVE:
        return QStringLiteral("Save the current project\nSave Project");
    case ID_FILE_SAVE_AS:
        return QStringLiteral("Save the active document with a new name\nSave As");
    case ID_FILE_MRU_FILE1:
    case ID_FILE_MRU_FILE1 + 1:
    case ID_FILE_MRU_FILE1 + 2:
    case ID_FILE_MRU_FILE1 + 3:
        return QStringLiteral("Open this document");
    case ID_APP_EXIT:
        return QStringLiteral("Quit the application; prompts to save documents\nExit");
    case ID_EDIT_CUT:
        return QStringLiteral("Cut the selection and put it on the Clipboard\nCut");
    case ID_EDIT_COPY:
        return QStringLiteral("Copy current group's URLs to the clipboard\nCopy URLs");
    case ID_EDIT_PASTE:
        return QStringLiteral("Insert URLs in the Clipboard into the current group\nPaste URLs");
    case ID_ADD_LINK:
        return QStringLiteral("Add an entry to the list of links\nAdd Link");
    case ID_DELETE_LINK:
        return QStringLiteral("Remove an entry from the list of links\nDelete Link");
    case ID_GROUP_PROPERTIES:
        return QStringLiteral("Configure the properties for the current group.");
    case ID_LINK_PROPERTIES:
        return QStringLiteral("Configure properties for the current link.");
    case ID_PAGE_GENERATE:
        return QStringLiteral("Generate a new start page\nGenerate Start Page");
    case ID_PAGE_PREVIEW:
        return QStringLiteral("Preview a sample of the current start page\nPreview Start Page");
    case ID_HELP_CONTENTS:
        return QStringLiteral("Display help file contents\nHelp Contents");
    case ID_APP_ABOUT:
        return QStringLiteral("Display program information, version number and copyright\nAbout");
    default:
        return {};
    }
}

MainWindow::MainWindow(ProjectFileController& docManager, QWidget* parent)
    : QMainWindow(parent), m_docManager(docManager), m_doc(docManager.project()) {
    initLinkfoldResources();
    setObjectName(QStringLiteral("CMainFrame"));
    // No sizing border and no maximize box; minimize and close stay.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon(QStringLiteral(":/icons/linkfold.svg")));
    setDockOptions(QMainWindow::AnimatedDocks);

    createActions();
    createMenus();
    createToolBar();
    createStatusBar();

    m_form = new ProjectForm(&m_doc, this);
    setCentralWidget(m_form);
    connect(m_form, &ProjectForm::statusMessage, this, &MainWindow::setMessageText);
    connect(m_form, &ProjectForm::commandStateChanged, this, &MainWindow::updateCommandUI);

    m_docManager.setDialogParent(this);
    m_docManager.setCommitEdits([this] { m_form->commitEdits(); });
    connect(&m_docManager, &ProjectFileController::titleChanged, this, &MainWindow::updateTitle);
    connect(&m_docManager, &ProjectFileController::recentFilesChanged, this,
            &MainWindow::updateRecentFileMenu);
    connect(&m_docManager, &ProjectFileController::documentReplaced, this,
            &MainWindow::onDocumentReplaced);
    connect(&m_docManager, &ProjectFileController::activateRequested, this, [this] {
        if (isMinimized())
            showNormal();
        raise();
        activateWindow();
    });

    connect(qApp, &QApplication::focusChanged, this, &MainWindow::updateCommandUI);
    if (QClipboard* clipboard = QApplication::clipboard())
        connect(clipboard, &QClipboard::dataChanged, this, &MainWindow::updateCommandUI);
    qApp->installEventFilter(this);

    updateTitle();
    updateRecentFileMenu();
    updateCommandUI();
}

MainWindow::~MainWindow() {
    // Tearing the window down moves the focus and hides the form: nothing of
    // that may call back into this half-destroyed frame.
    qApp->removeEventFilter(this);
    disconnect(qApp, nullptr, this, nullptr);
    if (QClipboard* clipboard = QApplication::clipboard())
        disconnect(clipboard, nullptr, this, nullptr);
    disconnect(&m_docManager, nullptr, this, nullptr);
    disconnect(m_form, nullptr, this, nullptr);
    m_docManager.setDialogParent(nullptr);
    m_docManager.setCommitEdits({});
}

QAction* MainWindow::addAction(int id, const QString& text, const QString& prompt,
                               const QList<QKeySequence>& keys) {
    auto* action = new QAction(text, this);
    action->setObjectName(QStringLiteral("cmd%1").arg(id));
    action->setData(id);
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
    connect(action, &QAction::triggered, this, [this, id] { onCommand(id); });
    m_actions.insert(id, action);
    return action;
}

void MainWindow::createActions() {
    using namespace cmd;
    using K = QKeySequence;
    auto add = [this](int id, const QString& text, const QList<QKeySequence>& keys = {}) {
        return addAction(id, text, commandPromptString(id), keys);
    };
    add(ID_FILE_NEW, QStringLiteral("&New"), {K(Qt::CTRL | Qt::Key_N)});
    add(ID_FILE_OPEN, QStringLiteral("&Open..."), {K(Qt::CTRL | Qt::Key_O)});
    add(ID_FILE_SAVE, QStringLiteral("&Save"), {K(Qt::CTRL | Qt::Key_S)});
    add(ID_FILE_SAVE_AS, QStringLiteral("Save &As..."));
    for (int i = 0; i < 4; ++i)
        m_recentActions.append(add(ID_FILE_MRU_FILE1 + i, QStringLiteral("Recent File")));
    add(ID_APP_EXIT, QStringLiteral("E&xit"));

    add(ID_EDIT_CUT, QStringLiteral("Cut"),
        {K(Qt::CTRL | Qt::Key_X), K(Qt::SHIFT | Qt::Key_Delete)});
    add(ID_EDIT_COPY, QStringLiteral("&Copy"),
        {K(Qt::CTRL | Qt::Key_C), K(Qt::CTRL | Qt::Key_Insert)});
    add(ID_EDIT_PASTE, QStringLiteral("&Paste"),
        {K(Qt::CTRL | Qt::Key_V), K(Qt::SHIFT | Qt::Key_Insert)});
    // Del belongs to the link list itself; the menu only names it.
    add(ID_EDIT_DELETE, QStringLiteral("&Delete\tDel"));
    add(ID_DELETE_LINK, QStringLiteral("&Delete\tDel"));
    add(ID_ADD_LINK, QStringLiteral("&Add..."));
    add(ID_GROUP_PROPERTIES, QStringLiteral("&Group Properties"));
    add(ID_LINK_PROPERTIES, QStringLiteral("&Link Properties"));
    add(ID_PAGE_GENERATE, QStringLiteral("&Generate..."));
    add(ID_PAGE_PREVIEW, QStringLiteral("&Preview"));
    add(ID_HELP_CONTENTS, QStringLiteral("&Contents"));
    add(ID_APP_ABOUT, QStringLiteral("&About Linkfold..."));

    // Accelerators of commands nothing carries out: the keys are taken and
    // do nothing.
    QAction* undo = add(ID_EDIT_UNDO, QStringLiteral("Undo"),
                        {K(Qt::CTRL | Qt::Key_Z), K(Qt::ALT | Qt::Key_Backspace)});
    QAction* next = add(ID_NEXT_PANE, QStringLiteral("Next Pane"), {K(Qt::Key_F6)});
    QAction* prev = add(ID_PREV_PANE, QStringLiteral("Previous Pane"), {K(Qt::SHIFT | Qt::Key_F6)});
    addActions({undo, next, prev});

    const QList<QPair<int, QString>> icons = {
        {ID_FILE_NEW, QStringLiteral("new")},
        {ID_FILE_OPEN, QStringLiteral("open")},
        {ID_FILE_SAVE, QStringLiteral("save")},
        {ID_ADD_LINK, QStringLiteral("add")},
        {ID_DELETE_LINK, QStringLiteral("delete")},
        {ID_PAGE_GENERATE, QStringLiteral("generate")},
        {ID_PAGE_PREVIEW, QStringLiteral("preview")},
        {ID_HELP_CONTENTS, QStringLiteral("help")},
    };
    for (const auto& [id, name] : icons)
        m_actions[id]->setIcon(QIcon(QStringLiteral(":/toolbar/%1.svg").arg(name)));
}

void MainWindow::createMenus() {
    using namespace cmd;
    auto menu = [this](const QString& title, const QList<int>& ids) {
        QMenu* m = menuBar()->addMenu(title);
        for (int id : ids) {
            if (id == 0)
                m->addSeparator();
            else
                m->addAction(m_actions[id]);
        }
        connect(m, &QMenu::aboutToShow, this, &MainWindow::updateCommandUI);
        return m;
    };
    QMenu* project = menu(QStringLiteral("&Project"),
                          {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, 0});
    project->setObjectName(QStringLiteral("menuProject"));
    // Display names depend on the current folder: refresh them as the menu opens.
    connect(project, &QMenu::aboutToShow, this, &MainWindow::updateRecentFileMenu);
    project->addActions(m_recentActions);
    project->addSeparator();
    project->addAction(m_actions[ID_APP_EXIT]);
    menu(QStringLiteral("&Edit"), {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_DELETE, 0,
                                   ID_ADD_LINK, ID_GROUP_PROPERTIES, ID_LINK_PROPERTIES})
        ->setObjectName(QStringLiteral("menuEdit"));
    menu(QStringLiteral("&Page"), {ID_PAGE_GENERATE, ID_PAGE_PREVIEW})
        ->setObjectName(QStringLiteral("menuPage"));
    menu(QStringLiteral("&Help"), {ID_HELP_CONTENTS, 0, ID_APP_ABOUT})
        ->setObjectName(QStringLiteral("menuHelp"));
}

void MainWindow::createToolBar() {
    using namespace cmd;
    m_toolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    m_toolBar->setObjectName(QStringLiteral("bar%1").arg(res::ID_VIEW_TOOLBAR));
    m_toolBar->setIconSize(QSize(24, 20));
    m_toolBar->setMovable(true);
    m_toolBar->setFloatable(true);
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    for (int id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_ADD_LINK, ID_DELETE_LINK, 0,
                   ID_PAGE_GENERATE, ID_PAGE_PREVIEW, 0, ID_HELP_CONTENTS}) {
        if (id == 0)
            m_toolBar->addSeparator();
        else
            m_toolBar->addAction(m_actions[id]);
    }
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    // Docking on another edge or floating changes what the form needs.
    connect(m_toolBar, &QToolBar::topLevelChanged, this, [this] { recalcLayout(); });
    connect(m_toolBar, &QToolBar::orientationChanged, this, [this] { recalcLayout(); });
}

void MainWindow::createStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("bar%1").arg(res::ID_VIEW_STATUS_BAR));
    bar->setSizeGripEnabled(false);
    const char* const names[3] = {"CAP", "NUM", "SCRL"};
    for (int i = 0; i < 3; ++i) {
        m_indicators[i] = new QLabel(QLatin1String(names[i]), bar);
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
    QString title = m_docManager.frameTitle();
    // "[*]" would be read as the modified placeholder; show it as written.
    title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(title);
}

void MainWindow::updateRecentFileMenu() {
    const RecentFileList& list = m_docManager.recentFiles();
    QString curDir = QDir::currentPath();
    if (!curDir.endsWith(QLatin1Char('/')))
        curDir += QLatin1Char('/');
    const std::string cur = QFile::encodeName(curDir).toStdString();
    bool ended = false;
    for (int i = 0; i < m_recentActions.size(); ++i) {
        QAction* action = m_recentActions[i];
        std::string name;
        if (!ended && i < list.size() && list.displayName(name, i, cur)) {
            QString shown = QFile::decodeName(QByteArray::fromStdString(name));
            shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
            action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
            action->setEnabled(true);
            action->setVisible(true);
            continue;
        }
        ended = true;
        // The first slot stays as the greyed "Recent file" item.
        action->setText(QStringLiteral("Recent File"));
        action->setEnabled(false);
        action->setVisible(i == 0);
    }
}

bool MainWindow::isRoutedToView(int id) const {
    using namespace cmd;
    switch (id) {
    case ID_EDIT_CUT:
    case ID_EDIT_COPY:
    case ID_EDIT_PASTE:
    case ID_EDIT_DELETE:
    case ID_DELETE_LINK:
    case ID_ADD_LINK:
    case ID_GROUP_PROPERTIES:
    case ID_LINK_PROPERTIES:
    case ID_PAGE_GENERATE:
    case ID_PAGE_PREVIEW:
        return true;
    default:
        return false;
    }
}

void MainWindow::updateCommandUI() {
    if (!m_form)
        return;
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        const int id = it.key();
        if (!isRoutedToView(id))
            continue;
        bool enabled = false;
        if (!m_form->isCommandEnabled(id, enabled))
            enabled = id == cmd::ID_PAGE_GENERATE || id == cmd::ID_PAGE_PREVIEW;
        it.value()->setEnabled(enabled);
    }
}

bool MainWindow::onCommand(int id) {
    using namespace cmd;
    QAction* action = m_actions.value(id);
    if (!action || !action->isEnabled())
        return false;
    switch (id) {
    case ID_FILE_NEW:
        m_docManager.onFileNew();
        return true;
    case ID_FILE_OPEN:
        m_docManager.onFileOpen();
        return true;
    case ID_FILE_SAVE:
        m_docManager.onFileSave();
        return true;
    case ID_FILE_SAVE_AS:
        m_docManager.onFileSaveAs();
        return true;
    case ID_APP_EXIT:
        close();
        return true;
    case ID_HELP_CONTENTS:
        help::launchHelp(this, help::kContents);
        return true;
    case ID_APP_ABOUT:
        onAbout();
        return true;
    case ID_EDIT_UNDO:
    case ID_NEXT_PANE:
    case ID_PREV_PANE:
        return true; // nothing carries these out
    default:
        break;
    }
    if (id >= ID_FILE_MRU_FILE1 && id < ID_FILE_MRU_FILE1 + 4) {
        m_docManager.onOpenRecentFile(id - ID_FILE_MRU_FILE1);
        return true;
    }
    const bool handled = m_form->onCommand(id);
    updateCommandUI();
    return handled;
}

void MainWindow::onAbout() {
    AboutDialog dlg(this);
    UiServices::instance().execDialog(dlg);
}

void MainWindow::onDocumentReplaced() {
    m_form->loadFromProject();
    if (isVisible())
        recalcLayout();
    updateCommandUI();
}

void MainWindow::recalcLayout() {
    if (layout())
        layout()->activate();
    QSize size = sizeHint();
    const QSize form = m_form->sizeHint().isValid() ? m_form->sizeHint() : m_form->minimumSize();
    if (form.isEmpty()) {
        // The form has no size of its own: give the client area one.
        size = QSize(std::max(size.width(), kEmptyFormSize.width()),
                     size.height() + kEmptyFormSize.height());
    }
    setFixedSize(size);
    m_fitted = true;
}

void MainWindow::showEvent(QShowEvent* e) {
    if (!m_fitted)
        recalcLayout();
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
                // The enable states are current before an accelerator runs.
                const QKeyCombination k(key->modifiers() & ~Qt::KeypadModifier,
                                        Qt::Key(key->key()));
                if (m_acceleratorKeys.contains(k.toCombined()))
                    updateCommandUI();
            } else if (key->key() == Qt::Key_CapsLock || key->key() == Qt::Key_NumLock ||
                       key->key() == Qt::Key_ScrollLock) {
                updateKeyIndicators();
            }
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (!m_docManager.saveModified()) {
        e->ignore();
        return;
    }
    e->accept();
}
