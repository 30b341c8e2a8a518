// Undo and Redo through the real main window: each edit reached as a user
// reaches it, undone and redone, the saved bytes compared; the results
// window following links by identity through New, deletes and moves; the
// text field's own Ctrl+Z before the project's; the modified flag; the
// history's memory budget.
#include "app/MainWindow.h"
#include "app/ProjectFileController.h"
#include "core/ProjectFile.h"
#include "editor/LinkCheckSession.h"
#include "editor/LinkCheckWindow.h"
#include "editor/LinkCommands.h"
#include "editor/ProjectCommands.h"
#include "editor/ProjectDocument.h"
#include "support/ResultTable.h"
#include "support/StartedWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

template <typename T> T* child(QDialog& dlg, const char* name) {
    return dlg.findChild<T*>(QString::fromLatin1(name));
}

// The started window with A, B, C, D in group 1 and X in group 4, unmodified.
struct Window : StartedWindow {
    Window() {
        Project& p = app.project();
        p.setLinks(
            0, {{"A", "http://a/"}, {"B", "http://b/"}, {"C", "http://c/"}, {"D", "http://d/"}});
        p.setLinks(3, {{"X", "http://x/"}});
        p.setModified(false);
        list->setFocus();
        QCoreApplication::processEvents();
    }
    std::string bytes() { return serializeProject(app.project()); }
    void select(std::initializer_list<int> rows) {
        list->clearSelection();
        for (int r : rows)
            list->selectRow(r);
        list->setFocusedRow(*rows.begin());
    }
    QString undoText() {
        frame->updateActions();
        return action("actionUndo")->text();
    }
    QString rows() const {
        QString out;
        for (int r = 0; r < list->linkCount(); ++r)
            out += QString::fromStdString(list->cellText(r, 0));
        return out;
    }
    // A check result window listing every link of group 1 as moved.
    LinkCheckWindow* movedResults() {
        auto* window = new LinkCheckWindow(LinkCheckWindow::Mode::Check, form, frame);
        std::vector<LinkCheckWindow::Entry> entries;
        const Project& p = app.project();
        for (std::size_t r = 0; r < p.linkList(0).size(); ++r) {
            LinkCheckWindow::Entry e;
            e.id = p.linkIds(0)[r];
            e.row = static_cast<int>(r);
            e.description = std::string(p.linkList(0).description(r));
            e.url = std::string(p.linkList(0).url(r));
            e.result.status = LinkStatus::Moved;
            e.result.finalUrl = e.url + "final";
            entries.push_back(std::move(e));
        }
        window->setEntries(std::move(entries));
        window->show();
        return window;
    }
};

// "group.row description" of each table row, in table order.
QStringList tableRows(const LinkCheckWindow* window) {
    return tableRows(window, LinkCheckWindow::kDescription);
}

} // namespace

