// The checker's promises on hosts that misbehave, each played by a loopback
// server: the verdict of every link, a bound on the run's length computed
// from the time-out, and the requests each host received.
#include "LinkChecker.h"
#include "TestHttpServer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

Q_DECLARE_METATYPE(LinkStatus)

namespace {

constexpr int kTimeoutMs = 1000; // S of the rows below

LinkCheckOptions options(int hostWaitBudgetMs = 60000) {
    LinkCheckOptions o;
    o.timeoutMs = kTimeoutMs;
    o.retryPauseMs = 300;
    o.hostWaitBudgetMs = hostWaitBudgetMs;
    o.publicAddress = "127.0.0.2"; // the second listener plays a public host
    return o;
}

struct Run {
    std::vector<LinkCheckResult> results;
    std::vector<qint64> readyMs; // when each link's result came
    qint64 elapsedMs = 0;
};

Run check(const QStringList& urls, const LinkCheckOptions& o) {
    std::vector<LinkCheckItem> items;
    for (const QString& url : urls)
        items.push_back({1, static_cast<int>(items.size()) + 1, url.toStdString()});
    Run run;
    run.readyMs.assign(items.size(), -1);
    LinkChecker checker;
    QElapsedTimer clock;
    QObject::connect(&checker, &LinkChecker::resultReady, [&](int index, const LinkCheckResult&) {
        run.readyMs[static_cast<std::size_t>(index)] = clock.elapsed();
    });
    QSignalSpy finished(&checker, &LinkChecker::finished);
    clock.start();
    checker.start(items, o);
    if (!finished.wait(120000))
        qWarning("the check did not finish");
    run.elapsedMs = clock.elapsed();
    run.results = checker.results();
    return run;
}

quint16 closedPort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0))
        return 0;
    return probe.serverPort();
}

} // namespace

class TestLinkCheckHostile : public QObject {
    Q_OBJECT

    std::unique_ptr<TestHttpServer> m_server;

    int requestsTo(const QString& prefix) const {
        int count = 0;
        for (const QString& line : m_server->log())
            count += line.section(QLatin1Char(' '), 1).startsWith(prefix) ? 1 : 0;
        return count;
    }

private slots:
    void initTestCase() {
        m_server = std::make_unique<TestHttpServer>(QList<QHostAddress>{
            QHostAddress(QStringLiteral("127.0.0.1")), QHostAddress(QStringLiteral("127.0.0.2"))});
        QVERIFY(m_server->start());
    }
    void cleanupTestCase() { m_server.reset(); }
    void init() { m_server->resetCounters(); }

