#include "LinkChecker.h"

#include "HttpClient.h"
#include "HttpRules.h"
#include "LinkTarget.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QHostAddress>
#include <QTimer>

#include <algorithm>
#include <cmath>

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
    bool publicOnly = false;  // a public address redirected here
    int transientRetries = 0; // 5xx answers asked again
    int silentAttempts = 0;   // requests to this address that got no answer
    bool inFlight = false;
    bool stalled = false; // in flight long without an answer: holds no turn
    quint64 serial = 0;   // of the request under way
    qint64 sentAtMs = 0;
    int finalCode = 0;            // the status at the end of the redirects
    std::string redirectFragment; // the last redirect's own fragment, if any
};

// Requests to one host name wait here for a free turn. A host runs up to
// maxPerHost requests at once with no gap between them. Only a host that
// says so slows down: a 429 or 503 cuts its turns to 70 % (at least one) and
// a Retry-After pauses all its requests for as long as it asks; good answers
// give a turn back bit by bit (additive increase, multiplicative decrease),
// so a host that takes two at once settles at two. Silence and refusal are
// no reason to slow down: a request long without an answer gives its turn
// up, so the host's other links go on.
struct LinkChecker::Host {
    std::deque<std::size_t> pending;
    int active = 0;   // requests holding a turn
    int stalled = 0;  // requests long without an answer
    double limit = 0; // turns now (whole turns count)
    qint64 pausedUntilMs = 0;
    qint64 waitedMs = 0;   // pauses the host asked for, all told
    qint64 lastCutMs = -1; // when the turns were last cut
    bool inReady = false;
    bool timerArmed = false;

    int turns() const { return std::max(1, static_cast<int>(limit)); }
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
    m_stalled = 0;
    m_requestsSent = 0;
    m_viaProxy =
        !qEnvironmentVariableIsEmpty("http_proxy") || !qEnvironmentVariableIsEmpty("https_proxy") ||
        !qEnvironmentVariableIsEmpty("HTTPS_PROXY") || !qEnvironmentVariableIsEmpty("all_proxy") ||
        !qEnvironmentVariableIsEmpty("ALL_PROXY");
    m_client->setPublicAddress(QByteArray::fromStdString(m_options.publicAddress));
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
    m_stalled = 0;
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

void LinkChecker::complain(std::size_t index, qint64 sentAtMs) {
    Host& host = *m_hosts[index];
    // One cut for the requests that were under way together.
    if (sentAtMs <= host.lastCutMs)
        return;
    host.lastCutMs = m_clock.elapsed();
    host.limit = std::max(1.0, std::floor(host.turns() * 0.7));
}

void LinkChecker::praise(std::size_t index) {
    Host& host = *m_hosts[index];
    host.limit = std::min<double>(host.limit + 1.0 / (8.0 * host.turns()), m_options.maxPerHost);
}

qint64 LinkChecker::stallMs() const {
    return std::clamp<qint64>(m_options.timeoutMs / 2, 1, 2000);
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
    if (host.inReady || host.pending.empty() || host.active >= host.turns())
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
        if (host.pending.empty() || host.active >= host.turns())
            continue;
        const qint64 now = m_clock.elapsed();
        if (now < host.pausedUntilMs) {
            armHostTimer(index, host.pausedUntilMs - now);
            continue;
        }
        const std::size_t target = host.pending.front();
        host.pending.pop_front();
        startRequest(target);
        markReady(index); // back of the line: hosts take turns
    }
    m_dispatching = false;
}

void LinkChecker::startRequest(std::size_t index) {
    Target& target = *m_targets[index];
    ++m_hosts[target.host]->active;
    ++m_active;
    target.inFlight = true;
    target.stalled = false;
    target.sentAtMs = m_clock.elapsed();
    const quint64 serial = ++target.serial;
    ++m_requestsSent;
    m_client->send(index, target.url.toEncoded(), target.useGet, target.publicOnly && !m_viaProxy);
    const quint64 runId = m_runId;
    QTimer::singleShot(std::chrono::milliseconds(stallMs()), this, [this, index, serial, runId] {
        if (runId == m_runId)
            onStalled(index, serial);
    });
}

void LinkChecker::onStalled(std::size_t index, quint64 serial) {
    Target& target = *m_targets[index];
    if (!target.inFlight || target.stalled || target.serial != serial)
        return;
    Host& host = *m_hosts[target.host];
    // A silent host keeps at most twice its turns open, the run at most
    // twice its requests; past that the request keeps its turn a while.
    if (host.stalled >= m_options.maxPerHost || m_stalled >= m_options.maxConcurrent) {
        const quint64 runId = m_runId;
        QTimer::singleShot(std::chrono::milliseconds(stallMs()), this,
                           [this, index, serial, runId] {
                               if (runId == m_runId)
                                   onStalled(index, serial);
                           });
        return;
    }
    target.stalled = true;
    --host.active;
    --m_active;
    ++host.stalled;
    ++m_stalled;
    markReady(target.host);
    dispatch();
}

void LinkChecker::onAnswer(std::size_t index, const HttpAnswer& answer) {
    Target& target = *m_targets[index];
    if (!target.inFlight)
        return;
    target.inFlight = false;
    const std::size_t hostIndex = target.host;
    Host& host = *m_hosts[hostIndex];
    if (target.stalled) {
        --host.stalled;
        --m_stalled;
        target.stalled = false;
    } else {
        --host.active;
        --m_active;
    }
    const quint64 runId = m_runId;
    if (answer.headersSeen)
        handleHttp(index, answer);
    else
        handleError(index, answer);
    if (runId != m_runId)
        return; // the run ended, and a slot may have started the next one
    markReady(hostIndex);
    dispatch();
}

