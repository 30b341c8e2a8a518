#include "PageSafety.h"
#include "app/Application.h"
#include "app/MainWindow.h"
#include "core/CommandLineOptions.h"
#include "core/ModernPage.h"
#include "core/PageWriter.h"
#include "editor/LinkCommands.h"
#include "editor/LinkListView.h"
#include "editor/ProjectForm.h"
#include "support/FakeUiServices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

MainWindow* startedWindow(Application& app) {
    CommandLineOptions info;
    info.command = CommandLineOptions::NewProject;
    if (!app.start(info))
        qFatal("start failed");
    return app.mainWindow();
}

// The main window on a fresh project whose group 0 holds the links A, B,
// C..., active, with the list focused. Modals go to the test's fake UI
// services.
struct Form {
    QTemporaryDir home;
    Application app{{home.filePath(QStringLiteral("linkfold.ini")), home.path(), {}}};
    MainWindow* frame = startedWindow(app);
    Project& doc = app.project();
    ProjectForm& view = *frame->form();
    LinkCommands* commands = view.findChild<LinkCommands*>();
    LinkListView* list = view.linkList();

    explicit Form(const QString& rows = QStringLiteral("ABCD")) {
        for (QChar c : rows)
            doc.addLink(0, std::string(1, c.toLatin1()),
                        "http://" + std::string(1, c.toLower().toLatin1()) + "/");
        frame->activateWindow();
        if (!QTest::qWaitForWindowActive(frame))
            qWarning("window not active");
        list->setFocus();
        QCoreApplication::processEvents();
        doc.setModified(false);
    }
    ~Form() {
        doc.setModified(false); // no save question at the end
        app.finish();
    }
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    QString Rows() const {
        QString out;
        for (int r = 0; r < list->linkCount(); ++r)
            out += QString::fromStdString(list->cellText(r, 0));
        return out;
    }
    QString selected() const {
        QString out;
        for (int r = 0; r < list->linkCount(); ++r)
            if (list->isRowSelected(r))
                out += QString::fromStdString(list->cellText(r, 0));
        return out;
    }
    void select(const QString& which) {
        list->clearSelection();
        for (int r = 0; r < list->linkCount(); ++r)
            if (which.contains(QString::fromStdString(list->cellText(r, 0))))
                list->selectRow(r);
    }
    // Whether the main window's action ("cut" is actionCut) is enabled, as
    // its menu shows it when it opens.
    bool enabled(const char* action) const {
        QString name = QString::fromLatin1(action);
        name[0] = name[0].toUpper();
        frame->updateActions();
        const QAction* a = frame->action(QStringLiteral("action") + name);
        if (!a)
            qFatal("no action %s", action);
        return a->isEnabled();
    }
    void focus(QWidget* w) {
        w->setFocus();
        QCoreApplication::processEvents();
    }
};

QString clipboard() {
    return QApplication::clipboard()->text();
}
void setClipboard(const QString& text) {
    QApplication::clipboard()->setText(text);
}

template <typename T> T* child(QDialog& dlg, const char* name) {
    return dlg.findChild<T*>(QString::fromLatin1(name));
}

} // namespace

class TestLinkCommands : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FakeUiServices> m_ui;

