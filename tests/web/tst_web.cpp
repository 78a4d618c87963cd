#include "associationservice.h"
#include "httpserver.h"
#include "lexicon.h"
#include "service/httptestclient.h"
#include "service/servicefixture.h"
#include "web/resultfiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

class TestWeb : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void csvFieldsAreQuoted();
    void apiAnswersSeveralSeeds();
    void answers_data();
    void answers();
    void otherMethodsAreToldWhatIsAllowed();
    void pageIsEscapedAndHoldsNoClassicBlock();
    void browserShowsTheResultTables();

private:
    HttpTestClient::Reply get(const QByteArray &target, const QByteArray &headers = {});

    Lexicon m_lexicon;
    AssociationService m_service{&m_lexicon};
    HttpServer m_server{&m_service};
};

void TestWeb::initTestCase()
{
    QString error;
    QVERIFY2(
        m_lexicon.load(ServiceFixture::thesaurusPath(), ServiceFixture::wordListPath(), &error),
        qPrintable(error));
    QVERIFY(m_server.listen(QHostAddress(QHostAddress::LocalHost), 0));
}

HttpTestClient::Reply TestWeb::get(const QByteArray &target, const QByteArray &headers)
{
    HttpTestClient client;
    client.connectTo(m_server.port());
    client.send(HttpTestClient::get(target, headers));
    return client.next();
}

void TestWeb::csvFieldsAreQuoted()
{
    QCOMPARE(ResultFiles::csvField("Höhle"), "Höhle");
    QCOMPARE(ResultFiles::csvField("Haus, Hof"), "\"Haus, Hof\"");
    QCOMPARE(ResultFiles::csvField("Sag \"ja\""), "\"Sag \"\"ja\"\"\"");
    QCOMPARE(ResultFiles::csvField("a\r\nb"), "\"a\r\nb\"");
    QCOMPARE(ResultFiles::csvField("a\rb"), "\"a\rb\"");
    QCOMPARE(ResultFiles::csvField("a\nb"), "\"a\nb\"");
}

// Seeds from two fields, split at commas and line ends, each once; a seed without words stays in
// the JSON and adds no CSV row.
void TestWeb::apiAnswersSeveralSeeds()
{
    const QByteArray query = "/api/v1/associations?q=Baum,+H%C3%B6hle%0D%0AGarten&q=baum&n=3";
    HttpTestClient::Reply reply = get(query + "&format=csv");
    QVERIFY(reply.headers.value("content-type").startsWith("text/csv; charset=utf-8"));
    QCOMPARE(reply.body.count('\n'), reply.body.count("\r\n"));
    QStringList expected{QStringLiteral("seed,word,relation,score")};
    for (const QString &word : ServiceFixture::answer(QStringLiteral("Baum")).mid(0, 3)) {
        expected << QStringLiteral("Baum,") + word;
    }
    for (const QString &word : ServiceFixture::answer(QStringLiteral("Höhle")).mid(0, 3)) {
        expected << QStringLiteral("Höhle,") + word;
    }
    QStringList lines = QString::fromUtf8(reply.body).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.takeLast(), QString());
    for (qsizetype i = 1; i < lines.size(); ++i) {
        lines[i] = lines[i].section(QLatin1Char(','), 0, 1);
    }
    QCOMPARE(lines, expected);

    reply = get(query);
    QCOMPARE(reply.headers.value("content-type"), QByteArray("application/json; charset=utf-8"));
    const QJsonArray results = QJsonDocument::fromJson(reply.body)["results"].toArray();
    QCOMPARE(results.size(), 3);
    QCOMPARE(results[1]["seed"].toString(), QStringLiteral("Höhle"));
    QVERIFY(results[2]["associations"].toArray().isEmpty());
    QCOMPARE(results[0]["associations"][2]["word"].toString(),
             ServiceFixture::answer(QStringLiteral("Baum"))[2]);
    QVERIFY(results[0]["associations"][2]["score"].toDouble() > 0);
}

// Limits, bad parameters (400 with a one-line reason for scripts, the form with a note for
// people) and the language of the page.
void TestWeb::answers_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("expected");
    const QByteArray tenSeeds = "/api/v1/associations?q=Baum,b,c,d,e,f,g,h,i%0Aj";
    const QByteArray api = "/api/v1/associations?q=Baum";
    const QByteArray longSeed = "/api/v1/associations?q=" + QByteArray(100, 'a');
    QTest::newRow("ten seeds, n 200") << tenSeeds + "&n=200" << QByteArray() << 200 << "Baum";
    QTest::newRow("eleven seeds") << tenSeeds + ",k" << QByteArray() << 400 << "at most 10";
    QTest::newRow("seed of 100") << longSeed << QByteArray() << 200 << "aaa";
    QTest::newRow("seed of 101") << longSeed + "b" << QByteArray() << 400 << "too long";
    QTest::newRow("huge") << api + QByteArray(9000, 'a') << QByteArray() << 400 << "query too";
    QTest::newRow("blank seeds") << api.first(23) + "+,%0A" << QByteArray() << 400 << "no seed";
    QTest::newRow("n 0") << api + "&n=0" << QByteArray() << 400 << "1 to 200, not \"0\"";
    QTest::newRow("n 201") << api + "&n=201" << QByteArray() << 400 << "1 to 200";
    QTest::newRow("n text") << api + "&n=drei%0A" << QByteArray() << 400 << "\"drei\"";
    QTest::newRow("xml") << api + "&format=xml" << QByteArray() << 400 << "json or csv";
    QTest::newRow("unknown") << api + "&count=3" << QByteArray() << 400 << "field \"count\"";
    QTest::newRow("page en") << QByteArray("/") << QByteArray("en-US,en;q=0.9") << 200
                             << "<html lang=\"en\">";
    QTest::newRow("weights") << QByteArray("/") << QByteArray("fr, en;q=0.3, de-AT;q=0.8") << 200
                             << "<html lang=\"de\">";
    QTest::newRow("tie, the first wins")
        << QByteArray("/") << QByteArray("en;q=0.5, de;q=0.5") << 200 << "<html lang=\"en\">";
    QTest::newRow("refused language")
        << QByteArray("/") << QByteArray("en;q=0, fr") << 200 << "<html lang=\"de\">";
    QTest::newRow("asked en") << QByteArray("/?lang=en") << QByteArray("de") << 200
                              << "<html lang=\"en\">";
    QTest::newRow("page n 0") << QByteArray("/?q=Baum&n=0") << QByteArray() << 400
                              << "<p class=\"problem\" role=\"alert\">Die Anzahl";
}

