#include "data/dictionaryreader.h"
#include "data/indexwriter.h"
#include "data/lexiconbuilder.h"
#include "data/wordlistreader.h"
#include "index/lexicon.h"
#include "index/lexicontables.h"
#include "language/lexiconvocabulary.h"
#include "query/associator.h"
#include "query/wordfamily.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The forms a dictionary lists and the word list holds, read into base forms: a few lines of
// each, compiled in memory, without the rest of the data.
class TestWordForms : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void keywordReadsAsItsBase_data();
    void keywordReadsAsItsBase();
    void textFormCountsForItsCase();
    void kindsComeFromTheDictionary();
    void shortestVerbFindsItsNoun();

private:
    QString answeredAs(const QString &keyword) const;

    Lexicon m_lexicon;
};

void TestWordForms::initTestCase()
{
    // One plural for two nouns, as the dictionary often writes them; a verb that shares the
    // plural's letters in small ones ("ich köpfe").
    const QByteArray dictionary = QByteArrayLiteral(
        "Kopf {m}; Haupt {n} [poet.] | Köpfe {pl} | von Kopf bis Fuß :: head | heads | from head "
        "to foot\n"
        "köpfen {vt} | köpfend | geköpft :: to head | heading | headed\n"
        "Abdruck {m}; Eindruck {m} | Abdrücke {pl}; Eindrücke {pl} :: print | prints\n"
        "Ruf {m} | Rufe {pl} :: call | calls\n"
        "rufen {vt} | rufend | gerufen :: to call | calling | called\n"
        "Ball {m} | Bälle {pl} :: ball | balls\n"
        "Tor {n} | Tore {pl} | Köpfe und Bälle im Tor :: goal | goals | heads and balls in the "
        "goal\n"
        "ins Tor köpfen :: to head into the goal\n"
        "Ton {m} :: sound\n"
        "tönen {vi} | tönend | getönt :: to sound | sounding | sounded\n"
        "die Töne der Glocke :: the sounds of the bell\n"
        "geben {vt} | gebend | gegeben | er/sie gibt :: to give | giving | given | he/she gives\n"
        "ausgeben {vt} | ausgebend | ausgegeben :: to spend | spending | spent\n"
        "Esse {f} | Essen {pl} :: chimney | chimneys\n"
        "essen {vt} | essend | gegessen :: to eat | eating | eaten\n"
        "Essen {n} | beim Essen :: meal | at the meal\n"
        "Essen und Trinken :: food and drink\n"
        "Lob {n} | vom Lob loben :: praise | to praise the praise\n"
        "loben {vt} | lobend | gelobt :: to praise | praising | praised\n");
    const QByteArray wordList = QByteArrayLiteral("Kopf\nköpfe\nKöpfe\nköpfen\nRuf\nrufe\nRufe\nruf"
                                                  "en\nEindruck\ntöne\nausgibt\nZauber\nzaubern\n");
    LexiconTables tables;
    LexiconBuilder builder(&tables);
    WordListReader::read(wordList, &builder);
    // With a stop word list come the function words it lacks, "gibt" ("es gibt") among them.
    builder.addStopWord("und");
    DictionaryReader::read(dictionary, &builder);
    builder.finish();
    QString error;
    QVERIFY2(m_lexicon.adopt(IndexWriter::image(tables), &error), qPrintable(error));
}

QString TestWordForms::answeredAs(const QString &keyword) const
{
    const uint32_t base = Associator(&m_lexicon).baseKeyOf(keyword);
    if (base == Lexicon::npos) {
        return u"-"_s;
    }
    const std::string_view key = m_lexicon.key(base);
    return QString::fromUtf8(key.data(), qsizetype(key.size()));
}

void TestWordForms::keywordReadsAsItsBase_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("base");
    // The plural of the first of two nouns, though the line gives one plural for both.
    const auto row = [](const char *name, const QString &keyword, const QString &base) {
        QTest::newRow(name) << keyword << base;
    };
    row("plural of one of two", "Köpfe", "kopf");
    // In small letters it is the verb's form as much.
    row("verb form in small letters", "köpfe", "köpfen");
    row("plurals one for each", "Eindrücke", "eindruck");
    row("plural of a noun beside its verb", "Rufe", "ruf");
    row("verb form beside a noun's plural", "rufe", "rufen");
    // No line lists "Töne", and the word list has it only in small letters; a text writes it
    // with its capital, so the noun it is a form of reads it so.
    row("plural that a text capitalises", "Töne", "ton");
    row("verb form of that plural", "töne", "tönen");
    // "gibt" alone is a function word, but with its particle in front a form of the verb.
    // The noun "Essen" is the verb made noun, not the plural of the rarer chimney "Esse".
    row("verb made noun", "Essen", "essen");
    row("verb", "essen", "essen");
    row("particle before a function word", "ausgibt", "ausgeben");
}

void TestWordForms::keywordReadsAsItsBase()
{
    QFETCH(QString, keyword);
    QFETCH(QString, base);
    QCOMPARE(answeredAs(keyword), base);
}

// "Köpfe und Bälle im Tor" speaks of heads; "ins Tor köpfen" of the verb: each counts for its
// own word, so both stand among the goal's words.
void TestWordForms::textFormCountsForItsCase()
{
    QStringList words;
    for (const Association &a : Associator(&m_lexicon).associate(u"Tor"_s, 20)) {
        const std::string_view word = m_lexicon.word(a.word);
        words.append(QString::fromUtf8(word.data(), qsizetype(word.size())));
    }
    QVERIFY2(words.contains(u"Kopf"_s), qPrintable(words.join(',')));
    QVERIFY2(words.contains(u"köpfen"_s), qPrintable(words.join(',')));
}

// The index keeps the kinds the grammar notes state, whatever the case of the word.
void TestWordForms::kindsComeFromTheDictionary()
{
    const auto kinds = [&](std::string_view key) {
        return m_lexicon.kindsOf(m_lexicon.findKey(key));
    };
    QCOMPARE(kinds("kopf"), uint8_t(Language::Noun));
    QCOMPARE(kinds("köpfen"), uint8_t(Language::Verb));
    QCOMPARE(kinds("essen"), uint8_t(Language::Noun | Language::Verb));
    QCOMPARE(kinds("köpfe"), uint8_t(0)); // a form, no headword
    const Language::LexiconVocabulary vocabulary(m_lexicon);
    QCOMPARE(vocabulary.kindsOf(m_lexicon.findKey("essen")),
             uint8_t(Language::Noun | Language::Verb));
    // The word list alone says nothing of kinds: there the capital tells a noun.
    QCOMPARE(vocabulary.kindsOf(m_lexicon.findKey("zauber")), uint8_t(Language::Noun));
    QCOMPARE(vocabulary.kindsOf(m_lexicon.findKey("zaubern")),
             uint8_t(Language::Verb | Language::Adjective));
}

// A noun and its verb used together are one family, down to the shortest verb the rule takes.
void TestWordForms::shortestVerbFindsItsNoun()
{
    std::string scratch;
    const auto partner = [&](std::string_view key) {
        const uint32_t found = WordFamily::partnerOf(m_lexicon, m_lexicon.findKey(key), &scratch);
        return found == Lexicon::npos ? std::string_view() : m_lexicon.key(found);
    };
    QCOMPARE(partner("loben"), std::string_view("lob"));
    QCOMPARE(partner("lob"), std::string_view("loben"));
}

QTEST_APPLESS_MAIN(TestWordForms)
#include "tst_wordforms.moc"
