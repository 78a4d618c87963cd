#include "search/httpclient.h"
#include "support/testhttpserver.h"

#include <QBuffer>
#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <memory>

using TestSupport::TestHttpServer;
using Step = TestHttpServer::Step;

namespace {
const QString Path = QStringLiteral("/cgi-bin/meta/meta.ger1-asso");
const QString LocalHost = QStringLiteral("127.0.0.1");

// Every signal of a client as one line, in the order of arrival.
class Recorder
{
public:
    explicit Recorder(HttpClient *client)
    {
        auto add = [this](const QString &line) { lines.append(line); };
        QObject::connect(client, &HttpClient::stateChanged, client, [add](int state) {
            add(QStringLiteral("state ") + QString::number(state));
        });
        QObject::connect(client, &HttpClient::requestStarted, client,
                         [add](int id) { add(QStringLiteral("started %1").arg(id)); });
        QObject::connect(client, &HttpClient::requestFinished, client, [add](int id, bool error) {
            add(QStringLiteral("finished %1 %2").arg(id).arg(int(error)));
        });
        QObject::connect(client, &HttpClient::responseHeaderReceived, client,
                         [add](const HttpResponseHeader &response) {
                             add(QStringLiteral("header %1").arg(response.statusCode()));
                         });
        QObject::connect(client, &HttpClient::dataReadProgress, client, [add](int done, int total) {
            add(QStringLiteral("progress %1/%2").arg(done).arg(total));
        });
        QObject::connect(client, &HttpClient::readyRead, client,
                         [add](const HttpResponseHeader &) { add(QStringLiteral("ready")); });
        QObject::connect(client, &HttpClient::done, client,
                         [add](bool error) { add(QStringLiteral("done %1").arg(int(error))); });
    }

    // The lines that start with prefix.
    QStringList only(const QString &prefix) const
    {
        QStringList result;
        for (const QString &line : lines) {
            if (line.startsWith(prefix))
                result.append(line);
        }
        return result;
    }
    QStringList without(const QStringList &prefixes) const
    {
        QStringList result;
        for (const QString &line : lines) {
            if (std::none_of(prefixes.begin(), prefixes.end(),
                             [&line](const QString &prefix) { return line.startsWith(prefix); }))
                result.append(line);
        }
        return result;
    }
    bool isDone() const { return !only(QStringLiteral("done")).isEmpty(); }
    bool started(int id) const { return lines.contains(QStringLiteral("started %1").arg(id)); }

    QStringList lines;
};

QString stateLine(HttpClient::State state)
{
    return QStringLiteral("state ") + QString::number(state);
}

HttpRequestHeader searchHeader()
{
    HttpRequestHeader header(QStringLiteral("POST"), Path);
    header.setValue(QStringLiteral("Host"), LocalHost);
    header.setValue(QStringLiteral("Keep-Alive"), QStringLiteral("300"));
    header.setValue(QStringLiteral("Connection-Type"), QStringLiteral("keep-alive"));
    header.setValue(QStringLiteral("Referer"), Path);
    header.setValue(QStringLiteral("Content-type"), QStringLiteral("text/html"));
    return header;
}

QByteArray header200(const QByteArray &fields)
{
    return "HTTP/1.1 200 OK\r\n" + fields + "\r\n";
}

QBuffer *openBuffer(QObject *parent)
{
    auto *buffer = new QBuffer(parent);
    buffer->open(QIODevice::WriteOnly);
    return buffer;
}
} // namespace

