#include "TestHttpServer.h"

#include <QDateTime>
#include <QLocale>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QUrlQuery>

#include <sys/socket.h>

// Paths:
//   /ok 200, /cookie 200 setting a cookie, /nocontent 204, /moved 301->/ok, /perm 308->/ok, /found
//   302->/ok, /chain 301->/found, /loop 302->/loop, /notfound 404, /gone 410, /error 500,
//   /forbidden 403, /unauthorized 401, /linkedin 999, /challenge 403 with a bot-challenge header,
//   /ratelimited 429 (Retry-After: 1) on the first request of that exact
//     path+query, then 200; /ratelimitedalways 429 always,
//   /flaky 503 on the first request of that path+query, then 200,
//   /movedfragment 301->/ok#sec2, /nohead 405 to HEAD, 200 to GET, /headfailsN N to HEAD, 200 to
//   GET, /slow never answers, /drip sends its status line one byte per 200 ms, /trickle sends
//   1 MB of headers 1 KB per 10 ms, /dir 301->/dir/ (200), /endless 405 to
//   HEAD, to GET a body that never ends, /reset resets the connection, /resetonce resets the first
//   time only, /delay?ms=N 200 after N ms, /page the page given to setPage().
// Hostile hosts: /headhang never answers HEAD, 200 to GET; /busy?s=S&n=N 503 with Retry-After: S
//   to the first N requests of that path+query, then 200; /busydate?s=S&n=N the same with the
//   wait as an HTTP date; /limited?n=N 429 (Retry-After: 1) to the first N requests of any
//   /limited address, then 200; /twoatonce?ms=M 503 to a request above two under way at once,
//   otherwise 200 after M ms; /cutheaders a 200 whose header block stops mid-line as the
//   connection closes; /bigheaders a 200 with 1 MB of headers at once; /to?url=U 302 to U.
class TestHttpServer::Core : public QObject {
public:
    explicit Core(TestHttpServer* owner) : m_owner(owner) {}

    quint16 listen(const QHostAddress& address, int listener) {
        auto* server = new QTcpServer(this);
        if (!server->listen(address, 0))
            return 0;
        connect(server, &QTcpServer::newConnection, this, [this, server, listener] {
            while (QTcpSocket* socket = server->nextPendingConnection())
                accept(socket, listener);
        });
        return server->serverPort();
    }

private:
    struct Connection {
        QByteArray buffer;
        bool busy = false; // a request is being answered
        bool counted = false;
    };

