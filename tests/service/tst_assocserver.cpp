#include "http/httpserver.h"
#include "httptestclient.h"
#include "servicefixture.h"
#include "web/associationservice.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

using Reply = HttpTestClient::Reply;

namespace {

const QByteArray path = "/cgi-bin/meta/meta.ger1-asso";
const QByteArray baumOne = HttpTestClient::get(path + "?eingabe=Baum&anzahl=1");

} // namespace

class TestAssocServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void exchanges_data();
    void exchanges();
    void deadlinesCloseOnlyStalledConnections();
    void connectionsAreBounded_data();
    void connectionsAreBounded();

    void compileReportsWriteErrors();
    void changedIndexStopsTheService_data();
    void changedIndexStopsTheService();

private:
    void startServer(const HttpLimits &limits);
    static QString summary(const Reply &reply);

    std::unique_ptr<AssociationService> m_service;
    std::unique_ptr<HttpServer> m_server;
    QTemporaryDir m_dir;
};

void TestAssocServer::initTestCase()
{
    m_service = std::make_unique<AssociationService>(&ServiceFixture::lexicon());
    QVERIFY(m_dir.isValid());
    QCOMPARE(::mkfifo(QFile::encodeName(m_dir.filePath(u"fifo"_s)).constData(), 0600), 0);
}

void TestAssocServer::startServer(const HttpLimits &limits)
{
    m_server.reset();
    m_server = std::make_unique<HttpServer>(m_service.get(), limits);
    QVERIFY(m_server->listen(QHostAddress(QHostAddress::LocalHost), 0));
}

// A reply in one line: the status, the Allow field if any, then the words of a page or the
// keyword and count of JSON.
QString TestAssocServer::summary(const Reply &reply)
{
    QString text = QString::number(reply.status);
    if (reply.headers.contains("allow")) {
        text += ' ' + QString::fromLatin1(reply.headers.value("allow"));
    }
    if (reply.headers.value("content-type").startsWith("application/json")) {
        const QJsonObject object = QJsonDocument::fromJson(reply.body).object();
        return text + " json " + object.value(u"keyword"_s).toString() + ' ' +
               QString::number(object.value(u"count"_s).toInt());
    }
    // The words as the desktop program finds them: lazy groups, dot matching newlines.
    static const QRegularExpression pattern(u"<center>(.*?)ueber(.*?)>(.*?)</a></center>"_s,
                                            QRegularExpression::DotMatchesEverythingOption);
    QStringList words;
    for (auto it = pattern.globalMatch(QString::fromUtf8(reply.body)); it.hasNext();) {
        words.append(it.next().captured(3));
    }
    return words.isEmpty() ? text : text + ' ' + words.join(QLatin1Char(','));
}