class TestHttpClient : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void sendsTheHeaderFieldsAndBodyAsGiven();
    void reportsOneRequestInOrderWhileTheBodyArrives();
    void errorStatusesAreResponses_data();
    void errorStatusesAreResponses();
    void readsEveryBodyFraming_data();
    void readsEveryBodyFraming();
    void reportsTransportFailures_data();
    void reportsTransportFailures();
    void timesOutOnSilenceNotOnDuration();
    void abortEndsTheCurrentAndDropsTheQueue_data();
    void abortEndsTheCurrentAndDropsTheQueue();
    void discardAllSilencesTheTransfer();
    void keepsTheConnectionUntilClosed();
    void closeQueuedOnFinishRunsBeforeDone();
    void keepsTheBodyWithoutDevice();
    void failsWhenTheDeviceDisappears();
    void diesCleanlyMidTransfer();

private:
    // Queues the host and one request to the server; returns the request's id.
    int start(const HttpRequestHeader &header = searchHeader(), QIODevice *device = nullptr,
              const QByteArray &body = "eingabe=Haus&anzahl=200");

    std::unique_ptr<TestHttpServer> m_server;
    std::unique_ptr<HttpClient> m_client;
    std::unique_ptr<Recorder> m_recorder;
    QBuffer *m_device = nullptr;
};

void TestHttpClient::init()
{
    m_server = std::make_unique<TestHttpServer>();
    QVERIFY(m_server->listen());
    m_client = std::make_unique<HttpClient>();
    m_recorder = std::make_unique<Recorder>(m_client.get());
    m_device = openBuffer(m_client.get());
}

void TestHttpClient::cleanup()
{
    m_recorder.reset();
    m_client.reset();
    m_server.reset();
}

int TestHttpClient::start(const HttpRequestHeader &header, QIODevice *device,
                          const QByteArray &body)
{
    m_client->setHost(LocalHost, m_server->port());
    return m_client->request(header, body, device ? device : m_device);
}

void TestHttpClient::sendsTheHeaderFieldsAndBodyAsGiven()
{
    m_server->setResponse(TestHttpServer::response(200, "ok"));
    HttpRequestHeader header = searchHeader();
    header.setValue(QStringLiteral("host"), LocalHost); // replaces in place, keeps "Host"
    const QByteArray body("eingabe=a&b=c%+ \xe4\x00\xff&anzahl=200", 30);
    start(header, nullptr, body);
    QTRY_VERIFY(m_recorder->isDone());

    const QList<QByteArray> lines = m_server->lastRequestHead().split('\n');
    QCOMPARE(lines.value(0), "POST /cgi-bin/meta/meta.ger1-asso HTTP/1.1\r");
    QCOMPARE(lines.mid(1, 5), (QList<QByteArray>{"Host: 127.0.0.1\r", "Keep-Alive: 300\r",
                                                 "Connection-Type: keep-alive\r",
                                                 "Referer: /cgi-bin/meta/meta.ger1-asso\r",
                                                 "Content-type: text/html\r"}));
    QVERIFY(lines.contains("Content-Length: 30\r"));
    QVERIFY(lines.contains("Accept-Encoding: identity\r"));
    int hosts = 0;
    for (const QByteArray &line : lines) {
        hosts += line.toLower().startsWith("host:") ? 1 : 0;
        QVERIFY2(!line.contains("::"), line.constData());
    }
    QCOMPARE(hosts, 1);
    QCOMPARE(m_server->lastRequestBody(), body);
}

