#include "associationservice.h"
#include "httpserver.h"
#include "httptestclient.h"
#include "lexicon.h"
#include "servicefixture.h"
#include "serviceoptions.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTest>

#include <memory>

using Reply = HttpTestClient::Reply;

class TestAssocServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void desktopRequestGetsThePage();
    void getHeadAndJson();
    void pipelinedRequestsAreAnsweredInOrder();
    void connectionClosesWhenAsked_data();
    void connectionClosesWhenAsked();
    void badRequestsAreRefused_data();
    void badRequestsAreRefused();
    void bodyLimitIsKeptWithoutReadingTheBody();
    void expectContinueIsAnswered();
    void idleConnectionsAreClosed();
    void connectionsAreBounded();

    void listenOptionIsParsed_data();
    void listenOptionIsParsed();
    void programServesAndReportsItsPort();
    void programReportsMissingData_data();
    void programReportsMissingData();
    void programReportsATakenPort();
    void helpExplainsEveryOption();

private:
    void startServer(const HttpLimits &limits);
    static QStringList wordsOf(const QByteArray &page);
    static int runProgram(const QStringList &arguments, QByteArray *output, QByteArray *errors);

    Lexicon m_lexicon;
    std::unique_ptr<AssociationService> m_service;
    std::unique_ptr<HttpServer> m_server;
};

void TestAssocServer::initTestCase()
{
    QString error;
    QVERIFY2(
        m_lexicon.load(ServiceFixture::thesaurusPath(), ServiceFixture::wordListPath(), &error),
        qPrintable(error));
}

void TestAssocServer::init()
{
    startServer(HttpLimits());
}

void TestAssocServer::cleanup()
{
    m_server.reset();
    m_service.reset();
}

void TestAssocServer::startServer(const HttpLimits &limits)
{
    m_server.reset();
    m_service = std::make_unique<AssociationService>(&m_lexicon);
    m_server = std::make_unique<HttpServer>(m_service.get(), limits);
    QVERIFY(m_server->listen(QHostAddress(QHostAddress::LocalHost), 0));
}

// The words as the desktop program finds them: lazy groups, dot matching newlines.
QStringList TestAssocServer::wordsOf(const QByteArray &page)
{
    static const QRegularExpression pattern(
        QStringLiteral("<center>(.*?)ueber(.*?)>(.*?)</a></center>"),
        QRegularExpression::DotMatchesEverythingOption);
    QStringList words;
    auto it = pattern.globalMatch(QString::fromUtf8(page));
    while (it.hasNext()) {
        words.append(it.next().captured(3));
    }
    return words;
}

void TestAssocServer::desktopRequestGetsThePage()
{
    HttpTestClient client;
    QVERIFY(client.connectTo(m_server->port()));
    client.send(HttpTestClient::desktopPost("eingabe=Baum&anzahl=200"));
    Reply reply = client.next();
    QCOMPARE(reply.status, 200);
    QCOMPARE(reply.headers.value("content-type"), QByteArray("text/html; charset=utf-8"));
    QCOMPARE(wordsOf(reply.body), ServiceFixture::baumWords());

    // The same connection serves the next search; Latin-1 percent-encoded as the program sends.
    client.send(HttpTestClient::desktopPost("eingabe=H%F6hle&anzahl=200"));
    reply = client.next();
    QCOMPARE(reply.status, 200);
    QCOMPARE(wordsOf(reply.body), ServiceFixture::hoehleWords());

    // The classic client: doubled colons after three names, raw Latin-1, "&" left unescaped.
    client.send("POST /cgi-bin/meta/meta.ger1-asso HTTP/1.1\r\nHost: assoc\r\n"
                "Keep-Alive:: 300\r\nConnection-Type:: keep-alive\r\n"
                "Referer:: /cgi-bin/meta/meta.ger1-asso\r\nContent-type: text/html\r\n"
                "Content-Length: 28\r\n\r\neingabe=H\xF6hle&x&anzahl=2&z=1");
    reply = client.next();
    QCOMPARE(reply.status, 200);
    QCOMPARE(wordsOf(reply.body), ServiceFixture::hoehleWords().mid(0, 2));

    // No keyword: a page without blocks, which the program reports as nothing found.
    client.send(HttpTestClient::desktopPost("eingabe=&anzahl=200"));
    reply = client.next();
    QCOMPARE(reply.status, 200);
    QVERIFY(wordsOf(reply.body).isEmpty());
    QVERIFY(client.isOpen());
}

