#pragma once

#include "httplimits.h"

#include <QHostAddress>
#include <QObject>
#include <QSet>
#include <QTcpServer>
#include <QTimer>

#include <functional>

class HttpConnection;
class HttpHandler;

// Hands each accepted socket over as a bare descriptor (see HttpConnection for why).
class HttpListener : public QTcpServer
{
public:
    std::function<void(qintptr)> accepted;

protected:
    void incomingConnection(qintptr socket) override { accepted(socket); }
};

// A small HTTP/1.1 server: keep-alive and pipelining, bounded input per connection, a bounded
// number of connections, an idle timeout and a shorter one for a request head (see
// HttpLimits). Everything runs in the thread of the server's event loop.
class HttpServer : public QObject
{
    Q_OBJECT

public:
    explicit HttpServer(HttpHandler *handler, const HttpLimits &limits = {},
                        QObject *parent = nullptr);
    ~HttpServer() override;

    bool listen(const QHostAddress &address, quint16 port);
    QString errorString() const { return m_server.errorString(); }
    QHostAddress address() const { return m_server.serverAddress(); }
    quint16 port() const { return m_server.serverPort(); }
    int connectionCount() const { return int(m_connections.size()); }

private:
    void accept(qintptr socket);
    bool makeRoom();
    void sweep();

    HttpListener m_server;
    HttpHandler *m_handler;
    HttpLimits m_limits;
    QSet<HttpConnection *> m_connections;
    QTimer m_sweepTimer;
};
