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

QTEST_GUILESS_MAIN(TestHttpHead)
#include "tst_httphead.moc"
