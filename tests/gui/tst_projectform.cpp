#include "core/SettingsFile.h"
#include "editor/LinkListView.h"
#include "editor/ProjectDocument.h"
#include "editor/ProjectForm.h"
#include "support/ShownForm.h"

#include <QCheckBox>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>

namespace {

std::vector<Link> Links(const std::string& prefix, int n) {
    std::vector<Link> out;
    for (int i = 0; i < n; ++i)
        out.emplace_back(prefix + std::to_string(i), "http://" + prefix + std::to_string(i) + "/");
    return out;
}

using Form = ShownForm;

// Drops the data on the list as a file manager would.
void dropOn(LinkListView* list, QMimeData* mime) {
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, mime, Qt::LeftButton, {});
    QApplication::sendEvent(list->viewport(), &enter);
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, mime, Qt::LeftButton, {});
    QApplication::sendEvent(list->viewport(), &drop);
}

} // namespace

class TestProjectForm : public QObject {
    Q_OBJECT
private slots:
    void columnWidthsPerTab();
    void layoutInSettingsFile();
    void tabChangeStoresAndLoadsGroups();
    void newSelectsFirstTab();
    void openSelectsFirstTab();
    void fillingDoesNotModify();
    void editsModify_data();
    void editsModify();
    void spinStaysWithinRange();
    void validation_data();
    void validation();
    void typedTitleLimit();
    void tabTooltipShowsGroupTitle();
    void dropOnEmptyFirstGroup();
    void updateDocumentTakesRowsOfShownTab();
    void dragRowsOntoAnotherTab();
    void formReachesEditingCommands_data();
    void formReachesEditingCommands();
};

void TestProjectForm::columnWidthsPerTab() {
    Form f;
    QCOMPARE(f.list()->columnWidth(0), 200);
    QCOMPARE(f.list()->columnWidth(1), 260);
    f.list()->setColumnWidth(0, 300);
    f.tabs()->setCurrentIndex(1);
    QCOMPARE(f.list()->columnWidth(0), 200);
    f.list()->setColumnWidth(1, 111);
    f.tabs()->setCurrentIndex(0);
    QCOMPARE(f.list()->columnWidth(0), 300);
    QCOMPARE(f.list()->columnWidth(1), 260);
    QCOMPARE(f.view.storedColumnWidth(1, 1), 111);
}

void TestProjectForm::layoutInSettingsFile() {
    {
        // Nothing stored: defaults everywhere, all ten sections written.
        Form f;
        SettingsFile ini;
        f.view.loadLayout(ini);
        f.view.saveLayout(ini);
        for (int tab = 0; tab < 10; ++tab) {
            const std::string section = "Page" + std::to_string(tab) + "Layout";
            QCOMPARE(ini.stringValue(section, "Col0"), std::string("200"));
            QCOMPARE(ini.stringValue(section, "Col1"), std::string("260"));
        }
    }
    SettingsFile ini;
    ini.fromText("[Page0Layout]\nCol0=120\n[Page3Layout]\nCol0=150\nCol1=90\n");
    FakeUiServices ui;
    ProjectDocument document;
    ProjectForm view(&document);
    view.loadLayout(ini);
    view.loadFromProject();
    QCOMPARE(view.linkList()->columnWidth(0), 120);
    QCOMPARE(view.linkList()->columnWidth(1), 260);
    view.tabBar()->setCurrentIndex(3);
    QCOMPARE(view.linkList()->columnWidth(0), 150);
    QCOMPARE(view.linkList()->columnWidth(1), 90);
    // The shown tab's present widths are what is written at close.
    view.linkList()->setColumnWidth(0, 333);
    SettingsFile out;
    view.saveLayout(out);
    QCOMPARE(out.intValue("Page3Layout", "Col0", 0), 333);
    QCOMPARE(out.intValue("Page0Layout", "Col0", 0), 120);
}