    void accept(QTcpSocket* socket, int listener) {
        m_owner->noteConnection(1);
        auto state = std::make_shared<Connection>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, listener, state] {
            state->buffer += socket->readAll();
            serveNext(socket, listener, state);
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket, listener, state] {
            if (state->counted) {
                state->counted = false;
                m_owner->noteDone(listener);
            }
            m_owner->noteConnection(-1);
            socket->deleteLater();
        });
    }

    void done(int listener, const std::shared_ptr<Connection>& state) {
        if (state->counted) {
            state->counted = false;
            m_owner->noteDone(listener);
        }
        state->busy = false;
    }

    void serveNext(QTcpSocket* socket, int listener, const std::shared_ptr<Connection>& state) {
        if (state->buffer.startsWith('\x16')) {
            // A TLS handshake: answer in plain HTTP as web servers do.
            socket->write("HTTP/1.1 400 Bad Request\r\nConnection: close\r\n\r\n");
            socket->disconnectFromHost();
            return;
        }
        while (!state->busy) {
            const qsizetype end = state->buffer.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            const QByteArray head = state->buffer.left(end);
            state->buffer.remove(0, end + 4);
            const QList<QByteArray> words = head.left(head.indexOf("\r\n")).split(' ');
            if (words.size() < 2) {
                socket->abort();
                return;
            }
            state->busy = true;
            state->counted = true;
            const QString method = QString::fromLatin1(words[0]);
            const QString target = QString::fromLatin1(words[1]);
            m_owner->noteRequest(listener, method, target, head);
            answer(socket, listener, state, method, target);
        }
    }

    int seen(const QString& target) { return ++m_seen[target]; }

    static QByteArray reason(int code) {
        switch (code) {
        case 200:
            return "OK";
        case 204:
            return "No Content";
        case 301:
            return "Moved Permanently";
        case 302:
            return "Found";
        case 308:
            return "Permanent Redirect";
        case 404:
            return "Not Found";
        case 405:
            return "Method Not Allowed";
        case 429:
            return "Too Many Requests";
        case 503:
            return "Service Unavailable";
        default:
            return "Status";
        }
    }

    void reply(QTcpSocket* socket, int listener, const std::shared_ptr<Connection>& state,
               const QString& method, int code, const QByteArray& extraHeaders = {}) {
        const QByteArray body = code == 204 ? QByteArray() : QByteArray("page ") + reason(code);
        QByteArray out = "HTTP/1.1 " + QByteArray::number(code) + ' ' + reason(code) + "\r\n";
        out += extraHeaders;
        if (code != 204)
            out += "Content-Type: text/html\r\nContent-Length: " + QByteArray::number(body.size()) +
                   "\r\n";
        out += "\r\n";
        if (method != QLatin1String("HEAD"))
            out += body;
        socket->write(out);
        done(listener, state);
    }

    static void resetConnection(QTcpSocket* socket) {
        const struct linger hard = {1, 0};
        ::setsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard,
                     sizeof hard);
        socket->abort();
    }

    void answer(QTcpSocket* socket, int listener, const std::shared_ptr<Connection>& state,
                const QString& method, const QString& target) {
        const QUrl url(target);
        const QString path = url.path();
        const bool head = method == QLatin1String("HEAD");
        if (path == QLatin1String("/ok"))
            return reply(socket, listener, state, method, 200);
        if (path == QLatin1String("/page")) {
            const QByteArray page = m_owner->page();
            QByteArray out = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                             QByteArray::number(page.size()) + "\r\n\r\n";
            if (!head)
                out += page;
            socket->write(out);
            return done(listener, state);
        }
        if (path == QLatin1String("/cookie"))
            return reply(socket, listener, state, method, 200, "Set-Cookie: visit=1; Path=/\r\n");
        if (path == QLatin1String("/nocontent"))
            return reply(socket, listener, state, method, 204);
        if (path == QLatin1String("/moved"))
            return reply(socket, listener, state, method, 301, "Location: /ok\r\n");
        if (path == QLatin1String("/movedintro"))
            return reply(socket, listener, state, method, 301, "Location: /ok#intro\r\n");
        if (path == QLatin1String("/perm"))
            return reply(socket, listener, state, method, 308, "Location: /ok\r\n");
        if (path == QLatin1String("/found"))
            return reply(socket, listener, state, method, 302, "Location: /ok\r\n");
        if (path == QLatin1String("/chain"))
            return reply(socket, listener, state, method, 301, "Location: /found\r\n");
        if (path == QLatin1String("/loop"))
            return reply(socket, listener, state, method, 302, "Location: /loop\r\n");
        if (path == QLatin1String("/notfound"))
            return reply(socket, listener, state, method, 404);
        if (path == QLatin1String("/gone"))
            return reply(socket, listener, state, method, 410);
        if (path == QLatin1String("/error"))
            return reply(socket, listener, state, method, 500);
        if (path == QLatin1String("/forbidden"))
            return reply(socket, listener, state, method, 403);
        if (path == QLatin1String("/unauthorized"))
            return reply(socket, listener, state, method, 401);
        if (path == QLatin1String("/linkedin"))
            return reply(socket, listener, state, method, 999);
        if (path == QLatin1String("/challenge"))
            return reply(socket, listener, state, method, 403, "cf-mitigated: challenge\r\n");
        if (path == QLatin1String("/ratelimited"))
            return seen(target) == 1
                       ? reply(socket, listener, state, method, 429, "Retry-After: 1\r\n")
                       : reply(socket, listener, state, method, 200);
        if (path == QLatin1String("/ratelimitedalways"))
            return reply(socket, listener, state, method, 429, "Retry-After: 1\r\n");
        if (path == QLatin1String("/flaky"))
            return reply(socket, listener, state, method, seen(target) == 1 ? 503 : 200);
        if (path == QLatin1String("/movedfragment"))
            return reply(socket, listener, state, method, 301, "Location: /ok#sec2\r\n");
        if (path.startsWith(QLatin1String("/headfails")))
            return reply(socket, listener, state, method, head ? path.mid(10).toInt() : 200);
        if (path == QLatin1String("/nohead"))
            return reply(socket, listener, state, method, head ? 405 : 200);
        if (path == QLatin1String("/slow"))
            return; // held until the client goes
        if (path == QLatin1String("/trickle")) {
            socket->write("HTTP/1.1 200 OK\r\n");
            return trickle(socket, 1024);
        }
        if (path == QLatin1String("/dir"))
            return reply(socket, listener, state, method, 301, "Location: /dir/\r\n");
        if (path == QLatin1String("/dir/"))
            return reply(socket, listener, state, method, 200);
        if (path == QLatin1String("/drip"))
            return drip(socket, QByteArray("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n"));
        if (path == QLatin1String("/endless")) {
            if (head)
                return reply(socket, listener, state, method, 405);
            socket->write(
                "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n");
            return endless(socket);
        }
        if (path == QLatin1String("/reset"))
            return resetConnection(socket);
        if (path == QLatin1String("/resetonce")) {
            if (seen(target) == 1)
                return resetConnection(socket);
            return reply(socket, listener, state, method, 200);
        }
        if (path == QLatin1String("/headhang")) {
            if (head)
                return; // held until the client goes
            return reply(socket, listener, state, method, 200);
        }
        if (path == QLatin1String("/busy") || path == QLatin1String("/busydate")) {
            const QUrlQuery query(url);
            const int seconds = query.queryItemValue(QStringLiteral("s")).toInt();
            if (seen(target) > query.queryItemValue(QStringLiteral("n")).toInt())
                return reply(socket, listener, state, method, 200);
            QByteArray when = QByteArray::number(seconds);
            if (path == QLatin1String("/busydate"))
                when = QLocale::c()
                           .toString(QDateTime::currentDateTimeUtc().addSecs(seconds),
                                     QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'"))
                           .toLatin1();
            return reply(socket, listener, state, method, 503, "Retry-After: " + when + "\r\n");
        }
        if (path == QLatin1String("/limited")) {
            const int recoverAfter = QUrlQuery(url).queryItemValue(QStringLiteral("n")).toInt();
            if (seen(QStringLiteral("/limited")) <= recoverAfter)
                return reply(socket, listener, state, method, 429, "Retry-After: 1\r\n");
            return reply(socket, listener, state, method, 200);
        }
        if (path == QLatin1String("/twoatonce")) {
            if (m_twoAtOnce >= 2)
                return reply(socket, listener, state, method, 503);
            ++m_twoAtOnce;
            const int ms = QUrlQuery(url).queryItemValue(QStringLiteral("ms")).toInt();
            QPointer<QTcpSocket> guard(socket);
            QTimer::singleShot(ms, this, [this, guard, listener, state, method] {
                --m_twoAtOnce;
                if (guard)
                    reply(guard, listener, state, method, 200);
            });
            return;
        }
        if (path == QLatin1String("/cutheaders")) {
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/ht");
            socket->disconnectFromHost();
            return done(listener, state);
        }
        if (path == QLatin1String("/bigheaders")) {
            QByteArray out = "HTTP/1.1 200 OK\r\n";
            for (int i = 0; i < 1024; ++i)
                out += "X-Padding-" + QByteArray::number(i) + ": " + QByteArray(1000, 'x') + "\r\n";
            socket->write(out + "Content-Length: 0\r\n\r\n");
            return done(listener, state);
        }
        if (path == QLatin1String("/to")) {
            const QByteArray to =
                QUrlQuery(url).queryItemValue(QStringLiteral("url"), QUrl::FullyDecoded).toUtf8();
            return reply(socket, listener, state, method, 302, "Location: " + to + "\r\n");
        }
        if (path == QLatin1String("/delay")) {
            const int ms = QUrlQuery(url).queryItemValue(QStringLiteral("ms")).toInt();
            QPointer<QTcpSocket> guard(socket);
            QTimer::singleShot(ms, this, [this, guard, listener, state, method] {
                if (guard)
                    reply(guard, listener, state, method, 200);
            });
            return;
        }
        reply(socket, listener, state, method, 404);
    }

    void drip(QTcpSocket* socket, QByteArray rest) {
        if (rest.isEmpty())
            return;
        socket->write(rest.left(1));
        QPointer<QTcpSocket> guard(socket);
        QTimer::singleShot(200, this, [this, guard, rest] {
            if (guard && guard->state() == QAbstractSocket::ConnectedState)
                drip(guard, rest.mid(1));
        });
    }

    // 1 MB of headers, 1 KB every 10 ms.
    void trickle(QTcpSocket* socket, int linesLeft) {
        if (linesLeft == 0) {
            socket->write("\r\n");
            return;
        }
        socket->write("X-Padding: " + QByteArray(1009, 'x') + "\r\n");
        QPointer<QTcpSocket> guard(socket);
        QTimer::singleShot(10, this, [this, guard, linesLeft] {
            if (guard && guard->state() == QAbstractSocket::ConnectedState)
                trickle(guard, linesLeft - 1);
        });
    }

    void endless(QTcpSocket* socket) {
        auto* timer = new QTimer(socket);
        QPointer<QTcpSocket> guard(socket);
        connect(timer, &QTimer::timeout, socket, [guard] {
            if (guard && guard->state() == QAbstractSocket::ConnectedState &&
                guard->bytesToWrite() < 1 << 20)
                guard->write(QByteArray(4096, 'x'));
        });
        timer->start(5);
    }

    TestHttpServer* m_owner;
    std::map<QString, int> m_seen;
    int m_twoAtOnce = 0;
};

