#include "data/buildweights.h"
#include "data/dictionaryreader.h"
#include "data/indexwriter.h"
#include "data/lexiconbuilder.h"
#include "index/lexicon.h"
#include "index/lexicontables.h"
#include "language/lemmatiser.h"
#include "language/writtencase.h"
#include "servicefixture.h"
#include "support/datatable.h"

#include <QStringList>
#include <QTest>

#include <deque>
#include <string>

using namespace Qt::StringLiterals;
using ServiceFixture::checkListed;

// On made-up data, what makes a word's place in a list: that it goes with the keyword more than
// with anything, seen from either side, by more than one text, in a meaning the texts bear out.
class TestEvidence : public QObject
{
    Q_OBJECT

private slots:
    void genericWordsGoDown();
    void linksCountFromTheOtherSide();
    void keywordFarDownTheOtherListGoesDown();
    void sameTextsCountOnceFromTheOtherSide();
    void textsAloneNeedTheKeywordFirst();
    void sayingsAloneNeedThree();
    void oneKindOfSourceGoesDown();
    void looseTextsFollowTheFirstPlaces();
    void wordNamingTheKeywordLateFollows_data();
    void wordNamingTheKeywordLateFollows();
    void secondedPairLateOnBothSidesFollows();
    void synonymNoTextNamesFollows();
    void synonymOnlyACompoundNamesFollows();
    void oneDocumentBringsNoTopic();
    void oneHintIsNoWitness();
    void mutualWordBehindManyOneSidedOnesIsWeighed();
    void unsupportedMeaningGoesDown();
    void synonymOfABroaderMeaningStays();
    void commonWordManyTextsPairStaysListed();
    void textsNamingACompoundDoNotJoinItsParts();
    void compoundsWitnessOnlyThemselves();
    void oneAnecdoteIsOneWitness();
    void betterBorneOutMeaningFirst();
    void gatheredEntryIsOneWitness();
    void largeMeaningIsNoBetterBorneOut();
    void gatheringsAreOneWitness();
    void definitionClassStaysWithWordDefined();
    void examplesOfOneLineAreOneWitness();
    void subjectsOfALineAreNoPair();
    void phrasesLendNoTexts();
    void keywordsFormsStayOut();
};

namespace {

// Made-up words that no ending rule reads as forms of one another.
std::string filler(const char *stem, int i)
{
    static const char consonants[] = "bdfgkpz";
    return std::string(stem) + consonants[i % 7] + consonants[i / 7 % 7] + consonants[i / 49 % 7] +
           "o";
}

// A lexicon made in the test: nouns of the word list (verbs where written small), documents
// and meanings of them.
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
        m_builder.addHeadword(text,
                              Language::writtenWithCapital(text) ? Language::Noun : Language::Verb);
        return word;
    }
    // Each word of the text a noun; `times` documents alike.
    void text(std::initializer_list<std::string> words, int times = 1)
    {
        const std::vector<std::string_view> tokens = nouns(words);
        for (int i = 0; i < times; ++i)
            m_builder.addDocument(tokens, 1);
    }
    // `times` sayings alike.
    void saying(std::initializer_list<std::string> words, int times)
    {
        const std::vector<std::string_view> tokens = nouns(words);
        for (int i = 0; i < times; ++i)
            m_builder.addSaying(tokens, BuildWeights::proverb, false);
    }
    // A definition of the first word by the others.
    void definition(std::initializer_list<std::string> words)
    {
        m_builder.addDefinition(nouns(words), BuildWeights::definition);
    }
    // Lines of the German-English dictionary; the data must outlive the builder's use.
    void dictionary(const QByteArray &lines)
    {
        m_dictionary = lines;
        DictionaryReader::read(m_dictionary, &m_builder);
    }
    // One text of several sentences, each of the same words.
    void anecdote(std::initializer_list<std::string> words, int sentences)
    {
        const std::vector<std::string_view> tokens = nouns(words);
        m_builder.addDocument(tokens, 1);
        for (int i = 1; i < sentences; ++i)
            m_builder.addDocumentOfSameText(tokens, 1);
    }
    // One document gathering whole entries, as the words that one English word translates.
    void gathering(std::initializer_list<std::initializer_list<std::string>> entries)
    {
        std::vector<std::string_view> tokens;
        std::vector<uint32_t> sources;
        for (const auto &entry : entries) {
            for (const std::string &w : entry) {
                noun(w);
                tokens.push_back(m_texts.emplace_back(w));
                sources.push_back(m_entries);
            }
            ++m_entries;
        }
        m_builder.addGathering(tokens, sources, 1);
    }
    void meaning(const std::vector<std::string> &words, const std::vector<TermRole> &roles = {})
    {
        std::vector<uint32_t> members;
        for (size_t i = 0; i < words.size(); ++i)
            members.push_back(
                Lexicon::pack(noun(words[i]), i < roles.size() ? roles[i] : TermRole::Plain));
        m_builder.addMeaning(members);
    }
    // A meaning whose words neither the word list nor the dictionary gives, as the thesaurus's
    // inflected forms.
    void thesaurusMeaning(std::initializer_list<std::string> words)
    {
        std::vector<uint32_t> members;
        for (const std::string &w : words)
            members.push_back(Lexicon::pack(m_builder.addWord(w), TermRole::Plain));
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
    const Lexicon &lexicon()
    {
        answer({});
        return m_lexicon;
    }

private:
    // The words as tokens, each a noun of the word list.
    std::vector<std::string_view> nouns(std::initializer_list<std::string> words)
    {
        std::vector<std::string_view> tokens;
        for (const std::string &w : words) {
            noun(w);
            tokens.push_back(m_texts.emplace_back(w));
        }
        return tokens;
    }

    LexiconTables m_tables;
    LexiconBuilder m_builder;
    int m_background;
    std::deque<std::string> m_texts; // the tokens' storage
    uint32_t m_entries = 0;
    QByteArray m_dictionary;
    Lexicon m_lexicon;
};