void TestProjectForm::tabChangeStoresAndLoadsGroups() {
    Form f;
    f.doc.setLinks(3, Links("g3-", 3));
    f.doc.setLinks(0, {{"one", "http://one/"}, {"TWO", "http://TWO/"}});
    f.doc.setModified(false);
    f.tabs()->setCurrentIndex(3);
    QCOMPARE(f.view.currentTab(), 3);
    QCOMPARE(f.doc.links(0), std::vector<Link>({{"one", "http://one/"}, {"TWO", "http://TWO/"}}));
    QCOMPARE(f.rows(), Links("g3-", 3));
    QVERIFY(!f.doc.isModified());
    f.tabs()->setCurrentIndex(0);
    QCOMPARE(f.list()->linkCount(), 2);
}

void TestProjectForm::newSelectsFirstTab() {
    Form f;
    f.tabs()->setCurrentIndex(4);
    f.doc.resetToNew();
    f.view.loadFromProject();
    QCOMPARE(f.tabs()->currentIndex(), 0);
    QCOMPARE(f.view.currentTab(), 0);
    QCOMPARE(f.list()->linkCount(), 0);
    f.doc.addLink(f.view.currentTab(), "new", "http://new/");
    f.tabs()->setCurrentIndex(2);
    QCOMPARE(f.doc.links(0).size(), size_t(1));
    QVERIFY(f.doc.links(4).empty());
}

void TestProjectForm::openSelectsFirstTab() {
    QTemporaryDir dir;
    const std::string path = dir.filePath("p.lfp").toStdString();
    {
        Project saved;
        saved.setLinks(0, Links("first-", 2));
        saved.setLinks(4, Links("fifth-", 1));
        QVERIFY(saved.save(path));
    }
    Form f;
    f.tabs()->setCurrentIndex(4);
    f.doc.addLink(f.view.currentTab(), "unsaved", "http://unsaved/");
    QVERIFY(f.doc.load(path).ok());
    f.view.loadFromProject(); // as the controller has the form do after every open
    QCOMPARE(f.tabs()->currentIndex(), 0);
    QCOMPARE(f.view.currentTab(), 0);
    QCOMPARE(f.rows(), Links("first-", 2));
    QCOMPARE(f.doc.links(4), Links("fifth-", 1));
    QVERIFY(!f.doc.isModified());
}

void TestProjectForm::fillingDoesNotModify() {
    Form f;
    f.doc.setTitle("Other title");
    f.doc.setSubtitle("Sub");
    f.doc.setTopImage("/tmp/top.gif");
    f.doc.setColumns(7);
    f.doc.setBorders(0);
    f.doc.setModified(false);
    f.view.loadFromProject();
    QVERIFY(!f.doc.isModified());
    QCOMPARE(f.view.titleEdit()->text(), QString("Other title"));
    QCOMPARE(f.view.columnsEdit()->text(), QString("7")); // shown as stored
    QVERIFY(!f.view.findChild<QCheckBox*>("bordersCheck")->isChecked());
}

void TestProjectForm::editsModify_data() {
    QTest::addColumn<QString>("action");
    for (const char* a :
         {"title", "subtitle", "image", "spin up", "spin down", "arrow key", "borders", "browse"})
        QTest::newRow(a) << QString(a);
}

void TestProjectForm::editsModify() {
    QFETCH(QString, action);
    Form f;
    f.doc.setModified(false);
    QLineEdit* columns = f.view.columnsEdit();
    auto* spin = f.view.findChild<QWidget*>("columnsSpin");
    QVERIFY(spin);
    if (action == "title")
        QTest::keyClicks(f.view.titleEdit(), "x");
    else if (action == "subtitle")
        QTest::keyClicks(f.view.subtitleEdit(), "x");
    else if (action == "image")
        QTest::keyClicks(f.view.topImageEdit(), "x");
    else if (action == "spin up")
        spin->findChildren<QToolButton*>().at(0)->click();
    else if (action == "spin down")
        spin->findChildren<QToolButton*>().at(1)->click();
    else if (action == "arrow key")
        QTest::keyClick(columns, Qt::Key_Up);
    else if (action == "borders")
        QTest::mouseClick(f.view.findChild<QCheckBox*>("bordersCheck"), Qt::LeftButton);
    else if (action == "browse") {
        f.ui.setNextFileName("/pictures/top.jpg");
        QTest::mouseClick(f.view.findChild<QWidget*>("browseButton"), Qt::LeftButton);
        QCOMPARE(f.view.topImageEdit()->text(), QString("/pictures/top.jpg"));
        QCOMPARE(f.ui.fileDialogs.at(0).filters,
                 QStringList({"Images (*.png *.jpg *.jpeg *.gif *.svg *.webp *.bmp)", "GIF (*.gif)",
                              "JPEG (*.jpg,*.jpeg)", "Windows Bitmap (*.bmp)", "All (*.*)"}));
    }
    QVERIFY(f.doc.isModified());

    // A cancelled Browse changes nothing.
    if (action == "browse") {
        f.doc.setModified(false);
        f.ui.setNextFileName(QString());
        f.view.onBrowseTopImage();
        QVERIFY(!f.doc.isModified());
        QCOMPARE(f.view.topImageEdit()->text(), QString("/pictures/top.jpg"));
    }
}

