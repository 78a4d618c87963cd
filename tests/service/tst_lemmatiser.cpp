#include "language/lemmatiser.h"

#include <QTest>

#include <map>
#include <string>
#include <vector>

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
        return QStringLiteral("-");
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
    QTest::newRow("umlaut plural, not verb") << QStringLiteral("Köpfe") << QStringLiteral("kopf");
    QTest::newRow("umlaut plural, not verb 2") << QStringLiteral("Töne") << QStringLiteral("ton");
    QTest::newRow("umlaut and ending") << QStringLiteral("Häuser") << QStringLiteral("haus");
    QTest::newRow("listed form") << QStringLiteral("läuft") << QStringLiteral("laufen");
    // The particle in front, as a subordinate clause puts it, on a form the verb lists.
    QTest::newRow("separable verb") << QStringLiteral("ausgibt") << QStringLiteral("ausgeben");
    QTest::newRow("diminutive") << QStringLiteral("Sternchen") << QStringLiteral("stern");
    QTest::newRow("diminutive with umlaut") << QStringLiteral("Mäuschen") << QStringLiteral("maus");
    QTest::newRow("diminutive without e") << QStringLiteral("Kätzchen") << QStringLiteral("katze");
    QTest::newRow("verb form") << QStringLiteral("kochte") << QStringLiteral("kochen");
    QTest::newRow("ending on a listed form")
        << QStringLiteral("schnelleren") << QStringLiteral("schnell");
    // The verb made noun is one entry with the verb, no plural of the chimney "Esse".
    QTest::newRow("verb made noun") << QStringLiteral("Essen") << QStringLiteral("essen");
    QTest::newRow("verb made noun, small") << QStringLiteral("essen") << QStringLiteral("essen");
    QTest::newRow("unknown") << QStringLiteral("Xylofonie") << QStringLiteral("-");
    QTest::newRow("empty") << QString() << QStringLiteral("-");
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
    QCOMPARE(textOf(m_vocabulary, upper[0].base), QStringLiteral("grenze"));
    QCOMPARE(upper[0].kinds, uint8_t(Noun));
    QCOMPARE(textOf(m_vocabulary, upper[1].base), QStringLiteral("grenzen"));
    const std::vector<Reading> lower = lemmatiser.readings("grenzen", false);
    QCOMPARE(textOf(m_vocabulary, lower.at(0).base), QStringLiteral("grenzen"));
    QCOMPARE(lower.at(0).kinds, uint8_t(Verb));
    // An unknown token lists every entry it can be a form of, the noun first with a capital.
    const std::vector<Reading> koepfe = lemmatiser.readings("köpfe", true);
    QCOMPARE(koepfe.size(), size_t(2));
    QCOMPARE(textOf(m_vocabulary, koepfe[1].base), QStringLiteral("köpfen"));
}

void TestLemmatiser::ownForms_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("base");
    QTest::addColumn<bool>("isForm");
    QTest::newRow("ending") << QStringLiteral("schnelle") << QStringLiteral("schnell") << true;
    QTest::newRow("comparative") << QStringLiteral("schneller") << QStringLiteral("schnell")
                                 << true;
    QTest::newRow("diminutive") << QStringLiteral("sternchen") << QStringLiteral("stern") << true;
    QTest::newRow("diminutive, umlaut")
        << QStringLiteral("hündchen") << QStringLiteral("hund") << true;
    QTest::newRow("diminutive, lein")
        << QStringLiteral("mäuslein") << QStringLiteral("maus") << true;
    QTest::newRow("diminutive of a noun in e")
        << QStringLiteral("kätzchen") << QStringLiteral("katze") << true;
    // Shorter or other words are no forms.
    QTest::newRow("noun of a verb") << QStringLiteral("koch") << QStringLiteral("kochen") << false;
    QTest::newRow("compound") << QStringLiteral("haushalt") << QStringLiteral("haus") << false;
    QTest::newRow("other word in chen")
        << QStringLiteral("kuchen") << QStringLiteral("kuh") << false;
    QTest::newRow("same word") << QStringLiteral("stern") << QStringLiteral("stern") << false;
    QTest::newRow("one letter") << QStringLiteral("achen") << QStringLiteral("a") << false;
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
