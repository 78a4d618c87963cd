#include "data/compoundcutter.h"

#include "data/buildweights.h"
#include "data/glosses.h"
#include "data/wordshape.h"
#include "index/lexicon.h"
#include "index/lexicontables.h"
#include "language/inflection.h"

#include <algorithm>

namespace {

// Endings that look like a word but make derivations, not compounds ("Freundschaft").
constexpr std::string_view derivationEndings[] = {"schaft", "voll", "los",  "weise", "haft",
                                                  "heit",   "keit", "ling", "lein",  "chen",
                                                  "bar",    "sam",  "tum",  "nis"};

// Verb prefixes that are no words of their own ("verbringen", "erringen").
constexpr std::string_view inseparablePrefixes[] = {"be", "emp",  "ent", "er",
                                                    "ge", "miss", "ver", "zer"};

using WordShape::characterCount;
using WordShape::isAbbreviation;

// 1 + the place of a linking element among Inflection::linkingElements, 0 for none.
uint8_t linkingCode(std::string_view link)
{
    const auto *found = std::find(std::begin(Inflection::linkingElements),
                                  std::end(Inflection::linkingElements), link);
    return found == std::end(Inflection::linkingElements)
               ? 0
               : uint8_t(1 + (found - std::begin(Inflection::linkingElements)));
}

} // namespace

CompoundCutter::CompoundCutter(const LexiconTables &tables, const KeyFacts &facts,
                               const Glosses &glosses)
    : m_t(&tables), m_facts(facts), m_glosses(glosses)
{}

CompoundParts CompoundCutter::cut()
{
    splitCompounds();
    findMeantParts();
    return {std::move(m_parts), std::move(m_meantParts), std::move(m_linking)};
}

// The parts of every key that is a compound, cut where the first part is longest
// ("Haftpflicht|versicherung", not "Haft|pflichtversicherung").
void CompoundCutter::splitCompounds()
{
    const LexiconTables &t = *m_t;
    m_parts.assign(t.keys.size(), {Lexicon::npos, Lexicon::npos});
    m_linking.assign(t.keys.size(), 0);
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
            if (length > best || m_facts.uses[head] > m_facts.uses[m_parts[key].second]) {
                m_parts[key] = {first, head};
                m_linking[key] = linkingCode(text.substr(length, at - length));
                best = length;
            }
        }
    }
}

// Whether the word's key, cut at byte `at`, is a compound: a first part that is a word, alone
// or before a linking element, and a head that is a word in its base form, of the same kind as
// the whole (a noun head makes a capitalised compound). Neither part may be a function word.
bool CompoundCutter::compoundSplit(uint32_t word, size_t at, uint32_t *firstBase, uint32_t *head,
                                   size_t *firstLength) const
{
    const LexiconTables &t = *m_t;
    const std::string_view key = t.keys.at(t.wordKey[word]);
    const std::string_view headText = key.substr(at);
    const uint32_t headKey = keyOfText(headText);
    if (!isHead(word, headText, headKey)) {
        return false;
    }
    size_t stemLength = at;
    const uint32_t firstKey =
        firstPart(word, key.substr(0, at), characterCount(headText), &stemLength);
    if (firstKey == Lexicon::npos || !keepsMeaning(word, at, firstKey, headKey)) {
        return false;
    }
    *firstBase = t.keyBase[firstKey];
    *head = headKey;
    *firstLength = stemLength;
    return true;
}

// With a dictionary, a part must be a real base form: the word list alone holds abbreviations
// and names enough to cut "Motor" into "Mo" and "tor".
uint8_t CompoundCutter::real() const
{
    return !m_facts.dictionary ? uint8_t(Known) : uint8_t(Head | Thesaurus);
}

// Rare parts make chance splits of foreign words ("Quad|rat", "Transi|s|tor").
uint32_t CompoundCutter::minUses() const
{
    return !m_facts.dictionary ? 0 : BuildWeights::minPartUses;
}

bool CompoundCutter::isHead(uint32_t word, std::string_view headText, uint32_t headKey) const
{
    const LexiconTables &t = *m_t;
    if (headKey == Lexicon::npos || t.keyBase[headKey] != headKey ||
        (m_facts.flags[headKey] & StopKey) || !(m_facts.flags[headKey] & real()) ||
        std::find(std::begin(derivationEndings), std::end(derivationEndings), headText) !=
            std::end(derivationEndings) ||
        m_facts.noun[t.wordKey[word]] != m_facts.noun[headKey]) {
        return false;
    }
    return m_facts.uses[headKey] >= minUses();
}

