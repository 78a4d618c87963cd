#include "data/lexiconbuilder.h"

#include "data/baseresolver.h"
#include "data/compoundcutter.h"
#include "data/cooccurrencelinks.h"
#include "data/documentcounter.h"
#include "data/glosses.h"
#include "data/indexcompactor.h"
#include "data/listscorer.h"
#include "data/wordshape.h"

#include "index/lexicon.h"
#include "index/lexicontables.h"
#include "language/inflection.h"
#include "language/lemmatiser.h"
#include "language/termtext.h"
#include "language/writtencase.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// Of the cases a key's headwords are written in: both, capitalised (1) and in small letters (2).
constexpr uint8_t bothCases = 3;

// Function words that the stop word list lacks (it predates the spelling reform and leaves
// out whole closed classes: question words, "da-" and "wo-" adverbs, contractions, quantifiers
// and sentence adverbs) and that say nothing by themselves.
constexpr std::string_view moreFunctionWords[] = {
    "dass", "wurde", "wurden", "würde", "würden", "wäre", "wären", "gibt", "gab", "ja", "nein",
    "mal", "schon", "mehr", "immer", "eben", "ganz", "sehr", "nie", "oft", "wieder", "je", "ob",
    "wo", "bzw", "usw", "etc",
    // the modal verb of wishes, whose forms no table gives of "mögen"
    "möchte", "möchten", "möchtest", "möchtet",
    // question words
    "wer", "wen", "wem", "wessen", "warum", "wieso", "weshalb", "weswegen", "wann", "wohin",
    "woher", "womit", "wofür", "wozu", "worauf", "woran", "worin", "worüber", "wovon",
    // "da-" adverbs that stand for a phrase
    "dabei", "dadurch", "dafür", "dagegen", "daher", "dahin", "danach", "daneben", "daran",
    "darauf", "daraus", "darin", "darüber", "darum", "darunter", "davon", "davor", "dazwischen",
    "hierbei", "hierfür", "hiermit", "hierzu", "deshalb", "deswegen",
    // contractions of a preposition and an article
    "beim", "vom", "zum", "zur", "ans", "aufs", "durchs", "fürs", "übers", "ums", "unters", "vors",
    "hinters",
    // quantifiers
    "beide", "beiden", "viele", "vielen", "wenige", "wenigen", "mehrere", "sämtliche", "jeweils",
    "keinerlei", "allerlei", "irgendetwas", "irgendwie", "irgendwo", "irgendwann", "meiste",
    "etliche", "vielerlei", "mancherlei", "derlei", "dergleichen", "sämtlich",
    // number words ("acht", "elf" and "sieben" are also words of their own)
    "zwei", "drei", "vier", "fünf", "sechs", "neun", "zehn", "zwölf", "zwanzig", "hundert",
    "tausend",
    // prepositions
    "aufgrund", "wegen", "gemäß", "statt", "anstatt", "innerhalb", "außerhalb", "oberhalb",
    "unterhalb", "mittels", "seitens", "bezüglich", "entlang", "gegenüber", "binnen", "samt",
    "nebst", "zufolge", "zwecks", "infolge", "anhand", "per", "via",
    // adverbs of time
    "heute", "gestern", "vorgestern", "übermorgen", "bald", "jetzt", "damals", "später",
    "bisweilen", "zuvor", "zunächst", "erst",
    // sentence adverbs and conjunctions
    "eigentlich", "genau", "überhaupt", "bereits", "gar", "etwa", "eher", "fast", "kaum", "meist",
    "meistens", "manchmal", "stets", "sogar", "ebenfalls", "ebenso", "jedoch", "trotzdem",
    "dennoch", "sowie", "sowohl", "weder", "entweder", "sodass", "falls", "obwohl", "bevor",
    "nachdem", "seit", "seitdem", "wobei", "zudem", "außerdem", "allerdings", "nämlich",
    "zumindest", "wenigstens", "ohnehin", "bisher", "inzwischen", "trotz"};

// A meaning can hold a word twice, once plain and once marked ("(eingeschossiges) Haus" and
// "Haus (Oberbegriff)"); the marked relation is the more telling one.
uint32_t merged(uint32_t packedA, uint32_t packedB)
{
    const uint32_t stronger = Lexicon::roleOf(packedA) == TermRole::Plain ? packedB : packedA;
    return stronger | (packedA & 4u) | (packedB & 4u);
}

using WordShape::characterCount;
using WordShape::isAbbreviation;

} // namespace

LexiconBuilder::LexiconBuilder(LexiconTables *target) : m_t(target) {}

