#include "http/httpserver.h"
#include "http/partrunner.h"
#include "service/httptestclient.h"
#include "service/servicefixture.h"
#include "support/datatable.h"
#include "support/tempenvironment.h"
#include "web/associationservice.h"
#include "web/pagerenderer.h"
#include "web/resultfiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

#include <unistd.h>

using namespace Qt::StringLiterals;

class TestWeb : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void csvFieldsAreQuoted_data();
    void csvFieldsAreQuoted();
    void scoresAreWrittenAsQtWrites();
    void jsonStringsReadBackAsWritten();
    void cachedAndSplitAnswersAreTheColdAnswer_data();
    void cachedAndSplitAnswersAreTheColdAnswer();
    void apiAnswersSeveralSeeds();
    void answers_data();
    void answers();
    void errorsAreProblemDocuments_data();
    void errorsAreProblemDocuments();
    void pageErrorsStayHtml();
    void entityTagsSpareDownloads();
    void crossOriginIsAllowedOnlyWhenAsked();
    void openApiDescribesRealAnswers();
    void otherMethodsAreToldWhatIsAllowed();
    void pageIsEscapedAndHoldsNoClassicBlock();
    void browserShowsTheResultTables();
    void browserBreaksNoWordMidLetter();

private:
    HttpTestClient::Reply get(const QByteArray &target, const QByteArray &headers = {});

    AssociationService m_service{&ServiceFixture::lexicon()};
    HttpServer m_server{&m_service};
    // Kept over the rows, so that each row meets the cache the earlier rows left.
    struct Warm
    {
        QByteArray allowedOrigin = "https://tools.example.org";
        AssociationService service{&ServiceFixture::lexicon()};
        QThreadPool pool;
        struct Seen
        {
            HttpRequest request;
            QByteArray answer;
            bool headOnly;
        };
        QList<Seen> seen;
    } m_warm;
};

void TestWeb::initTestCase()
{
    m_warm.service.setAllowedOrigin(m_warm.allowedOrigin);
    m_warm.pool.setMaxThreadCount(2);
    QVERIFY(m_server.listen(QHostAddress(QHostAddress::LocalHost), 0));
}

HttpTestClient::Reply TestWeb::get(const QByteArray &target, const QByteArray &headers)
{
    return HttpTestClient::exchange(m_server.port(), HttpTestClient::get(target, headers));
}

void TestWeb::csvFieldsAreQuoted_data()
{
    TestSupport::addRows(u"web/csvfields.tsv"_s, {"text:bytes", "field:bytes"});
}

void TestWeb::csvFieldsAreQuoted()
{
    QFETCH(QByteArray, text);
    QTEST(ResultFiles::csvField(text), "field");
}

// Scores get their digits by hand; they must be what QByteArray::number() wrote, at the
// rounding edges, over a wide sweep of the range and outside it.
void TestWeb::scoresAreWrittenAsQtWrites()
{
    QCOMPARE(ResultFiles::scoreText(1.0f), "1.000");
    QCOMPARE(ResultFiles::scoreText(0.8949f), "0.895");
    constexpr float inf = std::numeric_limits<float>::infinity();
    QList<float> values{0.0f,    -0.0f,    1.0f, -1e-4f, -0.4f, -2.5f,     1e-45f, FLT_MIN,
                        FLT_MAX, -FLT_MAX, inf,  -inf,   NAN,   999999.5f, 4.2e9f, 1e12f};
    for (int k = 0; k <= 2000; ++k) {
        const float edge = (float(k) + 0.5f) / 1000.0f;
        values << edge << std::nextafter(edge, 0.0f) << std::nextafter(edge, 3.0f);
    }
    for (quint32 bits = 0; bits < 0x3fa00000; bits += 997) { // 0 to 1.25
        float value = 0;
        std::memcpy(&value, &bits, sizeof value);
        values << value;
    }
    for (const float value : std::as_const(values)) {
        const QByteArray expected = QByteArray::number(ResultFiles::roundedScore(value), 'f', 3);
        if (ResultFiles::scoreText(value) != expected)
            QFAIL(qPrintable(QStringLiteral("%1: %2, not %3")
                                 .arg(double(value), 0, 'g', 9)
                                 .arg(QString::fromLatin1(ResultFiles::scoreText(value)),
                                      QString::fromLatin1(expected))));
    }
}