// The key of a part that can be the first of the word, or npos.
uint32_t CompoundCutter::usablePart(uint32_t word, std::string_view part, bool linked,
                                    uint32_t headLength) const
{
    const LexiconTables &t = *m_t;
    const uint32_t length = characterCount(part);
    // Short parts make chance splits; a two-letter word ("Ei") only before a long head.
    const bool longEnough =
        length >= 3 ? length + headLength >= 7
                    : length == 2 && !linked && headLength >= 4 && m_facts.noun[t.wordKey[word]];
    const uint32_t id = longEnough ? keyOfText(part) : Lexicon::npos;
    return id != Lexicon::npos && (m_facts.flags[id] & real()) && m_facts.uses[id] >= minUses() &&
                   !(m_facts.flags[t.keyBase[id]] & StopKey) &&
                   !(t.wordFlags[t.keyWord[id]] & Lexicon::Phrase) &&
                   !isAbbreviation(t.words.at(t.keyWord[id]))
               ? id
               : Lexicon::npos;
}

// The key of the first part, alone or before a linking element, or npos; *stemLength: its
// bytes without the linking element.
uint32_t CompoundCutter::firstPart(uint32_t word, std::string_view first, uint32_t headLength,
                                   size_t *stemLength) const
{
    const LexiconTables &t = *m_t;
    const uint32_t whole = usablePart(word, first, false, headLength);
    // A noun before a linking element goes before a verb: "Sonnen|schein" is of "Sonne", not of
    // "sonnen"; "Zahlen|reihe" of "Zahl", not of "zahlen".
    const bool nounWanted = whole != Lexicon::npos && (m_facts.flags[whole] & LowerHead) &&
                            m_facts.noun[t.wordKey[word]];
    if (whole != Lexicon::npos && !nounWanted) {
        return whole;
    }
    // Of the words that two linking elements leave, the one the dictionary uses more:
    // "Klassen|zimmer" is of "Klasse" (with "n"), not of the dialect word "klass" (with "en").
    uint32_t linked = Lexicon::npos;
    for (const std::string_view link : Inflection::linkingElements) {
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
        const uint32_t stemKey = usablePart(word, stem, true, headLength);
        if (stemKey == Lexicon::npos || (nounWanted && !m_facts.noun[stemKey])) {
            continue;
        }
        if (linked == Lexicon::npos || m_facts.uses[stemKey] > m_facts.uses[linked]) {
            linked = stemKey;
            *stemLength = stem.size();
        }
    }
    return linked != Lexicon::npos ? linked : whole;
}

// A short part is too often a chance match of letters; where the dictionary translates the
// whole and the part, their translations must agree. (Longer parts keep their split even when
// they do not: "Handschuh" is a glove, not a hand or a shoe, and still of both.)
bool CompoundCutter::keepsMeaning(uint32_t word, size_t at, uint32_t firstKey,
                                  uint32_t headKey) const
{
    const LexiconTables &t = *m_t;
    const uint32_t whole = t.keyBase[t.wordKey[word]];
    for (const uint32_t part : {firstKey, headKey}) {
        if (characterCount(t.keys.at(part)) < 4 &&
            m_glosses.refutedByGlosses(whole, t.keyBase[part], Glosses::Match::Same)) {
            return false;
        }
    }
    return !m_glosses.isSharedLoanword(whole, t.keys.at(t.wordKey[word]), at, headKey);
}

// A verb or adjective made with a prefix that is no word ("ver|bringen", "er|ringen") is no
// compound, however the rest may be cut: not "Verb" and "ringen".
bool CompoundCutter::hasInseparablePrefix(uint32_t word) const
{
    const LexiconTables &t = *m_t;
    if (m_facts.noun[t.wordKey[word]]) {
        return false;
    }
    const std::string_view key = t.keys.at(t.wordKey[word]);
    for (const std::string_view prefix : inseparablePrefixes) {
        if (key.size() > prefix.size() + 3 && key.substr(0, prefix.size()) == prefix) {
            const uint32_t rest = keyOfText(key.substr(prefix.size()));
            if (rest != Lexicon::npos && (m_facts.flags[rest] & Known)) {
                return true;
            }
        }
    }
    return false;
}

// The base form of each word-list entry, each once: the list holds some compounds only in
// an inflected form ("Zahnschmerzen"), and they are compounds of their base form.
std::vector<uint32_t> CompoundCutter::listedBaseWords() const
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
void CompoundCutter::findMeantParts()
{
    m_meantParts = m_parts;
    for (uint32_t key = 0; key < m_meantParts.size(); ++key) {
        auto &[first, head] = m_meantParts[key];
        if (first != Lexicon::npos &&
            m_glosses.refutedByGlosses(key, first, Glosses::Match::InsideWord)) {
            first = Lexicon::npos;
        }
        if (head != Lexicon::npos &&
            m_glosses.refutedByGlosses(key, head, Glosses::Match::AsWord)) {
            head = Lexicon::npos;
        }
    }
}
