#include "httpheadparser.h"

#include <QTest>

// The rules for a request head, each at its limit and just past it: what is refused must not
// reach the handler, and what is taken must be framed as the client meant it.
class TestHttpHead : public QObject
{
    Q_OBJECT

private slots:
    void headsAtTheirLimits_data();
    void headsAtTheirLimits();
    void headEndsAtTheFirstBlankLine();
};

void TestHttpHead::headsAtTheirLimits_data()
{
    QTest::addColumn<QByteArray>("fields"); // after "POST / HTTP/1.1\r\nHost: x\r\n"
    QTest::addColumn<int>("status");
    QTest::addColumn<qlonglong>("length");
    QTest::addColumn<bool>("keepAlive");
    const auto row = [](const char *name, const QByteArray &fields, int status,
                        qlonglong length = 0, bool keepAlive = true) {
        QTest::newRow(name) << fields << status << length << keepAlive;
    };
    row("length", "Content-Length: 12\r\n", 0, 12);
    row("length, blanks around", "Content-Length: \t 7 \r\n", 0, 7);
    row("length of 15 digits", "Content-Length: 999999999999999\r\n", 0, 999999999999999);
    row("length of 16 digits", "Content-Length: 1000000000000000\r\n", 400);
    // 2^64 wraps to 0 in a 64-bit reader: the body would be read as the next request.
    row("length of 20 digits", "Content-Length: 18446744073709551616\r\n", 400);
    row("length with a sign", "Content-Length: +5\r\n", 400);
    row("length as a list", "Content-Length: 5, 5\r\n", 400);
    row("length empty", "Content-Length:\r\n", 400);
    row("same length twice", "Content-Length: 5\r\nContent-Length: 005\r\n", 0, 5);
    row("other length second", "Content-Length: 5\r\nContent-Length: 6\r\n", 400);
    row("second host", "Host: y\r\n", 400);
    row("tab in a value", "Accept: a\tb\r\n", 0);
    row("Latin-1 in a value", "Accept: \xe4\r\n", 0);
    row("DEL in a value", "Accept: a\x7f\r\n", 400);
    row("unit separator in a value", "Accept: a\x1f\r\n", 400);
    row("escape in a value", "Accept: \x1b[0m\r\n", 400);
    row("name with a slash", "Acc/ept: a\r\n", 400);
    row("name empty", ": a\r\n", 400);
    row("close", "Connection: close\r\n", 0, 0, false);
    row("close in a list", "Connection: Keep-Alive, CLOSE\r\n", 0, 0, false);
    row("close as a part of a word", "Connection: closed\r\n", 0, 0, true);
}

void TestHttpHead::headsAtTheirLimits()
{
    QFETCH(QByteArray, fields);
    QFETCH(int, status);
    const QByteArray head = "POST / HTTP/1.1\r\nHost: x\r\n" + fields + "\r\n";
    HttpHeadParser parser;
    HttpRequest request;
    QCOMPARE(parser.parse(head, &request), status);
    if (status == 0) {
        QTEST(qlonglong(parser.contentLength()), "length");
        QTEST(parser.keepAlive(), "keepAlive");
    }
}

void TestHttpHead::headEndsAtTheFirstBlankLine()
{
    const auto parsed = [](const QByteArray &head) {
        HttpHeadParser parser;
        HttpRequest request;
        const int status = parser.parse(head, &request);
        return QStringLiteral("%1 %2 %3 1.%4 %5")
            .arg(status)
            .arg(QString::fromLatin1(request.method), QString::fromLatin1(request.path))
            .arg(request.minorVersion)
            .arg(parser.keepAlive());
    };
    QCOMPARE(parsed("GET /a?b HTTP/1.0\r\n\r\n"), QStringLiteral("0 GET /a 1.0 0"));
    QCOMPARE(parsed("GET /a HTTP/1.0\r\nConnection: keep-alive\r\n\r\n"),
             QStringLiteral("0 GET /a 1.0 1"));
    QCOMPARE(parsed("GET /a HTTP/1.1\r\n\r\n").left(3), QStringLiteral("400"));
    for (const char *version : {"HTTP/1.2", "HTTP/2.0", "HTTP/0.9"})
        QCOMPARE(parsed(QByteArray("GET / ") + version + "\r\nHost: x\r\n\r\n").left(3),
                 QStringLiteral("505"));
    for (const char *line : {"GET / HTTP/1.10", "GET / HTTP/1.", "GET /\x7f HTTP/1.1",
                             "G(T / HTTP/1.1", "GET * HTTP/1.1", "GET  / HTTP/1.1"})
        QVERIFY2(parsed(QByteArray(line) + "\r\nHost: x\r\n\r\n").startsWith(u"400"), line);

    qsizetype start = -1;
    QCOMPARE(HttpHeadParser::findEnd("\r\n\nGET / HTTP/1.1\nHost: x\n\nbody", &start), 27);
    QCOMPARE(start, 3);
    QCOMPARE(HttpHeadParser::findEnd("GET / HTTP/1.1\r\nHost: x\r\n\r", &start), -1);
    QCOMPARE(HttpHeadParser::findEnd("GET / HTTP/1.1\r\nHost: x\r\r\n", &start), -1);
}

QTEST_GUILESS_MAIN(TestHttpHead)
#include "tst_httphead.moc"
