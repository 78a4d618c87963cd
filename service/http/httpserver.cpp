#include "httpserver.h"

#include "httpconnection.h"
#include "httpmessage.h"

#include <QTcpSocket>

#include <algorithm>

HttpServer::HttpServer(HttpHandler *handler, const HttpLimits &limits, QObject *parent)
    : QObject(parent), m_handler(handler), m_limits(limits)
{
    connect(&m_server, &QTcpServer::newConnection, this, &HttpServer::acceptConnections);
    // One timer for all connections instead of one each: deadlines need not be exact.
    m_sweepTimer.setInterval(
        std::clamp(std::min(m_limits.idleTimeoutMs, m_limits.lingerMs) / 4, 10, 1000));
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

void HttpServer::acceptConnections()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        if (m_connections.size() >= m_limits.maxConnections) {
            reject(socket);
            continue;
        }
        auto *connection = new HttpConnection(socket, m_handler, m_limits, this);
        m_connections.insert(connection);
        connect(connection, &HttpConnection::finished, this, [this](HttpConnection *finished) {
            m_connections.remove(finished);
            finished->deleteLater();
        });
    }
}

void HttpServer::reject(QTcpSocket *socket)
{
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    socket->write(HttpResponse::error(503).serialize(false, false));
    socket->disconnectFromHost();
    // A client that never reads would keep the socket forever.
    QTimer::singleShot(m_limits.lingerMs, socket, &QTcpSocket::abort);
}

void HttpServer::sweep()
{
    const QList<HttpConnection *> connections = m_connections.values();
    for (HttpConnection *connection : connections) {
        connection->checkDeadline();
    }
}
