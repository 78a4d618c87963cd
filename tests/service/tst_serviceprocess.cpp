#include "httptestclient.h"
#include "servicefixture.h"
#include "serviceoptions.h"
#include "support/datatable.h"
#include "support/tempenvironment.h"

#include <QCommandLineParser>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// The service as its users run it, in a process of its own: what it costs while clients misuse
// it, and how it ends when it cannot serve. A server stuck in a loop stalls only its own
// process, so every check here ends within its bound.
class TestServiceProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void descriptorsAreGivenBack();
    void resetPeerCostsNothing();
    void unreadRepliesAreBounded();
    void listenAddressesAreRead();
    void eachDataOptionAloneNamesTheData_data();
    void eachDataOptionAloneNamesTheData();
    void everyFailureEndsWithItsCode_data();
    void everyFailureEndsWithItsCode();
    void allowedOriginReachesTheAnswers();

private:
    int descriptors() const;
    qint64 cpuTicks() const;
    qint64 residentKiB() const;
    QString proc(const char *name) const
    {
        return u"/proc/%1/%2"_s.arg(m_service.processId()).arg(QLatin1String(name));
    }
    // A raw socket that waits at most a few seconds for anything.
    int rawConnection(int receiveBuffer = 0) const;
    bool answers();
    QString placed(QString text) const;

    QProcess m_service;
    quint16 m_port = 0;
    int m_descriptors = 0; // while no client is connected
    QTemporaryDir m_dir;
};

namespace {

const QByteArray request =
    HttpTestClient::desktopPost("eingabe=Baum&anzahl=200"); // a reply of a few KiB

QStringList rawData()
{
    return {u"--thesaurus"_s, ServiceFixture::thesaurusPath(), u"--wordlist"_s,
            ServiceFixture::wordListPath()};
}

} // namespace