// Whether the answer lists the first word, and the second, if at all, after it.
bool before(const QStringList &answer, const char *first, const char *second)
{
    const qsizetype at = answer.indexOf(QString::fromUtf8(first));
    const qsizetype other = answer.indexOf(QString::fromUtf8(second));
    return at >= 0 && (other < 0 || at < other);
}

} // namespace

// "Kanne" and "Krug" are both broader than "Humpen", which texts pair with "Kanne": that meaning
// comes first and says nothing of "Krug", which stays the synonym that the other meaning names.
void TestEvidence::synonymOfABroaderMeaningStays()
{
    MadeUp data;
    data.text({"Kanne", "Humpen"}, 2);
    data.meaning({"Humpen", "Kanne", "Krug"},
                 {TermRole::Plain, TermRole::Broader, TermRole::Broader});
    data.meaning({"Kanne", "Krug"});
    const Lexicon &lexicon = data.lexicon();
    bool synonym = false;
    for (const Association &a : Associator(&lexicon).associate(u"Kanne"_s, 50))
        synonym = synonym || (lexicon.word(a.word) == "Krug" && a.relation == Relation::Synonym);
    QVERIFY(synonym);
}

// "Ding" goes with every keyword, "Schiff" with "Anker" alone, by as many texts each: the
// specific word goes first, however common the other one is.
void TestEvidence::genericWordsGoDown()
{
    MadeUp data;
    data.text({"Anker", "Schiff"}, 2);
    data.text({"Anker", "Ding"}, 2);
    for (int i = 0; i < 30; ++i)
        data.text({filler("Gerät", i), "Ding"}, 3);
    const QStringList anker = data.answer(u"Anker"_s);
    QVERIFY2(before(anker, "Schiff", "Ding"), qPrintable(anker.join(u',')));
}

// "Ding" shares more texts with "Anker" than "Schiff" does, but names it last of the two hundred
// words it goes with, where "Schiff" names it first: Schiff goes first.
void TestEvidence::keywordFarDownTheOtherListGoesDown()
{
    MadeUp data(20000);
    data.text({"Anker", "Schiff"}, 2);
    data.text({"Anker", "Ding"}, 3);
    for (int i = 0; i < 199; ++i)
        data.text({filler("Gerät", i), "Ding"}, 4);
    const QStringList anker = data.answer(u"Anker"_s);
    QVERIFY2(before(anker, "Schiff", "Ding"), qPrintable(anker.join(u',')));
}

// "angeschwemmt" shares two texts with "Strand", and one each with twenty other words, so it
// names Strand first; "Sand" shares more texts with Strand than thirty words that come before
// "angeschwemmt" there, and goes with more besides. Seen from either side these are the same
// texts: Sand goes first. "Düne", as rare, goes before Sand: its own definition names Strand.
void TestEvidence::sameTextsCountOnceFromTheOtherSide()
{
    MadeUp data(20000);
    data.text({"Strand", "Sand"}, 6);
    for (int i = 0; i < 30; ++i)
        data.text({"Strand", filler("Welle", i)}, 4);
    data.text({"Strand", "angeschwemmt"}, 2);
    data.text({"Strand", "Düne"});
    data.definition({"Düne", "Hügel", "Strand"});
    for (int i = 0; i < 20; ++i) {
        data.text({"angeschwemmt", filler("Treibgut", i)});
        data.text({"Düne", filler("Treibgut", i)});
    }
    for (int i = 0; i < 5; ++i)
        data.text({"Sand", filler("Korn", i)}, 8);
    const QStringList strand = data.answer(u"Strand"_s);
    QVERIFY2(before(strand, "Sand", "angeschwemmt"), qPrintable(strand.join(u',')));
    QVERIFY2(before(strand, "Düne", "Sand"), qPrintable(strand.join(u',')));
}

