#pragma once

#include "search/httprequestheader.h"
#include "search/httpresponseheader.h"

#include <QByteArray>
#include <QList>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

class QIODevice;
class QNetworkAccessManager;
class QNetworkRequest;

// A queued HTTP/1.1 client on one QNetworkAccessManager. Operations (host setting, POST request,
// close) run one after another, each started from the event loop, so a caller can keep the id
// an operation returns before any of its signals arrives. Every operation is reported by
// requestStarted and requestFinished; done follows once the queue has run empty. A failed
// operation drops everything queued behind it.
//
// HTTP error statuses are ordinary responses here: the caller judges the status. Only
// transport failures (refused, closed early, timed out, too large, aborted) are errors.
class HttpClient : public QObject
{
    Q_OBJECT

public:
    // Whether the last request left its connection open for the next one.
    enum State
    {
        Unconnected,
        Connected
    };
    Q_ENUM(State)
    enum Error
    {
        NoError,
        UnknownError,
        HostNotFound,
        ConnectionRefused,
        UnexpectedClose,
        InvalidResponseHeader,
        WrongContentLength,
        Aborted,
        Timeout,
        TooLarge,
        InvalidChunk
    };
    Q_ENUM(Error)

    // A reply body above this fails the request: a result page is some 40 KB.
    static constexpr qint64 MaximumBodySize = 64 * 1024 * 1024;
    // The most the network stack holds for us before we take it: it stops reading the socket
    // while this much waits, so a fast server cannot fill the memory or the event queue.
    static constexpr qint64 ReadBufferSize = 64 * 1024;

    explicit HttpClient(QObject *parent = nullptr);
    ~HttpClient() override;

    int setHost(const QString &host, quint16 port = 80);
    // Sends the header's POST with the body; the response body goes into the open device.
    int request(const HttpRequestHeader &header, const QByteArray &body, QIODevice *to);
    int close();

    // Ends the current operation with Aborted and drops the queue; done(true) follows.
    void abort();
    // Ends everything without a word: no signal about what was running or queued.
    void discardAll();

    State state() const { return m_state; }
    Error error() const { return m_error; }
    QString errorString() const;

    // A transfer that receives nothing for this long fails with Timeout; 0 waits for ever. Header
    // bytes do not count, so an endless response header fails too.
    void setTransferTimeout(int ms) { m_transferTimeout = ms; }

signals:
    void requestStarted(int id);
    void requestFinished(int id, bool error);
    void responseHeaderReceived(const HttpResponseHeader &resp);
    void dataReadProgress(int done, int total);
    void done(bool error);

private:
    enum class Kind
    {
        SetHost,
        Request,
        Close
    };
    struct Operation
    {
        int id = 0;
        Kind kind = Kind::SetHost;
        QString host;
        quint16 port = 80;
        HttpRequestHeader header;
        QByteArray body;
        QPointer<QIODevice> device;
    };
    struct Outcome
    {
        Error error = NoError;
        QString text;
    };

    int enqueue(Operation operation);
    void scheduleStart();
    void startNext();
    void startRequest();
    QNetworkRequest buildRequest() const;
    void finishCurrent(Error error, const QString &text = QString());
    bool releaseReply();
    // Emits through emitSignal, whose receivers may abort, discard or delete this client; true
    // when the current operation is still running afterwards.
    bool stillCurrentAfter(const std::function<void()> &emitSignal);

    bool announceHeader();
    void readBody();
    void replyFinished();
    Outcome outcome() const;
    Outcome transportOutcome(QNetworkReply::NetworkError code) const;
    bool bodyExpected() const;
    bool bodyCutShort() const;
    bool chunkedBodyLost() const;
    bool connectionKept() const;
    int progressTotal() const;

    QNetworkAccessManager *m_manager;
    QList<Operation> m_queue;
    std::optional<Operation> m_current;
    QPointer<QNetworkReply> m_reply;
    HttpResponseHeader m_response;
    bool m_headerAnnounced = false;
    qint64 m_bytesRead = 0;

    QString m_host;
    quint16 m_port = 80;
    State m_state = Unconnected;
    Error m_error = NoError;
    QString m_errorString;
    int m_lastId = 0;
    int m_transferTimeout = 60000;
    bool m_startScheduled = false;
    // Counts abort() and discardAll() calls, so that a finishing operation notices one made by
    // the receivers of its requestFinished and leaves what follows to it.
    int m_interruptions = 0;
};
