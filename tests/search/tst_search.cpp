#include "searchfixture.h"

#include "dialogs/waitwindow.h"
#include "search/httpclient.h"
#include "support/modal.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLCDNumber>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTcpServer>
#include <QTest>
#include <QTextEdit>

using Step = TestSupport::TestHttpServer::Step;

namespace {
const QString ErrorText =
    QStringLiteral("An error occured..\nPlease check your internet connection and try again...");

QByteArray ok(const QByteArray &body)
{
    return TestSupport::TestHttpServer::response(200, body);
}
} // namespace

class TestSearch : public QObject
{
    Q_OBJECT

private slots:
    void init() { f = std::make_unique<SearchFixture>(); }
    void cleanup() { f.reset(); }

    void emptyKeywordIsRefused();
    void requestBytes_data();
    void requestBytes();
    void wordsAreShownAndReplyKept();
    void workedExample();
    void bodyFraming_data();
    void bodyFraming();
    void statusOtherThan200Fails_data();
    void statusOtherThan200Fails();
    void transportFailures_data();
    void transportFailures();
    void pageWithoutMatches();
    void hostilePages_data();
    void hostilePages();
    void progressFollowsTheBody();
    void cancelShowsTheLateResult();
    void newSearchAfterCancelEndsTheOldOneQuietly();
    void serverThatClosesAfterAGoodReply();
    void searchesAccumulate();
    void replyFileThatCannotBeCreated();
    void commonListWarnsOncePerPass();

private:
    void expectError();
    std::unique_ptr<SearchFixture> f;
};

void TestSearch::expectError()
{
    QCOMPARE(f->messages.count(), 1);
    QCOMPARE(f->messages.last().kind, MessageBox::Critical);
    QCOMPARE(f->messages.last().title, QStringLiteral("Error"));
    QCOMPARE(f->messages.last().text, ErrorText);
    QVERIFY(!QFile::exists(f->replyFilePath()));
    QVERIFY(!f->waitWindow->isVisible());
}

void TestSearch::emptyKeywordIsRefused()
{
    f->search(QString());
    QCOMPARE(f->messages.count(), 1);
    QCOMPARE(f->messages.last().kind, MessageBox::Information);
    QCOMPARE(f->messages.last().title, QStringLiteral("Information"));
    QCOMPARE(f->messages.last().text, QStringLiteral("Please enter a keyword first..."));
    QCOMPARE(f->server.requestCount(), 0);
}

void TestSearch::requestBytes_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("plain") << "Haus" << QByteArray("eingabe=Haus&anzahl=200");
    QTest::newRow("one blank") << " " << QByteArray("eingabe=+&anzahl=200");
    QTest::newRow("field separators")
        << "a&b=c%d+e" << QByteArray("eingabe=a%26b%3Dc%25d%2Be&anzahl=200");
    QTest::newRow("umlauts as Latin-1")
        << QString::fromUtf8("Bäume größer") << QByteArray("eingabe=B%E4ume+gr%F6%DFer&anzahl=200");
    QTest::newRow("outside Latin-1")
        << QString::fromUtf8("Дом") << QByteArray("eingabe=%3F%3F%3F&anzahl=200");
}

void TestSearch::requestBytes()
{
    QFETCH(QString, keyword);
    QFETCH(QByteArray, body);
    f->server.setResponse(ok(SearchFixture::page({QStringLiteral("Dach")})));
    f->search(keyword);

    QCOMPARE(f->server.requestCount(), 1);
    const QList<QByteArray> lines = f->server.lastRequestHead().split('\n');
    const QByteArray host = "127.0.0.1:" + QByteArray::number(f->server.port());
    QCOMPARE(lines.at(0), QByteArray("POST /cgi-bin/meta/meta.ger1-asso HTTP/1.1\r"));
    QCOMPARE(lines.at(1), QByteArray("Host: " + host + "\r"));
    QCOMPARE(lines.at(2), QByteArray("Keep-Alive: 300\r"));
    QCOMPARE(lines.at(3), QByteArray("Connection-Type: keep-alive\r"));
    QCOMPARE(lines.at(4), QByteArray("Referer: /cgi-bin/meta/meta.ger1-asso\r"));
    QCOMPARE(lines.at(5), QByteArray("Content-type: text/html\r"));
    QVERIFY(f->server.lastRequestHead().contains(
        QByteArray("\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n")));
    QVERIFY(!f->server.lastRequestHead().contains("::"));
    QCOMPARE(f->server.lastRequestBody(), body);
    QCOMPARE(f->waitWindow->ui.labelKeyword->text(), keyword);
}

