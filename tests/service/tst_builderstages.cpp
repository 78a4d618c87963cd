#include "data/baseresolver.h"
#include "data/builddocuments.h"
#include "data/buildweights.h"
#include "data/compoundcutter.h"
#include "data/dictionaryreader.h"
#include "data/documentcounter.h"
#include "data/glosses.h"
#include "data/keyfacts.h"
#include "data/listscorer.h"
#include "index/lexicon.h"
#include "index/lexicontables.h"
#include "language/inflection.h"
#include "language/termtext.h"
#include "language/writtencase.h"
#include "support/datatable.h"
#include "support/tempenvironment.h"

#include <QTest>

#include <string>
#include <unordered_map>

namespace {

constexpr uint32_t npos = Lexicon::npos;
// A base form of the dictionary and the thesaurus.
constexpr uint8_t headword = Head | Thesaurus;

// A few words, each its own key and base form, as the stages before the one under test leave
// them: the key facts and the English glosses set by hand.
class TinyLexicon
{
public:
    TinyLexicon() { facts.dictionary = true; }

    uint32_t add(const std::string &word, uint8_t flags, uint32_t uses,
                 const QByteArrayList &english = {})
    {
        const uint32_t w = tables.words.intern(word);
        const uint32_t key = tables.keys.intern(TermText::lookupKey(std::string_view(word)));
        tables.wordKey.push_back(key);
        tables.wordFlags.push_back(Lexicon::Displayable | Lexicon::InWordList);
        tables.keyWord.push_back(w);
        tables.keyBase.push_back(key);
        const bool noun = Language::writtenWithCapital(word);
        facts.flags.push_back(flags | (flags & Head ? (noun ? UpperHead : LowerHead) : 0));
        facts.kinds.push_back(Language::kindsOfWritten(word));
        facts.upperForm.push_back(noun);
        facts.noun.push_back(noun);
        facts.uses.push_back(uses);
        for (const QByteArray &gloss : english) {
            const auto added =
                m_english.try_emplace(gloss.toStdString(), uint32_t(m_english.size()));
            m_glosses.emplace_back(key, added.first->second);
        }
        return key;
    }
    uint32_t key(const char *text) const { return tables.keys.find(text); }
    QString text(uint32_t key) const
    {
        return QString::fromUtf8(key == npos ? std::string_view("-") : tables.keys.at(key));
    }
    CompoundParts cut() const
    {
        const Glosses glosses(m_glosses, m_english, tables.keyBase);
        return CompoundCutter(tables, facts, glosses).cut();
    }
    // The key's cut as "modifier|head", "-" for a part there is none of; with links given,
    // "modifier|linking element|head" where there is one.
    QString cutText(const std::vector<std::pair<uint32_t, uint32_t>> &parts, uint32_t k,
                    const std::vector<uint8_t> *links = nullptr) const
    {
        const uint8_t link = links ? links->at(k) : 0;
        const QString linking =
            link ? QString::fromLatin1(Inflection::linkingElements[link - 1]) + u'|' : QString();
        return text(parts[k].first) + u'|' + linking + text(parts[k].second);
    }

    LexiconTables tables;
    KeyFacts facts;

private:
    std::unordered_map<std::string, uint32_t> m_english;
    std::vector<std::pair<uint32_t, uint32_t>> m_glosses;
};

} // namespace

class TestBuilderStages : public QObject
{
    Q_OBJECT

private slots:
    void keyKinds_data();
    void keyKinds();
    void compoundCutter_data();
    void compoundCutter();
    void documentCounter_data();
    void documentCounter();
    void scorer_data();
    void scorer();
    void scorerKeepsTheBestFirst();
    void compoundListsStopAtTheirCap();
    void baseResolverTies();
    void labelsAreNoWords();
};

void TestBuilderStages::keyKinds_data()
{
    TestSupport::addRows(QStringLiteral("wordforms/storedkinds.tsv"),
                         {"words:byteslist", "headKinds:int", "kinds:int", "noun:bool"});
}

void TestBuilderStages::keyKinds()
{
    QFETCH(QByteArrayList, words);
    QFETCH(int, headKinds);
    QFETCH(int, kinds);
    QFETCH(bool, noun);
    LexiconTables tables;
    for (const QByteArray &word : words) {
        const std::string_view text(word.constData(), size_t(word.size()));
        tables.wordKey.push_back(tables.keys.intern(TermText::lookupKey(text)));
        tables.wordFlags.push_back(Lexicon::Displayable);
        tables.words.intern(text);
    }
    QCOMPARE(tables.keys.size(), size_t(1));
    tables.keyWord.assign(1, 0);
    const std::vector<uint32_t> none;
    std::vector<uint32_t> headKeys;
    std::vector<uint8_t> stated;
    if (headKinds != 0) {
        headKeys.push_back(0);
        stated.push_back(uint8_t(headKinds));
    }
    const BuildDocuments documents;
    const KeyFacts facts = KeyFacts::find(tables, {none, headKeys, stated, documents});
    QCOMPARE(int(facts.storedKinds(0)), kinds);
    QCOMPARE(bool(facts.noun[0]), noun);
}

