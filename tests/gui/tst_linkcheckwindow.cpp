// Check Links and Find Duplicate Links in the editor, through the real main
// window and a server of the test's own on 127.0.0.1: progress in the status
// bar, the results window, going to a link, Update to Final URL, Delete,
// Escape, the list's context menu; the windows by keyboard and screen reader.
#include "LinkChecker.h"
#include "TestHttpServer.h"

#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/ProjectFileController.h"
#include "editor/LinkCheckSession.h"
#include "editor/LinkCheckWindow.h"
#include "editor/LinkListView.h"
#include "editor/ProjectForm.h"
#include "gui/HelpLauncher.h"
#include "gui/UrlElide.h"
#include "support/ResultTable.h"
#include "support/StartedWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStatusBar>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

LinkCheckOptions fastOptions() {
    LinkCheckOptions options;
    options.timeoutMs = 3000;
    options.retryPauseMs = 50;
    return options;
}

// The started window with a link check session that waits little.
struct Window : StartedWindow {
    LinkCheckSession* session = nullptr;

    Window() {
        session = frame->linkCheckSession();
        session->setOptions(fastOptions());
    }
    void setLinks(int group, const std::vector<Link>& links) {
        app.project().setLinks(group, links);
        app.project().setModified(false); // the test's set-up is no user edit
    }
    // Alt+E, Right: the Page menu from the keyboard (Alt+P is the Project menu's).
    void openPageMenu() {
        key(Qt::Key_E, Qt::AltModifier);
        key(Qt::Key_Right);
        if (!QApplication::activePopupWidget() ||
            QApplication::activePopupWidget()->objectName() != QLatin1String("menuPage"))
            qWarning("the Page menu is not open");
    }
    QWidget* progressPane() const {
        return frame->statusBar()->findChild<QWidget*>(QStringLiteral("linkCheckProgress"));
    }
    std::string url(int group, int row) {
        return app.project().links(group)[static_cast<size_t>(row)].url;
    }
    // The main window takes the keyboard back (a click on it).
    bool activateFrame() {
        frame->activateWindow();
        return QTest::qWaitFor([this] { return QApplication::activeWindow() == frame; });
    }
    // Page > Check Links from the keyboard, then the end of the check.
    LinkCheckWindow* checkFromMenu() {
        openPageMenu();
        key(Qt::Key_C);
        if (!QTest::qWaitFor([this] { return !session->isRunning(); }, 20000))
            qWarning("the check did not end");
        return session->resultsWindow();
    }
    // Alt+E, Right, L: Page > Show Last Link Check.
    bool showLastCheck() {
        openPageMenu();
        QAction* show = action("actionShowLastCheck");
        const bool enabled = show->isEnabled();
        key(Qt::Key_L);
        if (!enabled) { // a disabled item leaves the menu open
            key(Qt::Key_Escape);
            key(Qt::Key_Escape);
        }
        return enabled;
    }
};

// Opens the menu of a push button by its mnemonic and, once the menu runs,
// presses the keys in it.
bool inMenuOf(Qt::Key mnemonic, const QList<Qt::Key>& keys) {
    bool ran = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        poll.stop();
        ran = true;
        for (Qt::Key k : keys)
            QTest::keyClick(menu, k);
    });
    poll.start();
    if (mnemonic == Qt::Key_Space) // on the focused button
        QTest::keyClick(QApplication::focusWidget(), mnemonic);
    else
        QTest::keyClick(QApplication::focusWidget(), mnemonic, Qt::AltModifier);
    return QTest::qWaitFor([&] { return ran && !QApplication::activePopupWidget(); });
}

// The accessible role and name of a widget, as a screen reader reads them.
QString accessible(QWidget* widget) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(widget);
    if (!a)
        return QStringLiteral("none");
    return QStringLiteral("%1 %2").arg(a->role() == QAccessible::Window  ? "window"
                                       : a->role() == QAccessible::Table ? "table"
                                                                         : "other",
                                       a->text(QAccessible::Name));
}