void TestServiceProcess::initTestCase()
{
    // A sanitizer that keeps freed memory in quarantine would count it as held.
    if (const QByteArray asan = qgetenv("ASAN_OPTIONS"); !asan.isEmpty())
        qputenv("ASAN_OPTIONS", asan + ":quarantine_size_mb=0");
    // One worker, so that the descriptors a worker keeps for itself are counted once, below.
    m_service.start(QStringLiteral(LEXIGROVE_ASSOCD),
                    QStringList{u"--listen"_s, u"127.0.0.1:0"_s, u"--threads"_s, u"1"_s,
                                u"--allow-origin"_s, u"https://a.example"_s} +
                        rawData());
    QVERIFY(m_service.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(m_service.canReadLine(), 30000);
    // Scripts wait for exactly this line, and take the port from it.
    const QByteArray line = m_service.readLine();
    const QByteArray prefix = "lexigrove-assocd listening on http://127.0.0.1:";
    m_port = quint16(line.mid(prefix.size()).trimmed().toUInt());
    QVERIFY2(line.startsWith(prefix) && line.endsWith('\n') && m_port != 0, line.constData());
    // The worker starts with the first query; what it holds stays to the end.
    QVERIFY(answers());
    QTest::qWait(300); // for the server to see the client's close
    m_descriptors = descriptors();
}

void TestServiceProcess::cleanupTestCase()
{
    m_service.terminate();
    QVERIFY(m_service.waitForFinished(5000));
    QCOMPARE(m_service.readAllStandardOutput(), QByteArray()); // the one line only
}

int TestServiceProcess::descriptors() const
{
    return int(
        QDir(proc("fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size());
}

// Fields of /proc/PID/stat after the name in parentheses: user and system time are 14 and 15;
// of /proc/PID/status, the resident set.
qint64 TestServiceProcess::cpuTicks() const
{
    const QByteArray stat = TestSupport::readBytes(proc("stat"));
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? fields[11].toLongLong() + fields[12].toLongLong() : -1;
}

qint64 TestServiceProcess::residentKiB() const
{
    const QByteArray status = TestSupport::readBytes(proc("status"));
    const qsizetype at = status.indexOf("VmRSS:");
    return at < 0 ? -1 : status.mid(at + 6, 20).trimmed().split(' ').constFirst().toLongLong();
}

int TestServiceProcess::rawConnection(int receiveBuffer) const
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const timeval bound{5, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &bound, sizeof bound);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &bound, sizeof bound);
    if (receiveBuffer > 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_in address{AF_INET, htons(m_port), {htonl(INADDR_LOOPBACK)}, {}};
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool TestServiceProcess::answers()
{
    return HttpTestClient::exchange(m_port, request, 5000).status == 200;
}

// Every way a connection can end gives its socket back: answered and closed by either side,
// cut in the middle of a request, reset, or refused as malformed.
void TestServiceProcess::descriptorsAreGivenBack()
{
    QVERIFY(answers());
    for (int i = 0; i < 50; ++i) {
        const int fd = rawConnection();
        QVERIFY(fd >= 0);
        const QByteArray sent = i % 5 == 0   ? request.left(request.size() / 2)
                                : i % 5 == 1 ? QByteArray("HELLO\r\n\r\n")
                                : i % 5 == 2 ? HttpTestClient::get("/", "Connection: close\r\n")
                                             : request;
        QCOMPARE(::send(fd, sent.constData(), size_t(sent.size()), MSG_NOSIGNAL),
                 ssize_t(sent.size()));
        char reply[256];
        if (i % 5 != 0)
            QVERIFY(::recv(fd, reply, sizeof reply, 0) > 0);
        if (i % 5 == 4) {
            const linger reset{1, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        }
        ::close(fd);
    }
    QTRY_COMPARE_WITH_TIMEOUT(descriptors(), m_descriptors, 5000);
    QVERIFY(answers());
}

// A client that resets its connection while replies wait for it: the service drops them and
// stays idle, instead of trying to send them for ever.
void TestServiceProcess::resetPeerCostsNothing()
{
    for (int round = 0; round < 3; ++round) {
        const int fd = rawConnection(4096);
        QVERIFY(fd >= 0);
        const QByteArray many = request.repeated(300);
        QCOMPARE(::send(fd, many.constData(), size_t(many.size()), MSG_NOSIGNAL),
                 ssize_t(many.size()));
        QTest::qWait(100);
        const linger reset{1, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        ::close(fd);
    }
    QTest::qWait(100);
    const qint64 ticks = cpuTicks();
    QTest::qWait(1000);
    const qint64 spent = cpuTicks() - ticks;
    QVERIFY2(spent >= 0 && spent < 30,
             qPrintable(u"%1 ticks of CPU in one idle second"_s.arg(spent)));
    QVERIFY(answers());
    QTRY_COMPARE_WITH_TIMEOUT(descriptors(), m_descriptors, 5000);
}

// A client that sends requests without reading the replies: the service stops reading once
// a limited amount of output waits, instead of holding every reply in memory.
void TestServiceProcess::unreadRepliesAreBounded()
{
    QVERIFY(answers());
    const qint64 before = residentKiB();
    const int fd = rawConnection(4096);
    QVERIFY(fd >= 0);
    const QByteArray many = request.repeated(1000);
    qint64 sent = 0;
    // Up to 12 MB of requests, or until the service stops taking them: their replies would
    // take more than 200 MB.
    static_cast<void>(QTest::qWaitFor(
        [&] {
            // Each send goes on where the last one stopped, so that every request stays whole.
            const qsizetype at = qsizetype(sent % many.size());
            const ssize_t n = ::send(fd, many.constData() + at, size_t(many.size() - at),
                                     MSG_NOSIGNAL | MSG_DONTWAIT);
            sent += qMax<ssize_t>(n, 0);
            return sent > 12'000'000;
        },
        2000));
    QTest::qWait(300);
    const qint64 grown = residentKiB() - before;
    ::close(fd);
    QVERIFY2(grown < 24 * 1024,
             qPrintable(u"%1 KiB more after %2 bytes of requests"_s.arg(grown).arg(sent)));
    QVERIFY(answers());
}

// What --listen takes; what it refuses is among the failures below.
void TestServiceProcess::listenAddressesAreRead()
{
    QHostAddress address;
    quint16 port = 0;
    QVERIFY(ServiceOptions::parseListen(u"[::1]:27431"_s, &address, &port));
    QVERIFY(address == QHostAddress(QHostAddress::LocalHostIPv6) && port == 27431);
    QVERIFY(ServiceOptions::parseListen(u"localhost:0"_s, &address, &port));
    QVERIFY(address == QHostAddress(QHostAddress::LocalHost) && port == 0);
    QVERIFY(ServiceOptions::parseListen(u"127.0.0.1:65535"_s, &address, &port) && port == 65535);
}

void TestServiceProcess::eachDataOptionAloneNamesTheData_data()
{
    QTest::addColumn<QString>("option");
    for (const char *option : {"thesaurus", "wordlist", "dictionary", "proverbs", "stopwords",
                               "definitions", "annotations"})
        QTest::newRow(option) << QString::fromLatin1(option);
}

// Naming any one data file serves from the raw data, with that file and without the Debian
// files of the sources left unnamed.
void TestServiceProcess::eachDataOptionAloneNamesTheData()
{
    QFETCH(QString, option);
    const QString path = m_dir.path() + u"/named-"_s + option;
    QCommandLineParser parser;
    ServiceOptions::describe(&parser);
    QVERIFY2(parser.parse({u"lexigrove-assocd"_s, u"--"_s + option, path}),
             qPrintable(parser.errorText()));
    ServiceOptions options;
    QString error;
    QVERIFY2(options.take(parser, &error), qPrintable(error));
    QVERIFY(options.raw);
    const DataSources &s = options.sources;
    const QList<std::pair<QString, QStringList>> optional = {
        {u"dictionary"_s, QStringList{s.dictionary}},   {u"proverbs"_s, s.proverbs},
        {u"stopwords"_s, QStringList{s.stopWords}},     {u"definitions"_s, s.definitions},
        {u"annotations"_s, QStringList{s.annotations}}, {u"thesaurus"_s, QStringList{s.thesaurus}},
        {u"wordlist"_s, QStringList{s.wordList}}};
    for (const auto &[name, files] : optional) {
        if (name == option)
            QCOMPARE(files, QStringList{path});
        else if (name != u"thesaurus"_s && name != u"wordlist"_s)
            QVERIFY2(files.join(QString()).isEmpty(),
                     qPrintable(name + u" kept "_s + files.join(u' ')));
        else
            QVERIFY2(!files.contains(path), qPrintable(name));
    }
}

void TestServiceProcess::everyFailureEndsWithItsCode_data()
{
    TestSupport::addRows(u"serviceprocess/failures.tsv"_s,
                         {"arguments:list", "exitCode:int", "text"});
    TestSupport::writeBytes(m_dir.filePath(u"damaged.idx"_s),
                            QByteArray("LXGASSOC").append(200, '\1'));
    for (const QString &fifo : {u"fifo"_s, u"source-fifo"_s}) {
        const QString path = m_dir.filePath(fifo);
        QVERIFY(QFile::exists(path) || ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    }
}

// The row's text with the test's own files and port in place of their names in braces.
QString TestServiceProcess::placed(QString text) const
{
    return text.replace(u"{dir}"_s, m_dir.path())
        .replace(u"{thesaurus}"_s, ServiceFixture::thesaurusPath())
        .replace(u"{wordlist}"_s, ServiceFixture::wordListPath())
        .replace(u"{port}"_s, QString::number(m_port));
}

void TestServiceProcess::everyFailureEndsWithItsCode()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, text);
    QStringList placedArguments;
    for (const QString &argument : std::as_const(arguments))
        placedArguments += argument == u"{raw}"_s ? rawData() : QStringList{placed(argument)};
    arguments = placedArguments;
    text = placed(text);
    QProcess process;
    process.start(QStringLiteral(LEXIGROVE_ASSOCD), arguments);
    if (!process.waitForFinished(30000)) {
        process.kill();
        QFAIL("the service went on running");
    }
    const QString output = QString::fromLocal8Bit(process.readAllStandardOutput());
    const QString errors = QString::fromLocal8Bit(process.readAllStandardError());
    QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == exitCode,
             qPrintable(errors));
    QVERIFY2((exitCode == 0 ? output : errors).contains(text), qPrintable(output + errors));
    if (arguments.constFirst() == QLatin1String("--compile-index")) {
        // A failure leaves nothing behind for a later start to take for an index.
        QCOMPARE(QFileInfo(arguments[1]).isFile(), exitCode == 0);
        QFile::remove(arguments[1]);
    }
}

// The option given on the command line is the one the answers carry.
void TestServiceProcess::allowedOriginReachesTheAnswers()
{
    const HttpTestClient::Reply reply =
        HttpTestClient::exchange(m_port, HttpTestClient::get("/api/v1/associations?q=Baum&n=1",
                                                             "Origin: https://a.example\r\n"));
    QCOMPARE(reply.status, 200);
    QCOMPARE(reply.headers.value("access-control-allow-origin"), QByteArray("https://a.example"));
}

QTEST_GUILESS_MAIN(TestServiceProcess)
#include "tst_serviceprocess.moc"
