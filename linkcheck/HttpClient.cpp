#include "HttpClient.h"

#include "HttpRules.h"

#include <QSocketNotifier>
#include <QTimer>

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace {

constexpr char kAccept[] =
    "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";

CURLM* multiOf(void* multi) {
    return static_cast<CURLM*>(multi);
}

void initCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

QNetworkReply::NetworkError errorFor(CURLcode code) {
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return QNetworkReply::HostNotFoundError;
    case CURLE_COULDNT_RESOLVE_PROXY:
        return QNetworkReply::ProxyNotFoundError;
    case CURLE_COULDNT_CONNECT:
        return QNetworkReply::ConnectionRefusedError;
    case CURLE_OPERATION_TIMEDOUT:
        return QNetworkReply::TimeoutError;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_USE_SSL_FAILED:
        return QNetworkReply::SslHandshakeFailedError;
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
        return QNetworkReply::RemoteHostClosedError;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
        return QNetworkReply::ProtocolUnknownError;
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
    case CURLE_TOO_MANY_REDIRECTS:
        return QNetworkReply::ProtocolFailure;
    default:
        return QNetworkReply::UnknownNetworkError;
    }
}

// Why a request that got no status line failed, in words that are true for
// every result (curl's own text says "No error" for a connection that closed
// cleanly before answering).
QString reasonFor(CURLcode code, const char* detail, int timeoutMs) {
    switch (code) {
    case CURLE_OK:
    case CURLE_GOT_NOTHING:
        return QStringLiteral("the server closed the connection without an answer");
    case CURLE_OPERATION_TIMEDOUT:
        return QStringLiteral("no answer within %1 s").arg(timeoutMs / 1000.0);
    case CURLE_OUT_OF_MEMORY:
        return QStringLiteral("the answer's header block is too large");
    default:
        break;
    }
    if (detail && *detail)
        return QString::fromUtf8(detail);
    return QString::fromUtf8(curl_easy_strerror(code));
}

QByteArray trimmedLine(const char* data, std::size_t length) {
    return QByteArray(data, static_cast<qsizetype>(length)).trimmed();
}

} // namespace

// One request under way.
struct HttpClient::Transfer {
    HttpClient* client = nullptr;
    std::size_t tag = 0;
    bool get = false;
    bool publicOnly = false;
    QByteArray publicAddress;
    HttpAnswer answer;
    bool cut = false; // stopped by us at the end of the headers
    char errorText[CURL_ERROR_SIZE] = {};
};

// The notifiers of one socket curl asked us to watch.
struct HttpClient::Watch {
    QSocketNotifier* read = nullptr;
    QSocketNotifier* write = nullptr;
};

HttpClient::HttpClient(QObject* parent) : QObject(parent) {
    initCurlOnce();
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, [this] { act(CURL_SOCKET_TIMEOUT, 0); });
    m_headers = curl_slist_append(nullptr, kAccept);
}

HttpClient::~HttpClient() {
    abortAll();
    for (void* easy : m_spare)
        curl_easy_cleanup(easy);
    curl_slist_free_all(static_cast<curl_slist*>(m_headers));
}

void HttpClient::setLimits(int timeoutMs, int maxConnections) {
    m_timeoutMs = std::max(1, timeoutMs);
    m_maxConnections = std::max(1, maxConnections);
    if (m_multi)
        curl_multi_setopt(multiOf(m_multi), CURLMOPT_MAXCONNECTS, long{m_maxConnections});
}