private slots:
    void init() { m_ui = std::make_unique<FakeUiServices>(); }
    void cleanup() {
        QCOMPARE(m_ui->unexpected, 0);
        m_ui.reset();
    }

    void move_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("up");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<bool>("modified");
        QTest::newRow("up C") << "ABCD"
                              << "C" << true << "ACBD" << true;
        QTest::newRow("down C back") << "ACBD"
                                     << "C" << false << "ABCD" << true;
        QTest::newRow("up first row") << "ABCD"
                                      << "A" << true << "ABCD" << false;
        QTest::newRow("down last row") << "ABCD"
                                       << "D" << false << "ABCD" << false;
        QTest::newRow("up two selected") << "ABCD"
                                         << "BC" << true << "ABCD" << false;
        QTest::newRow("down none selected") << "ABCD"
                                            << "" << false << "ABCD" << false;
    }
    void move() {
        QFETCH(QString, start);
        QFETCH(QString, selected);
        QFETCH(bool, up);
        QFETCH(QString, rows);
        QFETCH(bool, modified);
        Form f(start);
        f.select(selected);
        up ? f.commands->moveUp() : f.commands->moveDown();
        QCOMPARE(f.Rows(), rows);
        QCOMPARE(f.selected(), selected);
        QCOMPARE(f.doc.isModified(), modified);
        // Both texts travel with the row.
        for (int r = 0; r < f.list->linkCount(); ++r)
            QCOMPARE(f.list->cellText(r, 1),
                     "http://" + QString(f.Rows()[r].toLower()).toStdString() + "/");
    }

    void deleteRows_data() {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("after");
        QTest::newRow("B and D") << "BD"
                                 << "ACE"
                                 << "C";
        QTest::newRow("last two") << "DE"
                                  << "ABC"
                                  << "C";
        QTest::newRow("all") << "ABCDE"
                             << ""
                             << "";
        QTest::newRow("none, nothing changes") << ""
                                               << "ABCDE"
                                               << "";
    }
    void deleteRows() {
        QFETCH(QString, selected);
        QFETCH(QString, rows);
        QFETCH(QString, after);
        Form f(QStringLiteral("ABCDE"));
        f.select(selected);
        QCOMPARE(f.enabled("delete"), !selected.isEmpty());
        f.commands->deleteSelected();
        QCOMPARE(f.Rows(), rows);
        QCOMPARE(f.selected(), after);
        // A delete of nothing is no change: no step, not modified.
        QCOMPARE(f.doc.isModified(), !selected.isEmpty());
    }

    void copyWritesSelectedRowsTopToBottom() {
        Form f;
        f.select(QStringLiteral("BD"));
        QVERIFY(f.enabled("copy"));
        f.commands->copy();
        QCOMPARE(clipboard(), QStringLiteral("http://b/\tB\nhttp://d/\tD\n"));
        QVERIFY(!f.doc.isModified());

        // Pasted into another group they keep that order.
        f.view.tabBar()->setCurrentIndex(2);
        f.focus(f.list);
        QCOMPARE(f.Rows(), QString());
        QVERIFY(f.enabled("paste"));
        f.commands->paste();
        QCOMPARE(f.Rows(), QStringLiteral("BD"));
        QCOMPARE(f.list->cellText(1, 1), std::string("http://d/"));
        QVERIFY(f.doc.isModified());
    }

    void copyPasteKeepsEveryScript() {
        Form f{QString()};
        const std::vector<Link> links = {
            {"\u0395\u03BB\u03BB\u03AC\u03B4\u03B1", "http://gr/\u03B1"},
            {"\u65E5\u672C \U0001F600", "http://jp/\u65E5"},
            {"Caf\u00E9 \u20AC \u201Cq\u201D", "http://fr/"},
            {"\u05E2\u05D1\u05E8\u05D9\u05EA \u0420\u0443\u0441", "http://he/"}};
        f.doc.setLinks(0, links);
        for (int r = 0; r < 4; ++r)
            f.list->selectRow(r);
        f.commands->copy();
        QCOMPARE(clipboard(),
                 QString::fromUtf8("http://gr/\u03B1\t\u0395\u03BB\u03BB\u03AC\u03B4\u03B1\n"
                                   "http://jp/\u65E5\t\u65E5\u672C \U0001F600\n"
                                   "http://fr/\tCaf\u00E9 \u20AC \u201Cq\u201D\n"
                                   "http://he/\t\u05E2\u05D1\u05E8\u05D9\u05EA "
                                   "\u0420\u0443\u0441\n"));
        f.view.tabBar()->setCurrentIndex(2);
        f.focus(f.list);
        f.commands->paste();
        QCOMPARE(f.doc.links(2), links);
    }

    // Text another program put on the clipboard is outside text: pasted with
    // Ctrl+V into the list, nothing in it may reach either page as markup.
    void pasteFromOtherProgramAddsNoMarkup_data() {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("url");
        QTest::newRow("bare URL with markup")
            << "https://example.com/c2/<svg/onload=alert('C2')>"
            << "(https://example.com/c2/%3Csvg/onload=alert('C2')%3E)"
            << "https://example.com/c2/%3Csvg/onload=alert('C2')%3E";
        QTest::newRow("description with a handler")
            << "https://example.com/\t<img src=x onerror=alert(1)>"
            << "&lt;img src=x onerror=alert(1)&gt;"
            << "https://example.com/";
        QTest::newRow("URL leaving its attribute")
            << "https://example.com/\"><script>alert(1)</script>\tX"
            << "X"
            << "https://example.com/%22%3E%3Cscript%3Ealert(1)%3C/script%3E";
        QTest::newRow("ampersand in a bare URL") << "http://a.example/?x=1&y=2"
                                                 << "(http://a.example/?x=1&amp;y=2)"
                                                 << "http://a.example/?x=1&y=2";
        QTest::newRow("markup that looks harmless") << "mailto:me@example.com\t<b>Me</b> & you"
                                                    << "&lt;b&gt;Me&lt;/b&gt; &amp; you"
                                                    << "mailto:me@example.com";
    }
    void pasteFromOtherProgramAddsNoMarkup() {
        QFETCH(QString, clipboard);
        QFETCH(QString, description);
        QFETCH(QString, url);
        Form f;
        setClipboard(clipboard);
        QVERIFY(f.enabled("paste"));
        QTest::keyClick(f.list, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.doc.links(0).size(), std::size_t{5});
        const Link pasted = f.doc.links(0).back();
        QCOMPARE(QString::fromStdString(pasted.description), description);
        QCOMPARE(QString::fromStdString(pasted.url), url);
        QCOMPARE(QString::fromStdString(pagesafety::unsafeMarkup(renderPage(f.doc))), QString());
        QCOMPARE(QString::fromStdString(pagesafety::unsafeModernMarkup(renderModernPage(f.doc))),
                 QString());
    }

    // Linkfold's own Copy keeps the user's markup for the next Paste, while
    // other programs see the same plain URL lines as before.
    void ownCopyKeepsTheUsersMarkup() {
        Form f{QString()};
        const std::vector<Link> links = {{"<b>Bold</b> &amp; <i>more</i>", "http://a/"},
                                         {"Q&amp;A", "http://b/?x=1&y=2"}};
        f.doc.setLinks(0, links);
        f.list->selectRow(0);
        f.list->selectRow(1);
        QTest::keyClick(f.list, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard(), QStringLiteral("http://a/\t<b>Bold</b> &amp; <i>more</i>\n"
                                             "http://b/?x=1&y=2\tQ&amp;A\n"));
        f.view.tabBar()->setCurrentIndex(3);
        f.focus(f.list);
        QTest::keyClick(f.list, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.doc.links(3), links);
    }

    void cutRemovesRows() {
        Form f;
        f.select(QStringLiteral("AC"));
        f.commands->cut();
        QCOMPARE(clipboard(), QStringLiteral("http://a/\tA\nhttp://c/\tC\n"));
        QCOMPARE(f.Rows(), QStringLiteral("BD"));
        QVERIFY(f.doc.isModified());
    }

    void pasteOnList_data() {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("rows");
        QTest::newRow("url line") << "https://e/\tE\r\n" << true << "ABCDE";
        QTest::newRow("blank lines first") << "\n  \nhttp://e/\tE" << true << "ABCDE";
        QTest::newRow("plain words") << "some words\nhttp://e/\tE\n" << false << "ABCD";
        QTest::newRow("empty") << "" << false << "ABCD";
    }
    void pasteOnList() {
        QFETCH(QString, clipboard);
        QFETCH(bool, enabled);
        QFETCH(QString, rows);
        Form f;
        setClipboard(clipboard);
        QCOMPARE(f.enabled("paste"), enabled);
        // Paste shows the busy cursor while it adds the rows.
        bool busy = false;
        connect(f.list->model(), &QAbstractItemModel::rowsInserted, this, [&busy] {
            busy = QGuiApplication::overrideCursor() &&
                   QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
        });
        f.commands->paste();
        QCOMPARE(busy, enabled);
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(f.Rows(), rows);
        QCOMPARE(f.doc.isModified(), enabled);
        if (enabled) // no carriage return kept
            QCOMPARE(f.list->cellText(4, 0), std::string("E"));
    }

    void enableRulesFollowFocus_data() {
        QTest::addColumn<QString>("focus"); // list, title, columns
        QTest::addColumn<bool>("editSelection");
        QTest::addColumn<bool>("cutCopy");
        QTest::addColumn<bool>("paste");
        QTest::newRow("list") << "list" << false << true << true;
        QTest::newRow("title, selection") << "title" << true << true << true;
        QTest::newRow("title, no selection") << "title" << false << false << true;
        QTest::newRow("columns") << "columns" << true << false << false;
    }
    void enableRulesFollowFocus() {
        QFETCH(QString, focus);
        QFETCH(bool, editSelection);
        QFETCH(bool, cutCopy);
        QFETCH(bool, paste);
        Form f;
        f.view.titleEdit()->setText(QStringLiteral("Title"));
        f.select(QStringLiteral("B"));
        setClipboard(QStringLiteral("http://x/\tX\n"));
        QLineEdit* edit = focus == "title"     ? f.view.titleEdit()
                          : focus == "columns" ? f.view.columnsEdit()
                                               : nullptr;
        f.focus(edit ? static_cast<QWidget*>(edit) : f.list);
        if (edit) {
            if (editSelection)
                edit->selectAll();
            else
                edit->deselect();
        }
        QCOMPARE(f.enabled("cut"), cutCopy);
        QCOMPARE(f.enabled("copy"), cutCopy);
        QCOMPARE(f.enabled("paste"), paste);
        // Delete follows the list's selection wherever the focus is.
        QVERIFY(f.enabled("delete"));
        QVERIFY(f.enabled("delete"));
        QVERIFY(f.enabled("linkProperties"));
        f.select(QStringLiteral("BC"));
        QVERIFY(!f.enabled("linkProperties"));
    }

    void editCommandsOnTitle() {
        Form f;
        f.select(QStringLiteral("B"));
        QLineEdit* title = f.view.titleEdit();
        title->setText(QStringLiteral("My Page"));
        f.doc.setModified(false);
        f.focus(title);
        title->setSelection(3, 4); // "Page"

        f.commands->copy();
        QCOMPARE(clipboard(), QStringLiteral("Page"));
        QVERIFY(!f.doc.isModified());

        // Delete clears the edit's selection and leaves the rows alone.
        f.commands->deleteSelected();
        QCOMPARE(title->text(), QStringLiteral("My "));
        QCOMPARE(f.Rows(), QStringLiteral("ABCD"));
        QVERIFY(f.doc.isModified());

        f.doc.setModified(false);
        f.commands->paste();
        QCOMPARE(title->text(), QStringLiteral("My Page"));
        QVERIFY(f.doc.isModified());

        f.doc.setModified(false);
        title->setSelection(0, 2);
        f.commands->cut();
        QCOMPARE(title->text(), QStringLiteral(" Page"));
        QCOMPARE(clipboard(), QStringLiteral("My"));
        QVERIFY(f.doc.isModified());
    }

    void addLink_data() {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void addLink() {
        QFETCH(bool, ok);
        Form f;
        QString shown = QStringLiteral("unset");
        m_ui->setNextDialog([&](QDialog& dlg) {
            shown = child<QLineEdit>(dlg, "descriptionEdit")->text() +
                    child<QLineEdit>(dlg, "urlEdit")->text();
            child<QLineEdit>(dlg, "descriptionEdit")->setText(QStringLiteral("E"));
            child<QLineEdit>(dlg, "urlEdit")->setText(QStringLiteral("http://e/"));
            return int(ok ? QDialog::Accepted : QDialog::Rejected);
        });
        QVERIFY(f.enabled("addLink"));
        f.commands->addLink();
        QCOMPARE(shown, QString());
        QCOMPARE(f.Rows(), ok ? QStringLiteral("ABCDE") : QStringLiteral("ABCD"));
        // The added link is selected (and scrolled into view).
        QCOMPARE(f.selected(), ok ? QStringLiteral("E") : QString());
        QCOMPARE(f.doc.isModified(), ok);
    }

    void linkPropertiesEditsFocusedRow_data() {
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("doubleClick");
        QTest::newRow("OK") << true << "A" << false;
        QTest::newRow("Cancel") << false << "A" << false;
        QTest::newRow("double-click, nothing selected") << true << "" << true;
    }
    void linkPropertiesEditsFocusedRow() {
        QFETCH(bool, ok);
        QFETCH(QString, selected);
        QFETCH(bool, doubleClick);
        Form f;
        f.select(selected);
        f.list->setFocusedRow(2); // C has the focus, unselected
        QString shown;
        m_ui->setNextDialog([&](QDialog& dlg) {
            shown = child<QLineEdit>(dlg, "descriptionEdit")->text() + QLatin1Char('|') +
                    child<QLineEdit>(dlg, "urlEdit")->text();
            child<QLineEdit>(dlg, "descriptionEdit")->setText(QStringLiteral("X"));
            return int(ok ? QDialog::Accepted : QDialog::Rejected);
        });
        if (doubleClick)
            emit f.list->linkDoubleClicked();
        else
            f.commands->linkProperties();
        QCOMPARE(shown, QStringLiteral("C|http://c/"));
        QCOMPARE(f.Rows(), ok ? QStringLiteral("ABXD") : QStringLiteral("ABCD"));
        QCOMPARE(f.list->cellText(2, 1), std::string("http://c/"));
        QCOMPARE(f.doc.isModified(), ok);
    }

    void groupProperties_data() {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void groupProperties() {
        QFETCH(bool, ok);
        Form f;
        LinkGroup group = f.doc.group(3);
        group.title = "Fourth";
        group.bullet = "dot.gif";
        group.style = 2;
        f.doc.setGroupHeading(3, group);
        f.view.tabBar()->setCurrentIndex(3);
        f.doc.setModified(false);
        const LinkGroup before = group;
        QString shown;
        m_ui->setNextDialog([&](QDialog& dlg) {
            shown = child<QLineEdit>(dlg, "titleEdit")->text() + QLatin1Char('|') +
                    child<QLineEdit>(dlg, "bulletEdit")->text();
            child<QLineEdit>(dlg, "titleEdit")->setText(QStringLiteral("Renamed"));
            return int(ok ? QDialog::Accepted : QDialog::Rejected);
        });
        QVERIFY(f.enabled("groupProperties"));
        f.commands->groupProperties();
        QCOMPARE(shown, QStringLiteral("Fourth|dot.gif"));
        LinkGroup expected = before;
        if (ok)
            expected.title = "Renamed";
        QCOMPARE(f.doc.group(3), expected);
        QCOMPARE(f.doc.isModified(), ok);
        QCOMPARE(f.view.tabBar()->tabText(3), QStringLiteral("4"));
    }

    void colors_data() {
        QTest::addColumn<bool>("changeBackground");
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK without change") << false << true;
        QTest::newRow("red background, Cancel") << true << false;
        QTest::newRow("red background, OK") << true << true;
    }
    void colors() {
        QFETCH(bool, changeBackground);
        QFETCH(bool, ok);
        Form f;
        m_ui->setNextDialog([&](QDialog& dlg) {
            if (changeBackground)
                child<QAbstractButton>(dlg, "backgroundSwatch")->click();
            return int(ok ? QDialog::Accepted : QDialog::Rejected);
        });
        if (changeBackground)
            m_ui->setNextColor(QColor(255, 0, 0));
        f.commands->colors();
        QCOMPARE(f.doc.backgroundColor(),
                 ok && changeBackground ? RgbColor(0x0000FF) : RgbColor(0xFFFFFF));
        QCOMPARE(f.doc.linkColor(), RgbColor(0));
        QCOMPARE(f.doc.visitedLinkColor(), RgbColor(0x800000));
        // OK without a change is no step and leaves the project unmodified.
        QCOMPARE(f.doc.isModified(), ok && changeBackground);
    }

    void titleFont_data() {
        QTest::addColumn<bool>("italic");
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK without change") << false << true;
        QTest::newRow("italic, OK") << true << true;
        QTest::newRow("italic, Cancel") << true << false;
    }
    void titleFont() {
        QFETCH(bool, italic);
        QFETCH(bool, ok);
        Form f;
        const std::vector<LinkGroup> groups = f.doc.groups();
        m_ui->setNextDialog([&](QDialog& dlg) {
            if (italic)
                child<QListWidget>(dlg, "styleList")->setCurrentRow(2);
            return int(ok ? QDialog::Accepted : QDialog::Rejected);
        });
        f.commands->titleFont();
        QCOMPARE(f.doc.titleStyle(), ok && italic ? 2 : 0);
        QCOMPARE(f.doc.titleFace(), std::string("Arial"));
        QCOMPARE(f.doc.titleColor(), RgbColor(0));
        QCOMPARE(f.doc.isModified(), ok && italic);
        QVERIFY(f.doc.groups() == groups);
    }

    void dragToTab_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("moved");
        QTest::newRow("to tab 3") << 2 << "DB"
                                  << "AC"
                                  << "BD";
        QTest::newRow("to own tab") << 0 << "B"
                                    << "ABCD"
                                    << "";
        QTest::newRow("nothing selected") << 2 << ""
                                          << "ABCD"
                                          << "";
    }
    void dragToTab() {
        QFETCH(int, tab);
        QFETCH(QString, selected);
        QFETCH(QString, rows);
        QFETCH(QString, moved);
        Form f;
        f.doc.addLink(2, "Z", "http://z/");
        f.doc.setModified(false);
        f.select(selected);
        f.commands->moveSelectedRowsToGroup(tab);
        QCOMPARE(f.Rows(), rows);
        QString group;
        for (const Link& link : f.doc.links(2))
            group += QString::fromStdString(link.description);
        QCOMPARE(group, QStringLiteral("Z") + moved);
        QCOMPARE(f.view.tabBar()->currentIndex(), 0);
        QCOMPARE(f.doc.isModified(), !moved.isEmpty());
    }

    void keysAndMenusInTheMainWindow() {
        QTemporaryDir home;
        Application app({home.filePath(QStringLiteral("linkfold.ini")), home.path(), {}});
        CommandLineOptions info;
        info.command = CommandLineOptions::NewProject;
        QVERIFY(app.start(info));
        MainWindow* frame = app.mainWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame));
        ProjectForm* view = frame->form();
        LinkListView* list = view->linkList();
        view->project()->setLinks(0, {{"A", "http://a/"}, {"B", "http://b/"}, {"C", "http://c/"}});
        list->setFocus();
        QCoreApplication::processEvents();

        // Disabled commands do not run.
        frame->updateActions();
        QVERIFY(!frame->action(QStringLiteral("actionDelete"))->isEnabled());
        QAction* linkProperties = frame->action(QStringLiteral("actionLinkProperties"));
        QVERIFY(!linkProperties->isEnabled());
        linkProperties->trigger(); // no dialog: the fake would count it as unexpected

        list->selectRow(0);
        list->selectRow(2);
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard(), QStringLiteral("http://a/\tA\nhttp://c/\tC\n"));
        QTest::keyClick(list, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(list->linkCount(), 5);
        QCOMPARE(list->cellText(4, 0), std::string("C"));
        QVERIFY(view->project()->isModified());
        view->project()->setModified(false); // no save question at the end
    }

    void contextMenu() {
        Form f;
        f.select(QStringLiteral("BC"));
        setClipboard(QStringLiteral("not a link"));
        const std::unique_ptr<QMenu> menu(f.commands->createContextMenu(&f.view));
        QStringList items;
        for (QAction* a : menu->actions())
            items << (a->isSeparator() ? QStringLiteral("-")
                                       : a->text() + (a->isEnabled() ? "" : " (off)"));
        QCOMPARE(items, QStringList({"Cut\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V (off)",
                                     "&Delete\tDel", "-", "&Add...", "&Group Properties",
                                     "&Link Properties (off)", "-", "C&heck Links"}));
        // An item runs its command on the view.
        menu->findChild<QAction*>(QStringLiteral("contextDelete"))->trigger();
        QCOMPARE(f.Rows(), QStringLiteral("AD"));
        QVERIFY(f.doc.isModified());
    }
};

QTEST_MAIN(TestLinkCommands)
#include "tst_linkcommands.moc"
