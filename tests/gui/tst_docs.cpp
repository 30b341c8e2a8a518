// The documents against the real main window: every menu command README.md
// and the help pages name is in its menu, and every key the help pages give
// for the main window does something there. (The command line is checked
// by tests/docs/check_docs.py.)
#include "app/MainWindow.h"
#include "core/Project.h"
#include "editor/LinkListView.h"
#include "editor/ProjectForm.h"
#include "support/StartedWindow.h"

#include <QFile>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSet>
#include <QShortcut>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>

namespace {

const QString kSource = QStringLiteral(LINKFOLD_TEST_DATA "/../..");

QString readSource(const QString& path) {
    QFile file(kSource + QLatin1Char('/') + path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return QString::fromUtf8(file.readAll());
}

QString plainHtml(const QString& html) {
    return QTextDocumentFragment::fromHtml(html).toPlainText();
}

QString simplified(QString text) {
    return text.remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0).simplified();
}

// "Menu > Item" as written in bold: **...** in Markdown, <b>...</b> in HTML.
QStringList menuPaths(const QString& text, const QString& bold) {
    QStringList paths;
    QRegularExpression re(bold, QRegularExpression::DotMatchesEverythingOption);
    for (const auto& m : re.globalMatch(text)) {
        const QString path = m.captured(1).replace(QStringLiteral("&gt;"), QStringLiteral(">"));
        // The browsers' settings are named the same way; they are not ours.
        if (path.contains(QLatin1String(" > ")) && !path.startsWith(QLatin1String("Settings")))
            paths << path.simplified();
    }
    return paths;
}

const char* const kHelpPages[] = {"index.html",        "using.html",           "link-dialog.html",
                                  "group-dialog.html", "colors-dialog.html",   "homepage.html",
                                  "page-style.html",   "bookmarks-links.html", "link-check.html"};

} // namespace

class TestDocs : public QObject {
    Q_OBJECT

private slots:
    void menuCommandsExist() {
        StartedWindow w;
        QSet<QString> commands;
        for (QAction* top : w.frame->menuBar()->actions()) {
            if (!top->menu())
                continue;
            for (QAction* item : top->menu()->actions())
                commands << simplified(top->text()) + QStringLiteral(" > ") +
                                simplified(item->text());
        }
        QStringList named = menuPaths(readSource(QStringLiteral("README.md")),
                                      QStringLiteral("\\*\\*([^*]+)\\*\\*"));
        for (const char* page : kHelpPages)
            named << menuPaths(readSource(QStringLiteral("resources/help/") + page),
                               QStringLiteral("<b>(.*?)</b>"));
        QVERIFY(named.size() > 20);
        for (const QString& path : named)
            QVERIFY2(commands.contains(path), qPrintable(path + QStringLiteral(" is no command")));
    }

    // Each key the help's Keys table, using.html and README give is a shortcut
    // of the main window, or one the link list takes: pressed there on a
    // selected link it deletes, opens a dialog or a menu.
    void documentedKeysWork() {
        QSet<QString> keys;
        QRegularExpression kbd(QStringLiteral("<kbd>(.*?)</kbd>"));
        for (const char* page : {"index.html", "using.html"}) {
            for (const auto& m :
                 kbd.globalMatch(readSource(QStringLiteral("resources/help/") + page)))
                keys << plainHtml(m.captured(1));
        }
        QVERIFY(keys.size() > 20);
        // README names keys in plain text, such as "Paste (Ctrl+V)".
        QRegularExpression chord(QStringLiteral("\\b(?:Ctrl|Shift|Alt)\\+\\w+"));
        for (const auto& m : chord.globalMatch(readSource(QStringLiteral("README.md"))))
            keys << m.captured(0);

        StartedWindow w;
        QSet<QKeySequence> bound;
        for (const QAction* action : w.frame->findChildren<QAction*>())
            for (const QKeySequence& k : action->shortcuts())
                bound << k;
        for (const QShortcut* shortcut : w.frame->findChildren<QShortcut*>())
            bound << shortcut->key();

        for (const QString& name : keys) {
            QString portable = name;
            portable.replace(QStringLiteral("PgDn"), QStringLiteral("PgDown"));
            const QKeySequence key = QKeySequence::fromString(portable, QKeySequence::PortableText);
            QVERIFY2(key.count() == 1, qPrintable(name + QStringLiteral(" is no key")));
            if (bound.contains(key))
                continue;

            // A key the list handles itself.
            w.form->project()->setLinks(0, {{"A", "http://a/"}, {"B", "http://b/"}});
            w.list->setFocus();
            w.list->selectRow(1);
            w.list->setFocusedRow(1);
            const int dialogs = w.ui.unexpected; // a dialog asked for, not answered
            bool menu = false;
            QTimer::singleShot(50, [&] {
                if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                    menu = true;
                    popup->close();
                }
            });
            const QKeyCombination combo = key[0];
            w.key(combo.key(), combo.keyboardModifiers());
            QTest::qWait(100);
            QVERIFY2(w.ui.unexpected > dialogs || menu || w.list->linkCount() == 1,
                     qPrintable(name + QStringLiteral(" does nothing in the main window")));
        }
    }
};

QTEST_MAIN(TestDocs)
#include "tst_docs.moc"
