#include "http/httpconnection.h"

#include "http/partrunner.h"

#include <QScopedValueRollback>
#include <QThreadPool>

#include <cerrno>

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

constexpr qsizetype readChunk = 16 * 1024;

bool wouldBlock()
{
    return errno == EAGAIN || errno == EWOULDBLOCK;
}

} // namespace

HttpConnection::HttpConnection(qintptr socket, HttpHandler *handler, const HttpLimits &limits,
                               QThreadPool *pool, QObject *parent)
    : QObject(parent), m_fd(int(socket)), m_readNotifier(socket, QSocketNotifier::Read),
      m_writeNotifier(socket, QSocketNotifier::Write), m_handler(handler), m_pool(pool),
      m_limits(limits), m_deadline(limits.idleTimeoutMs)
{
    ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK);
    const int on = 1;
    ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    m_waitingForInput.start();
    m_writeNotifier.setEnabled(false);
    connect(&m_readNotifier, &QSocketNotifier::activated, this, &HttpConnection::onReadable);
    connect(&m_writeNotifier, &QSocketNotifier::activated, this, &HttpConnection::onWritable);
}

HttpConnection::~HttpConnection()
{
    m_readNotifier.setEnabled(false);
    m_writeNotifier.setEnabled(false);
    ::close(m_fd);
}

void HttpConnection::checkDeadline()
{
    if (m_finished || m_awaitingReply) {
        return;
    }
    m_turnBytes = 0;
    // Replies already accepted are delivered as long as the client keeps reading them.
    if (pendingOutput() > 0) {
        if (m_writeDeadline.hasExpired()) {
            finish();
        }
        return;
    }
    if (m_state == State::Closing) {
        if (m_deadline.hasExpired()) {
            finish();
        }
    } else if (m_requestBegun && m_requestDeadline.hasExpired()) {
        fail(408);
    } else if (m_deadline.hasExpired()) {
        startClosing();
    }
}

void HttpConnection::evict()
{
    if (m_state == State::Closing || m_finished) {
        return;
    }
    m_turnBytes = 0;
    if (m_requestBegun || m_answered == 0) {
        respond(HttpResponse::error(503, "Retry-After: 1\r\n"), false, false);
    } else {
        startClosing();
    }
}

qint64 HttpConnection::inputWaitMs() const
{
    return m_state != State::Closing && pendingOutput() == 0 && !m_awaitingReply
               ? m_waitingForInput.elapsed()
               : -1;
}

void HttpConnection::deleteWhenIdle()
{
    m_orphaned = true;
    if (!m_awaitingReply) {
        deleteLater();
    }
}

void HttpConnection::onReadable()
{
    m_turnBytes = 0;
    if (m_state == State::Closing) {
        drainInput();
    } else {
        process();
    }
}

void HttpConnection::onWritable()
{
    m_turnBytes = 0;
    flushOutput();
    if (!m_finished && m_state != State::Closing && pendingOutput() <= m_limits.maxPendingOutput) {
        process();
    }
}

void HttpConnection::process()
{
    // Writing a reply can fail and finish the connection, which must not start a second loop.
    if (m_processing) {
        return;
    }
    const QScopedValueRollback<bool> guard(m_processing, true);
    while (m_state != State::Closing && !m_finished && !m_awaitingReply) {
        // A client that sends requests without reading the replies is made to wait.
        if (pendingOutput() > m_limits.maxPendingOutput) {
            m_readNotifier.setEnabled(false);
            return;
        }
        // Pipelined requests wait until the other connections have had their turn; the write
        // notifier brings this one back.
        if (m_turnBytes >= m_limits.writeSlice) {
            m_writeNotifier.setEnabled(true);
            return;
        }
        if (handleBuffered()) {
            continue;
        }
        if (m_state == State::Closing) {
            return;
        }
        if (m_inputEnded) {
            startClosing(); // every complete request has its reply
            return;
        }
        if (m_state == State::Head && !m_in.isEmpty() && !m_requestBegun) {
            startRequestClock(m_limits.headTimeoutMs);
        }
        if (!readInput()) {
            m_readNotifier.setEnabled(!m_finished);
            return;
        }
    }
}