void TestAssocServer::getHeadAndJson()
{
    HttpTestClient client;
    QVERIFY(client.connectTo(m_server->port()));
    client.send(HttpTestClient::get("/cgi-bin/meta/meta.ger1-asso?eingabe=gr%C3%BCne+Lunge"));
    Reply reply = client.next();
    QCOMPARE(wordsOf(reply.body), QStringList({"Stadtpark", "Parkanlage"}));

    client.send(HttpTestClient::get("/cgi-bin/meta/meta.ger1-asso?eingabe=Baum&anzahl=3",
                                    "Accept: text/html;q=0.5, application/json\r\n"));
    reply = client.next();
    QCOMPARE(reply.headers.value("content-type"), QByteArray("application/json; charset=utf-8"));
    QJsonObject object = QJsonDocument::fromJson(reply.body).object();
    QCOMPARE(object.value(QStringLiteral("count")).toInt(), 3);

    client.send(HttpTestClient::get("/cgi-bin/meta/meta.ger1-asso?format=json&eingabe=H%F6hle"));
    reply = client.next();
    object = QJsonDocument::fromJson(reply.body).object();
    QCOMPARE(object.value(QStringLiteral("keyword")).toString(), QStringLiteral("Höhle"));
    QCOMPARE(object.value(QStringLiteral("count")).toInt(), ServiceFixture::hoehleWords().size());

    client.send("HEAD /cgi-bin/meta/meta.ger1-asso?eingabe=Baum HTTP/1.1\r\nHost: x\r\n\r\n");
    reply = client.next(true);
    QCOMPARE(reply.status, 200);
    QVERIFY(reply.headers.value("content-length").toInt() > 1000);
    // Nothing of the body may follow: the next reply must start right away.
    client.send(HttpTestClient::get("/cgi-bin/meta/meta.ger1-asso?eingabe=Baum&anzahl=1"));
    reply = client.next();
    QCOMPARE(wordsOf(reply.body), ServiceFixture::baumWords().mid(0, 1));
}

void TestAssocServer::pipelinedRequestsAreAnsweredInOrder()
{
    HttpTestClient client;
    QVERIFY(client.connectTo(m_server->port()));
    client.send(HttpTestClient::desktopPost("eingabe=Baum&anzahl=1") +
                HttpTestClient::get("/nowhere") +
                HttpTestClient::get("/cgi-bin/meta/meta.ger1-asso?eingabe=H%C3%B6hle&anzahl=1"));
    QCOMPARE(wordsOf(client.next().body), ServiceFixture::baumWords().mid(0, 1));
    QCOMPARE(client.next().status, 404);
    QCOMPARE(wordsOf(client.next().body), ServiceFixture::hoehleWords().mid(0, 1));
}

void TestAssocServer::connectionClosesWhenAsked_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<bool>("closes");
    const QByteArray target = "GET /cgi-bin/meta/meta.ger1-asso?eingabe=Baum ";
    QTest::newRow("1.1") << target + "HTTP/1.1\r\nHost: x\r\n\r\n" << false;
    QTest::newRow("1.1 close") << target + "HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n"
                               << true;
    QTest::newRow("1.0") << target + "HTTP/1.0\r\n\r\n" << true;
    QTest::newRow("1.0 keep-alive") << target + "HTTP/1.0\r\nConnection: Keep-Alive\r\n\r\n"
                                    << false;
}

void TestAssocServer::connectionClosesWhenAsked()
{
    QFETCH(QByteArray, request);
    QFETCH(bool, closes);
    HttpTestClient client;
    QVERIFY(client.connectTo(m_server->port()));
    client.send(request);
    const Reply reply = client.next();
    QCOMPARE(reply.status, 200);
    QCOMPARE(reply.headers.value("connection"), closes ? QByteArray("close") : "keep-alive");
    QCOMPARE(client.waitForClose(closes ? 5000 : 200), closes);
}

