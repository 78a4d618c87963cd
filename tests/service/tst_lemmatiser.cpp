#include "language/lemmatiser.h"

#include <QTest>

#include <map>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

using namespace Language;

namespace {

// A handful of German entries, as an index holds them: base forms with their kinds, forms that
// point to their base, and keys that read as another entry when written with a capital.
class TableVocabulary : public Vocabulary
{
public:
    TableVocabulary()
    {
        for (const char *noun : {"kopf", "ton", "haus", "stern", "grenze", "esse", "maus", "katze",
                                 "hund", "haushalt", "halt"}) {
            addBase(noun, Noun);
        }
        for (const char *verb : {"köpfen", "tönen", "laufen", "geben", "ausgeben", "kochen"}) {
            addBase(verb, Verb);
        }
        addBase("schnell", Adjective);
        // The noun "Essen" is the verb made noun: one entry of two kinds.
        addBase("essen", Noun | Verb);
        addForm("läuft", "laufen");
        addForm("gibt", "geben");
        addForm("schneller", "schnell");
        // "grenzen" is a verb; "Grenzen" the plural of "Grenze".
        addBase("grenzen", Verb);
        m_entries["grenzen"].other = find("grenze");
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
    void addBase(const std::string &text, int kinds)
    {
        const uint32_t id = uint32_t(m_texts.size());
        m_texts.push_back(text);
        m_entries[text] = {id, id, uint8_t(kinds)};
    }
    void addForm(const std::string &text, const std::string &base)
    {
        const uint32_t id = uint32_t(m_texts.size());
        m_texts.push_back(text);
        m_entries[text] = {id, find(base), 0};
    }

    std::vector<std::string> m_texts;
    std::map<std::string, Entry> m_entries;
};

QString textOf(const Vocabulary &vocabulary, uint32_t key)
{
    if (key == Vocabulary::npos) {
        return u"-"_s;
    }
    const std::string_view text = vocabulary.key(key);
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

class TestLemmatiser : public QObject
{
    Q_OBJECT

private slots:
    void tokenReadsAsItsBase_data();
    void tokenReadsAsItsBase();
    void capitalChoosesBetweenEntries();
    void ownForms_data();
    void ownForms();

private:
    TableVocabulary m_vocabulary;
};

void TestLemmatiser::tokenReadsAsItsBase_data()
{
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("base");
    // A plural that marks the vowel is the noun's, not the verb's that shares the letters.
    QTest::newRow("umlaut plural, not verb") << u"Köpfe"_s << u"kopf"_s;
    QTest::newRow("umlaut plural, not verb 2") << u"Töne"_s << u"ton"_s;
    QTest::newRow("umlaut and ending") << u"Häuser"_s << u"haus"_s;
    QTest::newRow("listed form") << u"läuft"_s << u"laufen"_s;
    // The particle in front, as a subordinate clause puts it, on a form the verb lists.
    QTest::newRow("separable verb") << u"ausgibt"_s << u"ausgeben"_s;
    QTest::newRow("diminutive") << u"Sternchen"_s << u"stern"_s;
    QTest::newRow("diminutive with umlaut") << u"Mäuschen"_s << u"maus"_s;
    QTest::newRow("diminutive without e") << u"Kätzchen"_s << u"katze"_s;
    QTest::newRow("verb form") << u"kochte"_s << u"kochen"_s;
    QTest::newRow("ending on a listed form") << u"schnelleren"_s << u"schnell"_s;
    // The verb made noun is one entry with the verb, no plural of the chimney "Esse".
    QTest::newRow("verb made noun") << u"Essen"_s << u"essen"_s;
    QTest::newRow("verb made noun, small") << u"essen"_s << u"essen"_s;
    QTest::newRow("unknown") << u"Xylofonie"_s << u"-"_s;
    QTest::newRow("empty") << QString() << u"-"_s;
}

void TestLemmatiser::tokenReadsAsItsBase()
{
    QFETCH(QString, token);
    QFETCH(QString, base);
    const Lemmatiser lemmatiser(m_vocabulary);
    const QByteArray key = token.toLower().toUtf8();
    const bool capitalised = !token.isEmpty() && token.front().isUpper();
    QCOMPARE(textOf(m_vocabulary, lemmatiser.baseOf(key.toStdString(), capitalised)), base);
}

// Keys ignore case, so "Grenzen" and "grenzen" are one key of two entries; the capital tells
// which, and small letters prove nothing (many type nouns in them), so they keep the key's own.
void TestLemmatiser::capitalChoosesBetweenEntries()
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
    // An unknown token lists every entry it can be a form of, the noun first with a capital.
    const std::vector<Reading> koepfe = lemmatiser.readings("köpfe", true);
    QCOMPARE(koepfe.size(), size_t(2));
    QCOMPARE(textOf(m_vocabulary, koepfe[1].base), u"köpfen"_s);
}

void TestLemmatiser::ownForms_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("base");
    QTest::addColumn<bool>("isForm");
    QTest::newRow("ending") << u"schnelle"_s << u"schnell"_s << true;
    QTest::newRow("comparative") << u"schneller"_s << u"schnell"_s << true;
    QTest::newRow("diminutive") << u"sternchen"_s << u"stern"_s << true;
    QTest::newRow("diminutive, umlaut") << u"hündchen"_s << u"hund"_s << true;
    QTest::newRow("diminutive, lein") << u"mäuslein"_s << u"maus"_s << true;
    QTest::newRow("diminutive of a noun in e") << u"kätzchen"_s << u"katze"_s << true;
    // Shorter or other words are no forms.
    QTest::newRow("noun of a verb") << u"koch"_s << u"kochen"_s << false;
    QTest::newRow("compound") << u"haushalt"_s << u"haus"_s << false;
    QTest::newRow("other word in chen") << u"kuchen"_s << u"kuh"_s << false;
    QTest::newRow("same word") << u"stern"_s << u"stern"_s << false;
    QTest::newRow("one letter") << u"achen"_s << u"a"_s << false;
}

void TestLemmatiser::ownForms()
{
    QFETCH(QString, word);
    QFETCH(QString, base);
    QFETCH(bool, isForm);
    const Lemmatiser lemmatiser(m_vocabulary);
    QCOMPARE(lemmatiser.isFormOf(word.toUtf8().toStdString(), base.toUtf8().toStdString()), isForm);
}

QTEST_APPLESS_MAIN(TestLemmatiser)
#include "tst_lemmatiser.moc"