void LinkChecker::handleHttp(std::size_t index, const HttpAnswer& answer) {
    Target& target = *m_targets[index];
    const int code = answer.code;
    const QUrl location = QUrl::fromEncoded(answer.location);
    target.silentAttempts = 0;
    if (code == 429 || code == 503)
        complain(target.host, target.sentAtMs);
    else if (code < 500)
        praise(target.host);
    if (!target.useGet && code >= 400) {
        // Many servers answer HEAD wrongly (404, 403, 405, 500 where GET gives
        // 200): a failure counts only when GET, read to the headers, says so.
        // A host that asks to wait gets its wait first.
        target.useGet = true;
        if (code != 429 && code != 503) {
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
        // As browsers do: a public address may not send the check to a
        // loopback or private one.
        const QString address = QString::fromLatin1(answer.address);
        const bool fromPublic =
            isPublicAddress(address) ||
            (!m_options.publicAddress.empty() && answer.address == m_options.publicAddress.c_str());
        const QString nextHost = next.host().toLower();
        const bool literal = !QHostAddress(nextHost).isNull();
        const bool localName = nextHost == QLatin1String("localhost") ||
                               nextHost.endsWith(QLatin1String(".localhost"));
        if (fromPublic && (localName || (literal && !isPublicAddress(nextHost) &&
                                         nextHost.toStdString() != m_options.publicAddress))) {
            finish(index, {LinkStatus::Broken, code, target.chain.back(), target.chain,
                           "redirect from a public address to a private one"});
            return;
        }
        target.publicOnly = fromPublic && !literal;
        moveToUrl(index, next);
        return;
    }
    LinkStatus status = statusForHttpCode(code, answer.challenge);
    const bool askedToWait = code == 429 || (code == 503 && !answer.retryAfter.isEmpty());
    if (askedToWait && waitAsAsked(index, code, answer.retryAfter))
        return;
    if (!askedToWait && status == LinkStatus::Broken && code >= 500 &&
        target.transientRetries < kTransientRetries) {
        ++target.transientRetries;
        retryLater(index, false);
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
    if (code == 429 || code == 503) {
        const qint64 seconds = (m_hosts[target.host]->waitedMs + 500) / 1000;
        if (seconds > 0)
            result.reason = "still " + std::to_string(code) + " after the host's waits (" +
                            std::to_string(seconds) + " s)";
        else if (code == 429)
            result.reason = "too many requests";
    }
    finish(index, std::move(result));
}

// A 429, or a 503 naming its wait: the whole host pauses as long as it asks
// (Retry-After in seconds or as a date, at most retryAfterCapMs; a 429
// without one waits retryAfterDefaultMs) and the link asks again. False when
// the host's waits would pass hostWaitBudgetMs: the link then gives up.
bool LinkChecker::waitAsAsked(std::size_t index, int code, const QByteArray& retryAfter) {
    Target& target = *m_targets[index];
    Host& host = *m_hosts[target.host];
    const std::optional<qint64> asked =
        parseRetryAfterMs(retryAfter, QDateTime::currentDateTimeUtc());
    if (!asked && code != 429)
        return false;
    const qint64 wait = std::clamp<qint64>(asked.value_or(m_options.retryAfterDefaultMs), 0,
                                           m_options.retryAfterCapMs);
    const qint64 now = m_clock.elapsed();
    const qint64 until = now + wait;
    const qint64 added = std::max<qint64>(0, until - std::max(host.pausedUntilMs, now));
    if (host.waitedMs + added > m_options.hostWaitBudgetMs)
        return false;
    host.waitedMs += added;
    host.pausedUntilMs = std::max(host.pausedUntilMs, until);
    enqueue(index, true);
    return true;
}

void LinkChecker::handleError(std::size_t index, const HttpAnswer& answer) {
    Target& target = *m_targets[index];
    const QNetworkReply::NetworkError error =
        answer.timedOut ? QNetworkReply::TimeoutError : answer.error;
    if (!answer.privateRefused && isTransientNetworkError(error)) {
        // No answer, or the connection dropped: asked once more, the GET way
        // after a HEAD (some servers never answer HEAD). After a time-out the
        // second request goes at once, after a reset following a pause, so
        // that a link costs at most 2 x S + the pause.
        ++target.silentAttempts;
        if (target.silentAttempts < 2) {
            target.useGet = true;
            if (error == QNetworkReply::TimeoutError)
                startRequest(index);
            else
                retryLater(index, true);
            return;
        }
    }
    LinkCheckResult result;
    result.status = statusForNetworkError(error);
    result.redirectChain = target.chain;
    if (!target.chain.empty())
        result.finalUrl = target.chain.back();
    result.reason = toStd(answer.errorText);
    if (result.reason.empty())
        result.reason = "no answer";
    finish(index, std::move(result));
}

// Asks again after the pause; skipQueue for a link that got no answer, whose
// second request must not wait for a turn.
void LinkChecker::retryLater(std::size_t index, bool skipQueue) {
    const quint64 runId = m_runId;
    QTimer::singleShot(std::chrono::milliseconds(std::max(0, m_options.retryPauseMs)), this,
                       [this, index, runId, skipQueue] {
                           if (runId != m_runId)
                               return;
                           if (skipQueue)
                               startRequest(index);
                           else
                               enqueue(index, true);
                           dispatch();
                       });
}

void LinkChecker::moveToUrl(std::size_t index, const QUrl& url) {
    Target& target = *m_targets[index];
    target.url = url;
    target.silentAttempts = 0;
    target.transientRetries = 0;
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
