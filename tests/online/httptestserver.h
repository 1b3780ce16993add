#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QTcpServer>

#include <functional>

class QTcpSocket;

// A tiny real HTTP server on a free loopback port: each path answers with a
// fixed status and body; an answer may be held back until a condition holds.
class HttpTestServer : public QObject
{
    Q_OBJECT

public:
    struct Route
    {
        int status = 200;
        QByteArray body;
        // Polled until true before the answer goes out.
        std::function<bool()> ready;
        // How a misbehaving host sends it: only the first sendBytes of the
        // body (all when negative), then it closes, or holds the connection
        // open without a word more (stall); without Content-Length, or in
        // chunks; one byte every trickleMs.
        qsizetype sendBytes = -1;
        bool stall = false;
        bool announceLength = true;
        bool chunked = false;
        int trickleMs = 0;
    };

    explicit HttpTestServer(QObject *parent = nullptr);

    quint16 port() const { return m_server.serverPort(); }
    QString base() const;
    void setRoute(const QString &path, const Route &route) { m_routes.insert(path, route); }
    int requestCount() const { return m_requestCount; }
    // Header lines of the last request, lower-case names.
    QByteArray lastHeader(const QByteArray &name) const { return m_lastHeaders.value(name); }

    // A port on which nothing listens.
    static quint16 refusedPort();

private:
    void accept();
    void read(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const QString &path);
    void trickle(QTcpSocket *socket, QByteArray rest, const Route &route);
    void finish(QTcpSocket *socket, const Route &route);

    QTcpServer m_server;
    QHash<QString, Route> m_routes;
    QHash<QByteArray, QByteArray> m_lastHeaders;
    int m_requestCount = 0;
};