void TestHttpClient::reportsOneRequestInOrderWhileTheBodyArrives()
{
    m_server->setResponse({{header200("Content-Length: 6\r\n") + "abc", 0}, {"def", 150}}, false);
    // What the device holds whenever progress is reported.
    QList<qint64> held;
    connect(m_client.get(), &HttpClient::dataReadProgress, this,
            [&held, this] { held.append(m_device->size()); });
    const int hostId = m_client->setHost(LocalHost, m_server->port());
    const int requestId = m_client->request(searchHeader(), "x=1", m_device);
    QVERIFY(m_recorder->lines.isEmpty());
    QVERIFY(hostId < requestId);
    QTRY_VERIFY(m_recorder->isDone());

    const QStringList order = m_recorder->without({QStringLiteral("state")});
    QCOMPARE(order.first(), QStringLiteral("started %1").arg(hostId));
    const QStringList expected{
        QStringLiteral("started %1").arg(hostId),       QStringLiteral("finished %1 0").arg(hostId),
        QStringLiteral("started %1").arg(requestId),    QStringLiteral("header 200"),
        QStringLiteral("finished %1 0").arg(requestId), QStringLiteral("done 0")};
    QCOMPARE(m_recorder->without({QStringLiteral("state"), QStringLiteral("progress")}), expected);
    const QStringList progress = m_recorder->only(QStringLiteral("progress"));
    QVERIFY(order.indexOf(progress.first()) > order.indexOf(QStringLiteral("header 200")));
    QCOMPARE(order.at(order.size() - 3), QStringLiteral("progress 6/6"));
    QVERIFY2(progress.size() >= 2, "the body was not written as it arrived");
    QCOMPARE(held.first(), 3);
    QCOMPARE(held.last(), 6);
    QCOMPARE(m_device->data(), "abcdef");
    QCOMPARE(m_recorder->only(QStringLiteral("state")),
             (QStringList{stateLine(HttpClient::Connecting), stateLine(HttpClient::Sending),
                          stateLine(HttpClient::Reading), stateLine(HttpClient::Connected)}));
}

void TestHttpClient::errorStatusesAreResponses_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("extra");
    QTest::newRow("200") << 200 << QByteArray();
    QTest::newRow("404") << 404 << QByteArray();
    QTest::newRow("302") << 302 << QByteArray("Location: /elsewhere\r\n");
    QTest::newRow("500") << 500 << QByteArray();
}

void TestHttpClient::errorStatusesAreResponses()
{
    QFETCH(int, status);
    QFETCH(QByteArray, extra);
    m_server->setResponse(TestHttpServer::response(status, "page", extra));
    QSignalSpy headers(m_client.get(), &HttpClient::responseHeaderReceived);
    const int id = start();
    QTRY_VERIFY(m_recorder->isDone());

    QCOMPARE(headers.size(), 1);
    const auto response = headers.at(0).at(0).value<HttpResponseHeader>();
    QCOMPARE(response.statusCode(), status);
    QCOMPARE(response.reasonPhrase(), QStringLiteral("Scripted"));
    QCOMPARE(response.contentLength(), 4);
    QVERIFY(m_recorder->lines.contains(QStringLiteral("finished %1 0").arg(id)));
    QCOMPARE(m_recorder->lines.last(), QStringLiteral("done 0"));
    QCOMPARE(m_client->error(), HttpClient::NoError);
    QCOMPARE(m_client->errorString(), QStringLiteral("Unknown error"));
    QCOMPARE(m_device->data(), "page");
    QCOMPARE(m_server->requestCount(), 1);
}

void TestHttpClient::readsEveryBodyFraming_data()
{
    QTest::addColumn<QList<Step>>("steps");
    QTest::addColumn<bool>("closeAfter");
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("state");

    QTest::newRow("length, kept") << QList<Step>{{TestHttpServer::response(200, "hello world"), 0}}
                                  << false << 11 << int(HttpClient::Connected);
    QTest::newRow("length, Connection: close")
        << QList<Step>{{TestHttpServer::response(200, "hello world", "Connection: close\r\n"), 0}}
        << true << 11 << int(HttpClient::Unconnected);
    QTest::newRow("until close") << QList<Step>{{header200({}) + "hello", 0}, {" world", 30}}
                                 << true << 0 << int(HttpClient::Unconnected);
    QTest::newRow("HTTP/1.0 until close") << QList<Step>{{"HTTP/1.0 200 OK\r\n\r\nhello world", 0}}
                                          << true << 0 << int(HttpClient::Unconnected);
    QTest::newRow("chunked")
        << QList<Step>{{header200("Transfer-Encoding: chunked\r\n") + "5\r\nhello\r\n", 0},
                       {"6\r\n world\r\n0\r\n\r\n", 30}}
        << false << 0 << int(HttpClient::Connected);
}