// The pixels of a table cell as painted.
QImage cellImage(QTableView* table, int row, int column) {
    const QRect cell = table->visualRect(table->model()->index(row, column));
    return table->viewport()->grab(cell).toImage();
}

// "group.row result" of each table row, in table order.
QStringList tableRows(const LinkCheckWindow* window) {
    return tableRows(window, LinkCheckWindow::kResult);
}

// Selects the table rows whose "group.row" is listed.
void selectRows(LinkCheckWindow* window, const QStringList& which) {
    QTableView* table = window->table();
    table->clearSelection();
    for (int r = 0; r < table->model()->rowCount(); ++r) {
        const QString at = QStringLiteral("%1.%2")
                               .arg(table->model()->index(r, 0).data().toInt())
                               .arg(table->model()->index(r, 1).data().toInt());
        if (which.contains(at))
            table->selectionModel()->select(table->model()->index(r, 0),
                                            QItemSelectionModel::Select |
                                                QItemSelectionModel::Rows);
    }
}

int tableRowOf(const LinkCheckWindow* window, const QString& groupRow) {
    const QStringList rows = tableRows(window);
    for (int r = 0; r < rows.size(); ++r)
        if (rows[r].startsWith(groupRow + QLatin1Char(' ')))
            return r;
    return -1;
}

} // namespace

class TestLinkCheckWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<TestHttpServer> m_server;

    std::string url(const char* path) const {
        return m_server->url(QLatin1String(path)).toStdString();
    }