void TestSearch::wordsAreShownAndReplyKept()
{
    const QByteArray page = SearchFixture::page(
        {QStringLiteral("Dach"), QStringLiteral("Gärten"), QStringLiteral("Dach")});
    f->server.setResponse(ok(page));
    f->search(QStringLiteral("Haus"));

    QCOMPARE(f->shownLines(), (QStringList{QStringLiteral("Dach"), QString::fromUtf8("Gärten")}));
    QCOMPARE(f->lcd->intValue(), 2);
    QCOMPARE(f->messages.count(), 0);
    QVERIFY(!f->waitWindow->isVisible());
    QFile reply(f->replyFilePath());
    QVERIFY(reply.open(QIODevice::ReadOnly));
    QCOMPARE(reply.readAll(), page);
    QVERIFY(f->debugLines().contains(QStringLiteral("Server Response:200")));
}

void TestSearch::workedExample()
{
    f->writeFile(f->blacklistPath(), "xyz");
    f->blacklist->setPlainText(QStringLiteral("bau"));
    f->results->setPlainText(QStringLiteral("Dach\nboot"));
    f->quantity->setValue(3);
    f->server.setResponse(
        ok(SearchFixture::page({"Hausboot", "Garten", "Garten", "Hausbau", "Villa"})));
    f->search(QStringLiteral("Haus"));
    QCOMPARE(f->shownLines(), (QStringList{"boot", "Garten", "Dach"}));
    QCOMPARE(f->lcd->intValue(), 3);
}

void TestSearch::bodyFraming_data()
{
    QTest::addColumn<QList<Step>>("steps");
    const QByteArray page = SearchFixture::page({QStringLiteral("Dach"), QStringLiteral("Ziegel")});
    QTest::newRow("Content-Length") << QList<Step>{{ok(page), 0}};
    QTest::newRow("until close") << QList<Step>{{"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n", 0},
                                                {page, 30}};
    QByteArray chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    chunked +=
        QByteArray::number(page.size() / 2, 16) + "\r\n" + page.left(page.size() / 2) + "\r\n";
    const QByteArray rest = page.mid(page.size() / 2);
    chunked += QByteArray::number(rest.size(), 16) + "\r\n" + rest + "\r\n0\r\n\r\n";
    QTest::newRow("chunked") << QList<Step>{{chunked, 0}};
}

void TestSearch::bodyFraming()
{
    QFETCH(QList<Step>, steps);
    f->server.setResponse(steps);
    f->search(QStringLiteral("Haus"));
    QCOMPARE(f->shownLines(), (QStringList{"Dach", "Ziegel"}));
    QCOMPARE(f->messages.count(), 0);
}

void TestSearch::statusOtherThan200Fails_data()
{
    QTest::addColumn<int>("status");
    QTest::newRow("404") << 404;
    QTest::newRow("302") << 302;
    QTest::newRow("500") << 500;
    QTest::newRow("204") << 204;
}

void TestSearch::statusOtherThan200Fails()
{
    QFETCH(int, status);
    f->results->setPlainText(QStringLiteral("alt"));
    f->server.setResponse(
        TestSupport::TestHttpServer::response(status, SearchFixture::page({QStringLiteral("Dach")}),
                                              "Location: http://127.0.0.1:1/elsewhere\r\n"));
    f->search(QStringLiteral("Haus"));
    expectError();
    QVERIFY(f->debugLines().contains(QStringLiteral("Server Response:%1").arg(status)));
    QCOMPARE(f->results->toPlainText(), QStringLiteral("alt"));
    QCOMPARE(f->lcd->intValue(), 1);
    QCOMPARE(f->server.requestCount(), 1);
}