void TestHttpClient::readsEveryBodyFraming()
{
    QFETCH(QList<Step>, steps);
    QFETCH(bool, closeAfter);
    QFETCH(int, total);
    QFETCH(int, state);
    m_server->setResponse(steps, closeAfter);
    start();
    QTRY_VERIFY(m_recorder->isDone());

    QCOMPARE(m_recorder->lines.last(), QStringLiteral("done 0"));
    QCOMPARE(m_device->data(), "hello world");
    QCOMPARE(m_recorder->only(QStringLiteral("progress")).last(),
             QStringLiteral("progress 11/%1").arg(total));
    QCOMPARE(int(m_client->state()), state);
}

void TestHttpClient::reportsTransportFailures_data()
{
    QTest::addColumn<QList<Step>>("steps");
    QTest::addColumn<bool>("closeAfter");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<int>("error");

    const QByteArray cutLength = header200("Content-Length: 20\r\n") + "hello";
    const QByteArray cutChunk = header200("Transfer-Encoding: chunked\r\n") + "5\r\nhello\r\n";
    QTest::newRow("refused") << QList<Step>{} << true << true << int(HttpClient::ConnectionRefused);
    QTest::newRow("closed before answering")
        << QList<Step>{} << true << false << int(HttpClient::UnexpectedClose);
    QTest::newRow("closed mid-body")
        << QList<Step>{{cutLength, 0}} << true << false << int(HttpClient::WrongContentLength);
    QTest::newRow("closed mid-chunk")
        << QList<Step>{{cutChunk, 0}} << true << false << int(HttpClient::UnexpectedClose);
    QTest::newRow("stall before header")
        << QList<Step>{} << false << false << int(HttpClient::Timeout);
    QTest::newRow("stall mid-body")
        << QList<Step>{{cutLength, 0}} << false << false << int(HttpClient::Timeout);
}

void TestHttpClient::reportsTransportFailures()
{
    QFETCH(QList<Step>, steps);
    QFETCH(bool, closeAfter);
    QFETCH(bool, refused);
    QFETCH(int, error);
    m_server->setResponse(steps, closeAfter);
    quint16 port = m_server->port();
    if (refused) {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        port = closed.serverPort();
    }
    m_client->setTransferTimeout(300);
    m_client->setHost(LocalHost, port);
    const int id = m_client->request(searchHeader(), "x=1", m_device);
    const int droppedId = m_client->request(searchHeader(), "x=2", m_device);
    QTRY_VERIFY(m_recorder->isDone());

    const QStringList tail = m_recorder->lines.mid(m_recorder->lines.size() - 3);
    QCOMPARE(tail,
             (QStringList{stateLine(HttpClient::Unconnected),
                          QStringLiteral("finished %1 1").arg(id), QStringLiteral("done 1")}));
    QVERIFY(!m_client->hasPendingRequests());
    QVERIFY(!m_recorder->started(droppedId));
    QCOMPARE(int(m_client->error()), error);
    QCOMPARE(m_client->state(), HttpClient::Unconnected);
    QVERIFY(m_client->errorString() != QStringLiteral("Unknown error"));
    if (error == HttpClient::Timeout)
        QVERIFY(m_client->errorString().contains(QStringLiteral("timed out")));
}

void TestHttpClient::timesOutOnSilenceNotOnDuration()
{
    // The whole body takes longer than the timeout, every gap far less: wide margins keep this
    // steady on a loaded machine.
    QList<Step> steps{{header200("Content-Length: 8\r\n"), 0}};
    for (int i = 0; i < 8; ++i)
        steps.append({"x", 150});
    m_server->setResponse(steps);
    m_client->setTransferTimeout(1000);
    start();
    QTRY_VERIFY(m_recorder->isDone());
    QCOMPARE(m_recorder->lines.last(), QStringLiteral("done 0"));
    QCOMPARE(m_device->data(), "xxxxxxxx");
}

