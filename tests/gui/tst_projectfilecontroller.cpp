// The project file commands as the user meets them: the save question, save
// turning into save As, the open clean-up and same-project check, the
// recent-file list and the failure flows.
#include "app/ProjectFileController.h"
#include "app/RecentFileList.h"
#include "core/Project.h"
#include "support/FakeUiServices.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::string local(const QString& s) {
    return QFile::encodeName(s).toStdString();
}

} // namespace

class TestProjectFileController : public QObject {
    Q_OBJECT

    QTemporaryDir* m_dir = nullptr;
    QString m_sample;

    QString fixture(const QString& name, const QString& as) {
        const QString path = m_dir->filePath(as);
        QFile::remove(path);
        QFile::copy(QStringLiteral(LINKFOLD_TEST_DATA "/app/") + name, path);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        return path;
    }

private slots:
    void init() {
        m_dir = new QTemporaryDir;
        QVERIFY(m_dir->isValid());
        m_sample = fixture(QStringLiteral("sample.lfp"), QStringLiteral("a.lfp"));
    }
    void cleanup() {
        QDir::setCurrent(QDir::tempPath());
        delete m_dir;
        m_dir = nullptr;
    }

    void saveQuestion_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("proceeds");
        QTest::addColumn<QByteArray>("titleInFile");
        QTest::newRow("yes saves, then new")
            << int(QMessageBox::Yes) << true << QByteArray("Edited");
        QTest::newRow("no discards") << int(QMessageBox::No) << true << QByteArray("My Links");
        QTest::newRow("cancel stops")
            << int(QMessageBox::Cancel) << false << QByteArray("My Links");
    }
    void saveQuestion() {
        QFETCH(int, answer);
        QFETCH(bool, proceeds);
        QFETCH(QByteArray, titleInFile);
        FakeUiServices ui;
        Project doc;
        RecentFileList mru;
        ProjectFileController mgr(doc, mru);
        QVERIFY(mgr.openFile(m_sample));
        doc.setTitle("Edited");
        doc.setModified(true);

        ui.setNextAnswer(QMessageBox::StandardButton(answer));
        QCOMPARE(mgr.newProject(), proceeds);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, QStringLiteral("Save changes to a.lfp?"));
        QCOMPARE(ui.messages[0].icon, QMessageBox::Warning);
        QCOMPARE(ui.messages[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QVERIFY(readAll(m_sample).contains(titleInFile));
        if (proceeds) {
            QCOMPARE(doc.documentTitle(), std::string("Untitled"));
            QCOMPARE(doc.filePath(), std::string());
            QCOMPARE(doc.title(), std::string());
            QVERIFY(!doc.isModified());
        } else {
            QCOMPARE(doc.documentTitle(), std::string("a.lfp"));
            QCOMPARE(doc.title(), std::string("Edited"));
            QVERIFY(doc.isModified());
        }
        QCOMPARE(ui.unexpected, 0);
    }

    void saveChecksTheFormsFieldsFirst() {
        FakeUiServices ui;
        Project doc;
        RecentFileList mru;
        ProjectFileController mgr(doc, mru);
        QVERIFY(mgr.openFile(m_sample));
        int commits = 0;
        mgr.setCheckFields([&] {
            ++commits;
            doc.setTitle("Committed");
        });
        QVERIFY(mgr.save());
        QCOMPARE(commits, 1);
        QVERIFY(readAll(m_sample).contains("Committed"));
        QVERIFY(!doc.isModified());
        QCOMPARE(ui.unexpected, 0);
    }

    void saveNewProjectProposesUntitled() {
        FakeUiServices ui;
        Project doc;
        RecentFileList mru;
        ProjectFileController mgr(doc, mru);
        mgr.resetToUntitled();
        QCOMPARE(mgr.windowTitleText(), QStringLiteral("Untitled - Linkfold"));
        const QString target = m_dir->filePath(QStringLiteral("b.lfp"));
        ui.setNextFileName(target);
        QVERIFY(mgr.save());
        QCOMPARE(ui.fileDialogs.size(), 1);
        const auto& o = ui.fileDialogs[0];
        QCOMPARE(o.title, QStringLiteral("Save As"));
        QCOMPARE(o.initialPath, QStringLiteral("Untitled.lfp"));
        QCOMPARE(o.defaultSuffix, QStringLiteral("lfp"));
        QCOMPARE(o.filters, QStringList({"Linkfold Files (*.lfp)", "All Files (*.*)"}));
        QVERIFY(o.confirmOverwrite);
        QCOMPARE(readAll(target).size(), 245);
        QCOMPARE(doc.filePath(), local(target));
        QCOMPARE(doc.documentTitle(), std::string("b.lfp"));
        QCOMPARE(mru[0], local(target));
        QCOMPARE(mgr.windowTitleText(), QStringLiteral("b.lfp - Linkfold"));
    }

    void proposedFileName_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("proposal");
        QTest::newRow("untitled") << "Untitled"
                                  << "Untitled.lfp";
        QTest::newRow("space") << "My Links"
                               << "My.lfp";
        QTest::newRow("hash") << "a#b"
                              << "a.lfp";
        QTest::newRow("percent") << "p%q"
                                 << "p.lfp";
        QTest::newRow("semicolon") << "x;y"
                                   << "x.lfp";
        QTest::newRow("slash") << "dir/name"
                               << "dir.lfp";
        QTest::newRow("backslash") << "dir\\name"
                                   << "dir.lfp";
    }
    void proposedFileName() {
        QFETCH(QString, title);
        QFETCH(QString, proposal);
        QCOMPARE(ProjectFileController::proposedFileName(title), proposal);
    }

    void saveTurnsIntoSaveAs_data() {
        QTest::addColumn<QString>("fileState");
        QTest::newRow("read-only") << "read-only";
        QTest::newRow("missing") << "missing";
    }
    void saveTurnsIntoSaveAs() {
        QFETCH(QString, fileState);
        FakeUiServices ui;
        Project doc;
        RecentFileList mru;
        ProjectFileController mgr(doc, mru);
        QVERIFY(mgr.openFile(m_sample));
        doc.setTitle("Edited");
        doc.setModified(true);
        if (fileState == QLatin1String("read-only"))
            QVERIFY(::chmod(local(m_sample).c_str(), 0444) == 0);
        else
            QVERIFY(QFile::remove(m_sample));
        const QString other = m_dir->filePath(QStringLiteral("c.lfp"));
        ui.setNextFileName(other);
        QVERIFY(mgr.save());
        QCOMPARE(ui.fileDialogs.size(), 1);
        QCOMPARE(ui.fileDialogs[0].initialPath, m_sample);
        QCOMPARE(doc.filePath(), local(other));
        QVERIFY(!doc.isModified());
        QVERIFY(readAll(other).contains("Edited"));
        if (fileState == QLatin1String("read-only"))
            QVERIFY(readAll(m_sample).contains("My Links"));
    }

    void plainSaveKeepsPathTitleAndRecentOrder() {
        FakeUiServices ui;
        Project doc;
        RecentFileList mru;
        ProjectFileController mgr(doc, mru);
        const QString b = fixture(QStringLiteral("sample.lfp"), QStringLiteral("b.lfp"));
        QVERIFY(mgr.openFile(m_sample));
        mru.add(local(b));
        doc.setModified(true);
        QVERIFY(mgr.save());
        QVERIFY(ui.fileDialogs.isEmpty());
        QCOMPARE(doc.filePath(), local(m_sample));
        QCOMPARE(mru[0], local(b));
        // Written back byte for byte.
        QCOMPARE(readAll(m_sample), readAll(QStringLiteral(LINKFOLD_TEST_DATA "/app/sample.lfp")));
    }

    void failedSaveAsKeepsPathTitleAndModified() {
        FakeUiServices ui;
        Project doc;
        RecentFileList mru;
        ProjectFileController mgr(doc, mru);
        QVERIFY(mgr.openFile(m_sample));
        doc.setModified(true);
        const QString bad = m_dir->filePath(QStringLiteral("no-such-folder/x.lfp"));
        ui.setNextFileName(bad);
        QVERIFY(!mgr.saveAs());
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY(ui.messages[0].text.contains(bad));
        QCOMPARE(ui.messages[0].icon, QMessageBox::Warning);
        QCOMPARE(doc.filePath(), local(m_sample));
        QCOMPARE(doc.documentTitle(), std::string("a.lfp"));
        QVERIFY(doc.isModified());
        QVERIFY(!QFile::exists(bad));
    }

    // A file that appears under the chosen name while a save fails belongs to
    // someone else (the atomic writer never creates the target on failure):
    // it is left alone.
    void failedSaveNeverRemovesAnything() {
        FakeUiServices ui;
        Project doc;
        RecentFileList mru;
        ProjectFileController mgr(doc, mru);
        mgr.resetToUntitled();
        for (int i = 0; i < 100; ++i)
            doc.addLink(0, "link " + std::to_string(i), "http://example.com/");
        const QString target = m_dir->filePath(QStringLiteral("theirs.lfp"));
        // Files may grow to 16 bytes: the save fails as the disk being full.
        struct rlimit old {};
        ::getrlimit(RLIMIT_FSIZE, &old);
        struct rlimit small = old;
        small.rlim_cur = 16;
        auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
        ui.onMessage = [&](const FakeUiServices::Message&) {
            QFile other(target);
            if (other.open(QIODevice::WriteOnly))
                other.write("another program");
        };
        ui.setNextFileName(target);
        const bool saved = mgr.saveAs();
        ::setrlimit(RLIMIT_FSIZE, &old);
        ::signal(SIGXFSZ, oldHandler);
        QVERIFY(!saved);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, QStringLiteral("Disk full while accessing %1.").arg(target));
        QCOMPARE(readAll(target), QByteArray("another program"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).filter("theirs"),
                 QStringList{"theirs.lfp"});
    }

    void openCommandDialog() {
        FakeUiServices ui;
        Project doc;
        RecentFileList mru;
        ProjectFileController mgr(doc, mru);
        mgr.resetToUntitled();
        ui.setNextFileName(QString()); // cancelled
        QVERIFY(!mgr.open());
        QCOMPARE(ui.fileDialogs.size(), 1);
        QCOMPARE(ui.fileDialogs[0].title, QStringLiteral("Open"));
        QCOMPARE(ui.fileDialogs[0].filters,
                 QStringList({"Linkfold Files (*.lfp)", "All Files (*.*)"}));
        QCOMPARE(doc.documentTitle(), std::string("Untitled"));
    }

    void openSameProjectIsNotReloaded_data() {
        QTest::addColumn<QString>("spelling");
        QTest::newRow("same path") << "%1";
        QTest::newRow("quoted") << "\"%1\"";
        QTest::newRow("dot segments") << "%2/./sub/../a.lfp";
    }
    void openSameProjectIsNotReloaded() {
        QFETCH(QString, spelling);
        FakeUiServices ui;
        Project doc;
        RecentFileList mru;
        ProjectFileController mgr(doc, mru);
        QVERIFY(mgr.openFile(m_sample));
        doc.setTitle("Edited");
        doc.setModified(true);
        QSignalSpy activated(&mgr, &ProjectFileController::activateRequested);
        QSignalSpy replaced(&mgr, &ProjectFileController::projectReplaced);
        QVERIFY(
            mgr.openFile(QString(spelling).replace("%1", m_sample).replace("%2", m_dir->path())));
        QVERIFY(ui.messages.isEmpty()); // not even the save question
        QCOMPARE(activated.size(), 1);
        QCOMPARE(replaced.size(), 0);
        QCOMPARE(doc.title(), std::string("Edited"));
        QVERIFY(doc.isModified());
    }

    void letterCaseMakesAnotherFile() {
        FakeUiServices ui;
        Project doc;
        RecentFileList mru;
        ProjectFileController mgr(doc, mru);
        const QString upper = fixture(QStringLiteral("sample.lfp"), QStringLiteral("X.lfp"));
        const QString lower = m_dir->filePath(QStringLiteral("x.lfp"));
        QVERIFY(QFile(lower).open(QIODevice::WriteOnly)); // an empty project file
        QVERIFY(mgr.openFile(upper));
        QCOMPARE(doc.title(), std::string("My Links"));
        QVERIFY(mgr.openFile(lower));
        QCOMPARE(doc.filePath(), local(lower));
        QCOMPARE(doc.documentTitle(), std::string("x.lfp"));
        QCOMPARE(doc.links(0).size(), size_t(0));
        QCOMPARE(mru[0], local(lower));
        QCOMPARE(mru[1], local(upper));
    }

    void openFollowsLinkAndMakesPathAbsolute() {
        FakeUiServices ui;
        Project doc;
        RecentFileList mru;
        ProjectFileController mgr(doc, mru);
        QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("links"))));
        QVERIFY(QFile::link(QStringLiteral("../a.lfp"), m_dir->filePath("links/shortcut.lfp")));
        QDir::setCurrent(m_dir->filePath(QStringLiteral("links")));
        QVERIFY(mgr.openFile(QStringLiteral("\"shortcut.lfp\"")));
        QCOMPARE(doc.filePath(), local(m_sample));
        QCOMPARE(doc.documentTitle(), std::string("a.lfp"));
        QCOMPARE(mru[0], local(m_sample));
    }

    void recentListKeepsLastFour() {
        FakeUiServices ui;
        Project doc;
        RecentFileList mru;
        ProjectFileController mgr(doc, mru);
        QStringList paths;
        for (int i = 1; i <= 5; ++i) {
            paths << fixture(QStringLiteral("sample.lfp"), QStringLiteral("f%1.lfp").arg(i));
            QVERIFY(mgr.openFile(paths.last()));
        }
        for (int i = 0; i < 4; ++i)
            QCOMPARE(mru[i], local(paths[4 - i]));
        // Opening one again moves it to the top without duplicates.
        QVERIFY(mgr.openFile(paths[2]));
        QCOMPARE(mru[0], local(paths[2]));
        QCOMPARE(mru[1], local(paths[4]));
        QCOMPARE(mru[2], local(paths[3]));
        QCOMPARE(mru[3], local(paths[1]));
    }

    void recentEntryThatDoesNotOpenLeavesList_data() {
        QTest::addColumn<bool>("deleteFile");
        QTest::newRow("file deleted") << true;
        QTest::newRow("save question cancelled") << false;
    }
    void recentEntryThatDoesNotOpenLeavesList() {
        QFETCH(bool, deleteFile);
        FakeUiServices ui;
        Project doc;
        RecentFileList mru;
        ProjectFileController mgr(doc, mru);
        const QString b = fixture(QStringLiteral("sample.lfp"), QStringLiteral("b.lfp"));
        QVERIFY(mgr.openFile(m_sample));
        QVERIFY(mgr.openFile(b));
        QSignalSpy changed(&mgr, &ProjectFileController::recentFilesChanged);
        if (deleteFile) {
            QVERIFY(QFile::remove(m_sample));
        } else {
            doc.setModified(true);
            ui.setNextAnswer(QMessageBox::Cancel);
        }
        QVERIFY(!mgr.openRecentFile(1));
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, deleteFile ? m_sample + QStringLiteral(" was not found.")
                                                 : QStringLiteral("Save changes to b.lfp?"));
        QCOMPARE(mru[0], local(b));
        QCOMPARE(mru[1], std::string());
        QVERIFY(changed.size() >= 1);
        QCOMPARE(doc.filePath(), local(b));
    }

    void truncatedFileLeavesNewUntitledProject() {
        FakeUiServices ui;
        Project doc;
        RecentFileList mru;
        ProjectFileController mgr(doc, mru);
        QVERIFY(mgr.openFile(m_sample));
        const QString cut = fixture(QStringLiteral("truncated.lfp"), QStringLiteral("cut.lfp"));
        QSignalSpy replaced(&mgr, &ProjectFileController::projectReplaced);
        QVERIFY(!mgr.openFile(cut));
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, QStringLiteral("Unexpected file format."));
        QCOMPARE(mgr.windowTitleText(), QStringLiteral("Untitled - Linkfold"));
        QCOMPARE(doc.filePath(), std::string());
        QVERIFY(!doc.isModified());
        QCOMPARE(doc.title(), std::string());
        QCOMPARE(doc.groups().size(), size_t(10));
        QCOMPARE(doc.group(0).title, std::string());
        QCOMPARE(replaced.size(), 1);
        QCOMPARE(mru[0], local(m_sample));
    }

    void missingFileLeavesProjectAsItWas_data() {
        QTest::addColumn<bool>("modified");
        QTest::newRow("unmodified") << false;
        QTest::newRow("modified") << true;
    }
    void missingFileLeavesProjectAsItWas() {
        QFETCH(bool, modified);
        FakeUiServices ui;
        Project doc;
        RecentFileList mru;
        ProjectFileController mgr(doc, mru);
        QVERIFY(mgr.openFile(m_sample));
        doc.setTitle("Edited");
        doc.setModified(modified);
        if (modified)
            ui.setNextAnswer(QMessageBox::No);
        const QString missing = m_dir->filePath(QStringLiteral("gone.lfp"));
        QVERIFY(!mgr.openFile(missing));
        QCOMPARE(ui.messages.last().text, missing + QStringLiteral(" was not found."));
        QCOMPARE(doc.isModified(), modified);
        QCOMPARE(doc.title(), std::string("Edited"));
        QCOMPARE(doc.links(0).size(), size_t(1));
        QCOMPARE(doc.filePath(), local(m_sample));
        QCOMPARE(mru[1], std::string());
    }

    void recentDisplayNames_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("curDir");
        QTest::addColumn<QString>("shown");
        QTest::newRow("in current folder") << "/home/me/links.lfp"
                                           << "/home/me/"
                                           << "links.lfp";
        QTest::newRow("elsewhere, short") << "/home/me/links.lfp"
                                          << "/home/"
                                          << "/home/me/links.lfp";
        QTest::newRow("folder differs in case") << "/home/me/links.lfp"
                                                << "/home/ME/"
                                                << "/home/me/links.lfp";
        QTest::newRow("long path") << "/home/user/projects/sub/links.lfp"
                                   << "/"
                                   << "/home/.../sub/links.lfp";
        QTest::newRow("many folders") << "/data/a/b/c/d/e/f/g/h/project.lfp"
                                      << "/"
                                      << "/data/.../e/f/g/h/project.lfp";
        QTest::newRow("one long folder") << "/averyveryverylongfoldername/x.lfp"
                                         << "/"
                                         << "/.../x.lfp";
        QTest::newRow("name too long") << "/a/b/averyveryveryverylongprojectname.lfp"
                                       << "/"
                                       << "averyveryveryverylongprojectname.lfp";
    }
    void recentDisplayNames() {
        QFETCH(QString, path);
        QFETCH(QString, curDir);
        QFETCH(QString, shown);
        RecentFileList mru;
        mru.add(local(path));
        const std::optional<std::string> name = mru.displayName(0, local(curDir));
        QVERIFY(name);
        QCOMPARE(QString::fromStdString(*name), shown);
        QVERIFY(name->size() <= 30 || shown == QFileInfo(path).fileName());
        QVERIFY(!mru.displayName(1, local(curDir)));
    }
};

QTEST_MAIN(TestProjectFileController)
#include "tst_projectfilecontroller.moc"
