// Import Bookmarks from the profiles real browsers wrote
// (tests/fixtures/browsers): a Firefox and a Chromium profile in the home
// folder, found by the window and imported with the choices it opens with.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "core/Project.h"
#include "editor/ProjectForm.h"
#include "support/StartedWindow.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <memory>

namespace {

const QString kFixtures = QStringLiteral(LINKFOLD_TEST_DATA "/../fixtures/browsers/");

// "name count ticked group" per row of the mapping dialog, names indented
// by depth; the group is the combo's index (0 is "No group").
QStringList folderRows(QDialog& dialog) {
    auto* tree = dialog.findChild<QTreeWidget*>(QStringLiteral("folderTree"));
    QStringList rows;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        QTreeWidgetItem* item = *it;
        int depth = 0;
        for (QTreeWidgetItem* p = item->parent(); p; p = p->parent())
            ++depth;
        auto* combo = qobject_cast<QComboBox*>(tree->itemWidget(item, 2));
        rows << QStringLiteral("%1%2 %3 %4 %5")
                    .arg(QString(depth * 2, QLatin1Char(' ')), item->text(0), item->text(1),
                         item->checkState(0) == Qt::Checked ? QStringLiteral("ticked")
                                                            : QStringLiteral("-"))
                    .arg(combo ? combo->currentIndex() : -1);
    }
    return rows;
}

void chooseSource(QDialog& dialog, int index) {
    auto* source = dialog.findChild<QComboBox*>(QStringLiteral("sourceCombo"));
    source->setCurrentIndex(index);
    emit source->activated(index);
}

} // namespace

