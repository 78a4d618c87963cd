#include "data/indexcompiler.h"
#include "data/indexwriter.h"
#include "data/lexiconbuilder.h"
#include "index/lexicon.h"
#include "index/lexicontables.h"
#include "language/inflection.h"
#include "language/lemmatiser.h"
#include "query/associator.h"
#include "servicefixture.h"
#include "support/tempenvironment.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <string>

// The ranking's rules at work on the shared fixture: the caps it promises, counted exactly;
// the endings and umlauts of word forms; keywords typed in a form the lists do not hold; words
// that two meanings share. And on made-up data, what makes a word's place: that it goes with
// the keyword more than with anything, seen from either side, by more than one text.
class TestRanking : public QObject
{
    Q_OBJECT

private slots:
    void phrasesAreCappedAtTheTop();
    void refusedWordsTakeNoRank();
    void formsByTheirEndings_data();
    void formsByTheirEndings();
    void formsFindTheirWord_data();
    void formsFindTheirWord();
    void everyMeaningIsAnswered();
    void genericWordsGoDown();
    void linksCountFromTheOtherSide();
    void oneDocumentBringsNoTopic();
    void unsupportedMeaningGoesDown();
};

namespace {

QStringList words(const QString &keyword)
{
    return ServiceFixture::answer(keyword);
}

// Made-up words that no ending rule reads as forms of one another.
std::string filler(const char *stem, int i)
{
    static const char consonants[] = "bdfgkpz";
    return std::string(stem) + consonants[i % 7] + consonants[i / 7 % 7] + consonants[i / 49 % 7] +
           "o";
}

// A lexicon made in the test: nouns of the word list, documents and meanings of them.
class MadeUp
{
public:
    // background: how many texts of other things there are, so that what goes together
    // stands out.
    explicit MadeUp(int background = 20) : m_builder(&m_tables), m_background(background) {}

    uint32_t noun(const std::string &text)
    {
        const uint32_t word = m_builder.addWord(text);
        m_builder.addToWordList(word);
        m_builder.addHeadword(text, Language::Noun);
        return word;
    }
    // Each word of the text a noun; `times` documents alike.
    void text(std::initializer_list<std::string> words, int times = 1)
    {
        std::vector<std::string_view> tokens;
        for (const std::string &w : words) {
            noun(w);
            tokens.push_back(m_texts.emplace_back(w));
        }
        for (int i = 0; i < times; ++i)
            m_builder.addDocument(tokens, 1);
    }
    void meaning(std::initializer_list<std::string> words)
    {
        std::vector<uint32_t> members;
        for (const std::string &w : words)
            members.push_back(Lexicon::pack(noun(w), TermRole::Plain));
        m_builder.addMeaning(members);
    }
    QStringList answer(const QString &keyword)
    {
        if (m_lexicon.wordCount() == 0) {
            for (int i = 0; i < m_background; ++i)
                text({filler("Ferne", i % 343), filler("Ferne", (i * 7 + 1) % 343)});
            m_builder.finish();
            QString error;
            if (!m_lexicon.adopt(IndexWriter::image(m_tables), &error))
                qFatal("%s", qPrintable(error));
        }
        return ServiceFixture::words(m_lexicon, keyword);
    }

private:
    LexiconTables m_tables;
    LexiconBuilder m_builder;
    int m_background;
    std::deque<std::string> m_texts; // the tokens' storage
    Lexicon m_lexicon;
};

} // namespace

// "schnell" has three phrases among its synonyms, all of them ranked before some plain words:
// two keep their places, the third goes after the plain words.
void TestRanking::phrasesAreCappedAtTheTop()
{
    const QStringList found = words(QStringLiteral("schnell"));
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
        const QString path = dir.filePath(QStringLiteral("thesaurus.dat"));
        TestSupport::writeBytes(path, data);
        TestSupport::writeBytes(dir.filePath(QStringLiteral("thesaurus.idx")), "UTF-8\n");
        QString error;
        return IndexCompiler::load(path, ServiceFixture::wordListPath(), lexicon, &error);
    };
    QByteArray withPlural = thesaurus;
    withPlural.replace("-|Stuhl|Sitz|", "-|Stuhl|Stühle|Sitz|");
    QVERIFY(withPlural != thesaurus);
    Lexicon plain, plural;
    QVERIFY(load(thesaurus, &plain));
    QVERIFY(load(withPlural, &plural));
    const QStringList expected = ServiceFixture::scoredWords(plain, QStringLiteral("Stuhl"));
    QVERIFY(expected.size() >= 3);
    QCOMPARE(ServiceFixture::scoredWords(plural, QStringLiteral("Stuhl")), expected);
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
}

