// Import Bookmarks and Export Bookmarks through the main window's Project
// menu, offscreen, every modal answered through the fake UI services.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "bookmarks/BookmarkReader.h"
#include "core/Project.h"
#include "core/ProjectFile.h"
#include "editor/LinkListView.h"
#include "editor/ProjectForm.h"
#include "support/StartedWindow.h"

#include "gui/HelpLauncher.h"
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <memory>

namespace {

const QString kData = QStringLiteral(LINKFOLD_TEST_DATA "/bookmarks/");

// What the mapping dialog showed for its rows, every depth, names indented
// by depth. The group is the combo's index: 0 is "No group", then 1..10.
struct FolderRow {
    QString name;
    QString count;
    bool checked;
    int group;
    bool operator==(const FolderRow&) const = default;
};

QTreeWidget* folderTree(QDialog& dialog) {
    return dialog.findChild<QTreeWidget*>(QStringLiteral("folderTree"));
}

QList<QTreeWidgetItem*> allItems(QDialog& dialog) {
    QList<QTreeWidgetItem*> items;
    for (QTreeWidgetItemIterator it(folderTree(dialog)); *it; ++it)
        items.append(*it);
    return items;
}

QComboBox* groupCombo(QDialog& dialog, QTreeWidgetItem* item) {
    return qobject_cast<QComboBox*>(folderTree(dialog)->itemWidget(item, 2));
}

QList<FolderRow> folderRows(QDialog& dialog) {
    QList<FolderRow> rows;
    for (QTreeWidgetItem* item : allItems(dialog)) {
        int depth = 0;
        for (QTreeWidgetItem* p = item->parent(); p; p = p->parent())
            ++depth;
        auto* combo = groupCombo(dialog, item);
        rows.append({QString(depth * 2, QLatin1Char(' ')) + item->text(0), item->text(1),
                     item->checkState(0) == Qt::Checked, combo ? combo->currentIndex() : -1});
    }
    return rows;
}

bool okEnabled(QDialog& dialog) {
    return dialog.findChild<QPushButton*>(QStringLiteral("okButton"))->isEnabled();
}

// Chooses "From a file..." as a user does: the Source box, then the item.
void chooseFile(QDialog& dialog) {
    auto* source = dialog.findChild<QComboBox*>(QStringLiteral("sourceCombo"));
    source->setCurrentIndex(source->count() - 1);
    emit source->activated(source->count() - 1);
}

QString summary(QDialog& dialog) {
    auto* label = dialog.findChild<QLabel*>(QStringLiteral("summaryLabel"));
    return label ? label->text() : QString();
}

} // namespace

class TestBookmarks : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    std::unique_ptr<StartedWindow> m_window;

    MainWindow* frame() const { return m_window->frame; }
    Project& project() const { return *frame()->form()->project(); }

