// The checker against servers of its own on loopback addresses.
#include "LinkCheckCommand.h"
#include "LinkChecker.h"
#include "TestHttpServer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <sstream>

Q_DECLARE_METATYPE(LinkStatus)

namespace {

LinkCheckOptions fastOptions() {
    LinkCheckOptions options;
    options.timeoutMs = 1500;
    options.retryPauseMs = 50;
    options.hostWaitBudgetMs = 2500; // two waits of a second, not three
    options.version = "9.9";
    return options;
}

std::vector<LinkCheckResult> check(const std::vector<LinkCheckItem>& items,
                                   const LinkCheckOptions& options = fastOptions()) {
    LinkChecker checker;
    QSignalSpy finished(&checker, &LinkChecker::finished);
    QSignalSpy ready(&checker, &LinkChecker::resultReady);
    checker.start(items, options);
    if (!finished.wait(60000))
        qWarning("the check did not finish");
    if (ready.size() != static_cast<qsizetype>(items.size()))
        qWarning("%lld results for %zu items", static_cast<long long>(ready.size()), items.size());
    return checker.results();
}

std::vector<LinkCheckItem> itemsFor(const QStringList& urls) {
    std::vector<LinkCheckItem> items;
    for (const QString& url : urls)
        items.push_back({1, static_cast<int>(items.size()) + 1, url.toStdString()});
    return items;
}

} // namespace

class TestLinkChecker : public QObject {
    Q_OBJECT

    std::unique_ptr<TestHttpServer> m_server;

private slots:
    void initTestCase() {
        m_server = std::make_unique<TestHttpServer>(QList<QHostAddress>{
            QHostAddress(QStringLiteral("127.0.0.1")), QHostAddress(QStringLiteral("127.0.0.2")),
            QHostAddress(QStringLiteral("127.0.0.3"))});
        QVERIFY(m_server->start());
    }
    void cleanupTestCase() { m_server.reset(); }
    void init() { m_server->resetCounters(); }

