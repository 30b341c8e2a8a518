// The link check's rules that need no network: reading link text, the
// meaning of HTTP codes and connection errors, Retry-After, and the report.
#include "../core/UrlKeyCases.h"
#include "HttpRules.h"
#include "LinkCheckOptions.h"
#include "LinkCheckReport.h"
#include "LinkTarget.h"
#include "core/UrlKey.h"

#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(LinkTarget::Kind)
Q_DECLARE_METATYPE(LinkStatus)

class TestLinkCheckRules : public QObject {
    Q_OBJECT

private slots:
    void classify_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<LinkTarget::Kind>("kind");
        QTest::addColumn<QString>("detail"); // key of Http, path of LocalFile
        using K = LinkTarget::Kind;
        QTest::newRow("http") << QByteArray("http://example.com/a") << K::Http
                              << "http://example.com/a";
        QTest::newRow("spaces around, fragment dropped, case of host")
            << QByteArray("  HTTPS://Example.COM/a#top \t") << K::Http << "https://example.com/a";
        QTest::newRow("space in path as a browser reads it")
            << QByteArray("http://example.com/a b") << K::Http << "http://example.com/a%20b";
        QTest::newRow("international name") << QByteArray("http://b\xc3\xbc"
                                                          "cher.example/")
                                            << K::Http << "http://xn--bcher-kva.example/";
        QTest::newRow("file url") << QByteArray("file:///tmp/a%20b") << K::LocalFile << "/tmp/a b";
        QTest::newRow("file localhost")
            << QByteArray("file://localhost/etc") << K::LocalFile << "/etc";
        QTest::newRow("rooted path")
            << QByteArray("/home/me/notes.txt") << K::LocalFile << "/home/me/notes.txt";
        QTest::newRow("file on another machine")
            << QByteArray("file://server/share/x") << K::Skipped << "";
        QTest::newRow("mailto") << QByteArray("mailto:me@example.com") << K::Skipped << "";
        QTest::newRow("javascript") << QByteArray("javascript:void(0)") << K::Skipped << "";
        QTest::newRow("data") << QByteArray("data:text/plain,hi") << K::Skipped << "";
        QTest::newRow("ftp") << QByteArray("ftp://example.com/f") << K::Skipped << "";
        QTest::newRow("relative file") << QByteArray("other.htm") << K::Skipped << "";
        QTest::newRow("relative path") << QByteArray("../sub/page.html?x=1") << K::Skipped << "";
        QTest::newRow("fragment only") << QByteArray("#top") << K::Skipped << "";
        QTest::newRow("empty") << QByteArray("   ") << K::Invalid << "";
        QTest::newRow("words") << QByteArray("my bank") << K::Invalid << "";
        QTest::newRow("no scheme") << QByteArray("www.example.com") << K::Invalid << "";
        QTest::newRow("relative file") << QByteArray("other.htm") << K::Skipped << "";
        QTest::newRow("relative path") << QByteArray("../up/page.htm") << K::Skipped << "";
        QTest::newRow("fragment only") << QByteArray("#top") << K::Skipped << "";
        QTest::newRow("scheme-relative") << QByteArray("//example.com/x") << K::Invalid << "";
        QTest::newRow("http without host") << QByteArray("http:///x") << K::Invalid << "";
        QTest::newRow("space in host") << QByteArray("http://exa mple.com/") << K::Invalid << "";
        QTest::newRow("bad port") << QByteArray("http://example.com:99999/") << K::Invalid << "";
        QTest::newRow("not utf-8") << QByteArray("\xff\xfe") << K::Invalid << "";
    }
    // The checker asks once for what the duplicates finder calls one place.
    void sameLinkSameKey_data() {
        QTest::addColumn<QByteArray>("a");
        QTest::addColumn<QByteArray>("b");
        QTest::addColumn<bool>("same");
        QTest::newRow("case, fragment, spaces")
            << QByteArray("http://EXAMPLE.com/a#x") << QByteArray(" http://example.com/a") << true;
        QTest::newRow("path case")
            << QByteArray("http://example.com/a") << QByteArray("http://example.com/A") << false;
        QTest::newRow("space") << QByteArray("http://example.com/a b")
                               << QByteArray("http://example.com/a%20b") << true;
        QTest::newRow("unreserved escape")
            << QByteArray("http://example.com/%61") << QByteArray("http://example.com/a") << true;
        QTest::newRow("reserved escape") << QByteArray("http://example.com/a%2Fb")
                                         << QByteArray("http://example.com/a/b") << false;
        QTest::newRow("file url and path")
            << QByteArray("file:///tmp/a%20b") << QByteArray("/tmp/a b") << true;
        QTest::newRow("international host case") << QByteArray("http://B\xc3\x9c"
                                                               "CHER.de/")
                                                 << QByteArray("http://xn--bcher-kva.de") << true;
    }
    // The same-URL table every caller shares: one request for the links
    // that are one place, two for "/x" and "/x/".
    void sameRuleTable() {
        for (const UrlKeyCase& c : kUrlKeyCases) {
            const LinkTarget first = classifyLinkText(c.a);
            const LinkTarget second = classifyLinkText(c.b);
            const auto asked = [](const LinkTarget& t) {
                return t.kind == LinkTarget::Kind::Http || t.kind == LinkTarget::Kind::LocalFile;
            };
            if (!asked(first) || !asked(second))
                continue;
            QVERIFY2((first.key == second.key) == c.same, c.a);
        }
    }
    void sameLinkSameKey() {
        QFETCH(QByteArray, a);
        QFETCH(QByteArray, b);
        QFETCH(bool, same);
        const LinkTarget first = classifyLinkText(a.toStdString());
        const LinkTarget second = classifyLinkText(b.toStdString());
        QVERIFY(first.kind == second.kind);
        QCOMPARE(first.key == second.key, same);
        if (first.kind == LinkTarget::Kind::Http)
            QCOMPARE(first.key, QString::fromStdString(
                                    urlComparisonKey(a.toStdString(), UrlFragment::Ignore)));
    }

    // Where a redirect from a public address may not go.
    void publicAddresses() {
        const struct {
            const char* address;
            bool isPublic;
        } cases[] = {
            {"93.184.216.34", true},
            {"8.8.8.8", true},
            {"2606:4700::1111", true},
            {"[2606:4700::1111]", true},
            {"127.0.0.1", false},
            {"127.255.0.9", false},
            {"10.1.2.3", false},
            {"172.16.0.1", false},
            {"172.32.0.1", true},
            {"192.168.1.1", false},
            {"169.254.169.254", false},
            {"100.64.0.1", false},
            {"0.0.0.0", false},
            {"224.0.0.1", false},
            {"::1", false},
            {"::", false},
            {"fe80::1", false},
            {"fd00::1", false},
            {"::ffff:127.0.0.1", false},
            {"::ffff:8.8.8.8", true},
            {"localhost", false},
            {"", false},
        };
        for (const auto& c : cases)
            QVERIFY2(isPublicAddress(QString::fromLatin1(c.address)) == c.isPublic, c.address);
    }

    void reservedHosts() {
        QVERIFY(isReservedUnresolvableHost(QStringLiteral("nothing.invalid")));
        QVERIFY(isReservedUnresolvableHost(QStringLiteral("A.INVALID.")));
        QVERIFY(!isReservedUnresolvableHost(QStringLiteral("invalid.example.com")));
    }

    void httpCodes_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("challenge");
        QTest::addColumn<LinkStatus>("status");
        QTest::newRow("200") << 200 << false << LinkStatus::Ok;
        QTest::newRow("204") << 204 << false << LinkStatus::Ok;
        QTest::newRow("404") << 404 << false << LinkStatus::Broken;
        QTest::newRow("410") << 410 << false << LinkStatus::Broken;
        QTest::newRow("400") << 400 << false << LinkStatus::Broken;
        QTest::newRow("500") << 500 << false << LinkStatus::Broken;
        QTest::newRow("401") << 401 << false << LinkStatus::Blocked;
        QTest::newRow("403") << 403 << false << LinkStatus::Blocked;
        QTest::newRow("999") << 999 << false << LinkStatus::Blocked;
        QTest::newRow("503 challenge") << 503 << true << LinkStatus::Blocked;
        QTest::newRow("429") << 429 << false << LinkStatus::RateLimited;
        QTest::newRow("304 without place") << 304 << false << LinkStatus::Broken;
    }
    void httpCodes() {
        QFETCH(int, code);
        QFETCH(bool, challenge);
        QFETCH(LinkStatus, status);
        QCOMPARE(statusForHttpCode(code, challenge), status);
    }

    void challengeHeaders() {
        QVERIFY(isBotChallengeHeader("CF-Mitigated", " challenge"));
        QVERIFY(isBotChallengeHeader("x-amzn-waf-action", "captcha"));
        QVERIFY(!isBotChallengeHeader("cf-mitigated", "none"));
        QVERIFY(!isBotChallengeHeader("server", "challenge"));
    }

    void networkErrors_data() {
        QTest::addColumn<QNetworkReply::NetworkError>("error");
        QTest::addColumn<LinkStatus>("status");
        QTest::addColumn<bool>("transient");
        QTest::newRow("host not found")
            << QNetworkReply::HostNotFoundError << LinkStatus::NoHost << false;
        QTest::newRow("refused") << QNetworkReply::ConnectionRefusedError << LinkStatus::Refused
                                 << false;
        QTest::newRow("tls") << QNetworkReply::SslHandshakeFailedError << LinkStatus::Tls << false;
        QTest::newRow("timeout") << QNetworkReply::TimeoutError << LinkStatus::Timeout << true;
        QTest::newRow("closed") << QNetworkReply::RemoteHostClosedError << LinkStatus::Broken
                                << true;
        QTest::newRow("protocol") << QNetworkReply::ProtocolFailure << LinkStatus::Broken << false;
    }
    void networkErrors() {
        QFETCH(QNetworkReply::NetworkError, error);
        QFETCH(LinkStatus, status);
        QFETCH(bool, transient);
        QCOMPARE(statusForNetworkError(error), status);
        QCOMPARE(isTransientNetworkError(error), transient);
    }

    void retryAfter_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<qint64>("ms"); // -1: not understood
        QTest::newRow("seconds") << QByteArray(" 120 ") << qint64(120000);
        QTest::newRow("zero") << QByteArray("0") << qint64(0);
        QTest::newRow("date ahead") << QByteArray("Wed, 21 Oct 2015 07:28:30 GMT") << qint64(30000);
        QTest::newRow("date past") << QByteArray("Wed, 21 Oct 2015 07:27:00 GMT") << qint64(0);
        QTest::newRow("huge") << QByteArray("99999999999999999999")
                              << std::numeric_limits<qint64>::max();
        QTest::newRow("negative") << QByteArray("-5") << qint64(-1);
        QTest::newRow("words") << QByteArray("soon") << qint64(-1);
        QTest::newRow("empty") << QByteArray("") << qint64(-1);
    }
    void retryAfter() {
        QFETCH(QByteArray, value);
        QFETCH(qint64, ms);
        const QDateTime now(QDate(2015, 10, 21), QTime(7, 28, 0), Qt::UTC);
        QCOMPARE(parseRetryAfterMs(value, now).value_or(-1), ms);
    }

    void counts() {
        QCOMPARE(formatCount(0), std::string("0"));
        QCOMPARE(formatCount(999), std::string("999"));
        QCOMPARE(formatCount(1000), std::string("1,000"));
        QCOMPARE(formatCount(1234567), std::string("1,234,567"));
        QCOMPARE(formatCount(-1450), std::string("-1,450"));
        QCOMPARE(formatCount(std::numeric_limits<std::int64_t>::min()),
                 std::string("-9,223,372,036,854,775,808"));
        QCOMPARE(formatProgress(312, 1450), std::string("Checked 312 of 1,450"));
    }

    void summaryAndExitStatus() {
        std::vector<LinkCheckResult> results(1300);
        QCOMPARE(formatSummary(results), std::string("1,300 links: 1,300 ok"));
        QCOMPARE(exitStatusFor(results), 0);
        for (const LinkStatus status : {LinkStatus::Redirected, LinkStatus::Blocked,
                                        LinkStatus::RateLimited, LinkStatus::Skipped})
            results.push_back({status, 0, {}, {}, {}});
        QCOMPARE(exitStatusFor(results), 0);
        results.insert(results.end(), 12, {LinkStatus::Broken, 404, {}, {}, {}});
        QCOMPARE(exitStatusFor(results), 2);
        QCOMPARE(formatSummary(results),
                 std::string("1,316 links: 1,300 ok, 1 redirected, 12 broken, 1 blocked, "
                             "1 rate-limited, 1 skipped"));
        QCOMPARE(formatSummary({}), std::string("0 links"));
        QCOMPARE(formatSummary({LinkCheckResult{}}), std::string("1 link: 1 ok"));
        for (const LinkStatus status : {LinkStatus::Moved, LinkStatus::NoHost, LinkStatus::Refused,
                                        LinkStatus::Tls, LinkStatus::Timeout, LinkStatus::Invalid})
            QCOMPARE(exitStatusFor({LinkCheckResult{status, 0, {}, {}, {}}}), 2);
    }

    void reportLine() {
        const LinkCheckItem item{3, 17, "http://a.example/old"};
        LinkCheckResult moved{
            LinkStatus::Moved, 301, "http://a.example/new", {"http://a.example/new"}, {}};
        QCOMPARE(formatReportLine(item, moved),
                 std::string("3\t17\tmoved\t301\thttp://a.example/old\thttp://a.example/new\t"));
        const LinkCheckItem odd{1, 2, "bad\ttext\nhere"};
        LinkCheckResult invalid{LinkStatus::Invalid, 0, {}, {}, "not an address"};
        QCOMPARE(formatReportLine(odd, invalid),
                 std::string("1\t2\tinvalid\t\tbad text here\t\tnot an address"));
    }

    void userAgent() {
        LinkCheckOptions options;
        QCOMPARE(userAgentFor(options), std::string("Linkfold (link check)"));
        options.version = "1.2";
        QCOMPARE(userAgentFor(options), std::string("Linkfold/1.2 (link check)"));
    }
};

QTEST_GUILESS_MAIN(TestLinkCheckRules)
#include "tst_linkcheckrules.moc"
