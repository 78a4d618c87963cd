#include "associator.h"
#include "indexcompiler.h"
#include "indexformat.h"
#include "lexicon.h"
#include "pagerenderer.h"
#include "queryfields.h"
#include "servicefixture.h"
#include "termtext.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class TestAssociations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void termsLoseTheirNotes_data();
    void termsLoseTheirNotes();
    void lookupKeysFoldCaseAndBlanks();
    void rankingFollowsTheRelations();
    void junkIsKeptOut_data();
    void junkIsKeptOut();
    void inflectedKeywordsAnswerAsTheirBase();
    void indexGivesTheRawAnswers();
    void damagedIndexEndsTheService_data();
    void damagedIndexEndsTheService();
    void keywordCaseAndBlanksDoNotMatter();
    void countIsClamped();
    void unknownOrEmptyKeywordGivesNothing();
    void missingOrBrokenDataIsReported_data();
    void missingOrBrokenDataIsReported();
    void latin1ThesaurusIsRead();
    void formFieldsAreDecoded_data();
    void formFieldsAreDecoded();
    void pageYieldsExactlyTheWords();
    void jsonCarriesRelationsAndScores();

private:
    static QStringList words(const Lexicon &lexicon, const QString &keyword, int count = 200);
    QStringList words(const QString &keyword, int count = 200) const
    {
        return words(m_lexicon, keyword, count);
    }

    Lexicon m_lexicon; // the thesaurus and the word list alone
    Lexicon m_full;    // every source
    QTemporaryDir m_dir;
};

void TestAssociations::initTestCase()
{
    QString error;
    QVERIFY2(
        m_lexicon.load(ServiceFixture::thesaurusPath(), ServiceFixture::wordListPath(), &error),
        qPrintable(error));
    QVERIFY2(m_full.load(ServiceFixture::sources(), &error), qPrintable(error));
}

QStringList TestAssociations::words(const Lexicon &lexicon, const QString &keyword, int count)
{
    QStringList result;
    for (const Association &a : Associator(&lexicon).associate(keyword, count)) {
        const std::string_view word = lexicon.word(a.word);
        result.append(QString::fromUtf8(word.data(), qsizetype(word.size())));
    }
    return result;
}

void TestAssociations::termsLoseTheirNotes_data()
{
    QTest::addColumn<QByteArray>("term");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("role");
    QTest::addColumn<bool>("mainForm");
    const int plain = int(TermRole::Plain);
    QTest::newRow("usage note") << QByteArray("Bude (ugs.)") << QByteArray("Bude") << plain
                                << false;
    QTest::newRow("several notes") << QByteArray("Haus (Hauptform) (Oberbegriff)")
                                   << QByteArray("Haus") << int(TermRole::Broader) << true;
    QTest::newRow("mark inside a list") << QByteArray("Graph (fachspr., Unterbegriff)")
                                        << QByteArray("Graph") << int(TermRole::Narrower) << false;
    QTest::newRow("optional words before") << QByteArray("(sich) (die) Seiten halten (ugs.)")
                                           << QByteArray("Seiten halten") << plain << false;
    QTest::newRow("optional ending")
        << QByteArray("viele(s) andere (ugs.)") << QByteArray("viele andere") << plain << false;
    QTest::newRow("nothing but a note")
        << QByteArray("(Jahreszahl)") << QByteArray() << plain << false;
    QTest::newRow("unbalanced") << QByteArray("(kaputt") << QByteArray("(kaputt") << plain << false;
}

void TestAssociations::termsLoseTheirNotes()
{
    QFETCH(QByteArray, term);
    QFETCH(QByteArray, text);
    QFETCH(int, role);
    QFETCH(bool, mainForm);
    const TermText::Parsed parsed =
        TermText::parse(std::string_view(term.constData(), size_t(term.size())));
    QCOMPARE(QByteArray(parsed.text.data(), qsizetype(parsed.text.size())), text);
    QCOMPARE(int(parsed.role), role);
    QCOMPARE(parsed.mainForm, mainForm);
}

