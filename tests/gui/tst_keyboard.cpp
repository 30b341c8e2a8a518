// The keyboard through the real main window: the Edit menu opened from the
// keyboard, focus coming back from the menu bar, the list's own keys, group
// switching, F1, a floating toolbar, and Help > Open Example Project.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/ProjectFileController.h"
#include "core/Project.h"
#include "dialogs/SingleLineValidator.h"
#include "editor/LinkListView.h"
#include "editor/ProjectForm.h"
#include "gui/HelpLauncher.h"
#include "support/StartedWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

#include <memory>

namespace {

// The started window with the links A, B, C in group 1; the list has the
// focus with row B selected.
struct Window : StartedWindow {
    Window() {
        form->project()->setLinks(0, {{"A", "http://a/"}, {"B", "http://b/"}, {"C", "http://c/"}});
        form->project()->setModified(false); // the set-up is no user edit
        list->setFocus();
        list->selectRow(1);
        list->setFocusedRow(1);
        QCoreApplication::processEvents();
    }

    QString rows() const {
        QString out;
        for (int r = 0; r < list->linkCount(); ++r)
            out += QString::fromStdString(list->cellText(r, 0));
        return out;
    }
};

void setClipboard(const QString& text) {
    QApplication::clipboard()->setText(text);
}

// Runs `check` on the popup menu that opens next (once it shows), then
// closes it.
void onNextPopup(std::function<void(QMenu*)> check) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, check] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        timer->stop();
        timer->deleteLater();
        check(menu);
        menu->close();
    });
    timer->start();
}

} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        help::setHelpDirectory(QStringLiteral(LINKFOLD_TEST_DATA "/../../resources/help"));
    }

    // A failed field check keeps its message and focus, but everything on the
    // screen reaches the file or page first: a column count of 7 (legal in a
    // file) does not cost the subtitle typed after it.
    void failedCheckLosesNothingTyped_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("Ctrl+S") << "save";
        QTest::newRow("Save As") << "saveAs";
        QTest::newRow("Generate") << "generate";
    }
    void failedCheckLosesNothingTyped() {
        QFETCH(QString, command);
        Window w;
        const QString path = w.home.filePath(QStringLiteral("seven.lfp"));
        {
            Project seven;
            seven.setColumns(7);
            QVERIFY(seven.save(QFile::encodeName(path).toStdString()));
        }
        QVERIFY(w.app.fileController().openFile(path));
        const QString title = QStringLiteral("New title");
        const QString subtitle = QString(60, QLatin1Char('s'));
        QLineEdit* titleEdit = w.form->titleEdit();
        titleEdit->setFocus();
        titleEdit->selectAll();
        QTest::keyClicks(titleEdit, title);
        QLineEdit* subtitleEdit = w.form->findChild<QLineEdit*>(QStringLiteral("subtitleEdit"));
        SingleLineValidator::showStoredText(subtitleEdit, subtitle); // longer than one types
        QCoreApplication::processEvents();

        const QString page = w.home.filePath(QStringLiteral("page.htm"));
        const QString saved =
            command == QLatin1String("saveAs") ? w.home.filePath(QStringLiteral("as.lfp")) : path;
        if (command == QLatin1String("save")) {
            w.key(Qt::Key_S, Qt::ControlModifier);
        } else if (command == QLatin1String("saveAs")) {
            w.ui.setNextFileName(saved);
            w.action("actionSaveAs")->trigger();
        } else {
            w.ui.setNextFileName(page);
            w.ui.setNextAnswer(QMessageBox::No); // view it in the browser?
            w.action("actionGenerate")->trigger();
        }
        // The first failing field speaks; the long subtitle after it is kept.
        QVERIFY(!w.ui.messages.isEmpty());
        QCOMPARE(w.ui.messages.at(0).text,
                 QStringLiteral("Please enter an integer between 1 and 4."));
        QCOMPARE(QApplication::focusWidget(), w.form->columnsEdit());

        if (command == QLatin1String("generate")) {
            QFile file(page);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray html = file.readAll();
            QVERIFY(html.contains(title.toUtf8()));
            QVERIFY(html.contains(subtitle.toUtf8()));
            return;
        }
        QVERIFY(!w.app.project().isModified());
        Project back;
        QVERIFY(back.load(QFile::encodeName(saved).toStdString()).ok());
        QCOMPARE(QString::fromStdString(back.title()), title);
        QCOMPARE(QString::fromStdString(back.subtitle()), subtitle);
        QCOMPARE(back.columns(), 7);
    }

    // Alt+E with the list focused: Cut, Copy and Paste follow the list, and
    // P pastes.
    void editMenuFromKeyboardOnList() {
        Window w;
        setClipboard(QStringLiteral("http://x/\tX\n"));
        w.key(Qt::Key_E, Qt::AltModifier);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QCOMPARE(menu->objectName(), QStringLiteral("menuEdit"));
        QVERIFY(w.action("actionCut")->isEnabled());
        QVERIFY(w.action("actionCopy")->isEnabled());
        QVERIFY(w.action("actionPaste")->isEnabled());
        w.key(Qt::Key_P);
        QVERIFY(!QApplication::activePopupWidget());
        QCOMPARE(w.rows(), QStringLiteral("ABCX"));

        // Alt+E, C copies the selected row.
        w.list->clearSelection();
        w.list->selectRow(0);
        w.key(Qt::Key_E, Qt::AltModifier);
        w.key(Qt::Key_C);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("http://a/\tA\n"));
    }

    // The same with text selected in the title field: Alt+E, C copies it.
    void editMenuFromKeyboardOnTitle() {
        Window w;
        QLineEdit* title = w.form->titleEdit();
        title->setText(QStringLiteral("My Page"));
        title->setFocus();
        title->setSelection(3, 4);
        QCoreApplication::processEvents();
        setClipboard(QStringLiteral("words"));
        w.key(Qt::Key_E, Qt::AltModifier);
        QVERIFY(QApplication::activePopupWidget());
        QVERIFY(w.action("actionCut")->isEnabled());
        QVERIFY(w.action("actionCopy")->isEnabled());
        QVERIFY(w.action("actionPaste")->isEnabled());
        w.key(Qt::Key_C);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Page"));
    }

    // Escape out of a menu opened from the keyboard gives the focus back;
    // Ctrl+C and Ctrl+V work at once.
    void escapeGivesFocusBack_data() {
        QTest::addColumn<bool>("arrows");
        QTest::newRow("Alt+E, Escape") << false;
        QTest::newRow("Alt+E, Right, Left, Escape") << true;
    }
    void escapeGivesFocusBack() {
        QFETCH(bool, arrows);
        Window w;
        w.key(Qt::Key_E, Qt::AltModifier);
        QVERIFY(QApplication::activePopupWidget());
        if (arrows) {
            w.key(Qt::Key_Right);
            QCOMPARE(QApplication::activePopupWidget()->objectName(), QStringLiteral("menuPage"));
            w.key(Qt::Key_Left);
            QCOMPARE(QApplication::activePopupWidget()->objectName(), QStringLiteral("menuEdit"));
        }
        w.key(Qt::Key_Escape);
        QTRY_VERIFY(!QApplication::activePopupWidget());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.list));
        w.key(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("http://b/\tB\n"));
        w.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w.rows(), QStringLiteral("ABCB"));
    }

    // While the menu bar holds the keyboard the commands still act on the
    // widget that had the focus.
    void commandsWhileMenuBarHasFocus() {
        Window w;
        w.frame->menuBar()->setFocus(Qt::MenuBarFocusReason);
        QCoreApplication::processEvents();
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.frame->menuBar()));
        w.frame->updateActions();
        QVERIFY(w.action("actionCopy")->isEnabled());
        w.action("actionCopy")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("http://b/\tB\n"));
    }

    // Dragged by its handle down the left edge and off the window, the
    // toolbar floats upright; the window stays the form plus the menu and
    // status bars. Docked on an edge the window fits the form and that bar.
    void floatingToolBarKeepsTheSize() {
        Window w;
        QToolBar* bar = w.frame->toolBar();
        QWindow* window = w.frame->windowHandle();
        const QSize docked = w.frame->size();
        const QPoint handle = bar->mapTo(w.frame, QPoint(4, bar->height() / 2));
        QTest::mousePress(window, Qt::LeftButton, {}, handle);
        QPoint p = handle;
        for (int i = 0; i < 60; ++i) {
            p = QPoint(std::max(2, handle.x() - i), handle.y() + i * 5);
            QTest::mouseMove(window, p);
            QTest::qWait(2);
        }
        for (int i = 0; i < 30; ++i) {
            p = QPoint(2 - i * 10, 150);
            QTest::mouseMove(window, p);
            QTest::qWait(2);
        }
        QTest::mouseRelease(window, Qt::LeftButton, {}, p);
        QVERIFY(bar->isFloating());
        QCOMPARE(bar->orientation(), Qt::Vertical);
        const QSize form = w.form->sizeHint();
        const QSize expected(form.width(), form.height() + w.frame->menuBar()->height() +
                                               w.frame->statusBar()->height());
        QTRY_COMPARE(w.frame->size(), expected);
        QCOMPARE(w.frame->minimumSize(), expected);

        // Docked on the left: the form and the upright bar beside it.
        w.frame->addToolBar(Qt::LeftToolBarArea, bar);
        QTRY_VERIFY(!bar->isFloating());
        QTRY_COMPARE(w.frame->width(), form.width() + bar->width());
        // Back at the top: the first size again.
        w.frame->addToolBar(Qt::TopToolBarArea, bar);
        QTRY_COMPARE(w.frame->size(), docked);
    }

    // Enter on a row opens its properties; the dialog's F1 opens its page and
    // F1 in the window the contents.
    void enterOpensLinkPropertiesAndF1Help() {
        Window w;
        QString shown;
        QStringList opened;
        w.ui.setNextDialog([&](QDialog& dlg) {
            shown = dlg.findChild<QLineEdit*>(QStringLiteral("descriptionEdit"))->text();
            dlg.show();
            QApplication::setActiveWindow(&dlg);
            if (QTest::qWaitForWindowActive(&dlg))
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
            opened = w.ui.opened;
            dlg.hide();
            return int(QDialog::Rejected);
        });
        w.key(Qt::Key_Return);
        QCOMPARE(shown, QStringLiteral("B"));
        QCOMPARE(opened.size(), 1);
        QCOMPARE(QFileInfo(opened[0]).fileName(), QStringLiteral("link-dialog.html"));
        w.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.frame));
        w.list->setFocus();
        w.key(Qt::Key_F1);
        QCOMPARE(w.ui.opened.size(), 2);
        QCOMPARE(QFileInfo(w.ui.opened[1]).fileName(), QStringLiteral("index.html"));
        // The Enter key on the keypad does the same; no row, no dialog.
        w.form->project()->setLinks(0, {});
        w.key(Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(w.ui.unexpected, 0);
    }

    void delWithListFocus() {
        Window w;
        QCursor::setPos(w.frame->mapToGlobal(QPoint(-50, -50))); // pointer away from the list
        w.key(Qt::Key_Delete);
        QCOMPARE(w.rows(), QStringLiteral("AC"));
        QVERIFY(w.app.project().isModified());
    }

    // The Menu key and Shift+F10 open the list's context menu below the
    // current row.
    void contextMenuFromKeyboard_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Menu") << int(Qt::Key_Menu) << int(Qt::NoModifier);
        QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier);
    }
    void contextMenuFromKeyboard() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        Window w;
        const QRect row = w.list->visualRect(w.list->currentIndex());
        const QRect rowOnScreen(w.list->viewport()->mapToGlobal(row.topLeft()), row.size());
        QStringList items;
        QPoint at;
        onNextPopup([&](QMenu* menu) {
            at = menu->pos();
            for (QAction* a : menu->actions())
                items << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
        });
        w.key(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(items, QStringList({"contextCut", "contextCopy", "contextPaste", "contextDelete",
                                     "-", "contextAddLink", "contextGroupProperties",
                                     "contextLinkProperties", "-", "contextCheckLinks"}));
        QVERIFY2(at.y() >= rowOnScreen.top() && at.y() <= rowOnScreen.bottom() + 1,
                 qPrintable(QStringLiteral("menu at %1, row %2..%3")
                                .arg(at.y())
                                .arg(rowOnScreen.top())
                                .arg(rowOnScreen.bottom())));
    }

    // Group keys from anywhere in the form, storing the shown group and
    // loading the next as a click on the tab does.
    void groupKeys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("tab");
        const int ctrl = int(Qt::ControlModifier);
        const int ctrlShift = int(Qt::ControlModifier | Qt::ShiftModifier);
        QTest::newRow("Ctrl+Tab in the list") << int(Qt::Key_Tab) << ctrl << "list" << 1;
        QTest::newRow("Ctrl+Tab in the title") << int(Qt::Key_Tab) << ctrl << "title" << 1;
        QTest::newRow("Ctrl+Shift+Tab wraps") << int(Qt::Key_Backtab) << ctrlShift << "list" << 9;
        QTest::newRow("Ctrl+PageDown in the title")
            << int(Qt::Key_PageDown) << ctrl << "title" << 1;
        QTest::newRow("Ctrl+PageDown in the list") << int(Qt::Key_PageDown) << ctrl << "list" << 1;
        QTest::newRow("Ctrl+PageUp in the tabs") << int(Qt::Key_PageUp) << ctrl << "tabs" << 9;
    }
    void groupKeys() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, from);
        QFETCH(int, tab);
        Window w;
        w.app.project().addLink(tab, "Other", "http://other/");
        QWidget* focus = from == "title"  ? static_cast<QWidget*>(w.form->titleEdit())
                         : from == "tabs" ? static_cast<QWidget*>(w.form->tabBar())
                                          : static_cast<QWidget*>(w.list);
        focus->setFocus();
        QCoreApplication::processEvents();
        w.key(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(w.form->tabBar()->currentIndex(), tab);
        QCOMPARE(w.form->currentTab(), tab);
        QCOMPARE(w.rows(), QStringLiteral("Other"));
        // The group left was stored.
        QCOMPARE(w.app.project().links(0).size(), size_t(3));
        if (from == "title")
            QCOMPARE(w.form->titleEdit()->text(), QString()); // no tab typed
    }

    // Help > Open Example Project: an untitled copy; saving asks for a name.
    void openExampleProject() {
        Window w;
        const QString example = MainWindow::exampleProjectPath();
        QVERIFY2(!example.isEmpty(), "no example project beside the tests");
        QFile file(example);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        w.app.project().setModified(false);
        w.action("actionOpenExample")->trigger();
        QCOMPARE(w.frame->windowTitle(), QStringLiteral("Untitled - Linkfold"));
        QVERIFY(w.app.project().filePath().empty());
        QVERIFY(!w.app.project().isModified());
        QVERIFY(!w.app.project().links(0).empty());
        QCOMPARE(w.list->linkCount(), int(w.app.project().links(0).size()));
        w.ui.setNextFileName(QString()); // Save asks for a name; cancelled
        w.key(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(w.ui.fileDialogs.size(), 1);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        QVERIFY(w.ui.messages.isEmpty());
    }
    // Into the menu bar with Alt alone or F10, then the arrows to the Edit
    // menu: the commands still act on the list.
    void menuBarByAltOrF10_data() {
        QTest::addColumn<bool>("f10");
        QTest::newRow("Alt, Right, Down") << false;
        QTest::newRow("F10, Right") << true;
    }
    void menuBarByAltOrF10() {
        QFETCH(bool, f10);
        Window w;
        if (f10) {
            w.key(Qt::Key_F10);
            QVERIFY(QApplication::activePopupWidget());
            w.key(Qt::Key_Right);
        } else {
            QTest::keyPress(w.list, Qt::Key_Alt, Qt::AltModifier);
            QTest::keyRelease(w.list, Qt::Key_Alt, Qt::NoModifier);
            QCoreApplication::processEvents();
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.frame->menuBar()));
            w.key(Qt::Key_Right);
            w.key(Qt::Key_Down);
        }
        QWidget* popup = QApplication::activePopupWidget();
        QVERIFY(popup);
        QCOMPARE(popup->objectName(), QStringLiteral("menuEdit"));
        QVERIFY(w.action("actionCopy")->isEnabled());
        QVERIFY(w.action("actionDelete")->isEnabled());
        w.key(Qt::Key_C);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("http://b/\tB\n"));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.list));
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
