#pragma once

#include "http/httpheadparser.h"
#include "http/httplimits.h"
#include "http/httpmessage.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QSocketNotifier>

class QThreadPool;

// One client connection: reads requests (pipelined or one after another on a kept-alive
// connection), hands complete ones to the handler and writes the replies in order. Input is
// buffered only up to the head and body limits; a request breaking them is answered with an
// error and the connection is closed after the client has had time to read the answer.
//
// It works on the bare socket rather than a QTcpSocket: Qt closes a socket as soon as the
// client shuts down its sending side, and drops the replies not yet written, while a client
// that sends its last request and then half-closes is entitled to every reply.
class HttpConnection : public QObject
{
    Q_OBJECT

public:
    // Takes over the connected socket descriptor. With a pool, requests are answered on its
    // threads, one at a time per connection; without, in this thread.
    HttpConnection(qintptr socket, HttpHandler *handler, const HttpLimits &limits,
                   QThreadPool *pool = nullptr, QObject *parent = nullptr);
    ~HttpConnection() override;

    // Starts closing an idle or slow connection, or drops one that is already closing or whose
    // client no longer reads; called regularly by the server.
    void checkDeadline();
    // Closes a connection that is only waiting for input, to make room for another: with a 503
    // when a request was begun (or none was ever made), quietly when it was idle between
    // requests.
    void evict();

    bool isClosing() const { return m_state == State::Closing; }
    // Deletes the finished connection once no worker answers a request for it any more.
    void deleteWhenIdle();
    // How long the connection has waited for the input of its next request (head or body), or
    // -1 when it is doing something else (writing, closing).
    qint64 inputWaitMs() const;

signals:
    // The connection has begun to close and no longer counts against the cap.
    void closing();
    // The connection is gone; the owner deletes the object.
    void finished(HttpConnection *connection);

private:
    enum class State
    {
        Head,
        Body,
        Closing
    };

    void onReadable();
    void onWritable();
    void process();
    bool readInput();
    void drainInput();
    bool handleBuffered();
    bool takeHead();
    void dispatch();
    void answered(const HttpResponse &response, bool keepAlive, bool headOnly);
    void queueOutput(const QByteArray &bytes);
    void write(const QByteArray &bytes);
    void flushOutput();
    ssize_t sendSome(qsizetype limit);
    void consumeOutput(qsizetype sent);
    qsizetype pendingOutput() const { return m_outBytes; }
    void respond(const HttpResponse &response, bool keepAlive, bool headOnly);
    void fail(int status);
    void startClosing();
    void startRequestClock(qint64 ms);
    void finish();

    int m_fd;
    QSocketNotifier m_readNotifier;
    QSocketNotifier m_writeNotifier;
    HttpHandler *m_handler;
    QThreadPool *m_pool;
    HttpLimits m_limits;
    State m_state = State::Head;
    QByteArray m_in;
    // Replies waiting to go out, the bodies shared with whoever made them (a cache) rather than
    // copied; m_outSent bytes of the first are sent already.
    QList<QByteArray> m_out;
    qsizetype m_outSent = 0;
    qsizetype m_outBytes = 0;
    qsizetype m_turnBytes = 0; // written in this turn of the event loop
    HttpHeadParser m_head;
    HttpRequest m_request;
    QDeadlineTimer m_deadline;        // for the whole request, or the linger time when closing
    QDeadlineTimer m_requestDeadline; // from the first byte of a head, then for its body
    QDeadlineTimer m_writeDeadline;   // while output is pending: the client must keep reading
    QElapsedTimer m_waitingForInput;
    int m_answered = 0;
    bool m_requestBegun = false;
    bool m_inputEnded = false;
    bool m_outputShutDown = false;
    bool m_processing = false;
    bool m_awaitingReply = false; // a worker is answering the last request
    bool m_orphaned = false;
    bool m_finished = false;
};
