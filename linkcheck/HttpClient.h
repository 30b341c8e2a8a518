#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QObject>
#include <QString>

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

class QTimer;

// What came back for one request: the status and the few headers a check
// needs, or why there was no answer.
struct HttpAnswer {
    bool headersSeen = false; // a final status line arrived (the answer is judged by it)
    bool headersCut = false;  // ... but its header block did not end
    int code = 0;
    QByteArray location;
    QByteArray retryAfter;
    bool challenge = false; // a bot-challenge header
    bool timedOut = false;
    bool privateRefused = false; // not connected: the address was not public
    QNetworkReply::NetworkError error = QNetworkReply::NoError; // without headers
    QString errorText;
    QByteArray address; // the IP address connected to, when known
};

// HEAD and headers-only GET requests over libcurl's multi interface, driven
// by the event loop of the thread the client lives in (socket notifiers and
// one timer). Connections are kept and reused between requests to a host, and
// HTTPS servers that offer HTTP/2 get their requests multiplexed. No
// redirect is followed, no cookie is sent or kept, proxies come from the
// environment (http_proxy, https_proxy, no_proxy) and a GET is cut off as
// soon as its headers are complete: the body is never read.
class HttpClient : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<void(std::size_t tag, const HttpAnswer& answer)>;

    explicit HttpClient(QObject* parent = nullptr);
    ~HttpClient() override;

    // The handler is called from the event loop, never from send().
    void setHandler(Handler handler) { m_handler = std::move(handler); }
    // Each request, from connecting to the end of its headers, is given at
    // most timeoutMs.
    void setLimits(int timeoutMs, int maxConnections);
    void setUserAgent(const QByteArray& agent) { m_userAgent = agent; }

    // With publicOnly, no connection is made to a loopback, private,
    // link-local or otherwise non-public address (the answer says
    // privateRefused); publicAddress names one address to take as public
    // all the same (tests play public hosts on loopback).
    void send(std::size_t tag, const QByteArray& url, bool get, bool publicOnly = false);
    void setPublicAddress(const QByteArray& address) { m_publicAddress = address; }
    // Drops every request under way (no handler call for them) and closes
    // every connection.
    void abortAll();
    int running() const { return static_cast<int>(m_transfers.size()); }

private:
    struct Transfer;
    struct Watch;

    static int onSocket(void* easy, int socket, int what, void* self, void* watch);
    static int onTimer(void* multi, long timeoutMs, void* self);
    static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* transfer);
    static std::size_t onBody(char* data, std::size_t size, std::size_t count, void* transfer);
    static int onConnect(void* transfer, char* primaryIp, char* localIp, int primaryPort,
                         int localPort);

    void ensureMulti();
    void act(int socket, int events);
    void collect();
    void unwatch(int socket);

    void* m_multi = nullptr;    // CURLM
    void* m_headers = nullptr;  // curl_slist with the Accept header
    std::vector<void*> m_spare; // CURL handles kept for the next requests
    std::unordered_map<void*, Transfer*> m_transfers;
    std::unordered_map<int, Watch*> m_watches;
    QTimer* m_timer = nullptr;
    Handler m_handler;
    QByteArray m_userAgent;
    QByteArray m_publicAddress;
    int m_timeoutMs = 15000;
    int m_maxConnections = 64;
    quint64 m_generation = 0;
};
