#include "serviceoptions.h"

#include <QCommandLineParser>

namespace {

const QString listenName = QStringLiteral("listen");
const QString thesaurusName = QStringLiteral("thesaurus");
const QString wordListName = QStringLiteral("wordlist");

const QString webHelp = QStringLiteral(
    "\n\nFor people: a search page at / (German; English with ?lang=en or the browser's\n"
    "language). For scripts: GET /api/v1/associations?q=SEEDS&n=N&format=json|csv\n"
    "  q       one or more seed keywords, separated by commas or line ends; q may be\n"
    "          repeated; at most 10 seeds of at most 100 characters each\n"
    "  n       words per seed, 1 to 200 (default 20)\n"
    "  format  json (default): {\"count\", \"results\": [{\"seed\", \"associations\":\n"
    "          [{\"word\", \"relation\", \"score\"}]}]}; csv: RFC 4180 with the header\n"
    "          line seed,word,relation,score and CRLF line ends, UTF-8\n"
    "A bad or unknown parameter gets status 400 and a one-line reason.");

} // namespace

void ServiceOptions::describe(QCommandLineParser *parser)
{
    const ServiceOptions defaults;
    parser->setApplicationDescription(
        QStringLiteral("Answers German keyword association queries for Lexigrove over HTTP.\n\n"
                       "POST /cgi-bin/meta/meta.ger1-asso with the form body "
                       "\"eingabe=KEYWORD&anzahl=N\",\nor GET the same path with these fields "
                       "as a query string. The reply is an HTML page\nwith up to N (1 to 200, "
                       "default 200) associated words, best first; with\n\"Accept: "
                       "application/json\" or the field format=json it is JSON giving each\n"
                       "word's relation and score. The words come from the thesaurus "
                       "(synonyms, broader\nand narrower terms, neighbours of the synonyms) "
                       "and the word list (compounds).\nAll data is read at start-up; then the "
                       "line \"lexigrove-assocd listening on\nhttp://ADDR:PORT\" is printed.") +
        webHelp);
    parser->addHelpOption();
    parser->addVersionOption();
    parser->addOption(QCommandLineOption(
        listenName,
        QStringLiteral("Listen on ADDR:PORT (an IPv6 address in brackets). Port 0 picks a free "
                       "port. Default: 127.0.0.1:%1.")
            .arg(defaultPort),
        QStringLiteral("ADDR:PORT")));
    parser->addOption(QCommandLineOption(
        thesaurusName,
        QStringLiteral("The thesaurus data file in the office-suite thesaurus format; its index "
                       "(.idx) must lie beside it. Default: %1 (Debian package mythes-de).")
            .arg(defaults.thesaurusPath),
        QStringLiteral("PATH")));
    parser->addOption(QCommandLineOption(
        wordListName,
        QStringLiteral("The word list, one word per line, for compounds. Default: %1 (Debian "
                       "package wngerman).")
            .arg(defaults.wordListPath),
        QStringLiteral("PATH")));
}

bool ServiceOptions::take(const QCommandLineParser &parser, QString *error)
{
    if (parser.isSet(listenName) && !parseListen(parser.value(listenName), &address, &port)) {
        *error = QStringLiteral("--listen wants ADDR:PORT, such as 127.0.0.1:%1, not \"%2\"")
                     .arg(defaultPort)
                     .arg(parser.value(listenName));
        return false;
    }
    if (parser.isSet(thesaurusName)) {
        thesaurusPath = parser.value(thesaurusName);
    }
    if (parser.isSet(wordListName)) {
        wordListPath = parser.value(wordListName);
    }
    if (!parser.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments()[0]);
        return false;
    }
    return true;
}

bool ServiceOptions::parseListen(const QString &text, QHostAddress *address, quint16 *port)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0) {
        return false;
    }
    QString host = text.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'))) {
        host = host.mid(1, host.size() - 2);
    } else if (host.contains(QLatin1Char(':'))) {
        return false; // an IPv6 address needs its brackets, or the port is ambiguous
    }
    bool ok = false;
    const uint number = text.mid(colon + 1).toUInt(&ok);
    if (!ok || number > 65535) {
        return false;
    }
    QHostAddress parsed;
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) {
        parsed = QHostAddress(QHostAddress::LocalHost);
    } else if (!parsed.setAddress(host)) {
        return false;
    }
    *address = parsed;
    *port = quint16(number);
    return true;
}

QString ServiceOptions::urlHost(const QHostAddress &address)
{
    const QString text = address.toString();
    return address.protocol() == QAbstractSocket::IPv6Protocol
               ? QLatin1Char('[') + text + QLatin1Char(']')
               : text;
}