// What a seed or word holds comes back from a JSON reader unchanged, wherever the bytes that
// need escapes stand among the plain ones.
void TestWeb::jsonStringsReadBackAsWritten()
{
    const QList<QByteArray> texts = {"",
                                     "Haus",
                                     "\"",
                                     "\\",
                                     "a\"b\\c",
                                     "\"Zitat\"",
                                     "Tab\tEnde\n",
                                     QByteArray(1, '\0'),
                                     "x\x01y\x1fz",
                                     "Stra\xc3\x9f"
                                     "e",
                                     "\x7f\\\\\""};
    for (const QByteArray &text : texts) {
        std::string out = "[";
        ResultFiles::appendJsonString(&out, text);
        out += "]";
        QJsonParseError error;
        const QJsonDocument document =
            QJsonDocument::fromJson(QByteArray::fromStdString(out), &error);
        QVERIFY2(error.error == QJsonParseError::NoError, out.c_str());
        QCOMPARE(document.array().at(0).toString().toUtf8(), text);
    }
}

// An answer from the cache, and one whose seeds were searched apart on two workers, is byte for
// byte the answer of a service that has seen nothing before: the cache's key holds everything
// that changes the bytes, and what it leaves out (origin, Accept beyond the format, method)
// still gets its own headers. Once seen, every API answer comes from the cache.
void TestWeb::cachedAndSplitAnswersAreTheColdAnswer_data()
{
    TestSupport::addRows(u"web/coldanswers.tsv"_s,
                         {"target:bytes", "accept:bytes", "origin:bytes", "method:bytes"});
}

void TestWeb::cachedAndSplitAnswersAreTheColdAnswer()
{
    QFETCH(QByteArray, target);
    HttpRequest request;
    QFETCH(QByteArray, method);
    request.method = method;
    request.path = target.left(target.indexOf('?'));
    request.query = target.mid(target.indexOf('?') + 1);
    QFETCH(QByteArray, accept);
    request.accept = accept;
    QFETCH(QByteArray, origin);
    request.origin = origin;
    const bool headOnly = method == "HEAD";
    AssociationService cold(&ServiceFixture::lexicon());
    cold.setAllowedOrigin(m_warm.allowedOrigin);
    const QByteArray expected = cold.handle(request).serialize(true, headOnly);
    // The first time may be searched, split on the pool; the second must come from the cache.
    for (int round = 0; round < 2; ++round) {
        HttpResponse response;
        const bool atOnce = m_warm.service.handleAtOnce(request, &response);
        QVERIFY2(atOnce || round == 0 || !request.path.startsWith("/api/"), target.constData());
        if (!atOnce) {
            const std::shared_ptr<HttpSplitAnswer> parts = m_warm.service.split(request);
            QVERIFY(parts);
            PartRunner::start(&m_warm.pool, parts, [&response](HttpResponse r) { response = r; });
            QVERIFY(m_warm.pool.waitForDone(30000));
        }
        QCOMPARE(response.serialize(true, headOnly), expected);
    }
    // What the earlier rows asked of the API is still answered from the cache, as it was.
    m_warm.seen.append({request, expected, headOnly});
    for (const auto &[earlier, answer, head] : std::as_const(m_warm.seen)) {
        HttpResponse response;
        if (earlier.path.startsWith("/api/")) {
            QVERIFY2(m_warm.service.handleAtOnce(earlier, &response), earlier.query.constData());
            QCOMPARE(response.serialize(true, head), answer);
        }
    }
}