TestHttpServer::TestHttpServer(const QList<QHostAddress>& addresses) : m_addresses(addresses) {
    m_inFlight.fill(0, m_addresses.size());
    m_maxInFlight.fill(0, m_addresses.size());
}

TestHttpServer::~TestHttpServer() {
    stop();
}

bool TestHttpServer::start() {
    m_thread = std::make_unique<QThread>();
    m_core = new Core(this);
    m_core->moveToThread(m_thread.get());
    QObject::connect(m_thread.get(), &QThread::finished, m_core, &QObject::deleteLater);
    m_thread->start();
    bool ok = true;
    for (int i = 0; i < m_addresses.size(); ++i) {
        quint16 port = 0;
        QMetaObject::invokeMethod(
            m_core, [this, i, &port] { port = m_core->listen(m_addresses[i], i); },
            Qt::BlockingQueuedConnection);
        m_ports.push_back(port);
        ok = ok && port != 0;
    }
    return ok;
}

void TestHttpServer::stop() {
    if (!m_thread)
        return;
    m_thread->quit();
    m_thread->wait();
    m_thread.reset();
    m_core = nullptr;
}

void TestHttpServer::setPage(const QByteArray& html) {
    QMutexLocker lock(&m_mutex);
    m_page = html;
}

QByteArray TestHttpServer::page() const {
    QMutexLocker lock(&m_mutex);
    return m_page;
}