// Nothing but texts speaks for "Kette" or "Schiff". Kette, the better known, shares more texts
// with "Anker", twice as many, but names it behind the eight words it goes with more; Schiff
// names it first.
void TestEvidence::textsAloneNeedTheKeywordFirst()
{
    MadeUp data(20000);
    data.text({"Anker", "Schiff"}, 2);
    data.text({"Anker", "Kette"}, 4);
    for (int i = 0; i < 8; ++i) {
        data.text({filler("Glied", i), "Kette"}, 5);
        data.text({filler("Segel", i), "Schiff"});
    }
    const QStringList anker = data.answer(u"Anker"_s);
    QVERIFY2(before(anker, "Schiff", "Kette"), qPrintable(anker.join(u',')));
}

// Two sayings that pair "Anker" with "Sünde" are no more than chance; three are a witness, and
// so are a saying and another text.
void TestEvidence::sayingsAloneNeedThree()
{
    MadeUp data(20000);
    data.saying({"Anker", "Sünde"}, 2);
    data.saying({"Anker", "Tau"}, 3);
    data.saying({"Anker", "Schiff"}, 1);
    data.text({"Anker", "Schiff"});
    checkListed(data.answer(u"Anker"_s), {"Tau", "Schiff"}, {"Sünde"});
}

// Six dictionary lines pair "Kette" with "Anker"; two lines and a saying pair "Schiff" with it,
// by less weight. Texts of one kind pair words by their own habits: in Anker's list of the words
// it shares texts with, the word that two kinds of source pair goes first.
void TestEvidence::oneKindOfSourceGoesDown()
{
    MadeUp data(20000);
    data.text({"Anker", "Kette"}, 6);
    data.text({"Anker", "Schiff"}, 2);
    data.saying({"Anker", "Schiff"}, 1);
    const Lexicon &lexicon = data.lexicon();
    QStringList anker;
    for (const uint32_t word : lexicon.cooccurrentsOf(lexicon.findKey("anker")))
        anker << QString::fromUtf8(lexicon.word(word));
    QVERIFY2(before(anker, "Schiff", "Kette"), qPrintable(anker.join(u',')));
}

// Three sayings and two definitions of other things pair "Brunnen" with "Pumpe", as they pair all
// their words: it follows the first fifty of the words that texts pair with Pumpe by choice, and so
// do sixty words that sayings alone pair with it, however high their scores, and "Zisterne", which
// a gathering of entries and two definitions bring.
void TestEvidence::looseTextsFollowTheFirstPlaces()
{
    MadeUp data;
    data.noun("Brunnen"); // its key first: Pumpe's list is not the first of the index
    for (int i = 0; i < 60; ++i) {
        data.text({"Pumpe", filler("Rohr", i)}, 2);
        data.saying({"Pumpe", filler("Quelle", i)}, 4);
    }
    data.saying({"Pumpe", "Brunnen"}, 3);
    data.definition({"Kolben", "Pumpe", "Brunnen"});
    data.definition({"Ventil", "Pumpe", "Brunnen"});
    data.gathering({{"Pumpe"}, {"Zisterne"}});
    data.definition({"Schieber", "Pumpe", "Zisterne"});
    data.definition({"Hahn", "Pumpe", "Zisterne"});
    QCOMPARE(data.answer(u"Pumpe"_s).indexOf(u"Brunnen"_s), 50);
    const QStringList first = ServiceFixture::words(data.lexicon(), u"Pumpe"_s, 50);
    QCOMPARE(first.filter(u"Quelle"_s).size(), 0);
    QVERIFY(!first.contains(u"Zisterne"_s));
}

// Texts pair "Ding" with "Pumpe", but Ding goes with other words more often: where its list
// names Pumpe nowhere, or names it 20th while Pumpe's names Ding 41st, or 13th while Pumpe's names
// Ding past its first thirty, it follows the first fifty words, which name Pumpe first. So it does
// at 9th, as nothing but Pumpe's own texts speak for it, and where it is the head of "Pumpending":
// that the keyword makes a word with it backs no pair the texts make on one side only.
void TestEvidence::wordNamingTheKeywordLateFollows_data()
{
    TestSupport::addRows(u"evidence/latewords.tsv"_s, {"others:int", "texts:int", "compound:bool",
                                                       "defined:bool", "follows:bool"});
}