void TestProjectForm::spinStaysWithinRange() {
    Form f;
    QLineEdit* columns = f.view.columnsEdit();
    QCOMPARE(columns->text(), QString("2"));
    for (int i = 0; i < 4; ++i)
        f.view.stepColumns(1);
    QCOMPARE(columns->text(), QString("4"));
    for (int i = 0; i < 6; ++i)
        QTest::keyClick(columns, Qt::Key_Down);
    QCOMPARE(columns->text(), QString("1"));
    // A stored 7 steps back into the range.
    f.doc.setColumns(7);
    f.view.loadFromProject();
    f.view.stepColumns(1);
    QCOMPARE(columns->text(), QString("4"));
    // Typing is not possible in the field.
    QTest::keyClicks(columns, "3");
    QCOMPARE(columns->text(), QString("4"));
}

void TestProjectForm::validation_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("columns");
    QTest::addColumn<QString>("subtitle");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("failing");
    QTest::addColumn<int>("docColumns");
    QTest::addColumn<QString>("docSubtitle");
    // Whatever fails, every field on the screen reaches the project: the
    // fields after the failing one too, and the failing value as it stands.
    const QString s51(51, 's');
    const QString t60(60, 't');
    QTest::newRow("valid") << "T"
                           << "3"
                           << "S"
                           << ""
                           << "" << 3 << "S";
    QTest::newRow("count of 7") << "T"
                                << "7"
                                << "S"
                                << "Please enter an integer between 1 and 4."
                                << "columnsEdit" << 7 << "S";
    QTest::newRow("count of 0") << "T"
                                << "0"
                                << "S"
                                << "Please enter an integer between 1 and 4."
                                << "columnsEdit" << 0 << "S";
    QTest::newRow("not a number") << "T"
                                  << "x"
                                  << "S"
                                  << "Please enter an integer."
                                  << "columnsEdit" << 2 << "S";
    QTest::newRow("long subtitle") << "T"
                                   << "1" << s51 << "Please enter no more than 50 characters."
                                   << "subtitleEdit" << 1 << s51;
    // The limit counts characters: an emoji is one, though two UTF-16 units.
    QString emoji50;
    for (int i = 0; i < 50; ++i)
        emoji50 += QString::fromUtf8("\U0001F600");
    QTest::newRow("50 emoji") << "T"
                              << "1" << emoji50 << ""
                              << "" << 1 << emoji50;
    QTest::newRow("51 CJK") << "T"
                            << "1" << QString(51, QChar(0x65E5))
                            << "Please enter no more than 50 characters."
                            << "subtitleEdit" << 1 << QString(51, QChar(0x65E5));
    QTest::newRow("long title first")
        << t60 << "7" << s51 << "Please enter no more than 50 characters."
        << "titleEdit" << 7 << s51;
}

void TestProjectForm::validation() {
    QFETCH(QString, title);
    QFETCH(QString, columns);
    QFETCH(QString, subtitle);
    QFETCH(QString, message);
    QFETCH(QString, failing);
    QFETCH(int, docColumns);
    QFETCH(QString, docSubtitle);
    Form f;
    f.doc.setSubtitle("old");
    f.view.loadFromProject();
    f.view.titleEdit()->setText(title);
    f.view.columnsEdit()->setText(columns);
    f.view.subtitleEdit()->setText(subtitle);
    f.view.topImageEdit()->setText("img.gif");
    f.doc.setModified(false);

    f.view.checkFields(); // as before a save
    if (message.isEmpty()) {
        QVERIFY(f.ui.messages.isEmpty());
    } else {
        QCOMPARE(f.ui.messages.size(), 1);
        QCOMPARE(f.ui.messages.at(0).text, message);
        QCOMPARE(f.ui.messages.at(0).icon, QMessageBox::Warning);
        auto* edit = f.view.findChild<QLineEdit*>(failing);
        QCOMPARE(QApplication::focusWidget(), edit);
        QCOMPARE(edit->selectedText(), edit->text());
    }
    // Bindings before the failing one (and the failing value) are taken.
    QCOMPARE(QString::fromStdString(f.doc.title()), title);
    QCOMPARE(f.doc.columns(), docColumns);
    QCOMPARE(QString::fromStdString(f.doc.subtitle()), docSubtitle);
    QVERIFY(!f.doc.isModified());
}