void TestAssociations::lookupKeysFoldCaseAndBlanks()
{
    QCOMPARE(TermText::lookupKey(QStringLiteral("  GRÜNE \t Lunge ")),
             QStringLiteral("grüne lunge"));
    QCOMPARE(TermText::lookupKey(QStringLiteral("Haus...")), QStringLiteral("haus"));
    QVERIFY(!TermText::isDisplayable("Baum & Strauch"));
    QVERIFY(!TermText::isDisplayable("<Baum>"));
    QVERIFY(!TermText::isDisplayable("im Jahre (...)"));
    QVERIFY(!TermText::isDisplayable("00"));
    QVERIFY(TermText::isDisplayable("Baum-Strauch"));
}

// The fixture has a word with "&", one in angle brackets and an elided prefix in Baum's
// meanings; none of them may appear, nor the keyword itself.
void TestAssociations::rankingFollowsTheRelations()
{
    QCOMPARE(words(QStringLiteral("Baum")), ServiceFixture::baumWords());
    QCOMPARE(words(QStringLiteral("Höhle")), ServiceFixture::hoehleWords());
    QCOMPARE(words(QStringLiteral("grüne Lunge")),
             QStringList({QStringLiteral("Stadtpark"), QStringLiteral("Parkanlage")}));
}

void TestAssociations::junkIsKeptOut_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QStringList>("wanted");
    QTest::addColumn<QStringList>("unwanted");
    QTest::newRow("compounds") << "Haus" << QStringList{"Hausboot", "Haustür"}
                               << QStringList{"durchaus", "Haussier", "Hausboote", "Haustüren"};
    QTest::newRow("stop words") << "Haus" << QStringList{"Tür", "Garten", "bauen", "Boot"}
                                << QStringList{"ein", "mit", "und", "wer", "Häuser"};
    QTest::newRow("short part") << "Tor" << QStringList() << QStringList{"Motor"};
    QTest::newRow("own forms") << "schnell" << QStringList{"rasch", "zügig", "behänd", "Boot"}
                               << QStringList{"schnelle", "schneller", "schnellem", "00"};
}

// Each unwanted word would come in by one of the sources: a word-list entry that ends or
// begins with the keyword, a phrase of the dictionary, a neighbour in the thesaurus.
void TestAssociations::junkIsKeptOut()
{
    QFETCH(QString, keyword);
    QFETCH(QStringList, wanted);
    QFETCH(QStringList, unwanted);
    const QStringList found = words(m_full, keyword);
    for (const QString &word : wanted) {
        QVERIFY2(found.contains(word), qPrintable(word + QLatin1String(": ") + found.join(',')));
    }
    for (const QString &word : unwanted) {
        QVERIFY2(!found.contains(word), qPrintable(word));
    }
    QCOMPARE(QStringList(found).removeDuplicates(), 0);
    // Phrases move down: at most two before the last single word.
    qsizetype lastWord = found.size();
    while (lastWord > 0 && found[lastWord - 1].contains(QLatin1Char(' '))) {
        --lastWord;
    }
    QVERIFY(found.mid(0, lastWord).filter(QLatin1String(" ")).size() <= 2);
}

void TestAssociations::inflectedKeywordsAnswerAsTheirBase()
{
    // A plural and a verb form from the dictionary, and an ending on a known form.
    for (const auto &[inflected, base] : {std::pair{"Häuser", "Haus"},
                                          {"läuft", "laufen"},
                                          {"Gärten", "Garten"},
                                          {"schnelleren", "schnell"}}) {
        const QStringList expected = words(m_full, QString::fromUtf8(base));
        QVERIFY(!expected.isEmpty());
        QCOMPARE(words(m_full, QString::fromUtf8(inflected)), expected);
    }
}

void TestAssociations::indexGivesTheRawAnswers()
{
    const QString path = m_dir.filePath(QStringLiteral("good.idx"));
    QString error;
    QVERIFY2(IndexCompiler::compileTo(ServiceFixture::sources(), path, &error), qPrintable(error));
    Lexicon mapped;
    QVERIFY2(mapped.open(path, &error), qPrintable(error));
    for (const char *keyword : {"Haus", "Häuser", "schnell", "laufen", "Baum", "Höhle", "Tür"}) {
        const auto raw = Associator(&m_full).associate(QString::fromUtf8(keyword), 200);
        const auto fromIndex = Associator(&mapped).associate(QString::fromUtf8(keyword), 200);
        QCOMPARE(fromIndex.size(), raw.size());
        for (size_t i = 0; i < raw.size(); ++i) {
            QVERIFY(mapped.word(fromIndex[i].word) == m_full.word(raw[i].word));
            QVERIFY(fromIndex[i].relation == raw[i].relation && fromIndex[i].score == raw[i].score);
        }
    }
}

