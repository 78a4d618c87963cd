#include "data/dictionaryreader.h"
#include "data/indexwriter.h"
#include "data/lexiconbuilder.h"
#include "data/wordlistreader.h"
#include "index/indexformat.h"
#include "index/lexicon.h"
#include "index/lexicontables.h"
#include "language/lemmatiser.h"
#include "language/writtencase.h"
#include "servicefixture.h"

#include "support/datatable.h"
#include "support/tempenvironment.h"
#include "support/watchdog.h"

#include <QTest>

#include <cstring>
#include <map>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

using namespace Language;

namespace {

// The entries of wordforms/vocabulary.tsv, as an index holds them: base forms with their kinds,
// forms that point to their base, and keys that read as another entry when written with a
// capital.
class TableVocabulary : public Vocabulary
{
public:
    TableVocabulary()
    {
        const QByteArray table =
            TestSupport::readBytes(TestSupport::dataFile(u"wordforms/vocabulary.tsv"_s));
        std::vector<std::pair<std::string, std::string>> others;
        for (const QByteArray &line : table.split('\n')) {
            QByteArrayList fields = line.split('\t');
            fields.removeAll(QByteArray());
            if (line.isEmpty() || line.startsWith('#'))
                continue;
            if (fields.size() != 4)
                qFatal("vocabulary.tsv: %s", line.constData());
            const std::string text = fields[0].toStdString();
            const uint32_t id = uint32_t(m_texts.size());
            m_texts.push_back(text);
            m_entries[text] = {id, fields[2] == "\"\"" ? id : find(fields[2].toStdString()),
                               uint8_t(fields[1].toInt())};
            if (fields[3] != "\"\"")
                others.emplace_back(text, fields[3].toStdString());
        }
        for (const auto &[text, other] : others)
            m_entries[text].other = find(other);
    }
    uint32_t find(std::string_view key) const override
    {
        const auto it = m_entries.find(std::string(key));
        return it == m_entries.end() ? npos : it->second.id;
    }
    std::string_view key(uint32_t key) const override { return m_texts.at(key); }
    uint32_t baseOf(uint32_t key) const override { return entry(key).base; }
    uint32_t otherReadingOf(uint32_t key) const override { return entry(key).other; }
    uint8_t kindsOf(uint32_t base) const override { return entry(base).kinds; }

private:
    struct Entry
    {
        uint32_t id;
        uint32_t base;
        uint8_t kinds;
        uint32_t other = npos;
    };

    const Entry &entry(uint32_t key) const { return m_entries.at(m_texts.at(key)); }
    std::vector<std::string> m_texts;
    std::map<std::string, Entry> m_entries;
};

QString textOf(const Vocabulary &vocabulary, uint32_t key)
{
    return key == Vocabulary::npos ? u"-"_s : QString::fromUtf8(vocabulary.key(key));
}

} // namespace

// The forms a dictionary lists and the word list holds, read into base forms: a few lines of
// each, compiled in memory, without the rest of the data.
class TestWordForms : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void keywordReadsAsItsBase_data();
    void keywordReadsAsItsBase();
    void answersHoldTheWordsTheTextsMean_data();
    void answersHoldTheWordsTheTextsMean();
    void kindsComeFromTheDictionary();
    void shortestVerbFindsItsNoun();
    void readingOfNoKeyIsNone();
    void tokenReadsAsItsBase_data();
    void tokenReadsAsItsBase();
    void capitalChoosesBetweenEntries();
    void kindsOrCaseMakeANoun_data();
    void kindsOrCaseMakeANoun();
    void ownForms_data();
    void ownForms();

private:
    QString answeredAs(const QString &keyword) const;

    QByteArray m_image;
    Lexicon m_lexicon;
    TableVocabulary m_vocabulary; // a few entries, without an index
};