// Seeds from two fields, split at commas and line ends, each once; a seed without words has
// count 0 in the JSON and one row with empty cells in the CSV.
void TestWeb::apiAnswersSeveralSeeds()
{
    const QByteArray query = "/api/v1/associations?q=Baum,+H%C3%B6hle%0D%0AGarten&q=baum&n=3";
    HttpTestClient::Reply reply = get(query + "&format=csv");
    QVERIFY(reply.headers.value("content-type").startsWith("text/csv; charset=utf-8"));
    QCOMPARE(reply.body.count('\n'), reply.body.count("\r\n"));
    QStringList expected{u"seed,word,relation,score"_s};
    for (const QString &word : ServiceFixture::answer(u"Baum"_s).mid(0, 3))
        expected << u"Baum,"_s + word;
    for (const QString &word : ServiceFixture::answer(u"Höhle"_s).mid(0, 3))
        expected << u"Höhle,"_s + word;
    expected << u"Garten,"_s;
    QStringList lines = QString::fromUtf8(reply.body).split(u"\r\n"_s);
    QCOMPARE(lines.takeLast(), QString());
    for (qsizetype i = 1; i < lines.size(); ++i)
        lines[i] = lines[i].section(QLatin1Char(','), 0, 1);
    QCOMPARE(lines, expected);
    QVERIFY(reply.body.endsWith("Garten,,,\r\n"));

    reply = get(query);
    QCOMPARE(reply.headers.value("content-type"), QByteArray("application/json; charset=utf-8"));
    const QJsonDocument document = QJsonDocument::fromJson(reply.body);
    QCOMPARE(document["n"].toInt(), 3);
    QCOMPARE(document["count"].toInt(), 6);
    const QJsonArray results = document["results"].toArray();
    QCOMPARE(results.size(), 3);
    QCOMPARE(results[0]["count"].toInt(), 3);
    QCOMPARE(results[2]["count"].toInt(), 0);
    QVERIFY(reply.body.contains("\"score\":1.000,") || reply.body.contains("\"score\":0."));
    QCOMPARE(results[1]["seed"].toString(), u"Höhle"_s);
    QVERIFY(results[2]["associations"].toArray().isEmpty());
    QCOMPARE(results[0]["associations"][2]["word"].toString(),
             ServiceFixture::answer(u"Baum"_s)[2]);
    QVERIFY(results[0]["associations"][2]["score"].toDouble() > 0);
}

// Limits, bad parameters (400 with a one-line reason for scripts, the form with a note for
// people) and the language of the page.
void TestWeb::answers_data()
{
    TestSupport::addRows(u"web/answers.tsv"_s,
                         {"target:bytes", "status:int", "expected", "language:bytes"});
    const QByteArray api = "/api/v1/associations?q=";
    const QByteArray emoji = "%F0%9F%8C%B3"; // four bytes, two UTF-16 units, one character
    QTest::newRow("huge") << api + "Baum" + QByteArray(9000, 'a') << 400 << u"query too"_s
                          << QByteArray();
    QTest::newRow("100 emoji") << api + emoji.repeated(100) << 200 << u"\"count\":0"_s
                               << QByteArray();
    QTest::newRow("101 emoji") << api + emoji.repeated(101) << 400 << u"too long"_s << QByteArray();
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
    const bool problem = reply.headers.value("content-type") == "application/problem+json";
    const QString text = problem ? QJsonDocument::fromJson(reply.body)["detail"].toString()
                                 : QString::fromUtf8(reply.body);
    QVERIFY2(text.contains(expected), reply.body.left(300).constData());
    if (target.startsWith("/api/") && status != 200) {
        QCOMPARE(reply.headers.value("content-type"), QByteArray("application/problem+json"));
        QCOMPARE(reply.body.indexOf('\n'), reply.body.size() - 1);
    }
}

// Every error under /api/ is a problem document a script can read.
void TestWeb::errorsAreProblemDocuments_data()
{
    TestSupport::addRows(u"web/problems.tsv"_s, {"request:bytes", "status:int"});
}

void TestWeb::errorsAreProblemDocuments()
{
    QFETCH(QByteArray, request);
    QFETCH(int, status);
    const HttpTestClient::Reply reply = HttpTestClient::exchange(m_server.port(), request);
    QCOMPARE(reply.status, status);
    QCOMPARE(reply.headers.value("content-type"), QByteArray("application/problem+json"));
    QCOMPARE(reply.headers.value("x-content-type-options"), QByteArray("nosniff"));
    QJsonParseError error;
    const QJsonObject problem = QJsonDocument::fromJson(reply.body, &error).object();
    QVERIFY2(error.error == QJsonParseError::NoError, reply.body.constData());
    QCOMPARE(problem.value("status").toInt(), status);
    QCOMPARE(problem.value("title").toString().toUtf8(), HttpResponse::reasonPhrase(status));
    QVERIFY(problem.value("type").isString());
    QVERIFY(!problem.value("detail").toString().isEmpty());
}