QString TestHttpServer::url(const QString& path, int listener) const {
    return QStringLiteral("http://%1:%2%3")
        .arg(m_addresses[listener].toString())
        .arg(m_ports[listener])
        .arg(path);
}

quint16 TestHttpServer::port(int listener) const {
    return m_ports[listener];
}

int TestHttpServer::requestCount(const QString& path) const {
    QMutexLocker lock(&m_mutex);
    auto found = m_counts.find(path);
    return found == m_counts.end() ? 0 : found->second;
}

int TestHttpServer::totalRequests() const {
    QMutexLocker lock(&m_mutex);
    return m_total;
}

QStringList TestHttpServer::log() const {
    QMutexLocker lock(&m_mutex);
    return m_log;
}

QList<QByteArray> TestHttpServer::heads() const {
    QMutexLocker lock(&m_mutex);
    return m_heads;
}

int TestHttpServer::maxInFlight(int listener) const {
    QMutexLocker lock(&m_mutex);
    return m_maxInFlight[listener];
}

int TestHttpServer::maxInFlightOverall() const {
    QMutexLocker lock(&m_mutex);
    return m_maxInFlightAll;
}

int TestHttpServer::inFlight() const {
    QMutexLocker lock(&m_mutex);
    return m_inFlightAll;
}

int TestHttpServer::openConnections() const {
    QMutexLocker lock(&m_mutex);
    return m_connections;
}

void TestHttpServer::resetCounters() {
    QMutexLocker lock(&m_mutex);
    m_counts.clear();
    m_log.clear();
    m_heads.clear();
    m_maxInFlight.fill(0);
    m_maxInFlightAll = 0;
    m_total = 0;
}

void TestHttpServer::noteRequest(int listener, const QString& method, const QString& path,
                                 const QByteArray& head) {
    QMutexLocker lock(&m_mutex);
    ++m_counts[path];
    ++m_total;
    if (m_log.size() < 1000) {
        m_log << method + QLatin1Char(' ') + path;
        m_heads << head;
    }
    m_maxInFlight[listener] = std::max(m_maxInFlight[listener], ++m_inFlight[listener]);
    m_maxInFlightAll = std::max(m_maxInFlightAll, ++m_inFlightAll);
}

void TestHttpServer::noteDone(int listener) {
    QMutexLocker lock(&m_mutex);
    --m_inFlight[listener];
    --m_inFlightAll;
}

void TestHttpServer::noteConnection(int delta) {
    QMutexLocker lock(&m_mutex);
    m_connections += delta;
}
