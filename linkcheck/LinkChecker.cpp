#include "LinkChecker.h"

#include "HttpClient.h"
#include "HttpRules.h"
#include "LinkTarget.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int kTransientRetries = 1;

bool isRedirectCode(int code) {
    return code == 301 || code == 302 || code == 303 || code == 307 || code == 308;
}

bool isPermanentRedirect(int code) {
    return code == 301 || code == 308;
}

std::string toStd(const QString& text) {
    return text.toStdString();
}

// True when a link's text asks exactly for the address (fragments aside).
bool sameRequest(std::string_view linkText, const std::string& url) {
    const QUrl link(
        QString::fromUtf8(linkText.data(), static_cast<qsizetype>(linkText.size())).trimmed(),
        QUrl::TolerantMode);
    const QUrl other(QString::fromStdString(url), QUrl::TolerantMode);
    return link.adjusted(QUrl::RemoveFragment) == other.adjusted(QUrl::RemoveFragment);
}

} // namespace

// One distinct address and the state of its check.
struct LinkChecker::Target {
    LinkTarget link;
    QUrl url; // where the next request goes (moves along redirects)
    std::vector<int> items;
    std::vector<std::string> chain;
    std::size_t host = 0;
    bool allPermanent = true;
    int firstRedirectCode = 0;
    bool useGet = false;
    bool done = false;
    int transientRetries = 0;
    int rateLimitWaits = 0;
    bool inFlight = false;
    int finalCode = 0;            // the status at the end of the redirects
    std::string redirectFragment; // the last redirect's own fragment, if any
};

// Requests to one host name wait here for a free slot and their turn. A host
// runs up to maxPerHost requests at once with no gap between them until it
// asks to slow down (429, 503) or its connections fail: then it gets one
// request at a time and a pause that doubles with each further complaint.
// Each good answer halves the pause and lets one more request run, until
// the host is back at full speed.
struct LinkChecker::Host {
    std::deque<std::size_t> pending;
    int active = 0;
    int limit = 0;        // requests allowed at once now
    qint64 backoffMs = 0; // pause before each request start now
    qint64 nextStartMs = 0;
    bool inReady = false;
    bool timerArmed = false;
};

LinkChecker::LinkChecker(QObject* parent) : QObject(parent) {
    m_client = new HttpClient(this);
    m_client->setHandler(
        [this](std::size_t target, const HttpAnswer& answer) { onAnswer(target, answer); });
}

LinkChecker::~LinkChecker() {
    blockSignals(true);
    cancel();
}

void LinkChecker::start(const std::vector<LinkCheckItem>& items, const LinkCheckOptions& options) {
    if (m_running)
        cancel();
    m_options = options;
    m_options.maxConcurrent = std::max(1, m_options.maxConcurrent);
    m_options.maxPerHost = std::max(1, m_options.maxPerHost);
    m_options.timeoutMs = std::max(1, m_options.timeoutMs);
    m_options.maxRedirects = std::max(0, m_options.maxRedirects);
    m_items = items;
    m_results.assign(items.size(), LinkCheckResult{});
    m_hasResult.assign(items.size(), false);
    m_targets.clear();
    m_hosts.clear();
    m_hostIndex.clear();
    m_readyHosts.clear();
    m_client->setUserAgent(QByteArray::fromStdString(userAgentFor(m_options)));
    m_client->setLimits(m_options.timeoutMs, std::clamp(m_options.maxConcurrent * 8, 64, 512));
    m_remaining = 0;
    m_done = 0;
    m_active = 0;
    m_requestsSent = 0;
    m_cancelled = false;
    m_running = true;
    m_clock.start();
    const quint64 runId = ++m_runId;
    QMetaObject::invokeMethod(
        this, [this, runId] { run(runId); }, Qt::QueuedConnection);
}

void LinkChecker::cancel() {
    if (!m_running)
        return;
    m_cancelled = true;
    m_running = false;
    ++m_runId; // waiting timers of this run now do nothing
    m_readyHosts.clear();
    for (auto& host : m_hosts)
        host->pending.clear();
    for (auto& target : m_targets)
        target->inFlight = false;
    m_client->abortAll();
    m_active = 0;
    emit finished();
}

