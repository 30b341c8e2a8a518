// Page > Page Style...: reached from the menu, worked with the keyboard
// alone, applied to the project as one modifying step; and the status bar
// note after a project whose extra page settings could not be read.
#include "app/ProjectFileController.h"
#include "core/ProjectFile.h"
#include "support/StartedWindow.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>

namespace {

// Shows the dialog the way exec() would and hands it to body, which ends it.
int runShown(QDialog& dlg, const std::function<void(QDialog&)>& body) {
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    if (!QTest::qWaitForWindowActive(&dlg))
        qWarning("dialog not active");
    body(dlg);
    QCoreApplication::processEvents();
    const int result = dlg.result();
    dlg.hide();
    return result;
}

void keys(QDialog& dlg, std::initializer_list<Qt::Key> list) {
    for (Qt::Key k : list) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &dlg;
        QTest::keyClick(target, k);
        QCoreApplication::processEvents();
    }
}

// Opens the Page menu from the keyboard and picks Page Style.
void choosePageStyle(StartedWindow& w) {
    QMenu* page = w.frame->findChild<QMenu*>(QStringLiteral("menuPage"));
    QVERIFY(page);
    QVERIFY(page->actions().contains(w.action("actionPageStyle")));
    w.frame->updateActions();
    QVERIFY(w.action("actionPageStyle")->isEnabled());
    w.action("actionPageStyle")->trigger();
    QCoreApplication::processEvents();
}

} // namespace