// Outside /api/ the page keeps its HTML, and nothing is left for a browser to sniff either.
void TestWeb::pageErrorsStayHtml()
{
    HttpTestClient client;
    QVERIFY(client.connectTo(m_server.port()));
    client.send("DELETE / HTTP/1.1\r\nHost: x\r\n\r\n" + HttpTestClient::get("/nowhere") +
                HttpTestClient::get("/cgi-bin/meta/meta.ger1-asso?eingabe=Baum"));
    for (const int status : {405, 404, 200}) {
        const HttpTestClient::Reply reply = client.next();
        QCOMPARE(reply.status, status);
        QVERIFY(reply.headers.value("content-type").startsWith("text/html"));
        QCOMPARE(reply.headers.value("x-content-type-options"), QByteArray("nosniff"));
    }
}

// An answer changes only with the index and the program: its tag names the index it came from
// and spares a second download, and JSON and CSV, which Accept can choose between, have tags of
// their own. JSON wins ties and refusals of CSV; any tag matches "*"; a backslash in a seed is
// escaped in the JSON.
void TestWeb::entityTagsSpareDownloads()
{
    const QByteArray target = "/api/v1/associations?q=Baum&n=4";
    const HttpTestClient::Reply json = get(target);
    const QByteArray tag = json.headers.value("etag");
    QVERIFY(ServiceFixture::lexicon().checksum() != 0);
    const QByteArray checksum =
        QByteArray::number(qulonglong(ServiceFixture::lexicon().checksum()), 16);
    QVERIFY2(tag.startsWith(QByteArray('"' + checksum + '-')) && tag.endsWith('"'),
             tag.constData());
    QCOMPARE(get(target, "If-None-Match: *\r\n").status, 304);
    QVERIFY(get(target, "Accept: application/json, text/csv\r\n").body.startsWith("{"));
    QVERIFY(get(target, "Accept: text/csv;q=0\r\n").body.startsWith("{"));
    const HttpTestClient::Reply slash = get("/api/v1/associations?q=a%5Cb%22c");
    QCOMPARE(QJsonDocument::fromJson(slash.body)["results"][0]["seed"].toString(), u"a\\b\"c"_s);
    QVERIFY(json.headers.value("cache-control").contains("max-age="));
    QVERIFY(json.headers.value("vary").contains("Accept"));
    const HttpTestClient::Reply csv = get(target, "Accept: text/html, text/csv;q=0.9, */*\r\n");
    QVERIFY(csv.headers.value("content-type").startsWith("text/csv"));
    QVERIFY(csv.body.startsWith("seed,word,relation,score\r\nBaum,Apfelbaum,"));
    QVERIFY(csv.headers.value("etag") != tag);
    QVERIFY(get(target + "&format=json", "Accept: text/csv\r\n").body.startsWith("{"));
    QVERIFY(get(target, "Accept: text/csv;q=0.5, application/json\r\n").body.startsWith("{"));

    HttpTestClient client;
    QVERIFY(client.connectTo(m_server.port()));
    client.send(HttpTestClient::get(target, "If-None-Match: \"other\", W/" + tag + "\r\n") +
                HttpTestClient::get(target, "If-None-Match: \"other\"\r\n"));
    const HttpTestClient::Reply unchanged = client.next();
    QCOMPARE(unchanged.status, 304);
    QCOMPARE(unchanged.headers.value("etag"), tag);
    QVERIFY(!unchanged.headers.contains("content-length"));
    QVERIFY(unchanged.body.isEmpty());
    const HttpTestClient::Reply changed = client.next(); // the connection survived the 304
    QCOMPARE(changed.status, 200);
    QCOMPARE(changed.body, json.body);
}