// True when something was read or the input has ended, false when nothing is there yet (or
// the connection broke).
bool HttpConnection::readInput()
{
    const qsizetype room = m_limits.maxHeadBytes + m_limits.maxBodyBytes - m_in.size();
    char buffer[readChunk];
    const ssize_t n = ::recv(m_fd, buffer, size_t(qMin(room, readChunk)), 0);
    if (n > 0) {
        m_in.append(buffer, n);
        return true;
    }
    if (n == 0 && room > 0) {
        m_inputEnded = true;
        m_readNotifier.setEnabled(false);
        return true;
    }
    if (n < 0 && !wouldBlock() && errno != EINTR) {
        finish();
    }
    return false;
}

// Throws away what the client still sends: closing with unread input would reset the
// connection, and the reset can destroy the reply before the client reads it.
void HttpConnection::drainInput()
{
    char buffer[readChunk];
    for (int i = 0; i < 16; ++i) {
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (n > 0 || (n < 0 && errno == EINTR)) {
            continue;
        }
        if (n < 0 && wouldBlock()) {
            return;
        }
        m_inputEnded = true;
        m_readNotifier.setEnabled(false);
        if (n < 0 || m_outputShutDown) {
            finish();
        }
        return;
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
    m_requestBegun = false;
    dispatch();
    return true;
}

bool HttpConnection::takeHead()
{
    qsizetype start = 0;
    qsizetype end = HttpHeadParser::findEnd(m_in, &start);
    if (start > 0) {
        // Blank lines before a request are skipped; kept, they would fill the buffer.
        m_in.remove(0, start);
        end = end < 0 ? end : end - start;
    }
    if (end < 0 || end > m_limits.maxHeadBytes) {
        if (m_in.size() > m_limits.maxHeadBytes) {
            fail(431);
        }
        return false;
    }
    m_request = HttpRequest();
    const int status = m_head.parse(QByteArrayView(m_in).first(end), &m_request);
    m_in.remove(0, end);
    m_requestBegun = false;
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
    if (m_in.size() < m_head.contentLength()) {
        // A body trickled in byte by byte would hold the connection as long as a slow head.
        startRequestClock(m_limits.headTimeoutMs +
                          m_head.contentLength() * 1000 / m_limits.minBodyBytesPerSecond);
        // An HTTP/1.0 client does not know the interim reply and would take it for the answer.
        if (m_head.expectsContinue() && m_request.minorVersion >= 1) {
            write("HTTP/1.1 100 Continue\r\n\r\n");
        }
    }
    return true;
}

void HttpConnection::startRequestClock(qint64 ms)
{
    m_requestBegun = true;
    m_requestDeadline.setRemainingTime(ms);
}

void HttpConnection::dispatch()
{
    const bool headOnly = m_request.method == "HEAD";
    const bool keepAlive = m_head.keepAlive();
    if (HttpResponse response; !m_pool || m_handler->handleAtOnce(m_request, &response)) {
        respond(m_pool ? response : m_handler->handle(m_request), keepAlive, headOnly);
        m_request = HttpRequest();
        return;
    }
    // Nothing more is read meanwhile: replies go out in the order of the requests. The
    // connection outlives the job (see deleteWhenIdle), so the reply can be posted to it.
    m_awaitingReply = true;
    m_readNotifier.setEnabled(false);
    const auto deliver = [this, keepAlive, headOnly](HttpResponse response) {
        QMetaObject::invokeMethod(
            this,
            [this, response = std::move(response), keepAlive, headOnly] {
                answered(response, keepAlive, headOnly);
            },
            Qt::QueuedConnection);
    };
    m_pool->start([handler = m_handler, pool = m_pool, request = std::move(m_request), deliver] {
        if (std::shared_ptr<HttpSplitAnswer> parts = handler->split(request)) {
            PartRunner::start(pool, std::move(parts), deliver);
        } else {
            deliver(handler->handle(request));
        }
    });
    m_request = HttpRequest();
}

void HttpConnection::answered(const HttpResponse &response, bool keepAlive, bool headOnly)
{
    m_awaitingReply = false;
    m_turnBytes = 0;
    if (m_finished) {
        if (m_orphaned) {
            deleteLater();
        }
        return;
    }
    respond(response, keepAlive, headOnly);
    if (!m_finished && m_state != State::Closing) {
        process();
    }
}

void HttpConnection::queueOutput(const QByteArray &bytes)
{
    if (bytes.isEmpty()) {
        return;
    }
    if (pendingOutput() == 0) {
        m_writeDeadline.setRemainingTime(m_limits.idleTimeoutMs);
    }
    m_out.append(bytes);
    m_outBytes += bytes.size();
}

void HttpConnection::write(const QByteArray &bytes)
{
    queueOutput(bytes);
    flushOutput();
}

void HttpConnection::flushOutput()
{
    while (pendingOutput() > 0 && !m_finished) {
        if (m_turnBytes >= m_limits.writeSlice) {
            m_writeNotifier.setEnabled(true); // the rest after the others' turn
            return;
        }
        const ssize_t n = sendSome(m_limits.writeSlice - m_turnBytes);
        if (n > 0) {
            consumeOutput(n);
            m_writeDeadline.setRemainingTime(m_limits.idleTimeoutMs);
        } else if (n < 0 && wouldBlock()) {
            m_writeNotifier.setEnabled(true);
            return;
        } else if (n == 0 || errno != EINTR) {
            finish(); // the client is gone
            return;
        }
    }
    m_writeNotifier.setEnabled(false);
    if (m_state == State::Closing && !m_outputShutDown && !m_finished) {
        // The linger time counts only from here: a slow reader still gets every reply.
        m_outputShutDown = true;
        m_deadline.setRemainingTime(m_limits.lingerMs);
        ::shutdown(m_fd, SHUT_WR);
        if (m_inputEnded) {
            finish();
        }
    }
}

// One call for a reply's head and body together: sent apart, they would go out as two packets.
ssize_t HttpConnection::sendSome(qsizetype limit)
{
    constexpr int maxPieces = 8;
    iovec pieces[maxPieces];
    int count = 0;
    qsizetype offset = m_outSent;
    for (qsizetype i = 0; i < m_out.size() && count < maxPieces && limit > 0; ++i) {
        const qsizetype length = qMin(m_out.at(i).size() - offset, limit);
        pieces[count++] = {const_cast<char *>(m_out.at(i).constData() + offset), size_t(length)};
        limit -= length;
        offset = 0;
    }
    msghdr message{};
    message.msg_iov = pieces;
    message.msg_iovlen = size_t(count);
    return ::sendmsg(m_fd, &message, MSG_NOSIGNAL);
}

void HttpConnection::consumeOutput(qsizetype sent)
{
    m_outBytes -= sent;
    m_turnBytes += sent;
    while (sent > 0) {
        const qsizetype rest = m_out.constFirst().size() - m_outSent;
        if (sent < rest) {
            m_outSent += sent;
            return;
        }
        sent -= rest;
        m_out.removeFirst();
        m_outSent = 0;
    }
}

void HttpConnection::respond(const HttpResponse &response, bool keepAlive, bool headOnly)
{
    queueOutput(response.head(keepAlive));
    if (!headOnly) {
        queueOutput(response.body);
    }
    flushOutput();
    if (!keepAlive) {
        startClosing();
        return;
    }
    ++m_answered;
    m_deadline.setRemainingTime(m_limits.idleTimeoutMs);
    m_waitingForInput.restart();
}

void HttpConnection::fail(int status)
{
    respond(HttpResponse::error(status), false, false);
}

// The output is shut down once written, and input is thrown away until the client closes too
// or the linger time is over.
void HttpConnection::startClosing()
{
    if (m_state == State::Closing || m_finished) {
        return;
    }
    m_state = State::Closing;
    m_in.clear();
    m_deadline.setRemainingTime(m_limits.lingerMs);
    m_readNotifier.setEnabled(!m_inputEnded);
    emit closing();
    if (pendingOutput() == 0) {
        flushOutput();
    }
}

void HttpConnection::finish()
{
    if (m_finished) {
        return;
    }
    m_finished = true;
    if (m_state != State::Closing) {
        m_state = State::Closing;
        emit closing();
    }
    m_readNotifier.setEnabled(false);
    m_writeNotifier.setEnabled(false);
    emit finished(this);
}
