#include "index/lexicon.h"
#include "language/inflection.h"
#include "query/associator.h"
#include "servicefixture.h"
#include "support/tempenvironment.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The ranking's rules at work on the shared fixture: the caps it promises, counted exactly;
// the endings and umlauts of word forms; keywords typed in a form the lists do not hold; words
// that two meanings share.
class TestRanking : public QObject
{
    Q_OBJECT

private slots:
    void phrasesAreCappedAtTheTop();
    void refusedWordsTakeNoRank();
    void neighboursComeFromTwelveSynonyms();
    void formsByTheirEndings_data();
    void formsByTheirEndings();
    void formsFindTheirWord_data();
    void formsFindTheirWord();
    void everyMeaningIsAnswered();
};

namespace {

QStringList words(const QString &keyword)
{
    return ServiceFixture::answer(keyword);
}

} // namespace

// "schnell" has three phrases among its synonyms, all of them ranked before some plain words:
// two keep their places, the third goes after the plain words.
void TestRanking::phrasesAreCappedAtTheTop()
{
    const QStringList found = words(u"schnell"_s);
    const auto isPhrase = [](const QString &word) { return word.contains(QLatin1Char(' ')); };
    qsizetype lastPlain = found.size() - 1;
    while (lastPlain >= 0 && isPhrase(found[lastPlain]))
        --lastPlain;
    const qsizetype phrases = std::count_if(found.cbegin(), found.cend(), isPhrase);
    const qsizetype phrasesFirst =
        std::count_if(found.cbegin(), found.cbegin() + lastPlain + 1, isPhrase);
    QVERIFY2(phrases == 3 && phrasesFirst == 2, qPrintable(found.join(QLatin1Char(','))));
}

// A word that the answer refuses (here the keyword's own plural) takes no place in the list it
// stands in: the words after it keep their ranks, scores and all.
void TestRanking::refusedWordsTakeNoRank()
{
    QFile source(ServiceFixture::thesaurusPath());
    QVERIFY(source.open(QIODevice::ReadOnly));
    const QByteArray thesaurus = source.readAll();
    QTemporaryDir dir;
    const auto load = [&dir](const QByteArray &data, Lexicon *lexicon) {
        const QString path = dir.filePath(u"thesaurus.dat"_s);
        TestSupport::writeBytes(path, data);
        TestSupport::writeBytes(dir.filePath(u"thesaurus.idx"_s), "UTF-8\n");
        QString error;
        return lexicon->load(path, ServiceFixture::wordListPath(), &error);
    };
    QByteArray withPlural = thesaurus;
    withPlural.replace("-|Stuhl|Sitz|", "-|Stuhl|Stühle|Sitz|");
    QVERIFY(withPlural != thesaurus);
    Lexicon plain, plural;
    QVERIFY(load(thesaurus, &plain));
    QVERIFY(load(withPlural, &plural));
    const QStringList expected = ServiceFixture::scoredWords(plain, u"Stuhl"_s);
    QVERIFY(expected.size() >= 3);
    QCOMPARE(ServiceFixture::scoredWords(plural, u"Stuhl"_s), expected);
}

// "Zwuxu" has thirteen synonyms, each with a meaning of its own that brings one neighbour: only
// the first twelve synonyms are asked.
void TestRanking::neighboursComeFromTwelveSynonyms()
{
    const QStringList found = words(u"Zwuxu"_s);
    QCOMPARE(found.filter(QRegularExpression(u"^Pf"_s)).size(), 13);
    QCOMPARE(found.filter(QRegularExpression(u"^Gn"_s)).size(), 12);
}