void HttpClient::ensureMulti() {
    if (m_multi)
        return;
    CURLM* multi = curl_multi_init();
    curl_multi_setopt(multi, CURLMOPT_SOCKETFUNCTION, &HttpClient::onSocket);
    curl_multi_setopt(multi, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(multi, CURLMOPT_TIMERFUNCTION, &HttpClient::onTimer);
    curl_multi_setopt(multi, CURLMOPT_TIMERDATA, this);
    curl_multi_setopt(multi, CURLMOPT_MAXCONNECTS, long{m_maxConnections});
    curl_multi_setopt(multi, CURLMOPT_PIPELINING, long{CURLPIPE_MULTIPLEX});
    m_multi = multi;
}

void HttpClient::send(std::size_t tag, const QByteArray& url, bool get, bool publicOnly) {
    ensureMulti();
    CURL* easy = nullptr;
    if (m_spare.empty()) {
        easy = curl_easy_init();
    } else {
        easy = m_spare.back();
        m_spare.pop_back();
        curl_easy_reset(easy);
    }
    auto* transfer = new Transfer;
    transfer->client = this;
    transfer->tag = tag;
    transfer->get = get;
    transfer->publicOnly = publicOnly;
    transfer->publicAddress = m_publicAddress;
    m_transfers.emplace(easy, transfer);

    curl_easy_setopt(easy, CURLOPT_URL, url.constData());
    curl_easy_setopt(easy, CURLOPT_PRIVATE, transfer);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, transfer->errorText);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, long{m_timeoutMs});
    curl_easy_setopt(easy, CURLOPT_USERAGENT, m_userAgent.constData());
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, m_headers);
    curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &HttpClient::onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, transfer);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &HttpClient::onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, transfer);
    curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, &HttpClient::onConnect);
    curl_easy_setopt(easy, CURLOPT_PREREQDATA, transfer);
    if (!get)
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    curl_multi_add_handle(multiOf(m_multi), easy);
}

void HttpClient::abortAll() {
    ++m_generation;
    m_timer->stop();
    if (!m_multi)
        return;
    CURLM* multi = multiOf(m_multi);
    for (auto& [easy, transfer] : m_transfers) {
        curl_multi_remove_handle(multi, easy);
        delete transfer;
        m_spare.push_back(easy);
    }
    m_transfers.clear();
    // Closing the multi handle closes the connections it keeps; sockets it
    // leaves to us are unwatched below.
    m_multi = nullptr;
    curl_multi_cleanup(multi);
    for (auto& [socket, watch] : m_watches) {
        for (QSocketNotifier* notifier : {watch->read, watch->write}) {
            if (notifier) {
                notifier->setEnabled(false);
                notifier->deleteLater();
            }
        }
        delete watch;
    }
    m_watches.clear();
}

int HttpClient::onSocket(void*, int socket, int what, void* self, void*) {
    auto* client = static_cast<HttpClient*>(self);
    if (what == CURL_POLL_REMOVE) {
        client->unwatch(socket);
        return 0;
    }
    Watch*& watch = client->m_watches[socket];
    if (!watch) {
        watch = new Watch;
        watch->read = new QSocketNotifier(socket, QSocketNotifier::Read, client);
        watch->write = new QSocketNotifier(socket, QSocketNotifier::Write, client);
        connect(watch->read, &QSocketNotifier::activated, client,
                [client, socket] { client->act(socket, CURL_CSELECT_IN); });
        connect(watch->write, &QSocketNotifier::activated, client,
                [client, socket] { client->act(socket, CURL_CSELECT_OUT); });
    }
    watch->read->setEnabled(what == CURL_POLL_IN || what == CURL_POLL_INOUT);
    watch->write->setEnabled(what == CURL_POLL_OUT || what == CURL_POLL_INOUT);
    return 0;
}

void HttpClient::unwatch(int socket) {
    const auto found = m_watches.find(socket);
    if (found == m_watches.end())
        return;
    Watch* watch = found->second;
    m_watches.erase(found);
    // A notifier may be in the middle of its signal: it goes later.
    for (QSocketNotifier* notifier : {watch->read, watch->write}) {
        notifier->setEnabled(false);
        notifier->deleteLater();
    }
    delete watch;
}

int HttpClient::onTimer(void*, long timeoutMs, void* self) {
    auto* client = static_cast<HttpClient*>(self);
    if (timeoutMs < 0)
        client->m_timer->stop();
    else
        client->m_timer->start(static_cast<int>(std::min<long>(timeoutMs, 1 << 30)));
    return 0;
}

