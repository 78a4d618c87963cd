#include "http/httpserver.h"
#include "httptestclient.h"
#include "search/wordpipeline.h"
#include "servicefixture.h"
#include "support/datatable.h"
#include "support/watchdog.h"
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
    const TestSupport::Watchdog watchdog("loading the service fixture", 120);
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
    if (reply.headers.contains("allow"))
        text += ' ' + QString::fromLatin1(reply.headers.value("allow"));
    if (reply.headers.value("content-type").startsWith("application/json")) {
        const QJsonObject object = QJsonDocument::fromJson(reply.body).object();
        return text + " json " + object.value(u"keyword"_s).toString() + ' ' +
               QString::number(object.value(u"count"_s).toInt());
    }
    // The words as the desktop program finds them.
    const QStringList words = WordPipeline::extractWords(QString::fromUtf8(reply.body));
    return words.isEmpty() ? text : text + ' ' + words.join(QLatin1Char(','));
}

void TestAssocServer::exchanges_data()
{
    TestSupport::addRows(u"assocserver/exchanges.tsv"_s,
                         {"requests:byteslist", "replies:list", "closes:bool"});
    // Rows too long for the table.
    const QByteArray post = "POST " + path + " HTTP/1.1\r\nHost: x\r\n";
    const QByteArray get = "GET " + path + "?eingabe=Baum&anzahl=1 HTTP/1.";
    const auto row = [](const char *name, const QByteArray &request, const QString &reply,
                        bool closes = false) {
        QTest::newRow(name) << QByteArrayList{request} << QStringList{reply} << closes;
    };
    row("blank lines first", QByteArray("\r\n").repeated(50000) + baumOne, u"200 {Baum:1}"_s);
    QByteArray full = "eingabe=Baum&anzahl=2&x=";
    full.append(QByteArray(64 * 1024 - full.size(), 'x'));
    row("64 KiB body", HttpTestClient::desktopPost(full), u"200 {Baum:2}"_s);
    // The head's bound counts every byte up to the empty line: at it, and one byte past it.
    const QByteArray fill = get + "1\r\nHost: x\r\nX-Fill: ";
    row("head at the bound", fill + QByteArray(16 * 1024 - fill.size() - 4, 'a') + "\r\n\r\n",
        u"200 {Baum:1}"_s);
    row("head one byte past", fill + QByteArray(16 * 1024 - fill.size() - 3, 'a') + "\r\n\r\n",
        u"431"_s, true);
    row("huge head", post + "X-Fill: " + QByteArray(20000, 'a') + "\r\n\r\n", u"431"_s, true);
    row("endless head", post + "X-Fill: " + QByteArray(200000, 'a'), u"431"_s, true);
    QTest::newRow("json")
        << QByteArrayList{HttpTestClient::get(path + "?eingabe=Baum&anzahl=3",
                                              "Accept: text/html;q=0.5, application/json\r\n") +
                          HttpTestClient::get(path + "?format=json&eingabe=H%F6hle")}
        << QStringList{u"200 json Baum 3"_s,
                       "200 json Höhle " +
                           QString::number(ServiceFixture::answer(u"Höhle"_s).size())}
        << false;
}

void TestAssocServer::exchanges()
{
    QFETCH(QByteArrayList, requests);
    QFETCH(QStringList, replies);
    QFETCH(bool, closes);
    // "{Baum:3}" in a reply stands for the first three words the service answers for Baum.
    static const QRegularExpression answer(u"\\{([^{}:]+)(?::(\\d+))?\\}"_s);
    for (QString &reply : replies) {
        const QRegularExpressionMatch match = answer.match(reply);
        if (match.hasMatch())
            reply.replace(match.capturedStart(), match.capturedLength(),
                          ServiceFixture::answer(match.captured(1), match.hasCaptured(2)
                                                                        ? match.captured(2).toInt()
                                                                        : 200)
                              .join(u','));
    }
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
    for (HttpTestClient *client : {&silent, &trickling, &busy})
        QVERIFY(client->connectTo(m_server->port()));
    // A connection in use outlives the idle time; a head that is slow to come does not.
    for (int i = 0; i < 8; ++i) {
        busy.send(baumOne);
        QCOMPARE(busy.next().status, 200);
        if (i == 4)
            QVERIFY(trickling.waitForClose(0));
        trickling.send("G");
        QTest::qWait(100);
    }
    QVERIFY(!busy.waitForClose(0));
    QVERIFY(silent.waitForClose());
    QVERIFY(busy.waitForClose());
    // A head that stops at the bound of its size, unfinished, is slow like any other.
    HttpTestClient full;
    QVERIFY(full.connectTo(m_server->port()));
    const QByteArray head = "GET / HTTP/1.1\r\nX-Fill: ";
    full.send(head + QByteArray(16 * 1024 - head.size(), 'a'));
    QCOMPARE(full.next().status, 408);
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
    for (const QString &part : {index, u"renaming it over"_s})
        QVERIFY2(errors.contains(part), qPrintable(errors));
}

QTEST_GUILESS_MAIN(TestAssocServer)
#include "tst_assocserver.moc"