void TestAssocServer::badRequestsAreRefused_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("closes");
    const QByteArray path = "/cgi-bin/meta/meta.ger1-asso";
    const QByteArray post = "POST " + path + " HTTP/1.1\r\nHost: x\r\n";
    QTest::newRow("other path") << HttpTestClient::get("/cgi-bin/meta/other?eingabe=Baum") << 404
                                << false;
    QTest::newRow("root") << HttpTestClient::get("/") << 404 << false;
    QTest::newRow("delete") << "DELETE " + path + " HTTP/1.1\r\nHost: x\r\n\r\n" << 405 << false;
    QTest::newRow("put with body") << "PUT " + path +
                                          " HTTP/1.1\r\nHost: x\r\n"
                                          "Content-Length: 4\r\n\r\nabcd"
                                   << 405 << false;
    QTest::newRow("garbage") << QByteArray("HELLO\r\n\r\n") << 400 << true;
    QTest::newRow("no host") << "GET " + path + " HTTP/1.1\r\n\r\n" << 400 << true;
    QTest::newRow("two hosts") << "GET " + path + " HTTP/1.1\r\nHost: a\r\nHost: b\r\n\r\n"
                               << 400 << true;
    QTest::newRow("bad length") << post + "Content-Length: 12x\r\n\r\n" << 400 << true;
    QTest::newRow("negative length") << post + "Content-Length: -1\r\n\r\n" << 400 << true;
    QTest::newRow("two lengths") << post + "Content-Length: 3\r\nContent-Length: 4\r\n\r\nabcd"
                                 << 400 << true;
    QTest::newRow("no colon") << post + "Broken header\r\n\r\n" << 400 << true;
    QTest::newRow("blank before colon") << post + "Accept : */*\r\n\r\n" << 400 << true;
    QTest::newRow("folded line") << post + "Accept: a\r\n b\r\n\r\n" << 400 << true;
    QTest::newRow("relative target")
        << QByteArray("GET cgi-bin HTTP/1.1\r\nHost: x\r\n\r\n") << 400 << true;
    QTest::newRow("blank in target") << "GET " + path + "?a b HTTP/1.1\r\nHost: x\r\n\r\n"
                                     << 400 << true;
    QTest::newRow("bad version") << "GET " + path + " HTTX/1.1\r\nHost: x\r\n\r\n" << 400 << true;
    QTest::newRow("version 2") << "GET " + path + " HTTP/2.0\r\nHost: x\r\n\r\n" << 505 << true;
    QTest::newRow("chunked") << post + "Transfer-Encoding: chunked\r\n\r\n4\r\nabcd\r\n0\r\n\r\n"
                             << 501 << true;
    QTest::newRow("huge head") << "GET " + path +
                                      " HTTP/1.1\r\nHost: x\r\nX-Fill: " + QByteArray(20000, 'a') +
                                      "\r\n\r\n"
                               << 431 << true;
    QTest::newRow("endless head") << "GET " + path +
                                         " HTTP/1.1\r\nX-Fill: " + QByteArray(200000, 'a')
                                  << 431 << true;
}

void TestAssocServer::badRequestsAreRefused()
{
    QFETCH(QByteArray, request);
    QFETCH(int, status);
    QFETCH(bool, closes);
    HttpTestClient client;
    QVERIFY(client.connectTo(m_server->port()));
    client.send(request);
    const Reply reply = client.next();
    QCOMPARE(reply.status, status);
    if (status == 405) {
        QCOMPARE(reply.headers.value("allow"), QByteArray("GET, HEAD, POST"));
    }
    QCOMPARE(client.waitForClose(closes ? 5000 : 200), closes);
    if (!closes) {
        client.send(HttpTestClient::desktopPost("eingabe=Baum&anzahl=1"));
        QCOMPARE(wordsOf(client.next().body), ServiceFixture::baumWords().mid(0, 1));
    }
    // A refused request leaves the server serving others.
    HttpTestClient other;
    QVERIFY(other.connectTo(m_server->port()));
    other.send(HttpTestClient::desktopPost("eingabe=Baum&anzahl=1"));
    QCOMPARE(other.next().status, 200);
}

void TestAssocServer::bodyLimitIsKeptWithoutReadingTheBody()
{
    HttpTestClient client;
    QVERIFY(client.connectTo(m_server->port()));
    // Only the head is sent: the answer must not wait for the announced body.
    client.send("POST /cgi-bin/meta/meta.ger1-asso HTTP/1.1\r\nHost: x\r\n"
                "Content-Length: 65537\r\n\r\neingabe=Baum");
    QCOMPARE(client.next().status, 413);
    QVERIFY(client.waitForClose());

    // Exactly 64 KiB is allowed.
    QByteArray body = "eingabe=Baum&anzahl=2&x=";
    body.append(QByteArray(64 * 1024 - body.size(), 'x'));
    HttpTestClient full;
    QVERIFY(full.connectTo(m_server->port()));
    full.send(HttpTestClient::desktopPost(body));
    const Reply reply = full.next();
    QCOMPARE(reply.status, 200);
    QCOMPARE(wordsOf(reply.body), ServiceFixture::baumWords().mid(0, 2));
}

