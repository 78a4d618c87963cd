#include "data/baseresolver.h"

#include "data/buildweights.h"
#include "index/lexicon.h"
#include "index/lexicontables.h"
#include "language/inflection.h"
#include "language/lemmatiser.h"

#include <algorithm>
#include <numeric>

namespace {

using BuildWeights::lexicalisedUses;

} // namespace

BaseResolver::BaseResolver(LexiconTables *tables, KeyFacts *facts,
                           const std::vector<std::pair<uint32_t, uint32_t>> &forms,
                           const std::vector<bool> &formOfNoun)
    : m_t(tables), m_facts(*facts), m_forms(forms), m_formOfNoun(formOfNoun)
{}

std::vector<uint32_t> BaseResolver::resolve()
{
    resolveBases();
    flagWords();
    return std::move(m_otherCaseBase);
}

// A dictionary headword is a base form. The thesaurus also holds inflected forms ("läuft",
// "Menschen"), so its words count as base forms only where no dictionary tells otherwise.
void BaseResolver::resolveBases()
{
    LexiconTables &t = *m_t;
    const uint32_t keyCount = t.keys.size();
    const uint8_t base = !m_facts.dictionary ? uint8_t(Head | Thesaurus) : uint8_t(Head);
    t.keyBase.resize(keyCount);
    std::iota(t.keyBase.begin(), t.keyBase.end(), 0u);
    m_otherCaseBase.assign(keyCount, Lexicon::npos);
    for (size_t i = 0; i < m_forms.size(); ++i) {
        const auto [form, of] = m_forms[i];
        // "während" is a participle of "währen" in the tables and a function word in the text.
        if (m_facts.flags[form] & StopKey) {
            m_functionFormBase.try_emplace(form, of);
            continue;
        }
        if (m_formOfNoun[i] && isNounFormInBothCases(form)) {
            // "Köpfe" of "Kopf", where "köpfe" is a form of the verb "köpfen": its ending
            // tells the rest, the capital tells this reading.
            m_otherCaseBase[form] = of;
        } else if (t.keyBase[form] == form &&
                   (!(m_facts.flags[form] & Head) || isParticipleOfItsVerb(form, of))) {
            t.keyBase[form] = of;
        } else if (isClearReading(form, of) || isListedFormBesideNoun(form, of)) {
            // "Grenzen" of "Grenze", where "grenzen" is a verb; "kranker" of "krank", where
            // "Kranker" is a noun.
            m_otherCaseBase[form] = of;
        } else if (isAdjectiveFormWithEntry(form, of)) {
            m_formsWithEntry.push_back(form);
        }
    }
    std::string scratch;
    for (uint32_t key = 0; key < keyCount; ++key) {
        if (m_facts.flags[key] & (base | StopKey) || t.keyBase[key] != key) {
            continue;
        }
        uint32_t reduced = reducedByEnding(key, &scratch);
        if (reduced == Lexicon::npos) {
            reduced = separableVerbOf(key, &scratch);
        }
        if (reduced == Lexicon::npos) {
            reduced = adjectiveOfDeclined(key, &scratch);
        }
        if (reduced != Lexicon::npos && !isWordOfItsOwn(key, reduced)) {
            t.keyBase[key] = t.keyBase[reduced];
            addNounReading(key, &scratch);
        } else if (reduced == Lexicon::npos && isFormOfFunctionWord(key, &scratch)) {
            m_facts.flags[key] |= StopKey;
        }
    }
    findParticipleVerbs(&scratch);
    findOtherCaseReadings(&scratch);
}

// The participles that the dictionary gives as adjectives but lists under no verb: "verirrt" of
// "verirren", "angeschwemmt" of "anschwemmen".
void BaseResolver::findParticipleVerbs(std::string *scratch)
{
    LexiconTables &t = *m_t;
    for (uint32_t key = 0; key < t.keys.size(); ++key) {
        if (!(m_facts.flags[key] & Head) || t.keyBase[key] != key ||
            (m_facts.flags[key] & StopKey)) {
            continue;
        }
        const uint32_t verb = verbOfParticiple(key, scratch);
        if (verb != Lexicon::npos && isParticipleOfItsVerb(key, verb)) {
            t.keyBase[key] = t.keyBase[verb];
        }
    }
}