private slots:
    void initTestCase() {
        m_server = std::make_unique<TestHttpServer>();
        QVERIFY(m_server->start());
    }

    // Alt+P, C: progress while the editor stays usable, then the results
    // over all groups; filter, go to a link, update a moved one, delete.
    void checkFromThePageMenu() {
        Window w;
        w.setLinks(0, {{"A", url("/ok")}, {"B", url("/moved")}, {"C", url("/notfound")}});
        w.setLinks(2, {{"D", url("/delay?ms=600")}, {"E", url("/forbidden")}});
        w.openPageMenu();
        w.key(Qt::Key_C);
        QVERIFY(w.session->isRunning());
        QVERIFY(w.progressPane()->isVisible());
        auto* bar = w.progressPane()->findChild<QProgressBar*>();
        QTRY_VERIFY(bar->format().startsWith(QStringLiteral("Checked ")));
        QVERIFY(bar->format().endsWith(QStringLiteral(" of 5")));
        QCOMPARE(QAccessible::queryAccessibleInterface(bar)->text(QAccessible::Name),
                 QStringLiteral("Link check progress"));
        // The editor answers meanwhile: another group's tab.
        w.form->tabBar()->setCurrentIndex(2);
        QCOMPARE(w.list->linkCount(), 2);
        w.form->tabBar()->setCurrentIndex(0);
        QCOMPARE(w.list->linkCount(), 3);

        QTRY_VERIFY_WITH_TIMEOUT(!w.session->isRunning(), 20000);
        QVERIFY(!w.progressPane()->isVisible());
        LinkCheckWindow* results = w.session->resultsWindow();
        QVERIFY(results && results->isVisible());
        QVERIFY(!results->isModal());
        QCOMPARE(tableRows(results),
                 QStringList({"1.1 ok", "1.2 moved", "1.3 broken", "3.1 ok", "3.2 blocked"}));
        QCOMPARE(
            w.frame->messageText(),
            QStringLiteral("Link check finished. 5 links: 2 ok, 1 moved, 1 broken, 1 blocked"));

        // Sorting by result, filtering by result.
        results->table()->sortByColumn(LinkCheckWindow::kResult, Qt::AscendingOrder);
        QCOMPARE(tableRows(results).first(), QStringLiteral("3.2 blocked"));
        results->table()->sortByColumn(LinkCheckWindow::kGroup, Qt::AscendingOrder);
        QComboBox* filter = results->filterBox();
        filter->setCurrentIndex(filter->findText(QStringLiteral("broken (1)")));
        QCOMPARE(tableRows(results), QStringList({"1.3 broken"}));
        filter->setCurrentIndex(filter->findText(QStringLiteral("All but ok")));
        QCOMPARE(tableRows(results), QStringList({"1.2 moved", "1.3 broken", "3.2 blocked"}));

        // Double-click: group 3's tab, row 2 selected, the edits of the
        // group shown before kept.
        w.app.project().replaceLinks(
            0, {{0}, {Link(w.list->cellText(0, 0), "http://edited.invalid/")}, {}});
        w.app.project().setModified(false);
        QTableView* table = results->table();
        QVERIFY(QTest::qWaitForWindowExposed(results));
        const QModelIndex e = table->model()->index(tableRowOf(results, "3.2"), 0);
        // As the window system sends a double-click: press, release, double-click, release.
        const QPoint at = table->visualRect(e).center();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(table->viewport(), Qt::LeftButton, {}, at);
        QTRY_COMPARE(w.form->currentTab(), 2);
        QCOMPARE(w.list->selectedRows(), std::vector<int>{1});
        QCOMPARE(w.url(0, 0), "http://edited.invalid/");

        // Update to Final URL: one step, the project modified.
        QVERIFY(!w.app.project().isModified());
        selectRows(results, {"1.2", "1.3"});
        QVERIFY(results->updateButton()->isEnabled());
        QTest::mouseClick(results->updateButton(), Qt::LeftButton);
        QCOMPARE(w.url(0, 1), url("/ok"));
        QVERIFY(w.app.project().isModified());
        // The row whose address was edited after the check says so.
        QCOMPARE(tableRows(results), QStringList({"1.1 changed since the check", "1.2 updated",
                                                  "1.3 broken", "3.2 blocked"}));

        // Delete, here in the shown group: the list follows.
        w.form->tabBar()->setCurrentIndex(0);
        w.app.project().setModified(false);
        selectRows(results, {"1.3"});
        QTest::mouseClick(results->deleteButton(), Qt::LeftButton);
        QCOMPARE(w.list->linkCount(), 2);
        QCOMPARE(w.list->cellText(1, 0), "B");
        QVERIFY(w.app.project().isModified());
        QCOMPARE(results->noteText(), QStringLiteral("1 link deleted."));
        QCOMPARE(tableRows(results),
                 QStringList({"1.1 changed since the check", "1.2 updated", "3.2 blocked"}));
        // The status bar counts the links listed now.
        QCOMPARE(w.frame->messageText(),
                 QStringLiteral("Link check finished. 4 links: 2 ok, 1 moved, 1 blocked"));
        QCOMPARE(w.ui.unexpected, 0);
        QVERIFY(w.ui.messages.isEmpty());
    }

    // Escape stops the check at once: no request stays open, no results.
    void escapeCancels() {
        Window w;
        std::vector<Link> slow;
        for (int i = 0; i < 12; ++i)
            slow.emplace_back("S", url("/slow") + "?n=" + std::to_string(i));
        w.setLinks(0, slow);
        m_server->resetCounters();
        w.frame->action(QStringLiteral("actionCheckLinks"))->trigger();
        QTRY_VERIFY(m_server->inFlight() > 0);
        QVERIFY(w.session->isRunning());
        w.key(Qt::Key_Escape);
        QTRY_VERIFY(!w.session->isRunning());
        QVERIFY(w.session->checker()->wasCancelled());
        QVERIFY(!w.progressPane()->isVisible());
        QTRY_COMPARE(m_server->openConnections(), 0);
        QCOMPARE(m_server->inFlight(), 0);
        QVERIFY(w.frame->messageText().startsWith(QStringLiteral("Link check cancelled")));
        QVERIFY(!w.session->resultsWindow());
        // Escape belongs to the widgets again.
        QVERIFY(!w.frame->action(QStringLiteral("actionCancelCheck"))->isEnabled());
    }

    // A check cancelled part-way shows the links it got to, and no others.
    void cancelShowsTheLinksChecked() {
        Window w;
        std::vector<Link> links = {{"A", url("/ok")}, {"B", url("/notfound")}};
        for (int i = 0; i < 3; ++i)
            links.emplace_back("S", url("/slow") + "?n=" + std::to_string(i));
        w.setLinks(0, links);
        w.frame->action(QStringLiteral("actionCheckLinks"))->trigger();
        QTRY_VERIFY(w.session->checker()->hasResult(0) && w.session->checker()->hasResult(1));
        w.key(Qt::Key_Escape);
        QTRY_VERIFY(!w.session->isRunning());
        LinkCheckWindow* results = w.session->resultsWindow();
        QVERIFY(results && results->isVisible());
        QCOMPARE(tableRows(results), QStringList({"1.1 ok", "1.2 broken"}));
        QCOMPARE(w.frame->messageText(), QStringLiteral("Link check cancelled: checked 2 of 5."));
    }

    // The list's context menu checks the selected rows only.
    void contextMenuChecksSelectedRows() {
        Window w;
        w.setLinks(0, {{"A", url("/ok")}, {"B", url("/gone")}, {"C", url("/found")}});
        w.setLinks(1, {{"D", url("/notfound")}});
        w.list->selectRow(1);
        w.list->selectRow(2);
        w.list->setFocusedRow(2);
        // The menu runs its own loop: the keys reach it from a timer.
        bool enabled = false;
        QTimer poll;
        poll.setInterval(10);
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            poll.stop();
            QAction* check = menu->findChild<QAction*>(QStringLiteral("contextCheckLinks"));
            enabled = check && check->isEnabled();
            QTest::keyClick(menu, Qt::Key_H);
        });
        poll.start();
        w.key(Qt::Key_Menu);
        QVERIFY(enabled);
        QTRY_VERIFY_WITH_TIMEOUT(w.session->resultsWindow(), 20000);
        QCOMPARE(tableRows(w.session->resultsWindow()),
                 QStringList({"1.2 broken", "1.3 redirected"}));
    }

    // Page > Find Duplicate Links: the sets, without any request; Delete.
    void duplicatesListed() {
        Window w;
        m_server->resetCounters();
        w.setLinks(0, {{"A", url("/ok")}, {"B", "http://x.invalid/"}, {"C", "HTTP://X.invalid"}});
        w.setLinks(4, {{"D", url("/ok") + "#"}, {"E", "http://y.invalid/"}});
        w.openPageMenu();
        w.key(Qt::Key_D);
        LinkCheckWindow* dups = w.session->duplicatesWindow();
        QVERIFY(dups && dups->isVisible());
        QCOMPARE(dups->mode(), LinkCheckWindow::Mode::Duplicates);
        QCOMPARE(tableRows(dups), QStringList({"1.1 1", "1.2 2", "1.3 2", "5.1 1"}));
        // No HTTP answer to show for duplicates.
        QVERIFY(dups->table()->isColumnHidden(LinkCheckWindow::kCode));
        QVERIFY(dups->table()->isColumnHidden(LinkCheckWindow::kFinalUrl));
        QVERIFY(!dups->table()->isColumnHidden(LinkCheckWindow::kUrl));
        QCOMPARE(m_server->totalRequests(), 0);
        selectRows(dups, {"1.2"});
        QTest::mouseClick(dups->deleteButton(), Qt::LeftButton);
        QCOMPARE(w.list->linkCount(), 2);
        QCOMPARE(w.list->cellText(1, 0), "C");
        // A set of one is no set.
        QCOMPARE(tableRows(dups), QStringList({"1.1 1", "5.1 1"}));
        QVERIFY(w.app.project().isModified());
        // Esc closes the window as it closes a dialog.
        dups->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dups));
        QTest::keyClick(dups->table(), Qt::Key_Escape);
        QVERIFY(!dups->isVisible());
    }

    // The results stay after the window is closed: Page > Show Last Link
    // Check brings them back with the keyboard, following the links by
    // identity, until another project replaces this one.
    void lastCheckReopens_data() {
        QTest::addColumn<bool>("byOpen");
        QTest::newRow("New") << false;
        QTest::newRow("Open") << true;
    }
    void lastCheckReopens() {
        QFETCH(bool, byOpen);
        Window w;
        help::setHelpDirectory(QStringLiteral(LINKFOLD_TEST_DATA "/../../resources/help"));
        w.setLinks(0, {{"A", url("/ok")}, {"B", url("/notfound")}, {"C", url("/moved")}});
        QVERIFY(!w.showLastCheck()); // no check yet
        LinkCheckWindow* results = w.checkFromMenu();
        QVERIFY(results && results->isVisible());
        QVERIFY(w.showLastCheck());
        QVERIFY(QTest::qWaitForWindowActive(results));
        QCOMPARE(QApplication::focusWidget(), results->table());
        // F1 opens the page about the window.
        w.ui.opened.clear();
        w.key(Qt::Key_F1);
        QCOMPARE(w.ui.opened.size(), 1);
        QVERIFY(w.ui.opened.first().endsWith(QLatin1String("/link-check.html")));
        w.key(Qt::Key_Escape);
        QVERIFY(!results->isVisible());

        // While it is closed, the first link goes: the reopened window
        // lists the others where they are now.
        QVERIFY(w.activateFrame());
        w.list->setFocus();
        w.list->selectRow(0);
        w.list->setFocusedRow(0);
        w.key(Qt::Key_Delete);
        QCOMPARE(w.list->linkCount(), 2);
        QVERIFY(w.showLastCheck());
        QVERIFY(QTest::qWaitForWindowActive(results));
        QCOMPARE(tableRows(results), QStringList({"1.1 broken", "1.2 moved"}));

        // Another project: the results are gone, the command disabled.
        w.app.project().setModified(false);
        if (byOpen) {
            w.ui.setNextFileName(QStringLiteral(LINKFOLD_TEST_DATA "/../../examples/example.lfp"));
            QVERIFY(w.activateFrame());
            w.key(Qt::Key_O, Qt::ControlModifier);
            QVERIFY(!w.app.project().links(0).empty());
        } else {
            QVERIFY(w.activateFrame());
            w.key(Qt::Key_N, Qt::ControlModifier);
        }
        QVERIFY(!results->isVisible());
        QVERIFY(!w.session->hasLastResults());
        QVERIFY(!w.showLastCheck());
        QVERIFY(!results->isVisible());
        help::setHelpDirectory(QString());
        QCOMPARE(w.ui.unexpected, 0);
    }

    // A check ending while the user types in the Title field: the keys
    // keep going there, the status bar says the check finished.
    void endOfCheckLeavesTheKeyboard() {
        Window w;
        w.setLinks(0, {{"A", url("/delay?ms=300")}, {"B", url("/ok")}});
        QLineEdit* title = w.form->titleEdit();
        title->setFocus();
        w.openPageMenu();
        w.key(Qt::Key_C);
        QVERIFY(w.session->isRunning());
        QTRY_COMPARE(QApplication::focusWidget(), title);
        QTest::keyClicks(title, "ab");
        QTRY_VERIFY_WITH_TIMEOUT(!w.session->isRunning(), 20000);
        LinkCheckWindow* results = w.session->resultsWindow();
        QVERIFY(results && results->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(results));
        QTest::qWait(50); // any activation the window system sends
        QCOMPARE(QApplication::activeWindow(), w.frame);
        QCOMPARE(QApplication::focusWidget(), title);
        w.key(Qt::Key_C);
        w.key(Qt::Key_D);
        QCOMPARE(title->text(), QStringLiteral("abcd"));
        QCOMPARE(w.frame->messageText(), QStringLiteral("Link check finished. 2 links: 2 ok"));
    }

    // Both windows are windows to a screen reader, their tables named
    // tables; F1 opens their page.
    void accessibleWindowsAndTables() {
        Window w;
        help::setHelpDirectory(QStringLiteral(LINKFOLD_TEST_DATA "/../../resources/help"));
        w.setLinks(0, {{"A", url("/ok")}, {"B", url("/ok") + "#"}});
        LinkCheckWindow* results = w.checkFromMenu();
        QVERIFY(results);
        QCOMPARE(accessible(results), QStringLiteral("window Link Check Results"));
        QCOMPARE(accessible(results->table()), QStringLiteral("table Link check results"));
        QVERIFY(w.activateFrame());
        w.openPageMenu();
        w.key(Qt::Key_D);
        LinkCheckWindow* dups = w.session->duplicatesWindow();
        QVERIFY(QTest::qWaitForWindowActive(dups));
        QCOMPARE(accessible(dups), QStringLiteral("window Duplicate Links"));
        QCOMPARE(accessible(dups->table()), QStringLiteral("table Duplicate links"));
        w.ui.opened.clear();
        w.key(Qt::Key_F1);
        QCOMPARE(w.ui.opened.size(), 1);
        QVERIFY(w.ui.opened.first().endsWith(QLatin1String("/link-check.html")));
        help::setHelpDirectory(QString());
    }

    // By keyboard alone: the table is one Tab stop, the Sort menu sorts by
    // any column either way.
    void keyboardTabAndSort() {
        Window w;
        w.setLinks(0, {{"Cc", "http://b.invalid/"}, {"Aa", "http://c.invalid/"}});
        w.setLinks(1, {{"Bb", "http://a.invalid/"}, {"Dd", "http://c.invalid"}});
        w.setLinks(2, {{"Ee", "http://b.invalid"}});
        w.openPageMenu();
        w.key(Qt::Key_D);
        LinkCheckWindow* dups = w.session->duplicatesWindow();
        QVERIFY(QTest::qWaitForWindowActive(dups));
        QTableView* table = dups->table();
        QCOMPARE(QApplication::focusWidget(), table);
        QCOMPARE(tableRows(dups, LinkCheckWindow::kDescription),
                 QStringList({"1.1 Cc", "1.2 Aa", "2.2 Dd", "3.1 Ee"}));

        // Tab leaves the table at once, Shift+Tab comes back.
        w.key(Qt::Key_Down);
        QCOMPARE(table->currentIndex().row(), 1);
        w.key(Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != table);
        QCOMPARE(QApplication::focusWidget()->window(), dups);
        w.key(Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), table);

        // Alt+T, D: by description; then E in the menu: descending.
        QVERIFY(inMenuOf(Qt::Key_T, {Qt::Key_D}));
        QCOMPARE(tableRows(dups, LinkCheckWindow::kDescription),
                 QStringList({"1.2 Aa", "1.1 Cc", "2.2 Dd", "3.1 Ee"}));
        // Shift+Tab, Space: the same menu from the button itself.
        w.key(Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), dups->sortButton());
        QVERIFY(inMenuOf(Qt::Key_Space, {Qt::Key_E}));
        QCOMPARE(tableRows(dups, LinkCheckWindow::kDescription),
                 QStringList({"3.1 Ee", "2.2 Dd", "1.1 Cc", "1.2 Aa"}));
        // The header and the menu agree: a click on Group shows in the menu.
        table->sortByColumn(LinkCheckWindow::kGroup, Qt::AscendingOrder);
        QMenu* menu = dups->sortButton()->menu();
        QStringList checked;
        for (QAction* a : menu->actions())
            if (a->isChecked())
                checked << a->text();
        QCOMPARE(checked, QStringList({"&Group", "&Ascending"}));
        QCOMPARE(w.ui.unexpected, 0);
    }

    // Long addresses that differ only at their ends can be told apart in a
    // narrow column; the tooltip has them whole. Descriptions are the text a
    // reader of the page sees.
    void addressesAndDescriptionsAsText() {
        Window w;
        const std::string stem = "http://a.invalid/a/rather/long/path/to/one/of/many/pages/";
        w.setLinks(0, {{"Missing &amp; gone <b>now</b>", stem + "one.html"},
                       {"&lt;b&gt; &#233;t&eacute;", stem + "two.html"},
                       {"C", stem + "one.html#"},
                       {"D", stem + "two.html#"}});
        w.openPageMenu();
        w.key(Qt::Key_D);
        LinkCheckWindow* dups = w.session->duplicatesWindow();
        QVERIFY(QTest::qWaitForWindowExposed(dups));
        QTableView* table = dups->table();
        QCOMPARE(
            tableRows(dups, LinkCheckWindow::kDescription),
            QStringList({"1.1 Missing & gone now", "1.2 <b> \u00e9t\u00e9", "1.3 C", "1.4 D"}));
        const QModelIndex url = table->model()->index(1, LinkCheckWindow::kUrl);
        QCOMPARE(url.data(Qt::ToolTipRole).toString(), QString::fromStdString(stem + "two.html"));
        table->setColumnWidth(LinkCheckWindow::kUrl, 150);
        QVERIFY(150 < table->fontMetrics().horizontalAdvance(url.data().toString()));
        QCOMPARE(table->rowHeight(0), table->rowHeight(1));
        QVERIFY(cellImage(table, 0, LinkCheckWindow::kUrl) !=
                cellImage(table, 1, LinkCheckWindow::kUrl));
        // Cut to any width that holds the host, an address keeps its host
        // and the end of its path, and fits.
        const QFontMetrics fm = table->fontMetrics();
        const QString whole = QString::fromStdString(stem + "two.html");
        const QString host = QStringLiteral("http://a.invalid");
        for (int width : {fm.horizontalAdvance(host) + fm.horizontalAdvance(QStringLiteral("…mm")),
                          fm.horizontalAdvance(host) + 40, 300, 1000}) {
            const QString shown = elideUrl(whole, fm, width);
            QVERIFY2(fm.horizontalAdvance(shown) <= width, qPrintable(shown));
            QVERIFY2(shown.startsWith(host), qPrintable(shown));
            QVERIFY2(shown.endsWith(QLatin1Char('l')), qPrintable(shown));
        }
        QCOMPARE(elideUrl(whole, fm, 5000), whole);
        QVERIFY(elideUrl(whole, fm, 30).startsWith(QStringLiteral("ht")));
    }

    // The filter's counts follow Update to Final URL and its undo.
    void filterCountsFollowUpdates() {
        Window w;
        w.setLinks(0, {{"A", url("/moved?n=1")},
                       {"B", url("/moved?n=2")},
                       {"C", url("/moved?n=3")},
                       {"D", url("/notfound")}});
        LinkCheckWindow* results = w.checkFromMenu();
        QVERIFY(results);
        QComboBox* filter = results->filterBox();
        auto items = [filter] {
            QStringList out;
            for (int i = 2; i < filter->count(); ++i)
                out << filter->itemText(i);
            return out;
        };
        QCOMPARE(items(), QStringList({"moved (3)", "broken (1)"}));
        filter->setCurrentIndex(filter->findText(QStringLiteral("moved (3)")));
        selectRows(results, {"1.1", "1.3"});
        QTest::mouseClick(results->updateButton(), Qt::LeftButton);
        QCOMPARE(items(), QStringList({"moved (1)", "updated (2)", "broken (1)"}));
        QCOMPARE(filter->currentText(), QStringLiteral("moved (1)"));
        QCOMPARE(tableRows(results), QStringList({"1.2 moved"}));
        selectRows(results, {"1.2"});
        QTest::mouseClick(results->updateButton(), Qt::LeftButton);
        // The kind shown stays, over no rows.
        QCOMPARE(filter->currentText(), QStringLiteral("moved (0)"));
        QCOMPARE(tableRows(results), QStringList());
        // Undo in the main window: the counts come back.
        QVERIFY(w.activateFrame());
        w.key(Qt::Key_Z, Qt::ControlModifier);
        w.key(Qt::Key_Z, Qt::ControlModifier);
        QTRY_COMPARE(items(), QStringList({"moved (3)", "broken (1)"}));
        QCOMPARE(filter->currentText(), QStringLiteral("moved (3)"));
    }

    // A user's whole way through the results by keyboard: rows selected,
    // updated and deleted, the window closed and reopened, projects replaced
    // under it (run under the sanitizers too).
    void keyboardJourney() {
        Window w;
        w.setLinks(0, {{"A", url("/moved?n=1")}, {"B", url("/notfound")}, {"C", url("/ok")}});
        w.setLinks(3, {{"D", url("/moved?n=2")}, {"E", url("/gone")}});
        QVERIFY(w.checkFromMenu());
        QVERIFY(w.showLastCheck());
        LinkCheckWindow* results = w.session->resultsWindow();
        QVERIFY(QTest::qWaitForWindowActive(results));
        // Home, Shift+Down: the first two rows; Alt+U updates the moved one.
        w.key(Qt::Key_Home);
        w.key(Qt::Key_Down, Qt::ShiftModifier);
        w.key(Qt::Key_U, Qt::AltModifier);
        QTRY_COMPARE(w.url(0, 0), url("/ok"));
        QCOMPARE(tableRows(results).first(), QStringLiteral("1.1 updated"));
        // Ctrl+A, Del: every listed link leaves the project in one step.
        w.key(Qt::Key_A, Qt::ControlModifier);
        w.key(Qt::Key_Delete);
        QCOMPARE(tableRows(results), QStringList());
        QCOMPARE(w.app.project().links(0).size(), std::size_t{0});
        w.key(Qt::Key_Escape);
        QVERIFY(!results->isVisible());
        // Undo in the main window brings the links back into the results.
        QVERIFY(w.activateFrame());
        w.key(Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(w.showLastCheck());
        QVERIFY(QTest::qWaitForWindowActive(results));
        QTRY_COMPARE(tableRows(results).size(), 5);

        // New, answering the save question with No: the results are gone.
        QVERIFY(w.activateFrame());
        w.ui.setNextAnswer(QMessageBox::No);
        w.key(Qt::Key_N, Qt::ControlModifier);
        QVERIFY(!results->isVisible());
        QVERIFY(!w.showLastCheck());
        // Open, a check of the opened project's links ended by Esc, the
        // results closed, reopened and New again.
        Project saved;
        saved.setLinks(0, {{"O", url("/ok")}, {"S", url("/slow")}});
        const QString file = w.home.filePath(QStringLiteral("saved.lfp"));
        QVERIFY(saved.save(file.toStdString()));
        w.ui.setNextFileName(file);
        w.key(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(w.app.project().links(0).size(), std::size_t{2});
        w.openPageMenu();
        w.key(Qt::Key_C);
        QTRY_VERIFY(w.session->checker()->hasResult(0));
        w.key(Qt::Key_Escape);
        QTRY_VERIFY(!w.session->isRunning());
        QVERIFY(w.showLastCheck());
        QVERIFY(QTest::qWaitForWindowActive(results));
        QCOMPARE(tableRows(results), QStringList({"1.1 ok"}));
        w.key(Qt::Key_Escape);
        QVERIFY(w.activateFrame());
        w.app.project().setModified(false);
        w.key(Qt::Key_N, Qt::ControlModifier);
        QVERIFY(!w.showLastCheck());
        QCOMPARE(w.ui.unexpected, 0);
    }
};

QTEST_MAIN(TestLinkCheckWindow)
#include "tst_linkcheckwindow.moc"