// Browser scripts of the one allowed origin may read answers and ask before they send headers;
// others get no permission, and without the option nobody does.
void TestWeb::crossOriginIsAllowedOnlyWhenAsked()
{
    const QByteArray target = "/api/v1/associations?q=Baum&n=1";
    const QByteArray origin = "Origin: https://tools.example.org\r\n";
    QVERIFY(!get(target, origin).headers.contains("access-control-allow-origin"));
    m_service.setAllowedOrigin("https://tools.example.org");
    const auto reset = qScopeGuard([this] { m_service.setAllowedOrigin({}); });
    QCOMPARE(get(target, origin).headers.value("access-control-allow-origin"),
             QByteArray("https://tools.example.org"));
    QVERIFY(get(target, origin).headers.value("access-control-expose-headers").contains("ETag"));
    // Another site, also one that merely begins with the allowed one, gets no permission.
    for (const QByteArray other : {"https://evil.example", "https://tools.example.org.evil.com"}) {
        const HttpTestClient::Reply reply = get(target, "Origin: " + other + "\r\n");
        QVERIFY2(!reply.headers.contains("access-control-allow-origin"), other.constData());
        QVERIFY(reply.headers.value("vary").contains("Origin"));
    }

    const HttpTestClient::Reply preflight = HttpTestClient::exchange(
        m_server.port(), "OPTIONS /api/v1/associations HTTP/1.1\r\nHost: x\r\n" + origin +
                             "Access-Control-Request-Method: GET\r\n"
                             "Access-Control-Request-Headers: if-none-match\r\n\r\n");
    QCOMPARE(preflight.status, 204);
    QCOMPARE(preflight.headers.value("access-control-allow-origin"),
             QByteArray("https://tools.example.org"));
    QVERIFY(preflight.headers.value("access-control-allow-methods").contains("GET"));
    QVERIFY(preflight.headers.value("access-control-allow-headers").contains("If-None-Match"));
    m_service.setAllowedOrigin("*");
    QCOMPARE(get(target, origin).headers.value("access-control-allow-origin"), QByteArray("*"));
}

namespace {

// Whether a value fits a schema of the document: types, required and undeclared properties,
// enumerations and the items of arrays. Enough for a description written by hand to be held to
// what the service really sends.
QString schemaMismatch(const QJsonValue &value, QJsonObject schema, const QJsonObject &document,
                       const QString &where)
{
    if (schema.contains("$ref")) {
        const QString ref = schema.value("$ref").toString().mid(2);
        QJsonValue target = document;
        for (const QString &part : ref.split('/'))
            target = target[part];
        schema = target.toObject();
    }
    const QString type = schema.value("type").toString();
    const bool fits = type == "object"    ? value.isObject()
                      : type == "array"   ? value.isArray()
                      : type == "string"  ? value.isString()
                      : type == "integer" ? value.isDouble() && value.toDouble() == value.toInt()
                      : type == "number"  ? value.isDouble()
                                          : false;
    if (!fits)
        return where + " is no " + type;
    if (schema.contains("enum") && !schema.value("enum").toArray().contains(value))
        return where + " is none of the enumeration";
    const QJsonObject properties = schema.value("properties").toObject();
    for (const QJsonValue required : schema.value("required").toArray())
        if (!value.toObject().contains(required.toString()))
            return where + " lacks " + required.toString();
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!properties.contains(it.key()))
            return where + " has the undeclared " + it.key();
        const QString inner = schemaMismatch(it.value(), properties.value(it.key()).toObject(),
                                             document, where + "." + it.key());
        if (!inner.isEmpty())
            return inner;
    }
    const QJsonArray items = value.toArray();
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString inner = schemaMismatch(items[i], schema.value("items").toObject(), document,
                                             where + "[" + QString::number(i) + "]");
        if (!inner.isEmpty())
            return inner;
    }
    return {};
}

} // namespace

