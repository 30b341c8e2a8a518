// The form as a user sees and hears it: where the controls stand, what a
// screen reader calls them, where the keyboard focus shows, and what a
// one-line field keeps of pasted text.

#include "editor/LinkListView.h"
#include "editor/ProjectForm.h"
#include "support/ShownForm.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

namespace {

using Form = ShownForm;

QString accessibleName(QWidget* widget) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    return iface ? iface->text(QAccessible::Name) : QStringLiteral("(no interface)");
}

QLabel* labelFor(QWidget* form, QWidget* field) {
    for (QLabel* label : form->findChildren<QLabel*>())
        if (label->buddy() == field)
            return label;
    return nullptr;
}

} // namespace

class TestFormLayout : public QObject {
    Q_OBJECT
private slots:
    void accessibleNames_data() {
        QTest::addColumn<QByteArray>("control");
        QTest::addColumn<QString>("name");
        QTest::newRow("title") << QByteArray("titleEdit") << "Title:";
        QTest::newRow("subtitle") << QByteArray("subtitleEdit") << "Subtitle";
        QTest::newRow("image") << QByteArray("topImageEdit") << "Image at Top:";
        QTest::newRow("columns") << QByteArray("columnsEdit") << "# Columns:";
        QTest::newRow("link list") << QByteArray("linkList") << "Links of group 1";
        QTest::newRow("font") << QByteArray("fontButton") << "Title font";
        QTest::newRow("browse") << QByteArray("browseButton") << "Browse for the image at top";
        QTest::newRow("properties") << QByteArray("propertiesButton") << "Properties of group 1";
    }
    void accessibleNames() {
        QFETCH(QByteArray, control);
        QFETCH(QString, name);
        Form f;
        QCOMPARE(accessibleName(f.child<QWidget>(control.constData())), name);
    }

    void linkListNameFollowsTheTab() {
        Form f;
        auto* properties = f.child<QWidget>("propertiesButton");
        f.view.tabBar()->setCurrentIndex(2);
        QCOMPARE(accessibleName(f.view.linkList()), QStringLiteral("Links of group 3"));
        QCOMPARE(accessibleName(properties), QStringLiteral("Properties of group 3"));
        f.view.tabBar()->setCurrentIndex(9);
        QCOMPARE(accessibleName(f.view.linkList()), QStringLiteral("Links of group 10"));
        QCOMPARE(accessibleName(properties), QStringLiteral("Properties of group 10"));
    }

    // The tabs show only numbers; screen readers hear the group titles too.
    void tabsSayTheirGroupTitles() {
        Form f;
        auto tabNames = [&f] {
            QStringList names;
            QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(f.tabs());
            for (int i = 0; i < f.tabs()->count(); ++i)
                names << bar->child(i)->text(QAccessible::Name);
            return names;
        };
        QCOMPARE(tabNames().first(), QStringLiteral("Group 1"));
        QCOMPARE(tabNames().last(), QStringLiteral("Group 10"));
        f.doc.setGroupTitle(1, "News & weather");
        f.doc.setGroupTitle(9, "Tools");
        QCOMPARE(tabNames().mid(0, 3),
                 QStringList({"Group 1", "Group 2: News & weather", "Group 3"}));
        QCOMPARE(tabNames().last(), QStringLiteral("Group 10: Tools"));
        f.doc.setGroupTitle(1, "");
        QCOMPARE(tabNames().at(1), QStringLiteral("Group 2"));
        // New (as open) names every tab afresh; the visible texts stay numbers.
        f.doc.resetToNew();
        f.view.loadFromProject();
        QCOMPARE(tabNames().last(), QStringLiteral("Group 10"));
        QCOMPARE(f.tabs()->tabText(9), QStringLiteral("10"));
    }