void TestAssocServer::exchanges_data()
{
    QTest::addColumn<QByteArrayList>("requests"); // sent one after the other
    QTest::addColumn<QStringList>("replies");
    QTest::addColumn<bool>("closes");
    const QByteArray post = "POST " + path + " HTTP/1.1\r\nHost: x\r\n";
    const QByteArray get = "GET " + path + "?eingabe=Baum&anzahl=1 HTTP/1.";
    const QString gehoelz = "200 " + ServiceFixture::answer(u"Baum"_s).constFirst();
    const auto row = [](const char *name, const QByteArrayList &requests,
                        const QStringList &replies, bool closes = false) {
        QTest::newRow(name) << requests << replies << closes;
    };
    row("desktop program", {HttpTestClient::desktopPost("eingabe=Baum&anzahl=200")},
        {"200 " + ServiceFixture::answer(u"Baum"_s).join(',')});
    // Doubled colons after three names, raw Latin-1, "&" left unescaped.
    row("classic client",
        {post + "Keep-Alive:: 300\r\nConnection-Type:: keep-alive\r\nReferer:: " + path +
         "\r\nContent-type: text/html\r\nContent-Length: "
         "28\r\n\r\neingabe=H\xF6hle&x&anzahl=2&z=1"},
        {"200 " + ServiceFixture::answer(u"Höhle"_s).mid(0, 2).join(',')});
    row("control characters in keyword", {HttpTestClient::get(path + "?eingabe=%00Baum%07%7F")},
        {"200 " + ServiceFixture::answer(u"Baum"_s).join(',')});
    row("utf-8 query", {HttpTestClient::get(path + "?eingabe=gr%C3%BCne+Lunge")},
        {"200 Stadtpark,Parkanlage"});
    row("json",
        {HttpTestClient::get(path + "?eingabe=Baum&anzahl=3",
                             "Accept: text/html;q=0.5, application/json\r\n") +
         HttpTestClient::get(path + "?format=json&eingabe=H%F6hle")},
        {"200 json Baum 3",
         "200 json Höhle " + QString::number(ServiceFixture::answer(u"Höhle"_s).size())});
    // The same question as a page and as JSON: each gets its own kind, cached or not.
    const QByteArray baumThree = HttpTestClient::get(path + "?eingabe=Baum&anzahl=3");
    const QString baumPage = "200 " + ServiceFixture::answer(u"Baum"_s).mid(0, 3).join(',');
    row("page, then json, then page",
        {baumThree + HttpTestClient::get(path + "?eingabe=Baum&anzahl=3&format=json") + baumThree},
        {baumPage, "200 json Baum 3", baumPage});
    row("head", {"HEAD " + path + "?eingabe=Baum HTTP/1.1\r\nHost: x\r\n\r\n" + baumOne},
        {"200", gehoelz});
    row("pipelined",
        {HttpTestClient::desktopPost("eingabe=Baum&anzahl=1") + HttpTestClient::get("/nowhere") +
         HttpTestClient::get(path + "?eingabe=H%C3%B6hle&anzahl=1")},
        {gehoelz, "404", "200 " + ServiceFixture::answer(u"Höhle"_s).constFirst()});
    row("bare line feeds", {get + "1\nHost: x\n\n"}, {gehoelz});
    row("blank lines first", {QByteArray("\r\n").repeated(50000) + baumOne}, {gehoelz});
    row("expect continue",
        {post + "Expect: 100-continue\r\nContent-Length: 22\r\n\r\n", "eingabe=Baum&anzahl=1&"},
        {"100", gehoelz});
    QByteArray full = "eingabe=Baum&anzahl=2&x=";
    full.append(QByteArray(64 * 1024 - full.size(), 'x'));
    // An HTTP/1.0 client knows no interim reply: it gets the answer only.
    row("expect continue 1.0",
        {"POST " + path + " HTTP/1.0\r\nExpect: 100-continue\r\nContent-Length: 22\r\n\r\n",
         "eingabe=Baum&anzahl=1&"},
        {gehoelz}, true);
    row("absolute form",
        {HttpTestClient::get("http://127.0.0.1:27431" + path + "?eingabe=Baum&anzahl=1")},
        {gehoelz});
    // The search page, at "/".
    row("absolute form without path",
        {HttpTestClient::get("HTTP://x?q=Baum") + HttpTestClient::get("http://x")}, {"200", "200"});
    row("1.2", {get + "2\r\nHost: x\r\n\r\n"}, {gehoelz});
    row("64 KiB body", {HttpTestClient::desktopPost(full)},
        {"200 " + ServiceFixture::answer(u"Baum"_s).mid(0, 2).join(',')});
    row("1.0", {get + "0\r\n\r\n"}, {gehoelz}, true);
    row("1.0 keep-alive", {get + "0\r\nConnection: Keep-Alive\r\n\r\n"}, {gehoelz});
    row("1.1 close", {get + "1\r\nHost: x\r\nConnection: close\r\n\r\n"}, {gehoelz}, true);
    row("put with body", {"PUT " + path + " HTTP/1.1\r\nHost: x\r\nContent-Length: 4\r\n\r\nabcd"},
        {"405 GET, HEAD, POST"});
    // The rest is refused, and the connection closed.
    const QList<std::pair<const char *, QByteArray>> bad{
        {"garbage", "HELLO\r\n\r\n"},
        {"no host", "GET " + path + " HTTP/1.1\r\n\r\n"},
        {"two hosts", "GET / HTTP/1.1\r\nHost: a\r\nHost: b\r\n\r\n"},
        {"negative length", post + "Content-Length: -1\r\n\r\n"},
        {"two lengths", post + "Content-Length: 3\r\nContent-Length: 4\r\n\r\nabcd"},
        {"two lengths, smaller second",
         post + "Content-Length: 4\r\nContent-Length: 3\r\n\r\nabcd"},
        {"blank before colon", post + "Accept : */*\r\n\r\n"},
        {"folded line", post + "Accept: a\r\n b\r\n\r\n"},
        {"NUL in value", post + "Accept: a" + '\0' + "b\r\n\r\n"},
        {"DEL in value", post + "Accept: a\x7f\r\n\r\n"},
        {"escape in value", post + "Accept: \x1b[0m\r\n\r\n"},
        {"length of 16 digits", post + "Content-Length: 1000000000000000\r\n\r\n"},
        // 2^64, which wraps to 0: the body would be read as the next request.
        {"length of 20 digits", post + "Content-Length: 18446744073709551616\r\n\r\nGET /"},
        {"signed length", post + "Content-Length: +5\r\n\r\nabcde"},
        {"bare CR in value", post + "Accept: a\rContent-Length: 5\r\n\r\n"},
        {"relative target", "GET cgi-bin HTTP/1.1\r\nHost: x\r\n\r\n"},
        {"query alone", "GET ?eingabe=Baum HTTP/1.1\r\nHost: x\r\n\r\n"},
        {"url without host", "GET http:///x HTTP/1.1\r\nHost: x\r\n\r\n"},
        {"blank in target", "GET " + path + "?a b HTTP/1.1\r\nHost: x\r\n\r\n"},
        {"control in target", "GET " + path + "?a\x1f HTTP/1.1\r\nHost: x\r\n\r\n"},
        {"DEL in target", "GET " + path + "?a\x7f HTTP/1.1\r\nHost: x\r\n\r\n"},
        {"bad version", "GET " + path + " HTTX/1.1\r\nHost: x\r\n\r\n"}};
    for (const auto &[name, request] : bad) {
        row(name, {request}, {"400"}, true);
    }
    row("version 2", {"GET / HTTP/2.0\r\nHost: x\r\n\r\n"}, {"505"}, true);
    row("version 0", {"GET / HTTP/0.9\r\nHost: x\r\n\r\n"}, {"505"}, true);
    row("chunked", {post + "Transfer-Encoding: chunked\r\n\r\n4\r\nabcd\r\n0\r\n\r\n"}, {"501"},
        true);
    // The head's bound counts every byte up to the empty line: at it, and one byte past it.
    const QByteArray fill = get + "1\r\nHost: x\r\nX-Fill: ";
    row("head at the bound", {fill + QByteArray(16 * 1024 - fill.size() - 4, 'a') + "\r\n\r\n"},
        {gehoelz});
    row("head one byte past", {fill + QByteArray(16 * 1024 - fill.size() - 3, 'a') + "\r\n\r\n"},
        {"431"}, true);
    row("same length twice",
        {post + "Content-Length: 21\r\nContent-Length: 21\r\n\r\neingabe=Baum&anzahl=1"},
        {gehoelz});
    row("tab in value", {get + "1\r\nHost: x\r\nAccept: a\tb\r\n\r\n"}, {gehoelz});
    row("latin-1 in target", {HttpTestClient::get(path + "?eingabe=H\xF6hle&anzahl=1")},
        {"200 " + ServiceFixture::answer(u"Höhle"_s).constFirst()});
    row("huge head", {post + "X-Fill: " + QByteArray(20000, 'a') + "\r\n\r\n"}, {"431"}, true);
    row("endless head", {post + "X-Fill: " + QByteArray(200000, 'a')}, {"431"}, true);
    // Only the head is sent: the answer must not wait for the announced body.
    row("body too large", {post + "Content-Length: 65537\r\n\r\neingabe=Baum"}, {"413"}, true);
    row("length of 15 digits", {post + "Content-Length: 999999999999999\r\n\r\n"}, {"413"}, true);
    row("close in a list", {get + "1\r\nHost: x\r\nConnection: keep-alive, Close\r\n\r\n"},
        {gehoelz}, true);
}