// The description at /api/v1/openapi.json against real answers: the fields it lists are those
// the API takes, and answers and errors fit its schemas.
void TestWeb::openApiDescribesRealAnswers()
{
    const HttpTestClient::Reply reply = get("/api/v1/openapi.json");
    QCOMPARE(reply.status, 200);
    const QJsonObject document = QJsonDocument::fromJson(reply.body).object();
    QVERIFY(document.value("openapi").toString().startsWith("3."));
    const QJsonObject operation = document["paths"]["/api/v1/associations"]["get"].toObject();
    QStringList names;
    for (const QJsonValue parameter : operation["parameters"].toArray()) {
        names << parameter["name"].toString();
        // Each documented field is taken: a misspelt one would be refused as unknown.
        const QByteArray field = parameter["name"].toString().toUtf8();
        QVERIFY2(get("/api/v1/associations?q=Baum&" + field + "=1").body.indexOf("unknown") < 0,
                 field.constData());
    }
    QCOMPARE(names, QStringList({"q", "n", "format"}));
    const QJsonObject answer =
        operation["responses"]["200"]["content"]["application/json"]["schema"].toObject();
    const QJsonObject problem = document["components"]["schemas"]["Problem"].toObject();
    const QByteArray answers[] = {"q=Baum,Garten&n=200", "q=Baum&n=1", "q=Nichts"};
    for (const QByteArray &query : answers) {
        const QJsonDocument real =
            QJsonDocument::fromJson(get("/api/v1/associations?" + query).body);
        const QString mismatch = schemaMismatch(real.object(), answer, document, "answer");
        QVERIFY2(mismatch.isEmpty(), qPrintable(query + ": " + mismatch));
    }
    for (const QByteArray &target :
         {QByteArray("/api/v1/associations?n=0"), QByteArray("/api/x")}) {
        const QJsonDocument real = QJsonDocument::fromJson(get(target).body);
        const QString mismatch = schemaMismatch(real.object(), problem, document, "problem");
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    }
}