// The verb whose past participle the key is by its shape: "ge" and the stem with "t" or "et"
// after any separable particle ("angeschwemmt"), or a verb with a prefix that takes no "ge"
// ("verirrt", "bewirtschaftet"). The verb must be a headword.
uint32_t BaseResolver::verbOfParticiple(uint32_t key, std::string *scratch) const
{
    static constexpr std::string_view noGePrefixes[] = {"be", "emp", "ent",  "er",
                                                        "ge", "ver", "miss", "zer"};
    const std::string_view text = m_t->keys.at(key);
    if (text.size() < 6 || text.back() != 't') {
        return Lexicon::npos;
    }
    std::string_view particle;
    for (const std::string_view p : Language::separableParticles) {
        if (text.substr(0, p.size()) == p && text.substr(p.size(), 2) == "ge") {
            particle = p;
            break;
        }
    }
    std::string_view stem = text.substr(particle.size());
    if (stem.substr(0, 2) == "ge") {
        stem.remove_prefix(2);
    } else if (std::none_of(std::begin(noGePrefixes), std::end(noGePrefixes),
                            [&](std::string_view p) { return stem.substr(0, p.size()) == p; })) {
        return Lexicon::npos;
    }
    for (const std::string_view ending : {std::string_view("et"), std::string_view("t")}) {
        if (stem.size() <= ending.size() + 1 ||
            stem.substr(stem.size() - ending.size()) != ending) {
            continue;
        }
        for (const std::string_view infinitive : {std::string_view("en"), std::string_view("n")}) {
            scratch->assign(particle)
                .append(stem.substr(0, stem.size() - ending.size()))
                .append(infinitive);
            const uint32_t id = keyOfText(*scratch);
            if (id != Lexicon::npos && id != key && (m_facts.kinds[id] & Language::Verb)) {
                return id;
            }
        }
    }
    return Lexicon::npos;
}

// The key that this one is an inflected form of by its ending, or npos. Only a key that is
// not a base form itself is reduced, and only to a word that exists.
uint32_t BaseResolver::reducedByEnding(uint32_t key, std::string *scratch) const
{
    // The word list holds inflected forms too; with a dictionary, only its headwords and the
    // thesaurus words are trusted as base forms.
    const uint8_t targets = !m_facts.dictionary ? uint8_t(Known) : uint8_t(Head | Thesaurus);
    // Of the words the key could be a form of, the one the dictionary uses most: "kleinen" is
    // "klein" plus "en", not "Klei" plus "nen". A word of the key's own kind goes first: the
    // adjective "kleinen" is no form of the noun "Kleine", however common that is. (Keys
    // ignore case, so the kind is that of the dictionary's headwords.)
    // A noun's listed form that is also written in small letters has its noun reading already:
    // the ending tells the other one ("köpfe" of "köpfen" beside "Köpfe" of "Kopf").
    const bool noun = m_otherCaseBase[key] == Lexicon::npos && m_facts.noun[key];
    const bool lower = m_facts.flags[key] & LowerForm;
    uint32_t found = Lexicon::npos;
    bool foundSameKind = false;
    Inflection::forEachReduction(
        m_t->keys.at(key), scratch,
        [&](std::string_view candidate) {
            const uint32_t id = keyOfText(candidate);
            if (id == Lexicon::npos || (m_facts.flags[id] & StopKey) ||
                !(m_facts.flags[m_t->keyBase[id]] & targets) ||
                (m_t->keyBase[id] != id && !isFormOfSameKind(key, id))) {
                return false;
            }
            const bool sameKind = bool(m_facts.flags[id] & LowerHead) == lower;
            if (found == Lexicon::npos || sameKind > foundSameKind ||
                (sameKind == foundSameKind && m_facts.uses[id] >= m_facts.uses[found])) {
                found = id;
                foundSameKind = sameKind;
            }
            return false;
        },
        !noun);
    return found;
}

