#include "data/documentcounter.h"

#include "data/buildweights.h"
#include "data/wordshape.h"
#include "index/lexicon.h"
#include "language/lemmatiser.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>

namespace {

using BuildWeights::assumedUses;
using BuildWeights::minWordingUses;
using BuildWeights::wordingRatio;
using WordShape::characterCount;
using WordShape::isAbbreviation;

} // namespace

DocumentCounter::DocumentCounter(LexiconTables *tables, const KeyFacts &facts,
                                 const std::vector<uint32_t> &otherCaseBase,
                                 const CompoundParts &compounds)
    : m_t(tables), m_facts(facts), m_otherCaseBase(otherCaseBase), m_compounds(compounds)
{}

BuildDocuments DocumentCounter::count(BuildDocuments documents, const std::vector<uint32_t> &listed)
{
    m_docs = std::move(documents);
    addCompoundDocuments(listed);
    findAdjectiveReadings();
    countCommonness();
    findClassNouns();
    return std::move(m_docs);
}

// Each compound of the word list is a small document of itself and its parts, so that the
// parts are associated with each other ("Haftpflicht" with "Versicherung").
void DocumentCounter::addCompoundDocuments(const std::vector<uint32_t> &listed)
{
    const LexiconTables &t = *m_t;
    // The compounds are one text: two words that many compounds join ("Jungwähler",
    // "Jungwählerin") are one witness of each other, as the parts of one compound are.
    const uint32_t firstCompound = m_docs.count();
    for (uint32_t d = uint32_t(m_docs.text.size()); d < firstCompound; ++d) {
        m_docs.text.push_back(d);
    }
    for (const uint32_t w : listed) {
        const uint32_t key = t.wordKey[w];
        const auto [first, head] = m_compounds.meant[key];
        if (first == Lexicon::npos && head == Lexicon::npos) {
            continue;
        }
        for (const uint32_t k : {key, first, head}) {
            if (k != Lexicon::npos) {
                m_docs.keys.push_back(k);
                m_docs.capitalised.push_back(m_facts.noun[k]);
            }
        }
        m_docs.begin.push_back(uint32_t(m_docs.keys.size()));
        m_docs.weight.push_back(uint8_t(BuildWeights::compound));
        m_docs.text.push_back(firstCompound);
    }
}

bool DocumentCounter::isContentKey(uint32_t key) const
{
    const LexiconTables &t = *m_t;
    const uint32_t word = t.keyWord[key];
    const std::string_view text = t.keys.at(key);
    // Two letters make a word only as a noun that the dictionary defines ("Ei", "Öl"); else they
    // are particles and abbreviations.
    const auto longEnough = [&] {
        const uint32_t letters = characterCount(text);
        return letters >= 3 || (letters == 2 && (m_facts.flags[key] & UpperHead));
    };
    return !(m_facts.flags[key] & (StopKey | LightVerb)) && (m_facts.flags[key] & Known) &&
           word != Lexicon::npos && (t.wordFlags[word] & Lexicon::Displayable) &&
           !(t.wordFlags[word] & Lexicon::Phrase) && longEnough() &&
           !isAbbreviation(t.words.at(word)) && std::any_of(text.begin(), text.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || static_cast<unsigned char>(c) >= 0x80;
           });
}

// A verb made of an adjective shares the letters of its declined forms: "weißen" whitewashes,
// "die weißen Häuser" are white. Where the texts' words around a token show the adjective, it
// reads as that; the verb's own uses ("die Wand weißen", "zu weißen") keep the verb.
void DocumentCounter::findAdjectiveReadings()
{
    static constexpr std::string_view declensions[] = {"en", "em", "er", "es", "e"};
    const LexiconTables &t = *m_t;
    m_adjectiveReading.assign(t.keys.size(), Lexicon::npos);
    std::string stem;
    for (uint32_t key = 0; key < t.keys.size(); ++key) {
        // "Weißen" is also a noun (the dative plural of "Weiße"); the capital keeps that apart.
        const uint8_t kinds = m_facts.kinds[t.keyBase[key]];
        if (!(kinds & Language::Verb) || (kinds & Language::Adjective)) {
            continue;
        }
        const std::string_view text = t.keys.at(key);
        for (const std::string_view ending : declensions) {
            if (text.size() < ending.size() + 3 ||
                text.substr(text.size() - ending.size()) != ending) {
                continue;
            }
            stem.assign(text.substr(0, text.size() - ending.size()));
            const uint32_t id = t.keys.find(stem);
            if (id != Lexicon::npos && !(m_facts.flags[id] & StopKey) &&
                (m_facts.kinds[t.keyBase[id]] & Language::Adjective)) {
                m_adjectiveReading[key] = t.keyBase[id];
                break;
            }
        }
    }
}