class TestBrowserProfiles : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    std::unique_ptr<StartedWindow> m_window;

    MainWindow* frame() const { return m_window->frame; }
    Project& project() const { return *frame()->form()->project(); }

    // "N title: url url ..." per group with links.
    QStringList groups() const {
        QStringList lines;
        for (int g = 0; g < project().groupCount(); ++g) {
            const std::vector<Link> links = project().links(g);
            if (links.empty())
                continue;
            QString line = QString::number(g + 1) + QLatin1Char(' ') +
                           QString::fromStdString(project().group(g).title) + QLatin1Char(':');
            for (const Link& link : links)
                line += QLatin1Char(' ') + QString::fromStdString(link.url);
            lines << line;
        }
        return lines;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_home.isValid());
        qputenv("HOME", QFile::encodeName(m_home.path()));
        const QString firefox = m_home.filePath(QStringLiteral(".mozilla/firefox"));
        QVERIFY(QDir().mkpath(firefox + QStringLiteral("/x1y2z3.default-esr")));
        QFile ini(firefox + QStringLiteral("/profiles.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Profile0]\nName=default-esr\nIsRelative=1\nPath=x1y2z3.default-esr\n");
        ini.close();
        QVERIFY(QFile::copy(kFixtures + QStringLiteral("firefox-places.sqlite"),
                            firefox + QStringLiteral("/x1y2z3.default-esr/places.sqlite")));
        QVERIFY(QDir().mkpath(m_home.filePath(QStringLiteral(".config/chromium/Default"))));
        QVERIFY(QFile::copy(kFixtures + QStringLiteral("chromium-Bookmarks"),
                            m_home.filePath(QStringLiteral(".config/chromium/Default/Bookmarks"))));
    }

    void init() { m_window = std::make_unique<StartedWindow>(); }

    void cleanup() {
        const int unexpected = m_window->ui.unexpected;
        m_window.reset();
        QCOMPARE(unexpected, 0);
    }

    // The user's folders are the rows, at their depth, the top ones ticked
    // into the empty groups; OK puts them there. Run again, the window
    // meets the groups it made and adds nothing.
    void importsTheProfilesFoldersAndAgainWithoutDoubles() {
        QStringList sources, firefoxRows, chromiumRows;
        m_window->ui.setNextDialog([&](QDialog& dialog) {
            auto* source = dialog.findChild<QComboBox*>(QStringLiteral("sourceCombo"));
            for (int i = 0; i < source->count(); ++i)
                sources << source->itemText(i);
            chooseSource(dialog, 1);
            chromiumRows = folderRows(dialog);
            chooseSource(dialog, 0);
            firefoxRows = folderRows(dialog);
            return int(QDialog::Accepted);
        });
        m_window->ui.setNextAnswer(QMessageBox::Ok);
        frame()->action(QStringLiteral("actionImportBookmarks"))->trigger();

        QCOMPARE(sources, QStringList({QStringLiteral("Firefox \u2014 default-esr"),
                                       QStringLiteral("Chromium \u2014 Default"),
                                       QStringLiteral("From a file...")}));
        QCOMPARE(firefoxRows, QStringList({
                                  QStringLiteral("Bookmarks Menu 2 ticked 1"),
                                  QStringLiteral("Work & Projects 6 ticked 2"),
                                  QStringLiteral("  Tools 4 - 0"),
                                  QStringLiteral("    C++ reference 2 - 0"),
                                  QStringLiteral("Reading 3 ticked 3"),
                                  QStringLiteral("  Archive 1 - 0"),
                                  QStringLiteral("News 3 ticked 4"),
                                  QStringLiteral("  Local 1 - 0"),
                                  QStringLiteral("Dev 2 ticked 5"),
                                  QStringLiteral("  Qt 1 - 0"),
                              }));
        QCOMPARE(chromiumRows, QStringList({
                                   QStringLiteral("News 3 ticked 1"),
                                   QStringLiteral("  Local 1 - 0"),
                                   QStringLiteral("Dev 2 ticked 2"),
                                   QStringLiteral("  Qt 1 - 0"),
                                   QStringLiteral("Other bookmarks 2 ticked 3"),
                                   QStringLiteral("Work & Projects 6 ticked 4"),
                                   QStringLiteral("  Tools 4 - 0"),
                                   QStringLiteral("    C++ reference 2 - 0"),
                                   QStringLiteral("Reading 3 ticked 5"),
                                   QStringLiteral("  Archive 1 - 0"),
                               }));
        QCOMPARE(m_window->ui.messages.last().text,
                 QStringLiteral("Imported: 15 links into 5 groups, 1 duplicate skipped "
                                "(https://wiki.example.com/)."));
        const QStringList once = groups();
        QCOMPARE(once,
                 QStringList({
                     QStringLiteral("1 Bookmarks Menu: https://www.debian.org/ https://lwn.net/"),
                     QStringLiteral("2 Work &amp; Projects: "
                                    "https://tracker.example.com/issues?state=open&sort=new "
                                    "https://wiki.example.com/ https://godbolt.org/ "
                                    "https://en.cppreference.com/w/ "
                                    "https://doc.qt.io/qt-6/qtwidgets-index.html"),
                     QStringLiteral("3 Reading: https://de.wikipedia.org/wiki/Z%C3%BCrich "
                                    "https://example.jp/%E3%83%9A%E3%83%BC%E3%82%B8?q=1&r=2 "
                                    "https://old.example.net/2001/post.html"),
                     QStringLiteral("4 News: https://news.example.de/ https://wiki.example.com/ "
                                    "https://local.example.org/weather"),
                     QStringLiteral("5 Dev: https://google.github.io/googletest/ "
                                    "https://doc.qt.io/qt-6/qttest-index.html"),
                 }));

        QStringList again;
        m_window->ui.setNextDialog([&](QDialog& dialog) {
            again = folderRows(dialog);
            return int(QDialog::Accepted);
        });
        m_window->ui.setNextAnswer(QMessageBox::Ok);
        frame()->action(QStringLiteral("actionImportBookmarks"))->trigger();
        QCOMPARE(again.value(1), QStringLiteral("Work & Projects 6 ticked 2"));
        QVERIFY(m_window->ui.messages.last().text.startsWith(
            QStringLiteral("Imported: 0 links into 0 groups, 16 duplicates skipped (")));
        QCOMPARE(groups(), once);
    }
};

QTEST_MAIN(TestBrowserProfiles)
#include "tst_browserprofiles.moc"