void TestEvidence::wordNamingTheKeywordLateFollows()
{
    QFETCH(int, others);
    QFETCH(int, texts);
    QFETCH(bool, compound);
    QFETCH(bool, defined);
    QFETCH(bool, follows);
    MadeUp data(100000);
    if (compound)
        data.noun("Pumpending");
    if (defined)
        data.definition({"Ding", "Pumpe"});
    for (int i = 0; i < 60; ++i)
        data.text({"Pumpe", filler("Rohr", i)}, i < 40 ? 3 : 2);
    data.text({"Pumpe", "Ding"}, texts);
    // Pumpe's first two associates name Ding in their texts: borne out, the one text is judged
    // by its place behind all that more texts pair with Pumpe.
    if (texts == 1) {
        for (const char *word : {"Eimer", "Kübel"}) {
            data.text({"Pumpe", word}, 30);
            data.text({word, "Ding"}, 2);
        }
    }
    for (int i = 0; i < others; ++i)
        data.text({filler("Gerät", i), "Ding"}, 24);
    const qsizetype at = data.answer(u"Pumpe"_s).indexOf(u"Ding"_s);
    QVERIFY2(follows ? at == 50 : at >= 0 && at < 50, qPrintable(QString::number(at)));
}

// Pumpe's texts name Ding 21st, behind twenty words they pair more often, and Ding's name Pumpe
// 21st: though the compound "Pumpending" seconds the texts, neither side ranks the other high.
void TestEvidence::secondedPairLateOnBothSidesFollows()
{
    MadeUp data(100000);
    data.noun("Pumpending");
    for (int i = 0; i < 60; ++i)
        data.text({"Pumpe", filler("Rohr", i)}, i < 20 ? 4 : 2);
    data.text({"Pumpe", "Ding"}, 2);
    for (int i = 0; i < 20; ++i)
        data.text({filler("Gerät", i), "Ding"}, 24);
    QCOMPARE(data.answer(u"Pumpe"_s).indexOf(u"Ding"_s), 50);
}

// "Heber" and "Kolben" are words of a meaning of "Pumpe"; texts pair Kolben with Pumpe, and no
// text names Heber with Pumpe or Kolben: it follows the first fifty words from the 21st place its
// score earns, and keeps the 20th. "Saugwerk", of the same meaning, is named by the texts of
// Kolben and of a Rohr word, Pumpe's associates, and keeps the place its score earns.
void TestEvidence::synonymNoTextNamesFollows()
{
    // The more texts pair Heber with other things, the higher its score.
    for (const auto &[times, at] : {std::pair(17, 50), std::pair(20, 19)}) {
        MadeUp data(20000);
        for (int i = 0; i < 55; ++i)
            data.text({"Pumpe", filler("Rohr", i)}, 2);
        data.text({"Pumpe", "Kolben"}, 2);
        for (int i = 0; i < 60; ++i)
            data.text({"Heber", filler("Stein", i)}, times);
        data.meaning({"Pumpe", "Heber", "Kolben", "Saugwerk"});
        data.text({"Kolben", "Saugwerk"}, 2);
        data.text({filler("Rohr", 0), "Saugwerk"}, 2);
        const QStringList pumpe = data.answer(u"Pumpe"_s);
        const qsizetype saugwerk = pumpe.indexOf(u"Saugwerk"_s);
        QVERIFY2(saugwerk >= 0 && saugwerk < 50, qPrintable(pumpe.join(u',')));
        QVERIFY2(pumpe.indexOf(u"Kolben"_s) < 20, qPrintable(pumpe.join(u',')));
        QCOMPARE(pumpe.indexOf(u"Heber"_s), at);
    }
}

// "Schwengel" is a word of a meaning of "Pumpe" and the head of "Pumpenschwengel", and no text
// names it with Pumpe: a word that Pumpe makes with it is no text, and it follows the first fifty.
void TestEvidence::synonymOnlyACompoundNamesFollows()
{
    MadeUp data(20000);
    for (int i = 0; i < 55; ++i)
        data.text({"Pumpe", filler("Rohr", i)}, 12);
    for (int i = 0; i < 60; ++i)
        data.text({"Schwengel", filler("Kiesel", i)}, 6);
    data.meaning({"Pumpe", "Schwengel"});
    data.noun("Pumpenschwengel");
    QCOMPARE(data.answer(u"Pumpe"_s).indexOf(u"Schwengel"_s), 50);
}