void LinkChecker::run(quint64 runId) {
    if (runId != m_runId)
        return;
    // One target per distinct address; items share it.
    QHash<QString, std::size_t> byKey;
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        LinkTarget link = classifyLinkText(m_items[i].url);
        const QString key =
            link.kind == LinkTarget::Kind::Invalid ? QStringLiteral("invalid:%1").arg(i) : link.key;
        auto found = byKey.constFind(key);
        if (found != byKey.constEnd()) {
            m_targets[found.value()]->items.push_back(static_cast<int>(i));
            continue;
        }
        auto target = std::make_unique<Target>();
        target->link = std::move(link);
        target->items.push_back(static_cast<int>(i));
        byKey.insert(key, m_targets.size());
        m_targets.push_back(std::move(target));
    }
    m_remaining = m_targets.size();
    if (m_remaining == 0) {
        endRun();
        return;
    }
    for (std::size_t t = 0; t < m_targets.size() && runId == m_runId; ++t) {
        Target& target = *m_targets[t];
        switch (target.link.kind) {
        case LinkTarget::Kind::Invalid:
            finish(t, {LinkStatus::Invalid, 0, {}, {}, "not an address"});
            break;
        case LinkTarget::Kind::Skipped:
            finish(t, {LinkStatus::Skipped,
                       0,
                       {},
                       {},
                       target.link.relative ? "a relative link: no address to resolve it against"
                                            : std::string()});
            break;
        case LinkTarget::Kind::LocalFile:
            if (QFileInfo::exists(target.link.localPath))
                finish(t, {LinkStatus::Ok, 0, {}, {}, {}});
            else
                finish(t, {LinkStatus::Broken, 0, {}, {}, "no such file or folder"});
            break;
        case LinkTarget::Kind::Http:
            if (isReservedUnresolvableHost(target.link.url.host())) {
                finish(t, {LinkStatus::NoHost, 0, {}, {}, "the host name is reserved as invalid"});
                break;
            }
            target.url = target.link.url;
            target.host = hostFor(target.url);
            enqueue(t, false);
            break;
        }
    }
    if (runId == m_runId)
        dispatch();
}

void LinkChecker::slowDown(std::size_t index, qint64 waitMs) {
    Host& host = *m_hosts[index];
    host.limit = 1;
    host.backoffMs = std::clamp<qint64>(host.backoffMs * 2, std::max(1, m_options.backoffStartMs),
                                        std::max(1, m_options.backoffCapMs));
    host.nextStartMs =
        std::max(host.nextStartMs, m_clock.elapsed() + std::max(waitMs, host.backoffMs));
}

void LinkChecker::speedUp(std::size_t index) {
    Host& host = *m_hosts[index];
    host.backoffMs = host.backoffMs / 2 < 20 ? 0 : host.backoffMs / 2;
    host.limit = std::min(host.limit + 1, m_options.maxPerHost);
}

std::size_t LinkChecker::hostFor(const QUrl& url) {
    const QString name = url.host().toLower();
    auto found = m_hostIndex.constFind(name);
    if (found != m_hostIndex.constEnd())
        return found.value();
    m_hosts.push_back(std::make_unique<Host>());
    m_hosts.back()->limit = m_options.maxPerHost;
    m_hostIndex.insert(name, m_hosts.size() - 1);
    return m_hosts.size() - 1;
}

void LinkChecker::enqueue(std::size_t target, bool front) {
    Host& host = *m_hosts[m_targets[target]->host];
    if (front)
        host.pending.push_front(target);
    else
        host.pending.push_back(target);
    markReady(m_targets[target]->host);
}

void LinkChecker::markReady(std::size_t index) {
    Host& host = *m_hosts[index];
    if (host.inReady || host.pending.empty() || host.active >= host.limit)
        return;
    host.inReady = true;
    m_readyHosts.push_back(index);
}

void LinkChecker::armHostTimer(std::size_t index, qint64 delayMs) {
    Host& host = *m_hosts[index];
    if (host.timerArmed)
        return;
    host.timerArmed = true;
    const quint64 runId = m_runId;
    QTimer::singleShot(std::chrono::milliseconds(delayMs), this, [this, index, runId] {
        if (runId != m_runId)
            return;
        m_hosts[index]->timerArmed = false;
        markReady(index);
        dispatch();
    });
}