void TestBuilderStages::compoundCutter_data()
{
    TestSupport::addRows(QStringLiteral("builderstages/compounds.tsv"),
                         {"compound", "cut", "meant"});
}

void TestBuilderStages::compoundCutter()
{
    QFETCH(QString, compound);
    QFETCH(QString, cut);
    QFETCH(QString, meant);
    TinyLexicon l;
    const QByteArray words = TestSupport::readBytes(
        TestSupport::dataFile(QStringLiteral("builderstages/compoundwords.tsv")));
    for (const QByteArray &line : words.split('\n')) {
        QByteArrayList fields = line.split('\t');
        fields.removeAll(QByteArray()); // columns may be lined up with several tabs
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        QVERIFY2(fields.size() == 4, line.constData());
        l.add(fields[0].toStdString(), fields[1] == "head" ? headword : uint8_t(Listed),
              fields[2].toUInt(), fields[3] == "\"\"" ? QByteArrayList() : fields[3].split('|'));
    }
    const CompoundParts parts = l.cut();
    const uint32_t key = l.key(compound.toLower().toUtf8().constData());
    QVERIFY(key != npos);
    QCOMPARE(l.cutText(parts.cut, key, &parts.linking), cut);
    if (meant != QLatin1String("*"))
        QCOMPARE(l.cutText(parts.meant, key), meant);
}

void TestBuilderStages::documentCounter_data()
{
    TestSupport::addRows(QStringLiteral("builderstages/commonness.tsv"),
                         {"documents:list", "counts:list"});
}

void TestBuilderStages::documentCounter()
{
    QFETCH(QStringList, documents);
    QFETCH(QStringList, counts);
    TinyLexicon l;
    for (const char *word : {"Baum", "Wald", "Haus", "Tür", "Haustür", "Grenze", "grenzen"})
        l.add(word, headword, 1);
    l.add("und", StopKey, 1);
    l.add("machen", headword | LightVerb, 1);
    l.add("EU", headword, 1);
    l.add("Xy", 0, 1);
    const uint32_t forms = l.add("Bäume", Listed, 1);
    l.tables.keyBase[forms] = l.key("baum");
    std::vector<uint32_t> otherCaseBase(l.tables.keys.size(), npos);
    otherCaseBase[l.key("grenzen")] = l.key("grenze");
    CompoundParts compounds;
    compounds.cut.assign(l.tables.keys.size(), {npos, npos});
    compounds.meant = compounds.cut;
    compounds.meant[l.key("haustür")] = {l.key("haus"), l.key("tür")};
    BuildDocuments docs;
    for (const QString &document : documents) {
        for (const QString &token : document.split(QLatin1Char(' '))) {
            docs.keys.push_back(
                l.key(TermText::lookupKey(std::string_view(token.toStdString())).c_str()));
            docs.capitalised.push_back(Language::writtenWithCapital(token.toStdString()));
        }
        docs.begin.push_back(uint32_t(docs.keys.size()));
        docs.weight.push_back(2);
    }
    DocumentCounter(&l.tables, l.facts, otherCaseBase, compounds).count(std::move(docs), {});
    for (const QString &count : counts) {
        const QStringList parts = count.split(QLatin1Char('='));
        const uint32_t key = l.key(parts[0].toUtf8().constData());
        QVERIFY2(key != npos, qPrintable(parts[0]));
        QCOMPARE(l.tables.keyCommonness[key], parts[1].toUInt());
    }
}

void TestBuilderStages::scorer_data()
{
    TestSupport::addRows(QStringLiteral("builderstages/scores.tsv"),
                         {"shared:int", "dfA:int", "dfB:int", "sign:int"});
}

void TestBuilderStages::scorer()
{
    QFETCH(int, shared);
    QFETCH(int, dfA);
    QFETCH(int, dfB);
    const double score = ListScorer::score(shared, dfA, dfB, 1000.0);
    QTEST(score > 1e-9 ? 1 : score < -1e-9 ? -1 : 0, "sign");
}