// "Steuer" shares texts with more words than its list holds, each more often than with
// "Finanzamt"; "Finanzamt" names "Steuer" first. The link counts from Steuer's side too.
void TestEvidence::linksCountFromTheOtherSide()
{
    MadeUp data(20000);
    data.text({"Finanzamt", "Steuer"}, 2);
    data.text({"Finanzamt", "Beamter"}, 20);
    for (int i = 0; i < 240; ++i)
        data.text({filler("Abgabe", i), "Steuer"}, 3);
    data.text({"steuern", "Steuer"}, 2);
    data.text({"segeln", "Segel"}, 2);
    const QStringList steuer = data.answer(u"Steuer"_s);
    checkListed(steuer, {"Finanzamt"});
    // More lists name Steuer first than link back: the best of them, up to the cap.
    const Lexicon &lexicon = data.lexicon();
    QCOMPARE(lexicon.backlinksOf(lexicon.findKey("steuer")).size(), size_t(150));
    // So does a noun's verb: "steuern" is of Steuer's family though Steuer's list has no room
    // for it. A noun in -el, as one in -er, takes only an "n".
    QCOMPARE(ServiceFixture::partner(lexicon, "steuer"), u"steuern"_s);
    QCOMPARE(ServiceFixture::partner(lexicon, "segel"), u"segeln"_s);
}

// One long text holds "Pumpe" and a topic of its own; "Wasser" goes with it in two texts.
// Wasser is an associate, the long text's words are not; where two texts each bear out more
// words than the first places hold, those that name Pumpe from their side follow them.
void TestEvidence::oneDocumentBringsNoTopic()
{
    for (const int borneOut : {1, 49, 60}) {
        MadeUp data;
        for (int i = 0; i < borneOut; ++i)
            data.text({"Pumpe", i ? filler("Rohr", i) : "Wasser"}, 2);
        data.text({"Pumpe", "Kündigung", "Abfindung", "Entlassung", "Arbeitgeber", "Betriebsrat"});
        data.text({"Pumpe", "Schlauch"}); // Schlauch's list names nothing but Pumpe
        const QStringList pumpe = data.answer(u"Pumpe"_s);
        checkListed(pumpe, {"Wasser"});
        QCOMPARE(pumpe.indexOf(u"Schlauch"_s), borneOut < 50 ? -1 : borneOut);
        QCOMPARE(pumpe.indexOf(u"Kündigung"_s), borneOut < 50 ? -1 : borneOut + 1);
    }
}

// "Maut" shares one text with "Zoll", whose list has no room for it among rarer words, and is a
// neighbour by the synonym "Abgabe". That Maut's list names Zoll does not make up for it.
void TestEvidence::oneHintIsNoWitness()
{
    MadeUp data(20000);
    for (int i = 0; i < 55; ++i)
        data.text({"Zoll", filler("Grenze", i)}, 2);
    for (int i = 0; i < 150; ++i)
        data.text({"Zoll", filler("Ware", i)});
    data.text({"Zoll", "Maut"});
    for (int i = 0; i < 59; ++i)
        data.text({"Maut", filler("Straße", i)});
    data.meaning({"Zoll", "Abgabe"});
    data.meaning({"Abgabe", "Maut"});
    checkListed(data.answer(u"Zoll"_s), {"Abgabe"}, {"Maut"});
}

// "Kopf" is a head and, in the thesaurus, a fool; its texts speak only of the head. The head's
// words go first, and the fool brings few of its many words.
void TestEvidence::unsupportedMeaningGoesDown()
{
    MadeUp data;
    data.meaning({"Kopf", "Haupt", "Schädel"});
    data.meaning({"Kopf", "Depp", "Dussel", "Trottel", "Tölpel", "Narr", "Tor"});
    data.text({"Kopf", "Schädel"}, 2);
    const QStringList kopf = data.answer(u"Kopf"_s);
    qsizetype fools = 0;
    for (const char *fool : {"Depp", "Dussel", "Trottel", "Tölpel", "Narr", "Tor"}) {
        QVERIFY2(before(kopf, "Haupt", fool), qPrintable(kopf.join(u',')));
        fools += kopf.contains(QString::fromUtf8(fool));
    }
    QVERIFY2(fools <= 2, qPrintable(kopf.join(u',')));
    // Where no texts speak of the keyword at all, a neighbour that nothing bears out is still
    // listed, but far below a synonym.
    MadeUp untold;
    untold.meaning({"Kanne", "Krug"});
    untold.meaning({"Krug", "Becher"});
    const Lexicon &lexicon = untold.lexicon();
    const auto kanne = Associator(&lexicon).associate(u"Kanne"_s, 10);
    QCOMPARE(kanne.size(), size_t(2));
    QCOMPARE(lexicon.word(kanne[1].word), "Becher");
    QVERIFY2(kanne[1].score < 0.02f, qPrintable(QString::number(kanne[1].score)));
}

