#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

namespace TestSupport {

// A tiny HTTP server on 127.0.0.1 for client tests: it records each raw request (head and body,
// as the bytes arrived) and answers with scripted bytes, so a test can play any server
// behaviour: odd statuses, missing lengths, chunks, delays, a close in the middle, a stall.
class TestHttpServer : public QObject
{
    Q_OBJECT

public:
    struct Step
    {
        QByteArray bytes;
        int delayMs = 0; // waited before these bytes are written
    };

    explicit TestHttpServer(QObject *parent = nullptr);

    // Listens on 127.0.0.1 and a free port.
    bool listen();
    quint16 port() const { return m_server.serverPort(); }
    QUrl url(const QString &path = QStringLiteral("/cgi-bin/meta/meta.ger1-asso")) const;

    // The answer to every following request. After the last step the connection is closed
    // when closeAfter is true, otherwise it stays open (keep-alive, or a stall).
    void setResponse(const QList<Step> &steps, bool closeAfter = true);
    void setResponse(const QByteArray &wholeResponse, bool closeAfter = true);
    // After the steps, piece is written again and again, as fast as the client takes it; until
    // the next setResponse().
    void setEndless(const QByteArray &piece) { m_endless = piece; }

    // A complete response with the given status and body, with Content-Length.
    static QByteArray response(int status, const QByteArray &body,
                               const QByteArray &extraHeaders = {});

    int requestCount() const { return int(m_requests.size()); }
    QByteArray lastRequest() const { return m_requests.value(m_requests.size() - 1); }
    QByteArray lastRequestHead() const;
    QByteArray lastRequestBody() const;
    // Connections that neither side has closed yet.
    int openConnectionCount() const { return m_open; }

signals:
    void requestReceived();

private:
    void accept();
    void readFrom(QTcpSocket *socket);
    void play(QTcpSocket *socket, int step);
    void pour(QTcpSocket *socket);

    QTcpServer m_server;
    QList<Step> m_steps;
    bool m_closeAfter = true;
    QList<QByteArray> m_requests;
    int m_open = 0;
    QByteArray m_endless;
};

} // namespace TestSupport