    // "# Columns:" is read-only text with arrows beside it: a spin button
    // with its value, bounds and steps for screen readers.
    void columnsFieldIsASpinButton() {
        Form f;
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(f.view.columnsEdit());
        QCOMPARE(iface->role(), QAccessible::SpinBox);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("# Columns:"));
        QAccessibleValueInterface* value = iface->valueInterface();
        QVERIFY(value);
        QCOMPARE(value->minimumValue().toInt(), 1);
        QCOMPARE(value->maximumValue().toInt(), 4);
        QCOMPARE(value->currentValue().toInt(), f.doc.columns());
        f.view.columnsEdit()->setText(QStringLiteral("3"));
        QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("3"));
        QAccessibleActionInterface* actions = iface->actionInterface();
        QVERIFY(actions);
        actions->doAction(QAccessibleActionInterface::increaseAction());
        QCOMPARE(f.doc.columns(), 4);
        actions->doAction(QAccessibleActionInterface::increaseAction());
        QCOMPARE(f.doc.columns(), 4);
        value->setCurrentValue(2);
        QCOMPARE(f.doc.columns(), 2);
        actions->doAction(QAccessibleActionInterface::decreaseAction());
        QCOMPARE(f.doc.columns(), 1);
    }

    void labelsStandOnTheirFieldsLine() {
        Form f;
        for (const char* name : {"titleEdit", "topImageEdit", "columnsEdit"}) {
            QWidget* field = f.child<QWidget>(name);
            QLabel* label = labelFor(&f.view, field);
            QVERIFY2(label, name);
            QVERIFY2(qAbs(label->geometry().center().y() - field->geometry().center().y()) <= 1,
                     name);
        }
    }

    void sideButtonsClearOfPanelAndList() {
        Form f;
        QWidget* list = f.view.linkList();
        QWidget* tabs = f.view.tabBar();
        auto* properties = f.child<QPushButton>("propertiesButton");
        // Level with the list, below the tab bar and the panel's top border.
        QCOMPARE(properties->geometry().top(), list->geometry().top());
        QVERIFY(properties->geometry().top() >= tabs->geometry().bottom() + 3);
        for (const char* name : {"propertiesButton", "moveUpButton", "moveDownButton"}) {
            auto* button = f.child<QPushButton>(name);
            QVERIFY2(button->width() >= button->sizeHint().width(), name);
            QVERIFY2(button->height() >= button->sizeHint().height(), name);
            QVERIFY2(button->geometry().left() > list->geometry().right() + 1, name);
        }
    }

    void oneLineFields_data() {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("result");
        QTest::newRow("title") << QByteArray("titleEdit") << "My\tpage\r\nsecond line"
                               << "My page";
        QTest::newRow("subtitle") << QByteArray("subtitleEdit") << "sub\nmore"
                                  << "sub";
        QTest::newRow("image") << QByteArray("topImageEdit") << "/pics/a.png\n/pics/b.png"
                               << "/pics/a.png";
    }
    void oneLineFields() {
        QFETCH(QByteArray, field);
        QFETCH(QString, pasted);
        QFETCH(QString, result);
        Form f;
        auto* edit = f.child<QLineEdit>(field.constData());
        edit->setFocus();
        QApplication::clipboard()->setText(pasted);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), result);
        QVERIFY(f.doc.isModified());
    }

    void imageFieldShowsItsBeginning() {
        Form f;
        const QString longPath =
            QStringLiteral("/pictures/") + QString(300, QLatin1Char('p')) + QStringLiteral(".png");
        f.ui.setNextFileName(longPath);
        QTest::mouseClick(f.child<QWidget>("browseButton"), Qt::LeftButton);
        auto* edit = f.child<QLineEdit>("topImageEdit");
        QCOMPARE(edit->text(), longPath);
        QCOMPARE(edit->cursorPosition(), 0);
    }

    void listFocusShowsTheFocusedRow() {
        Form f;
        f.doc.addLink(f.view.currentTab(), "one", "http://one/");
        f.doc.addLink(f.view.currentTab(), "two", "http://two/");
        LinkListView* list = f.view.linkList();
        f.child<QWidget>("titleEdit")->setFocus();
        const QImage before = list->viewport()->grab().toImage();
        list->setFocus(Qt::TabFocusReason);
        QVERIFY(list->hasFocus());
        QCOMPARE(list->focusedRow(), 0);
        QVERIFY(list->viewport()->grab().toImage() != before);
        QCOMPARE(list->selectedCount(), 0); // the selection is not touched
    }
};

QTEST_MAIN(TestFormLayout)
#include "tst_formlayout.moc"