// "Wald" has more rare words of its own than a list holds, each in two texts; "Natur" is common
// and meets "Wald" in ten. The common word that many texts pair with the keyword is listed,
// though no list of its own names the keyword near its top.
void TestEvidence::commonWordManyTextsPairStaysListed()
{
    MadeUp data(20000);
    for (int i = 0; i < 230; ++i)
        data.text({"Wald", filler("Moos", i)}, 2);
    data.text({"Wald", "Natur"}, 10);
    for (int i = 0; i < 25; ++i)
        data.text({"Natur", filler("Blume", i)}, 3);
    for (int i = 0; i < 275; ++i)
        data.text({"Natur", filler("Kraut", i)});
    checkListed(data.answer(u"Wald"_s), {"Natur"});
}

// Six texts name "Freilichtkino"; they speak of an open-air cinema, not of "Freilicht" and
// "Kino" as two things that go together. The compound's parts are one witness of each other:
// the words that texts pair with "Kino" go first.
void TestEvidence::textsNamingACompoundDoNotJoinItsParts()
{
    MadeUp data;
    data.text({"Kino", "Film"}, 2);
    data.text({"Kino", "Leinwand"}, 2);
    data.text({"Freilicht", "Park"}, 2);
    data.noun("Freilichtkino");
    for (int i = 0; i < 6; ++i)
        data.text({"Freilichtkino", filler("Abend", i)});
    const QStringList kino = data.answer(u"Kino"_s);
    QVERIFY2(before(kino, "Film", "Freilicht") && before(kino, "Leinwand", "Freilicht"),
             qPrintable(kino.join(u',')));
}

// Three texts pair "Mutter" with "Gabelschlüssel", none with "Schlüssel" itself: they speak of
// the wrench. "Kuhglocke" and "Glockenkuh" join "Kuh" and "Glocke" twice, yet as one witness.
// The words that texts pair with each keyword go first.
void TestEvidence::compoundsWitnessOnlyThemselves()
{
    MadeUp data;
    data.text({"Schlüssel", "Tür"}, 2);
    data.text({"Schlüssel", "Schloss"}, 2);
    data.text({"Gabel", "Messer"}, 2);
    data.text({"Gabelschlüssel", "Mutter"}, 3);
    data.text({"Kuh", "Tür"}, 2);
    data.text({"Kuh", "Schloss"}, 2);
    data.text({"Glocke", "Turm"}, 2);
    data.noun("Kuhglocke");
    data.noun("Glockenkuh");
    for (const auto &[keyword, piece] :
         {std::pair(u"Schlüssel"_s, u"Mutter"_s), std::pair(u"Kuh"_s, u"Glocke"_s)}) {
        const QStringList list = data.answer(keyword);
        const qsizetype last = std::max(list.indexOf(u"Tür"_s), list.indexOf(u"Schloss"_s));
        QVERIFY2(list.contains(u"Tür"_s) && list.contains(u"Schloss"_s),
                 qPrintable(list.join(u',')));
        QVERIFY2(!list.contains(piece) || list.indexOf(piece) > last, qPrintable(list.join(u',')));
    }
}

// An anecdote names "Brezel" and "Verzierung" in four of its sentences; two texts pair
// "Brezel" with "Bäcker". The anecdote is one witness: the baker goes first.
void TestEvidence::oneAnecdoteIsOneWitness()
{
    MadeUp data;
    data.text({"Brezel", "Bäcker"}, 2);
    data.anecdote({"Brezel", "Verzierung"}, 4);
    const QStringList brezel = data.answer(u"Brezel"_s);
    QVERIFY2(before(brezel, "Bäcker", "Verzierung"), qPrintable(brezel.join(u',')));
}

// Both meanings of "Bank" are borne out by its texts, the seat by three of its words, the money
// house by one, exactly a third as well; each meaning has as many synonyms to reach its other
// words. Of the words that only the thesaurus names, the seat's come first, though the thesaurus
// lists the money first; and the money house still brings all of its words.
void TestEvidence::betterBorneOutMeaningFirst()
{
    MadeUp data;
    data.noun("Schemel"); // made first: the ties that word numbers break favour it anyway
    data.meaning({"Bank", "Geldhaus", "Institut", "Kasse", "Tresor"});
    data.meaning({"Bank", "Schemel", "Sitz", "Hocker", "Stuhl"});
    for (const char *word : {"Sitz", "Hocker", "Stuhl", "Institut"})
        data.text({"Bank", word}, 2);
    const QStringList bank = data.answer(u"Bank"_s);
    checkListed(bank, {"Geldhaus", "Kasse", "Tresor"});
    QVERIFY2(before(bank, "Schemel", "Geldhaus"), qPrintable(bank.join(u',')));
}

