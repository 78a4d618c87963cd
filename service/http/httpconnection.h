#pragma once

#include "httpheadparser.h"
#include "httplimits.h"
#include "httpmessage.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>

class QTcpSocket;

// One client connection: reads requests (pipelined or one after another on a kept-alive
// connection), hands complete ones to the handler and writes the replies in order. Input is
// buffered only up to the head and body limits; a request breaking them is answered with an
// error and the connection is closed after the client has had time to read the answer.
class HttpConnection : public QObject
{
    Q_OBJECT

public:
    // Takes over the socket.
    HttpConnection(QTcpSocket *socket, HttpHandler *handler, const HttpLimits &limits,
                   QObject *parent = nullptr);

    // Starts closing an idle or slow connection, or drops one that is already closing; called
    // regularly by the server.
    void checkDeadline();

signals:
    // The connection is gone; the owner deletes the object.
    void finished(HttpConnection *connection);

private:
    enum class State
    {
        Head,
        Body,
        Closing
    };

    void onReadyRead();
    void onBytesWritten();
    void process();
    bool handleBuffered();
    bool takeHead();
    void dispatch();
    void respond(const HttpResponse &response, bool keepAlive, bool headOnly);
    void fail(int status);
    void startClosing();
    void shutDownOutput();
    void finish();

    QTcpSocket *m_socket;
    HttpHandler *m_handler;
    HttpLimits m_limits;
    State m_state = State::Head;
    QByteArray m_in;
    HttpHeadParser m_head;
    HttpRequest m_request;
    QDeadlineTimer m_deadline;
    bool m_processing = false;
    bool m_waitingForOutput = false;
    bool m_outputShutDown = false;
    bool m_finished = false;
};
