#include "search/httpclient.h"
#include "support/testhttpserver.h"

#include <QBuffer>
#include <QTcpServer>
#include <QTest>

using TestSupport::TestHttpServer;
using Step = TestHttpServer::Step;
using namespace Qt::StringLiterals;

namespace {
QByteArray header200(const QByteArray &fields)
{
    return "HTTP/1.1 200 OK\r\n" + fields + "\r\n";
}
} // namespace

// The client as the search uses it: host, one POST into a device, and the signals in order.
class TestHttpClient : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHttpServer> m_server;
    std::unique_ptr<HttpClient> m_client;
    QBuffer *m_device = nullptr;
    QStringList m_signals;
    int m_hostId = 0;
    int m_id = 0;

    void start(quint16 port = 0, const QString &connection = {}, bool queueAnother = false)
    {
        m_hostId = m_client->setHost(u"127.0.0.1"_s, port ? port : m_server->port());
        HttpRequestHeader header(u"POST"_s, u"/x"_s);
        if (!connection.isEmpty())
            header.setValue(u"Connection"_s, connection);
        m_id = m_client->request(header, "x=1", m_device);
        if (queueAnother)
            m_client->request(header, "x=2", m_device);
        QTRY_VERIFY(m_signals.join(u' ').contains(u"done"_s));
    }