// A declined adjective that no dictionary or thesaurus knows stands for the undeclined word of
// the word list: "standesamtliche" for "standesamtlich". Both are written in small letters
// only, so no noun ("Rose", "Ros") is read as a form of another.
uint32_t BaseResolver::adjectiveOfDeclined(uint32_t key, std::string *scratch) const
{
    static constexpr std::string_view declensions[] = {"en", "em", "er", "es", "e"};
    if (!isSmallLettersOnly(key)) {
        return Lexicon::npos;
    }
    const std::string_view text = m_t->keys.at(key);
    for (const std::string_view ending : declensions) {
        if (text.size() < ending.size() + 4 || text.substr(text.size() - ending.size()) != ending) {
            continue;
        }
        scratch->assign(text.substr(0, text.size() - ending.size()));
        const uint32_t id = keyOfText(*scratch);
        if (id != Lexicon::npos && id != key && (m_facts.flags[id] & Listed) &&
            !(m_facts.flags[id] & StopKey) && isSmallLettersOnly(id)) {
            return id;
        }
    }
    return Lexicon::npos;
}

bool BaseResolver::isSmallLettersOnly(uint32_t key) const
{
    return (m_facts.flags[key] & LowerForm) && !m_facts.upperForm[key] && !m_facts.noun[key] &&
           !(m_facts.flags[key] & UpperHead);
}

// A participle that the dictionary also gives as an adjective counts for its verb ("gefeiert"
// for "feiern"), unless the texts use it far more than the verb, which makes it a word of its
// own ("bekannt" beside "bekennen"). A present participle is an adjective of its own far more
// often ("spannend", "dringend"), so it keeps its entry.
bool BaseResolver::isParticipleOfItsVerb(uint32_t form, uint32_t verb) const
{
    const std::string_view text = m_t->keys.at(form);
    return m_facts.kinds[form] == Language::Adjective && (m_facts.kinds[verb] & Language::Verb) &&
           !(text.size() > 2 && text.substr(text.size() - 2) == "nd") &&
           m_facts.uses[form] <= lexicalisedUses * std::max(m_facts.uses[verb], 1u);
}

// A listed form stands for its base where the three are of one kind: "gekochten" is
// "gekocht", a form of "kochen", and "Kindern" is "Kinder", of "Kind"; but "meisten" is no
// "Meisen", and "stimmt" no form of the noun whose plural "stimmen" is.
bool BaseResolver::isFormOfSameKind(uint32_t key, uint32_t form) const
{
    const LexiconTables &t = *m_t;
    const bool noun = m_facts.noun[key];
    // The verb's key may also be a noun ("Stehlen"); its kinds still say that "gestohlenen" is
    // of it.
    const uint32_t base = t.keyBase[form];
    const bool baseFits = m_facts.noun[base] == noun ||
                          (!noun && (m_facts.kinds[base] & (Language::Verb | Language::Adjective)));
    return m_facts.noun[form] == noun && baseFits;
}

// The verb with a separable particle that the key is a form of, with the particle in front as
// a subordinate clause or a "zu" puts it: "ausgibt" of "ausgeben", "durchzuführen" of
// "durchführen".
uint32_t BaseResolver::separableVerbOf(uint32_t key, std::string *scratch) const
{
    const LexiconTables &t = *m_t;
    if (m_facts.noun[key]) {
        return Lexicon::npos;
    }
    const auto known = [&](std::string_view text) { return keyOfText(text) != Lexicon::npos; };
    uint32_t verb = Lexicon::npos;
    Language::forEachParticleSplit(
        t.keys.at(key), known, [&](std::string_view particle, std::string_view rest) {
            const uint32_t form = keyOfText(rest);
            const uint32_t base = form == Lexicon::npos ? form : verbBaseOf(form);
            if (base == Lexicon::npos || !(m_facts.flags[base] & LowerHead)) {
                return false;
            }
            scratch->assign(particle).append(t.keys.at(base));
            const uint32_t whole = keyOfText(*scratch);
            if (whole == Lexicon::npos || whole == key || !(m_facts.flags[whole] & LowerHead)) {
                return false;
            }
            verb = whole;
            return true;
        });
    return verb;
}

