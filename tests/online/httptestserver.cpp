#include "httptestserver.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace {

constexpr int PollMs = 10;

QByteArray reason(int status)
{
    switch (status) {
    case 200: return "OK";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

} // namespace

HttpTestServer::HttpTestServer(QObject *parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &HttpTestServer::accept);
    m_server.listen(QHostAddress::LocalHost, 0);
}

QString HttpTestServer::base() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

quint16 HttpTestServer::refusedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

void HttpTestServer::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
    }
}

void HttpTestServer::read(QTcpSocket *socket)
{
    QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    socket->setProperty("buffer", buffer);
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0 || socket->property("answered").toBool())
        return;
    socket->setProperty("answered", true);
    ++m_requestCount;

    const QList<QByteArray> lines = buffer.left(end).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    m_lastHeaders.clear();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            m_lastHeaders.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
    }
    answer(socket, QString::fromLatin1(requestLine.value(1)));
}

void HttpTestServer::answer(QTcpSocket *socket, const QString &path)
{
    const Route route = m_routes.value(path, Route{404, "no such page", {}});
    if (route.ready && !route.ready()) {
        QPointer<QTcpSocket> guarded(socket);
        QTimer::singleShot(PollMs, this, [this, guarded, path] {
            if (guarded)
                answer(guarded, path);
        });
        return;
    }
    QByteArray head = "HTTP/1.1 " + QByteArray::number(route.status) + ' ' + reason(route.status) + "\r\n"
                      "Content-Type: application/octet-stream\r\n";
    if (route.chunked)
        head += "Transfer-Encoding: chunked\r\n";
    else if (route.announceLength)
        head += "Content-Length: " + QByteArray::number(route.body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";
    QByteArray body = route.sendBytes >= 0 ? route.body.left(route.sendBytes) : route.body;
    if (route.chunked) {
        QByteArray chunks;
        if (!body.isEmpty())
            chunks = QByteArray::number(body.size(), 16) + "\r\n" + body + "\r\n";
        // A cut chunked body lacks its last, empty chunk.
        if (route.sendBytes < 0)
            chunks += "0\r\n\r\n";
        body = chunks;
    }
    socket->write(head);
    if (route.trickleMs > 0) {
        trickle(socket, body, route);
        return;
    }
    socket->write(body);
    finish(socket, route);
}

void HttpTestServer::trickle(QTcpSocket *socket, QByteArray rest, const Route &route)
{
    if (rest.isEmpty()) {
        finish(socket, route);
        return;
    }
    socket->write(rest.left(1));
    QPointer<QTcpSocket> guarded(socket);
    QTimer::singleShot(route.trickleMs, this, [this, guarded, rest = rest.mid(1), route] {
        if (guarded)
            trickle(guarded, rest, route);
    });
}

void HttpTestServer::finish(QTcpSocket *socket, const Route &route)
{
    if (route.stall)
        return; // the client waits for bytes that never come
    socket->disconnectFromHost();
}