std::size_t HttpClient::onHeader(char* data, std::size_t size, std::size_t count, void* pointer) {
    auto* transfer = static_cast<Transfer*>(pointer);
    const std::size_t length = size * count;
    HttpAnswer& answer = transfer->answer;
    if (length >= 5 && std::memcmp(data, "HTTP/", 5) == 0) {
        // A new header block: an informational one (1xx) may come first.
        const QByteArray line = trimmedLine(data, length);
        const qsizetype space = line.indexOf(' ');
        const QByteArray address = answer.address;
        answer = HttpAnswer{};
        answer.address = address;
        answer.code = space < 0 ? 0 : line.mid(space + 1, 3).toInt();
        return length;
    }
    const QByteArray line = trimmedLine(data, length);
    if (line.isEmpty()) {
        if (answer.code >= 200) {
            answer.headersSeen = true;
            // All a check needs: a GET stops here, before any of the body.
            if (transfer->get) {
                transfer->cut = true;
                return 0;
            }
        }
        return length;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return length;
    const QByteArray name = line.left(colon).trimmed();
    const QByteArray value = line.mid(colon + 1).trimmed();
    if (name.compare("location", Qt::CaseInsensitive) == 0)
        answer.location = value;
    else if (name.compare("retry-after", Qt::CaseInsensitive) == 0)
        answer.retryAfter = value;
    else if (isBotChallengeHeader(name, value))
        answer.challenge = true;
    return length;
}

int HttpClient::onConnect(void* pointer, char* primaryIp, char*, int, int) {
    auto* transfer = static_cast<Transfer*>(pointer);
    transfer->answer.address = QByteArray(primaryIp);
    if (transfer->publicOnly && transfer->answer.address != transfer->publicAddress &&
        !isPublicAddress(QString::fromLatin1(transfer->answer.address))) {
        transfer->answer.privateRefused = true;
        return CURL_PREREQFUNC_ABORT;
    }
    return CURL_PREREQFUNC_OK;
}

std::size_t HttpClient::onBody(char*, std::size_t, std::size_t, void* pointer) {
    // A GET whose header block ended without the header function noticing:
    // its body is never read.
    static_cast<Transfer*>(pointer)->cut = true;
    return 0;
}

void HttpClient::act(int socket, int events) {
    if (!m_multi)
        return;
    int running = 0;
    curl_multi_socket_action(multiOf(m_multi), socket, events, &running);
    collect();
}

void HttpClient::collect() {
    // Every finished transfer leaves the multi handle first; the handler may
    // then send new requests or abort everything.
    std::vector<std::pair<std::size_t, HttpAnswer>> done;
    CURLM* multi = multiOf(m_multi);
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        CURL* easy = message->easy_handle;
        const CURLcode code = message->data.result;
        const auto found = m_transfers.find(easy);
        curl_multi_remove_handle(multi, easy);
        if (found == m_transfers.end()) {
            m_spare.push_back(easy);
            continue;
        }
        Transfer* transfer = found->second;
        m_transfers.erase(found);
        HttpAnswer answer = std::move(transfer->answer);
        if (!answer.headersSeen && answer.code >= 200 && code != CURLE_OPERATION_TIMEDOUT) {
            // The status line came, the end of the headers did not (cut
            // off, or more of them than curl takes): the status judges. Not
            // in time is not in time, whatever came first.
            answer.headersSeen = true;
            answer.headersCut = true;
        }
        if (!answer.headersSeen) {
            answer.code = 0;
            answer.error = errorFor(code);
            answer.timedOut = code == CURLE_OPERATION_TIMEDOUT;
            answer.errorText = reasonFor(code, transfer->errorText, m_timeoutMs);
            if (answer.privateRefused) {
                answer.error = QNetworkReply::ContentAccessDenied;
                answer.errorText =
                    QStringLiteral("redirect from a public address to a private one (%1)")
                        .arg(QString::fromLatin1(answer.address));
            }
        }
        done.emplace_back(transfer->tag, std::move(answer));
        delete transfer;
        m_spare.push_back(easy);
    }
    const quint64 generation = m_generation;
    for (const auto& [tag, answer] : done) {
        if (generation != m_generation)
            return;
        if (m_handler)
            m_handler(tag, answer);
    }
}
