#include "app/MainFrame.h"

#include "app/AboutDlg.h"
#include "app/CommandIds.h"
#include "app/DocManager.h"
#include "app/HelpLauncher.h"
#include "app/KeyLockState.h"
#include "app/RecentFileList.h"
#include "app/Resources.h"
#include "app/UiServices.h"
#include "editor/LFView.h"
#include "model/LFDoc.h"

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

QString PromptPart(const QString& s) {
    return s.section(QLatin1Char('\n'), 0, 0);
}
QString TipPart(const QString& s) {
    return s.contains(QLatin1Char('\n')) ? s.section(QLatin1Char('\n'), 1) : QString();
}

// Keys taken by commands that nothing carries out (Undo, Next and Previous
// Pane): they do nothing, also while a text field has the focus.
bool IsInertKey(QKeyCombination k) {
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

QString CommandPromptString(int id) {
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

CMainFrame::CMainFrame(CDocManager& docManager, QWidget* parent)
    : QMainWindow(parent), m_docManager(docManager), m_doc(docManager.GetDocument()) {
    InitLinkfoldResources();
    setObjectName(QStringLiteral("CMainFrame"));
    // No sizing border and no maximize box; minimize and close stay.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon(QStringLiteral(":/icons/linkfold.svg")));
    setDockOptions(QMainWindow::AnimatedDocks);

    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();

    m_pView = new CLFView(&m_doc, this);
    setCentralWidget(m_pView);
    connect(m_pView, &CLFView::statusMessage, this, &CMainFrame::SetMessageText);
    connect(m_pView, &CLFView::commandStateChanged, this, &CMainFrame::UpdateCommandUI);

    m_docManager.SetDialogParent(this);
    connect(&m_docManager, &CDocManager::titleChanged, this, &CMainFrame::UpdateTitle);
    connect(&m_docManager, &CDocManager::recentFilesChanged, this,
            &CMainFrame::UpdateRecentFileMenu);
    connect(&m_docManager, &CDocManager::documentReplaced, this, &CMainFrame::OnDocumentReplaced);
    connect(&m_docManager, &CDocManager::activateRequested, this, [this] {
        if (isMinimized())
            showNormal();
        raise();
        activateWindow();
    });

    connect(qApp, &QApplication::focusChanged, this, &CMainFrame::UpdateCommandUI);
    if (QClipboard* clipboard = QApplication::clipboard())
        connect(clipboard, &QClipboard::dataChanged, this, &CMainFrame::UpdateCommandUI);
    qApp->installEventFilter(this);

    UpdateTitle();
    UpdateRecentFileMenu();
    UpdateCommandUI();
}

CMainFrame::~CMainFrame() {
    // Tearing the window down moves the focus and hides the form: nothing of
    // that may call back into this half-destroyed frame.
    qApp->removeEventFilter(this);
    disconnect(qApp, nullptr, this, nullptr);
    if (QClipboard* clipboard = QApplication::clipboard())
        disconnect(clipboard, nullptr, this, nullptr);
    disconnect(&m_docManager, nullptr, this, nullptr);
    disconnect(m_pView, nullptr, this, nullptr);
    m_docManager.SetDialogParent(nullptr);
}

QAction* CMainFrame::AddAction(int id, const QString& text, const QString& prompt,
                               const QList<QKeySequence>& keys) {
    auto* action = new QAction(text, this);
    action->setObjectName(QStringLiteral("cmd%1").arg(id));
    action->setData(id);
    action->setStatusTip(PromptPart(prompt));
    const QString tip = TipPart(prompt);
    if (!tip.isEmpty())
        action->setToolTip(tip);
    if (!keys.isEmpty())
        action->setShortcuts(keys);
    for (const QKeySequence& k : keys)
        m_acceleratorKeys.insert(k[0].toCombined());
    // Menus show texts only; the pictures belong to the toolbar.
    action->setIconVisibleInMenu(false);
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    m_actions.insert(id, action);
    return action;
}

void CMainFrame::CreateActions() {
    using namespace cmd;
    using K = QKeySequence;
    auto add = [this](int id, const QString& text, const QList<QKeySequence>& keys = {}) {
        return AddAction(id, text, CommandPromptString(id), keys);
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

void CMainFrame::CreateMenus() {
    using namespace cmd;
    auto menu = [this](const QString& title, const QList<int>& ids) {
        QMenu* m = menuBar()->addMenu(title);
        for (int id : ids) {
            if (id == 0)
                m->addSeparator();
            else
                m->addAction(m_actions[id]);
        }
        connect(m, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
        return m;
    };
    QMenu* project = menu(QStringLiteral("&Project"),
                          {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, 0});
    project->setObjectName(QStringLiteral("menuProject"));
    // Display names depend on the current folder: refresh them as the menu opens.
    connect(project, &QMenu::aboutToShow, this, &CMainFrame::UpdateRecentFileMenu);
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

void CMainFrame::CreateToolBar() {
    using namespace cmd;
    m_pToolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    m_pToolBar->setObjectName(QStringLiteral("bar%1").arg(res::ID_VIEW_TOOLBAR));
    m_pToolBar->setIconSize(QSize(24, 20));
    m_pToolBar->setMovable(true);
    m_pToolBar->setFloatable(true);
    m_pToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    for (int id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_ADD_LINK, ID_DELETE_LINK, 0,
                   ID_PAGE_GENERATE, ID_PAGE_PREVIEW, 0, ID_HELP_CONTENTS}) {
        if (id == 0)
            m_pToolBar->addSeparator();
        else
            m_pToolBar->addAction(m_actions[id]);
    }
    addToolBar(Qt::TopToolBarArea, m_pToolBar);
    // Docking on another edge or floating changes what the form needs.
    connect(m_pToolBar, &QToolBar::topLevelChanged, this, [this] { RecalcLayout(); });
    connect(m_pToolBar, &QToolBar::orientationChanged, this, [this] { RecalcLayout(); });
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("bar%1").arg(res::ID_VIEW_STATUS_BAR));
    bar->setSizeGripEnabled(false);
    const char* const names[3] = {"CAP", "NUM", "SCRL"};
    for (int i = 0; i < 3; ++i) {
        m_pIndicators[i] = new QLabel(QLatin1String(names[i]), bar);
        m_pIndicators[i]->setObjectName(QStringLiteral("indicator%1").arg(QLatin1String(names[i])));
        m_pIndicators[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        m_pIndicators[i]->setAlignment(Qt::AlignCenter);
        bar->addPermanentWidget(m_pIndicators[i]);
    }
    SetMessageText(QString());
    UpdateKeyIndicators();
}

void CMainFrame::UpdateKeyIndicators() {
    const SKeyLockState state = QueryKeyLockState();
    const bool on[3] = {state.capsLock, state.numLock, state.scrollLock};
    for (int i = 0; i < 3; ++i)
        m_pIndicators[i]->setVisible(state.known && on[i]);
}

void CMainFrame::SetMessageText(const QString& text) {
    statusBar()->showMessage(text.isEmpty() ? QString::fromLatin1(kIdleMessage) : text);
}

QString CMainFrame::MessageText() const {
    return statusBar()->currentMessage();
}

void CMainFrame::UpdateTitle() {
    QString title = m_docManager.FrameTitle();
    // "[*]" would be read as the modified placeholder; show it as written.
    title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(title);
}

void CMainFrame::UpdateRecentFileMenu() {
    const CRecentFileList& list = m_docManager.GetRecentFileList();
    QString curDir = QDir::currentPath();
    if (!curDir.endsWith(QLatin1Char('/')))
        curDir += QLatin1Char('/');
    const std::string cur = QFile::encodeName(curDir).toStdString();
    bool ended = false;
    for (int i = 0; i < m_recentActions.size(); ++i) {
        QAction* action = m_recentActions[i];
        std::string name;
        if (!ended && i < list.GetSize() && list.GetDisplayName(name, i, cur)) {
            QString shown = QFile::decodeName(QByteArray::fromStdString(name));
            shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
            action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
            action->setEnabled(true);
            action->setVisible(true);
            continue;
        }
        ended = true;
        // The first slot stays as the greyed "Recent File" item.
        action->setText(QStringLiteral("Recent File"));
        action->setEnabled(false);
        action->setVisible(i == 0);
    }
}

bool CMainFrame::IsRoutedToView(int id) const {
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

void CMainFrame::UpdateCommandUI() {
    if (!m_pView)
        return;
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        const int id = it.key();
        if (!IsRoutedToView(id))
            continue;
        bool enabled = false;
        if (!m_pView->IsCommandEnabled(id, enabled))
            enabled = id == cmd::ID_PAGE_GENERATE || id == cmd::ID_PAGE_PREVIEW;
        it.value()->setEnabled(enabled);
    }
}

bool CMainFrame::OnCommand(int id) {
    using namespace cmd;
    QAction* action = m_actions.value(id);
    if (!action || !action->isEnabled())
        return false;
    switch (id) {
    case ID_FILE_NEW:
        m_docManager.OnFileNew();
        return true;
    case ID_FILE_OPEN:
        m_docManager.OnFileOpen();
        return true;
    case ID_FILE_SAVE:
        m_docManager.OnFileSave();
        return true;
    case ID_FILE_SAVE_AS:
        m_docManager.OnFileSaveAs();
        return true;
    case ID_APP_EXIT:
        close();
        return true;
    case ID_HELP_CONTENTS:
        help::LaunchHelp(this, help::kContents);
        return true;
    case ID_APP_ABOUT:
        OnAbout();
        return true;
    case ID_EDIT_UNDO:
    case ID_NEXT_PANE:
    case ID_PREV_PANE:
        return true; // nothing carries these out
    default:
        break;
    }
    if (id >= ID_FILE_MRU_FILE1 && id < ID_FILE_MRU_FILE1 + 4) {
        m_docManager.OnOpenRecentFile(id - ID_FILE_MRU_FILE1);
        return true;
    }
    const bool handled = m_pView->OnCommand(id);
    UpdateCommandUI();
    return handled;
}

void CMainFrame::OnAbout() {
    CAboutDlg dlg(this);
    CUiServices::Instance().ExecDialog(dlg);
}

void CMainFrame::OnDocumentReplaced() {
    m_pView->OnInitialUpdate();
    if (isVisible())
        RecalcLayout();
    UpdateCommandUI();
}

void CMainFrame::RecalcLayout() {
    if (layout())
        layout()->activate();
    QSize size = sizeHint();
    const QSize form = m_pView->sizeHint().isValid() ? m_pView->sizeHint() : m_pView->minimumSize();
    if (form.isEmpty()) {
        // The form has no size of its own: give the client area one.
        size = QSize(std::max(size.width(), kEmptyFormSize.width()),
                     size.height() + kEmptyFormSize.height());
    }
    setFixedSize(size);
    m_bFitted = true;
}

void CMainFrame::showEvent(QShowEvent* e) {
    if (!m_bFitted)
        RecalcLayout();
    QMainWindow::showEvent(e);
    UpdateKeyIndicators();
}

bool CMainFrame::event(QEvent* e) {
    if (e->type() == QEvent::StatusTip) {
        SetMessageText(static_cast<QStatusTipEvent*>(e)->tip());
        return true;
    }
    if (e->type() == QEvent::WindowActivate)
        UpdateKeyIndicators();
    return QMainWindow::event(e);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* e) {
    const QEvent::Type type = e->type();
    if (type == QEvent::ShortcutOverride || type == QEvent::KeyPress ||
        type == QEvent::KeyRelease) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this) {
            auto* key = static_cast<QKeyEvent*>(e);
            if (type == QEvent::ShortcutOverride) {
                if (IsInertKey(key->keyCombination())) {
                    // Keep text fields from taking the key; the inert
                    // accelerator swallows it.
                    e->ignore();
                    return true;
                }
                // The enable states are current before an accelerator runs.
                const QKeyCombination k(key->modifiers() & ~Qt::KeypadModifier,
                                        Qt::Key(key->key()));
                if (m_acceleratorKeys.contains(k.toCombined()))
                    UpdateCommandUI();
            } else if (key->key() == Qt::Key_CapsLock || key->key() == Qt::Key_NumLock ||
                       key->key() == Qt::Key_ScrollLock) {
                UpdateKeyIndicators();
            }
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void CMainFrame::closeEvent(QCloseEvent* e) {
    if (!m_docManager.SaveModified()) {
        e->ignore();
        return;
    }
    e->accept();
}