void TestAssocServer::exchanges()
{
    QFETCH(QByteArrayList, requests);
    QFETCH(QStringList, replies);
    QFETCH(bool, closes);
    startServer({});
    HttpTestClient client;
    QVERIFY(client.connectTo(m_server->port()));
    for (const QByteArray &request : requests) {
        client.send(request);
        QTest::qWait(20); // so that the server sees each part on its own
    }
    QStringList received;
    Reply reply;
    for (qsizetype i = 0; i < replies.size(); ++i) {
        const bool head = i == 0 && requests[0].startsWith("HEAD");
        reply = client.next(head);
        QVERIFY(!head || reply.headers.value("content-length").toInt() > 1000);
        received.append(summary(reply));
    }
    QCOMPARE(received, replies);
    QCOMPARE(reply.headers.value("connection"), closes ? "close" : QByteArray("keep-alive"));
    QCOMPARE(client.waitForClose(closes ? 5000 : 100), closes);
}

void TestAssocServer::deadlinesCloseOnlyStalledConnections()
{
    HttpLimits limits;
    limits.idleTimeoutMs = 500;
    limits.headTimeoutMs = 75;
    limits.lingerMs = 100;
    startServer(limits);
    HttpTestClient silent, trickling, busy;
    for (HttpTestClient *client : {&silent, &trickling, &busy}) {
        QVERIFY(client->connectTo(m_server->port()));
    }
    // A connection in use outlives the idle time; a head that is slow to come does not.
    for (int i = 0; i < 8; ++i) {
        busy.send(baumOne);
        QCOMPARE(busy.next().status, 200);
        if (i == 4) {
            QVERIFY(trickling.waitForClose(0));
        }
        trickling.send("G");
        QTest::qWait(100);
    }
    QVERIFY(!busy.waitForClose(0));
    QVERIFY(silent.waitForClose());
    QVERIFY(busy.waitForClose());
    QTRY_COMPARE(m_server->connectionCount(), 0);
}

