#include "app/MainWindow.h"
#include "app/ProjectFileController.h"
#include "app/RecentFileList.h"
#include "core/FileError.h"
#include "editor/PageCommands.h"
#include "editor/ProjectDocument.h"
#include "editor/ProjectForm.h"
#include "support/FakeUiServices.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

namespace {

struct Form {
    FakeUiServices ui;
    ProjectDocument document;
    Project& doc = document.project();
    ProjectForm view{&document};
    Form() { view.loadFromProject(); }
};

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs the test body in a scratch current directory and comes back.
struct ScratchCurrentDir {
    QTemporaryDir dir;
    QString previous = QDir::currentPath();
    ScratchCurrentDir() { QDir::setCurrent(dir.path()); }
    ~ScratchCurrentDir() { QDir::setCurrent(previous); }
};

} // namespace

class TestPageCommands : public QObject {
    Q_OBJECT
private slots:
    void commandsAlwaysEnabled();
    void generateCancelled();
    void generateWritesAndOffersBrowser_data();
    void generateWritesAndOffersBrowser();
    void generateReportsUnwrittenPage();
    void generateRefusesProjectFileAndDeclinedOverwrite();
    void generateCarriesOnAfterValidation();
    void previewTwiceRewritesScratchPage();
    void previewReportsUnwrittenPage();
};

void TestPageCommands::commandsAlwaysEnabled() {
    // Whatever the form shows, the main window offers both page commands.
    FakeUiServices ui;
    ProjectDocument document;
    RecentFileList recent;
    ProjectFileController controller(document.project(), recent);
    MainWindow window(document, controller);
    window.form()->loadFromProject();
    window.updateActions();
    for (const char* name : {"actionGenerate", "actionPreview"})
        QVERIFY2(window.action(QLatin1String(name))->isEnabled(), name);
}

void TestPageCommands::generateCancelled() {
    ScratchCurrentDir cwd;
    Form f;
    f.view.titleEdit()->setText("Typed title");
    f.doc.addLink(f.view.currentTab(), "new", "http://new/");
    f.doc.setModified(false);
    f.ui.setNextFileName(QString());
    f.view.generate();
    QVERIFY(f.ui.messages.isEmpty());
    QVERIFY(f.ui.opened.isEmpty());
    QCOMPARE(QDir(cwd.dir.path()).entryList(QDir::Files), QStringList());
    // The document holds the form's values all the same.
    QCOMPARE(f.doc.title(), std::string("Typed title"));
    QCOMPARE(f.doc.links(0).size(), size_t(1));
    QVERIFY(!f.doc.isModified());
}

void TestPageCommands::generateWritesAndOffersBrowser_data() {
    QTest::addColumn<bool>("view");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestPageCommands::generateWritesAndOffersBrowser() {
    QFETCH(bool, view);
    QTemporaryDir dir;
    const QString path = dir.filePath("start.htm");
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'x')); // an existing page is rewritten whole
    old.close();
    Form f;
    f.doc.addLink(f.view.currentTab(), "Just added", "http://added/");
    f.doc.setModified(false);
    f.ui.setNextFileName(path);
    f.ui.setNextAnswer(QMessageBox::Yes); // replace the existing page
    f.ui.setNextAnswer(view ? QMessageBox::Yes : QMessageBox::No);
    f.view.generate();

    QCOMPARE(f.ui.fileDialogs.size(), 1);
    const auto& o = f.ui.fileDialogs.at(0);
    QCOMPARE(o.title, QString("Select Page Name"));
    QCOMPARE(o.filters, QStringList({"HTML (*.htm)", "All Files (*.*)"}));
    QCOMPARE(o.defaultSuffix, QString("htm"));
    QVERIFY(!o.confirmOverwrite); // asked by the command, after its own checks
    QCOMPARE(f.ui.messages.size(), 2);
    QCOMPARE(f.ui.messages.at(0).text,
             QString("start.htm already exists.\nDo you want to replace it?"));
    QCOMPARE(f.ui.messages.at(0).icon, QMessageBox::Warning);
    QCOMPARE(f.ui.messages.at(0).buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(f.ui.messages.at(1).text,
             QString("Would you like to view the new page in your browser?"));
    QCOMPARE(f.ui.messages.at(1).icon, QMessageBox::Question);
    QCOMPARE(f.ui.messages.at(1).buttons, QMessageBox::Yes | QMessageBox::No);
    const QByteArray page = readAll(path);
    QVERIFY(page.contains("http://added/"));
    QVERIFY(!page.contains("xxxxxxxxxx"));
    QCOMPARE(f.ui.opened, view ? QStringList{path} : QStringList{});
    QVERIFY(!f.doc.isModified());
}