void TestWeb::otherMethodsAreToldWhatIsAllowed()
{
    const QList<std::pair<QByteArray, QByteArray>> paths{
        {"/", "GET, HEAD"},
        {"/?q=Baum", "GET, HEAD"},
        {"/api/v1/associations?q=Baum", "GET, HEAD, OPTIONS"},
        {"/cgi-bin/meta/meta.ger1-asso", "GET, HEAD, POST"}};
    for (const auto &[target, allowed] : paths) {
        for (const QByteArray method : {"POST", "PUT", "DELETE"}) {
            const QByteArray request = method + ' ' + target + " HTTP/1.1\r\nHost: x\r\n";
            const auto reply =
                HttpTestClient::exchange(m_server.port(), request + "Content-Length: 0\r\n\r\n");
            QVERIFY2((reply.status == 405 && reply.headers.value("allow") == allowed) ||
                         (method == "POST" && allowed.contains("POST")),
                     QByteArray(request + reply.headers.value("allow")).constData());
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
    QVERIFY(!page.contains(u"<center>"_s, Qt::CaseInsensitive));
    QVERIFY(page.contains(u"<h2>&lt;center&gt;ueber&lt;a href=&quot;x&quot;&gt;"_s));
    QVERIFY(page.contains(u"<a href=\"/?q=Geh%C3%B6lz&amp;n=20\">Gehölz</a>"_s));
    QVERIFY(!page.contains(QChar(0)));
    QVERIFY(page.contains(u"href=\"/api/v1/associations?q=%3Ccenter"_s));
    QVERIFY(page.contains(u"<caption>Assoziationen zu „Baum“</caption>"_s));
    QVERIFY(page.contains(u"&amp;n=20&amp;format=json\">als JSON</a>"_s));
    // The classic page, which the desktop program reads without decoding, escapes only markup.
    QCOMPARE(PageRenderer::escapedWord("<b>A&B</b> \"x\""), "&lt;b&gt;A&amp;B&lt;/b&gt; \"x\"");
}

namespace {

// The DOM of a page as headless chromium leaves it after its scripts ran, at a window width,
// with a profile of its own.
QString browserDom(const QString &url, int width)
{
    QTemporaryDir profile;
    QStringList arguments =
        u"--headless --disable-gpu --disable-background-networking "
        "--disable-component-update --disable-sync --hide-scrollbars"_s.split(QLatin1Char(' '));
    arguments << u"--window-size=%1,1000"_s.arg(width) << u"--user-data-dir="_s + profile.path()
              << u"--dump-dom"_s << url;
    if (geteuid() == 0)
        arguments.prepend(u"--no-sandbox"_s); // chromium refuses root otherwise
    QProcess browser;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"HOME"_s, profile.path());
    browser.setProcessEnvironment(environment);
    browser.start(QStandardPaths::findExecutable(u"chromium"_s), arguments);
    if (!QTest::qWaitFor([&] { return browser.state() == QProcess::NotRunning; }, 120000)) {
        browser.kill();
        browser.waitForFinished();
        return u"chromium did not finish within two minutes"_s;
    }
    const QString dom = QString::fromUtf8(browser.readAllStandardOutput());
    return dom.isEmpty() ? QString::fromUtf8(browser.readAllStandardError()) : dom;
}

bool haveBrowser()
{
    return !QStandardPaths::findExecutable(u"chromium"_s).isEmpty();
}

} // namespace

// The page as a person sees it after a search: the form sends a GET like this one. The sorting
// script marks the headers it handles, which it does only when the page's policy lets it run.
void TestWeb::browserShowsTheResultTables()
{
    if (!haveBrowser()) {
        if (qEnvironmentVariable("CI") == QLatin1String("true"))
            QFAIL("chromium is not installed (scripts/debian-packages.txt lists it)");
        QSKIP("chromium is not installed");
    }
    const QString dom =
        browserDom(u"http://127.0.0.1:%1/?q=Baum%2C+H%C3%B6hle&n=5"_s.arg(m_server.port()), 1280);
    QVERIFY2(dom.count(u"<table>"_s) == 2, qPrintable(dom.left(500)));
    QVERIFY(dom.contains(u">Grotte</a>"_s));
    QVERIFY(dom.contains(u"tabindex=\"0\""_s));
    // Enter in the keyword field submits its form: a one-line field in a GET form to "/".
    QVERIFY(dom.contains(u"<form method=\"get\" action=\"/\">"_s));
    QVERIFY(dom.contains(u"<input id=\"q\" name=\"q\" type=\"text\""_s));
}

// The German page at desktop widths breaks no word between two letters: a word that does not fit
// makes its table scroll instead, and the page is no wider than the window. The page is served
// again from a second local server, without its policy, so that a measuring script can run in it.
void TestWeb::browserBreaksNoWordMidLetter()
{
    if (!haveBrowser())
        QSKIP("chromium is not installed");
    const QByteArray page =
        get("/?q=Baum%2C+H%C3%B6hle%2C+Baumkrone%2C+Ahnentafel&n=200&lang=de").body;
    QVERIFY(page.contains("</body>"));
    QByteArray measured = page;
    const QByteArray script = TestSupport::readBytes(TestSupport::dataFile(u"web/measure.html"_s));
    measured.replace("</body>", QByteArray(script + "</body>"));
    QTcpServer plain;
    QVERIFY(plain.listen(QHostAddress(QHostAddress::LocalHost), 0));
    connect(&plain, &QTcpServer::newConnection, &plain, [&plain, measured] {
        QTcpSocket *socket = plain.nextPendingConnection();
        connect(socket, &QTcpSocket::readyRead, socket, [socket, measured] {
            socket->readAll();
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n"
                          "Connection: close\r\nContent-Length: " +
                          QByteArray::number(measured.size()) + "\r\n\r\n" + measured);
            socket->disconnectFromHost();
        });
    });
    for (const int width : {1280, 1920}) {
        const QString dom = browserDom(u"http://127.0.0.1:%1/"_s.arg(plain.serverPort()), width);
        static const QRegularExpression attribute(u"data-measured=\"([^\"]*)\""_s);
        const QRegularExpressionMatch match = attribute.match(dom);
        QVERIFY2(match.hasMatch(), qPrintable(dom.left(500)));
        const QString json =
            match.captured(1).replace(QLatin1String("&quot;"), QLatin1String("\""));
        const QJsonObject result = QJsonDocument::fromJson(json.toUtf8()).object();
        QVERIFY2(result.value("words").toInt() > 30, qPrintable(json));
        QVERIFY2(result.value("broken").toArray().isEmpty(),
                 qPrintable(QString::number(width) + json));
        QVERIFY2(!result.value("wider").toBool(), qPrintable(QString::number(width) + json));
    }
}

QTEST_GUILESS_MAIN(TestWeb)
#include "tst_web.moc"
