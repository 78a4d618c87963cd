#include "httptestclient.h"

#include <QTest>

using namespace Qt::StringLiterals;

bool HttpTestClient::connectTo(quint16 port)
{
    m_socket.connectToHost(u"127.0.0.1"_s, port);
    return m_socket.waitForConnected(5000);
}

void HttpTestClient::send(const QByteArray &bytes)
{
    m_socket.write(bytes);
    m_socket.flush();
}

HttpTestClient::Reply HttpTestClient::next(bool headOnly, int timeoutMs)
{
    Reply reply; // stays empty, status 0, when nothing complete arrives in time
    static_cast<void>(QTest::qWaitFor(
        [&] {
            m_buffer.append(m_socket.readAll());
            return takeReply(headOnly, &reply);
        },
        timeoutMs));
    return reply;
}

bool HttpTestClient::waitForClose(int timeoutMs)
{
    return QTest::qWaitFor(
        [this] {
            m_buffer.append(m_socket.readAll());
            return m_socket.state() == QAbstractSocket::UnconnectedState;
        },
        timeoutMs);
}

bool HttpTestClient::takeReply(bool headOnly, Reply *reply)
{
    const qsizetype end = m_buffer.indexOf("\r\n\r\n");
    if (end < 0)
        return false;
    const QList<QByteArray> lines = m_buffer.left(end).split('\n');
    Reply parsed;
    parsed.status = lines[0].mid(9, 3).toInt();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        parsed.headers.insert(lines[i].left(colon).trimmed().toLower(),
                              lines[i].mid(colon + 1).trimmed());
    }
    const qsizetype length =
        headOnly || parsed.status == 100 ? 0 : parsed.headers.value("content-length").toLongLong();
    if (m_buffer.size() < end + 4 + length)
        return false;
    parsed.body = m_buffer.mid(end + 4, length);
    m_buffer.remove(0, end + 4 + length);
    *reply = parsed;
    return true;
}

QByteArray HttpTestClient::desktopPost(const QByteArray &body)
{
    return "POST /cgi-bin/meta/meta.ger1-asso HTTP/1.1\r\nHost: 127.0.0.1:27431\r\n"
           "Keep-Alive: 300\r\nConnection-Type: keep-alive\r\n"
           "Referer: /cgi-bin/meta/meta.ger1-asso\r\nContent-type: text/html\r\n"
           "Content-Length: " +
           QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

QByteArray HttpTestClient::get(const QByteArray &target, const QByteArray &extraHeaders)
{
    return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extraHeaders + "\r\n";
}

HttpTestClient::Reply HttpTestClient::exchange(quint16 port, const QByteArray &request,
                                               int timeoutMs)
{
    HttpTestClient client;
    if (!client.connectTo(port))
        return {};
    client.send(request);
    return client.next(false, timeoutMs);
}