void TestAssocServer::expectContinueIsAnswered()
{
    HttpTestClient client;
    QVERIFY(client.connectTo(m_server->port()));
    client.send("POST /cgi-bin/meta/meta.ger1-asso HTTP/1.1\r\nHost: x\r\n"
                "Expect: 100-continue\r\nContent-Length: 22\r\n\r\n");
    QCOMPARE(client.next().status, 100);
    client.send("eingabe=Baum&anzahl=1&");
    const Reply reply = client.next();
    QCOMPARE(reply.status, 200);
    QCOMPARE(wordsOf(reply.body), ServiceFixture::baumWords().mid(0, 1));
}

void TestAssocServer::idleConnectionsAreClosed()
{
    HttpLimits limits;
    limits.idleTimeoutMs = 200;
    limits.lingerMs = 200;
    startServer(limits);

    HttpTestClient silent;
    QVERIFY(silent.connectTo(m_server->port()));
    HttpTestClient trickling;
    QVERIFY(trickling.connectTo(m_server->port()));
    HttpTestClient served;
    QVERIFY(served.connectTo(m_server->port()));
    served.send(HttpTestClient::desktopPost("eingabe=Baum&anzahl=1"));
    QCOMPARE(served.next().status, 200);
    // Bytes that never make a request do not keep a connection alive: it is closed while the
    // client is still sending (well before the 100th byte).
    for (int i = 0; i < 100 && trickling.isOpen(); ++i) {
        trickling.send("G");
        QTest::qWait(50);
    }
    QVERIFY(!trickling.isOpen());
    QVERIFY(silent.waitForClose());
    QVERIFY(served.waitForClose());
    QTRY_COMPARE(m_server->connectionCount(), 0);
}

void TestAssocServer::connectionsAreBounded()
{
    HttpLimits limits;
    limits.maxConnections = 2;
    startServer(limits);

    HttpTestClient first;
    HttpTestClient second;
    QVERIFY(first.connectTo(m_server->port()));
    QVERIFY(second.connectTo(m_server->port()));
    QTRY_COMPARE(m_server->connectionCount(), 2);
    HttpTestClient third;
    QVERIFY(third.connectTo(m_server->port()));
    QCOMPARE(third.next().status, 503);
    QVERIFY(third.waitForClose());

    // The admitted ones are served, and a freed place is given to the next client.
    second.send(HttpTestClient::desktopPost("eingabe=Baum&anzahl=1"));
    QCOMPARE(second.next().status, 200);
    first.send(HttpTestClient::get("/x", "Connection: close\r\n"));
    QVERIFY(first.waitForClose());
    QTRY_COMPARE(m_server->connectionCount(), 1);
    HttpTestClient fourth;
    QVERIFY(fourth.connectTo(m_server->port()));
    fourth.send(HttpTestClient::desktopPost("eingabe=Baum&anzahl=1"));
    QCOMPARE(fourth.next().status, 200);
}

void TestAssocServer::listenOptionIsParsed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("port");
    QTest::newRow("ipv4") << "127.0.0.1:8080" << true << "127.0.0.1" << 8080;
    QTest::newRow("free port") << "0.0.0.0:0" << true << "0.0.0.0" << 0;
    QTest::newRow("ipv6") << "[::1]:27431" << true << "::1" << 27431;
    QTest::newRow("localhost") << "localhost:1" << true << "127.0.0.1" << 1;
    QTest::newRow("no port") << "127.0.0.1" << false << QString() << 0;
    QTest::newRow("empty port") << "127.0.0.1:" << false << QString() << 0;
    QTest::newRow("port too big") << "127.0.0.1:65536" << false << QString() << 0;
    QTest::newRow("ipv6 without brackets") << "::1:80" << false << QString() << 0;
    QTest::newRow("host name") << "example.org:80" << false << QString() << 0;
}

void TestAssocServer::listenOptionIsParsed()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QString, address);
    QFETCH(int, port);
    QHostAddress parsedAddress;
    quint16 parsedPort = 0;
    QCOMPARE(ServiceOptions::parseListen(text, &parsedAddress, &parsedPort), valid);
    if (valid) {
        QCOMPARE(parsedAddress.toString(), address);
        QCOMPARE(int(parsedPort), port);
    }
}

