#include "httpserver.h"

#include "httpconnection.h"
#include "httpmessage.h"

#include <algorithm>

#include <unistd.h>

HttpServer::HttpServer(HttpHandler *handler, const HttpLimits &limits, QObject *parent)
    : QObject(parent), m_handler(handler), m_limits(limits)
{
    m_server.accepted = [this](qintptr socket) { accept(socket); };
    // One timer for all connections instead of one each: deadlines need not be exact.
    const int shortest =
        std::min({m_limits.idleTimeoutMs, m_limits.headTimeoutMs, m_limits.lingerMs});
    m_sweepTimer.setInterval(std::clamp(shortest / 4, 10, 1000));
    connect(&m_sweepTimer, &QTimer::timeout, this, &HttpServer::sweep);
}

HttpServer::~HttpServer()
{
    for (HttpConnection *connection : std::as_const(m_connections)) {
        disconnect(connection, nullptr, this, nullptr);
        delete connection;
    }
}

bool HttpServer::listen(const QHostAddress &address, quint16 port)
{
    if (!m_server.listen(address, port)) {
        return false;
    }
    m_sweepTimer.start();
    return true;
}

void HttpServer::accept(qintptr socket)
{
    // Closing connections linger for a while; beyond this many sockets a newcomer gets nothing.
    if (m_connections.size() >= 2 * qsizetype(m_limits.maxConnections)) {
        ::close(int(socket));
        return;
    }
    const auto active = std::count_if(m_connections.cbegin(), m_connections.cend(),
                                      [](const HttpConnection *c) { return !c->isClosing(); });
    const bool full = active >= m_limits.maxConnections && !makeRoom();
    auto *connection = new HttpConnection(socket, m_handler, m_limits, this);
    m_connections.insert(connection);
    connect(connection, &HttpConnection::finished, this, [this](HttpConnection *finished) {
        m_connections.remove(finished);
        finished->deleteLater();
    });
    if (full) {
        connection->refuse(503);
    }
}

// At the cap, the connection that has waited longest for a request head gives way: a kept-alive
// one that sends nothing more, or a client trickling its head. False when every connection is
// busy with a request.
bool HttpServer::makeRoom()
{
    HttpConnection *slowest = nullptr;
    qint64 longest = -1;
    for (HttpConnection *connection : std::as_const(m_connections)) {
        if (const qint64 waited = connection->headWaitMs(); waited > longest) {
            longest = waited;
            slowest = connection;
        }
    }
    if (slowest == nullptr) {
        return false;
    }
    slowest->evict();
    return true;
}

void HttpServer::sweep()
{
    const QList<HttpConnection *> connections = m_connections.values();
    for (HttpConnection *connection : connections) {
        connection->checkDeadline();
    }
}