void TestWordForms::initTestCase()
{
    const TestSupport::Watchdog watchdog("building the word-form fixture", 120);
    // The dictionary writes one plural for two nouns, as it often does, and has a verb that shares
    // the plural's letters in small ones ("ich köpfe").
    const QByteArray dictionary =
        TestSupport::readBytes(TestSupport::dataFile(u"wordforms/dictionary.txt"_s));
    const QByteArray wordList =
        TestSupport::readBytes(TestSupport::dataFile(u"wordforms/wordlist.txt"_s));
    LexiconTables tables;
    LexiconBuilder builder(&tables);
    WordListReader::read(wordList, &builder);
    // With a stop word list come the function words it lacks, "gibt" ("es gibt") among them.
    builder.addStopWord("und");
    DictionaryReader::read(dictionary, &builder);
    builder.finish();
    QString error;
    m_image = IndexWriter::image(tables);
    QVERIFY2(m_lexicon.adopt(m_image, &error), qPrintable(error));
}

QString TestWordForms::answeredAs(const QString &keyword) const
{
    const uint32_t base = Associator(&m_lexicon).baseKeyOf(keyword);
    return base == Lexicon::npos ? u"-"_s : QString::fromUtf8(m_lexicon.key(base));
}

void TestWordForms::keywordReadsAsItsBase_data()
{
    TestSupport::addRows(u"wordforms/keywords.tsv"_s, {"keyword", "base"});
}

void TestWordForms::keywordReadsAsItsBase()
{
    QFETCH(QString, keyword);
    QFETCH(QString, base);
    QCOMPARE(answeredAs(keyword), base);
}

void TestWordForms::answersHoldTheWordsTheTextsMean_data()
{
    TestSupport::addRows(u"wordforms/firstwords.tsv"_s,
                         {"keyword", "wanted:list", "unwanted:list"});
}

// Each text form counts for the word it is in its text, so the answer's first words hold some
// and never others.
void TestWordForms::answersHoldTheWordsTheTextsMean()
{
    QFETCH(QString, keyword);
    QFETCH(QStringList, wanted);
    QFETCH(QStringList, unwanted);
    ServiceFixture::checkListed(ServiceFixture::words(m_lexicon, keyword, 20), wanted, unwanted);
}

// The index keeps the kinds the grammar notes state, whatever the case of the word; a key they
// do not define is stored with the kinds its word's case tells, so that no reader of the index
// looks at the letters.
void TestWordForms::kindsComeFromTheDictionary()
{
    const auto kinds = [&](std::string_view key) {
        return m_lexicon.kindsOf(m_lexicon.findKey(key));
    };
    QCOMPARE(kinds("kopf"), uint8_t(Language::Noun));
    QCOMPARE(kinds("köpfen"), uint8_t(Language::Verb));
    QCOMPARE(kinds("essen"), uint8_t(Language::Noun | Language::Verb));
    QCOMPARE(kinds("zauber"), uint8_t(Language::Noun));
    QCOMPARE(kinds("zaubern"), uint8_t(Language::Verb | Language::Adjective));
}

// A noun and its verb used together are one family, down to the shortest verb the rule takes.
void TestWordForms::shortestVerbFindsItsNoun()
{
    QCOMPARE(ServiceFixture::partner(m_lexicon, "loben").toLower(), u"lob"_s);
    QCOMPARE(ServiceFixture::partner(m_lexicon, "lob"), u"loben"_s);
}

void TestWordForms::tokenReadsAsItsBase_data()
{
    TestSupport::addRows(u"wordforms/tokens.tsv"_s, {"token", "base"});
}

void TestWordForms::tokenReadsAsItsBase()
{
    QFETCH(QString, token);
    QFETCH(QString, base);
    const Lemmatiser lemmatiser(m_vocabulary);
    const QByteArray key = token.toLower().toUtf8();
    const bool capitalised = writtenWithCapital(token.toStdString());
    QCOMPARE(textOf(m_vocabulary, lemmatiser.baseOf(key.toStdString(), capitalised)), base);
}