private slots:
    void initTestCase() {
        QVERIFY(m_home.isValid());
        // One browser profile in the home folder: Chromium's default one.
        qputenv("HOME", QFile::encodeName(m_home.path()));
        QVERIFY(QDir().mkpath(m_home.filePath(QStringLiteral(".config/chromium/Default"))));
        QVERIFY(QFile::copy(kData + QStringLiteral("chromium-Bookmarks.json"),
                            m_home.filePath(QStringLiteral(".config/chromium/Default/Bookmarks"))));
    }

    void init() { m_window = std::make_unique<StartedWindow>(); }

    void cleanup() {
        const int unexpected = m_window->ui.unexpected;
        m_window.reset();
        QCOMPARE(unexpected, 0);
    }

    void commandsSitBeforeTheRecentFiles() {
        auto* menu = frame()->menuBar()->findChild<QMenu*>(QStringLiteral("menuProject"));
        QVERIFY(menu);
        QStringList names;
        for (QAction* a : menu->actions())
            names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
        QCOMPARE(names.mid(0, 8),
                 QStringList({"actionNew", "actionOpen", "actionSave", "actionSaveAs", "-",
                              "actionImportBookmarks", "actionExportBookmarks", "-"}));
        QCOMPARE(names.value(8), QStringLiteral("actionRecentFile1"));
        QVERIFY(!frame()->action(QStringLiteral("actionImportBookmarks"))->statusTip().isEmpty());
        QVERIFY(!frame()->action(QStringLiteral("actionExportBookmarks"))->statusTip().isEmpty());
    }

    void importFromAFileThroughTheMenu() {
        // Group 1 holds Debian already.
        ProjectForm* form = frame()->form();
        form->project()->setLinks(form->currentTab(), {{"My Debian", "https://www.debian.org/"}});

        QStringList sources;
        QList<FolderRow> profileRows, fileRows;
        QString before, after;
        m_window->ui.setNextFileName(kData + QStringLiteral("firefox.html"));
        m_window->ui.setNextDialog([&](QDialog& dialog) {
            auto* source = dialog.findChild<QComboBox*>(QStringLiteral("sourceCombo"));
            for (int i = 0; i < source->count(); ++i)
                sources << source->itemText(i);
            profileRows = folderRows(dialog); // the profile, read as the dialog opens
            chooseFile(dialog);
            fileRows = folderRows(dialog);
            before = summary(dialog);
            // The toolbar's links into group 1, which holds Debian already.
            groupCombo(dialog, folderTree(dialog)->topLevelItem(2))->setCurrentIndex(1);
            after = summary(dialog);
            return int(QDialog::Accepted);
        });
        m_window->ui.setNextAnswer(QMessageBox::Ok);
        frame()->action(QStringLiteral("actionImportBookmarks"))->trigger();

        QCOMPARE(sources, QStringList({QStringLiteral("Chromium \u2014 Default"),
                                       QStringLiteral("From a file...")}));
        QVERIFY(!profileRows.isEmpty());
        // The browser's own folders are unwrapped: the links in the menu and
        // on the toolbar are rows named after them, the user's folders are
        // rows at their depth, a subfolder unticked goes with its folder.
        // Default mapping: the ticked rows to the empty groups 2, 3, 4.
        const QList<FolderRow> expected = {
            {QStringLiteral("Bookmarks Menu"), QStringLiteral("1"), true, 2},
            {QStringLiteral("Caf\u00e9 <Reading>"), QStringLiteral("3"), true, 3},
            {QStringLiteral("  Inner"), QStringLiteral("1"), false, 0},
            {QStringLiteral("Bookmarks Toolbar"), QStringLiteral("2"), true, 4},
        };
        QCOMPARE(fileRows, expected);
        const QString query = QStringLiteral("1 saved query skipped (Recent Tags)");
        QCOMPARE(before, QStringLiteral("6 links into 3 groups, ") + query);
        const QString imported =
            QStringLiteral(
                "5 links into 3 groups, 1 duplicate skipped (https://www.debian.org/), ") +
            query;
        QCOMPARE(after, imported);
        QCOMPARE(m_window->ui.messages.size(), 1);
        QCOMPARE(m_window->ui.messages.last().text, QStringLiteral("Imported: ") + imported + '.');

        QVERIFY(project().isModified());
        const LinkGroup& first = project().group(0);
        QCOMPARE(first.title, std::string("Bookmarks Toolbar"));
        QCOMPARE(first.links.size(), size_t(2));
        QCOMPARE(project().group(2).title, std::string("Caf\xC3\xA9 &lt;Reading&gt;"));
        QCOMPARE(project().links(2).size(), size_t(3));
        // The list shows group 1 as it is now.
        LinkListView* list = form->linkList();
        QCOMPARE(list->linkCount(), 2);
        QCOMPARE(list->cellText(0, 0), std::string("My Debian"));
        QCOMPARE(list->cellText(1, 0), std::string("Old live bookmark"));
    }

    // The import is one step: undone whole, redone whole, named for it.
    void importIsOneStep() {
        project().setLinks(0, {{"Mine", "https://mine.example/"}});
        project().setModified(false);
        const std::string before = serializeProject(project());
        m_window->ui.setNextFileName(kData + QStringLiteral("firefox.html"));
        m_window->ui.setNextDialog([&](QDialog& dialog) {
            chooseFile(dialog);
            return int(QDialog::Accepted);
        });
        m_window->ui.setNextAnswer(QMessageBox::Ok);
        frame()->action(QStringLiteral("actionImportBookmarks"))->trigger();
        const std::string after = serializeProject(project());
        QVERIFY(after != before);
        frame()->updateActions();
        QAction* undo = frame()->action(QStringLiteral("actionUndo"));
        QCOMPARE(undo->text(), QStringLiteral("&Undo Import Bookmarks"));
        undo->trigger();
        QCOMPARE(serializeProject(project()), before);
        QVERIFY(!project().isModified());
        frame()->action(QStringLiteral("actionRedo"))->trigger();
        QCOMPARE(serializeProject(project()), after);
        QVERIFY(project().isModified());
    }

    // Group titles are HTML: the dialog names a group as the page shows it.
    void groupNamesAsThePageShowsThem() {
        project().setGroupTitle(2, "Maps &amp; Travel");
        QString label;
        m_window->ui.setNextDialog([&](QDialog& dialog) {
            auto* mode = dialog.findChild<QComboBox*>(QStringLiteral("modeCombo3"));
            for (QLabel* l : dialog.findChildren<QLabel*>())
                if (l->buddy() == mode)
                    label = l->text();
            return int(QDialog::Rejected);
        });
        frame()->action(QStringLiteral("actionImportBookmarks"))->trigger();
        QCOMPARE(label, QStringLiteral("3 Maps && Travel")); // shown as "3 Maps & Travel"
    }

    // After an import the form shows the first group that received links.
    void importShowsTheFirstGroupFilled() {
        ProjectForm* form = frame()->form();
        form->project()->setLinks(form->currentTab(), {{"Mine", "https://mine.example/"}});
        m_window->ui.setNextFileName(kData + QStringLiteral("firefox.html"));
        m_window->ui.setNextDialog([&](QDialog& dialog) {
            chooseFile(dialog);
            return int(QDialog::Accepted); // the default mapping: groups 2, 3, 4
        });
        m_window->ui.setNextAnswer(QMessageBox::Ok);
        frame()->action(QStringLiteral("actionImportBookmarks"))->trigger();
        QCOMPARE(form->currentTab(), 1);
        QCOMPARE(form->linkList()->linkCount(), int(project().links(1).size()));
        QVERIFY(form->linkList()->linkCount() > 0);
        QCOMPARE(project().links(0).size(), size_t(1)); // group 1 kept its link
    }

    void profileReplaceAndUncheck() {
        project().setGroupTitle(0, "Start");
        frame()->form()->project()->setLinks(frame()->form()->currentTab(),
                                             {{"Old", "https://old.example/"}});
        QList<FolderRow> rows;
        QString summaryText;
        m_window->ui.setNextDialog([&](QDialog& dialog) {
            // The Chromium profile is read as the dialog opens.
            rows = folderRows(dialog);
            const QList<QTreeWidgetItem*> items = allItems(dialog);
            // The bar's links and its folder into group 1, Other bookmarks left out.
            groupCombo(dialog, items[0])->setCurrentIndex(1);
            items[1]->setCheckState(0, Qt::Checked);
            groupCombo(dialog, items[1])->setCurrentIndex(1);
            items[2]->setCheckState(0, Qt::Unchecked);
            dialog.findChild<QComboBox*>(QStringLiteral("modeCombo1"))->setCurrentIndex(1);
            summaryText = summary(dialog);
            return int(QDialog::Accepted);
        });
        m_window->ui.setNextAnswer(QMessageBox::Ok);
        frame()->action(QStringLiteral("actionImportBookmarks"))->trigger();

        QCOMPARE(rows, (QList<FolderRow>{
                           {QStringLiteral("Bookmarks bar"), QStringLiteral("1"), true, 2},
                           {QStringLiteral("Folder"), QStringLiteral("1"), true, 3},
                           {QStringLiteral("Other bookmarks"), QStringLiteral("1"), true, 4},
                       }));
        QCOMPARE(summaryText,
                 QStringLiteral("2 links into 1 group; 1 link in 1 folder not ticked (Other "
                                "bookmarks)"));
        const LinkGroup& first = project().group(0);
        QCOMPARE(first.title, std::string("Start")); // it had one
        QCOMPARE(first.links.size(), size_t(2));
        QCOMPARE(first.links[0].description, std::string("Chromium &amp;amp; friends"));
        QCOMPARE(first.links[1].description, std::string("Nested \xC3\xBCn\xC3\xAF"
                                                         "c\xC3\xB6"
                                                         "d\xC3\xA9"));
        QVERIFY(project().links(1).empty());
    }

    // The tree and OK always belong to what the Source box shows: a file
    // that fails or a file choice that is cancelled leaves nothing to import.
    void theDialogFollowsItsSourceBox() {
        QTemporaryDir dir;
        const QString damaged = dir.filePath(QStringLiteral("damaged.xbel"));
        QFile file(damaged);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<?xml version=\"1.0\"?><xbel><folder><title>cut");
        file.close();
        struct Step {
            int rows;
            bool ok;
            QString source;
        };
        QList<Step> steps;
        auto note = [&](QDialog& dialog) {
            steps.append({int(folderRows(dialog).size()), okEnabled(dialog),
                          dialog.findChild<QLabel*>(QStringLiteral("sourceLabel"))->text()});
        };
        m_window->ui.setNextFileName(damaged);
        m_window->ui.setNextAnswer(QMessageBox::Ok);
        m_window->ui.setNextFileName(QString()); // the file dialog cancelled
        m_window->ui.setNextDialog([&](QDialog& dialog) {
            note(dialog); // the profile
            chooseFile(dialog);
            note(dialog); // the damaged file
            auto* source = dialog.findChild<QComboBox*>(QStringLiteral("sourceCombo"));
            source->setCurrentIndex(0);
            emit source->activated(0);
            note(dialog); // the profile again
            chooseFile(dialog);
            note(dialog); // no file chosen
            return int(QDialog::Rejected);
        });
        frame()->action(QStringLiteral("actionImportBookmarks"))->trigger();
        QCOMPARE(steps.size(), 4);
        QCOMPARE(steps[0].rows, 3);
        QVERIFY(steps[0].ok);
        QCOMPARE(steps[1].rows, 0);
        QVERIFY(!steps[1].ok);
        QCOMPARE(steps[1].source, QStringLiteral("Nothing read from damaged.xbel."));
        QCOMPARE(steps[2].rows, 3);
        QVERIFY(steps[2].ok);
        QCOMPARE(steps[3].rows, 0);
        QVERIFY(!steps[3].ok);
        QCOMPARE(steps[3].source, QStringLiteral("No file chosen."));
        QCOMPARE(m_window->ui.messages.size(), 1);
        QCOMPARE(m_window->ui.messages[0].text,
                 damaged + QStringLiteral(": not well-formed XML (line 1)."));
        QVERIFY(!project().isModified());
    }

    // Twelve folders for ten groups: the summary says what is left out;
    // Tick All, Untick All and Space on a range of rows; every cell and box
    // says its folder and group; F1 opens the bookmarks page.
    void moreFoldersThanGroups() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("many.html"));
        QByteArray html = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<H1>Bookmarks</H1>\n<DL><p>\n";
        for (int f = 1; f <= 12; ++f)
            html +=
                QStringLiteral("<DT><H3>F%1</H3>\n<DL><p>\n<DT><A HREF=\"https://f%1.example/\">"
                               "L%1</A>\n</DL><p>\n")
                    .arg(f)
                    .toUtf8();
        html += "</DL>\n";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(html);
        file.close();
        help::setHelpDirectory(QStringLiteral(LINKFOLD_TEST_DATA "/../../resources/help"));

        QStringList summaries, names;
        QString opened;
        m_window->ui.setNextFileName(path);
        m_window->ui.setNextDialog([&](QDialog& dialog) {
            chooseFile(dialog);
            summaries << summary(dialog);
            QTreeWidget* tree = folderTree(dialog);
            const QList<QTreeWidgetItem*> items = allItems(dialog);
            names << items[0]->data(0, Qt::AccessibleTextRole).toString()
                  << items[11]->data(2, Qt::AccessibleTextRole).toString()
                  << groupCombo(dialog, items[0])->accessibleName()
                  << dialog.findChild<QComboBox*>(QStringLiteral("modeCombo2"))->accessibleName();
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("untickAllButton")),
                              Qt::LeftButton);
            summaries << summary(dialog);
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("tickAllButton")),
                              Qt::LeftButton);
            summaries << summary(dialog);
            // Space on rows 2 to 4, all ticked: they are unticked.
            tree->setCurrentItem(items[1]);
            items[2]->setSelected(true);
            items[3]->setSelected(true);
            QTest::keyClick(tree, Qt::Key_Space);
            summaries << summary(dialog);
            // Ticked again, they take the groups left free.
            QTest::keyClick(tree, Qt::Key_Space);
            summaries << summary(dialog);
            dialog.show();
            QApplication::setActiveWindow(&dialog);
            if (QTest::qWaitForWindowActive(&dialog))
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
            opened = m_window->ui.opened.value(0);
            dialog.hide();
            return int(QDialog::Accepted);
        });
        m_window->ui.setNextAnswer(QMessageBox::Ok);
        frame()->action(QStringLiteral("actionImportBookmarks"))->trigger();
        help::setHelpDirectory(QString());

        const QString leftOut = QStringLiteral(
            "10 links into 10 groups; 2 links in 2 folders not imported: no group left (F11 and "
            "F12)");
        QCOMPARE(summaries,
                 QStringList({leftOut,
                              QStringLiteral("0 links into 0 groups; 12 links in 12 "
                                             "folders not ticked (F1, F2, F3 and 9 more)"),
                              leftOut,
                              QStringLiteral("7 links into 7 groups; 2 links in 2 folders not "
                                             "imported: no group left (F11 and F12); 3 links in 3 "
                                             "folders not ticked (F2, F3 and F4)"),
                              leftOut}));
        QCOMPARE(names,
                 QStringList({QStringLiteral("F1, ticked, into group 1"),
                              QStringLiteral("F12: no group"), QStringLiteral("Group for F1"),
                              QStringLiteral("Group 2: append or replace")}));
        QCOMPARE(QFileInfo(opened).fileName(), QStringLiteral("bookmarks-links.html"));
        // The summary after OK names what was left out, as before it.
        QCOMPARE(m_window->ui.messages.last().text, QStringLiteral("Imported: ") + leftOut + '.');
        QCOMPARE(project().group(9).title, std::string("F10"));
    }

    // A folder of script links only stands before eight others. Untick All
    // then Tick All, Space on some rows, a click on a box: no two rows are
    // ever given one group, and Tick All gives back the groups the window
    // opened with. Tab goes from the tree through the group boxes of the
    // ticked rows in row order, then to Tick All.
    void tickingNeverDoublesAGroupAndTabFollowsTheRows() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("scripts.html"));
        QByteArray html = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<H1>Bookmarks</H1>\n<DL><p>\n"
                          "<DT><H3>Bookmarklets</H3>\n<DL><p>\n"
                          "<DT><A HREF=\"javascript:void(0)\">JS</A>\n</DL><p>\n";
        for (int f = 1; f <= 8; ++f)
            html +=
                QStringLiteral("<DT><H3>F%1</H3>\n<DL><p>\n<DT><A HREF=\"https://f%1.example/\">"
                               "L%1</A>\n</DL><p>\n")
                    .arg(f)
                    .toUtf8();
        html += "</DL>\n";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(html);
        file.close();

        QList<QList<int>> groups; // after each step, the group of each ticked row
        QStringList doubled;
        QList<QWidget*> tabbed;
        QList<QWidget*> expectedTabs;
        QString openedSummary;
        m_window->ui.setNextFileName(path);
        m_window->ui.setNextDialog([&](QDialog& dialog) {
            chooseFile(dialog);
            openedSummary = summary(dialog);
            QTreeWidget* tree = folderTree(dialog);
            const QList<QTreeWidgetItem*> items = allItems(dialog);
            auto record = [&](const QString& step) {
                QList<int> now;
                QSet<int> seen;
                for (QTreeWidgetItem* item : items) {
                    const bool ticked = item->checkState(0) == Qt::Checked;
                    const int group = groupCombo(dialog, item)->currentIndex();
                    now << (ticked ? group : -1);
                    if (ticked && group > 0) {
                        if (seen.contains(group))
                            doubled << step;
                        seen.insert(group);
                    }
                }
                groups << now;
            };
            auto click = [&](const char* name) {
                QTest::mouseClick(dialog.findChild<QPushButton*>(QLatin1String(name)),
                                  Qt::LeftButton);
            };
            record(QStringLiteral("opened"));
            click("untickAllButton");
            click("tickAllButton");
            record(QStringLiteral("untick all, tick all"));
            // Space on the script folder and F1..F3: unticked, then ticked.
            tree->setCurrentItem(items[0]);
            for (int r = 1; r <= 3; ++r)
                items[r]->setSelected(true);
            QTest::keyClick(tree, Qt::Key_Space);
            QTest::keyClick(tree, Qt::Key_Space);
            record(QStringLiteral("space twice"));
            // Untick All, then the boxes clicked from the last row up.
            click("untickAllButton");
            for (qsizetype r = items.size() - 1; r >= 0; --r)
                items[r]->setCheckState(0, Qt::Checked);
            record(QStringLiteral("ticked one by one, backwards"));

            dialog.show();
            QApplication::setActiveWindow(&dialog);
            if (QTest::qWaitForWindowActive(&dialog)) {
                tree->setFocus();
                for (int i = 0; i <= items.size(); ++i) {
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                    tabbed << QApplication::focusWidget();
                }
                for (int r = 0; r < items.size(); ++r)
                    if (groupCombo(dialog, items[r])->isEnabled())
                        expectedTabs << groupCombo(dialog, items[r]);
                expectedTabs << dialog.findChild<QPushButton*>(QStringLiteral("tickAllButton"));
            }
            dialog.hide();
            return int(QDialog::Rejected);
        });
        frame()->action(QStringLiteral("actionImportBookmarks"))->trigger();

        QVERIFY2(doubled.isEmpty(), qPrintable(doubled.join(QStringLiteral(", "))));
        const QList<int> opened{-1, 1, 2, 3, 4, 5, 6, 7, 8};
        QCOMPARE(groups.value(0), opened);
        QCOMPARE(groups.value(1), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
        QCOMPARE(groups.value(2), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
        QCOMPARE(groups.value(3), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
        QCOMPARE(openedSummary, QStringLiteral("8 links into 8 groups, 1 script or data link "
                                               "skipped (in Bookmarklets)"));
        QVERIFY(!tabbed.isEmpty());
        QCOMPARE(tabbed, expectedTabs);
    }

    void cancelChangesNothing() {
        m_window->ui.setNextDialog([](QDialog&) { return int(QDialog::Rejected); });
        frame()->action(QStringLiteral("actionImportBookmarks"))->trigger();
        QVERIFY(!project().isModified());
        QVERIFY(m_window->ui.messages.isEmpty());
    }

    void exportReadsBack_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("html") << QStringLiteral("out.html");
        QTest::newRow("xbel") << QStringLiteral("out.xbel");
    }
    void exportReadsBack() {
        QFETCH(QString, name);
        project().setGroupTitle(1, "Later");
        project().addLink(1, "Not shown", "https://later.example/");
        frame()->form()->project()->setLinks(frame()->form()->currentTab(),
                                             {{"News &amp; Views", "https://news.example/"}});
        const QString path = m_home.filePath(name);
        m_window->ui.setNextFileName(path);
        frame()->action(QStringLiteral("actionExportBookmarks"))->trigger();
        QCOMPARE(m_window->ui.fileDialogs.last().filters,
                 QStringList(
                     {QStringLiteral("Bookmark HTML (*.html)"), QStringLiteral("XBEL (*.xbel)")}));
        const BookmarkReadResult read = readBookmarkFile(QFile::encodeName(path).toStdString());
        QVERIFY2(read.ok(), read.error.c_str());
        const auto& items = read.tree.items();
        QCOMPARE(items.size(), size_t(4));
        QCOMPARE(std::string(items[0].title), std::string("Group 1"));
        QCOMPARE(std::string(items[1].title), std::string("News & Views"));
        QCOMPARE(std::string(items[2].title), std::string("Later"));
        QCOMPARE(std::string(items[3].url), std::string("https://later.example/"));
        const bool xbel = name.endsWith(QStringLiteral(".xbel"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(sniffBookmarkFormat(file.readAll().toStdString()),
                 xbel ? BookmarkFormat::Xbel : BookmarkFormat::NetscapeHtml);
    }

    void exportFailureIsShown() {
        frame()->form()->project()->setLinks(frame()->form()->currentTab(),
                                             {{"A", "https://a.example/"}});
        const QString path = m_home.filePath(QStringLiteral("no such folder/out.html"));
        m_window->ui.setNextFileName(path);
        m_window->ui.setNextAnswer(QMessageBox::Ok);
        frame()->action(QStringLiteral("actionExportBookmarks"))->trigger();
        QCOMPARE(m_window->ui.messages.size(), 1);
        QVERIFY2(m_window->ui.messages.last().text.contains(path),
                 qPrintable(m_window->ui.messages.last().text));
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_MAIN(TestBookmarks)
#include "tst_bookmarks.moc"