void TestSearch::transportFailures_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("connection refused") << 0;
    QTest::newRow("closed mid-body") << 1;
    QTest::newRow("server stalls") << 2;
}

void TestSearch::transportFailures()
{
    QFETCH(int, kind);
    const QByteArray page = SearchFixture::page({QStringLiteral("Dach")});
    if (kind == 0) {
        QTcpServer gone;
        QVERIFY(gone.listen(QHostAddress::LocalHost));
        const quint16 port = gone.serverPort();
        gone.close();
        qputenv("LEXIGROVE_SERVICE_URL",
                "http://127.0.0.1:" + QByteArray::number(port) + "/cgi-bin/meta/meta.ger1-asso");
    } else if (kind == 1) {
        f->server.setResponse(ok(page).left(ok(page).size() - 20));
    } else {
        f->http->setTransferTimeout(300);
        f->server.setResponse(QList<Step>{{ok(page).left(60), 0}}, false);
    }
    f->search(QStringLiteral("Haus"));
    expectError();
}

void TestSearch::pageWithoutMatches()
{
    f->results->setPlainText(QStringLiteral("alt"));
    f->server.setResponse(ok("<html><body><center>nichts</center></body></html>"));
    f->search(QStringLiteral("Haus"));
    QCOMPARE(f->messages.count(), 1);
    QCOMPARE(f->messages.last().kind, MessageBox::Information);
    QCOMPARE(f->messages.last().title, QStringLiteral("Information"));
    QCOMPARE(f->messages.last().text, QStringLiteral("No Keywords found..."));
    QCOMPARE(f->results->toPlainText(), QStringLiteral("alt"));
    QVERIFY(QFile::exists(f->replyFilePath()));
}

void TestSearch::hostilePages_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QStringList>("shown");
    QByteArray noEnd;
    while (noEnd.size() < 4 * 1024 * 1024)
        noEnd += "<center> ueber <a href=\"x\">> Wort ueber <center>>";
    QTest::newRow("megabytes without terminator") << noEnd << QStringList();
    QTest::newRow("binary and invalid UTF-8")
        << QByteArray("\x00\x01\xff<center>\xfe ueber <a>A\xc3(b\x00</a></center>", 40)
        << QStringList{QString::fromLatin1("A\xc3(b") + QChar(0)};
}

void TestSearch::hostilePages()
{
    QFETCH(QByteArray, body);
    QFETCH(QStringList, shown);
    f->server.setResponse(ok(body));
    f->search(QStringLiteral("Haus"));
    QCOMPARE(f->shownLines(), shown);
    if (shown.isEmpty())
        QCOMPARE(f->messages.last().text, QStringLiteral("No Keywords found..."));
}