void LinkChecker::dispatch() {
    // Answers come from the event loop, never from inside send(); the
    // guard keeps a handler that ends the run from re-entering.
    if (m_dispatching)
        return;
    m_dispatching = true;
    const quint64 runId = m_runId;
    while (runId == m_runId && m_active < m_options.maxConcurrent && !m_readyHosts.empty()) {
        const std::size_t index = m_readyHosts.front();
        m_readyHosts.pop_front();
        Host& host = *m_hosts[index];
        host.inReady = false;
        if (host.pending.empty() || host.active >= host.limit)
            continue;
        const qint64 now = m_clock.elapsed();
        if (now < host.nextStartMs) {
            armHostTimer(index, host.nextStartMs - now);
            continue;
        }
        const std::size_t target = host.pending.front();
        host.pending.pop_front();
        ++host.active;
        ++m_active;
        host.nextStartMs = now + host.backoffMs;
        startRequest(target);
        markReady(index); // back of the line: hosts take turns
    }
    m_dispatching = false;
}

void LinkChecker::startRequest(std::size_t index) {
    Target& target = *m_targets[index];
    target.inFlight = true;
    ++m_requestsSent;
    m_client->send(index, target.url.toEncoded(), target.useGet);
}

void LinkChecker::onAnswer(std::size_t index, const HttpAnswer& answer) {
    Target& target = *m_targets[index];
    if (!target.inFlight)
        return;
    target.inFlight = false;
    const std::size_t hostIndex = target.host;
    --m_hosts[hostIndex]->active;
    --m_active;
    const quint64 runId = m_runId;
    if (answer.headersSeen)
        handleHttp(index, answer);
    else if (answer.timedOut)
        handleError(index, QNetworkReply::TimeoutError, QStringLiteral("no answer in time"));
    else
        handleError(index, answer.error, answer.errorText);
    if (runId != m_runId)
        return; // the run ended, and a slot may have started the next one
    markReady(hostIndex);
    dispatch();
}

void LinkChecker::handleHttp(std::size_t index, const HttpAnswer& answer) {
    Target& target = *m_targets[index];
    const int code = answer.code;
    const QUrl location = QUrl::fromEncoded(answer.location);
    if (code == 503)
        slowDown(target.host, 0);
    else if (code != 429)
        speedUp(target.host);
    if (!target.useGet && code >= 400) {
        // Many servers answer HEAD wrongly (404, 403, 405, 500 where GET gives
        // 200): a failure counts only when GET, read to the headers, says so.
        // A host that asks to slow down gets its wait first.
        target.useGet = true;
        if (code != 429) {
            enqueue(index, true);
            return;
        }
    }
    if (isRedirectCode(code) && location.isValid()) {
        // The hop is recorded with its own fragment (an update keeps it); the
        // request goes without.
        const QUrl hop = target.url.resolved(location);
        if (hop.hasFragment())
            target.redirectFragment = toStd(hop.fragment(QUrl::FullyEncoded));
        const QUrl next = hop.adjusted(QUrl::RemoveFragment);
        target.chain.push_back(toStd(hop.toString(QUrl::FullyEncoded)));
        if (target.firstRedirectCode == 0)
            target.firstRedirectCode = code;
        if (!isPermanentRedirect(code))
            target.allPermanent = false;
        if (static_cast<int>(target.chain.size()) > m_options.maxRedirects) {
            finish(index, {LinkStatus::Broken, code, target.chain.back(), target.chain,
                           "more than " + std::to_string(m_options.maxRedirects) + " redirects"});
            return;
        }
        const QString scheme = next.scheme();
        if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
            finish(index, {LinkStatus::Broken, code, target.chain.back(), target.chain,
                           "redirect to an address that is not http or https"});
            return;
        }
        if (isReservedUnresolvableHost(next.host())) {
            finish(index, {LinkStatus::NoHost, code, target.chain.back(), target.chain,
                           "the host name is reserved as invalid"});
            return;
        }
        moveToUrl(index, next);
        return;
    }
    LinkStatus status = statusForHttpCode(code, answer.challenge);
    if (status == LinkStatus::RateLimited && target.rateLimitWaits < m_options.retryAfterTries) {
        ++target.rateLimitWaits;
        const qint64 asked = parseRetryAfterMs(answer.retryAfter, QDateTime::currentDateTimeUtc())
                                 .value_or(m_options.retryAfterDefaultMs);
        const qint64 wait = std::clamp<qint64>(asked, 0, m_options.retryAfterCapMs);
        // The whole host waits and slows down; the other hosts go on.
        slowDown(target.host, wait);
        enqueue(index, true);
        return;
    }
    if (status == LinkStatus::Broken && code >= 500 &&
        target.transientRetries < kTransientRetries) {
        retryLater(index);
        return;
    }
    LinkCheckResult result;
    result.httpCode = code;
    result.redirectChain = target.chain;
    if (!target.chain.empty())
        result.finalUrl = target.chain.back();
    target.finalCode = code;
    if (status == LinkStatus::Ok && !target.chain.empty()) {
        // The code that names the result: the redirect, not the final 200.
        status = target.allPermanent ? LinkStatus::Moved : LinkStatus::Redirected;
        result.httpCode = target.firstRedirectCode;
    }
    result.status = status;
    if (code == 429)
        result.reason = "still too many requests after waiting";
    finish(index, std::move(result));
}