void TestWeb::answers()
{
    QFETCH(QByteArray, target);
    QFETCH(QByteArray, language);
    QFETCH(int, status);
    QFETCH(QString, expected);
    const HttpTestClient::Reply reply =
        get(target, language.isEmpty() ? QByteArray() : "Accept-Language: " + language + "\r\n");
    QCOMPARE(reply.status, status);
    QVERIFY2(QString::fromUtf8(reply.body).contains(expected), reply.body.left(300).constData());
    if (reply.headers.value("content-type").startsWith("text/plain")) {
        QCOMPARE(reply.body.indexOf('\n'), reply.body.size() - 1);
    }
}

void TestWeb::otherMethodsAreToldWhatIsAllowed()
{
    const QList<std::pair<QByteArray, QByteArray>> paths{
        {"/", "GET, HEAD"},
        {"/?q=Baum", "GET, HEAD"},
        {"/api/v1/associations?q=Baum", "GET, HEAD"},
        {"/cgi-bin/meta/meta.ger1-asso", "GET, HEAD, POST"}};
    for (const auto &[target, allowed] : paths) {
        for (const QByteArray method : {"POST", "PUT", "DELETE"}) {
            if (method == "POST" && allowed.contains("POST"))
                continue;
            HttpTestClient client;
            QVERIFY(client.connectTo(m_server.port()));
            client.send(method + ' ' + target +
                        " HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n");
            const HttpTestClient::Reply reply = client.next();
            QVERIFY2(reply.status == 405 && reply.headers.value("allow") == allowed,
                     QByteArray(method + ' ' + target + ": " + reply.headers.value("allow"))
                         .constData());
        }
    }
}

// Keywords come from the network: what looks like markup is shown as text, and nothing on the
// page can pass for one of the blocks the desktop program takes from the classic page.
void TestWeb::pageIsEscapedAndHoldsNoClassicBlock()
{
    const HttpTestClient::Reply reply = get(
        "/?q=%3Ccenter%3Eueber%3Ca+href%3D%22x%22%3EBaum%3C%2Fa%3E%3C%2Fcenter%3E%0ABaum%00&n=20");
    const QString page = QString::fromUtf8(reply.body);
    QVERIFY(!page.contains(QStringLiteral("<center>"), Qt::CaseInsensitive));
    QVERIFY(page.contains(QStringLiteral("<h2>&lt;center&gt;ueber&lt;a href=&quot;x&quot;&gt;")));
    QVERIFY(page.contains(QStringLiteral("<a href=\"/?q=Geh%C3%B6lz&amp;n=20\">Gehölz</a>")));
    QVERIFY(!page.contains(QChar(0)));
    QVERIFY(page.contains(QStringLiteral("href=\"/api/v1/associations?q=%3Ccenter")));
}

// The page as a person sees it after a search: the form sends a GET like this one. The sorting
// script marks the headers it handles, which it does only when the page's policy lets it run.
void TestWeb::browserShowsTheResultTables()
{
    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty()) {
        if (qEnvironmentVariable("CI") == QLatin1String("true")) {
            QFAIL("chromium is not installed (scripts/debian-packages.txt lists it)");
        }
        QSKIP("chromium is not installed");
    }
    QTemporaryDir profile;
    QProcess browser;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), profile.path());
    browser.setProcessEnvironment(environment);
    QStringList arguments = {QStringLiteral("--headless"), QStringLiteral("--dump-dom"),
                             QStringLiteral("--user-data-dir=") + profile.path(),
                             QStringLiteral("http://127.0.0.1:") +
                                 QString::number(m_server.port()) +
                                 QStringLiteral("/?q=Baum%2C+H%C3%B6hle&n=5")};
    if (geteuid() == 0) {
        arguments.prepend(QStringLiteral("--no-sandbox")); // chromium refuses root otherwise
    }
    browser.start(chromium, arguments);
    QTRY_VERIFY_WITH_TIMEOUT(browser.state() == QProcess::NotRunning, 120000);
    const QString dom = QString::fromUtf8(browser.readAllStandardOutput());
    QVERIFY2(dom.count(QStringLiteral("<table>")) == 2, qPrintable(browser.readAllStandardError()));
    QVERIFY(dom.contains(QStringLiteral(">Grotte</a>")));
    QVERIFY(dom.contains(QStringLiteral("tabindex=\"0\"")));
}

QTEST_GUILESS_MAIN(TestWeb)
#include "tst_web.moc"
