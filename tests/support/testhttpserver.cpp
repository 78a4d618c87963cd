#include "support/testhttpserver.h"

#include <QHostAddress>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace TestSupport {

namespace {
const char BufferProperty[] = "testHttpServerBuffer";

// The length of a complete request at the start of data, or -1 while it is incomplete.
qsizetype completeRequestLength(const QByteArray &data)
{
    const qsizetype headEnd = data.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return -1;
    qsizetype bodyLength = 0;
    const QList<QByteArray> lines = data.left(headEnd).split('\n');
    for (const QByteArray &line : lines) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == "content-length")
            bodyLength = line.mid(colon + 1).trimmed().toLongLong();
    }
    const qsizetype total = headEnd + 4 + bodyLength;
    return data.size() >= total ? total : -1;
}
} // namespace

TestHttpServer::TestHttpServer(QObject *parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &TestHttpServer::accept);
}

bool TestHttpServer::listen()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

QUrl TestHttpServer::url(const QString &path) const
{
    return QUrl(u"http://127.0.0.1:%1%2"_s.arg(port()).arg(path));
}

void TestHttpServer::setResponse(const QList<Step> &steps, bool closeAfter)
{
    m_steps = steps;
    m_closeAfter = closeAfter;
    m_endless.clear();
}

void TestHttpServer::setResponse(const QByteArray &wholeResponse, bool closeAfter)
{
    setResponse(QList<Step>{{wholeResponse, 0}}, closeAfter);
}

QByteArray TestHttpServer::response(int status, const QByteArray &body,
                                    const QByteArray &extraHeaders)
{
    return "HTTP/1.1 " + QByteArray::number(status) +
           " Scripted\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\n" + extraHeaders + "\r\n" + body;
}

QByteArray TestHttpServer::lastRequestHead() const
{
    const qsizetype end = lastRequest().indexOf("\r\n\r\n");
    return end < 0 ? lastRequest() : lastRequest().left(end + 2);
}

QByteArray TestHttpServer::lastRequestBody() const
{
    const qsizetype end = lastRequest().indexOf("\r\n\r\n");
    return end < 0 ? QByteArray() : lastRequest().mid(end + 4);
}

void TestHttpServer::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        ++m_open;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this] { --m_open; });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void TestHttpServer::readFrom(QTcpSocket *socket)
{
    QByteArray buffer = socket->property(BufferProperty).toByteArray() + socket->readAll();
    qsizetype length;
    while ((length = completeRequestLength(buffer)) >= 0) {
        m_requests.append(buffer.left(length));
        buffer.remove(0, length);
        emit requestReceived();
        play(socket, 0);
    }
    socket->setProperty(BufferProperty, buffer);
}

void TestHttpServer::play(QTcpSocket *socket, int step)
{
    if (step >= m_steps.size()) {
        if (!m_endless.isEmpty()) {
            connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { pour(socket); });
            pour(socket);
        } else if (m_closeAfter)
            socket->disconnectFromHost();
        return;
    }
    QPointer<QTcpSocket> guard(socket);
    const Step current = m_steps.at(step);
    QTimer::singleShot(current.delayMs, this, [this, guard, current, step] {
        if (!guard || guard->state() != QAbstractSocket::ConnectedState)
            return;
        guard->write(current.bytes);
        guard->flush();
        play(guard, step + 1);
    });
}

void TestHttpServer::pour(QTcpSocket *socket)
{
    while (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() < 1 << 20)
        socket->write(m_endless);
}

} // namespace TestSupport