void TestAssociations::damagedIndexEndsTheService_data()
{
    QTest::addColumn<qsizetype>("offset"); // where to write the patch; -1: cut the file there
    QTest::addColumn<QByteArray>("patch");
    QTest::addColumn<bool>("fixChecksum"); // a damage that the checksum alone would not see
    QTest::addColumn<QString>("expected");
    const qsizetype sections = sizeof(IndexFormat::Header);
    QTest::newRow("missing") << qsizetype(0) << QByteArray() << false << "is missing";
    QTest::newRow("truncated") << qsizetype(-1) << QByteArray() << false << "truncated";
    QTest::newRow("corrupt") << qsizetype(2000) << QByteArray("\xff\xfe") << false << "damaged";
    QTest::newRow("version") << qsizetype(8) << QByteArray("\x63\0\0\0", 4) << false
                             << "version 99";
    QTest::newRow("not an index") << qsizetype(0) << QByteArray("UTF-8\n") << false << "not an";
    // The count of the word offsets, far beyond the file.
    QTest::newRow("tables") << sections + 16 + 8 << QByteArray("\xff\xff\xff\x0f", 4) << true
                            << "damaged";
}

void TestAssociations::damagedIndexEndsTheService()
{
    QFETCH(qsizetype, offset);
    QFETCH(QByteArray, patch);
    QFETCH(bool, fixChecksum);
    QFETCH(QString, expected);
    const QString path = m_dir.filePath(QStringLiteral("damaged.idx"));
    QFile::remove(path);
    QString error;
    if (offset != 0 || !patch.isEmpty()) {
        QVERIFY2(IndexCompiler::compileTo(ServiceFixture::sources(), path, &error),
                 qPrintable(error));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        offset < 0 ? bytes.truncate(bytes.size() / 2)
                   : (void)bytes.replace(offset, patch.size(), patch);
        if (fixChecksum) {
            const quint64 sum =
                IndexFormat::checksum(bytes.constData() + sizeof(IndexFormat::Header),
                                      size_t(bytes.size()) - sizeof(IndexFormat::Header));
            bytes.replace(offsetof(IndexFormat::Header, checksum), 8,
                          QByteArray(reinterpret_cast<const char *>(&sum), 8));
        }
        QVERIFY(file.resize(0) && file.write(bytes) == bytes.size());
    }
    QProcess process;
    process.start(QStringLiteral(LEXIGROVE_ASSOCD),
                  {QStringLiteral("--index"), path, QStringLiteral("--listen"),
                   QStringLiteral("127.0.0.1:0")});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    const QString message = QString::fromLocal8Bit(process.readAllStandardError());
    for (const QString &part : {path, expected, QStringLiteral("--compile-index")}) {
        QVERIFY2(message.contains(part), qPrintable(message));
    }
}

void TestAssociations::keywordCaseAndBlanksDoNotMatter()
{
    QCOMPARE(words(QStringLiteral("BAUM")), ServiceFixture::baumWords());
    QCOMPARE(words(QStringLiteral("  baum ")), ServiceFixture::baumWords());
    QCOMPARE(words(QStringLiteral("HÖHLE")), ServiceFixture::hoehleWords());
}

void TestAssociations::countIsClamped()
{
    QCOMPARE(words(QStringLiteral("Baum"), 3), ServiceFixture::baumWords().mid(0, 3));
    QCOMPARE(words(QStringLiteral("Baum"), 0), ServiceFixture::baumWords().mid(0, 1));
    QCOMPARE(words(QStringLiteral("Baum"), -5), ServiceFixture::baumWords().mid(0, 1));
    QCOMPARE(words(QStringLiteral("Baum"), 100000), ServiceFixture::baumWords());
}