// One entry names "Bube" among the words for passing water ("für kleine Buben"); five English
// words that translate the entry gather it with other entries. The entry is one witness of its
// words, however many gatherings repeat it: they join Bube with the other entries, not with it.
void TestEvidence::gatheredEntryIsOneWitness()
{
    MadeUp data(20000);
    data.text({"Bube", "Knabe"}, 2);
    data.text({"Bube", "Bengel"}, 2);
    data.text({"Pinkel", "Strulle", "Seiche", "Bube"});
    for (int i = 0; i < 5; ++i)
        data.gathering({{"Pinkel", "Strulle", "Seiche", "Bube"}, {filler("Harn", i)}});
    // Another entry that brings the keyword as well repeats the first no less.
    data.gathering({{"Pinkel", "Strulle", "Seiche", "Bube"}, {"Bube", "Urin"}});
    const QStringList bube = data.answer(u"Bube"_s);
    checkListed(bube, {"Knabe", "Bengel"}, {"Pinkel", "Strulle", "Seiche"});
    // The gatherings still join the entries with each other.
    const QStringList pinkel = data.answer(u"Pinkel"_s);
    checkListed(pinkel, {filler("Harn", 0).c_str()});
}

// "Käse" is a food in a meaning of four words and nonsense in one of thirty. The texts name two
// of the food's other three words and three of the nonsense's twenty-nine, as many as a large
// meaning has in any keyword's texts. The food is the better borne out: its last word goes before
// the nonsense's words that only the thesaurus names, and of those few come at all.
void TestEvidence::largeMeaningIsNoBetterBorneOut()
{
    MadeUp data;
    data.meaning({"Käse", "Quark", "Topfen", "Bergkäse"});
    std::vector<std::string> nonsense = {"Käse", "Kohl", "Blech", "Stuss"};
    for (int i = 0; i < 26; ++i)
        nonsense.push_back(filler("Unfug", i));
    data.meaning(nonsense);
    for (const char *word : {"Quark", "Topfen", "Kohl", "Blech", "Stuss"})
        data.text({"Käse", word}, 2);
    const QStringList kaese = data.answer(u"Käse"_s);
    qsizetype listed = 0;
    for (int i = 0; i < 26; ++i) {
        const std::string word = filler("Unfug", i);
        QVERIFY2(before(kaese, "Bergkäse", word.c_str()), qPrintable(kaese.join(u',')));
        listed += kaese.contains(QString::fromStdString(word));
    }
    QVERIFY2(listed <= 2, qPrintable(kaese.join(u',')));
}

// Two entries share five English words ("Harn" and "Urin", both "urine", "water", ...): five
// gatherings join them, and they are one witness, as the translations of two entries are.
// Two texts pair "Harn" with "Blase": the word that two sources bear out goes first, and the
// word that only the gatherings bring does not stand in the list beside it.
void TestEvidence::gatheringsAreOneWitness()
{
    MadeUp data;
    data.text({"Harn", "Blase"}, 2);
    for (int i = 0; i < 5; ++i)
        data.gathering({{"Harn"}, {"Urin"}});
    const QStringList harn = data.answer(u"Harn"_s);
    checkListed(harn, {"Blase"}, {"Urin"});
}

// "Gebäude" names the class of many things that definitions define; two of them name
// "Flughafen" as what tells them apart. The class says what a terminal is, nothing of airports.
// A first noun that few definitions name ("Teig") is no class, and goes with the words beside it.
// The details before a class tell what the word defined is, and say nothing of each other.
void TestEvidence::definitionClassStaysWithWordDefined()
{
    MadeUp data(2000);
    for (uint32_t i = 0; i < BuildWeights::minClassDefinitions; ++i)
        data.definition({filler("Bau", int(i)), "Gebäude", filler("Zweck", int(i))});
    data.definition({"Terminal", "Gebäude", "Flughafen"});
    data.definition({"Hangar", "Gebäude", "Flughafen"});
    data.definition({"Kuchen", "Teig", "Ofen"});
    data.definition({"Brot", "Teig", "Ofen"});
    data.definition({"Stift", "hoch", "schmal", "Gebäude"});
    data.definition({"Turm", "hoch", "schmal", "Gebäude"});
    data.text({"Flughafen", "Flugzeug"}, 2);
    checkListed(data.answer(u"Flughafen"_s), {"Flugzeug"}, {"Gebäude"});
    checkListed(data.answer(u"Ofen"_s), {"Teig"});
    checkListed(data.answer(u"hoch"_s), {}, {"schmal"});
}