// One row for each ending and each umlaut the rules know, and forms just outside them, which
// the dictionary's tables must supply instead.
void TestRanking::formsByTheirEndings_data()
{
    QTest::addColumn<QByteArray>("form");
    QTest::addColumn<QByteArray>("base");
    QTest::addColumn<bool>("isForm");
    const auto rows = [](const char *base, std::initializer_list<const char *> forms,
                         bool isForm = true) {
        for (const char *form : forms)
            QTest::addRow("%s of %s", form, base) << QByteArray(form) << QByteArray(base) << isForm;
    };
    // Nouns and adjectives: every ending once.
    rows("klein", {"kleinsten", "kleinstem", "kleinster", "kleinstes", "kleinste", "kleinst",
                   "kleinem", "kleinen", "kleiner", "kleine"});
    rows("herz", {"herzens"});
    rows("königin", {"königinnen"});
    rows("zeugnis", {"zeugnisses", "zeugnisse"});
    rows("baum", {"baumes", "bäume"});
    rows("name", {"namens", "namen"});
    rows("auto", {"autos"});
    // The shortest stems the rules reduce to: two letters, an umlaut with one more.
    rows("ei", {"eier", "eies", "eie"});
    rows("ol", {"öl", "öle"});
    rows("tun", {"tut", "tust"});
    // Umlaut with each ending that takes one, each vowel, "au" too.
    rows("wald", {"wälder", "wäldern"});
    rows("arzt", {"ärzte", "ärzten"});
    rows("apfel", {"äpfel"});
    rows("stuhl", {"stühle", "stühlen"});
    rows("tochter", {"töchter", "töchtern"});
    rows("haus", {"häuser", "häusern"});
    // Verbs: every ending once, on an -en and on an -eln or -ern infinitive.
    rows("kochen",
         {"kochenden", "kochender", "kochendes", "kochendem", "kochende", "kochend", "kochtest",
          "kochtet", "kochten", "kochest", "kochst", "kochte", "kochet", "kocht", "koche"});
    rows("reden", {"redeten", "redete"});
    rows("wandern", {"wanderte", "wandert", "wanderten", "wandere"});
    rows("sammeln", {"sammelte", "sammelst"});
    // Not by endings: irregular forms, longer additions, other words, too short a base.
    rows("laufen", {"läufst", "lief"}, false);
    rows("klein", {"kleinstens", "kleinlich", "klein"}, false);
    rows("baum", {"baumeln", "bäumchen"}, false);
    rows("b", {"be", "bs"}, false);
}

void TestRanking::formsByTheirEndings()
{
    QFETCH(QByteArray, form);
    QFETCH(QByteArray, base);
    std::string scratch;
    const std::string wanted = base.toStdString();
    QTEST(Inflection::forEachReduction(form.toStdString(), &scratch,
                                       [&](std::string_view key) { return key == wanted; }),
          "isForm");
    if (form.size() > base.size())
        QTEST(Inflection::isFormOf(form.toStdString(), wanted, &scratch), "isForm");
}

// A keyword that no list holds as typed is answered as the word it is a form of.
void TestRanking::formsFindTheirWord_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("word");
    QTest::newRow("umlaut ü and -e") << u"Stühle"_s << u"Stuhl"_s;
    QTest::newRow("umlaut ü and -en") << u"Stühlen"_s << u"Stuhl"_s;
    QTest::newRow("umlaut ö and -en") << u"Höhlen"_s << u"Höhle"_s;
    QTest::newRow("genitive -es") << u"Baumes"_s << u"Baum"_s;
    QTest::newRow("-ern verb, -te") << u"wanderte"_s << u"wandern"_s;
    QTest::newRow("-ern verb, -t") << u"wandert"_s << u"wandern"_s;
    QTest::newRow("-ern verb, -ten") << u"wanderten"_s << u"wandern"_s;
    QTest::newRow("-en verb, -te") << u"spazierte"_s << u"spazieren"_s;
    QTest::newRow("-en verb, -end") << u"marschierend"_s << u"marschieren"_s;
}

void TestRanking::formsFindTheirWord()
{
    QFETCH(QString, form);
    QFETCH(QString, word);
    const QStringList expected = words(word);
    QVERIFY(!expected.isEmpty());
    QCOMPARE(words(form), expected);
}

// "Bank" is a seat and a money house: the answer holds the words of both meanings, and "Sitz",
// which it shares with "Stuhl", brings Stuhl's words in as neighbours, never the other way
// round in place of Bank's own.
void TestRanking::everyMeaningIsAnswered()
{
    const QStringList bank = words(u"Bank"_s);
    for (const char *word : {"Sitzbank", "Sitz", "Geldinstitut", "Kreditinstitut", "Sessel"})
        QVERIFY2(bank.contains(QString::fromUtf8(word)), qPrintable(bank.join(QLatin1Char(','))));
    QVERIFY(bank.indexOf(u"Kreditinstitut"_s) < bank.indexOf(u"Sessel"_s));
    const QStringList stuhl = words(u"Stuhl"_s);
    QVERIFY(stuhl.indexOf(u"Hocker"_s) < stuhl.indexOf(u"Sitzbank"_s));
    QVERIFY2(!stuhl.contains(u"Geldinstitut"_s), qPrintable(stuhl.join(u',')));
}

QTEST_GUILESS_MAIN(TestRanking)
#include "tst_ranking.moc"