void TestProjectForm::typedTitleLimit() {
    Form f;
    QLineEdit* title = f.view.titleEdit();
    QTest::keyClicks(title, QString(60, 'a'));
    QCOMPARE(title->text().size(), 50);
    // A longer title from the document is shown whole and can be shortened.
    f.doc.setTitle(std::string(70, 'b'));
    f.view.loadFromProject();
    QCOMPARE(title->text().size(), 70);
    title->setFocus();
    title->end(false);
    QTest::keyClick(title, Qt::Key_Backspace);
    QCOMPARE(title->text().size(), 69);
    QTest::keyClicks(title, "c");
    QCOMPARE(title->text().size(), 69);
}

void TestProjectForm::tabTooltipShowsGroupTitle() {
    Form f;
    LinkGroup heading = f.doc.group(2);
    heading.title = "News \u20AC";
    f.doc.setGroupHeading(2, heading);
    QSignalSpy status(&f.view, &ProjectForm::statusMessage);
    auto rest = [&](int tab) {
        const QPoint p = f.tabs()->tabRect(tab).center();
        QHelpEvent e(QEvent::ToolTip, p, f.tabs()->mapToGlobal(p));
        QApplication::sendEvent(f.tabs(), &e);
    };
    rest(2);
    rest(5);
    QCOMPARE(status.size(), 2);
    QCOMPARE(status.at(0).at(0).toString(), QString::fromUtf8("News €"));
    QCOMPARE(status.at(1).at(0).toString(), QString());
    QCOMPARE(f.tabs()->tabText(2), QString("3"));
}

void TestProjectForm::dropOnEmptyFirstGroup() {
    Form f;
    QCOMPARE(f.list()->linkCount(), 0); // nothing stands in for the missing rows
    QMimeData mime;
    mime.setUrls(
        {QUrl::fromLocalFile(QStringLiteral(LINKFOLD_TEST_DATA "/shortcuts/Home.Page.url")),
         QUrl::fromLocalFile(QStringLiteral(LINKFOLD_TEST_DATA "/shortcuts/notes.txt"))});
    dropOn(f.list(), &mime);
    QCOMPARE(f.rows(), std::vector<Link>({{"Home.Page", "http://example.org/home"}}));
    QVERIFY(f.doc.isModified());
    // The dropped link is selected.
    QCOMPARE(f.list()->selectedRows(), std::vector<int>{0});
    // A drop that adds nothing is no change.
    f.doc.setModified(false);
    mime.setUrls({QUrl::fromLocalFile(QStringLiteral(LINKFOLD_TEST_DATA "/shortcuts/notes.txt"))});
    dropOn(f.list(), &mime);
    QCOMPARE(f.list()->linkCount(), 1);
    QVERIFY(!f.doc.isModified());
}

void TestProjectForm::updateDocumentTakesRowsOfShownTab() {
    Form f;
    f.tabs()->setCurrentIndex(6);
    f.doc.addLink(f.view.currentTab(), "seven", "http://seven/");
    QCOMPARE(f.doc.links(6), std::vector<Link>({{"seven", "http://seven/"}}));
    QVERIFY(f.doc.links(0).empty());
}

