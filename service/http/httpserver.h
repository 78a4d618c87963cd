#pragma once

#include "http/httplimits.h"

#include <QHostAddress>
#include <QObject>
#include <QSet>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QThreadPool>
#include <QTimer>

#include <memory>

class HttpConnection;
class HttpHandler;

// A small HTTP/1.1 server: keep-alive and pipelining, bounded input per connection, a bounded
// number of connections, an idle timeout and a shorter one for a request head (see
// HttpLimits). Everything runs in the thread of the server's event loop.
//
// At the cap, new clients are left in the kernel's listen queue rather than accepted and
// turned away: they are served, later, when a connection ends. QTcpServer only sets up the
// listening socket; the server accepts on it itself, since QTcpServer accepts everything
// queued in one go and cannot be stopped half way.
class HttpServer : public QObject
{
    Q_OBJECT

public:
    explicit HttpServer(HttpHandler *handler, const HttpLimits &limits = {},
                        QObject *parent = nullptr);
    ~HttpServer() override;

    // Requests are answered on this many worker threads, while the sockets are served in the
    // thread of the event loop; 0 (the default) answers them in that thread too.
    void setWorkerThreads(int count);
    bool listen(const QHostAddress &address, quint16 port);
    QString errorString() const { return m_server.errorString(); }
    QHostAddress address() const { return m_server.serverAddress(); }
    quint16 port() const { return m_server.serverPort(); }
    int connectionCount() const { return int(m_connections.size()); }

private:
    void acceptQueued();
    void adopt(int socket);
    bool hasRoom() const;
    void updateAccepting();
    int clientsQueued() const;
    void makeRoom();
    void sweep();

    QTcpServer m_server;
    std::unique_ptr<QSocketNotifier> m_acceptNotifier;
    HttpHandler *m_handler;
    HttpLimits m_limits;
    QSet<HttpConnection *> m_connections;
    int m_closing = 0; // connections in m_connections that no longer count against the cap
    QTimer m_sweepTimer;
    QThreadPool m_pool;
    bool m_usePool = false;
};
