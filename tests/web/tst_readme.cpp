#include "http/httpserver.h"
#include "index/lexicon.h"
#include "service/httptestclient.h"
#include "web/associationservice.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

// The README's examples of the API, run against the index this build compiled: what they show
// is what the service answers, or this test says which example went stale.
class TestReadme : public QObject
{
    Q_OBJECT

private slots:
    void examplesAnswerAsShown();
};

namespace {

struct Example
{
    QString command;
    QByteArray target;
    bool withHead = false;
    QStringList shown; // the lines below the command
};

QList<Example> examples(const QString &readme)
{
    static const QRegularExpression curl(
        u"^\\$ curl (-i )?'http://127\\.0\\.0\\.1:27431(/[^']*)'$"_s);
    QList<Example> found;
    bool inBlock = false;
    for (const QString &line : readme.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch match = curl.match(line);
        if (match.hasMatch()) {
            found.append({line, match.captured(2).toUtf8(), match.hasCaptured(1), {}});
            inBlock = true;
        } else if (line.startsWith(QLatin1String("```")) || line.startsWith(QLatin1Char('$'))) {
            inBlock = false;
        } else if (inBlock) {
            found.last().shown.append(line);
        }
    }
    return found;
}

// The reply as the example prints it: with -i the status line, "..." for the headers, the body.
QStringList printed(const HttpTestClient::Reply &reply, bool withHead)
{
    QStringList lines;
    if (withHead)
        lines << u"HTTP/1.1 %1 %2"_s.arg(reply.status)
                     .arg(QString::fromLatin1(HttpResponse::reasonPhrase(reply.status)))
              << u"..."_s;
    QString body = QString::fromUtf8(reply.body);
    body.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (body.endsWith(QLatin1Char('\n')))
        body.chop(1);
    return lines + body.split(QLatin1Char('\n'));
}

} // namespace

void TestReadme::examplesAnswerAsShown()
{
    Lexicon lexicon;
    QString error;
    if (!lexicon.open(QStringLiteral(LEXIGROVE_ASSOC_INDEX), &error))
        QSKIP("this build has no compiled index (a sanitizer build makes none)");
    AssociationService service(&lexicon);
    HttpServer server(&service);
    QVERIFY(server.listen(QHostAddress(QHostAddress::LocalHost), 0));
    QFile file(QStringLiteral(LEXIGROVE_README));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<Example> found = examples(QString::fromUtf8(file.readAll()));
    QVERIFY2(found.size() >= 4, "the README shows fewer API examples than expected");
    for (const Example &example : found) {
        const QStringList real =
            printed(HttpTestClient::exchange(server.port(), HttpTestClient::get(example.target)),
                    example.withHead);
        QVERIFY2(real == example.shown,
                 qPrintable(example.command + u"\nanswers:\n"_s + real.join(QLatin1Char('\n'))));
    }
}

QTEST_GUILESS_MAIN(TestReadme)
#include "tst_readme.moc"