    // One path of the server, one result; requests counts every request the
    // server got for that path (retries, the GET after a HEAD, each hop).
    // The HTTP client may send a request once more when a kept connection
    // drops before any answer, so for resets the count is at least.
    void httpResults_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<LinkStatus>("status");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("finalPath");
        QTest::addColumn<int>("requests");
        QTest::addColumn<bool>("atLeast");
        QTest::newRow("200") << "/ok" << LinkStatus::Ok << 200 << "" << 1 << false;
        QTest::newRow("204") << "/nocontent" << LinkStatus::Ok << 204 << "" << 1 << false;
        QTest::newRow("301") << "/moved" << LinkStatus::Moved << 301 << "/ok" << 1 << false;
        QTest::newRow("301 to a fragment")
            << "/movedintro" << LinkStatus::Moved << 301 << "/ok#intro" << 1 << false;
        QTest::newRow("308") << "/perm" << LinkStatus::Moved << 308 << "/ok" << 1 << false;
        QTest::newRow("302") << "/found" << LinkStatus::Redirected << 302 << "/ok" << 1 << false;
        QTest::newRow("301 then 302")
            << "/chain" << LinkStatus::Redirected << 301 << "/ok" << 1 << false;
        QTest::newRow("loop ends at the hop limit")
            << "/loop" << LinkStatus::Broken << 302 << "/loop" << 11 << false;
        QTest::newRow("404") << "/notfound" << LinkStatus::Broken << 404 << "" << 2 << false;
        QTest::newRow("410") << "/gone" << LinkStatus::Broken << 410 << "" << 2 << false;
        QTest::newRow("500 after a retry")
            << "/error" << LinkStatus::Broken << 500 << "" << 3 << false;
        QTest::newRow("503 recovers") << "/flaky?a" << LinkStatus::Ok << 200 << "" << 2 << false;
        QTest::newRow("401") << "/unauthorized" << LinkStatus::Blocked << 401 << "" << 2 << false;
        QTest::newRow("403") << "/forbidden" << LinkStatus::Blocked << 403 << "" << 2 << false;
        QTest::newRow("999") << "/linkedin" << LinkStatus::Blocked << 999 << "" << 2 << false;
        QTest::newRow("bot challenge")
            << "/challenge" << LinkStatus::Blocked << 403 << "" << 2 << false;
        QTest::newRow("429 then 200")
            << "/ratelimited?a" << LinkStatus::Ok << 200 << "" << 2 << false;
        QTest::newRow("429 after two waits")
            << "/ratelimitedalways" << LinkStatus::RateLimited << 429 << "" << 3 << false;
        QTest::newRow("HEAD 404, GET 200")
            << "/headfails404" << LinkStatus::Ok << 200 << "" << 2 << false;
        QTest::newRow("HEAD 403, GET 200")
            << "/headfails403" << LinkStatus::Ok << 200 << "" << 2 << false;
        QTest::newRow("HEAD 500, GET 200")
            << "/headfails500" << LinkStatus::Ok << 200 << "" << 2 << false;
        QTest::newRow("HEAD 405 then GET")
            << "/nohead" << LinkStatus::Ok << 200 << "" << 2 << false;
        QTest::newRow("endless body") << "/endless" << LinkStatus::Ok << 200 << "" << 2 << false;
        QTest::newRow("reset once") << "/resetonce?a" << LinkStatus::Ok << 200 << "" << 2 << true;
        QTest::newRow("reset, and GET reset")
            << "/reset" << LinkStatus::Broken << 0 << "" << 2 << true;
        QTest::newRow("no answer") << "/slow" << LinkStatus::Timeout << 0 << "" << 2 << false;
        QTest::newRow("headers dripping")
            << "/drip" << LinkStatus::Timeout << 0 << "" << 2 << false;
    }
    // Update to Final URL keeps a fragment: the redirect's own, else each
    // link's (links that differ only in it share one request).
    void finalUrlsKeepFragments() {
        const auto results = check(itemsFor({m_server->url(QStringLiteral("/moved#top")),
                                             m_server->url(QStringLiteral("/moved")),
                                             m_server->url(QStringLiteral("/movedfragment#top"))}));
        QCOMPARE(results.size(), std::size_t(3));
        QCOMPARE(QString::fromStdString(results[0].finalUrl),
                 m_server->url(QStringLiteral("/ok#top")));
        QCOMPARE(QString::fromStdString(results[1].finalUrl), m_server->url(QStringLiteral("/ok")));
        QCOMPARE(QString::fromStdString(results[2].finalUrl),
                 m_server->url(QStringLiteral("/ok#sec2")));
        QCOMPARE(m_server->requestCount(QStringLiteral("/moved")), 1);
    }

    void httpResults() {
        QFETCH(QString, path);
        QFETCH(LinkStatus, status);
        QFETCH(int, code);
        QFETCH(QString, finalPath);
        QFETCH(int, requests);
        QFETCH(bool, atLeast);
        QElapsedTimer clock;
        clock.start();
        const auto results = check(itemsFor({m_server->url(path)}));
        QCOMPARE(results.size(), std::size_t(1));
        const LinkCheckResult& result = results[0];
        QCOMPARE(result.status, status);
        QCOMPARE(result.httpCode, code);
        const QString finalUrl = finalPath.isEmpty() ? QString() : m_server->url(finalPath);
        QCOMPARE(QString::fromStdString(result.finalUrl), finalUrl);
        if (!finalPath.isEmpty())
            QCOMPARE(QString::fromStdString(result.redirectChain.back()), finalUrl);
        const int count = m_server->requestCount(path);
        QVERIFY2(atLeast ? count >= requests : count == requests,
                 qPrintable(m_server->log().join(QLatin1String(", "))));
        if (status == LinkStatus::Broken && code == 0)
            QVERIFY(!result.reason.empty());
        // The slow ones end by the time-out, not by the server.
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
    }

    // The time limit holds for each attempt, however the headers come.
    void timeoutPerAttempt() {
        LinkCheckOptions options = fastOptions();
        options.timeoutMs = 1000;
        QElapsedTimer clock;
        clock.start();
        const auto results = check(itemsFor({m_server->url(QStringLiteral("/trickle"))}), options);
        QCOMPARE(results[0].status, LinkStatus::Timeout);
        // Two attempts of a second each and the pause between them; the
        // headers alone would take ten seconds.
        QVERIFY2(clock.elapsed() < 6000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(m_server->requestCount(QStringLiteral("/trickle")), 2);
    }

    void proxyFromTheEnvironment() {
        const QByteArray saved = qgetenv("http_proxy");
        const QByteArray savedNoProxy = qgetenv("no_proxy");
        const QByteArray savedNoProxyUpper = qgetenv("NO_PROXY");
        qputenv("http_proxy", m_server->url(QString(), 2).toLatin1());
        qunsetenv("no_proxy");
        qunsetenv("NO_PROXY");
        const auto results = check(itemsFor({QStringLiteral("http://proxied.example/ok")}));
        saved.isNull() ? qunsetenv("http_proxy") : qputenv("http_proxy", saved);
        if (!savedNoProxy.isNull())
            qputenv("no_proxy", savedNoProxy);
        if (!savedNoProxyUpper.isNull())
            qputenv("NO_PROXY", savedNoProxyUpper);
        QCOMPARE(results[0].status, LinkStatus::Ok);
        QCOMPARE(m_server->requestCount(QStringLiteral("http://proxied.example/ok")), 1);
        QCOMPARE(m_server->maxInFlight(2), 1);
    }

    void spellingsOfOnePlace() {
        // "/dir" and "/dir/" may be two pages: each is asked. "/%64ir" is
        // "/dir" spelled otherwise and shares its request.
        const auto results = check(
            itemsFor({m_server->url(QStringLiteral("/dir")), m_server->url(QStringLiteral("/dir/")),
                      m_server->url(QStringLiteral("/%64ir"))}));
        QCOMPARE(results[0].status, LinkStatus::Moved);
        QCOMPARE(QString::fromStdString(results[0].finalUrl),
                 m_server->url(QStringLiteral("/dir/")));
        QCOMPARE(results[1].status, LinkStatus::Ok);
        QCOMPARE(results[1].httpCode, 200);
        QVERIFY(results[1].finalUrl.empty());
        QCOMPARE(results[2].status, LinkStatus::Moved);
        QCOMPARE(m_server->requestCount(QStringLiteral("/dir")), 1);
        QCOMPARE(m_server->requestCount(QStringLiteral("/dir/")), 2);
    }

    void closedHeadFallsBackToGet() {
        const auto results = check(itemsFor({m_server->url(QStringLiteral("/reset"))}));
        QCOMPARE(results[0].status, LinkStatus::Broken);
        const QStringList log = m_server->log();
        QVERIFY2(log.first() == QLatin1String("HEAD /reset") &&
                     log.last() == QLatin1String("GET /reset"),
                 qPrintable(log.join(QLatin1String(", "))));
    }

    void redirectChainKept() {
        const auto results = check(itemsFor({m_server->url(QStringLiteral("/chain"))}));
        QCOMPARE(results[0].redirectChain,
                 (std::vector<std::string>{m_server->url(QStringLiteral("/found")).toStdString(),
                                           m_server->url(QStringLiteral("/ok")).toStdString()}));
        LinkCheckOptions options = fastOptions();
        options.maxRedirects = 3;
        const auto looped = check(itemsFor({m_server->url(QStringLiteral("/loop"))}), options);
        QCOMPARE(looped[0].status, LinkStatus::Broken);
        QCOMPARE(looped[0].redirectChain.size(), std::size_t(4));
    }

    void bodyNotRead() {
        // The endless body is cut at the headers: the server sees the
        // connection go at once.
        check(itemsFor({m_server->url(QStringLiteral("/endless"))}));
        QTRY_COMPARE_WITH_TIMEOUT(m_server->openConnections(), 0, 3000);
    }

    void headersSentAndNoCookies() {
        check(itemsFor({m_server->url(QStringLiteral("/cookie"))}));
        check(itemsFor({m_server->url(QStringLiteral("/ok"))}));
        const QList<QByteArray> heads = m_server->heads();
        QCOMPARE(heads.size(), 2);
        for (const QByteArray& head : heads) {
            QVERIFY2(head.contains("\r\nUser-Agent: Linkfold/9.9 (link check)"), head.constData());
            QVERIFY2(head.contains("\r\nAccept: text/html,"), head.constData());
            QVERIFY2(!head.toLower().contains("\r\ncookie:"), head.constData());
        }
    }

    void withoutTheServer() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString present = dir.filePath(QStringLiteral("here file.txt"));
        QFile file(present);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const QString missing = dir.filePath(QStringLiteral("gone.txt"));
        const QStringList urls = {
            QUrl::fromLocalFile(present).toString(),
            QUrl::fromLocalFile(missing).toString(),
            dir.path(),
            missing,
            QStringLiteral("mailto:me@example.com"),
            QStringLiteral("javascript:alert(1)"),
            QStringLiteral("data:text/html,hi"),
            QStringLiteral("not a link"),
            QStringLiteral("http://nothing-here.invalid/page"),
        };
        const std::vector<LinkStatus> expected = {
            LinkStatus::Ok,      LinkStatus::Broken,  LinkStatus::Ok,
            LinkStatus::Broken,  LinkStatus::Skipped, LinkStatus::Skipped,
            LinkStatus::Skipped, LinkStatus::Invalid, LinkStatus::NoHost,
        };
        const auto results = check(itemsFor(urls));
        for (std::size_t i = 0; i < expected.size(); ++i)
            QVERIFY2(results[i].status == expected[i], qPrintable(urls[int(i)]));
        QCOMPARE(m_server->totalRequests(), 0);
    }

    void refusedAndTls() {
        quint16 closedPort = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            closedPort = probe.serverPort();
        }
        const QString refused = QStringLiteral("http://127.0.0.1:%1/").arg(closedPort);
        // TLS spoken to a plain HTTP server fails in the handshake.
        const QString tls = QStringLiteral("https://127.0.0.1:%1/ok").arg(m_server->port());
        const auto results = check(itemsFor({refused, tls}));
        QCOMPARE(results[0].status, LinkStatus::Refused);
        QCOMPARE(results[1].status, LinkStatus::Tls);
        QVERIFY(!results[1].reason.empty());
    }

    void sameAddressCheckedOnce() {
        const QString url = m_server->url(QStringLiteral("/ok?shared"));
        std::vector<LinkCheckItem> items = {
            {1, 1, url.toStdString()},
            {2, 5, url.toStdString() + "#part"},
            {3, 2, " " + url.toStdString()},
            {3, 3, m_server->url(QStringLiteral("/%6Fk?shared")).toStdString()}};
        LinkChecker checker;
        QSignalSpy progress(&checker, &LinkChecker::progress);
        QSignalSpy finished(&checker, &LinkChecker::finished);
        checker.start(items, fastOptions());
        QVERIFY(finished.wait(10000));
        QCOMPARE(m_server->requestCount(QStringLiteral("/ok?shared")), 1);
        QCOMPARE(checker.requestsSent(), 1);
        for (int i = 0; i < 4; ++i) {
            QVERIFY(checker.hasResult(i));
            QCOMPARE(checker.results()[std::size_t(i)].status, LinkStatus::Ok);
        }
        QCOMPARE(progress.size(), 4);
        QCOMPARE(progress.last(), (QList<QVariant>{4, 4}));
        QCOMPARE(finished.size(), 1);
    }

    void restartFromFinished() {
        // A slot of finished() may start the next run at once.
        LinkChecker checker;
        int runs = 0;
        const auto second = itemsFor({m_server->url(QStringLiteral("/notfound")),
                                      m_server->url(QStringLiteral("/ok?again"))});
        connect(&checker, &LinkChecker::finished, this, [&] {
            if (++runs == 1)
                checker.start(second, fastOptions());
        });
        checker.start(itemsFor({m_server->url(QStringLiteral("/ok"))}), fastOptions());
        QTRY_COMPARE_WITH_TIMEOUT(runs, 2, 10000);
        QCOMPARE(checker.results().size(), std::size_t(2));
        QCOMPARE(checker.results()[0].status, LinkStatus::Broken);
        QCOMPARE(checker.results()[1].status, LinkStatus::Ok);
    }

    void cancelStopsEverything() {
        QStringList urls;
        for (int i = 0; i < 20; ++i)
            urls << m_server->url(QStringLiteral("/slow?%1").arg(i));
        LinkCheckOptions options = fastOptions();
        options.timeoutMs = 30000;
        LinkChecker checker;
        QSignalSpy finished(&checker, &LinkChecker::finished);
        QSignalSpy ready(&checker, &LinkChecker::resultReady);
        checker.start(itemsFor(urls), options);
        QTRY_COMPARE_WITH_TIMEOUT(m_server->inFlight(), 4, 5000);
        checker.cancel();
        QCOMPARE(finished.size(), 1);
        QVERIFY(!checker.isRunning());
        QVERIFY(checker.wasCancelled());
        QTRY_COMPARE_WITH_TIMEOUT(m_server->openConnections(), 0, 3000);
        QTest::qWait(300);
        QCOMPARE(m_server->totalRequests(), 4);
        QCOMPARE(ready.size(), 0);
        QVERIFY(!checker.hasResult(0));
        QCOMPARE(finished.size(), 1);
    }

    void concurrencyLimits() {
        QStringList urls;
        for (int i = 0; i < 24; ++i)
            urls << m_server->url(QStringLiteral("/delay?ms=300&i=%1").arg(i), i % 3);
        LinkCheckOptions options = fastOptions();
        options.maxConcurrent = 5;
        options.maxPerHost = 2;
        const auto results = check(itemsFor(urls), options);
        for (const LinkCheckResult& result : results)
            QCOMPARE(result.status, LinkStatus::Ok);
        for (int listener = 0; listener < 3; ++listener)
            QCOMPARE(m_server->maxInFlight(listener), 2);
        QCOMPARE(m_server->maxInFlightOverall(), 5);
    }

    void oneHostRunsWithoutAGap() {
        // Four requests at once by default on a host that answers well.
        QStringList urls;
        for (int i = 0; i < 12; ++i)
            urls << m_server->url(QStringLiteral("/delay?ms=200&gap=%1").arg(i));
        check(itemsFor(urls));
        QCOMPARE(m_server->maxInFlight(0), 4);
    }

    void complainingHostSlowsDown() {
        // Each address answers 503 once: the host then gets one request at a
        // time until its answers are good again.
        QStringList urls;
        for (int i = 0; i < 12; ++i)
            urls << m_server->url(QStringLiteral("/flaky?slow%1").arg(i), 1);
        const auto results = check(itemsFor(urls));
        for (const LinkCheckResult& result : results)
            QCOMPARE(result.status, LinkStatus::Ok);
        QCOMPARE(m_server->requestCount(QStringLiteral("/flaky?slow11")), 2);
        QVERIFY(m_server->maxInFlight(1) <= 4);
    }

    void rateLimitHoldsOnlyItsHost() {
        // While 127.0.0.1 waits a second for its 429, the other host answers.
        const QStringList urls = {m_server->url(QStringLiteral("/ratelimited?b"), 0),
                                  m_server->url(QStringLiteral("/delay?ms=300"), 1)};
        LinkChecker checker;
        QSignalSpy finished(&checker, &LinkChecker::finished);
        QSignalSpy ready(&checker, &LinkChecker::resultReady);
        checker.start(itemsFor(urls), fastOptions());
        QVERIFY(ready.wait(5000));
        QCOMPARE(ready.first().first().toInt(), 1);
        QVERIFY(finished.wait(5000));
        QCOMPARE(checker.results()[0].status, LinkStatus::Ok);
    }

    void commandReport() {
        const std::vector<LinkCheckItem> items = {
            {1, 1, m_server->url(QStringLiteral("/ok")).toStdString()},
            {1, 2, m_server->url(QStringLiteral("/notfound")).toStdString()},
            {2, 1, m_server->url(QStringLiteral("/found")).toStdString()},
            {2, 2, "mailto:me@example.com"}};
        std::ostringstream out;
        std::ostringstream err;
        QCOMPARE(runLinkCheckCommand(items, fastOptions(), out, err), 2);
        const std::string base = m_server->url(QString()).toStdString();
        QCOMPARE(out.str(), "1\t2\tbroken\t404\t" + base + "/notfound\t\t\n" +
                                "2\t1\tredirected\t302\t" + base + "/found\t" + base + "/ok\t\n" +
                                "2\t2\tskipped\t\tmailto:me@example.com\t\t\n");
        QCOMPARE(err.str(), std::string("4 links: 1 ok, 1 redirected, 1 broken, 1 skipped\n"));

        std::ostringstream quiet;
        QCOMPARE(runLinkCheckCommand({items[0], items[2], items[3]}, fastOptions(), quiet, err), 0);
        QCOMPARE(runLinkCheckCommand({}, fastOptions(), quiet, err), 0);
    }
};

QTEST_GUILESS_MAIN(TestLinkChecker)
#include "tst_linkchecker.moc"