class TestPageStyle : public QObject {
    Q_OBJECT
private slots:
    void keyboardAloneSetsEveryField() {
        StartedWindow w;
        w.app.project().setModified(false);
        QString title;
        w.ui.setNextDialog([&](QDialog& dlg) {
            title = dlg.windowTitle();
            return runShown(dlg, [](QDialog& d) {
                // Classic has the focus: Down picks Modern, then Tab through
                // theme, filter box, web search and icons; Enter is OK.
                keys(d, {Qt::Key_Down, Qt::Key_Tab, Qt::Key_Down, Qt::Key_Down, Qt::Key_Tab,
                         Qt::Key_Tab});
                QTest::keyClicks(QApplication::focusWidget(), "https://s.example/?q=%s");
                keys(d, {Qt::Key_Tab, Qt::Key_Space, Qt::Key_Return});
            });
        });
        choosePageStyle(w);
        QCOMPARE(title, QStringLiteral("Page Style"));
        const PageStyle& style = w.app.project().pageStyle();
        QCOMPARE(int(style.look), int(PageLook::Modern));
        QCOMPARE(int(style.theme), int(PageTheme::Dark));
        QVERIFY(style.filterBox);
        QCOMPARE(style.searchUrl, std::string("https://s.example/?q=%s"));
        QVERIFY(!style.icons);
        QVERIFY(w.app.project().isModified());
        QVERIFY(w.ui.messages.isEmpty());

        // One step, undone and redone whole.
        w.frame->updateActions();
        QCOMPARE(w.action("actionUndo")->text(), QStringLiteral("&Undo Page Style"));
        QApplication::setActiveWindow(w.frame);
        QVERIFY(QTest::qWaitForWindowActive(w.frame));
        w.list->setFocus();
        w.key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.app.project().pageStyle(), PageStyle{});
        QVERIFY(!w.app.project().isModified());
        w.key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(w.app.project().pageStyle().searchUrl, std::string("https://s.example/?q=%s"));
        QVERIFY(w.app.project().isModified());
    }

    void cancelAndUnchangedOkLeaveTheProjectAlone() {
        StartedWindow w;
        w.app.project().setModified(false);
        for (bool ok : {false, true}) {
            w.ui.setNextDialog([&](QDialog& dlg) {
                return runShown(dlg, [&](QDialog& d) {
                    if (ok) {
                        keys(d, {Qt::Key_Return});
                    } else {
                        keys(d, {Qt::Key_Down, Qt::Key_Escape}); // Modern, then cancelled
                    }
                });
            });
            choosePageStyle(w);
            QCOMPARE(w.app.project().pageStyle(), PageStyle{});
            QVERIFY(!w.app.project().isModified());
        }
    }

    void searchWithoutPlaceholderIsRefused() {
        StartedWindow w;
        PageStyle modern;
        modern.look = PageLook::Modern;
        w.app.project().setPageStyle(modern);
        bool stillOpen = false;
        QString focused;
        w.ui.setNextDialog([&](QDialog& dlg) {
            auto* search = dlg.findChild<QLineEdit*>(QStringLiteral("searchEdit"));
            search->setFocus();
            return runShown(dlg, [&](QDialog& d) {
                QTest::keyClicks(search, "https://s.example/");
                keys(d, {Qt::Key_Return});
                stillOpen = d.isVisible() && d.result() != QDialog::Accepted;
                focused = QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                                                      : QString();
                d.reject();
            });
        });
        choosePageStyle(w);
        QVERIFY(stillOpen);
        QCOMPARE(focused, QStringLiteral("searchEdit"));
        QCOMPARE(w.ui.messages.size(), 1);
        QCOMPARE(w.ui.messages[0].text,
                 QStringLiteral("The web search address needs %s where the words go."));
        QCOMPARE(w.app.project().pageStyle(), modern);
    }

    void controlsHaveNamesAndFollowTheChoice() {
        StartedWindow w;
        QStringList names;
        bool boxEnabledForClassic = true, searchEnabledWithoutFilter = true;
        w.ui.setNextDialog([&](QDialog& dlg) {
            for (const char* name : {"classicRadio", "modernRadio", "themeCombo", "filterCheck",
                                     "searchEdit", "iconsCheck"}) {
                QWidget* widget = dlg.findChild<QWidget*>(QLatin1String(name));
                QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
                // A closed list box says its value as its name; its own name
                // comes from its label.
                if (qobject_cast<QComboBox*>(widget))
                    names << widget->accessibleName();
                else
                    names << (iface ? iface->text(QAccessible::Name) : QString());
            }
            boxEnabledForClassic =
                dlg.findChild<QWidget*>(QStringLiteral("modernBox"))->isEnabled();
            dlg.findChild<QRadioButton*>(QStringLiteral("modernRadio"))->setChecked(true);
            dlg.findChild<QCheckBox*>(QStringLiteral("filterCheck"))->setChecked(false);
            searchEnabledWithoutFilter =
                dlg.findChild<QWidget*>(QStringLiteral("searchEdit"))->isEnabled();
            return int(QDialog::Rejected);
        });
        choosePageStyle(w);
        QCOMPARE(names, QStringList({"Classic: the table page, 800 pixels wide",
                                     "Modern: cards that fit any window, dark mode, type to filter",
                                     "Theme", "Filter box (type or press / to find a link)",
                                     "Web search", "Icons from your browsers"}));
        QVERIFY(!boxEnabledForClassic);
        QVERIFY(!searchEnabledWithoutFilter);
    }

    void unreadableExtraSettingsAreNamedInTheStatusBar() {
        StartedWindow w;
        Project doc;
        doc.addLink(0, "Kept", "https://kept.example/");
        const QString path = w.home.filePath(QStringLiteral("newer.lfp"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const std::string bytes = serializeProject(doc) + "LFPX\x01PSTY\x01";
        file.write(bytes.data(), qint64(bytes.size()));
        file.close();
        QVERIFY(w.app.fileController().openFile(path));
        QCOMPARE(w.frame->messageText(),
                 QStringLiteral("The extra page settings could not be read."));
        QCOMPARE(w.app.project().links(0).size(), size_t(1));
        QVERIFY(w.app.project().isModified());
        QVERIFY(w.ui.messages.isEmpty());
    }
};

QTEST_MAIN(TestPageStyle)
#include "tst_pagestyle.moc"
