#include "http/httpserver.h"

#include "http/httpconnection.h"
#include "http/httpmessage.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <utility>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// As many as the kernel allows (net.core.somaxconn caps it): a burst of clients waits there.
constexpr int listenBacklog = 65535;

} // namespace

HttpServer::HttpServer(HttpHandler *handler, const HttpLimits &limits, QObject *parent)
    : QObject(parent), m_handler(handler), m_limits(limits)
{
    // One timer for all connections instead of one each: deadlines need not be exact.
    const int shortest = std::min(
        {m_limits.idleTimeoutMs, m_limits.headTimeoutMs, m_limits.lingerMs, m_limits.evictAfterMs});
    m_sweepTimer.setInterval(std::clamp(shortest / 4, 10, 1000));
    connect(&m_sweepTimer, &QTimer::timeout, this, &HttpServer::sweep);
}

HttpServer::~HttpServer()
{
    // Connections whose requests are still being answered are deleted with the server, as
    // its children, once no worker refers to them.
    m_pool.waitForDone();
    for (HttpConnection *connection : std::as_const(m_connections)) {
        disconnect(connection, nullptr, this, nullptr);
        delete connection;
    }
}

void HttpServer::setWorkerThreads(int count)
{
    m_usePool = count > 0;
    m_pool.setMaxThreadCount(std::max(count, 1));
    // A query often takes under a millisecond: keeping the threads saves starting them.
    m_pool.setExpiryTimeout(-1);
}

bool HttpServer::listen(const QHostAddress &address, quint16 port)
{
    m_server.setListenBacklogSize(listenBacklog);
    if (!m_server.listen(address, port)) {
        return false;
    }
    m_server.pauseAccepting();
    m_acceptNotifier =
        std::make_unique<QSocketNotifier>(m_server.socketDescriptor(), QSocketNotifier::Read);
    connect(m_acceptNotifier.get(), &QSocketNotifier::activated, this, &HttpServer::acceptQueued);
    m_sweepTimer.start();
    return true;
}

void HttpServer::acceptQueued()
{
    while (hasRoom()) {
        const int socket =
            ::accept4(int(m_server.socketDescriptor()), nullptr, nullptr, SOCK_CLOEXEC);
        if (socket >= 0) {
            adopt(socket);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED) {
            continue;
        }
        if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
            // Out of descriptors or memory: the queued clients wait until the next sweep.
            m_acceptNotifier->setEnabled(false);
        }
        return;
    }
    updateAccepting();
}

void HttpServer::adopt(int socket)
{
    auto *connection =
        new HttpConnection(socket, m_handler, m_limits, m_usePool ? &m_pool : nullptr, this);
    m_connections.insert(connection);
    connect(connection, &HttpConnection::closing, this, [this] {
        ++m_closing;
        updateAccepting();
    });
    connect(connection, &HttpConnection::finished, this, [this](HttpConnection *finished) {
        m_connections.remove(finished);
        --m_closing;
        finished->deleteWhenIdle();
        updateAccepting();
    });
}

// Closing connections linger for a while and hold a descriptor each, so they are bounded too.
bool HttpServer::hasRoom() const
{
    const qsizetype active = m_connections.size() - m_closing;
    return active < m_limits.maxConnections &&
           m_connections.size() < 2 * qsizetype(m_limits.maxConnections);
}

void HttpServer::updateAccepting()
{
    if (m_acceptNotifier) {
        m_acceptNotifier->setEnabled(hasRoom());
    }
}

// How many clients wait in the listen queue. Linux reports the length of a listening socket's
// accept queue in tcpi_unacked; elsewhere only whether anyone waits is known.
int HttpServer::clientsQueued() const
{
    const int socket = int(m_server.socketDescriptor());
    tcp_info info{};
    socklen_t size = sizeof info;
    if (::getsockopt(socket, IPPROTO_TCP, TCP_INFO, &info, &size) == 0 &&
        size >= socklen_t(offsetof(tcp_info, tcpi_unacked) + sizeof info.tcpi_unacked)) {
        return int(info.tcpi_unacked);
    }
    pollfd listening{socket, POLLIN, 0};
    return ::poll(&listening, 1, 0) > 0 && (listening.revents & POLLIN) != 0 ? 1 : 0;
}

// At the cap, with clients waiting in the queue, the connections that have waited too long for
// input give way, those that have waited longest first, and only as many as there are clients
// waiting: kept-alive ones that send nothing more, and clients trickling a head or a body.
// Connections busy with a reply are left alone.
void HttpServer::makeRoom()
{
    if (hasRoom()) {
        return;
    }
    const int queued = clientsQueued();
    if (queued == 0) {
        return;
    }
    QList<std::pair<qint64, HttpConnection *>> waiting;
    for (HttpConnection *connection : std::as_const(m_connections)) {
        const qint64 waited = connection->inputWaitMs();
        if (waited >= m_limits.evictAfterMs) {
            waiting.append({waited, connection});
        }
    }
    const qsizetype count = std::min(qsizetype(queued), waiting.size());
    std::partial_sort(waiting.begin(), waiting.begin() + count, waiting.end(),
                      [](const auto &a, const auto &b) { return a.first > b.first; });
    for (qsizetype i = 0; i < count; ++i) {
        waiting[i].second->evict();
    }
}

void HttpServer::sweep()
{
    const QList<HttpConnection *> connections = m_connections.values();
    for (HttpConnection *connection : connections) {
        connection->checkDeadline();
    }
    makeRoom();
    updateAccepting();
}
