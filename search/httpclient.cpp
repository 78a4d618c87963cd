#include "search/httpclient.h"

#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QStringList>
#include <QTimer>
#include <QUrl>

#include <climits>
#include <cstring>
#include <utility>

namespace {
// Statuses the manager reports as errors although the whole response arrived.
bool isStatusError(QNetworkReply::NetworkError code)
{
    return (code >= QNetworkReply::ContentAccessDenied &&
            code <= QNetworkReply::UnknownContentError) ||
           (code >= QNetworkReply::InternalServerError &&
            code <= QNetworkReply::UnknownServerError) ||
           code == QNetworkReply::ProtocolInvalidOperationError ||
           code == QNetworkReply::ProxyAuthenticationRequiredError;
}

bool hasToken(const QString &fieldValue, QLatin1String token)
{
    const QStringList parts = fieldValue.split(QLatin1Char(','));
    for (const QString &part : parts) {
        if (part.trimmed().compare(token, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

int clampToInt(qint64 value)
{
    return int(qMin<qint64>(value, INT_MAX));
}

// The request body as a device that cannot be rewound. When a server closes the connection
// before answering, the network stack sends the request again on a new connection, which it can
// only do by rewinding the body (it resends a byte array as often as it likes); with this body it
// reports the close instead, and one search sends one request.
class OneShotBody : public QIODevice
{
public:
    explicit OneShotBody(const QByteArray &bytes) : m_bytes(bytes) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }
    bool reset() override { return false; }
    qint64 bytesAvailable() const override
    {
        return m_bytes.size() - m_read + QIODevice::bytesAvailable();
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 count = qMin(maxSize, m_bytes.size() - m_read);
        std::memcpy(data, m_bytes.constData() + m_read, size_t(count));
        m_read += count;
        return count;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_read = 0;
};
} // namespace

HttpClient::HttpClient(QObject *parent)
    : QObject(parent), m_manager(new QNetworkAccessManager(this))
{
    qRegisterMetaType<HttpResponseHeader>();
}

HttpClient::~HttpClient()
{
    releaseReply();
}

int HttpClient::setHost(const QString &host, quint16 port)
{
    Operation operation;
    operation.kind = Kind::SetHost;
    operation.host = host;
    operation.port = port;
    return enqueue(std::move(operation));
}

int HttpClient::request(const HttpRequestHeader &header, const QByteArray &body, QIODevice *to)
{
    Operation operation;
    operation.kind = Kind::Request;
    operation.header = header;
    operation.body = body;
    operation.device = to;
    return enqueue(std::move(operation));
}

int HttpClient::close()
{
    Operation operation;
    operation.kind = Kind::Close;
    return enqueue(std::move(operation));
}

void HttpClient::abort()
{
    if (m_current) {
        finishCurrent(Aborted, tr("Request aborted"));
        return;
    }
    if (m_queue.isEmpty())
        return;
    // Between two operations, maybe from a receiver of requestFinished: the finishing one
    // leaves the rest to this.
    ++m_interruptions;
    m_queue.clear();
    m_error = Aborted;
    m_errorString = tr("Request aborted");
    emit done(true);
}

void HttpClient::discardAll()
{
    // The aborted reply takes its connection with it; nothing is said about that either.
    if (releaseReply())
        m_state = Unconnected;
    m_current.reset();
    m_queue.clear();
    ++m_interruptions;
}

QString HttpClient::errorString() const
{
    return m_error == NoError ? tr("Unknown error") : m_errorString;
}

int HttpClient::enqueue(Operation operation)
{
    operation.id = ++m_lastId;
    m_queue.append(std::move(operation));
    scheduleStart();
    return m_lastId;
}

void HttpClient::scheduleStart()
{
    if (m_startScheduled || m_current)
        return;
    m_startScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_startScheduled = false;
        startNext();
    });
}

bool HttpClient::stillCurrentAfter(const std::function<void()> &emitSignal)
{
    const int id = m_current->id;
    const QPointer<HttpClient> self(this);
    emitSignal();
    return self && m_current && m_current->id == id;
}

void HttpClient::startNext()
{
    if (m_current || m_queue.isEmpty())
        return;
    m_current = m_queue.takeFirst();
    m_error = NoError;
    m_errorString.clear();
    if (!stillCurrentAfter([this] { emit requestStarted(m_current->id); }))
        return;
    switch (m_current->kind) {
    case Kind::SetHost:
        m_host = m_current->host;
        m_port = m_current->port;
        finishCurrent(NoError);
        break;
    case Kind::Request:
        startRequest();
        break;
    case Kind::Close:
        m_manager->clearConnectionCache();
        m_state = Unconnected;
        finishCurrent(NoError);
        break;
    }
}

void HttpClient::startRequest()
{
    m_response = HttpResponseHeader();
    m_headerAnnounced = false;
    m_bytesRead = 0;
    if (m_host.isEmpty()) {
        finishCurrent(UnknownError, tr("No host set"));
        return;
    }
    auto *body = new OneShotBody(m_current->body);
    m_reply = m_manager->post(buildRequest(), body);
    body->setParent(m_reply);
    // The network thread learns of the limit only once the reply has started there, which is
    // queued behind this call.
    QTimer::singleShot(0, m_reply,
                       [reply = m_reply.data()] { reply->setReadBufferSize(ReadBufferSize); });
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &HttpClient::announceHeader);
    connect(m_reply, &QNetworkReply::readyRead, this, &HttpClient::readBody);
    connect(m_reply, &QNetworkReply::finished, this, &HttpClient::replyFinished);
}

QNetworkRequest HttpClient::buildRequest() const
{
    const HttpRequestHeader &header = m_current->header;
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(m_host);
    url.setPort(m_port);
    const QString path = header.path();
    const qsizetype query = path.indexOf(QLatin1Char('?'));
    url.setPath(query < 0 ? path : path.left(query), QUrl::TolerantMode);
    if (query >= 0)
        url.setQuery(path.mid(query + 1), QUrl::TolerantMode);

    QNetworkRequest request(url);
    // The length is the body's own; a second, possibly stale one would corrupt the exchange.
    for (const auto &field : header.values()) {
        if (field.first.compare(QLatin1String("Content-Length"), Qt::CaseInsensitive) != 0)
            request.setRawHeader(field.first.toLatin1(), field.second.toLatin1());
    }
    request.setHeader(QNetworkRequest::ContentLengthHeader, m_current->body.size());
    // With the length given, the one-shot body goes out as it is instead of into a copy that
    // could be sent again.
    request.setAttribute(QNetworkRequest::DoNotBufferUploadDataAttribute, true);
    // Otherwise the manager asks for compressed bodies and inflates them: the device would not
    // get the bytes the server sent, and progress would not match the announced length.
    if (!header.hasKey(QStringLiteral("Accept-Encoding")))
        request.setRawHeader("Accept-Encoding", "identity");
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    // The manager restarts this timer whenever bytes move, so it bounds silence, not duration.
    request.setTransferTimeout(qMax(0, m_transferTimeout));
    return request;
}

void HttpClient::finishCurrent(Error error, const QString &text)
{
    releaseReply();
    const int id = m_current->id;
    m_current.reset();
    const bool failed = error != NoError;
    if (failed) {
        m_error = error;
        m_errorString = text;
        m_state = Unconnected;
    }
    const int interruptions = m_interruptions;
    const QPointer<HttpClient> self(this);
    emit requestFinished(id, failed);
    if (!self || m_interruptions != interruptions)
        return;
    if (failed)
        m_queue.clear();
    if (!m_queue.isEmpty()) {
        scheduleStart();
        return;
    }
    emit done(failed);
}

bool HttpClient::releaseReply()
{
    if (!m_reply)
        return false;
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    // Detached first: abort() reports finished() at once, and none of that concerns us now.
    disconnect(reply, nullptr, this, nullptr);
    const bool running = reply->isRunning();
    if (running)
        reply->abort();
    reply->deleteLater();
    return running;
}

bool HttpClient::announceHeader()
{
    if (m_headerAnnounced || !m_reply)
        return true;
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return true;
    m_headerAnnounced = true;
    m_response = HttpResponseHeader(status.toInt());
    const auto pairs = m_reply->rawHeaderPairs();
    for (const auto &pair : pairs)
        m_response.addValue(QString::fromLatin1(pair.first), QString::fromLatin1(pair.second));
    return stillCurrentAfter([this] { emit responseHeaderReceived(m_response); });
}

void HttpClient::readBody()
{
    if (!m_reply || !announceHeader())
        return;
    const QByteArray data = m_reply->readAll();
    if (data.isEmpty())
        return;
    m_bytesRead += data.size();
    if (m_bytesRead > MaximumBodySize) {
        finishCurrent(TooLarge, tr("The response is larger than %1 bytes").arg(MaximumBodySize));
        return;
    }
    QIODevice *device = m_current->device;
    if (!device || device->write(data) != data.size()) {
        finishCurrent(UnknownError, tr("Could not write the response body: %1")
                                        .arg(device ? device->errorString() : QString()));
        return;
    }
    emit dataReadProgress(clampToInt(m_bytesRead), progressTotal());
}

void HttpClient::replyFinished()
{
    if (!m_reply || !announceHeader())
        return;
    if (m_reply->bytesAvailable() > 0 && !stillCurrentAfter([this] { readBody(); }))
        return;
    const Outcome result = outcome();
    if (result.error == NoError)
        m_state = connectionKept() ? Connected : Unconnected;
    finishCurrent(result.error, result.text);
}

HttpClient::Outcome HttpClient::outcome() const
{
    const QNetworkReply::NetworkError code = m_reply->error();
    const bool arrived =
        code == QNetworkReply::NoError || (m_headerAnnounced && isStatusError(code));
    if (!arrived)
        return transportOutcome(code);
    if (bodyCutShort())
        return {WrongContentLength, tr("Wrong content length")};
    if (chunkedBodyLost())
        return {InvalidChunk, tr("Invalid chunk size in the response body")};
    return {};
}

HttpClient::Outcome HttpClient::transportOutcome(QNetworkReply::NetworkError code) const
{
    switch (code) {
    case QNetworkReply::ConnectionRefusedError:
        return {ConnectionRefused, tr("Connection refused")};
    case QNetworkReply::HostNotFoundError:
        return {HostNotFound, tr("Host %1 not found").arg(m_host)};
    case QNetworkReply::RemoteHostClosedError:
        if (bodyCutShort())
            return {WrongContentLength, tr("Wrong content length")};
        return {UnexpectedClose, tr("Connection closed unexpectedly")};
    // The manager's word for a close before the answer that it could not answer with a resend.
    case QNetworkReply::ContentReSendError:
        return {UnexpectedClose, tr("Connection closed unexpectedly")};
    // Our own aborts detach the reply first, so a cancel seen here is the manager's transfer
    // timeout.
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::TimeoutError:
        return {Timeout,
                tr("Transfer timed out: nothing received for %1 ms").arg(m_transferTimeout)};
    case QNetworkReply::ProtocolFailure:
        if (!m_headerAnnounced)
            return {InvalidResponseHeader, tr("Invalid HTTP response header")};
        break;
    default:
        break;
    }
    return {UnknownError, m_reply->errorString()};
}

bool HttpClient::bodyExpected() const
{
    const int status = m_response.statusCode();
    return status >= 200 && status != 204 && status != 304;
}

bool HttpClient::bodyCutShort() const
{
    return m_headerAnnounced && m_response.hasContentLength() && bodyExpected() &&
           m_bytesRead < m_response.contentLength();
}

bool HttpClient::chunkedBodyLost() const
{
    // The network stack takes a chunk size that is no number it can hold (too many digits, a
    // sign, no digits) for the last chunk, drops the rest and reports a whole, empty body. An
    // empty chunked body is valid HTTP, but a reply that was to hold a page and holds nothing
    // is taken for what it mostly is: a broken one.
    return m_headerAnnounced && bodyExpected() && m_bytesRead == 0 &&
           hasToken(m_response.value(QStringLiteral("Transfer-Encoding")),
                    QLatin1String("chunked"));
}

bool HttpClient::connectionKept() const
{
    const QString connection = QStringLiteral("Connection");
    const QLatin1String close("close");
    if (hasToken(m_response.value(connection), close) ||
        hasToken(m_current->header.value(connection), close))
        return false;
    if (m_response.hasContentLength() ||
        hasToken(m_response.value(QStringLiteral("Transfer-Encoding")), QLatin1String("chunked")))
        return true;
    // Such a body ends where the server closes the connection.
    return !bodyExpected();
}

int HttpClient::progressTotal() const
{
    return m_response.hasContentLength() ? clampToInt(m_response.contentLength()) : 0;
}