void TestAssocServer::connectionsAreBounded_data()
{
    QTest::addColumn<bool>("askedBefore");
    QTest::newRow("kept alive") << true;
    QTest::newRow("silent") << false;
}

void TestAssocServer::connectionsAreBounded()
{
    QFETCH(bool, askedBefore);
    HttpLimits limits;
    limits.maxConnections = 1;
    limits.evictAfterMs = 500;
    startServer(limits);
    HttpTestClient waiting;
    QVERIFY(waiting.connectTo(m_server->port()));
    if (askedBefore) {
        waiting.send(baumOne);
        QCOMPARE(waiting.next().status, 200);
    }
    QTRY_COMPARE(m_server->connectionCount(), 1);

    // At the cap a newcomer waits in the listen queue; it is neither refused nor reset.
    HttpTestClient newcomer;
    QVERIFY(newcomer.connectTo(m_server->port()));
    newcomer.send(baumOne);
    QCOMPARE(newcomer.next(false, 200).status, 0);
    QCOMPARE(m_server->connectionCount(), 1);

    // Then the connection that has waited too long for a request gives way: quietly between
    // requests, with a 503 when it never asked.
    QCOMPARE(summary(newcomer.next()), "200 " + ServiceFixture::answer(u"Baum"_s).constFirst());
    const Reply last = waiting.next(false, askedBefore ? 0 : 5000);
    QCOMPARE(last.status, askedBefore ? 0 : 503);
    QCOMPARE(last.headers.value("retry-after"), askedBefore ? QByteArray() : "1");
    QVERIFY(waiting.waitForClose());
}