void LexiconBuilder::reserve(size_t bytes, size_t words)
{
    m_t->words.reserve(bytes, words);
    m_t->keys.reserve(bytes, words);
    m_t->wordKey.reserve(words);
    m_t->wordFlags.reserve(words);
}

uint32_t LexiconBuilder::addWord(std::string_view text, std::string_view keySource)
{
    bool added = false;
    const uint32_t id = m_t->words.intern(text, &added);
    if (added) {
        m_t->wordKey.push_back(m_t->keys.intern(TermText::lookupKey(keySource)));
        uint8_t flags = TermText::isDisplayable(text) ? Lexicon::Displayable : 0;
        if (text.find(' ') != std::string_view::npos) {
            flags |= Lexicon::Phrase;
        }
        m_t->wordFlags.push_back(flags);
    }
    return id;
}

void LexiconBuilder::addToWordList(uint32_t word)
{
    m_t->wordFlags[word] |= Lexicon::InWordList;
}

void LexiconBuilder::markNoted(uint32_t word)
{
    m_t->wordFlags[word] |= Lexicon::Marked;
}

void LexiconBuilder::addMeaning(const std::vector<uint32_t> &members)
{
    m_t->members.insert(m_t->members.end(), members.begin(), members.end());
    m_t->meaningBegin.push_back(uint32_t(m_t->members.size()));
}

void LexiconBuilder::addStopWord(std::string_view word)
{
    m_stopKeys.push_back(m_t->wordKey[addWord(word)]);
}

void LexiconBuilder::addHeadword(std::string_view word, uint8_t kinds, bool neuter)
{
    m_headKeys.push_back(keyOfToken(word));
    m_headWords.push_back(addWord(word));
    m_headKinds.push_back(kinds);
    m_headNeuter.push_back(neuter);
}

void LexiconBuilder::addForm(std::string_view form, std::string_view base, uint8_t baseKinds)
{
    const uint32_t formKey = keyOfToken(form);
    const uint32_t baseKey = keyOfToken(base);
    if (formKey != baseKey) {
        m_forms.emplace_back(formKey, baseKey);
        m_formOfNoun.push_back((baseKinds & Language::Noun) != 0);
    }
}

void LexiconBuilder::addDocument(const std::vector<std::string_view> &tokens, uint32_t weight)
{
    for (const std::string_view token : tokens) {
        m_docs.keys.push_back(keyOfToken(token));
        m_docs.capitalised.push_back(Language::writtenWithCapital(token));
    }
    m_docs.begin.push_back(uint32_t(m_docs.keys.size()));
    m_docs.weight.push_back(uint8_t(weight));
}

void LexiconBuilder::addDocumentOfSameText(const std::vector<std::string_view> &tokens,
                                           uint32_t weight)
{
    const uint32_t text = m_docs.count() == 0 ? 0 : m_docs.textOf(m_docs.count() - 1);
    addDocument(tokens, weight);
    for (uint32_t d = uint32_t(m_docs.text.size()); d + 1 < m_docs.count(); ++d) {
        m_docs.text.push_back(d);
    }
    m_docs.text.push_back(text);
}

void LexiconBuilder::addGathering(const std::vector<std::string_view> &tokens,
                                  const std::vector<uint32_t> &sources, uint32_t weight)
{
    m_docs.source.resize(m_docs.keys.size(), 0);
    const uint32_t doc = m_docs.count();
    if (m_firstGathering == UINT32_MAX) {
        m_firstGathering = doc;
    }
    addDocument(tokens, weight);
    m_docs.isGathering.resize(doc, false);
    m_docs.isGathering.push_back(true);
    // An entry is a bit, so that a word that two entries bring keeps both when the document
    // is reduced to one token a word.
    std::vector<uint32_t> entries;
    for (const uint32_t entry : sources) {
        auto at = std::find(entries.begin(), entries.end(), entry);
        if (at == entries.end()) {
            at = entries.insert(at, entry);
        }
        m_docs.source.push_back(1u << std::min<ptrdiff_t>(at - entries.begin(), 31));
    }
    for (uint32_t d = uint32_t(m_docs.text.size()); d < doc; ++d) {
        m_docs.text.push_back(d);
    }
    m_docs.text.push_back(m_firstGathering);
}

void LexiconBuilder::addDictionaryLine(const std::vector<std::string_view> &tokens,
                                       size_t firstNote, uint32_t weight)
{
    if (firstNote < tokens.size()) {
        m_docs.source.resize(m_docs.keys.size(), 0);
    }
    addDocument(tokens, weight);
    if (firstNote < tokens.size()) {
        m_docs.source.resize(m_docs.keys.size() - tokens.size() + firstNote, 0);
        m_docs.source.resize(m_docs.keys.size(), 1);
    }
}

