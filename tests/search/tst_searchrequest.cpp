#include "search/searchrequest.h"

#include <QTest>

class TestSearchRequest : public QObject
{
    Q_OBJECT

private slots:
    void defaultServiceIsLocal();
    void environmentReplacesTheAddress();
    void headerOnPort80NamesTheHostAlone();
};

void TestSearchRequest::defaultServiceIsLocal()
{
    qunsetenv("LEXIGROVE_SERVICE_URL");
    const QUrl url = SearchRequest::serviceUrl();
    QCOMPARE(url.toString(), QStringLiteral("http://127.0.0.1:27431/cgi-bin/meta/meta.ger1-asso"));
}

void TestSearchRequest::environmentReplacesTheAddress()
{
    qputenv("LEXIGROVE_SERVICE_URL", "http://assoc.test/cgi/x?lang=de");
    const QUrl url = SearchRequest::serviceUrl();
    qunsetenv("LEXIGROVE_SERVICE_URL");
    QCOMPARE(url.host(), QStringLiteral("assoc.test"));
    const HttpRequestHeader header = SearchRequest::header(url);
    QCOMPARE(header.path(), QStringLiteral("/cgi/x?lang=de"));
    QCOMPARE(header.value(QStringLiteral("Referer")), QStringLiteral("/cgi/x?lang=de"));
}

void TestSearchRequest::headerOnPort80NamesTheHostAlone()
{
    const HttpRequestHeader header = SearchRequest::header(
        QUrl(QStringLiteral("http://assoc.test/cgi-bin/meta/meta.ger1-asso")));
    const QList<QPair<QString, QString>> expected = {
        {"Host", "assoc.test"},
        {"Keep-Alive", "300"},
        {"Connection-Type", "keep-alive"},
        {"Referer", "/cgi-bin/meta/meta.ger1-asso"},
        {"Content-type", "text/html"},
    };
    QCOMPARE(header.values(), expected);
    QCOMPARE(header.method(), QStringLiteral("POST"));
    QCOMPARE(header.majorVersion(), 1);
    QCOMPARE(header.minorVersion(), 1);
}

QTEST_MAIN(TestSearchRequest)
#include "tst_searchrequest.moc"
