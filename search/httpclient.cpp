#include "search/httpclient.h"

#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QStringList>
#include <QTimer>
#include <QUrl>

#include <climits>
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
    operation.toDevice = to != nullptr;
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
    m_queue.clear();
    m_error = Aborted;
    m_errorString = tr("Request aborted");
    // Between two operations: the one just finishing reports done(true) itself.
    if (m_finishing) {
        m_abortedWhileFinishing = true;
        return;
    }
    emit done(true);
}

void HttpClient::discardAll()
{
    // The aborted reply takes its connection with it; nothing is said about that either.
    if (releaseReply())
        m_state = Unconnected;
    m_current.reset();
    m_queue.clear();
    ++m_discards;
}

QString HttpClient::errorString() const
{
    return m_error == NoError ? tr("Unknown error") : m_errorString;
}

QByteArray HttpClient::readAll()
{
    return std::exchange(m_buffer, QByteArray());
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

void HttpClient::startNext()
{
    if (m_current || m_queue.isEmpty())
        return;
    m_current = m_queue.takeFirst();
    m_error = NoError;
    m_errorString.clear();
    const int id = m_current->id;
    const QPointer<HttpClient> self(this);
    emit requestStarted(id);
    if (!self || !isCurrent(id))
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
        runClose();
        break;
    }
}

void HttpClient::startRequest()
{
    m_response = HttpResponseHeader();
    m_headerAnnounced = false;
    m_bytesRead = 0;
    m_buffer.clear();
    if (m_host.isEmpty()) {
        finishCurrent(UnknownError, tr("No host set"));
        return;
    }
    const int id = m_current->id;
    const QPointer<HttpClient> self(this);
    setState(m_state == Connected ? Sending : Connecting);
    if (!self || !isCurrent(id))
        return;
    m_reply = send(buildRequest());
    watch(m_reply);
}

void HttpClient::runClose()
{
    const int id = m_current->id;
    const QPointer<HttpClient> self(this);
    setState(Closing);
    if (!self || !isCurrent(id))
        return;
    m_manager->clearConnectionCache();
    setState(Unconnected);
    if (!self || !isCurrent(id))
        return;
    finishCurrent(NoError);
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
    // The manager states the body's length itself; a second, possibly stale one would corrupt
    // the exchange.
    for (const auto &field : header.values()) {
        if (field.first.compare(QLatin1String("Content-Length"), Qt::CaseInsensitive) != 0)
            request.setRawHeader(field.first.toLatin1(), field.second.toLatin1());
    }
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

QNetworkReply *HttpClient::send(const QNetworkRequest &request)
{
    const QByteArray method = m_current->header.method().toLatin1();
    const QByteArray &body = m_current->body;
    if (method == "POST")
        return m_manager->post(request, body);
    if (method == "GET" && body.isEmpty())
        return m_manager->get(request);
    if (method == "HEAD" && body.isEmpty())
        return m_manager->head(request);
    return m_manager->sendCustomRequest(request, method, body);
}

void HttpClient::watch(QNetworkReply *reply)
{
    connect(reply, &QNetworkReply::uploadProgress, this, [this] {
        if (m_state == Connecting)
            setState(Sending);
    });
    connect(reply, &QNetworkReply::metaDataChanged, this, &HttpClient::announceHeader);
    connect(reply, &QNetworkReply::readyRead, this, &HttpClient::readBody);
    connect(reply, &QNetworkReply::finished, this, &HttpClient::replyFinished);
}

void HttpClient::finishCurrent(Error error, const QString &text)
{
    releaseReply();
    const int id = m_current->id;
    m_current.reset();
    const bool failed = error != NoError;
    const int discards = m_discards;
    const QPointer<HttpClient> self(this);
    m_finishing = true;
    m_abortedWhileFinishing = false;
    if (failed) {
        m_error = error;
        m_errorString = text;
        setState(Unconnected);
        if (!self)
            return;
    }
    if (m_discards == discards)
        emit requestFinished(id, failed);
    if (!self)
        return;
    m_finishing = false;
    if (m_discards != discards)
        return;
    const bool stop = failed || m_abortedWhileFinishing;
    if (stop)
        m_queue.clear();
    if (!m_queue.isEmpty()) {
        scheduleStart();
        return;
    }
    emit done(stop);
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

void HttpClient::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}

bool HttpClient::announceHeader()
{
    if (m_headerAnnounced || !m_reply)
        return true;
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return true;
    m_headerAnnounced = true;
    m_response = HttpResponseHeader(
        status.toInt(), m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
    const auto pairs = m_reply->rawHeaderPairs();
    for (const auto &pair : pairs)
        m_response.addValue(QString::fromLatin1(pair.first), QString::fromLatin1(pair.second));

    const int id = m_current->id;
    const QPointer<HttpClient> self(this);
    setState(Reading);
    if (!self || !isCurrent(id))
        return false;
    emit responseHeaderReceived(m_response);
    return self && isCurrent(id);
}

void HttpClient::readBody()
{
    if (!m_reply || !announceHeader())
        return;
    const QByteArray data = m_reply->readAll();
    if (data.isEmpty())
        return;
    m_bytesRead += data.size();
    if (m_current->toDevice) {
        QIODevice *device = m_current->device;
        if (!device || device->write(data) != data.size()) {
            finishCurrent(UnknownError, tr("Could not write the response body to its device"));
            return;
        }
    } else {
        m_buffer += data;
    }
    const int id = m_current->id;
    const QPointer<HttpClient> self(this);
    emit dataReadProgress(clampToInt(m_bytesRead), progressTotal());
    if (!self || !isCurrent(id) || m_current->toDevice)
        return;
    emit readyRead(m_response);
}

void HttpClient::replyFinished()
{
    if (!m_reply || !announceHeader())
        return;
    const int id = m_current->id;
    const QPointer<HttpClient> self(this);
    if (m_reply->bytesAvailable() > 0) {
        readBody();
        if (!self || !isCurrent(id))
            return;
    }
    const Outcome result = outcome();
    if (result.error != NoError) {
        finishCurrent(result.error, result.text);
        return;
    }
    setState(connectionKept() ? Connected : Unconnected);
    if (!self || !isCurrent(id))
        return;
    finishCurrent(NoError);
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
    const bool head =
        m_current->header.method().compare(QLatin1String("HEAD"), Qt::CaseInsensitive) == 0;
    return !head && status >= 200 && status != 204 && status != 304;
}

bool HttpClient::bodyCutShort() const
{
    return m_headerAnnounced && m_response.hasContentLength() && bodyExpected() &&
           m_bytesRead < m_response.contentLength();
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