bool DocumentCounter::isOneOfAt(size_t i, const std::string_view *words, size_t count) const
{
    const std::string_view text = m_t->keys.at(m_docs.keys[i]);
    return std::find(words, words + count, text) != words + count;
}

// A small-letter word that is, or can be, an adjective.
bool DocumentCounter::isAdjectiveAt(size_t i) const
{
    const uint32_t key = m_docs.keys[i];
    return !m_docs.capitalised[i] && (m_adjectiveReading[key] != Lexicon::npos ||
                                      (m_facts.kinds[m_t->keyBase[key]] & Language::Adjective));
}

// Whether the token at `i` (of a document from `begin` to `end`) stands where an adjective
// does: after an article, a preposition or another adjective ("die weißen Häuser", "mit
// weißen Flecken", "gelblich weißen Blüten"), and before its noun or a second adjective
// ("weißen bis gelben Blüten"). A verb before its object follows its subject instead.
bool DocumentCounter::isAdjectivePlaceAt(size_t i, size_t begin, size_t end) const
{
    static constexpr std::string_view determiners[] = {
        "der", "die", "das", "den", "dem", "des", "ein", "eine", "einen", "einem", "einer", "eines",
        "mit", "in",  "im",  "am",  "vom", "zum", "zur", "beim", "aus",   "von",   "auf",   "ohne"};
    static constexpr std::string_view joiners[] = {"und", "oder", "bis", "sowie"};
    const auto isJoiner = [&](size_t j) { return isOneOfAt(j, joiners, std::size(joiners)); };
    const bool before = i > begin && (isOneOfAt(i - 1, determiners, std::size(determiners)) ||
                                      isAdjectiveAt(i - 1) ||
                                      (i > begin + 1 && isJoiner(i - 1) && isAdjectiveAt(i - 2)));
    const bool after =
        i + 1 < end && ((m_docs.capitalised[i + 1] && m_facts.noun[m_docs.keys[i + 1]]) ||
                        (i + 2 < end && isJoiner(i + 1) && isAdjectiveAt(i + 2)));
    return before && after;
}

// The base form of the document token at `i`. Keys ignore case, and where a verb and a plural
// share one ("grenzen", "Grenzen"), or a noun and an adjective's form ("Kranke", "kranke"),
// the capital letter tells which. A capital before a noun is that of a name's adjective ("Rote
// Liste", "Kleiner Schwertwal"), not of the adjective made noun ("ein Roter").
uint32_t DocumentCounter::baseOfToken(size_t i, size_t begin, size_t end) const
{
    const LexiconTables &t = *m_t;
    const uint32_t key = m_docs.keys[i];
    const uint32_t other = m_otherCaseBase[key];
    const bool nounFollows =
        i + 1 < end && m_docs.capitalised[i + 1] && m_facts.noun[m_docs.keys[i + 1]];
    const uint32_t adjective = m_adjectiveReading[key];
    if (adjective != Lexicon::npos && !m_docs.capitalised[i] && isAdjectivePlaceAt(i, begin, end)) {
        return adjective;
    }
    if (other == Lexicon::npos) {
        return t.keyBase[key];
    }
    const auto kindsOf = [&](uint32_t k) { return m_facts.kinds[t.keyBase[k]]; };
    const uint8_t otherKinds = kindsOf(other);
    const bool capitalised =
        m_docs.capitalised[i] && !(nounFollows && (otherKinds & Language::Adjective));
    const bool asOther =
        Language::caseFit(capitalised, otherKinds) > Language::caseFit(capitalised, kindsOf(key));
    return t.keyBase[asOther ? other : key];
}

// The words that definitions use many times as often as other texts do, and that are no nouns:
// the wording of definitions ("betreffend", "insbesondere", "vorwiegend aus"). Nouns stay, even
// the definitions' own: a "Kleidungsstück" or a "Säugetier" says what the word defined is.
std::vector<bool> DocumentCounter::definitionWording(const std::vector<uint32_t> &bases) const
{
    const LexiconTables &t = *m_t;
    const uint32_t keyCount = t.keys.size();
    std::vector<uint32_t> inDefinitions(keyCount, 0);
    std::vector<uint32_t> elsewhere(keyCount, 0);
    std::vector<uint32_t> stamp(keyCount, Lexicon::npos);
    double definitions = 0;
    double others = 0;
    for (uint32_t d = 0; d + 1 < m_docs.begin.size(); ++d) {
        const bool definition = m_docs.isDefinitionAt(d);
        (definition ? definitions : others) += 1;
        for (uint32_t i = m_docs.begin[d]; i < m_docs.begin[d + 1]; ++i) {
            const uint32_t base = bases[i];
            if (stamp[base] != d) {
                stamp[base] = d;
                ++(definition ? inDefinitions : elsewhere)[base];
            }
        }
    }
    std::vector<bool> wording(keyCount, false);
    for (uint32_t key = 0; key < keyCount; ++key) {
        // A few uses elsewhere are assumed, so that no word is judged by definitions alone.
        wording[key] = inDefinitions[key] >= minWordingUses && !m_facts.noun[key] &&
                       inDefinitions[key] * others >=
                           wordingRatio * (elsewhere[key] + assumedUses) * definitions;
    }
    return wording;
}

