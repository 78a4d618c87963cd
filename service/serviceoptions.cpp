#include "serviceoptions.h"

#include "index/indexformat.h"

#include <QCommandLineParser>
#include <QThread>

#include <QCoreApplication>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>

namespace {

const QString listenName = QStringLiteral("listen");
const QString indexName = QStringLiteral("index");
const QString compileName = QStringLiteral("compile-index");
const QString rawName = QStringLiteral("raw");
const QString originName = QStringLiteral("allow-origin");
const QString threadsName = QStringLiteral("threads");
constexpr int maxThreads = 256;
const QString thesaurusName = QStringLiteral("thesaurus");
const QString wordListName = QStringLiteral("wordlist");
const QString dictionaryName = QStringLiteral("dictionary");
const QString proverbsName = QStringLiteral("proverbs");
const QString stopWordsName = QStringLiteral("stopwords");
const QString definitionsName = QStringLiteral("definitions");
const QString annotationsName = QStringLiteral("annotations");

void addPathOption(QCommandLineParser *parser, const QString &name, const QString &what,
                   const QString &path, const char *package)
{
    parser->addOption(QCommandLineOption(name,
                                         QStringLiteral("%1 Default: %2 (Debian package %3).")
                                             .arg(what, path, QLatin1String(package)),
                                         QStringLiteral("PATH")));
}

const QString webHelp = QStringLiteral(
    "\n\nFor people: a search page at / (German; English with ?lang=en or the browser's\n"
    "language). For scripts: GET /api/v1/associations?q=SEEDS&n=N&format=json|csv\n"
    "  q       one or more seed keywords, separated by commas or line ends; q may be\n"
    "          repeated; at most 10 seeds of at most 100 characters each\n"
    "  n       words per seed, 1 to 200 (default 20)\n"
    "  format  json (default; or as Accept prefers): {\"n\", \"count\", \"results\":\n"
    "          [{\"seed\", \"count\", \"associations\": [{\"word\", \"relation\",\n"
    "          \"score\"}]}]}; csv: RFC 4180 with the header line\n"
    "          seed,word,relation,score and CRLF line ends, UTF-8\n"
    "A bad, repeated or unknown field gets status 400; errors under /api/ are\n"
    "application/problem+json. /api/v1/openapi.json describes the API.");

// The options that name the raw data files, each with its default and package.
void addDataOptions(QCommandLineParser *parser)
{
    const DataSources debian = DataSources::debian();
    addPathOption(parser, thesaurusName,
                  QStringLiteral("The thesaurus data file in the office-suite thesaurus format; "
                                 "its index (.idx) must lie beside it."),
                  debian.thesaurus, "mythes-de");
    addPathOption(parser, wordListName,
                  QStringLiteral("The word list, one word per line, for compounds."),
                  debian.wordList, "wngerman");
    addPathOption(parser, dictionaryName,
                  QStringLiteral("The German-English dictionary, for phrases, forms and "
                                 "commonness."),
                  debian.dictionary, "trans-de-en");
    addPathOption(parser, proverbsName,
                  QStringLiteral("A fortune file or a folder of them, for proverbs."),
                  QStringLiteral("/usr/share/games/fortunes/de"), "fortunes-de");
    addPathOption(parser, stopWordsName,
                  QStringLiteral("The Perl module holding the German stop words."),
                  debian.stopWords, "liblingua-stopwords-perl");
    addPathOption(parser, definitionsName,
                  QStringLiteral("A German dictionary of the dict server built from Wiktionary, "
                                 "for definitions; may be given more than once."),
                  debian.definitions.join(QLatin1String(", ")),
                  "dict-freedict-deu-fra, -swe, -spa");
    addPathOption(parser, annotationsName,
                  QStringLiteral("The German emoji annotations of the Unicode CLDR, for keywords "
                                 "that go together."),
                  debian.annotations, "unicode-cldr-core");
}

} // namespace

