#pragma once

#include "LinkCheckItem.h"
#include "LinkCheckOptions.h"
#include "LinkCheckResult.h"

#include <QElapsedTimer>
#include <QHash>
#include <QNetworkReply>
#include <QObject>
#include <QUrl>

#include <deque>
#include <memory>
#include <vector>

class HttpClient;
struct HttpAnswer;

// Checks a list of links: HTTP(S) addresses by asking their servers, local
// files by looking at the disk. Nothing is sent before start(). Each distinct
// address is asked once however often it appears; every item still gets its
// own result. Runs in the thread it lives in, on that thread's event loop.
class LinkChecker : public QObject {
    Q_OBJECT

public:
    explicit LinkChecker(QObject* parent = nullptr);
    ~LinkChecker() override;

    // Starts checking; a run under way is cancelled first. The signals all
    // come from the event loop, after start() has returned.
    void start(const std::vector<LinkCheckItem>& items, const LinkCheckOptions& options);
    // Aborts every request and forgets the waiting ones; finished() follows.
    void cancel();

    bool isRunning() const { return m_running; }
    bool wasCancelled() const { return m_cancelled; }
    // One per item of the last start(); meaningful for the items whose
    // resultReady() has come (all of them unless cancelled).
    const std::vector<LinkCheckResult>& results() const { return m_results; }
    bool hasResult(int index) const {
        return index >= 0 && static_cast<std::size_t>(index) < m_hasResult.size() &&
               m_hasResult[static_cast<std::size_t>(index)];
    }
    // HTTP requests sent during the last run, retries included.
    int requestsSent() const { return m_requestsSent; }

signals:
    void progress(int done, int total);
    void resultReady(int index, const LinkCheckResult& result);
    void finished();

private:
    struct Target;
    struct Host;

    void run(quint64 runId);
    void enqueue(std::size_t target, bool front);
    void markReady(std::size_t host);
    void dispatch();
    void armHostTimer(std::size_t host, qint64 delayMs);
    void startRequest(std::size_t target);
    void onStalled(std::size_t target, quint64 serial);
    void onAnswer(std::size_t target, const HttpAnswer& answer);
    void handleHttp(std::size_t target, const HttpAnswer& answer);
    bool waitAsAsked(std::size_t target, int code, const QByteArray& retryAfter);
    void handleError(std::size_t target, const HttpAnswer& answer);
    void retryLater(std::size_t target, bool skipQueue);
    void moveToUrl(std::size_t target, const QUrl& url);
    void finish(std::size_t target, LinkCheckResult result);
    void endRun();
    std::size_t hostFor(const QUrl& url);
    void complain(std::size_t host, qint64 sentAtMs);
    void praise(std::size_t host);
    qint64 stallMs() const;

    HttpClient* m_client = nullptr;
    LinkCheckOptions m_options;
    std::vector<LinkCheckItem> m_items;
    std::vector<LinkCheckResult> m_results;
    std::vector<bool> m_hasResult;
    std::vector<std::unique_ptr<Target>> m_targets;
    std::vector<std::unique_ptr<Host>> m_hosts;
    QHash<QString, std::size_t> m_hostIndex;
    std::deque<std::size_t> m_readyHosts;
    QElapsedTimer m_clock;
    quint64 m_runId = 0;
    std::size_t m_remaining = 0;
    int m_done = 0;
    int m_active = 0;  // requests holding a turn
    int m_stalled = 0; // requests long without an answer, holding none
    bool m_viaProxy = false;
    int m_requestsSent = 0;
    bool m_running = false;
    bool m_cancelled = false;
    bool m_dispatching = false;
};