class TestUndo : public QObject {
    Q_OBJECT

private slots:
    void eachEditUndoesAndRedoes_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("undoText");
        for (const char* row :
             {"Delete 2 Links", "Paste 3 Links", "Move Links to Group 4", "Move Down", "Add Link",
              "Link Properties", "Group Properties", "Page Colors", "Title Font", "Columns",
              "Title", "Update 2 Links to Final URL", "Delete Links in Results"})
            QTest::newRow(row) << QString::fromLatin1(row)
                               << (QString::fromLatin1(row) == QLatin1String("Title")
                                       ? QStringLiteral("Typing in Title")
                                       : QString::fromLatin1(row));
    }
    void eachEditUndoesAndRedoes() {
        QFETCH(QString, edit);
        QFETCH(QString, undoText);
        Window w;
        const std::string before = w.bytes();
        QCOMPARE(w.undoText(), QStringLiteral("&Undo"));
        QVERIFY(!w.action("actionUndo")->isEnabled());
        if (edit == "Delete 2 Links") {
            w.select({1, 2});
            w.key(Qt::Key_Delete);
            // The row now in their place is highlighted and is the row Enter edits.
            QCOMPARE(w.list->selectedRows(), std::vector<int>{1});
            QCOMPARE(w.list->focusedRow(), 1);
        } else if (edit == "Paste 3 Links") {
            QApplication::clipboard()->setText("http://p/\tP\nhttp://q/\tQ\nhttp://r/\tR\n");
            w.key(Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(w.rows(), QStringLiteral("ABCDPQR"));
            QCOMPARE(w.list->selectedRows(), std::vector<int>({6, 5, 4}));
        } else if (edit == "Move Links to Group 4") {
            w.select({0, 2});
            QWidget* vp = w.list->viewport();
            const QPoint from = w.list->visualRect(w.list->model()->index(2, 0)).center();
            QTabBar* tabs = w.form->tabBar();
            const QPoint tab4 = vp->mapFromGlobal(tabs->mapToGlobal(tabs->tabRect(3).center()));
            QTest::mousePress(vp, Qt::LeftButton, {}, from);
            QTest::mouseMove(vp, from + QPoint(0, 12));
            QTest::mouseMove(vp, tab4);
            QTest::mouseRelease(vp, Qt::LeftButton, {}, tab4);
            QCOMPARE(w.rows(), QStringLiteral("BD"));
        } else if (edit == "Move Down") {
            w.select({1});
            QTest::mouseClick(w.form->findChild<QWidget*>("moveDownButton"), Qt::LeftButton);
            QCOMPARE(w.rows(), QStringLiteral("ACBD"));
            // The highlighted row is the row Enter edits.
            QCOMPARE(w.list->selectedRows(), std::vector<int>{2});
            QCOMPARE(w.list->focusedRow(), 2);
        } else if (edit == "Add Link" || edit == "Link Properties") {
            w.ui.setNextDialog([](QDialog& dlg) {
                child<QLineEdit>(dlg, "descriptionEdit")->setText("E");
                child<QLineEdit>(dlg, "urlEdit")->setText("http://e/");
                return int(QDialog::Accepted);
            });
            w.select({1});
            w.action(edit == "Add Link" ? "actionAddLink" : "actionLinkProperties")->trigger();
        } else if (edit == "Group Properties") {
            w.ui.setNextDialog([](QDialog& dlg) {
                child<QLineEdit>(dlg, "titleEdit")->setText("News");
                return int(QDialog::Accepted);
            });
            QTest::mouseClick(w.form->findChild<QWidget*>("propertiesButton"), Qt::LeftButton);
        } else if (edit == "Page Colors") {
            w.ui.setNextDialog([](QDialog& dlg) {
                child<QAbstractButton>(dlg, "backgroundSwatch")->click();
                return int(QDialog::Accepted);
            });
            w.ui.setNextColor(QColor(255, 0, 0));
            QTest::mouseClick(w.form->findChild<QWidget*>("colorsButton"), Qt::LeftButton);
        } else if (edit == "Title Font") {
            w.ui.setNextDialog([](QDialog& dlg) {
                child<QListWidget>(dlg, "styleList")->setCurrentRow(2);
                return int(QDialog::Accepted);
            });
            QTest::mouseClick(w.form->findChild<QWidget*>("fontButton"), Qt::LeftButton);
        } else if (edit == "Columns") {
            w.form->columnsEdit()->setFocus();
            w.key(Qt::Key_Up);
            w.key(Qt::Key_Up); // one step for the field
            QCOMPARE(w.app.project().columns(), 4);
            w.list->setFocus();
        } else if (edit == "Title") {
            w.form->titleEdit()->setFocus();
            QTest::keyClicks(w.form->titleEdit(), "My page");
            QCOMPARE(w.app.project().title(), std::string("My page"));
            w.list->setFocus(); // the field's own history is for its focus
            QCoreApplication::processEvents();
        } else if (edit == "Update 2 Links to Final URL") {
            LinkCheckWindow* results = w.movedResults();
            QCOMPARE(results->table()->model()->rowCount(), 4);
            QTableView* table = results->table();
            QVERIFY(QTest::qWaitForWindowExposed(results));
            auto rowAt = [table](int r) {
                return table->visualRect(table->model()->index(r, 2)).center();
            };
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, rowAt(0));
            QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::ControlModifier, rowAt(3));
            QCOMPARE(results->table()->selectionModel()->selectedRows().size(), 2);
            QTest::mouseClick(results->updateButton(), Qt::LeftButton);
            QCOMPARE(w.app.project().linkList(0).url(3), std::string_view("http://d/final"));
            delete results;
        } else if (edit == "Delete Links in Results") {
            undoText = QStringLiteral("Delete 4 Links");
            LinkCheckWindow* results = w.movedResults();
            results->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(results));
            results->table()->setFocus();
            QCoreApplication::processEvents();
            QTest::keyClick(results->table(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(results->table(), Qt::Key_Delete);
            QCOMPARE(w.list->linkCount(), 0);
            QCOMPARE(results->entries().size(), std::size_t(0));
            delete results;
        }
        const std::string after = w.bytes();
        QVERIFY(after != before);
        QVERIFY(w.app.project().isModified());
        QCOMPARE(w.undoText(), QStringLiteral("&Undo ") + undoText);
        w.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.frame));
        w.list->setFocus();
        w.key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.bytes(), before);
        QVERIFY(!w.app.project().isModified()); // back at the saved state
        w.key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(w.bytes(), after);
        QVERIFY(w.app.project().isModified());
        // Ctrl+Shift+Z redoes too: undo once more, redo that way.
        w.key(Qt::Key_Z, Qt::ControlModifier);
        w.key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w.bytes(), after);
        QCOMPARE(w.ui.unexpected, 0);
    }

    // An undo shows its change: the group switches and the rows are selected.
    void undoShowsTheChange() {
        Window w;
        w.select({0, 2});
        w.form->linkCommands()->moveSelectedRowsToGroup(3);
        QCOMPARE(w.form->currentTab(), 0);
        w.form->tabBar()->setCurrentIndex(5);
        w.key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.form->currentTab(), 0);
        QCOMPARE(w.rows(), QStringLiteral("ABCD"));
        QCOMPARE(w.list->selectedRows(), std::vector<int>({2, 0}));
        w.key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(w.rows(), QStringLiteral("BD"));
        QCOMPARE(w.app.project().links(3).size(), std::size_t(3));
        // From the Edit menu by keyboard: Alt+E, then U for Undo and R for Redo.
        w.key(Qt::Key_E, Qt::AltModifier);
        w.key(Qt::Key_U);
        QCOMPARE(w.rows(), QStringLiteral("ABCD"));
        w.key(Qt::Key_E, Qt::AltModifier);
        w.key(Qt::Key_R);
        QCOMPARE(w.rows(), QStringLiteral("BD"));
        // From the Edit menu by mouse: the item names the step.
        QMenuBar* bar = w.frame->menuBar();
        QAction* editMenu = nullptr;
        for (QAction* m : bar->actions())
            if (m->text() == QStringLiteral("&Edit"))
                editMenu = m;
        QVERIFY(editMenu);
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(editMenu).center());
        QTRY_VERIFY(editMenu->menu()->isVisible());
        QAction* undo = w.action("actionUndo");
        QCOMPARE(undo->text(), QStringLiteral("&Undo Move Links to Group 4"));
        QTest::mouseClick(editMenu->menu(), Qt::LeftButton, {},
                          editMenu->menu()->actionGeometry(undo).center());
        QTRY_COMPARE(w.rows(), QStringLiteral("ABCD"));
        w.list->setFocus();
        w.key(Qt::Key_Y, Qt::ControlModifier);
        // A redo after an undo, then a new step: nothing left to redo.
        w.key(Qt::Key_Z, Qt::ControlModifier);
        w.select({1});
        w.key(Qt::Key_Delete);
        w.frame->updateActions();
        QVERIFY(!w.action("actionRedo")->isEnabled());
        QCOMPARE(w.action("actionRedo")->text(), QStringLiteral("&Redo"));
    }

    // One history in time order: typing in the page fields, row deletes, the
    // columns' arrows and a group's properties are steps of one history, and
    // every undo key and every redo key takes them back and does them again
    // newest first, wherever the keyboard is. After each press the project's
    // bytes are those of the state in time order.
    void oneHistoryInTimeOrder_data() {
        QTest::addColumn<QString>("focus"); // list, title, subtitle, tabs
        QTest::addColumn<int>("redoKey");   // 0 Ctrl+Y, 1 Ctrl+Shift+Z
        for (const char* focus : {"list", "title", "subtitle", "tabs"})
            for (int redo : {0, 1})
                QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(
                    QLatin1String(focus),
                    redo ? QLatin1String("Ctrl+Shift+Z") : QLatin1String("Ctrl+Y"))))
                    << QString::fromLatin1(focus) << redo;
    }
    void oneHistoryInTimeOrder() {
        QFETCH(QString, focus);
        QFETCH(int, redoKey);
        Window w;
        QLineEdit* title = w.form->titleEdit();
        QLineEdit* subtitle = w.form->subtitleEdit();
        std::vector<std::string> states{w.bytes()};
        auto typeInto = [&](QLineEdit* edit, const char* text) {
            edit->setFocus();
            QCoreApplication::processEvents();
            edit->end(false);
            QTest::keyClicks(edit, QString::fromLatin1(text));
            states.push_back(w.bytes());
        };
        typeInto(title, " abc");
        w.list->setFocus();
        w.select({1});
        w.key(Qt::Key_Delete);
        states.push_back(w.bytes());
        typeInto(title, "de"); // the same field again, after another step
        typeInto(subtitle, "sub");
        w.form->columnsEdit()->setFocus();
        w.key(Qt::Key_Up);
        states.push_back(w.bytes());
        QCOMPARE(states.size(), std::size_t(6));
        for (std::size_t i = 1; i < states.size(); ++i)
            QVERIFY(states[i] != states[i - 1]);

        QWidget* target = w.list;
        if (focus == QLatin1String("title"))
            target = title;
        else if (focus == QLatin1String("subtitle"))
            target = subtitle;
        else if (focus == QLatin1String("tabs"))
            target = w.form->tabBar();
        target->setFocus();
        QCoreApplication::processEvents();
        for (std::size_t i = states.size() - 1; i > 0; --i) {
            QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(w.bytes(), states[i - 1]);
        }
        QVERIFY(!w.app.project().isModified());
        const Qt::KeyboardModifiers redo =
            redoKey ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier;
        const Qt::Key redoLetter = redoKey ? Qt::Key_Z : Qt::Key_Y;
        for (std::size_t i = 1; i < states.size(); ++i) {
            QTest::keyClick(target, redoLetter, redo);
            QCOMPARE(w.bytes(), states[i]);
        }
        // Typing after an undo is a new step; the steps undone are gone.
        QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier);
        typeInto(title, "!");
        QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.bytes(), states[3]);
        QTest::keyClick(target, redoLetter, redo);
        QCOMPARE(w.bytes(), states.back());
        QCOMPARE(w.ui.unexpected, 0);
    }

    // The field's context menu offers the document's Undo and Redo, not a
    // second history of the field's own.
    void fieldContextMenuUndoIsTheDocuments() {
        Window w;
        w.select({0});
        w.key(Qt::Key_Delete);
        QLineEdit* title = w.form->titleEdit();
        title->setFocus();
        QTest::keyClicks(title, "abc");
        w.list->setFocus();
        w.select({0});
        w.key(Qt::Key_Delete); // newer than the typing
        QCOMPARE(w.rows(), QStringLiteral("CD"));
        title->setFocus();
        QCoreApplication::processEvents();
        QMenu* menu = nullptr;
        QTimer::singleShot(0, [&menu] {
            menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            // The first item is Undo.
            QVERIFY(menu->actions().value(0) && menu->actions().value(0)->isEnabled());
            menu->actions().value(0)->trigger();
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Keyboard, title->rect().center(),
                                title->mapToGlobal(title->rect().center()));
        QApplication::sendEvent(title, &event);
        QVERIFY(menu);
        QCOMPARE(w.rows(), QStringLiteral("BCD")); // the newest step, not the typing
        QCOMPARE(title->text(), QStringLiteral("abc"));
    }

    // A result knows the address it was found for: once the link's address
    // is another (Link Properties), the row says so and neither Update nor
    // Delete acts on it; an undo makes the fact true again.
    void resultsRefuseStaleRows() {
        Window w;
        LinkCheckWindow* results = w.movedResults();
        QVERIFY(QTest::qWaitForWindowExposed(results));
        w.select({1});
        w.form->activateWindow();
        w.list->setFocus();
        w.ui.setNextDialog([](QDialog& dlg) {
            dlg.findChild<QLineEdit*>(QStringLiteral("urlEdit"))
                ->setText(QStringLiteral("http://b.example/fixed"));
            return int(QDialog::Accepted);
        });
        w.form->linkCommands()->linkProperties();
        QCOMPARE(w.app.project().linkList(0).url(1), std::string_view("http://b.example/fixed"));
        QCoreApplication::processEvents();
        const int row = [&] {
            for (int r = 0; r < results->table()->model()->rowCount(); ++r)
                if (results->entryAtRow(r) >= 0 &&
                    results->entries()[std::size_t(results->entryAtRow(r))].url ==
                        "http://b.example/fixed")
                    return r;
            return -1;
        }();
        QVERIFY(row >= 0);
        QCOMPARE(results->table()->model()->index(row, LinkCheckWindow::kResult).data().toString(),
                 QStringLiteral("changed since the check"));
        results->table()->selectRow(row);
        QVERIFY(!results->updateButton()->isEnabled());
        QVERIFY(!results->deleteButton()->isEnabled());
        // Even when asked directly, nothing is written over the fix.
        results->updateToFinalUrl();
        results->deleteSelected();
        QCOMPARE(w.app.project().linkList(0).url(1), std::string_view("http://b.example/fixed"));
        QCOMPARE(w.app.project().linkList(0).size(), std::size_t(4));
        // Undo in the main window: the row is about the link's address again.
        w.key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.app.project().linkList(0).url(1), std::string_view("http://b/"));
        QCoreApplication::processEvents();
        QCOMPARE(results->table()->model()->index(row, LinkCheckWindow::kResult).data().toString(),
                 QStringLiteral("moved"));
        results->table()->clearSelection();
        results->table()->selectRow(row);
        QVERIFY(results->updateButton()->isEnabled());
        delete results;
    }

    // A closed results window reads nothing while the project changes, and
    // reads it once when shown again.
    void closedResultsDoNoWork() {
        Window w;
        LinkCheckWindow* results = w.movedResults();
        QVERIFY(QTest::qWaitForWindowExposed(results));
        results->close();
        w.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.frame));
        w.list->setFocus();
        const int follows = results->followCount();
        for (int i = 0; i < 5; ++i) {
            w.select({0});
            w.form->linkCommands()->moveDown();
            QCoreApplication::processEvents();
        }
        w.select({3});
        w.key(Qt::Key_Delete);
        QCoreApplication::processEvents();
        QCOMPARE(results->followCount(), follows);
        results->show();
        QTRY_COMPARE(results->followCount(), follows + 1);
        QCOMPARE(results->entries().size(), std::size_t(3));
        delete results;
    }

    // Undo back to the saved state is unmodified; a save moves that state;
    // New starts a fresh history.
    void modifiedFollowsTheSavedState() {
        Window w;
        const QString path = w.home.filePath("p.lfp");
        w.ui.setNextFileName(path);
        w.select({0});
        w.key(Qt::Key_Delete);
        QVERIFY(w.app.fileController().saveToFile(path));
        QVERIFY(!w.app.project().isModified());
        w.key(Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(w.app.project().isModified());
        w.key(Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(!w.app.project().isModified());
        // Nothing selected: Delete is no step.
        w.list->clearSelection();
        w.form->linkCommands()->deleteSelected();
        QVERIFY(!w.app.project().isModified());
        QVERIFY(w.action("actionUndo")->isEnabled());
        w.action("actionNew")->trigger();
        w.frame->updateActions();
        QVERIFY(!w.action("actionUndo")->isEnabled());
        QVERIFY(!w.action("actionRedo")->isEnabled());
        QCOMPARE(w.ui.unexpected, 0);
    }

    // The results window follows its links: moved, deleted elsewhere, the
    // project replaced; never another link, never a crash.
    void resultsFollowLinksByIdentity() {
        Window w;
        // Two links with the same address: the window tells them apart.
        w.app.project().setLinks(
            0,
            {{"A", "http://same/"}, {"B", "http://b/"}, {"C", "http://same/"}, {"D", "http://d/"}});
        LinkCheckWindow* results = w.movedResults();
        QCOMPARE(tableRows(results), QStringList({"1.1 A", "1.2 B", "1.3 C", "1.4 D"}));
        // A deleted in the main list: its row leaves, the others follow up.
        w.select({0});
        w.key(Qt::Key_Delete);
        QCOMPARE(tableRows(results), QStringList({"1.1 B", "1.2 C", "1.3 D"}));
        // Del on C's result deletes C, not another link with its address.
        results->table()->selectRow(1);
        results->deleteSelected();
        QCOMPARE(w.rows(), QStringLiteral("BD"));
        // D moved to group 4 is found there.
        w.select({1});
        w.form->linkCommands()->moveSelectedRowsToGroup(3);
        QCOMPARE(tableRows(results), QStringList({"1.1 B", "4.2 D"}));
        results->goToEntry(results->entryAtRow(1));
        QCOMPARE(w.form->currentTab(), 3);
        QCOMPARE(w.list->selectedRows(), std::vector<int>{1});
        // Rows selected, then New: the window empties, nothing crashes.
        results->table()->selectAll();
        w.app.project().setModified(false);
        w.action("actionNew")->trigger();
        QCOMPARE(results->entries().size(), std::size_t(0));
        QVERIFY(!results->deleteButton()->isEnabled());
        results->deleteSelected();
        results->updateToFinalUrl();
        delete results;
    }

    // Find Duplicate Links, every row selected: Ctrl+A Delete, Undo, New.
    void duplicatesWindowThroughDeleteAllAndNew() {
        Window w;
        w.app.project().setLinks(
            0, {{"A", "http://same/"}, {"B", "http://b/"}, {"C", "http://same/"}});
        w.app.project().setLinks(2, {{"D", "http://same/"}});
        w.app.project().setModified(false);
        w.action("actionFindDuplicates")->trigger();
        LinkCheckWindow* dups = w.frame->linkCheckSession()->duplicatesWindow();
        QVERIFY(dups);
        QCOMPARE(tableRows(dups), QStringList({"1.1 A", "1.3 C", "3.1 D"}));
        dups->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dups));
        dups->table()->setFocus();
        QCoreApplication::processEvents();
        QTest::keyClick(dups->table(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(dups->table(), Qt::Key_Delete);
        QCOMPARE(tableRows(dups), QStringList());
        QCOMPARE(w.app.project().links(0), std::vector<Link>({{"B", "http://b/"}}));
        QVERIFY(w.app.project().links(2).empty());
        // One step over two groups; its undo does not bring the rows back
        // into the window, but the links into the project.
        w.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.frame));
        w.list->setFocus();
        QCoreApplication::processEvents();
        w.key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.app.project().links(0).size(), std::size_t(3));
        QCOMPARE(w.app.project().links(2).size(), std::size_t(1));
        // Search again, select everything, then New: the window empties.
        w.action("actionFindDuplicates")->trigger();
        QCOMPARE(tableRows(dups).size(), 3);
        dups->table()->selectAll();
        w.app.project().setModified(false);
        w.action("actionNew")->trigger();
        QCOMPARE(tableRows(dups), QStringList());
        QTest::keyClick(dups->table(), Qt::Key_Delete);
        QCOMPARE(w.ui.unexpected, 0);
    }

    // The oldest steps go when the history holds more than its budget; the
    // newest always stays.
    void historyKeepsItsBudget() {
        Window w;
        ProjectDocument* history = w.form->document();
        std::vector<Link> links;
        for (int i = 0; i < 2000; ++i)
            links.emplace_back("Link " + std::to_string(i),
                               "http://example.com/" + std::to_string(i));
        history->setBudget(100000);
        for (int step = 0; step < 4; ++step)
            history->push(LinkEditCommand::append(w.app.project(), "Add", 0, links));
        QVERIFY(history->bytes() > 100000); // the newest alone is larger
        QVERIFY(history->canUndo());
        history->undo();
        QVERIFY(!history->canUndo()); // the older three were dropped
        QCOMPARE(w.app.project().linkList(0).size(), std::size_t(4 + 3 * 2000));
        history->redo();
        QCOMPARE(w.app.project().linkList(0).size(), std::size_t(4 + 4 * 2000));
        history->setBudget(ProjectDocument::kDefaultBudget);
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