void TestHttpClient::abortEndsTheCurrentAndDropsTheQueue_data()
{
    QTest::addColumn<QString>("when");
    QTest::newRow("before it starts") << QStringLiteral("queued");
    QTest::newRow("on the response header") << QStringLiteral("header");
    QTest::newRow("during the body") << QStringLiteral("body");
}

void TestHttpClient::abortEndsTheCurrentAndDropsTheQueue()
{
    QFETCH(QString, when);
    m_server->setResponse({{header200("Content-Length: 9\r\n") + "abc", 0}, {"def", 100}}, false);
    if (when == QStringLiteral("header"))
        connect(m_client.get(), &HttpClient::responseHeaderReceived, this,
                [this] { m_client->abort(); });
    if (when == QStringLiteral("body"))
        connect(m_client.get(), &HttpClient::dataReadProgress, this, [this] { m_client->abort(); });
    const int id = start();
    const int laterId = m_client->request(searchHeader(), "x=2", m_device);
    const int closeId = m_client->close();
    if (when == QStringLiteral("queued"))
        m_client->abort();
    QTRY_VERIFY(m_recorder->isDone());

    QCOMPARE(m_recorder->lines.last(), QStringLiteral("done 1"));
    QCOMPARE(m_recorder->only(QStringLiteral("done")).size(), 1);
    QCOMPARE(m_recorder->started(id), when != QStringLiteral("queued"));
    if (m_recorder->started(id))
        QVERIFY(m_recorder->lines.contains(QStringLiteral("finished %1 1").arg(id)));
    QVERIFY(!m_recorder->started(laterId));
    QVERIFY(!m_recorder->started(closeId));
    QVERIFY(!m_client->hasPendingRequests());
    QCOMPARE(m_client->error(), HttpClient::Aborted);
    QCOMPARE(m_client->errorString(), QStringLiteral("Request aborted"));
    QCOMPARE(m_client->state(), HttpClient::Unconnected);
    QCOMPARE(m_device->data(), when == QStringLiteral("body") ? "abc" : "");

    // Nothing is left to abort.
    const qsizetype seen = m_recorder->lines.size();
    m_client->abort();
    QCOMPARE(m_recorder->lines.size(), seen);
}

void TestHttpClient::discardAllSilencesTheTransfer()
{
    m_server->setResponse({{header200("Content-Length: 6\r\n") + "abc", 0}, {"def", 150}}, false);
    const int oldId = start();
    const int oldCloseId = m_client->close();
    QTRY_COMPARE(m_device->data(), "abc");
    m_client->discardAll();
    const qsizetype seen = m_recorder->lines.size();

    // The old remainder would arrive well before this answer does.
    m_server->setResponse({{TestHttpServer::response(200, "fresh"), 300}}, false);
    QBuffer *fresh = openBuffer(m_client.get());
    const int newId = m_client->request(searchHeader(), "x=2", fresh);
    QTRY_VERIFY(m_recorder->lines.contains(QStringLiteral("done 0")));

    const QStringList after = m_recorder->lines.mid(seen);
    QCOMPARE(after.first(), QStringLiteral("started %1").arg(newId));
    for (const QString &line : after) {
        const int lineId = line.section(QLatin1Char(' '), 1, 1).toInt();
        QVERIFY2(line.startsWith(QStringLiteral("state")) ||
                     (lineId != oldId && lineId != oldCloseId),
                 qPrintable(line));
    }
    QCOMPARE(m_device->data(), "abc");
    QCOMPARE(fresh->data(), "fresh");
    QCOMPARE(m_server->requestCount(), 2);
}