void LexiconBuilder::addSaying(const std::vector<std::string_view> &tokens, uint32_t weight,
                               bool continues)
{
    m_docs.isSaying.resize(m_docs.count(), false);
    if (continues) {
        addDocumentOfSameText(tokens, weight);
    } else {
        addDocument(tokens, weight);
    }
    m_docs.isSaying.resize(m_docs.count(), true);
}

void LexiconBuilder::addDefinition(const std::vector<std::string_view> &tokens, uint32_t weight)
{
    m_docs.isDefinition.resize(m_docs.weight.size(), false);
    addDocument(tokens, weight);
    m_docs.isDefinition.push_back(true);
}

void LexiconBuilder::addGloss(std::string_view german, std::string_view english)
{
    const auto [it, added] =
        m_englishWords.try_emplace(std::string(english), uint32_t(m_englishWords.size()));
    m_glosses.emplace_back(keyOfToken(german), it->second);
}

uint32_t LexiconBuilder::keyOfText(std::string_view key) const
{
    return m_t->keys.find(key);
}

void LexiconBuilder::addWordClass(std::string_view word, bool closed)
{
    (closed ? m_closedKeys : m_openKeys).push_back(keyOfToken(word));
}

// "anlässlich" and "sobald" are function words; "laut", also an adjective, and "Dank", also a
// noun, are not.
void LexiconBuilder::addClosedClassWords()
{
    std::sort(m_openKeys.begin(), m_openKeys.end());
    for (const uint32_t key : m_closedKeys) {
        if (!std::binary_search(m_openKeys.begin(), m_openKeys.end(), key)) {
            m_stopKeys.push_back(key);
        }
    }
}

uint32_t LexiconBuilder::keyOfToken(std::string_view token)
{
    const uint32_t key = keyOfText(TermText::lookupKey(token));
    return key != Lexicon::npos ? key : m_t->wordKey[addWord(token)];
}

void LexiconBuilder::finish()
{
    // Even where no text uses them, their forms are to be known as function words.
    if (!m_stopKeys.empty()) {
        for (const std::string_view word : moreFunctionWords) {
            addStopWord(word);
        }
    }
    addClosedClassWords();
    chooseShownWords();
    m_facts = KeyFacts::find(*m_t, {m_stopKeys, m_headKeys, m_headKinds, m_docs});
    buildPostings();
    m_otherCaseBase = BaseResolver(m_t, &m_facts, m_forms, m_formOfNoun).resolve();
    const Glosses glosses(std::move(m_glosses), m_englishWords, m_t->keyBase);
    CompoundCutter cutter(*m_t, m_facts, glosses);
    m_compounds = cutter.cut();
    const std::vector<uint32_t> listed = cutter.listedBaseWords();
    m_docs = DocumentCounter(m_t, m_facts, m_otherCaseBase, m_compounds)
                 .count(std::move(m_docs), listed);
    ListScorer(m_t, m_docs, m_compounds).rank(listed);
    IndexCompactor(m_t, m_facts, m_compounds, m_otherCaseBase).compact();
    CooccurrenceLinks::compute(m_t);
}

void LexiconBuilder::buildPostings()
{
    LexiconTables &t = *m_t;
    const uint32_t keyCount = t.keys.size();
    const uint32_t meaningCount = uint32_t(t.meaningBegin.size() - 1);
    std::vector<uint32_t> lastMeaning(keyCount, Lexicon::npos);
    std::vector<uint32_t> count(keyCount, 0);
    const auto members = [&](uint32_t m) {
        return std::pair(t.members.begin() + t.meaningBegin[m],
                         t.members.begin() + t.meaningBegin[m + 1]);
    };
    for (uint32_t m = 0; m < meaningCount; ++m) {
        for (auto [it, end] = members(m); it != end; ++it) {
            const uint32_t key = t.wordKey[Lexicon::idOf(*it)];
            if (lastMeaning[key] != m) {
                lastMeaning[key] = m;
                ++count[key];
            }
        }
    }
    t.postingBegin.assign(size_t(keyCount) + 1, 0);
    std::partial_sum(count.begin(), count.end(), t.postingBegin.begin() + 1);
    t.postings.assign(t.postingBegin.back(), 0);

    std::vector<uint32_t> cursor(t.postingBegin.begin(), t.postingBegin.end() - 1);
    std::fill(lastMeaning.begin(), lastMeaning.end(), Lexicon::npos);
    for (uint32_t m = 0; m < meaningCount; ++m) {
        for (auto [it, end] = members(m); it != end; ++it) {
            const uint32_t key = t.wordKey[Lexicon::idOf(*it)];
            const uint32_t posting =
                Lexicon::pack(m, Lexicon::roleOf(*it), Lexicon::isMainForm(*it));
            if (lastMeaning[key] != m) {
                lastMeaning[key] = m;
                t.postings[cursor[key]++] = posting;
            } else {
                uint32_t &previous = t.postings[cursor[key] - 1];
                previous = merged(previous, posting);
            }
        }
    }
    for (uint32_t key = 0; key < keyCount; ++key) {
        std::stable_partition(t.postings.begin() + t.postingBegin[key],
                              t.postings.begin() + t.postingBegin[key + 1], &Lexicon::isMainForm);
    }
}

