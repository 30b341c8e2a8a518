// Start-up, the main window's menus, accelerators, toolbar and status bar,
// the settings file, the file-type registration, Exit, help and About.
#include "app/AboutDialog.h"
#include "app/Application.h"
#include "app/DesktopIntegration.h"
#include "app/MainWindow.h"
#include "app/ProjectFileController.h"
#include "core/SettingsFile.h"
#include "editor/ProjectForm.h"
#include "gui/CommandIds.h"
#include "gui/HelpLauncher.h"
#include "support/FakeUiServices.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

CommandLineOptions Command(CommandLineOptions::Command c, const QString& file = {}) {
    CommandLineOptions info;
    info.m_shellCommand = c;
    info.m_fileName = QFile::encodeName(file).toStdString();
    return info;
}

// The displayed form of a menu item: its text and the first shortcut.
QString itemText(const QAction* a) {
    if (a->isSeparator())
        return QStringLiteral("-");
    QString text = a->text();
    if (!a->shortcut().isEmpty())
        text += QLatin1Char('\t') + a->shortcut().toString(QKeySequence::PortableText);
    return text;
}

} // namespace

class TestAppShell : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    QString m_sample;
    const QString m_program = QStringLiteral("/opt/Link Fold/bin/linkfold");

    QString config() const { return m_home.filePath(QStringLiteral("config")); }
    QString data() const { return m_home.filePath(QStringLiteral("data")); }
    QString ini() const { return config() + QStringLiteral("/linkfold.ini"); }
    Application::Options Options() const { return {ini(), data(), m_program}; }

    QString copySample(const QString& name) {
        const QString path = m_home.filePath(QStringLiteral("projects/") + name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile::remove(path);
        QFile::copy(QStringLiteral(LINKFOLD_TEST_DATA "/app/sample.lfp"), path);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        return path;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_home.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(data()));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(m_home.filePath(QStringLiteral("system"))));
        help::setHelpDirectory(QStringLiteral(LINKFOLD_TEST_DATA "/../../resources/help"));
        m_sample = copySample(QStringLiteral("sample.lfp"));
    }
    void init() {
        QFile::remove(ini());
        // The registration files stay between tests (a start only rewrites
        // what differs); the registration tests start from none.
        QDir(m_home.filePath(QStringLiteral("system"))).removeRecursively();
        QDir::setCurrent(m_home.filePath(QStringLiteral("projects")));
    }

    void startWithoutFile() {
        FakeUiServices ui;
        Application app(Options());
        QVERIFY(app.start(Command(CommandLineOptions::FileNew)));
        MainWindow* frame = app.mainWindow();
        QVERIFY(frame && frame->isVisible());
        QCOMPARE(frame->windowTitle(), QStringLiteral("Untitled - Linkfold"));
        // Fixed size, no maximize box, a minimize box.
        QCOMPARE(frame->minimumSize(), frame->maximumSize());
        QVERIFY(frame->width() > 0 && frame->height() > 0);
        QVERIFY(!(frame->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(frame->windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(frame->form() && frame->centralWidget() == frame->form());
        // The empty recent list is the greyed "Recent file" item.
        QAction* recent = frame->action(cmd::ID_FILE_MRU_FILE1);
        QCOMPARE(recent->text(), QStringLiteral("Recent File"));
        QVERIFY(!recent->isEnabled());
        QVERIFY(!frame->action(cmd::ID_FILE_MRU_FILE1 + 1)->isVisible());
        QVERIFY(!frame->onCommand(cmd::ID_FILE_MRU_FILE1)); // a greyed item never runs
        QVERIFY(ui.messages.isEmpty());
        app.finish();
        QVERIFY(!readAll(ini()).contains("Recent File List"));
    }

    void startWithFileOpensIt() {
        FakeUiServices ui;
        {
            Application app(Options());
            QVERIFY(app.start(Command(CommandLineOptions::FileOpen, m_sample)));
            QCOMPARE(app.mainWindow()->windowTitle(), QStringLiteral("sample.lfp - Linkfold"));
            QCOMPARE(app.project().title(), std::string("My Links"));
            QCOMPARE(app.recentFiles()[0], QFile::encodeName(m_sample).toStdString());
            QCOMPARE(app.mainWindow()->action(cmd::ID_FILE_MRU_FILE1)->text(),
                     QStringLiteral("&1 sample.lfp"));
            app.finish();
        }
        const QByteArray iniText = readAll(ini());
        QVERIFY2(
            iniText.contains("[Recent File List]\nFile1=" + QFile::encodeName(m_sample) + "\n"),
            iniText.constData());
        QVERIFY(ui.messages.isEmpty());
    }

    void startWithMissingFileEnds() {
        FakeUiServices ui;
        Application app(Options());
        const QString missing = m_home.filePath(QStringLiteral("projects/none.lfp"));
        QVERIFY(!app.start(Command(CommandLineOptions::FileOpen, missing)));
        QCOMPARE(app.exitCode(), 1);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, missing + QStringLiteral(" was not found."));
        QVERIFY(!app.mainWindow() || !app.mainWindow()->isVisible());
        app.finish();
        QVERIFY(!readAll(ini()).contains("none.lfp"));
    }

    void switchesThatEndAtOnce_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("frameMade");
        QTest::newRow("/p") << int(CommandLineOptions::FilePrint) << true;
        QTest::newRow("/pt") << int(CommandLineOptions::FilePrintTo) << true;
        QTest::newRow("/dde") << int(CommandLineOptions::FileDDE) << false;
    }
    void switchesThatEndAtOnce() {
        QFETCH(int, command);
        QFETCH(bool, frameMade);
        FakeUiServices ui;
        Application app(Options());
        QVERIFY(!app.start(Command(CommandLineOptions::Command(command), m_sample)));
        QCOMPARE(app.exitCode(), 0);
        QCOMPARE(app.mainWindow() != nullptr, frameMade);
        if (frameMade) {
            QVERIFY(!app.mainWindow()->isVisible());
            QCOMPARE(app.project().title(), std::string("My Links"));
        }
        QVERIFY(ui.messages.isEmpty());
    }

    void registrationFilesAndUnregister() {
        QDir(data()).removeRecursively();
        FakeUiServices ui;
        {
            Application app(Options());
            QVERIFY(app.start(Command(CommandLineOptions::FileNew)));
            app.finish();
        }
        DesktopIntegration reg(data(), m_program);
        for (const QString& f : reg.files())
            QVERIFY2(QFile::exists(f), qPrintable(f));
        const QByteArray mime = readAll(data() + QStringLiteral("/mime/packages/linkfold.xml"));
        QVERIFY(mime.contains("<comment>Linkfold Document</comment>"));
        QVERIFY(mime.contains("<glob pattern=\"*.lfp\"/>"));
        const QByteArray desktop =
            readAll(data() + QStringLiteral("/applications/linkfold.desktop"));
        QVERIFY(desktop.contains("Exec=\"/opt/Link Fold/bin/linkfold\" %f\n"));
        QVERIFY(desktop.contains("Exec=\"/opt/Link Fold/bin/linkfold\" -p %f\n"));
        QVERIFY(desktop.contains("MimeType=application/x-linkfold-document;"));
        QVERIFY(QFile::exists(ini()));

        // unregisterFileTypes removes exactly those files and the settings file, and
        // writes no settings afterwards.
        const QString keep = data() + QStringLiteral("/applications/other.desktop");
        QVERIFY(QFile(keep).open(QIODevice::WriteOnly));
        Application app(Options());
        QVERIFY(!app.start(Command(CommandLineOptions::AppUnregister)));
        app.finish();
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, QString::fromLatin1(kUnregisterDone));
        for (const QString& f : reg.files())
            QVERIFY2(!QFile::exists(f), qPrintable(f));
        QVERIFY(!QFile::exists(ini()));
        QVERIFY(QFile::exists(keep));
    }

    void extensionOfAnotherTypeIsNotClaimed() {
        QDir(data()).removeRecursively();
        FakeUiServices ui;
        const QString sys = m_home.filePath(QStringLiteral("system/mime"));
        QVERIFY(QDir().mkpath(sys));
        QFile globs(sys + QStringLiteral("/globs2"));
        QVERIFY(globs.open(QIODevice::WriteOnly));
        globs.write("# comment\n50:application/x-other-tool:*.LFP\n");
        globs.close();
        DesktopIntegration reg(data(), m_program);
        QVERIFY(reg.otherTypeClaimsExtension());
        QVERIFY(reg.registerFileTypes());
        const QByteArray mime = readAll(data() + QStringLiteral("/mime/packages/linkfold.xml"));
        QVERIFY(mime.contains("Linkfold Document"));
        QVERIFY(!mime.contains("glob"));
    }

    void recentFilesInSettingsAfterFiveOpens() {
        FakeUiServices ui;
        QStringList paths;
        {
            Application app(Options());
            QVERIFY(app.start(Command(CommandLineOptions::FileNew)));
            for (int i = 1; i <= 5; ++i) {
                paths << copySample(QStringLiteral("p%1.lfp").arg(i));
                QVERIFY(app.fileController().openDocumentFile(paths.last()));
            }
            MainWindow* frame = app.mainWindow();
            for (int i = 0; i < 4; ++i) {
                QAction* a = frame->action(cmd::ID_FILE_MRU_FILE1 + i);
                QVERIFY(a->isVisible() && a->isEnabled());
                QCOMPARE(a->text(), QStringLiteral("&%1 p%2.lfp").arg(i + 1).arg(5 - i));
                QCOMPARE(a->statusTip(), QStringLiteral("Open this document"));
            }
            app.finish();
        }
        SettingsFile settings(QFile::encodeName(ini()).toStdString());
        settings.load();
        for (int i = 1; i <= 4; ++i)
            QCOMPARE(settings.stringValue("Recent File List", "File" + std::to_string(i)),
                     QFile::encodeName(paths[5 - i]).toStdString());
        QCOMPARE(settings.stringValue("Recent File List", "File5", "none"), std::string("none"));

        // The next start reads them back; PreviewPages is kept when not 0.
        settings.setIntValue("Settings", "PreviewPages", 3);
        QVERIFY(settings.save());
        Application again(Options());
        QVERIFY(again.start(Command(CommandLineOptions::FileNew)));
        QCOMPARE(again.recentFiles()[0], QFile::encodeName(paths[4]).toStdString());
        QCOMPARE(again.previewPages(), 3);
        again.finish();
        QVERIFY(readAll(ini()).contains("[Settings]\nPreviewPages=3\n"));
    }

    void fileDialogFilters_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("qt");
        QTest::newRow("one pattern") << "GIF (*.gif)"
                                     << "GIF (*.gif)";
        QTest::newRow("comma list") << "JPEG (*.jpg,*.jpeg)"
                                    << "JPEG (*.jpg *.jpeg)";
        QTest::newRow("semicolon list") << "Pictures (*.png;*.gif)"
                                        << "Pictures (*.png *.gif)";
        QTest::newRow("every file") << "All Files (*.*)"
                                    << "All Files (*)";
        QTest::newRow("no patterns") << "Anything"
                                     << "Anything";
    }
    void fileDialogFilters() {
        QFETCH(QString, filter);
        QFETCH(QString, qt);
        QCOMPARE(toQtNameFilter(filter), qt);
    }

    void menus() {
        FakeUiServices ui;
        Application app(Options());
        QVERIFY(app.start(Command(CommandLineOptions::FileNew)));
        const QList<QPair<QString, QStringList>> expected = {
            {"&Project",
             {"&New\tCtrl+N", "&Open...\tCtrl+O", "&Save\tCtrl+S", "Save &As...", "-",
              "Recent File", "-", "E&xit"}},
            {"&Edit",
             {"Cut\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V", "&Delete\tDel", "-", "&Add...",
              "&Group Properties", "&Link Properties"}},
            {"&Page", {"&Generate...", "&Preview"}},
            {"&Help", {"&Contents", "-", "&About Linkfold..."}},
        };
        const QList<QList<int>> ids = {
            {57600, 57601, 57603, 57604, 0, 57616, 0, 57665},
            {57635, 57634, 57637, 32790, 0, 32776, 32786, 32791},
            {32771, 32772},
            {32783, 0, 57664},
        };
        const QList<QAction*> menus = app.mainWindow()->menuBar()->actions();
        QCOMPARE(menus.size(), expected.size());
        for (int m = 0; m < menus.size(); ++m) {
            QCOMPARE(menus[m]->text(), expected[m].first);
            QStringList texts;
            QList<int> menuIds;
            for (QAction* a : menus[m]->menu()->actions()) {
                if (!a->isVisible())
                    continue;
                texts << itemText(a);
                menuIds << (a->isSeparator() ? 0 : a->data().toInt());
                if (!a->isSeparator())
                    QCOMPARE(a->objectName(), QStringLiteral("cmd%1").arg(a->data().toInt()));
            }
            QCOMPARE(texts, expected[m].second);
            QCOMPARE(menuIds, ids[m]);
        }
    }

    void accelerators_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("id");
        QTest::newRow("Ctrl+N") << "Ctrl+N" << 57600;
        QTest::newRow("Ctrl+O") << "Ctrl+O" << 57601;
        QTest::newRow("Ctrl+S") << "Ctrl+S" << 57603;
        QTest::newRow("Ctrl+Z") << "Ctrl+Z" << 57643;
        QTest::newRow("Alt+Backspace") << "Alt+Backspace" << 57643;
        QTest::newRow("Ctrl+X") << "Ctrl+X" << 57635;
        QTest::newRow("Shift+Del") << "Shift+Del" << 57635;
        QTest::newRow("Ctrl+C") << "Ctrl+C" << 57634;
        QTest::newRow("Ctrl+Ins") << "Ctrl+Ins" << 57634;
        QTest::newRow("Ctrl+V") << "Ctrl+V" << 57637;
        QTest::newRow("Shift+Ins") << "Shift+Ins" << 57637;
        QTest::newRow("F6") << "F6" << 57680;
        QTest::newRow("Shift+F6") << "Shift+F6" << 57681;
    }
    void accelerators() {
        QFETCH(QString, keys);
        QFETCH(int, id);
        FakeUiServices ui;
        Application app(Options());
        QVERIFY(app.start(Command(CommandLineOptions::FileNew)));
        QAction* a = app.mainWindow()->action(id);
        QVERIFY(a);
        QVERIFY(a->shortcuts().contains(QKeySequence(keys)));
    }

    void inertKeysDoNothingInTextField() {
        FakeUiServices ui;
        Application app(Options());
        QVERIFY(app.start(Command(CommandLineOptions::FileNew)));
        MainWindow* frame = app.mainWindow();
        auto* edit = new QLineEdit(frame->form());
        edit->show();
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame));
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("abc"));
        QCOMPARE(edit->text(), QStringLiteral("abc"));
        QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Backspace, Qt::AltModifier);
        QTest::keyClick(edit, Qt::Key_F6);
        QTest::keyClick(edit, Qt::Key_F6, Qt::ShiftModifier);
        QCOMPARE(edit->text(), QStringLiteral("abc"));
        QVERIFY(edit->hasFocus());
        // Other keys still reach the field.
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), QStringLiteral("ab"));
    }

    void toolbar() {
        FakeUiServices ui;
        Application app(Options());
        QVERIFY(app.start(Command(CommandLineOptions::FileNew)));
        QToolBar* bar = app.mainWindow()->toolBar();
        QList<int> ids;
        QStringList tips;
        for (QAction* a : bar->actions()) {
            ids << (a->isSeparator() ? 0 : a->data().toInt());
            if (!a->isSeparator()) {
                tips << a->toolTip();
                // Hovering a button shows the command's prompt.
                QCOMPARE(bar->widgetForAction(a)->statusTip(), a->statusTip());
                QVERIFY(!a->statusTip().isEmpty());
                QVERIFY2(!a->icon().isNull(), qPrintable(a->objectName()));
            }
        }
        QCOMPARE(ids,
                 QList<int>({57600, 57601, 57603, 0, 32776, 32777, 0, 32771, 32772, 0, 32783}));
        QCOMPARE(tips, QStringList({"New Project", "Open Project", "Save Project", "Add Link",
                                    "Delete Link", "Generate Start Page", "Preview Start Page",
                                    "Help Contents"}));
        QCOMPARE(bar->iconSize(), QSize(24, 20));
        QCOMPARE(bar->allowedAreas(), Qt::AllToolBarAreas);
        QVERIFY(bar->isMovable() && bar->isFloatable());
        QCOMPARE(app.mainWindow()->toolBarArea(bar), Qt::TopToolBarArea);
    }

    void statusBarPrompts_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("prompt");
        QTest::newRow("New") << 57600 << "Create a new project";
        QTest::newRow("Open") << 57601 << "Open an existing Project";
        QTest::newRow("Save As") << 57604 << "Save the active document with a new name";
        QTest::newRow("Exit") << 57665 << "Quit the application; prompts to save documents";
        QTest::newRow("Copy") << 57634 << "Copy current group's URLs to the clipboard";
        QTest::newRow("Group Properties")
            << 32786 << "Configure the properties for the current group.";
        QTest::newRow("Link Properties") << 32791 << "Configure properties for the current link.";
        QTest::newRow("Delete Link") << 32777 << "Remove an entry from the list of links";
        QTest::newRow("Edit Delete has none") << 32790 << " ";
        QTest::newRow("About") << 57664
                               << "Display program information, version number and copyright";
    }
    void statusBarPrompts() {
        QFETCH(int, id);
        QFETCH(QString, prompt);
        FakeUiServices ui;
        Application app(Options());
        QVERIFY(app.start(Command(CommandLineOptions::FileNew)));
        MainWindow* frame = app.mainWindow();
        QCOMPARE(frame->messageText(), QStringLiteral(" "));
        frame->action(id)->showStatusText(frame);
        QCOMPARE(frame->messageText(), prompt);
        // Leaving the item brings back the idle text.
        QStatusTipEvent leave{QString()};
        QApplication::sendEvent(frame, &leave);
        QCOMPARE(frame->messageText(), QStringLiteral(" "));
        // The form's own messages use the same pane.
        emit frame->form()->statusMessage(QStringLiteral("News"));
        QCOMPARE(frame->messageText(), QStringLiteral("News"));
        // Lock indicators exist; without a readable keyboard state they hide.
        for (const char* name : {"CAP", "NUM", "SCRL"}) {
            auto* label = frame->statusBar()->findChild<QLabel*>(QStringLiteral("indicator") +
                                                                 QLatin1String(name));
            QVERIFY(label);
            QCOMPARE(label->text(), QLatin1String(name));
            if (QGuiApplication::platformName() == QLatin1String("offscreen"))
                QVERIFY(label->isHidden());
        }
    }

    void exitAsksBeforeDiscarding_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::newRow("cancel") << int(QMessageBox::Cancel) << false;
        QTest::newRow("no") << int(QMessageBox::No) << true;
        // Yes on an untitled project asks for a name; cancelling that keeps
        // the window open.
        QTest::newRow("yes, name cancelled") << int(QMessageBox::Yes) << false;
    }
    void exitAsksBeforeDiscarding() {
        QFETCH(int, answer);
        QFETCH(bool, closes);
        FakeUiServices ui;
        Application app(Options());
        QVERIFY(app.start(Command(CommandLineOptions::FileNew)));
        MainWindow* frame = app.mainWindow();
        app.project().setModified(true);
        ui.setNextAnswer(QMessageBox::StandardButton(answer));
        if (answer == QMessageBox::Yes)
            ui.setNextFileName(QString());
        QVERIFY(frame->action(cmd::ID_APP_EXIT)->isEnabled());
        QVERIFY(frame->onCommand(cmd::ID_APP_EXIT));
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, QStringLiteral("Save changes to Untitled?"));
        QCOMPARE(frame->isVisible(), !closes);
        QVERIFY(app.project().isModified());
        QCOMPARE(ui.fileDialogs.size(), answer == QMessageBox::Yes ? 1 : 0);
    }

    void helpCommands() {
        FakeUiServices ui;
        Application app(Options());
        QVERIFY(app.start(Command(CommandLineOptions::FileNew)));
        MainWindow* frame = app.mainWindow();
        QVERIFY(frame->action(cmd::ID_HELP_CONTENTS)->isEnabled());
        QVERIFY(frame->onCommand(cmd::ID_HELP_CONTENTS));
        QVERIFY(help::launchHelp(frame, res::HELP_CONTEXT_LINK));
        QVERIFY(help::launchHelp(frame, res::HELP_CONTEXT_GROUP));
        QVERIFY(help::launchHelp(frame, res::HELP_CONTEXT_COLORS));
        QCOMPARE(ui.opened.size(), 4);
        const QStringList pages = {"index.html", "link-dialog.html", "group-dialog.html",
                                   "colors-dialog.html"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(QFileInfo(ui.opened[i]).fileName(), pages[i]);
            QVERIFY(QFileInfo(ui.opened[i]).isFile());
        }
        QVERIFY(ui.messages.isEmpty());

        // No browser, or no help pages: one message each.
        ui.setBrowserResult(false);
        QVERIFY(!help::launchHelp(frame, help::kContents));
        help::setHelpDirectory(m_home.filePath(QStringLiteral("no-help-here")));
        ui.setBrowserResult(true);
        QVERIFY(!help::launchHelp(frame, res::HELP_CONTEXT_GROUP));
        help::setHelpDirectory(QStringLiteral(LINKFOLD_TEST_DATA "/../../resources/help"));
        QCOMPARE(ui.messages.size(), 2);
        for (const auto& m : ui.messages)
            QCOMPARE(m.text, QStringLiteral("Failed to launch help."));
    }

    void aboutBox() {
        FakeUiServices ui;
        Application app(Options());
        QVERIFY(app.start(Command(CommandLineOptions::FileNew)));
        QString title;
        QStringList texts;
        bool isAbout = false;
        ui.setNextDialog([&](QDialog& dlg) {
            isAbout = qobject_cast<AboutDialog*>(&dlg) != nullptr;
            title = dlg.windowTitle();
            for (QLabel* l : dlg.findChildren<QLabel*>())
                texts << l->text();
            return int(QDialog::Accepted);
        });
        QVERIFY(app.mainWindow()->onCommand(cmd::ID_APP_ABOUT));
        QVERIFY(isAbout);
        QCOMPARE(title, QStringLiteral("About"));
        QVERIFY(texts.contains(QStringLiteral("Version 1.0")));
        QCOMPARE(ui.unexpected, 0);
    }
};

QTEST_MAIN(TestAppShell)
#include "tst_app_shell.moc"