void TestSearch::progressFollowsTheBody()
{
    const QByteArray page = SearchFixture::page({QStringLiteral("Dach")});
    f->server.setResponse(ok(page));
    f->search(QStringLiteral("Haus"));
    QCOMPARE(f->waitWindow->ui.progressBar->maximum(), int(page.size()));
    QCOMPARE(f->waitWindow->ui.progressBar->value(), int(page.size()));

    // Without a length the bar gets maximum 0: a busy bar.
    f->server.setResponse(QList<Step>{{"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + page, 0}});
    f->search(QStringLiteral("Garten"));
    QCOMPARE(f->waitWindow->ui.progressBar->maximum(), 0);
}

void TestSearch::cancelShowsTheLateResult()
{
    f->server.setResponse(QList<Step>{{ok(SearchFixture::page({QStringLiteral("Spät")})), 300}});
    TestSupport::whenModalOpens([this](QWidget *modal) {
        QCOMPARE(modal, f->waitWindow);
        QVERIFY(!f->waitWindow->ui.okButton->isEnabled());
        f->waitWindow->ui.cancelButton->click();
    });
    f->search(QStringLiteral("Haus"));
    QVERIFY(TestSupport::modalSeen());
    QVERIFY(f->shownLines().isEmpty());
    const int maximum = f->waitWindow->ui.progressBar->maximum();
    const int value = f->waitWindow->ui.progressBar->value();
    QTRY_COMPARE(f->shownLines(), QStringList{QString::fromUtf8("Spät")});
    QCOMPARE(f->messages.count(), 0);
    // The hidden wait window no longer follows the transfer.
    QCOMPARE(f->waitWindow->ui.progressBar->maximum(), maximum);
    QCOMPARE(f->waitWindow->ui.progressBar->value(), value);
}

void TestSearch::newSearchAfterCancelEndsTheOldOneQuietly()
{
    f->server.setResponse(QList<Step>{{ok(SearchFixture::page({QStringLiteral("Alt")})), 400}});
    TestSupport::whenModalOpens([this](QWidget *) { f->waitWindow->ui.cancelButton->click(); });
    f->search(QStringLiteral("Haus"));

    f->server.setResponse(ok(SearchFixture::page({QStringLiteral("Neu")})));
    f->search(QStringLiteral("Garten"));
    QCOMPARE(f->shownLines(), QStringList{QStringLiteral("Neu")});
    QTest::qWait(600); // past the moment the old reply would have arrived
    QCOMPARE(f->shownLines(), QStringList{QStringLiteral("Neu")});
    QCOMPARE(f->messages.count(), 0);
    QFile reply(f->replyFilePath());
    QVERIFY(reply.open(QIODevice::ReadOnly));
    QCOMPARE(reply.readAll(), SearchFixture::page({QStringLiteral("Neu")}));
}

void TestSearch::serverThatClosesAfterAGoodReply()
{
    f->server.setResponse(TestSupport::TestHttpServer::response(
        200, SearchFixture::page({QStringLiteral("Dach")}), "Connection: close\r\n"));
    f->search(QStringLiteral("Haus"));
    QCOMPARE(f->shownLines(), QStringList{QStringLiteral("Dach")});
    QCOMPARE(f->messages.count(), 0);
    const QStringList debug = f->debugLines();
    const qsizetype at = debug.indexOf(QStringLiteral("Some Error in State:"));
    QVERIFY2(at >= 0, qPrintable(debug.join(QLatin1Char('|'))));
    QCOMPARE(debug.value(at + 1), QStringLiteral("Unknown error"));
}

void TestSearch::searchesAccumulate()
{
    f->server.setResponse(ok(SearchFixture::page({"Dach", "Keller"})));
    f->search(QStringLiteral("Haus"));
    f->server.setResponse(ok(SearchFixture::page({"Beet", "Dach"})));
    f->search(QStringLiteral("Garten"));
    QCOMPARE(f->shownLines(), (QStringList{"Beet", "Dach", "Keller"}));
    QCOMPARE(f->lcd->intValue(), 3);
    QCOMPARE(f->server.requestCount(), 2);
}

void TestSearch::replyFileThatCannotBeCreated()
{
    QFile::remove(f->replyFilePath());
    QVERIFY(QDir().mkpath(f->replyFilePath()));
    f->search(QStringLiteral("Haus"));
    QCOMPARE(f->server.requestCount(), 0);
    QVERIFY(f->debugLines().contains(QStringLiteral("couldnt create file")));
    QCOMPARE(f->messages.count(), 1);
    QCOMPARE(f->messages.last().kind, MessageBox::Warning);
    QVERIFY(f->messages.last().text.startsWith(QStringLiteral("Cannot open file ") +
                                               f->replyFilePath() +
                                               QStringLiteral(" for writing: ")));
    QVERIFY(!f->waitWindow->isVisible());
}

void TestSearch::commonListWarnsOncePerPass()
{
    QFile::remove(f->blacklistPath());
    f->server.setResponse(ok(SearchFixture::page({"Dach"})));
    f->search(QStringLiteral("Haus"));
    QCOMPARE(f->messages.count(), 2);
    QVERIFY(f->messages.at(0).text.contains(QStringLiteral(" for reading: ")));
    QCOMPARE(f->shownLines(), QStringList{QStringLiteral("Dach")});
}

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