void TestPageCommands::generateReportsUnwrittenPage() {
    QTemporaryDir dir;
    const QString path = dir.filePath("no-such-folder/start.htm");
    Form f;
    f.ui.setNextFileName(path);
    f.view.generate();
    QCOMPARE(f.ui.messages.size(), 1);
    QCOMPARE(f.ui.messages.at(0).icon, QMessageBox::Warning);
    QCOMPARE(f.ui.messages.at(0).text, QString::fromStdString(fileErrorText(
                                           fileErrorCauseFromErrno(ENOENT), path.toStdString())));
    QVERIFY(f.ui.opened.isEmpty());
    QCOMPARE(f.ui.unexpected, 0);
}

void TestPageCommands::generateRefusesProjectFileAndDeclinedOverwrite() {
    QTemporaryDir dir;
    const QString project = dir.filePath("mine.lfp");
    const QString other = dir.filePath("other.htm");
    Form f;
    QVERIFY(f.doc.save(project.toStdString()));
    f.doc.setFilePath(project.toStdString());
    const QByteArray saved = readAll(project);
    QVERIFY(QFile::link(project, dir.filePath("alias.htm")));
    // The project itself (also through a link): refused before any question.
    for (const QString& page : {project, dir.filePath("alias.htm")}) {
        f.ui.messages.clear();
        f.ui.setNextFileName(page);
        f.view.generate();
        QCOMPARE(f.ui.messages.size(), 1);
        QCOMPARE(f.ui.messages.at(0).icon, QMessageBox::Warning);
        QCOMPARE(f.ui.messages.at(0).text,
                 page + " is the project itself; the page was not written over it.");
        QCOMPARE(readAll(project), saved);
    }
    // Another existing file, replacement declined: left as it was.
    QFile old(other);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("keep");
    old.close();
    f.ui.messages.clear();
    f.ui.setNextFileName(other);
    f.ui.setNextAnswer(QMessageBox::No);
    f.view.generate();
    QCOMPARE(f.ui.messages.size(), 1);
    QCOMPARE(f.ui.messages.at(0).text, overwriteQuestion(other));
    QCOMPARE(readAll(other), QByteArray("keep"));
    QVERIFY(f.ui.opened.isEmpty());
    QCOMPARE(f.ui.unexpected, 0);
}

void TestPageCommands::generateCarriesOnAfterValidation() {
    QTemporaryDir dir;
    Form f;
    f.doc.setColumns(7);
    f.view.loadFromProject();
    f.ui.setNextFileName(dir.filePath("p.htm"));
    f.ui.setNextAnswer(QMessageBox::No);
    f.view.generate();
    QCOMPARE(f.ui.messages.size(), 2);
    QCOMPARE(f.ui.messages.at(0).text, QString("Please enter an integer between 1 and 4."));
    QCOMPARE(f.doc.columns(), 7);
    QVERIFY(QFile::exists(dir.filePath("p.htm")));
}

void TestPageCommands::previewTwiceRewritesScratchPage() {
    ScratchCurrentDir cwd;
    Form f;
    f.doc.addLink(f.view.currentTab(), "First", "http://first/");
    f.view.preview();
    const QString page = cwd.dir.filePath("$Linkfold$.htm");
    QVERIFY(readAll(page).contains("http://first/"));
    f.doc.addLink(f.view.currentTab(), "Second", "http://second/");
    f.view.preview();
    QVERIFY(readAll(page).contains("http://second/"));
    QCOMPARE(QDir(cwd.dir.path()).entryList(QDir::Files), QStringList{"$Linkfold$.htm"});
    QCOMPARE(f.ui.opened, QStringList({"$Linkfold$.htm", "$Linkfold$.htm"}));
    QVERIFY(f.ui.messages.isEmpty());
}

void TestPageCommands::previewReportsUnwrittenPage() {
    ScratchCurrentDir cwd;
    QVERIFY(QDir(cwd.dir.path()).removeRecursively()); // the current folder is gone
    Form f;
    f.view.preview();
    QCOMPARE(f.ui.messages.size(), 1);
    QCOMPARE(f.ui.messages.at(0).icon, QMessageBox::Warning);
    QVERIFY(f.ui.messages.at(0).text.contains("$Linkfold$.htm"));
    QVERIFY(f.ui.opened.isEmpty());
}

QTEST_MAIN(TestPageCommands)
#include "tst_pagecommands.moc"
