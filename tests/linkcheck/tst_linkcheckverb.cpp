// linkfold --check-links end to end: the headless program against a server
// of the test's own on 127.0.0.1.
#include "TestHttpServer.h"

#include "core/Codepage.h"
#include "core/Project.h"
#include "core/ProjectFile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run {
    int status = -1;
    QStringList lines; // standard output, one entry a line
    QString err;
};

} // namespace

class TestLinkCheckVerb : public QObject {
    Q_OBJECT

    TestHttpServer m_server;
    QTemporaryDir m_dir;

    // Writes a project whose groups hold the given links (group index, URL).
    QString writeProject(const QString& name, const QList<QPair<int, QString>>& links) {
        Project doc;
        for (const auto& [group, url] : links)
            doc.addLink(group, "link", url.toStdString());
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(QByteArray::fromStdString(serializeProject(doc)));
        return path;
    }

    Run run(const QStringList& args) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("none"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(LINKFOLD_HEADLESS), args);
        Run r;
        if (!process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished();
            return r;
        }
        r.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        r.lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        r.err = QString::fromUtf8(process.readAllStandardError());
        return r;
    }

    QString url(const char* path) const { return m_server.url(QLatin1String(path)); }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QVERIFY(m_server.start());
    }

    // Every result that is not ok gets a line; failures give 2.
    void reportsFailures() {
        const QString project = writeProject(
            QStringLiteral("mixed.lfp"), {{0, url("/ok")},
                                          {0, url("/notfound")},
                                          {2, url("/moved")},
                                          {2, url("/found")},
                                          {9, QStringLiteral("mailto:me@example.com")},
                                          {9, QString::fromUtf8("http://b\xc3\xa4r.invalid/")}});
        const Run r = run({QStringLiteral("--check-links"), project});
        QCOMPARE(r.status, 2);
        const QStringList expected = {
            QStringLiteral("1\t2\tbroken\t404\t%1\t\t").arg(url("/notfound")),
            QStringLiteral("3\t1\tmoved\t301\t%1\t%2\t").arg(url("/moved"), url("/ok")),
            QStringLiteral("3\t2\tredirected\t302\t%1\t%2\t").arg(url("/found"), url("/ok")),
            QStringLiteral("10\t1\tskipped\t\tmailto:me@example.com\t\t"),
        };
        QCOMPARE(r.lines.mid(0, 4), expected);
        // The Windows-1252 byte of the model reaches the checker as UTF-8.
        QCOMPARE(r.lines.size(), 5);
        QVERIFY2(r.lines[4].startsWith(
                     QString::fromUtf8("10\t2\tno-host\t\thttp://b\xc3\xa4r.invalid/")),
                 qPrintable(r.lines[4]));
        QCOMPARE(r.err, QStringLiteral("6 links: 1 ok, 1 moved, 1 redirected, 1 broken, 1 no-host, "
                                       "1 skipped\n"));
        // The User-Agent names the program's version.
        bool named = false;
        for (const QByteArray& head : m_server.heads())
            named = named || head.contains("Linkfold/" LINKFOLD_VERSION_TEXT);
        QVERIFY(named);
    }

    // Listed but no failure: redirected, blocked, rate-limited, skipped.
    void warningsExitZero() {
        const QString project =
            writeProject(QStringLiteral("soft.lfp"), {{0, url("/ok")},
                                                      {0, url("/found")},
                                                      {1, url("/forbidden")},
                                                      {1, QStringLiteral("data:,x")}});
        const Run r = run({QStringLiteral("--check-links"), project});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.lines.size(), 3);
        QVERIFY(r.err.startsWith(QStringLiteral("4 links: 1 ok")));
    }

    // --timeout cuts a silent server off; --jobs 1 keeps one request under way.
    void limits() {
        m_server.resetCounters();
        const QString slow =
            writeProject(QStringLiteral("slow.lfp"), {{0, url("/slow")}, {0, url("/ok")}});
        const Run t = run({QStringLiteral("--check-links"), slow, QStringLiteral("--timeout"),
                           QStringLiteral("0.3")});
        QCOMPARE(t.status, 2);
        QCOMPARE(t.lines.size(), 1);
        QVERIFY2(t.lines[0].startsWith(QStringLiteral("1\t1\ttimeout\t")), qPrintable(t.lines[0]));

        m_server.resetCounters();
        QList<QPair<int, QString>> many;
        for (int i = 0; i < 8; ++i)
            many.append({0, url("/delay?ms=50") + QStringLiteral("&n=%1").arg(i)});
        const QString jobs = writeProject(QStringLiteral("jobs.lfp"), many);
        const Run j = run(
            {QStringLiteral("--check-links"), jobs, QStringLiteral("--jobs"), QStringLiteral("1")});
        QCOMPARE(j.status, 0);
        QCOMPARE(j.lines, QStringList());
        QCOMPARE(m_server.maxInFlightOverall(), 1);
    }

    void usageAndUnreadableProject() {
        const Run missing =
            run({QStringLiteral("--check-links"), m_dir.filePath(QStringLiteral("none.lfp"))});
        QCOMPARE(missing.status, 1);
        QVERIFY(missing.err.contains(QStringLiteral("was not found")));
        QVERIFY(missing.lines.isEmpty());

        const Run usage = run({QStringLiteral("--check-links")});
        QCOMPARE(usage.status, 2);
        QVERIFY(usage.err.contains(QStringLiteral("Usage:")));
    }
};

QTEST_GUILESS_MAIN(TestLinkCheckVerb)
#include "tst_linkcheckverb.moc"