// A word that stands in many documents goes after one met as often that stands in few; a word
// met more often before one met less. The lists keep the best first.
void TestBuilderStages::scorerKeepsTheBestFirst()
{
    QVERIFY(ListScorer::score(10, 20, 20, 1000) > ListScorer::score(10, 20, 200, 1000));
    QVERIFY(ListScorer::score(10, 20, 20, 1000) > ListScorer::score(5, 20, 20, 1000));
    TinyLexicon l;
    for (const char *word : {"Baum", "Wald", "Ast", "Haus"})
        l.add(word, headword, 1);
    BuildDocuments docs;
    using Words = std::initializer_list<const char *>;
    for (const Words words : {Words{"baum", "wald"}, Words{"baum", "wald"}, Words{"baum", "ast"},
                              Words{"haus"}, Words{"haus"}, Words{"haus"}}) {
        for (const char *w : words)
            docs.keys.push_back(l.key(w));
        docs.begin.push_back(uint32_t(docs.keys.size()));
        docs.weight.push_back(2);
    }
    l.tables.keyCommonness = {6, 4, 2, 6};
    CompoundParts compounds;
    compounds.cut.assign(l.tables.keys.size(), {npos, npos});
    ListScorer(&l.tables, docs, compounds).rank({});
    const uint32_t baum = l.key("baum");
    const auto cooc = [&](uint32_t key) {
        QStringList words;
        for (uint32_t i = l.tables.coocBegin[key]; i < l.tables.coocBegin[key + 1]; ++i) {
            words.append(QString::fromUtf8(l.tables.words.at(l.tables.cooc[i])));
        }
        return words;
    };
    QCOMPARE(cooc(baum), (QStringList{"Wald", "Ast"}));
    QCOMPARE(cooc(l.key("haus")), QStringList());
}

// A key that more compounds are made of than a list holds keeps exactly the best of them.
void TestBuilderStages::compoundListsStopAtTheirCap()
{
    TinyLexicon l;
    l.add("Haus", headword, 1);
    l.add("Boot", headword, 1);
    std::vector<uint32_t> listed;
    std::vector<std::string> names;
    for (size_t i = 0; i <= BuildWeights::maxCompounds; ++i) {
        // Equally common, so the shorter and then the alphabetically first go first.
        names.push_back("Haus" + std::string(i < 10 ? "0" : "") + std::to_string(i) + "boot");
    }
    for (const std::string &name : names) {
        l.add(name.c_str(), headword, 1);
        listed.push_back(l.tables.keyWord[l.key(TermText::lookupKey(name).c_str())]);
    }
    l.tables.keyCommonness.assign(l.tables.keys.size(), 1);
    CompoundParts compounds;
    compounds.cut.assign(l.tables.keys.size(), {npos, npos});
    for (size_t k = 2; k < l.tables.keys.size(); ++k)
        compounds.cut[k] = {l.key("haus"), l.key("boot")};
    BuildDocuments docs;
    ListScorer(&l.tables, docs, compounds).rank(listed);
    const uint32_t haus = l.key("haus");
    const uint32_t begin = l.tables.compoundBegin[haus];
    const uint32_t end = l.tables.compoundBegin[haus + 1];
    QCOMPARE(size_t(end - begin), BuildWeights::maxCompounds);
    QCOMPARE(l.tables.words.at(l.tables.compounds[begin]), std::string_view("Haus00boot"));
    QCOMPARE(l.tables.words.at(l.tables.compounds[end - 1]),
             std::string_view(names[BuildWeights::maxCompounds - 1]));
}

// Of two words that a key may be a form of, used alike, the one with the shorter ending:
// "Reisen" of "Reise", not of "Reis". A noun's form that is also a verb's headword reads as the
// noun only where the texts use the noun more.
void TestBuilderStages::baseResolverTies()
{
    for (const uint32_t nounUses : {2u, 3u}) {
        TinyLexicon l;
        l.add("Reis", headword, 5);
        l.add("Reise", headword, 5);
        const uint32_t reisen = l.add("Reisen", Listed, 1);
        const uint32_t pflanze = l.add("Pflanze", headword, nounUses);
        const uint32_t pflanzen = l.add("Pflanzen", headword | LowerHead, 2);
        const std::vector<std::pair<uint32_t, uint32_t>> forms = {{pflanzen, pflanze}};
        const std::vector<bool> formOfNoun = {true};
        const std::vector<uint32_t> other =
            BaseResolver(&l.tables, &l.facts, forms, formOfNoun).resolve();
        QCOMPARE(l.text(l.tables.keyBase[reisen]), QStringLiteral("reise"));
        QCOMPARE(l.text(other[pflanzen]),
                 nounUses > 2 ? QStringLiteral("pflanze") : QStringLiteral("-"));
    }
}

// A note that a hundred lines repeat labels their kind; one that fewer repeat is text.
void TestBuilderStages::labelsAreNoWords()
{
    std::string dictionary;
    for (int i = 0; i < 100; ++i)
        dictionary += "Wort" + std::to_string(i) + " {n} (Regel) (botanische Gattung) :: word\n";
    dictionary += "Rose {f} (botanische Gattung) (rot, Rosen) :: rose\n";
    const DictionaryReader::Labels labels = DictionaryReader::findLabels(dictionary);
    QCOMPARE(labels, DictionaryReader::Labels({"botanische Gattung", "Regel"}));
    std::vector<std::string_view> tokens;
    DictionaryReader::documentWords("Gelbling {m} (Regel) (botanische Gattung) (rot, Rosen)",
                                    &tokens, nullptr, &labels);
    QCOMPARE(tokens, (std::vector<std::string_view>{"Gelbling", "rot", "Rosen"}));
}

QTEST_GUILESS_MAIN(TestBuilderStages)
#include "tst_builderstages.moc"