// A keyword that no list holds as typed is answered as the word it is a form of.
void TestRanking::formsFindTheirWord_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("word");
    QTest::newRow("umlaut ü and -e") << QStringLiteral("Stühle") << QStringLiteral("Stuhl");
    QTest::newRow("umlaut ü and -en") << QStringLiteral("Stühlen") << QStringLiteral("Stuhl");
    QTest::newRow("umlaut ö and -en") << QStringLiteral("Höhlen") << QStringLiteral("Höhle");
    QTest::newRow("genitive -es") << QStringLiteral("Baumes") << QStringLiteral("Baum");
    QTest::newRow("-ern verb, -te") << QStringLiteral("wanderte") << QStringLiteral("wandern");
    QTest::newRow("-ern verb, -t") << QStringLiteral("wandert") << QStringLiteral("wandern");
    QTest::newRow("-ern verb, -ten") << QStringLiteral("wanderten") << QStringLiteral("wandern");
    QTest::newRow("-en verb, -te") << QStringLiteral("spazierte") << QStringLiteral("spazieren");
    QTest::newRow("-en verb, -end")
        << QStringLiteral("marschierend") << QStringLiteral("marschieren");
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
    const QStringList bank = words(QStringLiteral("Bank"));
    for (const char *word : {"Sitzbank", "Sitz", "Geldinstitut", "Kreditinstitut", "Sessel"})
        QVERIFY2(bank.contains(QString::fromUtf8(word)), qPrintable(bank.join(QLatin1Char(','))));
    QVERIFY(bank.indexOf(QStringLiteral("Kreditinstitut")) <
            bank.indexOf(QStringLiteral("Sessel")));
    const QStringList stuhl = words(QStringLiteral("Stuhl"));
    QVERIFY(stuhl.indexOf(QStringLiteral("Hocker")) < stuhl.indexOf(QStringLiteral("Sitzbank")));
    QVERIFY2(!stuhl.contains(QStringLiteral("Geldinstitut")), qPrintable(stuhl.join(u',')));
}

// "Ding" goes with every keyword, "Schiff" with "Anker" alone, by as many texts each: the
// specific word goes first, however common the other one is.
void TestRanking::genericWordsGoDown()
{
    MadeUp data;
    data.text({"Anker", "Schiff"}, 2);
    data.text({"Anker", "Ding"}, 2);
    for (int i = 0; i < 30; ++i)
        data.text({filler("Gerät", i), "Ding"}, 3);
    const QStringList anker = data.answer(QStringLiteral("Anker"));
    QVERIFY2(anker.contains(QStringLiteral("Schiff")), qPrintable(anker.join(u',')));
    QVERIFY2(anker.indexOf(QStringLiteral("Schiff")) < anker.indexOf(QStringLiteral("Ding")) ||
                 !anker.contains(QStringLiteral("Ding")),
             qPrintable(anker.join(u',')));
}

// "Steuer" shares texts with more words than its list holds, each more often than with
// "Finanzamt"; "Finanzamt" names "Steuer" first. The link counts from Steuer's side too.
void TestRanking::linksCountFromTheOtherSide()
{
    MadeUp data(20000);
    data.text({"Finanzamt", "Steuer"}, 2);
    data.text({"Finanzamt", "Beamter"}, 20);
    for (int i = 0; i < 240; ++i)
        data.text({filler("Abgabe", i), "Steuer"}, 3);
    const QStringList steuer = data.answer(QStringLiteral("Steuer"));
    QVERIFY2(steuer.contains(QStringLiteral("Finanzamt")), qPrintable(steuer.join(u',')));
}

// One long text holds "Pumpe" and a topic of its own; "Wasser" goes with it in two texts.
// Wasser is an associate, the long text's words are not.
void TestRanking::oneDocumentBringsNoTopic()
{
    MadeUp data;
    data.text({"Pumpe", "Wasser"}, 2);
    data.text({"Pumpe", "Kündigung", "Abfindung", "Entlassung", "Arbeitgeber", "Betriebsrat"});
    const QStringList pumpe = data.answer(QStringLiteral("Pumpe"));
    QVERIFY2(pumpe.contains(QStringLiteral("Wasser")), qPrintable(pumpe.join(u',')));
    for (const char *word : {"Kündigung", "Abfindung", "Entlassung", "Arbeitgeber", "Betriebsrat"})
        QVERIFY2(!pumpe.contains(QString::fromUtf8(word)), qPrintable(pumpe.join(u',')));
}

// "Kopf" is a head and, in the thesaurus, a fool; its texts speak only of the head. The head's
// words go first, and the fool brings few of its many words.
void TestRanking::unsupportedMeaningGoesDown()
{
    MadeUp data;
    data.meaning({"Kopf", "Haupt", "Schädel"});
    data.meaning({"Kopf", "Depp", "Dussel", "Trottel", "Tölpel", "Narr", "Tor"});
    data.text({"Kopf", "Schädel"}, 2);
    const QStringList kopf = data.answer(QStringLiteral("Kopf"));
    const QStringList fools = {"Depp", "Dussel", "Trottel", "Tölpel", "Narr", "Tor"};
    qsizetype firstFool = kopf.size();
    qsizetype foolCount = 0;
    for (const QString &fool : fools) {
        if (kopf.contains(fool)) {
            firstFool = std::min(firstFool, kopf.indexOf(fool));
            ++foolCount;
        }
    }
    QVERIFY2(kopf.indexOf(QStringLiteral("Haupt")) >= 0 &&
                 kopf.indexOf(QStringLiteral("Haupt")) < firstFool && foolCount <= 2,
             qPrintable(kopf.join(u',')));
}

QTEST_GUILESS_MAIN(TestRanking)
#include "tst_ranking.moc"