// Reduces every document to its content words in base form, each once, and counts in how
// many documents (weighted) each base form stands.
void DocumentCounter::countCommonness()
{
    LexiconTables &t = *m_t;
    const uint32_t keyCount = t.keys.size();
    t.keyCommonness.assign(keyCount, 0);
    std::vector<uint32_t> bases(m_docs.keys.size());
    for (size_t d = 0; d + 1 < m_docs.begin.size(); ++d) {
        for (size_t i = m_docs.begin[d]; i < m_docs.begin[d + 1]; ++i) {
            bases[i] = baseOfToken(i, m_docs.begin[d], m_docs.begin[d + 1]);
        }
    }
    const std::vector<bool> wording = definitionWording(bases);
    std::vector<uint32_t> stamp(keyCount, Lexicon::npos);
    std::vector<uint32_t> place(keyCount, 0); // in reduced, where stamp says this document
    std::vector<uint32_t> reduced;
    std::vector<uint32_t> partOf;
    std::vector<uint32_t> source;
    std::vector<uint32_t> reducedBegin{0};
    reduced.reserve(m_docs.keys.size());
    partOf.reserve(m_docs.keys.size());
    for (uint32_t d = 0; d + 1 < m_docs.begin.size(); ++d) {
        const bool definition = m_docs.isDefinitionAt(d);
        for (uint32_t i = m_docs.begin[d]; i < m_docs.begin[d + 1]; ++i) {
            // A compound also speaks of its parts: "Strandpromenade (am Meer)".
            const uint32_t base = bases[i];
            const uint32_t entry = i < m_docs.source.size() ? m_docs.source[i] : 0;
            if (definition && wording[base]) {
                continue;
            }
            const auto [first, head] = m_compounds.meant[base];
            for (const uint32_t key : {base, first, head}) {
                if (key == Lexicon::npos) {
                    continue;
                }
                const uint32_t bringer = key == base ? UINT32_MAX : base;
                if (stamp[key] == d) {
                    if (partOf[place[key]] != bringer) {
                        partOf[place[key]] = UINT32_MAX; // by itself, or by two compounds
                    }
                    source[place[key]] |= entry;
                } else if (isContentKey(key)) {
                    stamp[key] = d;
                    place[key] = uint32_t(reduced.size());
                    reduced.push_back(key);
                    partOf.push_back(bringer);
                    source.push_back(entry);
                    t.keyCommonness[key] += m_docs.weight[d];
                }
            }
        }
        reducedBegin.push_back(uint32_t(reduced.size()));
    }
    m_docs.keys = std::move(reduced);
    m_docs.partOf = std::move(partOf);
    m_docs.source = std::move(source);
    m_docs.begin = std::move(reducedBegin);
    m_docs.capitalised.clear();
}

// A definition names the word defined first, then most often the class of the thing ("Person,
// die ...", "kleine Menge"): its first noun that the text names itself, not as a part of a
// compound before it. Only a noun that many definitions name so is a class that says nothing
// of the details beside it ("Ort", "Gebäude"); a rarer first noun is as often what the thing is
// made of or belongs to ("Teig" of a cake, "Baum" of a fruit).
void DocumentCounter::findClassNouns()
{
    m_docs.genus.assign(m_docs.count(), UINT32_MAX);
    std::vector<uint32_t> asClass(m_t->keys.size(), 0);
    for (uint32_t d = 0; d < m_docs.count(); ++d) {
        if (!m_docs.isDefinitionAt(d)) {
            continue;
        }
        for (uint32_t i = m_docs.begin[d] + 1; i < m_docs.begin[d + 1]; ++i) {
            if (m_docs.partOf[i] == UINT32_MAX && m_facts.noun[m_docs.keys[i]]) {
                m_docs.genus[d] = i;
                ++asClass[m_docs.keys[i]];
                break;
            }
        }
    }
    for (uint32_t d = 0; d < m_docs.count(); ++d) {
        const uint32_t i = m_docs.genus[d];
        if (i != UINT32_MAX && asClass[m_docs.keys[i]] < BuildWeights::minClassDefinitions) {
            m_docs.genus[d] = UINT32_MAX;
        }
    }
}