void TestProjectForm::dragRowsOntoAnotherTab() {
    Form f;
    for (const char* d : {"A", "B", "C", "D"})
        f.doc.addLink(f.view.currentTab(), d, std::string("http://") + d + "/");
    f.doc.setLinks(2, {{"old", "http://old/"}});
    f.doc.setModified(false);
    f.list()->selectRow(0);
    f.list()->selectRow(2);
    QWidget* vp = f.list()->viewport();
    auto rowCenter = [&](int r) {
        return f.list()->visualRect(f.list()->model()->index(r, 0)).center();
    };
    const QPoint tab3 = vp->mapFromGlobal(f.tabs()->mapToGlobal(f.tabs()->tabRect(2).center()));
    QTest::mousePress(vp, Qt::LeftButton, {}, rowCenter(2));
    QTest::mouseMove(vp, rowCenter(1));
    QTest::mouseMove(vp, tab3);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, tab3);

    QCOMPARE(f.doc.links(2),
             std::vector<Link>({{"old", "http://old/"}, {"A", "http://A/"}, {"C", "http://C/"}}));
    QCOMPARE(f.rows(), std::vector<Link>({{"B", "http://B/"}, {"D", "http://D/"}}));
    QCOMPARE(f.tabs()->currentIndex(), 0);
    QCOMPARE(f.view.currentTab(), 0);
    QVERIFY(f.doc.isModified());
}

void TestProjectForm::formReachesEditingCommands_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("dialogs");
    QTest::addColumn<QStringList>("order");
    const QStringList abc{"A", "B", "C"};
    QTest::newRow("Font") << "fontButton" << 1 << abc;
    QTest::newRow("Colors") << "colorsButton" << 1 << abc;
    QTest::newRow("Properties") << "propertiesButton" << 1 << abc;
    QTest::newRow("double-click") << "double-click" << 1 << abc;
    QTest::newRow("Move Up") << "moveUpButton" << 0 << QStringList{"B", "A", "C"};
    QTest::newRow("Move Down") << "moveDownButton" << 0 << QStringList{"A", "C", "B"};
    QTest::newRow("Del over the list") << "del over list" << 0 << QStringList{"A", "C"};
    // Del with the list focused deletes wherever the pointer is; with the
    // pointer and the focus elsewhere it leaves the rows alone.
    QTest::newRow("Del elsewhere, list focused") << "del elsewhere" << 0 << QStringList{"A", "C"};
    QTest::newRow("Del elsewhere, title focused") << "del title" << 0 << abc;
    // Del in the title field deletes its text only, wherever the pointer is.
    QTest::newRow("Del over the list, title focused") << "del title over list" << 0 << abc;
}

void TestProjectForm::formReachesEditingCommands() {
    QFETCH(QString, action);
    QFETCH(int, dialogs);
    QFETCH(QStringList, order);
    Form f;
    for (const char* d : {"A", "B", "C"})
        f.doc.addLink(f.view.currentTab(), d, std::string("http://") + d + "/");
    f.list()->selectRow(1);
    f.list()->setFocusedRow(1);
    int shown = 0;
    f.ui.setNextDialog([&](QDialog&) {
        ++shown;
        return int(QDialog::Rejected);
    });
    const QPoint row1 = f.list()->visualRect(f.list()->model()->index(1, 0)).center();
    if (action == "double-click") {
        QTest::mouseDClick(f.list()->viewport(), Qt::LeftButton, {}, row1);
    } else if (action.startsWith("del")) {
        const bool title = action.startsWith("del title");
        QWidget* focus =
            title ? static_cast<QWidget*>(f.view.titleEdit()) : static_cast<QWidget*>(f.list());
        focus->setFocus();
        if (title) {
            f.view.titleEdit()->setText("Title");
            f.view.titleEdit()->selectAll();
        }
        const bool overList = action == "del over list" || action == "del title over list";
        QCursor::setPos(overList ? f.list()->viewport()->mapToGlobal(row1)
                                 : f.view.titleEdit()->mapToGlobal(QPoint(2, 2)));
        QTest::keyClick(focus, Qt::Key_Delete);
        if (title)
            QCOMPARE(f.view.titleEdit()->text(), QString());
    } else {
        QTest::mouseClick(f.view.findChild<QWidget*>(action), Qt::LeftButton);
    }
    QCOMPARE(shown, dialogs);
    QStringList got;
    for (const Link& e : f.rows())
        got << QString::fromStdString(e.description);
    QCOMPARE(got, order);
}

QTEST_MAIN(TestProjectForm)
#include "tst_projectform.moc"