void TestAssociations::unknownOrEmptyKeywordGivesNothing()
{
    QVERIFY(words(QStringLiteral("Xylophon")).isEmpty());
    QVERIFY(words(QString()).isEmpty());
    QVERIFY(words(QStringLiteral("   ")).isEmpty());
    QVERIFY(words(QStringLiteral("...")).isEmpty());
}

void TestAssociations::missingOrBrokenDataIsReported_data()
{
    QTest::addColumn<QString>("missing");      // file left out of the copy
    QTest::addColumn<QByteArray>("thesaurus"); // replaces the data file's content when set
    QTest::addColumn<QString>("expected");     // in the message
    QTest::newRow("data file") << "thesaurus.dat" << QByteArray() << "mythes-de";
    QTest::newRow("index") << "thesaurus.idx" << QByteArray() << "thesaurus.idx";
    QTest::newRow("word list") << "wordlist.txt" << QByteArray() << "wngerman";
    QTest::newRow("bad count") << QString() << QByteArray("UTF-8\nbaum|x\n-|a|b\n") << "line 2";
    QTest::newRow("cut short") << QString() << QByteArray("UTF-8\nbaum|3\n-|a|b\n") << "ends";
    QTest::newRow("encoding") << QString() << QByteArray("KOI8-R\nbaum|1\n-|a|b\n") << "KOI8-R";
}

void TestAssociations::missingOrBrokenDataIsReported()
{
    QFETCH(QString, missing);
    QFETCH(QByteArray, thesaurus);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    for (const QString name : {"thesaurus.dat", "thesaurus.idx", "wordlist.txt"}) {
        if (name != missing) {
            QVERIFY(QFile::copy(ServiceFixture::dataDir() + QLatin1Char('/') + name,
                                dir.filePath(name)));
        }
    }
    if (!thesaurus.isEmpty()) {
        QFile file(dir.filePath(QStringLiteral("thesaurus.dat")));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(thesaurus);
    }
    Lexicon lexicon;
    QString error;
    QVERIFY(!lexicon.load(dir.filePath(QStringLiteral("thesaurus.dat")),
                          dir.filePath(QStringLiteral("wordlist.txt")), &error));
    QVERIFY2(error.contains(expected), qPrintable(error));
    if (!missing.isEmpty()) {
        QVERIFY2(error.contains(dir.filePath(missing)), qPrintable(error));
    }
}

void TestAssociations::latin1ThesaurusIsRead()
{
    QTemporaryDir dir;
    const QString dat = dir.filePath(QStringLiteral("th.dat"));
    QFile file(dat);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("ISO8859-1\nhöhle|1\n-|Höhle|Grotte\n").toLatin1());
    file.close();
    QVERIFY(QFile::copy(ServiceFixture::dataDir() + QStringLiteral("/thesaurus.idx"),
                        dir.filePath(QStringLiteral("th.idx"))));
    Lexicon lexicon;
    QString error;
    QVERIFY2(lexicon.load(dat, ServiceFixture::wordListPath(), &error), qPrintable(error));
    const auto result = Associator(&lexicon).associate(QStringLiteral("höhle"), 1);
    QCOMPARE(result.size(), size_t(1));
    QVERIFY(lexicon.word(result[0].word) == std::string_view("Grotte"));
}

