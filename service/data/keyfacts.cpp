#include "data/keyfacts.h"

#include "index/lexicon.h"
#include "index/lexicontables.h"
#include "language/lemmatiser.h"
#include "language/writtencase.h"

namespace {

// Verbs that go with almost anything, so that sharing a phrase with them tells nothing.
constexpr std::string_view lightVerbs[] = {
    "sein",    "haben",  "werden", "machen",   "tun",      "geben",    "lassen",  "bringen",
    "stellen", "setzen", "legen",  "nehmen",   "halten",   "bekommen", "kriegen", "gehen",
    "kommen",  "sagen",  "können", "müssen",   "sollen",   "wollen",   "dürfen",  "mögen",
    "jemand",  "etwas",  "sich",   "jemandem", "jemanden", "jemandes"};

using Language::writtenWithCapital;

} // namespace

KeyFacts KeyFacts::find(const LexiconTables &tables, const Sources &sources)
{
    KeyFacts facts;
    facts.dictionary = !sources.headKeys.empty();
    facts.flagKeys(tables, sources);
    facts.uses.assign(tables.keys.size(), 0);
    for (const uint32_t key : sources.documents.keys) {
        ++facts.uses[key];
    }
    facts.findUpperForms(tables, sources.documents);
    facts.findKinds(tables);
    return facts;
}

uint8_t KeyFacts::storedKinds(uint32_t key) const
{
    return kinds[key];
}

// The kinds of the keys that no headword states are those their shown words tell by their
// letters; of a key of a noun and another kind, the shown word's case tells which it is mostly.
void KeyFacts::findKinds(const LexiconTables &t)
{
    noun.resize(t.keys.size());
    for (uint32_t key = 0; key < t.keys.size(); ++key) {
        const std::string_view shown = t.words.at(t.keyWord[key]);
        if (kinds[key] == 0) {
            kinds[key] = Language::kindsOfWritten(shown);
        }
        noun[key] = Language::readsAsNoun(shown, kinds[key]);
    }
}

// What the sources say of each key: a headword and its kinds, a function or light word, in
// the thesaurus or the word list, written in small letters.
void KeyFacts::flagKeys(const LexiconTables &t, const Sources &sources)
{
    const uint32_t keyCount = t.keys.size();
    flags.assign(keyCount, 0);
    for (const uint32_t key : sources.stopKeys) {
        flags[key] |= StopKey;
    }
    // The kinds the dictionary states, not the capital letter: "Aachener {adj}" is an
    // adjective, "Gekreische {n}" a noun.
    kinds.assign(keyCount, 0);
    for (size_t i = 0; i < sources.headKeys.size(); ++i) {
        flags[sources.headKeys[i]] |= Head;
        kinds[sources.headKeys[i]] |= sources.headKinds[i];
        if (sources.headKinds[i] & (Language::Verb | Language::Adjective)) {
            flags[sources.headKeys[i]] |= LowerHead;
        }
        if (sources.headKinds[i] & Language::Noun) {
            flags[sources.headKeys[i]] |= UpperHead;
        }
    }
    for (uint32_t w = 0; w < t.words.size(); ++w) {
        if (!writtenWithCapital(t.words.at(w))) {
            flags[t.wordKey[w]] |= LowerForm;
        }
        if (t.wordFlags[w] & Lexicon::InWordList) {
            flags[t.wordKey[w]] |= Listed;
        }
    }
    for (const uint32_t member : t.members) {
        flags[t.wordKey[Lexicon::idOf(member)]] |= Thesaurus;
    }
    for (const std::string_view verb : lightVerbs) {
        const uint32_t key = t.keys.find(verb);
        if (key != Lexicon::npos) {
            flags[key] |= LightVerb;
        }
    }
}

// The keys written with a capital: by a word, or by a token of a text where it does not begin
// the text (a sentence begins with a capital whatever its first word is).
void KeyFacts::findUpperForms(const LexiconTables &t, const BuildDocuments &documents)
{
    upperForm.assign(t.keys.size(), false);
    for (uint32_t w = 0; w < t.words.size(); ++w) {
        if (writtenWithCapital(t.words.at(w))) {
            upperForm[t.wordKey[w]] = true;
        }
    }
    for (size_t doc = 0; doc + 1 < documents.begin.size(); ++doc) {
        for (size_t i = documents.begin[doc] + 1; i < documents.begin[doc + 1]; ++i) {
            if (documents.capitalised[i]) {
                upperForm[documents.keys[i]] = true;
            }
        }
    }
}
