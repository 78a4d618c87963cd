#include "data/lexiconbuilder.h"

#include "data/cooccurrencelinks.h"
#include "index/lexicon.h"
#include "index/lexicontables.h"
#include "language/inflection.h"
#include "language/lemmatiser.h"
#include "language/termtext.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <tuple>

namespace {

enum KeyFlag : uint8_t
{
    Head = 1,        // a dictionary headword
    StopKey = 2,     // a function word
    Listed = 4,      // in the word list
    LightVerb = 8,   // says little by itself (sein, haben, machen, ...)
    Thesaurus = 16,  // a thesaurus word
    LowerHead = 32,  // a headword in small letters: an adjective, verb or adverb
    LowerForm = 64,  // written in small letters somewhere
    UpperHead = 128, // a headword with a capital letter: a noun
    Known = Head | Listed | Thesaurus,
};

// Verbs that go with almost anything, so that sharing a phrase with them tells nothing.
constexpr std::string_view lightVerbs[] = {
    "sein",    "haben",  "werden", "machen",   "tun",      "geben",    "lassen",  "bringen",
    "stellen", "setzen", "legen",  "nehmen",   "halten",   "bekommen", "kriegen", "gehen",
    "kommen",  "sagen",  "können", "müssen",   "sollen",   "wollen",   "dürfen",  "mögen",
    "jemand",  "etwas",  "sich",   "jemandem", "jemanden", "jemandes"};

// Function words that the stop word list lacks (it predates the spelling reform and leaves
// out whole closed classes: question words, "da-" and "wo-" adverbs, contractions, quantifiers
// and sentence adverbs) and that say nothing by themselves.
constexpr std::string_view moreFunctionWords[] = {
    "dass", "wurde", "wurden", "würde", "würden", "wäre", "wären", "gibt", "gab", "ja", "mal",
    "schon", "mehr", "immer", "eben", "ganz", "sehr", "nie", "oft", "wieder", "je", "ob", "wo",
    "bzw", "usw", "etc",
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

// Endings that look like a word but make derivations, not compounds ("Freundschaft").
constexpr std::string_view derivationEndings[] = {"schaft", "voll", "los",  "weise", "haft",
                                                  "heit",   "keit", "ling", "lein",  "chen",
                                                  "bar",    "sam",  "tum",  "nis"};

// How many co-occurring words and compounds a key keeps; deeper lists are never reached.
constexpr size_t maxCooccurrents = 200;
constexpr size_t maxCompounds = 300;

// How many times more often than its base a word must be used to count as a word of its own.
constexpr uint32_t lexicalisedUses = 5;

// A compound joins its parts as closely as a dictionary line joins its words.
constexpr uint8_t compoundWeight = 2;
// A word that definitions use this many times as often as other texts (for their number) is
// their wording, when they use it at least so often.
constexpr double wordingRatio = 6;
constexpr uint32_t minWordingUses = 50;
constexpr double assumedUses = 5;

// Verb prefixes that are no words of their own ("verbringen", "erringen").
constexpr std::string_view inseparablePrefixes[] = {"be", "emp",  "ent", "er",
                                                    "ge", "miss", "ver", "zer"};

// A meaning can hold a word twice, once plain and once marked ("(eingeschossiges) Haus" and
// "Haus (Oberbegriff)"); the marked relation is the more telling one.
uint32_t merged(uint32_t packedA, uint32_t packedB)
{
    const uint32_t stronger = Lexicon::roleOf(packedA) == TermRole::Plain ? packedB : packedA;
    return stronger | (packedA & 4u) | (packedB & 4u);
}

using TermText::startsUpper;

// "EUR", "TEUR", "UN": capitals only.
bool isAbbreviation(std::string_view word)
{
    return word.size() >= 2 && std::all_of(word.begin(), word.end(), [](char c) {
               return (c >= 'A' && c <= 'Z') || c == '-';
           });
}

uint32_t characterCount(std::string_view utf8)
{
    uint32_t count = 0;
    for (const char c : utf8) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

// Lays out lists of (key, word) pairs, sorted by key and best first, as the begin offsets of
// each key and the words, at most `limit` a key.
void fillLists(const std::vector<std::pair<uint32_t, uint32_t>> &pairs, uint32_t keyCount,
               size_t limit, std::vector<uint32_t> *begin, std::vector<uint32_t> *list)
{
    begin->assign(size_t(keyCount) + 1, 0);
    list->clear();
    size_t i = 0;
    for (uint32_t key = 0; key < keyCount; ++key) {
        size_t taken = 0;
        for (; i < pairs.size() && pairs[i].first == key; ++i) {
            if (taken++ < limit) {
                list->push_back(pairs[i].second);
            }
        }
        (*begin)[key + 1] = uint32_t(list->size());
    }
}

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

void LexiconBuilder::addHeadword(std::string_view word, uint8_t kinds)
{
    m_headKeys.push_back(keyOfToken(word));
    m_headWords.push_back(addWord(word));
    m_headKinds.push_back(kinds);
}

void LexiconBuilder::addForm(std::string_view form, std::string_view base)
{
    const uint32_t formKey = keyOfToken(form);
    const uint32_t baseKey = keyOfToken(base);
    if (formKey != baseKey) {
        m_forms.emplace_back(formKey, baseKey);
        m_formOfNoun.push_back(startsUpper(base));
    }
}

void LexiconBuilder::addDocument(const std::vector<std::string_view> &tokens, uint32_t weight)
{
    for (const std::string_view token : tokens) {
        m_docKeys.push_back(keyOfToken(token));
        m_docCapitalised.push_back(startsUpper(token));
    }
    m_docBegin.push_back(uint32_t(m_docKeys.size()));
    m_docWeight.push_back(uint8_t(weight));
}

void LexiconBuilder::addDefinition(const std::vector<std::string_view> &tokens, uint32_t weight)
{
    m_docIsDefinition.resize(m_docWeight.size(), false);
    addDocument(tokens, weight);
    m_docIsDefinition.push_back(true);
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
    flagKeys();
    buildPostings();
    chooseShownWords();
    m_uses.assign(m_t->keys.size(), 0);
    for (const uint32_t key : m_docKeys) {
        ++m_uses[key];
    }
    findUpperForms();
    resolveBases();
    flagWords();
    resolveGlosses();
    splitCompounds();
    findMeantParts();
    const std::vector<uint32_t> listed = listedBaseWords();
    addCompoundDocuments(listed);
    countCommonness();
    findCompounds(listed);
    findCooccurrents();
    compact();
    CooccurrenceLinks::compute(m_t);
}

// What the sources say of each key: a headword and its kinds, a function or light word, in
// the thesaurus or the word list, written in small letters.
void LexiconBuilder::flagKeys()
{
    const LexiconTables &t = *m_t;
    const uint32_t keyCount = t.keys.size();
    m_keyFlags.assign(keyCount, 0);
    for (const uint32_t key : m_stopKeys) {
        m_keyFlags[key] |= StopKey;
    }
    // The kinds the dictionary states, not the capital letter: "Aachener {adj}" is an
    // adjective, "Gekreische {n}" a noun.
    m_keyKinds.assign(keyCount, 0);
    for (size_t i = 0; i < m_headKeys.size(); ++i) {
        m_keyFlags[m_headKeys[i]] |= Head;
        m_keyKinds[m_headKeys[i]] |= m_headKinds[i];
        if (m_headKinds[i] & (Language::Verb | Language::Adjective)) {
            m_keyFlags[m_headKeys[i]] |= LowerHead;
        }
        if (m_headKinds[i] & Language::Noun) {
            m_keyFlags[m_headKeys[i]] |= UpperHead;
        }
    }
    for (uint32_t w = 0; w < t.words.size(); ++w) {
        if (!startsUpper(t.words.at(w))) {
            m_keyFlags[t.wordKey[w]] |= LowerForm;
        }
        if (t.wordFlags[w] & Lexicon::InWordList) {
            m_keyFlags[t.wordKey[w]] |= Listed;
        }
    }
    for (const uint32_t member : t.members) {
        m_keyFlags[t.wordKey[Lexicon::idOf(member)]] |= Thesaurus;
    }
    for (const std::string_view verb : lightVerbs) {
        const uint32_t key = keyOfText(verb);
        if (key != Lexicon::npos) {
            m_keyFlags[key] |= LightVerb;
        }
    }
}

// Marks the words that are forms of another, and those of function words.
void LexiconBuilder::flagWords()
{
    LexiconTables &t = *m_t;
    for (uint32_t w = 0; w < t.words.size(); ++w) {
        const uint32_t key = t.wordKey[w];
        if (t.keyBase[key] != key) {
            t.wordFlags[w] |= Lexicon::Inflected;
        }
        if (m_keyFlags[t.keyBase[key]] & StopKey || m_keyFlags[key] & StopKey) {
            t.wordFlags[w] |= Lexicon::Stop;
        }
    }
}

// The English glosses of each base form, once each.
void LexiconBuilder::resolveGlosses()
{
    for (auto &gloss : m_glosses) {
        gloss.first = m_t->keyBase[gloss.first];
    }
    std::sort(m_glosses.begin(), m_glosses.end());
    m_glosses.erase(std::unique(m_glosses.begin(), m_glosses.end()), m_glosses.end());
    m_englishText.resize(m_englishWords.size());
    for (const auto &[text, id] : m_englishWords) {
        m_englishText[id] = text;
    }
}

// The keys written with a capital: by a word, or by a token of a text where it does not begin
// the text (a sentence begins with a capital whatever its first word is).
void LexiconBuilder::findUpperForms()
{
    const LexiconTables &t = *m_t;
    m_upperForm.assign(t.keys.size(), false);
    for (uint32_t w = 0; w < t.words.size(); ++w) {
        if (startsUpper(t.words.at(w))) {
            m_upperForm[t.wordKey[w]] = true;
        }
    }
    for (size_t doc = 0; doc + 1 < m_docBegin.size(); ++doc) {
        for (size_t i = m_docBegin[doc] + 1; i < m_docBegin[doc + 1]; ++i) {
            if (m_docCapitalised[i]) {
                m_upperForm[m_docKeys[i]] = true;
            }
        }
    }
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

// The key that this one is an inflected form of by its ending, or npos. Only a key that is
// not a base form itself is reduced, and only to a word that exists.
uint32_t LexiconBuilder::reducedByEnding(uint32_t key, std::string *scratch) const
{
    // The word list holds inflected forms too; with a dictionary, only its headwords and the
    // thesaurus words are trusted as base forms.
    const uint8_t targets = m_headKeys.empty() ? uint8_t(Known) : uint8_t(Head | Thesaurus);
    // Of the words the key could be a form of, the one the dictionary uses most: "kleinen" is
    // "klein" plus "en", not "Klei" plus "nen". A word of the key's own kind goes first: the
    // adjective "kleinen" is no form of the noun "Kleine", however common that is. (Keys
    // ignore case, so the kind is that of the dictionary's headwords.)
    // A noun's listed form that is also written in small letters has its noun reading already:
    // the ending tells the other one ("köpfe" of "köpfen" beside "Köpfe" of "Kopf").
    const bool noun =
        m_otherCaseBase[key] == Lexicon::npos && startsUpper(m_t->words.at(m_t->keyWord[key]));
    const bool lower = m_keyFlags[key] & LowerForm;
    uint32_t found = Lexicon::npos;
    bool foundSameKind = false;
    Inflection::forEachReduction(
        m_t->keys.at(key), scratch,
        [&](std::string_view candidate) {
            const uint32_t id = keyOfText(candidate);
            if (id == Lexicon::npos || (m_keyFlags[id] & StopKey) ||
                !(m_keyFlags[m_t->keyBase[id]] & targets) ||
                (m_t->keyBase[id] != id && !isFormOfSameKind(key, id))) {
                return false;
            }
            const bool sameKind = bool(m_keyFlags[id] & LowerHead) == lower;
            if (found == Lexicon::npos || sameKind > foundSameKind ||
                (sameKind == foundSameKind && m_uses[id] >= m_uses[found])) {
                found = id;
                foundSameKind = sameKind;
            }
            return false;
        },
        !noun);
    return found;
}

// A listed form stands for its base where the three are of one kind: "gekochten" is
// "gekocht", a form of "kochen", and "Kindern" is "Kinder", of "Kind"; but "meisten" is no
// "Meisen", and "stimmt" no form of the noun whose plural "stimmen" is.
bool LexiconBuilder::isFormOfSameKind(uint32_t key, uint32_t form) const
{
    const LexiconTables &t = *m_t;
    const bool noun = startsUpper(t.words.at(t.keyWord[key]));
    return startsUpper(t.words.at(t.keyWord[form])) == noun &&
           startsUpper(t.words.at(t.keyWord[t.keyBase[form]])) == noun;
}

// The verb with a separable particle that the key is a form of, with the particle in front as
// a subordinate clause or a "zu" puts it: "ausgibt" of "ausgeben", "durchzuführen" of
// "durchführen".
uint32_t LexiconBuilder::separableVerbOf(uint32_t key, std::string *scratch) const
{
    const LexiconTables &t = *m_t;
    if (startsUpper(t.words.at(t.keyWord[key]))) {
        return Lexicon::npos;
    }
    const auto known = [&](std::string_view text) { return keyOfText(text) != Lexicon::npos; };
    uint32_t verb = Lexicon::npos;
    Language::forEachParticleSplit(
        t.keys.at(key), known, [&](std::string_view particle, std::string_view rest) {
            const uint32_t form = keyOfText(rest);
            const uint32_t base = form == Lexicon::npos ? form : verbBaseOf(form);
            if (base == Lexicon::npos || !(m_keyFlags[base] & LowerHead)) {
                return false;
            }
            scratch->assign(particle).append(t.keys.at(base));
            const uint32_t whole = keyOfText(*scratch);
            if (whole == Lexicon::npos || whole == key || !(m_keyFlags[whole] & LowerHead)) {
                return false;
            }
            verb = whole;
            return true;
        });
    return verb;
}

// The base of a form; for a function word, the verb the dictionary lists it as a form of: "gibt"
// stands for "es gibt", but "ausgibt" is a form of "ausgeben".
uint32_t LexiconBuilder::verbBaseOf(uint32_t form) const
{
    const auto listed = m_functionFormBase.find(form);
    return listed != m_functionFormBase.end() && m_t->keyBase[form] == form ? listed->second
                                                                            : m_t->keyBase[form];
}

// A noun far more common than a noun that the dictionary does not define is no form of it:
// "Eltern" is not a form of the biologists' "Elter". (A noun made of an adjective,
// "Jugendlicher", stays a form of it however common, and "Dinge" one of the headword "Ding".)
bool LexiconBuilder::isWordOfItsOwn(uint32_t form, uint32_t base) const
{
    const LexiconTables &t = *m_t;
    return !(m_keyFlags[base] & Head) && startsUpper(t.words.at(t.keyWord[form])) &&
           startsUpper(t.words.at(t.keyWord[base])) &&
           m_uses[form] > lexicalisedUses * std::max(m_uses[base], 1u);
}

// A dictionary headword is a base form. The thesaurus also holds inflected forms ("läuft",
// "Menschen"), so its words count as base forms only where no dictionary tells otherwise.
void LexiconBuilder::resolveBases()
{
    LexiconTables &t = *m_t;
    const uint32_t keyCount = t.keys.size();
    const uint8_t base = m_headKeys.empty() ? uint8_t(Head | Thesaurus) : uint8_t(Head);
    t.keyBase.resize(keyCount);
    std::iota(t.keyBase.begin(), t.keyBase.end(), 0u);
    m_otherCaseBase.assign(keyCount, Lexicon::npos);
    for (size_t i = 0; i < m_forms.size(); ++i) {
        const auto [form, of] = m_forms[i];
        // "während" is a participle of "währen" in the tables and a function word in the text.
        if (m_keyFlags[form] & StopKey) {
            m_functionFormBase.try_emplace(form, of);
            continue;
        }
        if (m_formOfNoun[i] && isNounFormInBothCases(form)) {
            // "Köpfe" of "Kopf", where "köpfe" is a form of the verb "köpfen": its ending
            // tells the rest, the capital tells this reading.
            m_otherCaseBase[form] = of;
        } else if (!(m_keyFlags[form] & Head) && t.keyBase[form] == form) {
            t.keyBase[form] = of;
        } else if (isClearReading(form, of)) {
            // "Grenzen" of "Grenze", where "grenzen" is a verb; "kranker" of "krank", where
            // "Kranker" is a noun.
            m_otherCaseBase[form] = of;
        }
    }
    std::string scratch;
    for (uint32_t key = 0; key < keyCount; ++key) {
        if (m_keyFlags[key] & (base | StopKey) || t.keyBase[key] != key) {
            continue;
        }
        uint32_t reduced = reducedByEnding(key, &scratch);
        if (reduced == Lexicon::npos) {
            reduced = separableVerbOf(key, &scratch);
        }
        if (reduced != Lexicon::npos && !isWordOfItsOwn(key, reduced)) {
            t.keyBase[key] = t.keyBase[reduced];
            addNounReading(key, &scratch);
        } else if (reduced == Lexicon::npos && isFormOfFunctionWord(key, &scratch)) {
            m_keyFlags[key] |= StopKey;
        }
    }
    findOtherCaseReadings(&scratch);
}

// Whether a listed form of a noun is a key that is no base form and is also written in small
// letters, which are the words of another entry.
bool LexiconBuilder::isNounFormInBothCases(uint32_t form) const
{
    return !(m_keyFlags[form] & Head) && (m_keyFlags[form] & LowerForm) &&
           m_t->keyBase[form] == form && m_otherCaseBase[form] == Lexicon::npos;
}

// A form that its ending makes a verb's or adjective's, but that is also written with a capital,
// reads as the noun it is a form of with the capital: "Töne" of "Ton", where "töne" is of
// "tönen".
void LexiconBuilder::addNounReading(uint32_t key, std::string *scratch)
{
    const LexiconTables &t = *m_t;
    if (!m_upperForm[key] || m_otherCaseBase[key] != Lexicon::npos ||
        !(m_keyFlags[t.keyBase[key]] & LowerHead)) {
        return;
    }
    uint32_t noun = Lexicon::npos;
    Inflection::forEachReduction(
        t.keys.at(key), scratch,
        [&](std::string_view candidate) {
            const uint32_t id = keyOfText(candidate);
            if (id != Lexicon::npos && (m_keyFlags[id] & UpperHead) &&
                !(m_keyFlags[id] & StopKey) &&
                (noun == Lexicon::npos || m_uses[id] > m_uses[noun])) {
                noun = id;
            }
            return false;
        },
        false);
    m_otherCaseBase[key] = noun;
}

bool LexiconBuilder::hasOneKind(uint32_t key) const
{
    const uint8_t heads = m_keyFlags[key] & (LowerHead | UpperHead);
    return heads == LowerHead || heads == UpperHead;
}

// Whether the words of a headword's key written like `of` (a capital for a noun) are forms of
// `of`. So they are where the key's headwords are of the other kind; where the dictionary also
// makes a noun of the verb ("Pflanzen {n}", planting), they are where the plural's noun is used
// more than the key itself ("Pflanzen" are plants), not where it is rare ("Essen" is no plural
// of the chimney "Esse").
bool LexiconBuilder::isClearReading(uint32_t key, uint32_t of) const
{
    const LexiconTables &t = *m_t;
    const bool noun = startsUpper(t.words.at(t.keyWord[of]));
    const uint8_t sameKind = noun ? UpperHead : LowerHead;
    const uint8_t otherKind = noun ? LowerHead : UpperHead;
    if (!(m_keyFlags[key] & otherKind)) {
        return false;
    }
    return !(m_keyFlags[key] & sameKind) || (noun && m_uses[of] > m_uses[key]);
}

// The noun whose dative plural a verb's key is: "Zimmern" of "Zimmer", "Tagen" of "Tag" (the
// plural "Tage" and an "n"); "Kochen" is no form of "Koch", whose plural is "Köche".
uint32_t LexiconBuilder::nounOfDativePlural(uint32_t key) const
{
    const LexiconTables &t = *m_t;
    const std::string_view text = t.keys.at(key);
    const uint32_t plural = text.size() > 3 && text.back() == 'n'
                                ? keyOfText(text.substr(0, text.size() - 1))
                                : Lexicon::npos;
    if (plural == Lexicon::npos) {
        return Lexicon::npos;
    }
    // A plural also written in small letters ("keile") has the noun as its capitalised reading.
    const uint32_t other = m_otherCaseBase[plural];
    const uint32_t noun =
        other != Lexicon::npos && (m_keyFlags[other] & UpperHead) ? other : t.keyBase[plural];
    const bool listedPlural = noun != plural;
    // "Zimmer" and "Segel" are their own plurals.
    const bool ownPlural = text.size() > 4 && (text.substr(text.size() - 3) == "ern" ||
                                               text.substr(text.size() - 3) == "eln");
    return (listedPlural || ownPlural) && (m_keyFlags[noun] & UpperHead) ? noun : Lexicon::npos;
}

// The word of the other kind that a headword's key is also a form of by its ending: the noun
// of a verb's key that is a dative plural ("Zimmern"), the adjective of a noun's key that is
// also the adjective's form ("Jugendliche", "jugendliche").
void LexiconBuilder::findOtherCaseReadings(std::string *scratch)
{
    const LexiconTables &t = *m_t;
    constexpr uint8_t bothKinds = LowerHead | UpperHead;
    for (uint32_t key = 0; key < t.keys.size(); ++key) {
        if (m_otherCaseBase[key] != Lexicon::npos) {
            continue;
        }
        if ((m_keyFlags[key] & bothKinds) == bothKinds) {
            // Where the dictionary also makes a noun of the verb ("Eiern {n}", wobbling), the
            // dative plural of a noun that the texts use more is still the clear reading.
            const uint32_t noun = nounOfDativePlural(key);
            if (noun != Lexicon::npos && isClearReading(key, noun)) {
                m_otherCaseBase[key] = noun;
            }
            continue;
        }
        if (!hasOneKind(key)) {
            continue;
        }
        if (!(m_keyFlags[key] & UpperHead)) {
            m_otherCaseBase[key] = nounOfDativePlural(key);
            continue;
        }
        Inflection::forEachReduction(
            t.keys.at(key), scratch,
            [&](std::string_view candidate) {
                const uint32_t id = keyOfText(candidate);
                const uint32_t other = id == Lexicon::npos ? id : t.keyBase[id];
                if (other != Lexicon::npos && other != key && (m_keyFlags[other] & LowerHead) &&
                    !startsUpper(t.words.at(t.keyWord[other]))) {
                    m_otherCaseBase[key] = other;
                    return true;
                }
                return false;
            },
            true);
    }
}

// A word in small letters that can only be a form of a function word is one too: "meisten"
// of "meist", "mehreren" of "mehrere".
bool LexiconBuilder::isFormOfFunctionWord(uint32_t key, std::string *scratch) const
{
    const LexiconTables &t = *m_t;
    if (startsUpper(t.words.at(t.keyWord[key]))) {
        return false;
    }
    return Inflection::forEachReduction(t.keys.at(key), scratch, [&](std::string_view candidate) {
        const uint32_t id = keyOfText(candidate);
        return id != Lexicon::npos && (m_keyFlags[id] & StopKey);
    });
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
    // A key that the dictionary defines in one kind only is written as its headword: the verb
    // "sonnen", not the plural "Sonnen" that shares its key.
    std::vector<uint8_t> headCases(t.keys.size(), 0); // 1: capitalised, 2: small letters
    for (const uint32_t word : m_headWords) {
        headCases[t.wordKey[word]] |= startsUpper(t.words.at(word)) ? 1 : 2;
    }
    for (const uint32_t word : m_headWords) {
        uint32_t &shown = t.keyWord[t.wordKey[word]];
        const uint8_t shownCase = startsUpper(t.words.at(shown)) ? 1 : 2;
        if (!(headCases[t.wordKey[word]] & shownCase) &&
            (t.wordFlags[word] & Lexicon::Displayable)) {
            shown = word;
        }
    }
}

// The English words that translate the key, as a range of m_glosses.
std::pair<LexiconBuilder::GlossIt, LexiconBuilder::GlossIt>
LexiconBuilder::glossesOf(uint32_t key) const
{
    const auto from =
        std::lower_bound(m_glosses.begin(), m_glosses.end(), std::pair<uint32_t, uint32_t>(key, 0));
    auto to = from;
    while (to != m_glosses.end() && to->first == key) {
        ++to;
    }
    return {from, to};
}

// Whether the dictionary translates both words and no English word of the part is one of the
// whole's, or with `within` stands in one of them: "Eiland" (isle) is no kind of "Ei" (egg),
// but "Eigelb" (egg yolk) is, and "toothache" holds the "ache" of "Schmerz".
bool LexiconBuilder::refutedByGlosses(uint32_t whole, uint32_t part, bool within) const
{
    const auto [wholeFrom, wholeTo] = glossesOf(whole);
    const auto [partFrom, partTo] = glossesOf(part);
    if (wholeFrom == wholeTo || partFrom == partTo) {
        return false;
    }
    for (auto w = wholeFrom; w != wholeTo; ++w) {
        const std::string_view english = m_englishText[w->second];
        for (auto p = partFrom; p != partTo; ++p) {
            if (w->second == p->second ||
                (within && english.find(m_englishText[p->second]) != std::string_view::npos)) {
                return false;
            }
        }
    }
    return true;
}

bool LexiconBuilder::isContentKey(uint32_t key) const
{
    const LexiconTables &t = *m_t;
    const uint32_t word = t.keyWord[key];
    const std::string_view text = t.keys.at(key);
    // Two letters make a word only as a noun that the dictionary defines ("Ei", "Öl"); else they
    // are particles and abbreviations.
    const auto longEnough = [&] {
        const uint32_t letters = characterCount(text);
        return letters >= 3 || (letters == 2 && (m_keyFlags[key] & UpperHead));
    };
    return !(m_keyFlags[key] & (StopKey | LightVerb)) && (m_keyFlags[key] & Known) &&
           word != Lexicon::npos && (t.wordFlags[word] & Lexicon::Displayable) &&
           !(t.wordFlags[word] & Lexicon::Phrase) && longEnough() &&
           !isAbbreviation(t.words.at(word)) && std::any_of(text.begin(), text.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || static_cast<unsigned char>(c) >= 0x80;
           });
}

// The base form of the document token at `i`. Keys ignore case, and where a verb and a plural
// share one ("grenzen", "Grenzen"), or a noun and an adjective's form ("Kranke", "kranke"),
// the capital letter tells which.
uint32_t LexiconBuilder::baseOfToken(size_t i) const
{
    const LexiconTables &t = *m_t;
    const uint32_t key = m_docKeys[i];
    const uint32_t other = m_otherCaseBase[key];
    const bool asOther =
        other != Lexicon::npos && m_docCapitalised[i] == startsUpper(t.words.at(t.keyWord[other]));
    return t.keyBase[asOther ? other : key];
}

// The words that definitions use many times as often as other texts do, and that are no nouns:
// the wording of definitions ("betreffend", "insbesondere", "vorwiegend aus"). Nouns stay, even
// the definitions' own: a "Kleidungsstück" or a "Säugetier" says what the word defined is.
std::vector<bool> LexiconBuilder::definitionWording(const std::vector<uint32_t> &bases) const
{
    const LexiconTables &t = *m_t;
    const uint32_t keyCount = t.keys.size();
    std::vector<uint32_t> inDefinitions(keyCount, 0);
    std::vector<uint32_t> elsewhere(keyCount, 0);
    std::vector<uint32_t> stamp(keyCount, Lexicon::npos);
    double definitions = 0;
    double others = 0;
    for (uint32_t d = 0; d + 1 < m_docBegin.size(); ++d) {
        const bool definition = isDefinition(d);
        (definition ? definitions : others) += 1;
        for (uint32_t i = m_docBegin[d]; i < m_docBegin[d + 1]; ++i) {
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
        wording[key] = inDefinitions[key] >= minWordingUses &&
                       !startsUpper(t.words.at(t.keyWord[key])) &&
                       inDefinitions[key] * others >=
                           wordingRatio * (elsewhere[key] + assumedUses) * definitions;
    }
    return wording;
}

// Reduces every document to its content words in base form, each once, and counts in how
// many documents (weighted) each base form stands.
void LexiconBuilder::countCommonness()
{
    LexiconTables &t = *m_t;
    const uint32_t keyCount = t.keys.size();
    t.keyCommonness.assign(keyCount, 0);
    std::vector<uint32_t> bases(m_docKeys.size());
    for (size_t i = 0; i < bases.size(); ++i) {
        bases[i] = baseOfToken(i);
    }
    const std::vector<bool> wording = definitionWording(bases);
    std::vector<uint32_t> stamp(keyCount, Lexicon::npos);
    std::vector<uint32_t> reduced;
    std::vector<uint32_t> reducedBegin{0};
    reduced.reserve(m_docKeys.size());
    for (uint32_t d = 0; d + 1 < m_docBegin.size(); ++d) {
        const bool definition = isDefinition(d);
        for (uint32_t i = m_docBegin[d]; i < m_docBegin[d + 1]; ++i) {
            // A compound also speaks of its parts: "Strandpromenade (am Meer)".
            const uint32_t base = bases[i];
            if (definition && wording[base]) {
                continue;
            }
            const auto [first, head] = m_meantParts[base];
            for (const uint32_t key : {base, first, head}) {
                if (key != Lexicon::npos && stamp[key] != d && isContentKey(key)) {
                    stamp[key] = d;
                    reduced.push_back(key);
                    t.keyCommonness[key] += m_docWeight[d];
                }
            }
        }
        reducedBegin.push_back(uint32_t(reduced.size()));
    }
    m_docKeys = std::move(reduced);
    m_docBegin = std::move(reducedBegin);
    m_docCapitalised.clear();
}

// A verb or adjective made with a prefix that is no word ("ver|bringen", "er|ringen") is no
// compound, however the rest may be cut: not "Verb" and "ringen".
bool LexiconBuilder::hasInseparablePrefix(uint32_t word) const
{
    const LexiconTables &t = *m_t;
    if (startsUpper(t.words.at(word))) {
        return false;
    }
    const std::string_view key = t.keys.at(t.wordKey[word]);
    for (const std::string_view prefix : inseparablePrefixes) {
        if (key.size() > prefix.size() + 3 && key.substr(0, prefix.size()) == prefix) {
            const uint32_t rest = keyOfText(key.substr(prefix.size()));
            if (rest != Lexicon::npos && (m_keyFlags[rest] & Known)) {
                return true;
            }
        }
    }
    return false;
}

// Whether the word's key, cut at byte `at`, is a compound: a first part that is a word, alone
// or before a linking element, and a head that is a word in its base form, of the same kind as
// the whole (a noun head makes a capitalised compound). Neither part may be a function word.
bool LexiconBuilder::compoundSplit(uint32_t word, size_t at, uint32_t *firstBase, uint32_t *head,
                                   size_t *firstLength) const
{
    const LexiconTables &t = *m_t;
    const std::string_view key = t.keys.at(t.wordKey[word]);
    const std::string_view headText = key.substr(at);
    const uint32_t headKey = keyOfText(headText);
    // With a dictionary, a part must be a real base form: the word list alone holds
    // abbreviations and names enough to cut "Motor" into "Mo" and "tor".
    const uint8_t real = m_headKeys.empty() ? uint8_t(Known) : uint8_t(Head | Thesaurus);
    if (headKey == Lexicon::npos || t.keyBase[headKey] != headKey ||
        (m_keyFlags[headKey] & StopKey) || !(m_keyFlags[headKey] & real) ||
        std::find(std::begin(derivationEndings), std::end(derivationEndings), headText) !=
            std::end(derivationEndings) ||
        startsUpper(t.words.at(word)) != startsUpper(t.words.at(t.keyWord[headKey]))) {
        return false;
    }
    // Rare parts make chance splits of foreign words ("Quad|rat", "Transi|s|tor").
    const uint32_t minUses = m_headKeys.empty() ? 0 : 2;
    if (m_uses[headKey] < minUses) {
        return false;
    }
    const uint32_t headLength = characterCount(headText);
    const auto usable = [&](std::string_view part, bool linked) {
        const uint32_t length = characterCount(part);
        // Short parts make chance splits; a two-letter word ("Ei") only before a long head.
        const bool longEnough = length >= 3 ? length + headLength >= 7
                                            : length == 2 && !linked && headLength >= 4 &&
                                                  startsUpper(t.words.at(word));
        const uint32_t id = longEnough ? keyOfText(part) : Lexicon::npos;
        return id != Lexicon::npos && (m_keyFlags[id] & real) && m_uses[id] >= minUses &&
                       !(m_keyFlags[t.keyBase[id]] & StopKey) &&
                       !(t.wordFlags[t.keyWord[id]] & Lexicon::Phrase) &&
                       !isAbbreviation(t.words.at(t.keyWord[id]))
                   ? id
                   : Lexicon::npos;
    };
    const std::string_view first = key.substr(0, at);
    uint32_t firstKey = usable(first, false);
    size_t stemLength = at;
    // A noun before a linking element goes before a verb: "Sonnen|schein" is of "Sonne", not of
    // "sonnen"; "Zahlen|reihe" of "Zahl", not of "zahlen".
    bool nounWanted = firstKey != Lexicon::npos && (m_keyFlags[firstKey] & LowerHead) &&
                      startsUpper(t.words.at(word));
    for (size_t i = 0;
         (firstKey == Lexicon::npos || nounWanted) && i < std::size(Inflection::linkingElements);
         ++i) {
        const std::string_view link = Inflection::linkingElements[i];
        if (first.size() <= link.size() || first.substr(first.size() - link.size()) != link) {
            continue;
        }
        const std::string_view stem = first.substr(0, first.size() - link.size());
        // No "s" joins a word that ends in a full vowel: "Autostopp" is "Auto|stopp", not
        // "Auto|s|topp" ("Liebesbrief" keeps its "s" after the "e").
        if (link.back() == 's' &&
            std::string_view("aiouy").find(stem.back()) != std::string_view::npos) {
            continue;
        }
        const uint32_t stemKey = usable(stem, true);
        if (nounWanted &&
            (stemKey == Lexicon::npos || !startsUpper(t.words.at(t.keyWord[stemKey])))) {
            continue;
        }
        nounWanted = false;
        firstKey = stemKey;
        stemLength = stem.size();
    }
    if (firstKey == Lexicon::npos) {
        return false;
    }
    // A short part is too often a chance match of letters; where the dictionary translates the
    // whole and the part, their translations must agree. (Longer parts keep their split even
    // when they do not: "Handschuh" is a glove, not a hand or a shoe, and still of both.)
    const uint32_t whole = t.keyBase[t.wordKey[word]];
    for (const uint32_t part : {firstKey, headKey}) {
        if (characterCount(t.keys.at(part)) < 4 &&
            refutedByGlosses(whole, t.keyBase[part], false)) {
            return false;
        }
    }
    if (isSharedLoanword(whole, key, at, headKey)) {
        return false;
    }
    *firstBase = t.keyBase[firstKey];
    *head = headKey;
    *firstLength = stemLength;
    return true;
}

// Whether English has the whole word too, beyond where the split would cut it, and does not end
// it with the head's translation: "Autogramm" is "autograph", one loanword, not an "Auto" of
// grams; "Motorboot" is a "motorboat", a boat.
bool LexiconBuilder::isSharedLoanword(uint32_t whole, std::string_view key, size_t at,
                                      uint32_t head) const
{
    const auto [wholeFrom, wholeTo] = glossesOf(whole);
    if (wholeFrom == wholeTo) {
        return false;
    }
    for (auto g = wholeFrom; g != wholeTo; ++g) {
        const std::string_view english = m_englishText[g->second];
        size_t shared = 0;
        while (shared < english.size() && shared < key.size() && english[shared] == key[shared]) {
            ++shared;
        }
        if (shared <= at) {
            return false;
        }
    }
    const auto [headFrom, headTo] = glossesOf(m_t->keyBase[head]);
    for (auto g = wholeFrom; g != wholeTo; ++g) {
        const std::string_view english = m_englishText[g->second];
        for (auto h = headFrom; h != headTo; ++h) {
            const std::string_view ending = m_englishText[h->second];
            if (english.size() > ending.size() &&
                english.substr(english.size() - ending.size()) == ending) {
                return false;
            }
        }
    }
    return true;
}

// The parts of every key that is a compound, cut where the first part is longest
// ("Haftpflicht|versicherung", not "Haft|pflichtversicherung").
void LexiconBuilder::splitCompounds()
{
    const LexiconTables &t = *m_t;
    m_parts.assign(t.keys.size(), {Lexicon::npos, Lexicon::npos});
    for (uint32_t key = 0; key < t.keys.size(); ++key) {
        const uint32_t word = t.keyWord[key];
        const std::string_view text = t.keys.at(key);
        if (word == Lexicon::npos || characterCount(text) < 5 ||
            (t.wordFlags[word] & (Lexicon::Phrase | Lexicon::Stop)) ||
            !(t.wordFlags[word] & Lexicon::Displayable) || hasInseparablePrefix(word)) {
            continue;
        }
        // The longest first part wins; of two cuts with the same first part, with and without
        // a linking element, the one whose head the dictionary uses more: "Schnee|sturm", not
        // "Schnee|s|turm", but "Urlaub|s|tag", not "Urlaub|stag".
        size_t best = 0;
        for (size_t at = text.size() - 3; at > 0 && at >= best; --at) {
            uint32_t first = 0;
            uint32_t head = 0;
            size_t length = 0;
            if ((static_cast<unsigned char>(text[at]) & 0xC0) == 0x80 ||
                !compoundSplit(word, at, &first, &head, &length) || length < best) {
                continue;
            }
            if (length > best || m_uses[head] > m_uses[m_parts[key].second]) {
                m_parts[key] = {first, head};
                best = length;
            }
        }
    }
}

// The base form of each word-list entry, each once: the list holds some compounds only in
// an inflected form ("Zahnschmerzen"), and they are compounds of their base form.
std::vector<uint32_t> LexiconBuilder::listedBaseWords() const
{
    const LexiconTables &t = *m_t;
    constexpr uint8_t unwanted = Lexicon::Phrase | Lexicon::Stop;
    std::vector<uint32_t> words;
    std::vector<bool> seen(t.keys.size(), false);
    for (uint32_t w = 0; w < t.words.size(); ++w) {
        if (!(t.wordFlags[w] & Lexicon::InWordList)) {
            continue;
        }
        const uint32_t key = t.keyBase[t.wordKey[w]];
        const uint32_t word = t.wordFlags[w] & Lexicon::Inflected ? t.keyWord[key] : w;
        const uint8_t flags = t.wordFlags[word];
        if (!seen[key] && (flags & Lexicon::Displayable) && !(flags & unwanted) &&
            !(flags & Lexicon::Inflected) && t.keyWord[key] == word) {
            seen[key] = true;
            words.push_back(word);
        }
    }
    return words;
}

// The parts of each compound that its meaning keeps, once per key rather than once per use: a
// part none of whose English words stands in the whole's is only letters. "Sommersprosse", a
// freckle, is no "Sprosse", and "Hochzeit", a wedding, neither "hoch" nor "Zeit", though the
// cut stands.
void LexiconBuilder::findMeantParts()
{
    m_meantParts = m_parts;
    for (uint32_t key = 0; key < m_meantParts.size(); ++key) {
        auto &[first, head] = m_meantParts[key];
        if (first != Lexicon::npos && refutedByGlosses(key, first, true)) {
            first = Lexicon::npos;
        }
        if (head != Lexicon::npos && refutedByGlosses(key, head, true)) {
            head = Lexicon::npos;
        }
    }
}

// Each compound of the word list is a small document of itself and its parts, so that the
// parts are associated with each other ("Haftpflicht" with "Versicherung").
void LexiconBuilder::addCompoundDocuments(const std::vector<uint32_t> &listed)
{
    const LexiconTables &t = *m_t;
    for (const uint32_t w : listed) {
        const uint32_t key = t.wordKey[w];
        const auto [first, head] = m_meantParts[key];
        if (first == Lexicon::npos && head == Lexicon::npos) {
            continue;
        }
        for (const uint32_t k : {key, first, head}) {
            if (k != Lexicon::npos) {
                m_docKeys.push_back(k);
                m_docCapitalised.push_back(startsUpper(t.words.at(t.keyWord[k])));
            }
        }
        m_docBegin.push_back(uint32_t(m_docKeys.size()));
        m_docWeight.push_back(compoundWeight);
    }
}

void LexiconBuilder::findCompounds(const std::vector<uint32_t> &listed)
{
    LexiconTables &t = *m_t;
    std::vector<std::pair<uint32_t, uint32_t>> found; // key, compound word
    for (const uint32_t w : listed) {
        const auto [first, head] = m_parts[t.wordKey[w]];
        if (first != Lexicon::npos) {
            found.emplace_back(first, w);
            found.emplace_back(head, w);
        }
    }
    const auto rank = [&](uint32_t a, uint32_t b) {
        const uint32_t ca = t.keyCommonness[t.wordKey[a]];
        const uint32_t cb = t.keyCommonness[t.wordKey[b]];
        if (ca != cb) {
            return ca > cb;
        }
        const size_t la = t.words.at(a).size();
        const size_t lb = t.words.at(b).size();
        return la != lb ? la < lb : t.words.at(a) < t.words.at(b);
    };
    std::sort(found.begin(), found.end(), [&](const auto &a, const auto &b) {
        return a.first != b.first ? a.first < b.first : rank(a.second, b.second);
    });
    found.erase(std::unique(found.begin(), found.end()), found.end());
    fillLists(found, t.keys.size(), maxCompounds, &t.compoundBegin, &t.compounds);
}

// For each key, the words that share documents with it more often than chance would have it.
// The score is the shared count times three factors: the pointwise mutual information, so that
// chance meetings count little; the inverse document frequency, so that a word that stands
// everywhere does not win; and the log of the word's own frequency, so that among words met
// equally often the common one that people know goes first.
void LexiconBuilder::findCooccurrents()
{
    LexiconTables &t = *m_t;
    const uint32_t keyCount = t.keys.size();
    const uint32_t docCount = uint32_t(m_docBegin.size() - 1);
    // The documents of each key.
    std::vector<uint32_t> docBegin(size_t(keyCount) + 1, 0);
    for (const uint32_t key : m_docKeys) {
        ++docBegin[key + 1];
    }
    std::partial_sum(docBegin.begin(), docBegin.end(), docBegin.begin());
    std::vector<uint32_t> docs(m_docKeys.size());
    std::vector<uint32_t> cursor(docBegin.begin(), docBegin.end() - 1);
    double total = 0;
    for (uint32_t d = 0; d < docCount; ++d) {
        total += m_docWeight[d];
        for (uint32_t i = m_docBegin[d]; i < m_docBegin[d + 1]; ++i) {
            docs[cursor[m_docKeys[i]]++] = d;
        }
    }
    std::vector<double> shared(keyCount, 0.0);
    std::vector<uint32_t> sharedDocs(keyCount, 0);
    std::vector<uint32_t> touched;
    // Of the best, a word that one document alone brings goes after those that more bring.
    std::vector<std::tuple<bool, double, uint32_t>> scored; // by one document, -score, key
    t.coocWitnessed.assign(keyCount, 0);
    std::vector<std::pair<uint32_t, uint32_t>> found;
    for (uint32_t a = 0; a < keyCount; ++a) {
        if (docBegin[a] == docBegin[a + 1]) {
            continue;
        }
        touched.clear();
        for (uint32_t i = docBegin[a]; i < docBegin[a + 1]; ++i) {
            const uint32_t d = docs[i];
            for (uint32_t j = m_docBegin[d]; j < m_docBegin[d + 1]; ++j) {
                const uint32_t b = m_docKeys[j];
                if (b == a) {
                    continue;
                }
                if (shared[b] == 0.0) {
                    touched.push_back(b);
                }
                shared[b] += m_docWeight[d];
                ++sharedDocs[b];
            }
        }
        scored.clear();
        const double dfA = t.keyCommonness[a];
        for (const uint32_t b : touched) {
            const double n = shared[b];
            shared[b] = 0.0;
            const double dfB = t.keyCommonness[b];
            const double score =
                n * std::log(total * n / (dfA * dfB)) * std::log(total / dfB) * std::log(1.0 + dfB);
            if (score > 0.0) {
                scored.emplace_back(sharedDocs[b] < 2, -score, b);
            }
            sharedDocs[b] = 0;
        }
        const size_t kept = std::min(scored.size(), maxCooccurrents);
        const auto end = scored.begin() + std::ptrdiff_t(kept);
        std::nth_element(scored.begin(), end, scored.end(), [](const auto &x, const auto &y) {
            return std::get<1>(x) < std::get<1>(y);
        });
        std::sort(scored.begin(), end);
        for (size_t i = 0; i < kept; ++i) {
            found.emplace_back(a, t.keyWord[std::get<2>(scored[i])]);
            t.coocWitnessed[a] += std::get<0>(scored[i]) ? 0 : 1;
        }
    }
    fillLists(found, keyCount, maxCooccurrents, &t.coocBegin, &t.cooc);
}

// Drops the words and keys that no answer can reach: dictionary tokens that are neither known
// words nor forms of one. They are most of the dictionary's vocabulary, and a smaller index is
// quicker to check at start and keeps fewer pages resident.
void LexiconBuilder::compact()
{
    LexiconTables &t = *m_t;
    const uint32_t keyCount = t.keys.size();
    const uint32_t npos = Lexicon::npos;
    std::vector<uint32_t> newKey(keyCount, npos);
    std::vector<uint32_t> newWord(t.words.size(), npos);
    LexiconTables kept;
    for (uint32_t key = 0; key < keyCount; ++key) {
        if ((m_keyFlags[key] & Known) || t.keyBase[key] != key) {
            newKey[key] = kept.keys.intern(t.keys.at(key));
        }
    }
    for (uint32_t w = 0; w < t.words.size(); ++w) {
        if (newKey[t.wordKey[w]] != npos) {
            newWord[w] = kept.words.intern(t.words.at(w));
            kept.wordKey.push_back(newKey[t.wordKey[w]]);
            kept.wordFlags.push_back(t.wordFlags[w]);
        }
    }
    for (uint32_t key = 0; key < keyCount; ++key) {
        if (newKey[key] == npos) {
            continue;
        }
        kept.keyWord.push_back(newWord[t.keyWord[key]]);
        const uint32_t base = newKey[t.keyBase[key]];
        kept.keyBase.push_back(base != npos ? base : newKey[key]);
        kept.keyCommonness.push_back(t.keyCommonness[key]);
        kept.keyKinds.push_back(m_keyKinds[key]);
        kept.coocWitnessed.push_back(t.coocWitnessed[key]);
        const auto copy = [&](const std::vector<uint32_t> &begin, const std::vector<uint32_t> &list,
                              std::vector<uint32_t> *newBegin, std::vector<uint32_t> *newList,
                              bool words) {
            for (uint32_t i = begin[key]; i < begin[key + 1]; ++i) {
                newList->push_back(words ? newWord[list[i]] : list[i]);
            }
            newBegin->push_back(uint32_t(newList->size()));
        };
        copy(t.postingBegin, t.postings, &kept.postingBegin, &kept.postings, false);
        copy(t.compoundBegin, t.compounds, &kept.compoundBegin, &kept.compounds, true);
        copy(t.coocBegin, t.cooc, &kept.coocBegin, &kept.cooc, true);
    }
    for (uint32_t key = 0; key < keyCount; ++key) {
        const auto [modifier, head] = m_parts[key];
        const uint32_t keptModifier = modifier == npos ? npos : newKey[modifier];
        const uint32_t keptHead = head == npos ? npos : newKey[head];
        if (newKey[key] != npos && (keptModifier != npos || keptHead != npos)) {
            kept.compoundCuts.insert(kept.compoundCuts.end(),
                                     {newKey[key], keptModifier, keptHead});
        }
    }
    for (uint32_t key = 0; key < keyCount; ++key) {
        const uint32_t other = m_otherCaseBase[key];
        if (other != npos && newKey[key] != npos && newKey[t.keyBase[other]] != npos) {
            kept.caseReadings.push_back(newKey[key]);
            kept.caseReadings.push_back(newKey[t.keyBase[other]]);
        }
    }
    kept.meaningBegin = std::move(t.meaningBegin);
    kept.members = std::move(t.members);
    for (uint32_t &member : kept.members) {
        member = Lexicon::pack(newWord[Lexicon::idOf(member)], Lexicon::roleOf(member),
                               Lexicon::isMainForm(member));
    }
    kept.keys.shrinkSlots();
    *m_t = std::move(kept);
}