void ServiceOptions::describe(QCommandLineParser *parser)
{
    parser->setApplicationDescription(
        QStringLiteral("Answers German keyword association queries for Lexigrove over HTTP.\n\n"
                       "POST /cgi-bin/meta/meta.ger1-asso with the form body "
                       "\"eingabe=KEYWORD&anzahl=N\",\nor GET the same path with these fields "
                       "as a query string. The reply is an HTML page\nwith up to N (1 to 200, "
                       "default 200) associated words, best first; with\n\"Accept: "
                       "application/json\" or the field format=json it is JSON giving each\n"
                       "word's relation (synonym, broader, narrower, compound, cooccurrence,\n"
                       "neighbour) and score.\n\n"
                       "The data comes from a compiled index, mapped at start-up (see --index); "
                       "then the\nline \"lexigrove-assocd listening on http://ADDR:PORT\" is "
                       "printed. --compile-index\nmakes the index from the raw Debian data; "
                       "--raw serves from the raw data directly\n(slow to start; for "
                       "development). Naming any data file implies --raw and uses\nonly the "
                       "named files, with the thesaurus and word list at their defaults.") +
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
        indexName,
        QStringLiteral("The compiled association index. Default: %1 beside this program, "
                       "else %2.")
            .arg(QLatin1String(IndexFormat::fileName), installedIndexPath()),
        QStringLiteral("PATH")));
    parser->addOption(QCommandLineOption(
        compileName, QStringLiteral("Compile the raw data into an index at PATH, then exit."),
        QStringLiteral("PATH")));
    parser->addOption(QCommandLineOption(
        rawName, QStringLiteral("Serve from the raw data files instead of an index.")));
    parser->addOption(QCommandLineOption(
        originName,
        QStringLiteral("Let browser scripts of ORIGIN (such as https://tools.example.org, or * "
                       "for any) read the API. Default: none."),
        QStringLiteral("ORIGIN")));
    parser->addOption(QCommandLineOption(
        threadsName,
        QStringLiteral("Answer queries on N worker threads (1 to %1); the connections are "
                       "served on one more. Default: one per processor core (%2 here).")
            .arg(maxThreads)
            .arg(defaultThreads()),
        QStringLiteral("N")));
    addDataOptions(parser);
}

bool ServiceOptions::take(const QCommandLineParser &parser, QString *error)
{
    if (parser.isSet(listenName) && !parseListen(parser.value(listenName), &address, &port)) {
        *error = QStringLiteral("--listen wants ADDR:PORT, such as 127.0.0.1:%1, not \"%2\"")
                     .arg(defaultPort)
                     .arg(parser.value(listenName));
        return false;
    }
    if (parser.isSet(originName) && !takeOrigin(parser.value(originName), error)) {
        return false;
    }
    indexPath = parser.isSet(indexName) ? parser.value(indexName) : defaultIndexPath();
    compileIndexPath = parser.value(compileName);
    raw = parser.isSet(rawName);
    threads = defaultThreads();
    if (parser.isSet(threadsName)) {
        bool ok = false;
        threads = parser.value(threadsName).toInt(&ok);
        if (!ok || threads < 1 || threads > maxThreads) {
            *error = QStringLiteral("--threads wants a number from 1 to %1, not \"%2\"")
                         .arg(maxThreads)
                         .arg(parser.value(threadsName));
            return false;
        }
    }
    const bool named = parser.isSet(thesaurusName) || parser.isSet(wordListName) ||
                       parser.isSet(dictionaryName) || parser.isSet(proverbsName) ||
                       parser.isSet(stopWordsName) || parser.isSet(definitionsName) ||
                       parser.isSet(annotationsName);
    if (named) {
        raw = true;
        sources.dictionary = parser.value(dictionaryName);
        sources.stopWords = parser.value(stopWordsName);
        sources.definitions = parser.values(definitionsName);
        sources.annotations = parser.value(annotationsName);
        sources.proverbs.clear();
        if (parser.isSet(proverbsName)) {
            sources.proverbs = DataSources::proverbFiles(parser.value(proverbsName));
        }
    }
    if (parser.isSet(thesaurusName)) {
        sources.thesaurus = parser.value(thesaurusName);
    }
    if (parser.isSet(wordListName)) {
        sources.wordList = parser.value(wordListName);
    }
    if (!parser.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments()[0]);
        return false;
    }
    return true;
}

// An origin is a scheme, a host and perhaps a port, exactly as browsers send it: anything more
// would never match and leave the option silently without effect.
bool ServiceOptions::takeOrigin(const QString &text, QString *error)
{
    const QUrl url(text, QUrl::StrictMode);
    const bool exact =
        text == QLatin1String("*") ||
        (url.isValid() && !url.host().isEmpty() && url.path().isEmpty() &&
         !text.endsWith(QLatin1Char('/')) && url.userInfo().isEmpty() && !url.hasQuery() &&
         !url.hasFragment() &&
         (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")));
    if (!exact) {
        *error = QStringLiteral("--allow-origin wants an origin such as https://example.org or "
                                "http://localhost:8080, or *, not \"%1\"")
                     .arg(text);
        return false;
    }
    allowOrigin = text.toUtf8();
    return true;
}

QString ServiceOptions::installedIndexPath()
{
    return QStringLiteral(LEXIGROVE_ASSOC_DATADIR "/") + QLatin1String(IndexFormat::fileName);
}

QString ServiceOptions::defaultIndexPath()
{
    const QString beside = QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                           QLatin1String(IndexFormat::fileName);
    return QFileInfo::exists(beside) ? beside : installedIndexPath();
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

int ServiceOptions::defaultThreads()
{
    return std::clamp(QThread::idealThreadCount(), 1, maxThreads);
}
