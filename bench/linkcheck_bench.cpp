// The link checker over 10,000 links against a local server that answers
// at once, spread over loopback addresses as links spread over sites.
//
//   linkcheck_bench [benchmark flags]   run the benchmarks
//   linkcheck_bench --serve SECONDS HOSTS LINKS SLOW LIST
//                                       only serve LINKS links over HOSTS
//                                       addresses (the last SLOW of them
//                                       answering after 200 ms), listed in
//                                       the file LIST and on a page, for
//                                       other checkers (bench/linkcheck_peers.sh)
//   linkcheck_bench --check FILE [JOBS] check the addresses in FILE (one a
//                                       line) with the default limits, as
//                                       the command line does
#include "LinkCheckCommand.h"
#include "LinkChecker.h"
#include "TestHttpServer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTcpServer>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

namespace {

constexpr int kLinks = 10000;

QList<QHostAddress> loopbackHosts(int count) {
    QList<QHostAddress> hosts;
    for (int i = 0; i < count; ++i)
        hosts << QHostAddress(QStringLiteral("127.0.%1.%2").arg(1 + i / 250).arg(1 + i % 250));
    return hosts;
}

std::vector<LinkCheckItem> linksFor(const TestHttpServer& server, int count) {
    std::vector<LinkCheckItem> items;
    items.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        items.push_back({1 + i % 10, 1 + i / 10,
                         server.url(QStringLiteral("/ok?%1").arg(i), i % server.listenerCount())
                             .toStdString()});
    return items;
}

// Peak resident size of the process so far, from the kernel, in MB.
double peakRssMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

double currentRssMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

// Args: number of hosts, number of links. Default limits.
void BM_CheckLinks(benchmark::State& state) {
    const int hostCount = static_cast<int>(state.range(0));
    TestHttpServer server(loopbackHosts(hostCount));
    if (!server.start()) {
        state.SkipWithError("cannot listen on the loopback addresses");
        return;
    }
    const std::vector<LinkCheckItem> items = linksFor(server, static_cast<int>(state.range(1)));
    LinkCheckOptions options;
    options.version = "bench";
    const double before = currentRssMb();
    std::size_t ok = 0;
    for (auto _ : state) {
        LinkChecker checker;
        QEventLoop loop;
        QObject::connect(&checker, &LinkChecker::finished, &loop, &QEventLoop::quit);
        checker.start(items, options);
        loop.exec();
        ok = 0;
        for (const LinkCheckResult& result : checker.results())
            ok += result.status == LinkStatus::Ok ? 1 : 0;
    }
    if (ok != items.size())
        state.SkipWithError("some links were not ok");
    state.counters["links"] = static_cast<double>(items.size());
    state.counters["rss_before_MB"] = before;
    state.counters["peak_rss_MB"] = peakRssMb();
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(1));
}
BENCHMARK(BM_CheckLinks)
    ->Args({500, kLinks})
    ->Args({20, 2000})
    ->Args({1, 2000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3);

// Hosts that do not answer. Arg 0: ten links to a host that accepts and
// never answers, --timeout 2; arg 1: 50 links to a port where nothing
// listens. Wall time of the whole run.
void BM_HostileHost(benchmark::State& state) {
    TestHttpServer server;
    if (!server.start()) {
        state.SkipWithError("cannot listen");
        return;
    }
    quint16 closed = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        closed = probe.serverPort();
    }
    const bool silent = state.range(0) == 0;
    std::vector<LinkCheckItem> items;
    for (int i = 0; i < (silent ? 10 : 50); ++i)
        items.push_back(
            {1, i + 1,
             silent ? server.url(QStringLiteral("/slow?%1").arg(i)).toStdString()
                    : "http://127.0.0.1:" + std::to_string(closed) + "/" + std::to_string(i)});
    LinkCheckOptions options;
    options.timeoutMs = 2000;
    for (auto _ : state) {
        LinkChecker checker;
        QEventLoop loop;
        QObject::connect(&checker, &LinkChecker::finished, &loop, &QEventLoop::quit);
        checker.start(items, options);
        loop.exec();
        state.counters["requests"] = checker.requestsSent();
    }
}
BENCHMARK(BM_HostileHost)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// Serves `links` links over `hosts` addresses 127.0.0.11 and up, the last
// `slow` of them answering after 200 ms; writes the addresses to `list`, one
// a line, and prints the address of a page linking them all.
int serve(int seconds, int hostCount, int links, int slow, const char* list) {
    QList<QHostAddress> hosts;
    for (int i = 0; i < hostCount; ++i)
        hosts << QHostAddress(QStringLiteral("127.0.0.%1").arg(11 + i));
    TestHttpServer server(hosts);
    if (!server.start()) {
        std::fprintf(stderr, "cannot listen on the loopback addresses\n");
        return 1;
    }
    std::ofstream out(list);
    QByteArray page = "<!DOCTYPE html>\n<html><head><title>links</title></head><body>\n";
    for (int i = 0; i < links; ++i) {
        const int host = i % hostCount;
        const QString path = host >= hostCount - slow ? QStringLiteral("/delay?ms=200&i=%1").arg(i)
                                                      : QStringLiteral("/ok?%1").arg(i);
        const QByteArray url = server.url(path, host).toUtf8();
        out << url.constData() << '\n';
        page +=
            "<a href=\"" + QString::fromUtf8(url).toHtmlEscaped().toUtf8() + "\">link</a><br>\n";
    }
    out.close();
    page += "</body></html>\n";
    server.setPage(page);
    std::printf("%s\n", qPrintable(server.url(QStringLiteral("/page"))));
    std::fflush(stdout);
    QTimer::singleShot(seconds * 1000, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    std::fprintf(stderr, "%d requests\n", server.totalRequests());
    return 0;
}

int checkFile(const char* path, int jobs) {
    std::ifstream in(path);
    std::vector<LinkCheckItem> items;
    std::string line;
    while (std::getline(in, line))
        items.push_back({1, static_cast<int>(items.size()) + 1, line});
    LinkCheckOptions options;
    options.version = "bench";
    if (jobs > 0)
        options.maxConcurrent = jobs;
    return runLinkCheckCommand(items, options, std::cout, std::cerr);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 7 && std::strcmp(argv[1], "--serve") == 0)
        return serve(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                     argv[6]);
    if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "--check") == 0)
        return checkFile(argv[2], argc == 4 ? std::atoi(argv[3]) : 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
