// Start-up, the main window's menus, accelerators, toolbar and status bar,
// the settings file, the file-type registration, Exit, help and About.
#include "app/AboutDlg.h"
#include "app/CommandIds.h"
#include "app/DocManager.h"
#include "app/HelpLauncher.h"
#include "app/MainFrame.h"
#include "app/ShellRegistration.h"
#include "app/StartPageApp.h"
#include "editor/LFView.h"
#include "model/IniFile.h"
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

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

CCommandLineInfo Command(CCommandLineInfo::Command c, const QString& file = {}) {
    CCommandLineInfo info;
    info.m_nShellCommand = c;
    info.m_strFileName = QFile::encodeName(file).toStdString();
    return info;
}

// The displayed form of a menu item: its text and the first shortcut.
QString ItemText(const QAction* a) {
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

    QString Config() const { return m_home.filePath(QStringLiteral("config")); }
    QString Data() const { return m_home.filePath(QStringLiteral("data")); }
    QString Ini() const { return Config() + QStringLiteral("/linkfold.ini"); }
    CStartPageApp::Options Options() const { return {Ini(), Data(), m_program}; }

    QString CopySample(const QString& name) {
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
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(Config()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(Data()));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(m_home.filePath(QStringLiteral("system"))));
        help::SetHelpDirectory(QStringLiteral(LINKFOLD_TEST_DATA "/../../resources/help"));
        m_sample = CopySample(QStringLiteral("sample.lfp"));
    }
    void init() {
        QFile::remove(Ini());
        // The registration files stay between tests (a start only rewrites
        // what differs); the registration tests start from none.
        QDir(m_home.filePath(QStringLiteral("system"))).removeRecursively();
        QDir::setCurrent(m_home.filePath(QStringLiteral("projects")));
    }

    void startWithoutFile() {
        CFakeUiServices ui;
        CStartPageApp app(Options());
        QVERIFY(app.InitInstance(Command(CCommandLineInfo::FileNew)));
        CMainFrame* frame = app.GetMainFrame();
        QVERIFY(frame && frame->isVisible());
        QCOMPARE(frame->windowTitle(), QStringLiteral("Untitled - Linkfold"));
        // Fixed size, no maximize box, a minimize box.
        QCOMPARE(frame->minimumSize(), frame->maximumSize());
        QVERIFY(frame->width() > 0 && frame->height() > 0);
        QVERIFY(!(frame->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(frame->windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(frame->GetView() && frame->centralWidget() == frame->GetView());
        // The empty recent list is the greyed "Recent File" item.
        QAction* recent = frame->GetAction(cmd::ID_FILE_MRU_FILE1);
        QCOMPARE(recent->text(), QStringLiteral("Recent File"));
        QVERIFY(!recent->isEnabled());
        QVERIFY(!frame->GetAction(cmd::ID_FILE_MRU_FILE1 + 1)->isVisible());
        QVERIFY(!frame->OnCommand(cmd::ID_FILE_MRU_FILE1)); // a greyed item never runs
        QVERIFY(ui.messages.isEmpty());
        app.ExitInstance();
        QVERIFY(!ReadAll(Ini()).contains("Recent File List"));
    }

    void startWithFileOpensIt() {
        CFakeUiServices ui;
        {
            CStartPageApp app(Options());
            QVERIFY(app.InitInstance(Command(CCommandLineInfo::FileOpen, m_sample)));
            QCOMPARE(app.GetMainFrame()->windowTitle(), QStringLiteral("sample.lfp - Linkfold"));
            QCOMPARE(app.GetDocument().m_strTitle, std::string("My Links"));
            QCOMPARE(app.GetRecentFileList()[0], QFile::encodeName(m_sample).toStdString());
            QCOMPARE(app.GetMainFrame()->GetAction(cmd::ID_FILE_MRU_FILE1)->text(),
                     QStringLiteral("&1 sample.lfp"));
            app.ExitInstance();
        }
        const QByteArray ini = ReadAll(Ini());
        QVERIFY2(ini.contains("[Recent File List]\nFile1=" + QFile::encodeName(m_sample) + "\n"),
                 ini.constData());
        QVERIFY(ui.messages.isEmpty());
    }

    void startWithMissingFileEnds() {
        CFakeUiServices ui;
        CStartPageApp app(Options());
        const QString missing = m_home.filePath(QStringLiteral("projects/none.lfp"));
        QVERIFY(!app.InitInstance(Command(CCommandLineInfo::FileOpen, missing)));
        QCOMPARE(app.ExitCode(), 1);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, missing + QStringLiteral(" was not found."));
        QVERIFY(!app.GetMainFrame() || !app.GetMainFrame()->isVisible());
        app.ExitInstance();
        QVERIFY(!ReadAll(Ini()).contains("none.lfp"));
    }

    void switchesThatEndAtOnce_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("frameMade");
        QTest::newRow("/p") << int(CCommandLineInfo::FilePrint) << true;
        QTest::newRow("/pt") << int(CCommandLineInfo::FilePrintTo) << true;
        QTest::newRow("/dde") << int(CCommandLineInfo::FileDDE) << false;
    }
    void switchesThatEndAtOnce() {
        QFETCH(int, command);
        QFETCH(bool, frameMade);
        CFakeUiServices ui;
        CStartPageApp app(Options());
        QVERIFY(!app.InitInstance(Command(CCommandLineInfo::Command(command), m_sample)));
        QCOMPARE(app.ExitCode(), 0);
        QCOMPARE(app.GetMainFrame() != nullptr, frameMade);
        if (frameMade) {
            QVERIFY(!app.GetMainFrame()->isVisible());
            QCOMPARE(app.GetDocument().m_strTitle, std::string("My Links"));
        }
        QVERIFY(ui.messages.isEmpty());
    }

    void registrationFilesAndUnregister() {
        QDir(Data()).removeRecursively();
        CFakeUiServices ui;
        {
            CStartPageApp app(Options());
            QVERIFY(app.InitInstance(Command(CCommandLineInfo::FileNew)));
            app.ExitInstance();
        }
        CShellRegistration reg(Data(), m_program);
        for (const QString& f : reg.Files())
            QVERIFY2(QFile::exists(f), qPrintable(f));
        const QByteArray mime = ReadAll(Data() + QStringLiteral("/mime/packages/linkfold.xml"));
        QVERIFY(mime.contains("<comment>Linkfold Document</comment>"));
        QVERIFY(mime.contains("<glob pattern=\"*.lfp\"/>"));
        const QByteArray desktop =
            ReadAll(Data() + QStringLiteral("/applications/linkfold.desktop"));
        QVERIFY(desktop.contains("Exec=\"/opt/Link Fold/bin/linkfold\" %f\n"));
        QVERIFY(desktop.contains("Exec=\"/opt/Link Fold/bin/linkfold\" -p %f\n"));
        QVERIFY(desktop.contains("MimeType=application/x-linkfold-document;"));
        QVERIFY(QFile::exists(Ini()));

        // Unregister removes exactly those files and the settings file, and
        // writes no settings afterwards.
        const QString keep = Data() + QStringLiteral("/applications/other.desktop");
        QVERIFY(QFile(keep).open(QIODevice::WriteOnly));
        CStartPageApp app(Options());
        QVERIFY(!app.InitInstance(Command(CCommandLineInfo::AppUnregister)));
        app.ExitInstance();
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, QString::fromLatin1(kUnregisterDone));
        for (const QString& f : reg.Files())
            QVERIFY2(!QFile::exists(f), qPrintable(f));
        QVERIFY(!QFile::exists(Ini()));
        QVERIFY(QFile::exists(keep));
    }

    void extensionOfAnotherTypeIsNotClaimed() {
        QDir(Data()).removeRecursively();
        CFakeUiServices ui;
        const QString sys = m_home.filePath(QStringLiteral("system/mime"));
        QVERIFY(QDir().mkpath(sys));
        QFile globs(sys + QStringLiteral("/globs2"));
        QVERIFY(globs.open(QIODevice::WriteOnly));
        globs.write("# comment\n50:application/x-other-tool:*.LFP\n");
        globs.close();
        CShellRegistration reg(Data(), m_program);
        QVERIFY(reg.OtherTypeClaimsExtension());
        QVERIFY(reg.Register());
        const QByteArray mime = ReadAll(Data() + QStringLiteral("/mime/packages/linkfold.xml"));
        QVERIFY(mime.contains("Linkfold Document"));
        QVERIFY(!mime.contains("glob"));
    }

    void recentFilesInSettingsAfterFiveOpens() {
        CFakeUiServices ui;
        QStringList paths;
        {
            CStartPageApp app(Options());
            QVERIFY(app.InitInstance(Command(CCommandLineInfo::FileNew)));
            for (int i = 1; i <= 5; ++i) {
                paths << CopySample(QStringLiteral("p%1.lfp").arg(i));
                QVERIFY(app.GetDocManager().OpenDocumentFile(paths.last()));
            }
            CMainFrame* frame = app.GetMainFrame();
            for (int i = 0; i < 4; ++i) {
                QAction* a = frame->GetAction(cmd::ID_FILE_MRU_FILE1 + i);
                QVERIFY(a->isVisible() && a->isEnabled());
                QCOMPARE(a->text(), QStringLiteral("&%1 p%2.lfp").arg(i + 1).arg(5 - i));
                QCOMPARE(a->statusTip(), QStringLiteral("Open this document"));
            }
            app.ExitInstance();
        }
        CIniFile ini(QFile::encodeName(Ini()).toStdString());
        ini.Load();
        for (int i = 1; i <= 4; ++i)
            QCOMPARE(ini.GetString("Recent File List", "File" + std::to_string(i)),
                     QFile::encodeName(paths[5 - i]).toStdString());
        QCOMPARE(ini.GetString("Recent File List", "File5", "none"), std::string("none"));

        // The next start reads them back; PreviewPages is kept when not 0.
        ini.SetInt("Settings", "PreviewPages", 3);
        QVERIFY(ini.Save());
        CStartPageApp again(Options());
        QVERIFY(again.InitInstance(Command(CCommandLineInfo::FileNew)));
        QCOMPARE(again.GetRecentFileList()[0], QFile::encodeName(paths[4]).toStdString());
        QCOMPARE(again.GetPreviewPages(), 3);
        again.ExitInstance();
        QVERIFY(ReadAll(Ini()).contains("[Settings]\nPreviewPages=3\n"));
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
        QCOMPARE(ToQtNameFilter(filter), qt);
    }

    void menus() {
        CFakeUiServices ui;
        CStartPageApp app(Options());
        QVERIFY(app.InitInstance(Command(CCommandLineInfo::FileNew)));
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
        const QList<QAction*> menus = app.GetMainFrame()->menuBar()->actions();
        QCOMPARE(menus.size(), expected.size());
        for (int m = 0; m < menus.size(); ++m) {
            QCOMPARE(menus[m]->text(), expected[m].first);
            QStringList texts;
            QList<int> menuIds;
            for (QAction* a : menus[m]->menu()->actions()) {
                if (!a->isVisible())
                    continue;
                texts << ItemText(a);
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
        CFakeUiServices ui;
        CStartPageApp app(Options());
        QVERIFY(app.InitInstance(Command(CCommandLineInfo::FileNew)));
        QAction* a = app.GetMainFrame()->GetAction(id);
        QVERIFY(a);
        QVERIFY(a->shortcuts().contains(QKeySequence(keys)));
    }

    void inertKeysDoNothingInTextField() {
        CFakeUiServices ui;
        CStartPageApp app(Options());
        QVERIFY(app.InitInstance(Command(CCommandLineInfo::FileNew)));
        CMainFrame* frame = app.GetMainFrame();
        auto* edit = new QLineEdit(frame->GetView());
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
        CFakeUiServices ui;
        CStartPageApp app(Options());
        QVERIFY(app.InitInstance(Command(CCommandLineInfo::FileNew)));
        QToolBar* bar = app.GetMainFrame()->GetToolBar();
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
        QCOMPARE(app.GetMainFrame()->toolBarArea(bar), Qt::TopToolBarArea);
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
        CFakeUiServices ui;
        CStartPageApp app(Options());
        QVERIFY(app.InitInstance(Command(CCommandLineInfo::FileNew)));
        CMainFrame* frame = app.GetMainFrame();
        QCOMPARE(frame->MessageText(), QStringLiteral(" "));
        frame->GetAction(id)->showStatusText(frame);
        QCOMPARE(frame->MessageText(), prompt);
        // Leaving the item brings back the idle text.
        QStatusTipEvent leave{QString()};
        QApplication::sendEvent(frame, &leave);
        QCOMPARE(frame->MessageText(), QStringLiteral(" "));
        // The form's own messages use the same pane.
        emit frame->GetView()->statusMessage(QStringLiteral("News"));
        QCOMPARE(frame->MessageText(), QStringLiteral("News"));
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
        CFakeUiServices ui;
        CStartPageApp app(Options());
        QVERIFY(app.InitInstance(Command(CCommandLineInfo::FileNew)));
        CMainFrame* frame = app.GetMainFrame();
        app.GetDocument().SetModifiedFlag(true);
        ui.setNextAnswer(QMessageBox::StandardButton(answer));
        if (answer == QMessageBox::Yes)
            ui.setNextFileName(QString());
        QVERIFY(frame->GetAction(cmd::ID_APP_EXIT)->isEnabled());
        QVERIFY(frame->OnCommand(cmd::ID_APP_EXIT));
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, QStringLiteral("Save changes to Untitled?"));
        QCOMPARE(frame->isVisible(), !closes);
        QVERIFY(app.GetDocument().IsModified());
        QCOMPARE(ui.fileDialogs.size(), answer == QMessageBox::Yes ? 1 : 0);
    }

    void helpCommands() {
        CFakeUiServices ui;
        CStartPageApp app(Options());
        QVERIFY(app.InitInstance(Command(CCommandLineInfo::FileNew)));
        CMainFrame* frame = app.GetMainFrame();
        QVERIFY(frame->GetAction(cmd::ID_HELP_CONTENTS)->isEnabled());
        QVERIFY(frame->OnCommand(cmd::ID_HELP_CONTENTS));
        QVERIFY(help::LaunchHelp(frame, res::HELP_CONTEXT_LINK));
        QVERIFY(help::LaunchHelp(frame, res::HELP_CONTEXT_GROUP));
        QVERIFY(help::LaunchHelp(frame, res::HELP_CONTEXT_COLORS));
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
        QVERIFY(!help::LaunchHelp(frame, help::kContents));
        help::SetHelpDirectory(m_home.filePath(QStringLiteral("no-help-here")));
        ui.setBrowserResult(true);
        QVERIFY(!help::LaunchHelp(frame, res::HELP_CONTEXT_GROUP));
        help::SetHelpDirectory(QStringLiteral(LINKFOLD_TEST_DATA "/../../resources/help"));
        QCOMPARE(ui.messages.size(), 2);
        for (const auto& m : ui.messages)
            QCOMPARE(m.text, QStringLiteral("Failed to launch help."));
    }

    void aboutBox() {
        CFakeUiServices ui;
        CStartPageApp app(Options());
        QVERIFY(app.InitInstance(Command(CCommandLineInfo::FileNew)));
        QString title;
        QStringList texts;
        bool isAbout = false;
        ui.setNextDialog([&](QDialog& dlg) {
            isAbout = qobject_cast<CAboutDlg*>(&dlg) != nullptr;
            title = dlg.windowTitle();
            for (QLabel* l : dlg.findChildren<QLabel*>())
                texts << l->text();
            return int(QDialog::Accepted);
        });
        QVERIFY(app.GetMainFrame()->OnCommand(cmd::ID_APP_ABOUT));
        QVERIFY(isAbout);
        QCOMPARE(title, QStringLiteral("About"));
        QVERIFY(texts.contains(QStringLiteral("Version 1.0")));
        QCOMPARE(ui.unexpected, 0);
    }
};

QTEST_MAIN(TestAppShell)
#include "tst_app_shell.moc"