void TestAssociations::formFieldsAreDecoded_data()
{
    QTest::addColumn<QByteArray>("form");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("format");
    const int none = int(QueryFields::Format::Unspecified);
    QTest::newRow("plain") << QByteArray("eingabe=Haus&anzahl=200") << "Haus" << 200 << none;
    QTest::newRow("latin-1 escaped")
        << QByteArray("eingabe=H%F6hle&anzahl=5") << "Höhle" << 5 << none;
    QTest::newRow("utf-8 escaped") << QByteArray("eingabe=H%C3%B6hle") << "Höhle" << 200 << none;
    QTest::newRow("latin-1 raw") << QByteArray("eingabe=H\xF6hle") << "Höhle" << 200 << none;
    QTest::newRow("utf-8 raw") << QByteArray("eingabe=H\xC3\xB6hle") << "Höhle" << 200 << none;
    QTest::newRow("plus and escapes")
        << QByteArray("eingabe=gr%FCne+Lunge%2B%26%3D") << "grüne Lunge+&=" << 200 << none;
    QTest::newRow("stray percent") << QByteArray("eingabe=100%&anzahl=7%") << "100%" << 200 << none;
    QTest::newRow("bad escape") << QByteArray("eingabe=%G1%4") << "%G1%4" << 200 << none;
    QTest::newRow("count too small") << QByteArray("anzahl=0") << QString() << 1 << none;
    QTest::newRow("count too big") << QByteArray("anzahl=99999999999") << QString() << 200 << none;
    QTest::newRow("count negative") << QByteArray("anzahl=-3") << QString() << 1 << none;
    QTest::newRow("count unreadable") << QByteArray("anzahl=viele") << QString() << 200 << none;
    // An old client sends "&" unescaped; its own count comes last and wins.
    QTest::newRow("split keyword")
        << QByteArray("eingabe=a&b&anzahl=7&anzahl=200") << "a" << 200 << none;
    QTest::newRow("json") << QByteArray("format=JSON&eingabe=x") << "x" << 200
                          << int(QueryFields::Format::Json);
    QTest::newRow("html") << QByteArray("format=html") << QString() << 200
                          << int(QueryFields::Format::Html);
    QTest::newRow("empty") << QByteArray() << QString() << 200 << none;
}

void TestAssociations::formFieldsAreDecoded()
{
    QFETCH(QByteArray, form);
    QFETCH(QString, keyword);
    QFETCH(int, count);
    QFETCH(int, format);
    QueryFields fields;
    fields.parse(form);
    QCOMPARE(fields.keyword, keyword);
    QCOMPARE(fields.count, count);
    QCOMPARE(int(fields.format), format);
}

// The desktop program reads pages with this pattern (lazy groups, dot matching newlines).
void TestAssociations::pageYieldsExactlyTheWords()
{
    const QRegularExpression pattern(QStringLiteral("<center>(.*?)ueber(.*?)>(.*?)</a></center>"),
                                     QRegularExpression::DotMatchesEverythingOption);
    // A keyword full of markup is echoed in the page and must not create or hide a block.
    for (const QString &keyword :
         {QStringLiteral("Baum"), QStringLiteral("<center>ueber<a>x</a></center>"),
          QStringLiteral("Xylophon")}) {
        const auto result = Associator(&m_lexicon).associate(QStringLiteral("Baum"), 200);
        const QByteArray page = PageRenderer::html(
            keyword, keyword == QStringLiteral("Xylophon") ? std::vector<Association>() : result,
            m_lexicon);
        QVERIFY(page.contains("<meta charset=\"utf-8\">"));
        QStringList found;
        auto it = pattern.globalMatch(QString::fromUtf8(page));
        while (it.hasNext()) {
            found.append(it.next().captured(3));
        }
        QCOMPARE(found, keyword == QStringLiteral("Xylophon") ? QStringList()
                                                              : ServiceFixture::baumWords());
    }
}

void TestAssociations::jsonCarriesRelationsAndScores()
{
    const auto result = Associator(&m_full).associate(QStringLiteral("Haus"), 200);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(
        PageRenderer::json(QStringLiteral("Hö\"hle\\"), result, m_full), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonObject object = doc.object();
    QCOMPARE(object.value(QStringLiteral("keyword")).toString(), QStringLiteral("Hö\"hle\\"));
    const QJsonArray list = object.value(QStringLiteral("associations")).toArray();
    QCOMPARE(object.value(QStringLiteral("count")).toInt(), list.size());
    QStringList relations;
    double previous = 1.0;
    for (const QJsonValue &entry : list) {
        relations.append(entry[QStringLiteral("word")].toString() + QLatin1Char(':') +
                         entry[QStringLiteral("relation")].toString());
        const double score = entry[QStringLiteral("score")].toDouble();
        QVERIFY(score > 0.0 && score <= previous);
        previous = score;
    }
    QCOMPARE(list[0][QStringLiteral("score")].toDouble(), 1.0);
    for (const char *expected : {"Hausboot:compound", "Haustür:compound", "Tür:cooccurrence"}) {
        QVERIFY2(relations.contains(QString::fromUtf8(expected)),
                 qPrintable(relations.join(QLatin1Char(','))));
    }
}

QTEST_GUILESS_MAIN(TestAssociations)
#include "tst_associations.moc"