// One line gives "Preis" and two examples, each translated with "price". The English word
// gathers the three entries, but they are one line, which pairs "Fehlentscheidung" with "Preis"
// once: one witness, not two. "Ware" goes with "Preis" in two texts.
void TestEvidence::examplesOfOneLineAreOneWitness()
{
    MadeUp data;
    for (const char *word : {"Preis", "Kunde", "Fehlentscheidung"})
        data.noun(word);
    data.dictionary("Preis {m} | Kunde zahlt Preis | Fehlentscheidung hat Preis :: price | "
                    "customer pays price | mistake has price\n"_ba);
    data.text({"Preis", "Ware"}, 2);
    checkListed(data.answer(u"Preis"_s), {"Ware"}, {"Fehlentscheidung"});
}

// Lines that a note labels "(Film, Radio)" say what the subjects go with, not that the two go
// together.
void TestEvidence::subjectsOfALineAreNoPair()
{
    MadeUp data;
    for (const char *word : {"Film", "Radio", "Regisseur", "Sprecher", "Cutter"})
        data.noun(word);
    data.dictionary("Regisseur {m} (Film, Radio) :: director\nSprecher {m} (Film, Radio) :: "
                    "speaker\nCutter {m} (Film, Radio) :: editor\n"_ba);
    data.text({"Film", "Regisseur"});
    checkListed(data.answer(u"Film"_s), {"Regisseur"}, {"Radio"});
}

// "Eile" has a meaning that its texts bear out, with four phrases, and one they do not: the
// phrases name no texts, and leave room for the words of the other.
void TestEvidence::phrasesLendNoTexts()
{
    MadeUp data;
    data.meaning({"Eile", "Ruhe", "in Eile", "im Nu", "in Hast", "auf Trab"});
    data.meaning({"Eile", "Hast", "Hetze"});
    data.text({"Eile", "Ruhe"}, 2);
    data.text({"Hast", "Stress"}, 2);
    data.text({"Hetze", "Stress"}, 2);
    checkListed(data.answer(u"Eile"_s), {"Stress"});
}

// The thesaurus lists "Äpfel" in a meaning of its own; the dictionary gives it as Apfel's plural.
// A form that begins with another letter than its keyword is still the keyword.
void TestEvidence::keywordsFormsStayOut()
{
    MadeUp data;
    data.dictionary("Apfel {m} | Äpfel {pl} :: apple | apples\n"_ba);
    data.meaning({"Apfel", "Kernobst"});
    data.thesaurusMeaning({"Äpfel", "Kernobst", "Obst"});
    checkListed(data.answer(u"Apfel"_s), {"Obst"}, {"Äpfel"});
    // The keyword in the other number stays out; a noun in -er is one who does the other noun.
    MadeUp numbers;
    numbers.meaning({"Weihnachten", "Weihnacht", "Fest"});
    numbers.meaning({"Schauspieler", "Schauspiel", "Bühne"});
    // A verb made noun is no plural: "Abfrage" stays beside "abfragen".
    numbers.dictionary("abfragen {vt} :: to query\nAbfragen {n} :: querying\n"_ba);
    numbers.meaning({"abfragen", "Abfrage", "Prüfung"});
    checkListed(numbers.answer(u"Weihnachten"_s), {"Fest"}, {"Weihnacht"});
    checkListed(numbers.answer(u"Schauspieler"_s), {"Schauspiel", "Bühne"});
    checkListed(numbers.answer(u"abfragen"_s), {"Abfrage", "Prüfung"});
}

// Pumpe's texts pair fifty-five words more often than Ding, and each of those pairs with
// twenty-five others more often than with Pumpe; Ding's texts name Pumpe alone. Asked for seven
// words, Ding, weighed by its own list, goes before the words that name Pumpe late, though more
// than forty of them score higher before their own lists are read.
void TestEvidence::mutualWordBehindManyOneSidedOnesIsWeighed()
{
    MadeUp data(100000);
    for (int i = 0; i < 55; ++i) {
        data.text({"Pumpe", filler("Rohr", i)}, 3);
        for (int j = 0; j < 25; ++j)
            data.text({filler("Rohr", i), filler("Gerät", j)}, 4);
    }
    data.text({"Pumpe", "Ding"}, 2);
    const QStringList answer = ServiceFixture::words(data.lexicon(), u"Pumpe"_s, 7);
    QVERIFY2(answer.contains(u"Ding"_s), qPrintable(answer.join(u' ')));
}

QTEST_GUILESS_MAIN(TestEvidence)
#include "tst_evidence.moc"