// Keys ignore case, so "Grenzen" and "grenzen" are one key of two entries; the capital tells
// which, and small letters prove nothing (many type nouns in them), so they keep the key's own.
void TestWordForms::capitalChoosesBetweenEntries()
{
    const Lemmatiser lemmatiser(m_vocabulary);
    const std::vector<Reading> upper = lemmatiser.readings("grenzen", true);
    QCOMPARE(upper.size(), size_t(2));
    QCOMPARE(textOf(m_vocabulary, upper[0].base), u"grenze"_s);
    QCOMPARE(upper[0].kinds, uint8_t(Noun));
    QCOMPARE(textOf(m_vocabulary, upper[1].base), u"grenzen"_s);
    const std::vector<Reading> lower = lemmatiser.readings("grenzen", false);
    QCOMPARE(textOf(m_vocabulary, lower.at(0).base), u"grenzen"_s);
    QCOMPARE(lower.at(0).kinds, uint8_t(Verb));
    // A word of the data is written as it is meant: there small letters choose the verb.
    const uint32_t grenzen = m_vocabulary.find("grenzen");
    QCOMPARE(textOf(m_vocabulary, lemmatiser.entryOfWritten(grenzen, true)), u"grenze"_s);
    QCOMPARE(textOf(m_vocabulary, lemmatiser.entryOfWritten(grenzen, false)), u"grenzen"_s);
    // One entry of two kinds is the same entry in either case.
    const uint32_t essen = m_vocabulary.find("essen");
    QCOMPARE(lemmatiser.entryOfWritten(essen, true), essen);
    QCOMPARE(lemmatiser.entryOfWritten(essen, false), essen);
    // An unknown token lists every entry it can be a form of, the noun first with a capital.
    const std::vector<Reading> koepfe = lemmatiser.readings("köpfe", true);
    QCOMPARE(koepfe.size(), size_t(2));
    QCOMPARE(textOf(m_vocabulary, koepfe[1].base), u"köpfen"_s);
}

void TestWordForms::kindsOrCaseMakeANoun_data()
{
    TestSupport::addRows(u"wordforms/writtencase.tsv"_s,
                         {"written:bytes", "kinds:int", "capital:bool", "noun:bool"});
}

void TestWordForms::kindsOrCaseMakeANoun()
{
    QFETCH(QByteArray, written);
    QFETCH(int, kinds);
    QFETCH(bool, capital);
    QFETCH(bool, noun);
    const std::string_view text(written.constData(), size_t(written.size()));
    QCOMPARE(writtenWithCapital(text), capital);
    QCOMPARE(readsAsNoun(text, uint8_t(kinds)), noun);
    // A word's own letters never make kinds that are not there.
    const uint8_t told = kindsOfWritten(text);
    QCOMPARE(bool(told & Noun), capital);
    QCOMPARE(told & ~(Noun | Verb | Adjective), 0);
}

void TestWordForms::ownForms_data()
{
    TestSupport::addRows(u"wordforms/ownforms.tsv"_s, {"word", "base", "isForm:bool"});
}

void TestWordForms::ownForms()
{
    QFETCH(QString, word);
    QFETCH(QString, base);
    QFETCH(bool, isForm);
    const Lemmatiser lemmatiser(m_vocabulary);
    QCOMPARE(lemmatiser.isFormOf(word.toUtf8().toStdString(), base.toUtf8().toStdString()), isForm);
}

// The index's lists are not checked on opening; each read checks the number it finds. A case
// reading that names no key, as a damaged one would, is no reading.
void TestWordForms::readingOfNoKeyIsNone()
{
    using namespace IndexFormat;
    SectionEntry e{};
    std::memcpy(&e, m_image.constData() + sizeof(Header) + CaseReadings * sizeof e, sizeof e);
    QVERIFY(e.count >= 2);
    uint32_t key = 0;
    std::memcpy(&key, m_image.constData() + e.offset, sizeof key);
    QVERIFY(m_lexicon.otherCaseBaseOf(key) != Lexicon::npos);
    QByteArray damaged = m_image;
    const uint32_t noKey = m_lexicon.keyCount();
    std::memcpy(damaged.data() + e.offset + 4, &noKey, sizeof noKey);
    Lexicon lexicon;
    QString error;
    QVERIFY2(lexicon.adopt(damaged, &error), qPrintable(error));
    QCOMPARE(lexicon.otherCaseBaseOf(key), Lexicon::npos);
}

QTEST_APPLESS_MAIN(TestWordForms)
#include "tst_wordforms.moc"
