#include "httpconnection.h"

#include <QScopedValueRollback>
#include <QTcpSocket>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif

HttpConnection::HttpConnection(QTcpSocket *socket, HttpHandler *handler, const HttpLimits &limits,
                               QObject *parent)
    : QObject(parent), m_socket(socket), m_handler(handler), m_limits(limits),
      m_deadline(limits.idleTimeoutMs)
{
    m_socket->setParent(this);
    // Qt's own buffer would otherwise take whatever the client sends.
    m_socket->setReadBufferSize(64 * 1024);
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(m_socket, &QTcpSocket::readyRead, this, &HttpConnection::onReadyRead);
    connect(m_socket, &QTcpSocket::bytesWritten, this, &HttpConnection::onBytesWritten);
    connect(m_socket, &QTcpSocket::disconnected, this, &HttpConnection::finish);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this] {
        if (m_socket->state() == QAbstractSocket::UnconnectedState) {
            finish();
        }
    });
    if (m_socket->bytesAvailable() > 0) {
        process();
    }
}

void HttpConnection::checkDeadline()
{
    if (m_finished || !m_deadline.hasExpired()) {
        return;
    }
    if (m_state == State::Closing) {
        m_socket->abort();
        finish();
    } else {
        startClosing();
    }
}

void HttpConnection::onReadyRead()
{
    if (m_state == State::Closing) {
        m_socket->skip(m_socket->bytesAvailable());
        return;
    }
    process();
}

void HttpConnection::onBytesWritten()
{
    if (m_socket->bytesToWrite() > 0) {
        return;
    }
    if (m_state == State::Closing) {
        shutDownOutput();
    } else if (m_waitingForOutput && !m_processing) {
        m_waitingForOutput = false;
        process();
    }
}

void HttpConnection::process()
{
    // Writing a reply can report written bytes at once, which must not start a second loop.
    const QScopedValueRollback<bool> guard(m_processing, true);
    while (m_state != State::Closing && !m_finished) {
        // A client that sends requests without reading the replies is made to wait.
        if (m_socket->bytesToWrite() > m_limits.maxPendingOutput) {
            m_waitingForOutput = true;
            return;
        }
        if (handleBuffered()) {
            continue;
        }
        const qint64 room = m_limits.maxHeadBytes + m_limits.maxBodyBytes - m_in.size();
        const qint64 available = qMin(room, m_socket->bytesAvailable());
        if (m_state == State::Closing || available <= 0) {
            return;
        }
        if (m_in.isEmpty()) {
            m_in = m_socket->read(available);
        } else {
            m_in.append(m_socket->read(available));
        }
    }
}

// True when a request was answered, false when more input is needed (or the connection is
// closing).
bool HttpConnection::handleBuffered()
{
    if (m_state == State::Head && !takeHead()) {
        return false;
    }
    if (m_state != State::Body || m_in.size() < m_head.contentLength()) {
        return false;
    }
    m_request.body = m_in.left(m_head.contentLength());
    m_in.remove(0, m_head.contentLength());
    m_state = State::Head;
    dispatch();
    return true;
}

bool HttpConnection::takeHead()
{
    qsizetype start = 0;
    const qsizetype end = HttpHeadParser::findEnd(m_in, &start);
    if (end < 0 || end - start > m_limits.maxHeadBytes) {
        if (m_in.size() - start > m_limits.maxHeadBytes) {
            fail(431);
        }
        return false;
    }
    m_request = HttpRequest();
    const int status = m_head.parse(QByteArrayView(m_in).sliced(start, end - start), &m_request);
    m_in.remove(0, end);
    if (status != 0) {
        fail(status);
        return false;
    }
    if (m_head.hasTransferEncoding()) {
        fail(501); // chunked bodies are not needed by any client of this service
        return false;
    }
    if (m_head.contentLength() > m_limits.maxBodyBytes) {
        fail(413);
        return false;
    }
    m_state = State::Body;
    if (m_head.expectsContinue() && m_in.size() < m_head.contentLength()) {
        m_socket->write("HTTP/1.1 100 Continue\r\n\r\n");
    }
    return true;
}

void HttpConnection::dispatch()
{
    const bool headOnly = m_request.method == "HEAD";
    respond(m_handler->handle(m_request), m_head.keepAlive(), headOnly);
    m_request = HttpRequest();
}

void HttpConnection::respond(const HttpResponse &response, bool keepAlive, bool headOnly)
{
    m_socket->write(response.serialize(keepAlive, headOnly));
    m_socket->flush();
    if (keepAlive) {
        m_deadline.setRemainingTime(m_limits.idleTimeoutMs);
    } else {
        startClosing();
    }
}

void HttpConnection::fail(int status)
{
    respond(HttpResponse::error(status), false, false);
}

// Closing at once could reset the connection while the client is still sending, and the reset
// can destroy the reply before the client reads it. So the output is shut down once written,
// and input is thrown away until the client closes too or the linger time is over.
void HttpConnection::startClosing()
{
    if (m_state == State::Closing) {
        return;
    }
    m_state = State::Closing;
    m_in.clear();
    m_deadline.setRemainingTime(m_limits.lingerMs);
    m_socket->skip(m_socket->bytesAvailable());
    if (m_socket->bytesToWrite() == 0) {
        shutDownOutput();
    }
}

void HttpConnection::shutDownOutput()
{
    if (m_outputShutDown || m_finished) {
        return;
    }
    m_outputShutDown = true;
#ifdef Q_OS_UNIX
    ::shutdown(int(m_socket->socketDescriptor()), SHUT_WR);
#else
    m_socket->disconnectFromHost();
#endif
}

void HttpConnection::finish()
{
    if (m_finished) {
        return;
    }
    m_finished = true;
    m_state = State::Closing;
    emit finished(this);
}
