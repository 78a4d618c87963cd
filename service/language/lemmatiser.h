#pragma once

#include "language/inflection.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// From a token as it stands in a text or as it was typed to the base entries it can be a form
// of. The index builder and the query both read words through it, so that a form typed as a
// keyword is taken as the same form in a text is.
namespace Language {

// The parts of speech a base entry is used as; a set, since keys ignore case and one key can
// stand for a verb and a noun ("grenzen", "Grenzen").
enum Kind : uint8_t
{
    Noun = 1,
    Verb = 2,
    Adjective = 4,
    OtherKind = 8,
};

// What the lemmatiser needs to know of the words: which keys exist, the base entry of each, and
// of what kind the base entries are. Keys are case-folded UTF-8.
class Vocabulary
{
public:
    static constexpr uint32_t npos = UINT32_MAX;

    virtual ~Vocabulary() = default;
    // The key of this text, or npos.
    virtual uint32_t find(std::string_view key) const = 0;
    // The text of a key.
    virtual std::string_view key(uint32_t key) const = 0;
    // The base entry of a known key (the key itself for a base form).
    virtual uint32_t baseOf(uint32_t key) const = 0;
    // Of a key whose words are of two kinds: the base entry of the words of the kind other than
    // the one baseOf gives ("Grenzen" of "Grenze", where "grenzen" is a verb); npos otherwise.
    virtual uint32_t otherReadingOf(uint32_t key) const = 0;
    // The kinds (a set of Kind) of a base entry.
    virtual uint8_t kindsOf(uint32_t base) const = 0;
};

// The one place where the case of a word decides anything: how well a word written with a
// capital or without one fits an entry of these kinds, from 0 (not at all) to 2. A capital
// marks a noun, small letters anything else; an entry of both, a verb made noun ("das Essen"),
// fits either case less well. It only chooses between entries of one spelling that nothing
// else tells apart ("Grenzen", "grenzen").
inline int caseFit(bool capitalised, uint8_t kinds)
{
    const bool noun = (kinds & Noun) != 0;
    const bool other = (kinds & ~Noun) != 0;
    if (!(capitalised ? noun : other)) {
        return 0;
    }
    return noun && other ? 1 : 2;
}

struct Reading
{
    uint32_t base;
    uint8_t kinds;
};

// The verb particles that stand apart in a main clause and in front in a subordinate one
// ("er gibt aus", "dass er ausgibt"). "hinzu" comes before "hin", whose "zu" would otherwise
// read as that of an infinitive ("hinzugibt").
inline constexpr std::string_view separableParticles[] = {
    "ab",   "an",   "auf",    "aus",   "bei",    "durch", "ein",    "fest",
    "fort", "her",  "heraus", "herum", "hinzu",  "hin",   "hinaus", "los",
    "mit",  "nach", "vor",    "weg",   "weiter", "zu",    "zurück", "zusammen"};

// The endings that make diminutives, with an umlaut in the stem where it can take one
// ("Mäuschen" of "Maus", "Hündchen" of "Hund").
inline constexpr std::string_view diminutiveEndings[] = {"chen", "lein"};

// Calls accept(particle, rest) for each separable particle that key begins with, the rest
// without the "zu" of an infinitive ("durchzuführen") where known(rest without it) says the
// shorter rest is a word, until accept returns true; returns whether one was accepted.
template <class Known, class Accept>
bool forEachParticleSplit(std::string_view key, Known known, Accept accept)
{
    for (const std::string_view particle : separableParticles) {
        if (key.size() < particle.size() + 4 || key.substr(0, particle.size()) != particle) {
            continue;
        }
        std::string_view rest = key.substr(particle.size());
        if (rest.substr(0, 2) == "zu" && known(rest.substr(2))) {
            rest.remove_prefix(2);
        }
        if (accept(particle, rest)) {
            return true;
        }
    }
    return false;
}

// Whether form is a diminutive of base: base plus "chen" or "lein", the base's last vowel with
// or without its umlaut and a final "e" dropped ("Kätzchen" of "Katze").
bool isDiminutiveOf(std::string_view form, std::string_view base, std::string *scratch);

class Lemmatiser
{
public:
    explicit Lemmatiser(const Vocabulary &vocabulary) : m_vocabulary(vocabulary) {}

    // The base entries that a token (its case-folded key) can be a form of, the likeliest
    // first; empty when none is known. capitalised: whether the token begins with a capital,
    // which is the one place where the case of a word decides between entries of one spelling:
    // a capital makes a noun the likelier reading, while small letters prove nothing, since
    // many type nouns in them.
    std::vector<Reading> readings(std::string_view key, bool capitalised) const;
    // The likeliest base entry, or npos.
    uint32_t baseOf(std::string_view key, bool capitalised) const;
    // The base entry that a word of the data, written as it is, stands for: of a known key
    // with two readings, the one its case fits ("Eiern" of "Ei", "eiern" the verb).
    uint32_t entryOfWritten(uint32_t key, bool capitalised) const;

    // Whether word (a key) is one of the forms of base (a key): an ending, an umlaut, a
    // diminutive. Only longer words qualify: "Koch" is no form of "kochen". Inline: a query asks
    // it of every word it meets, and most are told apart by their first letters.
    bool isFormOf(std::string_view word, std::string_view base) const
    {
        // No ending, umlaut or diminutive makes a word shorter. Forms by ending keep the first
        // two letters ("schnelle" of "schnell"). A diminutive ends in "n", adds at least three
        // letters ("Kätzchen" of "Katze") and keeps the first letter or marks it ("Äpfelchen");
        // most words are none, and are told so by these letters alone.
        if (word.size() <= base.size() || base.size() < 2) {
            return false;
        }
        if (word[0] == base[0] && word[1] == base[1] &&
            Inflection::isFormOf(word, base, &m_scratch)) {
            return true;
        }
        return word.size() >= base.size() + 3 && word.back() == 'n' &&
               (word[0] == base[0] || word[0] == '\xC3') && isDiminutiveOf(word, base, &m_scratch);
    }

private:
    // Whether the case fits the key's other reading better than its own base: "Sprache" stays
    // the language, though its small-letter reading "sprechen" is also a noun ("das Sprechen");
    // "Weine" is the plural of "Wein", though "weinen" is also a noun ("das Weinen").
    bool caseChoosesOther(uint32_t key, uint32_t other, bool capitalised) const;
    // Adds a base entry once; npos adds nothing.
    void addReading(std::vector<Reading> *readings, uint32_t base) const;
    // Adds the base entry of a key once; npos adds nothing.
    void addBaseOf(std::vector<Reading> *readings, uint32_t key) const;
    void readingsByRules(std::string_view key, std::vector<Reading> *readings) const;
    void separableReadings(std::string_view key, std::vector<Reading> *readings) const;

    const Vocabulary &m_vocabulary;
    mutable std::string m_scratch;
    mutable std::string m_verb;
};

} // namespace Language