void LexiconBuilder::chooseShownWords()
{
    LexiconTables &t = *m_t;
    t.keyWord.assign(t.keys.size(), Lexicon::npos);
    for (uint32_t w = 0; w < t.words.size(); ++w) {
        uint32_t &shown = t.keyWord[t.wordKey[w]];
        if (shown == Lexicon::npos || (!(t.wordFlags[shown] & Lexicon::Displayable) &&
                                       (t.wordFlags[w] & Lexicon::Displayable))) {
            shown = w;
        }
    }
    // A key that the dictionary writes in one case only is shown as its headword is written:
    // the verb "sonnen", not the plural "Sonnen" that shares its key; "Aachener", though an
    // adjective. This reads the capital for showing a word, not for its kind.
    std::vector<uint8_t> headCases(t.keys.size(), 0); // 1: capitalised, 2: small letters
    const auto caseOf = [&](uint32_t word) {
        return Language::writtenWithCapital(t.words.at(word)) ? 1 : 2;
    };
    for (const uint32_t word : m_headWords) {
        headCases[t.wordKey[word]] |= caseOf(word);
    }
    const std::vector<uint8_t> usedCase = caseTheTextsUseMore(headCases);
    for (const uint32_t word : m_headWords) {
        const uint32_t key = t.wordKey[word];
        uint32_t &shown = t.keyWord[key];
        const uint8_t wanted = headCases[key] == bothCases ? usedCase[key] : headCases[key];
        if (wanted != 0 && !(wanted & caseOf(shown)) && (wanted & caseOf(word)) &&
            (t.wordFlags[word] & Lexicon::Displayable)) {
            shown = word;
        }
    }
}

// Of the keys whose headwords are written in both cases ("Regen", "regen"), the case the texts
// write them in more, where it is not the capital that opens a text (1 capitalised, 2 small
// letters, 0 where they write both alike): which of the two the key mostly stands for.
std::vector<uint8_t>
LexiconBuilder::caseTheTextsUseMore(const std::vector<uint8_t> &headCases) const
{
    // A verb and a neuter noun may be the verb and the verb made noun ("segeln", "das Segeln"):
    // the texts' capitals then count the verb's uses, and it stays shown as the verb.
    enum Head : uint8_t
    {
        Verb = 1,
        NeuterNoun = 2,
        OtherNoun = 4,
    };
    std::vector<uint8_t> heads(headCases.size(), 0);
    for (size_t i = 0; i < m_headKeys.size(); ++i) {
        const uint8_t kinds = m_headKinds[i];
        const uint8_t noun = m_headNeuter[i] ? NeuterNoun : OtherNoun;
        heads[m_headKeys[i]] |=
            ((kinds & Language::Verb) ? Verb : 0) | ((kinds & Language::Noun) ? noun : 0);
    }
    std::vector<int32_t> capitalMinusSmall(headCases.size(), 0);
    for (uint32_t d = 0; d < m_docs.count(); ++d) {
        for (uint32_t i = m_docs.begin[d] + 1; i < m_docs.begin[d + 1]; ++i) {
            const uint32_t key = m_docs.keys[i];
            if (headCases[key] == bothCases) {
                capitalMinusSmall[key] += m_docs.capitalised[i] ? 1 : -1;
            }
        }
    }
    std::vector<uint8_t> used(headCases.size(), 0);
    for (size_t key = 0; key < used.size(); ++key) {
        if (heads[key] != (Verb | NeuterNoun)) {
            used[key] = capitalMinusSmall[key] > 0 ? 1 : capitalMinusSmall[key] < 0 ? 2 : 0;
        }
    }
    return used;
}
