#pragma once

#include <QHostAddress>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>

class QThread;

// A small HTTP/1.1 server for the link-check tests and benchmark, on
// loopback addresses only, serving from its own thread so that it can count
// what arrives at once. Each address listens on a random port. The paths
// (see TestHttpServer.cpp) each play one kind of server behaviour.
class TestHttpServer {
public:
    explicit TestHttpServer(const QList<QHostAddress>& addresses = {QHostAddress::LocalHost});
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    bool start();
    // Served at /page (text/html), for crawling checkers.
    void setPage(const QByteArray& html);
    QByteArray page() const;
    void stop();

    int listenerCount() const { return static_cast<int>(m_addresses.size()); }
    // "http://127.0.0.1:PORT" + path for the listener's address.
    QString url(const QString& path, int listener = 0) const;
    quint16 port(int listener = 0) const;

    // Counted as they arrive; path includes the query.
    int requestCount(const QString& path) const;
    int totalRequests() const;
    QStringList log() const;         // "HEAD /ok", in order
    QList<QByteArray> heads() const; // request line and headers of each request, in order
    int maxInFlight(int listener) const;
    int maxInFlightOverall() const;
    int inFlight() const;
    int openConnections() const;
    void resetCounters();

    // Called from the server thread.
    void noteRequest(int listener, const QString& method, const QString& path,
                     const QByteArray& head);
    void noteDone(int listener);
    void noteConnection(int delta);

private:
    class Core;

    QList<QHostAddress> m_addresses;
    QList<quint16> m_ports;
    std::unique_ptr<QThread> m_thread;
    Core* m_core = nullptr;

    mutable QMutex m_mutex;
    std::map<QString, int> m_counts;
    QStringList m_log;
    QList<QByteArray> m_heads;
    QByteArray m_page;
    QList<int> m_inFlight;
    QList<int> m_maxInFlight;
    int m_inFlightAll = 0;
    int m_maxInFlightAll = 0;
    int m_connections = 0;
    int m_total = 0;
};