    // Each row: N links to one path (%1 the link's number, %2 a run
    // number, so that no row shares the server's memory with another), the
    // verdict and code each must get, the longest the run may take in units
    // of the time-out S plus fixed milliseconds, and the fewest and most
    // requests the host may get.
    void hostileHosts_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("links");
        QTest::addColumn<LinkStatus>("status");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("boundS");
        QTest::addColumn<int>("boundMs");
        QTest::addColumn<int>("minRequests");
        QTest::addColumn<int>("maxRequests");
        // Silent after accepting: HEAD and GET, S each, however many share
        // the host (ten at S = 2 within 12 s once cost 153 s).
        QTest::newRow("silent, 10 links")
            << "/slow?%2-%1" << 10 << LinkStatus::Timeout << 0 << 2 << 3000 << 20 << 20;
        QTest::newRow("silent, 1 link")
            << "/slow?%2-%1" << 1 << LinkStatus::Timeout << 0 << 2 << 500 << 2 << 2;
        // Nothing listens: refused at once (50 links once cost 359 s).
        QTest::newRow("refused, 50 links")
            << "refused" << 50 << LinkStatus::Refused << 0 << 0 << 3000 << 0 << 0;
        // HEAD never answered: GET after the HEAD's time-out.
        QTest::newRow("HEAD hangs")
            << "/headhang?%2-%1" << 3 << LinkStatus::Ok << 200 << 1 << 1000 << 6 << 6;
        // 503 with Retry-After in seconds, then as a date: waited as asked.
        QTest::newRow("503, Retry-After 1 s, twice")
            << "/busy?s=1&n=2&%2-%1" << 3 << LinkStatus::Ok << 200 << 0 << 5000 << 9 << 9;
        QTest::newRow("503, Retry-After as a date")
            << "/busydate?s=2&n=1&%2-%1" << 2 << LinkStatus::Ok << 200 << 0 << 3500 << 4 << 4;
        // 429 until the host has had ten requests: every link ends ok.
        QTest::newRow("429 recovering after 10")
            << "/limited?n=10&%2-%1" << 40 << LinkStatus::Ok << 200 << 0 << 10000 << 50 << 54;
        // Takes two at once and answers 503 to a third.
        QTest::newRow("503 above two at once")
            << "/twoatonce?ms=100&%2-%1" << 40 << LinkStatus::Ok << 200 << 0 << 8000 << 40 << 52;
        // The status line judges the answer when the header block does not
        // end: cut off mid-line, or more than curl takes.
        QTest::newRow("headers cut mid-line")
            << "/cutheaders?%2-%1" << 2 << LinkStatus::Ok << 200 << 0 << 1000 << 2 << 2;
        QTest::newRow("1 MB of headers")
            << "/bigheaders?%2-%1" << 2 << LinkStatus::Ok << 200 << 0 << 1000 << 2 << 2;
    }
    void hostileHosts() {
        QFETCH(QString, path);
        QFETCH(int, links);
        QFETCH(LinkStatus, status);
        QFETCH(int, code);
        QFETCH(int, boundS);
        QFETCH(int, boundMs);
        QFETCH(int, minRequests);
        QFETCH(int, maxRequests);
        static int runs = 0;
        ++runs;
        QStringList urls;
        const quint16 closed = path == QLatin1String("refused") ? closedPort() : 0;
        for (int i = 0; i < links; ++i)
            urls << (closed ? QStringLiteral("http://127.0.0.1:%1/x%2").arg(closed).arg(i)
                            : m_server->url(path.arg(i).arg(runs)));
        const Run run = check(urls, options());
        for (int i = 0; i < links; ++i) {
            const LinkCheckResult& result = run.results[std::size_t(i)];
            QVERIFY2(result.status == status && result.httpCode == code,
                     qPrintable(QStringLiteral("%1: %2 %3 %4")
                                    .arg(urls[i])
                                    .arg(QString::fromUtf8(statusWord(result.status)))
                                    .arg(result.httpCode)
                                    .arg(QString::fromStdString(result.reason))));
            if (status != LinkStatus::Ok)
                QVERIFY(!result.reason.empty() && result.reason != "No error");
        }
        const qint64 bound = qint64(boundS) * kTimeoutMs + boundMs;
        QVERIFY2(run.elapsedMs <= bound,
                 qPrintable(QStringLiteral("%1 ms, bound %2 ms").arg(run.elapsedMs).arg(bound)));
        const QString prefix = path.section(QLatin1Char('?'), 0, 0);
        const int requests = closed ? 0 : requestsTo(prefix);
        QVERIFY2(requests >= minRequests && requests <= maxRequests,
                 qPrintable(QStringLiteral("%1 requests").arg(requests)));
    }

    // Links that answer are not held behind silent ones on their host.
    void liveLinksPassSilentOnes() {
        QStringList urls;
        for (int i = 0; i < 4; ++i)
            urls << m_server->url(QStringLiteral("/slow?pass%1").arg(i));
        for (int i = 0; i < 40; ++i)
            urls << m_server->url(QStringLiteral("/ok?pass%1").arg(i));
        const Run run = check(urls, options());
        for (int i = 4; i < urls.size(); ++i) {
            QCOMPARE(run.results[std::size_t(i)].status, LinkStatus::Ok);
            // Long before the silent ones' verdict (2 x S): their turns
            // are given up after S / 2.
            QVERIFY2(run.readyMs[std::size_t(i)] < kTimeoutMs * 3 / 2,
                     qPrintable(QString::number(run.readyMs[std::size_t(i)])));
        }
        QVERIFY(run.elapsedMs <= 2 * kTimeoutMs + 1000);
    }

    // Retry-After is waited as asked: not less, and not doubled.
    void retryAfterAsAsked() {
        const Run run = check({m_server->url(QStringLiteral("/ratelimited?exact"))}, options());
        QCOMPARE(run.results[0].status, LinkStatus::Ok);
        QVERIFY2(run.elapsedMs >= 1000 && run.elapsedMs < 1800,
                 qPrintable(QString::number(run.elapsedMs)));
        QCOMPARE(requestsTo(QStringLiteral("/ratelimited")), 2);
    }

    // A host's waits are bounded all told, not counted: past the budget
    // the link is reported, with what the host asked.
    void waitBudgetEndsTheWaits() {
        const Run run =
            check({m_server->url(QStringLiteral("/busy?s=1&n=100&budget"))}, options(1500));
        QCOMPARE(run.results[0].status, LinkStatus::Broken);
        QCOMPARE(run.results[0].httpCode, 503);
        QVERIFY2(run.results[0].reason.find("after the host's waits") != std::string::npos,
                 run.results[0].reason.c_str());
        QCOMPARE(requestsTo(QStringLiteral("/busy")), 2); // HEAD, then GET after 1 s
        const Run limited =
            check({m_server->url(QStringLiteral("/ratelimitedalways?budget"))}, options(3500));
        QCOMPARE(limited.results[0].status, LinkStatus::RateLimited);
        QCOMPARE(requestsTo(QStringLiteral("/ratelimitedalways")), 4);
    }

    // A public address may not send the check to a loopback one, by
    // address or by name; the private host gets no request.
    void noRedirectFromPublicToPrivate() {
        const QString privateOk = m_server->url(QStringLiteral("/ok?private"), 0);
        const QString byName =
            QStringLiteral("http://localhost:%1/ok?private").arg(m_server->port(0));
        const QString fromPrivate =
            m_server->url(QStringLiteral("/to?url=") + QUrl::toPercentEncoding(privateOk), 0);
        const Run run = check(
            {m_server->url(QStringLiteral("/to?url=") + QUrl::toPercentEncoding(privateOk), 1),
             m_server->url(QStringLiteral("/to?url=") + QUrl::toPercentEncoding(byName), 1),
             fromPrivate},
            options());
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(run.results[std::size_t(i)].status, LinkStatus::Broken);
            QCOMPARE(run.results[std::size_t(i)].httpCode, 302);
            QVERIFY2(run.results[std::size_t(i)].reason.find("private") != std::string::npos,
                     run.results[std::size_t(i)].reason.c_str());
        }
        // From one loopback address to another is no crossing.
        QCOMPARE(run.results[2].status, LinkStatus::Redirected);
        QCOMPARE(m_server->requestCount(QStringLiteral("/ok?private")), 1);
    }
};

QTEST_GUILESS_MAIN(TestLinkCheckHostile)
#include "tst_linkcheckhostile.moc"
