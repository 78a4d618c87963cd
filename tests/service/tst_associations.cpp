#include "associator.h"
#include "lexicon.h"
#include "pagerenderer.h"
#include "queryfields.h"
#include "servicefixture.h"
#include "termtext.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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
    void relationsAndScores();
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
    QStringList words(const QString &keyword, int count = 200) const;

    Lexicon m_lexicon;
};

void TestAssociations::initTestCase()
{
    QString error;
    QVERIFY2(
        m_lexicon.load(ServiceFixture::thesaurusPath(), ServiceFixture::wordListPath(), &error),
        qPrintable(error));
}

QStringList TestAssociations::words(const QString &keyword, int count) const
{
    QStringList result;
    for (const Association &a : Associator(&m_lexicon).associate(keyword, count)) {
        const std::string_view word = m_lexicon.word(a.word);
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
    QTest::newRow("group inside a word stays")
        << QByteArray("viele(s) andere") << QByteArray("viele(s) andere") << plain << false;
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

void TestAssociations::relationsAndScores()
{
    const std::vector<Association> result =
        Associator(&m_lexicon).associate(QStringLiteral("Baum"), 200);
    QStringList relations;
    float previous = 1.0f;
    for (const Association &a : result) {
        const std::string_view name = relationName(a.relation);
        relations.append(QString::fromLatin1(name.data(), qsizetype(name.size())));
        QVERIFY(a.score <= previous && a.score > 0.0f);
        previous = a.score;
    }
    QStringList expected;
    for (const auto &[name, count] : {std::pair{"synonym", 7},
                                      {"broader", 2},
                                      {"narrower", 5},
                                      {"compound", 13},
                                      {"neighbour", 12}}) {
        for (int i = 0; i < count; ++i) {
            expected.append(QString::fromLatin1(name));
        }
    }
    QCOMPARE(relations, expected);
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
    const auto result = Associator(&m_lexicon).associate(QStringLiteral("Höhle"), 200);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(
        PageRenderer::json(QStringLiteral("Hö\"hle\\"), result, m_lexicon), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonObject object = doc.object();
    QCOMPARE(object.value(QStringLiteral("keyword")).toString(), QStringLiteral("Hö\"hle\\"));
    QCOMPARE(object.value(QStringLiteral("count")).toInt(), 6);
    const QJsonArray list = object.value(QStringLiteral("associations")).toArray();
    QStringList relations;
    for (const QJsonValue &entry : list) {
        relations.append(entry[QStringLiteral("word")].toString() + QLatin1Char(':') +
                         entry[QStringLiteral("relation")].toString());
    }
    QCOMPARE(relations,
             QStringList({"Grotte:synonym", "Kaverne:synonym", "Hohlraum:broader",
                          "Bärenhöhle:compound", "Höhlenmalerei:compound", "Höhlen:compound"}));
    QCOMPARE(list[0][QStringLiteral("score")].toDouble(), 1.0);
    QCOMPARE(list[5][QStringLiteral("score")].toDouble(), 0.5);
}

QTEST_GUILESS_MAIN(TestAssociations)
#include "tst_associations.moc"
