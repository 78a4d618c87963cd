#pragma once

#include "search/httprequestheader.h"
#include "search/httpresponseheader.h"

#include <QByteArray>
#include <QList>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QIODevice;
class QNetworkAccessManager;
class QNetworkRequest;

// A queued HTTP/1.1 client on one QNetworkAccessManager. Operations (host setting, request,
// close) run one after another, each started from the event loop, so a caller can keep the id
// an operation returns before any of its signals arrives. Every operation is reported by
// requestStarted and requestFinished; done follows once the queue has run empty. A failed
// operation drops everything queued behind it.
//
// HTTP error statuses are ordinary responses here: the caller judges the status. Only
// transport failures (refused, closed early, timed out, aborted) are errors.
class HttpClient : public QObject
{
    Q_OBJECT

public:
    enum State
    {
        Unconnected,
        HostLookup,
        Connecting,
        Sending,
        Reading,
        Connected,
        Closing
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
        Timeout
    };
    Q_ENUM(Error)

    explicit HttpClient(QObject *parent = nullptr);
    ~HttpClient() override;

    int setHost(const QString &host, quint16 port = 80);
    // Without a device the body is kept for readAll(), announced by readyRead().
    int request(const HttpRequestHeader &header, const QByteArray &body = QByteArray(),
                QIODevice *to = nullptr);
    int close();

    void abort();
    void discardAll();

    State state() const { return m_state; }
    Error error() const { return m_error; }
    QString errorString() const;
    bool hasPendingRequests() const { return !m_queue.isEmpty(); }
    int currentId() const { return m_current ? m_current->id : 0; }
    HttpResponseHeader lastResponse() const { return m_response; }

    qint64 bytesAvailable() const { return m_buffer.size(); }
    QByteArray readAll();

    // A transfer that receives nothing for this long fails with Timeout; 0 waits for ever.
    void setTransferTimeout(int ms) { m_transferTimeout = ms; }
    int transferTimeout() const { return m_transferTimeout; }

signals:
    void stateChanged(int state);
    void requestStarted(int id);
    void requestFinished(int id, bool error);
    void responseHeaderReceived(const HttpResponseHeader &resp);
    void dataReadProgress(int done, int total);
    void readyRead(const HttpResponseHeader &resp);
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
        bool toDevice = false;
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
    void runClose();
    QNetworkRequest buildRequest() const;
    QNetworkReply *send(const QNetworkRequest &request);
    void watch(QNetworkReply *reply);
    void finishCurrent(Error error, const QString &text = QString());
    bool releaseReply();
    void setState(State state);
    bool isCurrent(int id) const { return m_current && m_current->id == id; }

    bool announceHeader();
    void readBody();
    void replyFinished();
    Outcome outcome() const;
    Outcome transportOutcome(QNetworkReply::NetworkError code) const;
    bool bodyExpected() const;
    bool bodyCutShort() const;
    bool connectionKept() const;
    int progressTotal() const;

    QNetworkAccessManager *m_manager;
    QList<Operation> m_queue;
    std::optional<Operation> m_current;
    QPointer<QNetworkReply> m_reply;
    HttpResponseHeader m_response;
    bool m_headerAnnounced = false;
    qint64 m_bytesRead = 0;
    QByteArray m_buffer;

    QString m_host;
    quint16 m_port = 80;
    State m_state = Unconnected;
    Error m_error = NoError;
    QString m_errorString;
    int m_lastId = 0;
    int m_transferTimeout = 60000;
    bool m_startScheduled = false;
    // Set while requestFinished is being delivered, so that abort() and discardAll() called
    // from its receivers can still change what follows it.
    bool m_finishing = false;
    bool m_abortedWhileFinishing = false;
    int m_discards = 0;
};