// The base of a form; for a function word, the verb the dictionary lists it as a form of: "gibt"
// stands for "es gibt", but "ausgibt" is a form of "ausgeben".
uint32_t BaseResolver::verbBaseOf(uint32_t form) const
{
    const auto listed = m_functionFormBase.find(form);
    return listed != m_functionFormBase.end() && m_t->keyBase[form] == form ? listed->second
                                                                            : m_t->keyBase[form];
}

// A noun far more common than a noun that the dictionary does not define is no form of it:
// "Eltern" is not a form of the biologists' "Elter". (A noun made of an adjective,
// "Jugendlicher", stays a form of it however common, and "Dinge" one of the headword "Ding".)
bool BaseResolver::isWordOfItsOwn(uint32_t form, uint32_t base) const
{
    return !(m_facts.flags[base] & Head) && m_facts.noun[form] && m_facts.noun[base] &&
           m_facts.uses[form] > lexicalisedUses * std::max(m_facts.uses[base], 1u);
}

// Whether a listed form of a noun is a key that is no base form and is also written in small
// letters, which are the words of another entry.
bool BaseResolver::isNounFormInBothCases(uint32_t form) const
{
    return !(m_facts.flags[form] & Head) && (m_facts.flags[form] & LowerForm) &&
           m_t->keyBase[form] == form && m_otherCaseBase[form] == Lexicon::npos;
}

// A form that its ending makes a verb's or adjective's, but that is also written with a capital,
// reads as the noun it is a form of with the capital: "Töne" of "Ton", where "töne" is of
// "tönen".
void BaseResolver::addNounReading(uint32_t key, std::string *scratch)
{
    const LexiconTables &t = *m_t;
    if (!m_facts.upperForm[key] || m_otherCaseBase[key] != Lexicon::npos ||
        !(m_facts.flags[t.keyBase[key]] & LowerHead)) {
        return;
    }
    uint32_t noun = Lexicon::npos;
    Inflection::forEachReduction(
        t.keys.at(key), scratch,
        [&](std::string_view candidate) {
            const uint32_t id = keyOfText(candidate);
            if (id != Lexicon::npos && (m_facts.flags[id] & UpperHead) &&
                !(m_facts.flags[id] & StopKey) &&
                (noun == Lexicon::npos || m_facts.uses[id] > m_facts.uses[noun])) {
                noun = id;
            }
            return false;
        },
        false);
    m_otherCaseBase[key] = noun;
}

bool BaseResolver::hasOneKind(uint32_t key) const
{
    const uint8_t heads = m_facts.flags[key] & (LowerHead | UpperHead);
    return heads == LowerHead || heads == UpperHead;
}

// Whether the words of a headword's key written like `of` (a capital for a noun) are forms of
// `of`. So they are where the key's headwords are of the other kind; where the dictionary also
// makes a noun of the verb ("Pflanzen {n}", planting), they are where the plural's noun is used
// more than the key itself ("Pflanzen" are plants), not where it is rare ("Essen" is no plural
// of the chimney "Esse").
bool BaseResolver::isClearReading(uint32_t key, uint32_t of) const
{
    const bool noun = m_facts.noun[of];
    const uint8_t sameKind = noun ? UpperHead : LowerHead;
    const uint8_t otherKind = noun ? LowerHead : UpperHead;
    if (!(m_facts.flags[key] & otherKind)) {
        return false;
    }
    return !(m_facts.flags[key] & sameKind) || (noun && m_facts.uses[of] > m_facts.uses[key]);
}

// Whether a key that is both a noun's and another kind's headword has its small-letter words
// as forms of `of`, as the dictionary lists them: "kleiner" is the comparative of "klein" (with
// an entry of its own for a translation), "Kleiner" a noun; the capital tells them apart.
bool BaseResolver::isListedFormBesideNoun(uint32_t form, uint32_t of) const
{
    constexpr uint8_t bothKinds = LowerHead | UpperHead;
    const uint8_t ownKinds = m_facts.kinds[form] & ~Language::Noun;
    return (m_facts.flags[form] & bothKinds) == bothKinds && !m_facts.noun[of] &&
           (m_facts.flags[of] & LowerHead) && (ownKinds & ~m_facts.kinds[of]) == 0;
}