void LinkChecker::handleError(std::size_t index, QNetworkReply::NetworkError error,
                              const QString& text) {
    Target& target = *m_targets[index];
    if (error != QNetworkReply::HostNotFoundError &&
        error != QNetworkReply::SslHandshakeFailedError)
        slowDown(target.host, 0);
    if (error == QNetworkReply::RemoteHostClosedError && !target.useGet) {
        // Some servers drop a HEAD request; ask again the ordinary way.
        target.useGet = true;
        enqueue(index, true);
        return;
    }
    if (isTransientNetworkError(error) && target.transientRetries < kTransientRetries) {
        retryLater(index);
        return;
    }
    LinkCheckResult result;
    result.status = statusForNetworkError(error);
    result.redirectChain = target.chain;
    if (!target.chain.empty())
        result.finalUrl = target.chain.back();
    result.reason = toStd(text);
    finish(index, std::move(result));
}

void LinkChecker::retryLater(std::size_t index) {
    ++m_targets[index]->transientRetries;
    const quint64 runId = m_runId;
    QTimer::singleShot(std::chrono::milliseconds(std::max(0, m_options.retryPauseMs)), this,
                       [this, index, runId] {
                           if (runId != m_runId)
                               return;
                           enqueue(index, true);
                           dispatch();
                       });
}

void LinkChecker::moveToUrl(std::size_t index, const QUrl& url) {
    Target& target = *m_targets[index];
    target.url = url;
    target.host = hostFor(url);
    enqueue(index, true);
}

void LinkChecker::finish(std::size_t index, LinkCheckResult result) {
    Target& target = *m_targets[index];
    target.done = true;
    const quint64 runId = m_runId;
    const std::string finalUrl = result.finalUrl;
    const LinkCheckResult shared = result;
    for (const int item : target.items) {
        const std::string& text = m_items[static_cast<std::size_t>(item)].url;
        result = shared;
        if (!target.chain.empty() && !finalUrl.empty() &&
            (shared.status == LinkStatus::Moved || shared.status == LinkStatus::Redirected) &&
            sameRequest(text, finalUrl)) {
            // One spelling of the place redirects to another ("/dir" to
            // "/dir/"): a link already written as the final one is ok.
            result = {LinkStatus::Ok, target.finalCode, {}, {}, {}};
        } else {
            // Links that share an address may differ in their fragment.
            result.finalUrl = finalUrlWithFragment(finalUrl, target.redirectFragment, text);
        }
        m_results[static_cast<std::size_t>(item)] = result;
        m_hasResult[static_cast<std::size_t>(item)] = true;
        ++m_done;
        emit resultReady(item, result);
        if (runId != m_runId)
            return; // cancelled from a slot
        emit progress(m_done, static_cast<int>(m_items.size()));
        if (runId != m_runId)
            return;
    }
    if (--m_remaining == 0)
        endRun();
}

void LinkChecker::endRun() {
    m_running = false;
    ++m_runId;
    m_client->abortAll(); // closes the connections kept for reuse
    emit finished();
}
