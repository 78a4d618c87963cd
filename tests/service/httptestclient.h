#pragma once

#include <QByteArray>
#include <QMap>
#include <QTcpSocket>

// A raw HTTP/1.1 client for the service tests: sends exactly the bytes given and takes the
// replies apart. Waiting spins the event loop, so a server in the same thread keeps working.
class HttpTestClient
{
public:
    struct Reply
    {
        int status = 0;                       // 0 when no complete reply arrived
        QMap<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;
    };

    bool connectTo(quint16 port);
    void send(const QByteArray &bytes);
    // The next complete reply (with a body of Content-Length bytes, none for headOnly).
    Reply next(bool headOnly = false, int timeoutMs = 5000);
    // Whether the server closes the connection within the time.
    bool waitForClose(int timeoutMs = 5000);

    // A request as the desktop program sends it, with a form body.
    static QByteArray desktopPost(const QByteArray &body);
    static QByteArray get(const QByteArray &target, const QByteArray &extraHeaders = {});
    // One request on a connection of its own: the reply, empty when none came.
    static Reply exchange(quint16 port, const QByteArray &request, int timeoutMs = 5000);

private:
    bool takeReply(bool headOnly, Reply *reply);

    QTcpSocket m_socket;
    QByteArray m_buffer;
};