// Whether an adjective's headword is also listed as a form of another adjective: "geringer
// {adj}" (minor) is the comparative of "gering", "teurer" of "teuer". Its texts stay its own,
// as they compare ("je teurer, desto ..."), but it is no word to show for a keyword: the base
// is. Unless the texts use it far more than the base, as a word of its own.
bool BaseResolver::isAdjectiveFormWithEntry(uint32_t form, uint32_t of) const
{
    return form != of && (m_facts.flags[form] & Head) && !(m_facts.flags[form] & UpperHead) &&
           m_facts.kinds[form] == Language::Adjective &&
           (m_facts.kinds[of] & Language::Adjective) &&
           m_facts.uses[form] <= lexicalisedUses * std::max(m_facts.uses[of], 1u);
}

// The noun whose dative plural a verb's key is: "Zimmern" of "Zimmer", "Tagen" of "Tag" (the
// plural "Tage" and an "n"); "Kochen" is no form of "Koch", whose plural is "Köche".
uint32_t BaseResolver::nounOfDativePlural(uint32_t key) const
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
        other != Lexicon::npos && (m_facts.flags[other] & UpperHead) ? other : t.keyBase[plural];
    const bool listedPlural = noun != plural;
    // "Zimmer" and "Segel" are their own plurals.
    const bool ownPlural = text.size() > 4 && (text.substr(text.size() - 3) == "ern" ||
                                               text.substr(text.size() - 3) == "eln");
    return (listedPlural || ownPlural) && (m_facts.flags[noun] & UpperHead) ? noun : Lexicon::npos;
}

// The word of the other kind that a headword's key is also a form of by its ending: the noun
// of a verb's key that is a dative plural ("Zimmern"), the adjective of a noun's key that is
// also the adjective's form ("Jugendliche", "jugendliche").
void BaseResolver::findOtherCaseReadings(std::string *scratch)
{
    const LexiconTables &t = *m_t;
    constexpr uint8_t bothKinds = LowerHead | UpperHead;
    for (uint32_t key = 0; key < t.keys.size(); ++key) {
        if (m_otherCaseBase[key] != Lexicon::npos) {
            continue;
        }
        if ((m_facts.flags[key] & bothKinds) == bothKinds) {
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
        if (!(m_facts.flags[key] & UpperHead)) {
            m_otherCaseBase[key] = nounOfDativePlural(key);
            continue;
        }
        Inflection::forEachReduction(
            t.keys.at(key), scratch,
            [&](std::string_view candidate) {
                const uint32_t id = keyOfText(candidate);
                const uint32_t other = id == Lexicon::npos ? id : t.keyBase[id];
                // "rote" is of "rot", though "Rot" (the colour) shares its key.
                if (other != Lexicon::npos && other != key && (m_facts.flags[other] & LowerHead) &&
                    (!m_facts.noun[other] || (m_facts.kinds[other] & Language::Adjective))) {
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
bool BaseResolver::isFormOfFunctionWord(uint32_t key, std::string *scratch) const
{
    const LexiconTables &t = *m_t;
    if (m_facts.noun[key]) {
        return false;
    }
    return Inflection::forEachReduction(t.keys.at(key), scratch, [&](std::string_view candidate) {
        const uint32_t id = keyOfText(candidate);
        return id != Lexicon::npos && (m_facts.flags[id] & StopKey);
    });
}

// Marks the words that are forms of another, and those of function words.
void BaseResolver::flagWords()
{
    LexiconTables &t = *m_t;
    for (uint32_t w = 0; w < t.words.size(); ++w) {
        const uint32_t key = t.wordKey[w];
        if (t.keyBase[key] != key) {
            t.wordFlags[w] |= Lexicon::Inflected;
        }
        if (m_facts.flags[t.keyBase[key]] & StopKey || m_facts.flags[key] & StopKey) {
            t.wordFlags[w] |= Lexicon::Stop;
        }
    }
    std::vector<bool> formWithEntry(t.keys.size(), false);
    for (const uint32_t key : m_formsWithEntry) {
        formWithEntry[key] = true;
    }
    for (uint32_t w = 0; w < t.words.size(); ++w) {
        if (formWithEntry[t.wordKey[w]]) {
            t.wordFlags[w] &= ~Lexicon::Displayable;
        }
    }
}
