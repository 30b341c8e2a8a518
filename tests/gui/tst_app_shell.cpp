// Start-up, the main window's menus, accelerators, toolbar and status bar,
// the settings file, the file-type registration, Exit, help and About.
#include "app/AboutDialog.h"
#include "app/Application.h"
#include "app/DesktopIntegration.h"
#include "app/MainWindow.h"
#include "app/ProjectFileController.h"
#include "core/SettingsFile.h"
#include "editor/LinkListView.h"
#include "editor/ProjectForm.h"
#include "gui/HelpLauncher.h"
#include "support/FakeUiServices.h"

#include "linkfold_version.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <filesystem>
#include <sys/stat.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

CommandLineOptions Command(CommandLineOptions::Command c, const QString& file = {}) {
    CommandLineOptions info;
    info.command = c;
    info.fileName = QFile::encodeName(file).toStdString();
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

    // A settings file far larger than any the program writes is neither
    // read nor replaced; a FIFO named as the settings file is neither waited
    // for nor replaced. The program starts with its defaults either way.
    void oddSettingsFilesStayAsTheyAre_data() {
        QTest::addColumn<bool>("fifo");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("warned");
        QTest::newRow("largest read") << false << qint64(SettingsFile::kMaxSize) << false;
        QTest::newRow("one byte more") << false << qint64(SettingsFile::kMaxSize + 1) << true;
        QTest::newRow("10 MB") << false << qint64(10'000'000) << true;
        QTest::newRow("fifo") << true << qint64(0) << false;
    }
    void oddSettingsFilesStayAsTheyAre() {
        QFETCH(bool, fifo);
        QFETCH(qint64, size);
        QFETCH(bool, warned);
        QDir().mkpath(config());
        QByteArray bytes;
        if (fifo) {
            QCOMPARE(::mkfifo(QFile::encodeName(ini()).constData(), 0600), 0);
        } else {
            // Comments after a recent file: only the exact limit is read.
            bytes = "[Recent File List]\nFile1=/nowhere/old.lfp\n";
            bytes += QByteArray(int(size) - bytes.size() - 1, ';') + '\n';
            QFile f(ini());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        }
        FakeUiServices ui;
        {
            Application app(Options());
            QVERIFY(app.start(Command(CommandLineOptions::NewProject)));
            QCOMPARE(app.recentFiles()[0], std::string(fifo || warned ? "" : "/nowhere/old.lfp"));
            app.finish();
        }
        QCOMPARE(ui.messages.size(), warned ? 1 : 0);
        if (warned)
            QCOMPARE(ui.messages[0].text,
                     ini() + " is larger than 1 MB, too large to be this program's settings file. "
                             "It was not read and will be left as it is; the program starts with "
                             "its default settings.");
        const QFileInfo after(ini());
        if (fifo) {
            struct stat st {};
            QCOMPARE(::lstat(QFile::encodeName(ini()).constData(), &st), 0);
            QVERIFY(S_ISFIFO(st.st_mode));
            QFile::remove(ini());
        } else if (warned) {
            QCOMPARE(readAll(ini()), bytes);
        } else {
            QVERIFY(readAll(ini()).startsWith(bytes)); // read, and its lines written back
        }
    }

    void startWithoutFile() {
        FakeUiServices ui;
        Application app(Options());
        QVERIFY(app.start(Command(CommandLineOptions::NewProject)));
        MainWindow* frame = app.mainWindow();
        QVERIFY(frame && frame->isVisible());
        QCOMPARE(frame->windowTitle(), QStringLiteral("Untitled - Linkfold"));
        // The classic size first, which is the least; it may grow and be
        // maximized, and then the list shows more rows.
        QCOMPARE(frame->size(), frame->minimumSize());
        QVERIFY(frame->width() > 0 && frame->height() > 0);
        QVERIFY(frame->windowFlags() & Qt::WindowMaximizeButtonHint);
        const QRect listBefore = frame->form()->linkList()->geometry();
        const QRect titleBefore = frame->form()->titleEdit()->geometry();
        frame->resize(frame->width() + 300, frame->height() + 400);
        QTRY_COMPARE(frame->form()->linkList()->height(), listBefore.height() + 400);
        QCOMPARE(frame->form()->linkList()->width(), listBefore.width() + 300);
        QCOMPARE(frame->form()->linkList()->pos(), listBefore.topLeft());
        QCOMPARE(frame->form()->titleEdit()->geometry(), titleBefore.adjusted(0, 0, 300, 0));
        QVERIFY(frame->windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(frame->form() && frame->centralWidget() == frame->form());
        // The empty recent list is the greyed "Recent file" item.
        QAction* recent = frame->action(QStringLiteral("actionRecentFile1"));
        QCOMPARE(recent->text(), QStringLiteral("Recent File"));
        QVERIFY(!recent->isEnabled());
        QVERIFY(!frame->action(QStringLiteral("actionRecentFile2"))->isVisible());
        recent->trigger(); // a greyed item never runs
        QCOMPARE(frame->windowTitle(), QStringLiteral("Untitled - Linkfold"));
        QVERIFY(ui.messages.isEmpty());
        app.finish();
        QVERIFY(!readAll(ini()).contains("Recent File List"));
    }

    // A window the user enlarged comes back at that size, in a section of
    // its own; one left at the classic size writes nothing.
    void windowPlaceRemembered() {
        FakeUiServices ui;
        QSize classic;
        {
            Application app(Options());
            QVERIFY(app.start(Command(CommandLineOptions::NewProject)));
            classic = app.mainWindow()->size();
            app.finish();
            QVERIFY(!readAll(ini()).contains("[Window]"));
        }
        {
            Application app(Options());
            QVERIFY(app.start(Command(CommandLineOptions::NewProject)));
            app.mainWindow()->resize(classic + QSize(200, 150));
            app.finish();
            QVERIFY(readAll(ini()).contains("[Window]"));
        }
        Application app(Options());
        QVERIFY(app.start(Command(CommandLineOptions::NewProject)));
        QTRY_COMPARE(app.mainWindow()->size(), classic + QSize(200, 150));
        QCOMPARE(app.mainWindow()->minimumSize(), classic);
        app.finish();
    }

    void startWithFileOpensIt() {
        FakeUiServices ui;
        {
            Application app(Options());
            QVERIFY(app.start(Command(CommandLineOptions::OpenProject, m_sample)));
            QCOMPARE(app.mainWindow()->windowTitle(), QStringLiteral("sample.lfp - Linkfold"));
            QCOMPARE(app.project().title(), std::string("My Links"));
            QCOMPARE(app.recentFiles()[0], QFile::encodeName(m_sample).toStdString());
            QCOMPARE(app.mainWindow()->action(QStringLiteral("actionRecentFile1"))->text(),
                     QStringLiteral("&1 sample.lfp"));
            app.finish();
        }
        const QByteArray iniText = readAll(ini());
        QVERIFY2(
            iniText.contains("[Recent File List]\nFile1=" + QFile::encodeName(m_sample) + "\n"),
            iniText.constData());
        QVERIFY(ui.messages.isEmpty());
    }

    // A name that is not valid UTF-8 (Latin-1 "café") is kept as the bytes
    // the system gave: open, caption title, recent list, settings file, save.
    void nonUtf8NameKeepsItsBytes() {
        FakeUiServices ui;
        const QByteArray dir = QFile::encodeName(m_home.filePath(QStringLiteral("latin1")));
        const std::string path = dir.toStdString() + "/caf\xe9.lfp";
        std::filesystem::create_directories(dir.toStdString());
        std::filesystem::copy_file(LINKFOLD_TEST_DATA "/app/sample.lfp", path,
                                   std::filesystem::copy_options::overwrite_existing);
        CommandLineOptions info;
        info.command = CommandLineOptions::OpenProject;
        info.fileName = path;
        {
            Application app(Options());
            QVERIFY(app.start(info));
            QCOMPARE(app.project().filePath(), path);
            QCOMPARE(app.project().documentTitle(), std::string("caf\xe9.lfp"));
            QCOMPARE(app.recentFiles()[0], path);
            app.finish();
        }
        QVERIFY(readAll(ini()).contains(QByteArray::fromStdString("File1=" + path + "\n")));
        Application again(Options());
        QVERIFY(again.start(Command(CommandLineOptions::NewProject)));
        QCOMPARE(again.recentFiles()[0], path);
        QVERIFY(again.fileController().openRecentFile(0));
        QCOMPARE(again.project().filePath(), path);
        again.project().setModified(true);
        QVERIFY(again.fileController().save());
        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(ui.fileDialogs.size(), 0);
        int files = 0;
        for (const auto& e : std::filesystem::directory_iterator(dir.toStdString())) {
            QCOMPARE(e.path().string(), path); // saved in place, no look-alike name made
            ++files;
        }
        QCOMPARE(files, 1);
        again.finish();
        std::filesystem::remove_all(dir.toStdString()); // Qt cannot name the file to remove it
    }

    void startWithMissingFileEnds() {
        FakeUiServices ui;
        Application app(Options());
        const QString missing = m_home.filePath(QStringLiteral("projects/none.lfp"));
        QVERIFY(!app.start(Command(CommandLineOptions::OpenProject, missing)));
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
        QTest::newRow("/p") << int(CommandLineOptions::PrintProject) << true;
        QTest::newRow("/pt") << int(CommandLineOptions::PrintProjectTo) << true;
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

    // The real program, started from a terminal with no display: /dde ends at
    // once and writes nothing; /Unregister removes what is there and says so
    // on standard error.
    void switchesWithoutADisplay() {
        QTemporaryDir home;
        const QString config = home.filePath(QStringLiteral("config"));
        const QString dataHome = home.filePath(QStringLiteral("data"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        auto run = [&](const QString& arg, QByteArray* err) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.setWorkingDirectory(home.path());
            p.start(QStringLiteral(LINKFOLD_BINARY), {arg});
            if (!p.waitForFinished(30000))
                return -1;
            *err = p.readAllStandardError();
            return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        };
        QByteArray err;
        QCOMPARE(run(QStringLiteral("/dde"), &err), 0);
        QVERIFY(!QFileInfo::exists(config));
        QVERIFY(!QFileInfo::exists(dataHome));

        QDir().mkpath(config);
        QFile ini(config + QStringLiteral("/linkfold.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Recent File List]\n");
        ini.close();
        QCOMPARE(run(QStringLiteral("/Unregister"), &err), 0);
        QCOMPARE(err.trimmed(), QByteArray(kUnregisterDone));
        QVERIFY(!QFileInfo::exists(config + QStringLiteral("/linkfold.ini")));
    }

    void registrationFilesAndUnregister() {
        QDir(data()).removeRecursively();
        FakeUiServices ui;
        {
            Application app(Options());
            QVERIFY(app.start(Command(CommandLineOptions::NewProject)));
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
        QVERIFY(!desktop.contains("Actions="));
        QVERIFY(desktop.contains("MimeType=application/x-linkfold-document;"));
        QVERIFY(QFile::exists(ini()));

        // unregisterFileTypes removes exactly those files and the settings file, and
        // writes no settings afterwards.
        const QString keep = data() + QStringLiteral("/applications/other.desktop");
        QVERIFY(QFile(keep).open(QIODevice::WriteOnly));
        Application app(Options());
        QVERIFY(!app.start(Command(CommandLineOptions::Unregister)));
        app.finish();
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, QString::fromLatin1(kUnregisterDone));
        for (const QString& f : reg.files())
            QVERIFY2(!QFile::exists(f), qPrintable(f));
        QVERIFY(!QFile::exists(ini()));
        QVERIFY(QFile::exists(keep));
    }

    void installedProgramWritesNothingForTheUser() {
        QDir(data()).removeRecursively();
        // An earlier start from a build folder left per-user copies, one of
        // which the user has changed since.
        DesktopIntegration reg(data(), m_program);
        QVERIFY(reg.registerFileTypes());
        const QString mine = data() + QStringLiteral("/icons/hicolor/scalable/apps/linkfold.svg");
        QFile changed(mine);
        QVERIFY(changed.open(QIODevice::Append));
        changed.write("<!-- mine -->");
        changed.close();

        // The same program is installed under a system data folder.
        const QString sys = m_home.filePath(QStringLiteral("system"));
        QVERIFY(QDir().mkpath(sys + QStringLiteral("/applications")));
        QVERIFY(QDir().mkpath(sys + QStringLiteral("/mime/packages")));
        QFile entry(sys + QStringLiteral("/applications/linkfold.desktop"));
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write("[Desktop Entry]\nType=Application\nName=Linkfold\n"
                    "Exec=\"/opt/Link Fold/bin/../bin/linkfold\" %f\n");
        entry.close();
        QFile package(sys + QStringLiteral("/mime/packages/linkfold.xml"));
        QVERIFY(package.open(QIODevice::WriteOnly));
        package.close();
        QVERIFY(reg.isInstalledSystemWide());
        QVERIFY(reg.registerFileTypes());
        for (const QString& f : reg.files())
            QCOMPARE(QFile::exists(f), f == mine);

        // Another program's entry does not count.
        QVERIFY(
            !DesktopIntegration(data(), QStringLiteral("/usr/bin/other")).isInstalledSystemWide());
        QVERIFY(QDir(sys + QStringLiteral("/applications")).removeRecursively());
        QVERIFY(!reg.isInstalledSystemWide());
        QVERIFY(package.remove());
    }

    // The shipped entry names the program by a bare word: it is found in
    // PATH, wherever the program was started from.
    void shippedEntryFoundInPathFromAnotherFolder() {
        QDir(data()).removeRecursively();
        const QString sys = m_home.filePath(QStringLiteral("system"));
        const QString bin = m_home.filePath(QStringLiteral("usr/bin"));
        QVERIFY(QDir().mkpath(sys + QStringLiteral("/applications")));
        QVERIFY(QDir().mkpath(sys + QStringLiteral("/mime/packages")));
        QVERIFY(QDir().mkpath(bin));
        const QString entry = sys + QStringLiteral("/applications/linkfold.desktop");
        QFile::remove(entry);
        QVERIFY(QFile::copy(QStringLiteral(LINKFOLD_TEST_DATA "/../../resources/linkfold.desktop"),
                            entry));
        QFile package(sys + QStringLiteral("/mime/packages/linkfold.xml"));
        QVERIFY(package.open(QIODevice::WriteOnly));
        package.close();
        const QString program = bin + QStringLiteral("/linkfold");
        QFile exe(program);
        QVERIFY(exe.open(QIODevice::WriteOnly));
        exe.close();
        QVERIFY(exe.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));

        const QByteArray oldPath = qgetenv("PATH");
        const QString oldDir = QDir::currentPath();
        qputenv("PATH", QFile::encodeName(bin) + ":/usr/bin:/bin");
        QVERIFY(QDir::setCurrent(m_home.path()));
        DesktopIntegration reg(data(), program);
        const bool installed = reg.isInstalledSystemWide();
        const bool ok = reg.registerFileTypes();
        // Started through a link elsewhere, it is still the same program.
        const QString link = m_home.filePath(QStringLiteral("alias"));
        QFile::link(program, link);
        const bool viaLink = DesktopIntegration(data(), link).isInstalledSystemWide();
        // A program of that name in PATH that is another file does not count.
        const bool other = DesktopIntegration(data(), m_home.filePath(QStringLiteral("config")))
                               .isInstalledSystemWide();
        qputenv("PATH", oldPath);
        QDir::setCurrent(oldDir);
        QVERIFY(installed);
        QVERIFY(ok);
        QVERIFY(viaLink);
        QVERIFY(!other);
        QVERIFY(!QFileInfo::exists(data()));
        QVERIFY(QDir(sys + QStringLiteral("/applications")).removeRecursively());
        QVERIFY(package.remove());
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

    // Every start rewrites the file as it was: the recent list stays where
    // it is, no blank line is added.
    void settingsFileUnchangedByStarts() {
        QDir().mkpath(config());
        const QByteArray text = "[Recent File List]\nFile1=/x/a.lfp\n\n[Other]\nKeep=1\n";
        {
            QFile f(ini());
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(text);
        }
        QByteArray after;
        for (int run = 0; run < 3; ++run) {
            Application app(Options());
            QVERIFY(app.start(Command(CommandLineOptions::NewProject)));
            app.finish();
            if (run == 0)
                after = readAll(ini());
            QVERIFY(after.startsWith(text));
            QCOMPARE(readAll(ini()), after);
        }
    }

    // Two editors ending one after the other keep both recent lists.
    void twoEditorsExitingKeepBothRecentFiles() {
        QFile::remove(ini());
        Application first(Options());
        Application second(Options());
        QVERIFY(first.start(Command(CommandLineOptions::NewProject)));
        QVERIFY(second.start(Command(CommandLineOptions::NewProject)));
        first.recentFiles().add("/x/first.lfp");
        second.recentFiles().add("/x/second.lfp");
        first.finish();
        second.finish();
        SettingsFile settings(QFile::encodeName(ini()).toStdString());
        settings.load();
        QCOMPARE(settings.stringValue("Recent File List", "File1"), std::string("/x/second.lfp"));
        QCOMPARE(settings.stringValue("Recent File List", "File2"), std::string("/x/first.lfp"));
    }

    void recentFilesInSettingsAfterFiveOpens() {
        FakeUiServices ui;
        QStringList paths;
        {
            Application app(Options());
            QVERIFY(app.start(Command(CommandLineOptions::NewProject)));
            for (int i = 1; i <= 5; ++i) {
                paths << copySample(QStringLiteral("p%1.lfp").arg(i));
                QVERIFY(app.fileController().openFile(paths.last()));
            }
            MainWindow* frame = app.mainWindow();
            for (int i = 0; i < 4; ++i) {
                QAction* a = frame->action(QStringLiteral("actionRecentFile%1").arg(i + 1));
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
        QVERIFY(settings.save().ok());
        Application again(Options());
        QVERIFY(again.start(Command(CommandLineOptions::NewProject)));
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
        QVERIFY(app.start(Command(CommandLineOptions::NewProject)));
        const QList<QPair<QString, QStringList>> expected = {
            {"&Project",
             {"&New\tCtrl+N", "&Open...\tCtrl+O", "&Save\tCtrl+S", "Save &As...", "-",
              "&Import Bookmarks...", "&Export Bookmarks...", "-", "Recent File", "-", "E&xit"}},
            {"&Edit",
             {"&Undo\tCtrl+Z", "&Redo\tCtrl+Shift+Z", "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C",
              "&Paste\tCtrl+V", "&Delete\tDel", "-", "&Add...", "&Group Properties",
              "&Link Properties"}},
            {"&Page",
             {"&Generate...", "&Preview", "Page St&yle...", "-", "&Check Links",
              "Show &Last Link Check", "Find &Duplicate Links"}},
            {"&Help", {"&Contents", "Open &Example Project", "-", "&About Linkfold..."}},
        };
        const QList<QStringList> names = {
            {"actionNew", "actionOpen", "actionSave", "actionSaveAs", "-", "actionImportBookmarks",
             "actionExportBookmarks", "-", "actionRecentFile1", "-", "actionExit"},
            {"actionUndo", "actionRedo", "-", "actionCut", "actionCopy", "actionPaste",
             "actionDelete", "-", "actionAddLink", "actionGroupProperties", "actionLinkProperties"},
            {"actionGenerate", "actionPreview", "actionPageStyle", "-", "actionCheckLinks",
             "actionShowLastCheck", "actionFindDuplicates"},
            {"actionHelpContents", "actionOpenExample", "-", "actionAbout"},
        };
        const QList<QAction*> menus = app.mainWindow()->menuBar()->actions();
        QCOMPARE(menus.size(), expected.size());
        for (int m = 0; m < menus.size(); ++m) {
            QCOMPARE(menus[m]->text(), expected[m].first);
            QStringList texts;
            QStringList menuNames;
            for (QAction* a : menus[m]->menu()->actions()) {
                if (!a->isVisible())
                    continue;
                texts << itemText(a);
                menuNames << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
                if (!a->isSeparator())
                    QCOMPARE(app.mainWindow()->action(a->objectName()), a);
            }
            QCOMPARE(texts, expected[m].second);
            QCOMPARE(menuNames, names[m]);
        }
    }

    void accelerators_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("name");
        QTest::newRow("Ctrl+N") << "Ctrl+N"
                                << "actionNew";
        QTest::newRow("Ctrl+O") << "Ctrl+O"
                                << "actionOpen";
        QTest::newRow("Ctrl+S") << "Ctrl+S"
                                << "actionSave";
        QTest::newRow("Ctrl+Z") << "Ctrl+Z"
                                << "actionUndo";
        QTest::newRow("Alt+Backspace") << "Alt+Backspace"
                                       << "actionUndo";
        QTest::newRow("Ctrl+Shift+Z") << "Ctrl+Shift+Z"
                                      << "actionRedo";
        QTest::newRow("Ctrl+Y") << "Ctrl+Y"
                                << "actionRedo";
        QTest::newRow("Ctrl+X") << "Ctrl+X"
                                << "actionCut";
        QTest::newRow("Shift+Del") << "Shift+Del"
                                   << "actionCut";
        QTest::newRow("Ctrl+C") << "Ctrl+C"
                                << "actionCopy";
        QTest::newRow("Ctrl+Ins") << "Ctrl+Ins"
                                  << "actionCopy";
        QTest::newRow("Ctrl+V") << "Ctrl+V"
                                << "actionPaste";
        QTest::newRow("Shift+Ins") << "Shift+Ins"
                                   << "actionPaste";
        QTest::newRow("F6") << "F6"
                            << "actionNextPane";
        QTest::newRow("Shift+F6") << "Shift+F6"
                                  << "actionPreviousPane";
        QTest::newRow("F1") << "F1"
                            << "actionHelp";
    }
    void accelerators() {
        QFETCH(QString, keys);
        QFETCH(QString, name);
        FakeUiServices ui;
        Application app(Options());
        QVERIFY(app.start(Command(CommandLineOptions::NewProject)));
        QAction* a = app.mainWindow()->action(name);
        QVERIFY(a);
        QVERIFY(a->shortcuts().contains(QKeySequence(keys)));
    }

    void inertKeysDoNothingInTextField() {
        FakeUiServices ui;
        Application app(Options());
        QVERIFY(app.start(Command(CommandLineOptions::NewProject)));
        MainWindow* frame = app.mainWindow();
        auto* edit = new QLineEdit(frame->form());
        edit->show();
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame));
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("abc"));
        QCOMPARE(edit->text(), QStringLiteral("abc"));
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
        QVERIFY(app.start(Command(CommandLineOptions::NewProject)));
        QToolBar* bar = app.mainWindow()->toolBar();
        QStringList names;
        QStringList tips;
        QStringList spoken;
        for (QAction* a : bar->actions()) {
            names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
            if (!a->isSeparator()) {
                tips << a->toolTip();
                spoken << QAccessible::queryAccessibleInterface(bar->widgetForAction(a))
                              ->text(QAccessible::Name);
                // Hovering a button shows the command's prompt.
                QCOMPARE(bar->widgetForAction(a)->statusTip(), a->statusTip());
                QVERIFY(!a->statusTip().isEmpty());
                QVERIFY2(!a->icon().isNull(), qPrintable(a->objectName()));
            }
        }
        QCOMPARE(names,
                 QStringList({"actionNew", "actionOpen", "actionSave", "-", "actionUndo",
                              "actionRedo", "-", "actionAddLink", "actionDeleteLink", "-",
                              "actionGenerate", "actionPreview", "-", "actionHelpContents"}));
        QCOMPARE(tips, QStringList({"New Project", "Open Project", "Save Project", "Undo", "Redo",
                                    "Add Link", "Delete Link", "Generate Start Page",
                                    "Preview Start Page", "Help Contents"}));
        // Screen readers hear the tooltip, not the menu text with its shortcut.
        QCOMPARE(spoken, tips);
        QCOMPARE(bar->iconSize(), QSize(24, 20));
        QCOMPARE(bar->allowedAreas(), Qt::AllToolBarAreas);
        QVERIFY(bar->isMovable() && bar->isFloatable());
        QCOMPARE(app.mainWindow()->toolBarArea(bar), Qt::TopToolBarArea);
    }

    void statusBarPrompts_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("prompt");
        QTest::newRow("New") << "actionNew"
                             << "Create a new project";
        QTest::newRow("Open") << "actionOpen"
                              << "Open an existing Project";
        QTest::newRow("Save As") << "actionSaveAs"
                                 << "Save the active document with a new name";
        QTest::newRow("Exit") << "actionExit"
                              << "Quit the application; prompts to save documents";
        QTest::newRow("Copy") << "actionCopy"
                              << "Copy current group's URLs to the clipboard";
        QTest::newRow("Group Properties") << "actionGroupProperties"
                                          << "Configure the properties for the current group.";
        QTest::newRow("Link Properties") << "actionLinkProperties"
                                         << "Configure properties for the current link.";
        QTest::newRow("Delete Link") << "actionDeleteLink"
                                     << "Remove an entry from the list of links";
        QTest::newRow("Edit Delete has none") << "actionDelete"
                                              << " ";
        QTest::newRow("About") << "actionAbout"
                               << "Display program information, version number and copyright";
    }
    void statusBarPrompts() {
        QFETCH(QString, name);
        QFETCH(QString, prompt);
        FakeUiServices ui;
        Application app(Options());
        QVERIFY(app.start(Command(CommandLineOptions::NewProject)));
        MainWindow* frame = app.mainWindow();
        QCOMPARE(frame->messageText(), QStringLiteral(" "));
        frame->action(name)->showStatusText(frame);
        QCOMPARE(frame->messageText(), prompt);
        // Leaving the item brings back the idle text.
        QStatusTipEvent leave{QString()};
        QApplication::sendEvent(frame, &leave);
        QCOMPARE(frame->messageText(), QStringLiteral(" "));
        // The form's own messages use the same pane.
        emit frame->form()->statusMessage(QStringLiteral("News"));
        QCOMPARE(frame->messageText(), QStringLiteral("News"));
        // Lock indicators exist; without a readable keyboard state they hide.
        for (const char* lock : {"CAP", "NUM", "SCRL"}) {
            auto* label = frame->statusBar()->findChild<QLabel*>(QStringLiteral("indicator") +
                                                                 QLatin1String(lock));
            QVERIFY(label);
            QCOMPARE(label->text(), QLatin1String(lock));
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
        QVERIFY(app.start(Command(CommandLineOptions::NewProject)));
        MainWindow* frame = app.mainWindow();
        app.project().setModified(true);
        ui.setNextAnswer(QMessageBox::StandardButton(answer));
        if (answer == QMessageBox::Yes)
            ui.setNextFileName(QString());
        QAction* exitAction = frame->action(QStringLiteral("actionExit"));
        QVERIFY(exitAction->isEnabled());
        exitAction->trigger();
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, QStringLiteral("Save changes to Untitled?"));
        QCOMPARE(frame->isVisible(), !closes);
        QVERIFY(app.project().isModified());
        QCOMPARE(ui.fileDialogs.size(), answer == QMessageBox::Yes ? 1 : 0);
    }

    void helpCommands() {
        FakeUiServices ui;
        Application app(Options());
        QVERIFY(app.start(Command(CommandLineOptions::NewProject)));
        MainWindow* frame = app.mainWindow();
        QAction* contents = frame->action(QStringLiteral("actionHelpContents"));
        QVERIFY(contents->isEnabled());
        contents->trigger();
        QVERIFY(help::launchHelp(frame, help::Page::LinkDialog));
        QVERIFY(help::launchHelp(frame, help::Page::GroupDialog));
        QVERIFY(help::launchHelp(frame, help::Page::ColorsDialog));
        QVERIFY(help::launchHelp(frame, help::Page::PageStyleDialog));
        QCOMPARE(ui.opened.size(), 5);
        const QStringList pages = {"index.html", "link-dialog.html", "group-dialog.html",
                                   "colors-dialog.html", "page-style.html"};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(QFileInfo(ui.opened[i]).fileName(), pages[i]);
            QVERIFY(QFileInfo(ui.opened[i]).isFile());
        }
        QVERIFY(ui.messages.isEmpty());

        // No browser, or no help pages: one message each.
        ui.setBrowserResult(false);
        QVERIFY(!help::launchHelp(frame, help::Page::Contents));
        help::setHelpDirectory(m_home.filePath(QStringLiteral("no-help-here")));
        ui.setBrowserResult(true);
        QVERIFY(!help::launchHelp(frame, help::Page::GroupDialog));
        help::setHelpDirectory(QStringLiteral(LINKFOLD_TEST_DATA "/../../resources/help"));
        QCOMPARE(ui.messages.size(), 2);
        QCOMPARE(ui.messages[0].text, noBrowserMessage(ui.opened.last()));
        QVERIFY(ui.messages[0].text.startsWith("No web browser could be started to show "));
        QCOMPARE(ui.messages[1].text, QStringLiteral("The help pages were not found."));
    }

    void aboutBox() {
        FakeUiServices ui;
        Application app(Options());
        QVERIFY(app.start(Command(CommandLineOptions::NewProject)));
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
        app.mainWindow()->action(QStringLiteral("actionAbout"))->trigger();
        QVERIFY(isAbout);
        QCOMPARE(title, QStringLiteral("About"));
        QVERIFY(texts.contains(QStringLiteral("Version " LINKFOLD_VERSION)));
        // The licence the copyright file and AppStream name.
        const QString all = texts.join(QLatin1Char('\n'));
        QVERIFY(all.contains(QStringLiteral("MIT License")));
        QVERIFY(!all.contains(QStringLiteral("All rights reserved")));
        QCOMPARE(ui.unexpected, 0);
    }

    // Help and Preview open files through xdg-open; when it finds no browser
    // (it ends with status 3 at once) the user is told, once.
    void noBrowser_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<bool>("opened");
        QTest::newRow("no browser") << "exit 3" << false;
        QTest::newRow("opened") << "exit 0" << true;
        // Still running when the answer is due: taken as started. (It ends
        // while the test waits, so its process object is gone at exit.)
        QTest::newRow("browser still running") << "sleep 3" << true;
    }
    void noBrowser() {
        QFETCH(QString, script);
        QFETCH(bool, opened);
        QTemporaryDir bin;
        QFile tool(bin.filePath(QStringLiteral("xdg-open")));
        QVERIFY(tool.open(QIODevice::WriteOnly));
        tool.write(("#!/bin/sh\n" + script + "\n").toUtf8());
        tool.close();
        QVERIFY(tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toUtf8() + ':' + path);
        FakeUiServices ui;
        const QString page = bin.filePath(QStringLiteral("page.html"));
        const bool result = openOrExplain(page);
        qputenv("PATH", path);
        if (script.startsWith(QLatin1String("sleep")))
            QTest::qWait(2000);
        QCOMPARE(result, opened);
        if (opened) {
            QVERIFY(ui.messages.isEmpty());
        } else {
            QCOMPARE(ui.messages.size(), 1);
            QCOMPARE(ui.messages[0].text, noBrowserMessage(page));
            QVERIFY(ui.messages[0].text.startsWith("No web browser could be started to show "));
        }
    }
};

QTEST_MAIN(TestAppShell)
#include "tst_app_shell.moc"