void TestAssocServer::compileReportsWriteErrors()
{
    // A file size limit stands in for a full disk: writing fails the same way, with its errno.
    QProcess process;
    process.setChildProcessModifier([] {
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::signal(SIGXFSZ, SIG_IGN);
    });
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LC_ALL"_s, u"C"_s);
    process.setProcessEnvironment(environment);
    const QString target = m_dir.filePath(u"limited.idx"_s);
    process.start(QStringLiteral(LEXIGROVE_ASSOCD),
                  {"--compile-index", target, "--thesaurus", ServiceFixture::thesaurusPath(),
                   "--wordlist", ServiceFixture::wordListPath()});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 1);
    const QString errors = QString::fromLocal8Bit(process.readAllStandardError());
    QVERIFY2(errors.contains("cannot write " + target + ": File too large"), qPrintable(errors));
    QVERIFY(!QFile::exists(target));
}

void TestAssocServer::changedIndexStopsTheService_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("stops");
    QTest::newRow("truncated") << "truncate" << true;
    QTest::newRow("copied over") << "overwrite" << true;
    QTest::newRow("renamed over") << "rename" << false;
}

// The service runs in a child process, since a fault from the changed file would end it.
void TestAssocServer::changedIndexStopsTheService()
{
    QFETCH(QString, change);
    QFETCH(bool, stops);
    QTemporaryDir dir;
    const QString index = dir.filePath(u"assoc.idx"_s);
    QProcess process;
    process.start(QStringLiteral(LEXIGROVE_ASSOCD),
                  {"--compile-index", index, "--thesaurus", ServiceFixture::thesaurusPath(),
                   "--wordlist", ServiceFixture::wordListPath()});
    QVERIFY(process.waitForFinished(30000) && process.exitCode() == 0);
    process.start(QStringLiteral(LEXIGROVE_ASSOCD), {"--listen", "127.0.0.1:0", "--index", index});
    QTRY_VERIFY_WITH_TIMEOUT(process.canReadLine(), 10000);
    const quint16 port = quint16(process.readLine().trimmed().split(':').last().toUInt());

    QFile file(index);
    QVERIFY(file.open(QIODevice::ReadWrite));
    if (change == "truncate") {
        QVERIFY(file.resize(0));
    } else if (change == "overwrite") {
        QVERIFY(file.write(QByteArray(file.size(), '\xA5')) > 0);
    } else {
        QVERIFY(QFile::copy(index, index + ".new"));
        QCOMPARE(::rename(QFile::encodeName(index + ".new").constData(),
                          QFile::encodeName(index).constData()),
                 0);
    }
    file.close();
    HttpTestClient client;
    if (change != "overwrite") { // garbage in the tables may make a query take a long time
        QVERIFY(client.connectTo(port));
        client.send(baumOne);
        QCOMPARE(client.next(false, stops ? 2000 : 5000).status, stops ? 0 : 200);
    }
    if (!stops) {
        QTest::qWait(1500); // the file is checked every second
        QCOMPARE(process.state(), QProcess::Running);
        process.kill();
        QVERIFY(process.waitForFinished());
        return;
    }
    QTRY_COMPARE_WITH_TIMEOUT(process.state(), QProcess::NotRunning, 10000);
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    const QString errors = QString::fromLocal8Bit(process.readAllStandardError());
    for (const QString &part : {index, u"renaming it over"_s}) {
        QVERIFY2(errors.contains(part), qPrintable(errors));
    }
}

QTEST_GUILESS_MAIN(TestAssocServer)
#include "tst_assocserver.moc"