int TestAssocServer::runProgram(const QStringList &arguments, QByteArray *output,
                                QByteArray *errors)
{
    QProcess process;
    process.start(QStringLiteral(LEXIGROVE_ASSOCD), arguments);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    *output = process.readAllStandardOutput();
    *errors = process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void TestAssocServer::programServesAndReportsItsPort()
{
    QProcess process;
    process.start(QStringLiteral(LEXIGROVE_ASSOCD),
                  {QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                   QStringLiteral("--thesaurus"), ServiceFixture::thesaurusPath(),
                   QStringLiteral("--wordlist"), ServiceFixture::wordListPath()});
    QVERIFY(process.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(process.canReadLine(), 30000);
    const QByteArray line = process.readLine();
    const QRegularExpression format(
        QStringLiteral("^lexigrove-assocd listening on http://127\\.0\\.0\\.1:(\\d+)\n$"));
    const QRegularExpressionMatch match = format.match(QString::fromLatin1(line));
    QVERIFY2(match.hasMatch(), line.constData());
    const quint16 port = quint16(match.captured(1).toUInt());
    QVERIFY(port != 0);

    HttpTestClient client;
    QVERIFY(client.connectTo(port));
    client.send(HttpTestClient::desktopPost("eingabe=Baum&anzahl=200"));
    QCOMPARE(wordsOf(client.next(false, 10000).body), ServiceFixture::baumWords());
    process.terminate();
    QVERIFY(process.waitForFinished());
    QVERIFY(process.readAllStandardOutput().isEmpty()); // the one line only
}

void TestAssocServer::programReportsMissingData_data()
{
    QTest::addColumn<QString>("thesaurus");
    QTest::addColumn<QString>("wordList");
    QTest::addColumn<QString>("expected");
    const QString missing = ServiceFixture::dataDir() + QStringLiteral("/missing");
    QTest::newRow("thesaurus") << missing + ".dat" << ServiceFixture::wordListPath()
                               << "missing.idx is missing (the Debian package mythes-de";
    QTest::newRow("word list") << ServiceFixture::thesaurusPath() << missing + ".txt"
                               << "missing.txt is missing (the Debian package wngerman";
}

void TestAssocServer::programReportsMissingData()
{
    QFETCH(QString, thesaurus);
    QFETCH(QString, wordList);
    QFETCH(QString, expected);
    QByteArray output;
    QByteArray errors;
    const int code = runProgram(
        {QStringLiteral("--thesaurus"), thesaurus, QStringLiteral("--wordlist"), wordList}, &output,
        &errors);
    QVERIFY(code > 0);
    QVERIFY(output.isEmpty());
    QVERIFY2(QString::fromLocal8Bit(errors).contains(expected), errors.constData());
}

void TestAssocServer::programReportsATakenPort()
{
    QTcpServer taken;
    QVERIFY(taken.listen(QHostAddress(QHostAddress::LocalHost), 0));
    QByteArray output;
    QByteArray errors;
    const QString address = QStringLiteral("127.0.0.1:%1").arg(taken.serverPort());
    const int code = runProgram({QStringLiteral("--listen"), address, QStringLiteral("--thesaurus"),
                                 ServiceFixture::thesaurusPath(), QStringLiteral("--wordlist"),
                                 ServiceFixture::wordListPath()},
                                &output, &errors);
    QVERIFY(code > 0);
    QVERIFY(output.isEmpty());
    QVERIFY2(errors.contains(QByteArray("cannot listen on ").append(address.toLatin1())),
             errors.constData());

    QVERIFY(runProgram({QStringLiteral("--listen"), QStringLiteral("nonsense")}, &output, &errors) >
            0);
    QVERIFY2(errors.contains("--listen"), errors.constData());
}

void TestAssocServer::helpExplainsEveryOption()
{
    QByteArray output;
    QByteArray errors;
    QCOMPARE(runProgram({QStringLiteral("--help")}, &output, &errors), 0);
    for (const char *option : {"--listen", "--thesaurus", "--wordlist", "--help", "27431",
                               "/cgi-bin/meta/meta.ger1-asso", "application/json"}) {
        QVERIFY2(output.contains(option), option);
    }
}

QTEST_GUILESS_MAIN(TestAssocServer)
#include "tst_assocserver.moc"