void TestHttpClient::keepsTheConnectionUntilClosed()
{
    m_server->setResponse(TestHttpServer::response(200, "ok"), false);
    const int firstId = start();
    QTRY_VERIFY(m_recorder->isDone());
    const int secondId = m_client->request(searchHeader(), "x=2", openBuffer(m_client.get()));
    QTRY_COMPARE(m_recorder->only(QStringLiteral("done")).size(), 2);
    QCOMPARE(m_client->state(), HttpClient::Connected);
    QCOMPARE(m_server->connectionCount(), 1);

    m_recorder->lines.clear();
    const int closeId = m_client->close();
    QVERIFY(firstId < secondId && secondId < closeId);
    QTRY_VERIFY(m_recorder->isDone());
    QCOMPARE(m_recorder->lines,
             (QStringList{QStringLiteral("started %1").arg(closeId), stateLine(HttpClient::Closing),
                          stateLine(HttpClient::Unconnected),
                          QStringLiteral("finished %1 0").arg(closeId), QStringLiteral("done 0")}));

    m_client->request(searchHeader(), "x=3", openBuffer(m_client.get()));
    QTRY_COMPARE(m_recorder->only(QStringLiteral("done")).size(), 2);
    QCOMPARE(m_server->connectionCount(), 2);
}

void TestHttpClient::closeQueuedOnFinishRunsBeforeDone()
{
    m_server->setResponse(TestHttpServer::response(200, "ok"), false);
    int closeId = 0;
    const int id = start();
    connect(m_client.get(), &HttpClient::requestFinished, this, [&](int finished, bool error) {
        if (finished == id && !error)
            closeId = m_client->close();
    });
    QTRY_VERIFY(m_recorder->isDone());
    const QStringList order = m_recorder->without({QStringLiteral("state")});
    QCOMPARE(order.mid(order.size() - 4),
             (QStringList{QStringLiteral("finished %1 0").arg(id),
                          QStringLiteral("started %1").arg(closeId),
                          QStringLiteral("finished %1 0").arg(closeId), QStringLiteral("done 0")}));
    QCOMPARE(m_recorder->only(QStringLiteral("done")).size(), 1);
    QCOMPARE(m_client->state(), HttpClient::Unconnected);
}

void TestHttpClient::keepsTheBodyWithoutDevice()
{
    m_server->setResponse({{header200("Content-Length: 6\r\n") + "abc", 0}, {"def", 50}});
    QByteArray body;
    connect(m_client.get(), &HttpClient::readyRead, this,
            [&body, this] { body += m_client->readAll(); });
    m_client->setHost(LocalHost, m_server->port());
    m_client->request(searchHeader(), "x=1", nullptr);
    QTRY_VERIFY(m_recorder->isDone());
    QCOMPARE(body, "abcdef");
    QVERIFY(m_recorder->only(QStringLiteral("ready")).size() >= 2);
    QCOMPARE(m_client->bytesAvailable(), 0);
}

void TestHttpClient::failsWhenTheDeviceDisappears()
{
    m_server->setResponse({{header200("Content-Length: 6\r\n") + "abc", 0}, {"def", 100}});
    QPointer<QBuffer> device = openBuffer(nullptr);
    start(searchHeader(), device);
    QTRY_COMPARE(device->data(), "abc");
    delete device;
    QTRY_VERIFY(m_recorder->isDone());
    QCOMPARE(m_recorder->lines.last(), QStringLiteral("done 1"));
    QCOMPARE(m_client->error(), HttpClient::UnknownError);
}

void TestHttpClient::diesCleanlyMidTransfer()
{
    m_server->setResponse({{header200("Content-Length: 6\r\n") + "abc", 0}, {"def", 100}});
    start();
    QTRY_COMPARE(m_device->data(), "abc");
    m_recorder.reset();
    m_client.reset();
    // The released reply goes with the next round of deferred deletions.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTest::qWait(150); // let late bytes reach whatever would still listen
}

QTEST_GUILESS_MAIN(TestHttpClient)
#include "tst_httpclient.moc"