private slots:
    void init()
    {
        m_server = std::make_unique<TestHttpServer>();
        QVERIFY(m_server->listen());
        m_client = std::make_unique<HttpClient>();
        m_device = new QBuffer(m_client.get());
        m_device->open(QIODevice::WriteOnly);
        m_signals.clear();
        HttpClient *c = m_client.get();
        connect(c, &HttpClient::requestStarted, this,
                [this](int id) { m_signals.append(u"started %1"_s.arg(id)); });
        connect(c, &HttpClient::requestFinished, this, [this](int id, bool error) {
            m_signals.append(u"finished %1 %2"_s.arg(id).arg(error));
        });
        connect(c, &HttpClient::responseHeaderReceived, this, [this](const HttpResponseHeader &r) {
            m_signals.append(u"header %1"_s.arg(r.statusCode()));
        });
        connect(c, &HttpClient::dataReadProgress, this, [this](int done, int total) {
            m_signals.append(
                u"progress %1/%2 holds %3"_s.arg(done).arg(total).arg(m_device->size()));
        });
        connect(c, &HttpClient::done, this,
                [this](bool error) { m_signals.append(u"done %1"_s.arg(error)); });
    }
    void cleanup()
    {
        m_client.reset();
        m_server.reset();
    }

    void readsEveryBodyFraming_data()
    {
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<bool>("closeAfter");
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("connection"); // the request's own Connection field
        const int kept = HttpClient::Connected;
        const int closed = HttpClient::Unconnected;
        QTest::newRow("length, kept")
            << QList<Step>{{header200("Content-Length: 11\r\n") + "hello", 0}, {" world", 150}}
            << false << 11 << kept << QString();
        QTest::newRow("length, Connection: close")
            << QList<Step>{{TestHttpServer::response(200, "hello world", "Connection: close\r\n"),
                            0}}
            << true << 11 << closed << QString();
        for (const int status : {400, 500})
            QTest::addRow("error status %d is a response", status)
                << QList<Step>{{TestHttpServer::response(status, "hello world"), 0}} << false << 11
                << kept << QString();
        QTest::newRow("until close") << QList<Step>{{header200({}) + "hello", 0}, {" world", 30}}
                                     << true << 0 << closed << QString();
        QTest::newRow("HTTP/1.0 until close")
            << QList<Step>{{"HTTP/1.0 200 OK\r\n\r\nhello world", 0}} << true << 0 << closed
            << QString();
        // Longer in all than the timeout, every gap far less: it bounds silence, not duration.
        QList<Step> slow{{header200("Content-Length: 11\r\n"), 0}};
        for (const char c : QByteArray("hello world"))
            slow.append({QByteArray(1, c), 150});
        QTest::newRow("slow, never silent") << slow << false << 11 << kept << QString();
        QTest::newRow("chunked")
            << QList<Step>{{header200("Transfer-Encoding: chunked\r\n") + "5\r\nhello\r\n", 0},
                           {"6\r\n world\r\n0\r\n\r\n", 30}}
            << false << 0 << kept << QString();
        QTest::newRow("own Connection: close")
            << QList<Step>{{TestHttpServer::response(200, "hello world"), 0}} << false << 11
            << closed << u"keep-alive, Close"_s;
    }
    void readsEveryBodyFraming()
    {
        QFETCH(QList<Step>, steps);
        QFETCH(bool, closeAfter);
        QFETCH(int, total);
        QFETCH(int, state);
        QFETCH(QString, connection);
        m_server->setResponse(steps, closeAfter);
        m_client->setTransferTimeout(1000);
        start(0, connection);
        QCOMPARE(m_signals.mid(0, 3),
                 (QStringList{u"started %1"_s.arg(m_hostId), u"finished %1 0"_s.arg(m_hostId),
                              u"started %1"_s.arg(m_id)}));
        QVERIFY(m_signals.at(3).startsWith(u"header "_s));
        QCOMPARE(m_signals.mid(m_signals.size() - 3),
                 (QStringList{u"progress 11/%1 holds 11"_s.arg(total), u"finished %1 0"_s.arg(m_id),
                              u"done 0"_s}));
        // Each piece is in the device by the time its progress is told.
        for (const QString &line : std::as_const(m_signals)) {
            if (line.startsWith(u"progress"_s))
                QCOMPARE(line.section(u' ', 1, 1).section(u'/', 0, 0), line.section(u' ', 3));
        }
        QCOMPARE(m_device->data(), "hello world");
        QCOMPARE(int(m_client->state()), state);
    }

    void reportsTransportFailures_data()
    {
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<QByteArray>("after"); // "close", nothing (a stall), or sent for ever
        QTest::addColumn<int>("error");
        const QByteArray cutLength = header200("Content-Length: 20\r\n") + "hello";
        const QByteArray cutChunk = header200("Transfer-Encoding: chunked\r\n") + "5\r\nhi\r\n";
        const QByteArray close = "close";
        QTest::newRow("refused") << QList<Step>{} << close << int(HttpClient::ConnectionRefused);
        QTest::newRow("closed before answering")
            << QList<Step>{} << close << int(HttpClient::UnexpectedClose);
        QTest::newRow("closed mid-body")
            << QList<Step>{{cutLength, 0}} << close << int(HttpClient::WrongContentLength);
        QTest::newRow("closed one byte short")
            << QList<Step>{{header200("Content-Length: 11\r\n") + "hello worl", 0}} << close
            << int(HttpClient::WrongContentLength);
        QTest::newRow("closed mid-chunk")
            << QList<Step>{{cutChunk, 0}} << close << int(HttpClient::UnexpectedClose);
        // Taken for the last chunk by the network stack, which then reports an empty body.
        QTest::newRow("chunk size beyond 64 bits")
            << QList<Step>{{header200("Transfer-Encoding: chunked\r\n") +
                                "10000000000000000\r\nhello\r\n0\r\n\r\n",
                            0}}
            << close << int(HttpClient::InvalidChunk);
        QTest::newRow("stall") << QList<Step>{} << QByteArray() << int(HttpClient::Timeout);
        QTest::newRow("endless header")
            << QList<Step>{{"HTTP/1.1 200 OK\r\n", 0}} << QByteArray("X-Junk: 0123456789\r\n")
            << int(HttpClient::Timeout);
    }
    void reportsTransportFailures()
    {
        QFETCH(QList<Step>, steps);
        QFETCH(QByteArray, after);
        QFETCH(int, error);
        m_server->setResponse(steps, after == "close");
        m_server->setEndless(after == "close" ? QByteArray() : after);
        const bool refused = error == HttpClient::ConnectionRefused;
        quint16 port = 0;
        if (refused) {
            QTcpServer gone;
            QVERIFY(gone.listen(QHostAddress::LocalHost, 0));
            port = gone.serverPort();
        }
        m_client->setTransferTimeout(300);
        start(port, {}, true); // the request queued after a failed one is dropped
        QCOMPARE(m_signals.mid(m_signals.size() - 2),
                 (QStringList{u"finished %1 1"_s.arg(m_id), u"done 1"_s}));
        QCOMPARE(int(m_client->error()), error);
        QCOMPARE(m_client->state(), HttpClient::Unconnected);
        QVERIFY(m_client->errorString() != u"Unknown error"_s);
        // A server that closes before answering is not asked again: one search, one request.
        QCOMPARE(m_server->requestCount(), refused ? 0 : 1);
    }

    // These answers never carry a body, whatever length they name; the connection stays usable.
    void bodilessAnswersEndAtTheirHead_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::newRow("204") << QByteArray("HTTP/1.1 204 No Content\r\nContent-Length: 11\r\n\r\n");
        QTest::newRow("304") << QByteArray(
            "HTTP/1.1 304 Not Modified\r\nContent-Length: 11\r\n\r\n");
    }
    void bodilessAnswersEndAtTheirHead()
    {
        QFETCH(QByteArray, head);
        m_server->setResponse(head, false);
        m_client->setTransferTimeout(1000);
        start();
        QCOMPARE(m_signals.constLast(), u"done 0"_s);
        QCOMPARE(m_device->size(), 0);
        QCOMPARE(m_client->state(), HttpClient::Connected);
    }

    // The cap on a body holds to the byte: a body of exactly the cap is read whole.
    void bodyCapIsExact_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<int>("error");
        QTest::newRow("at the cap") << HttpClient::MaximumBodySize << int(HttpClient::NoError);
        QTest::newRow("one byte past")
            << HttpClient::MaximumBodySize + 1 << int(HttpClient::TooLarge);
    }
    void bodyCapIsExact()
    {
        QFETCH(qint64, size);
        QFETCH(int, error);
        // Pieces that fill the cap exactly, poured as fast as the client takes them.
        m_server->setResponse(header200("Content-Length: " + QByteArray::number(size) + "\r\n"),
                              false);
        m_server->setEndless(QByteArray(64 * 1024, 'x'));
        disconnect(m_client.get(), &HttpClient::dataReadProgress, this, nullptr);
        m_client->setHost(u"127.0.0.1"_s, m_server->port());
        m_client->request(HttpRequestHeader(u"POST"_s, u"/x"_s), "x=1", m_device);
        QTRY_VERIFY_WITH_TIMEOUT(m_signals.join(u' ').contains(u"done"_s), 30000);
        QCOMPARE(int(m_client->error()), error);
        if (error == HttpClient::NoError)
            QCOMPARE(m_device->size(), size);
    }
};

QTEST_GUILESS_MAIN(TestHttpClient)
#include "tst_httpclient.moc"
