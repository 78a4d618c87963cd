#include "language/lemmatiser.h"

#include "language/inflection.h"

#include <algorithm>

namespace Language {

namespace {

bool endsWith(std::string_view text, std::string_view ending)
{
    return text.size() > ending.size() && text.substr(text.size() - ending.size()) == ending;
}

} // namespace

bool isDiminutiveOf(std::string_view form, std::string_view base, std::string *scratch)
{
    if (base.size() < 2) {
        return false;
    }
    // "Katze" loses its "e" before the ending: "Kätzchen".
    if (endsWith(base, "e")) {
        base.remove_suffix(1);
    }
    for (const std::string_view ending : diminutiveEndings) {
        if (!endsWith(form, ending)) {
            continue;
        }
        const std::string_view stem = form.substr(0, form.size() - ending.size());
        if (stem == base) {
            return true;
        }
        scratch->assign(stem);
        if (Inflection::withoutLastUmlaut(scratch) && *scratch == base) {
            return true;
        }
    }
    return false;
}

std::vector<Reading> Lemmatiser::readings(std::string_view key, bool capitalised) const
{
    std::vector<Reading> found;
    if (key.empty()) {
        return found;
    }
    const uint32_t known = m_vocabulary.find(key);
    if (known == Vocabulary::npos) {
        readingsByRules(key, &found);
        if (capitalised) {
            std::stable_partition(found.begin(), found.end(),
                                  [](const Reading &r) { return caseFit(true, r.kinds) > 0; });
        }
        return found;
    }
    // A key's other reading is that of its words in the other case: a typed capital makes the
    // noun the likelier, while small letters prove nothing, since many type nouns in them.
    const uint32_t other = m_vocabulary.otherReadingOf(known);
    const bool otherFirst = capitalised && caseChoosesOther(known, other, true);
    if (otherFirst) {
        addReading(&found, other);
    }
    addReading(&found, m_vocabulary.baseOf(known));
    addReading(&found, other);
    return found;
}

uint32_t Lemmatiser::baseOf(std::string_view key, bool capitalised) const
{
    const std::vector<Reading> found = readings(key, capitalised);
    return found.empty() ? Vocabulary::npos : found.front().base;
}

uint32_t Lemmatiser::entryOfWritten(uint32_t key, bool capitalised) const
{
    // The data's words are written as they are meant, so small letters count here too.
    const uint32_t other = m_vocabulary.otherReadingOf(key);
    return caseChoosesOther(key, other, capitalised) ? other : m_vocabulary.baseOf(key);
}

bool Lemmatiser::caseChoosesOther(uint32_t key, uint32_t other, bool capitalised) const
{
    return other != Vocabulary::npos &&
           caseFit(capitalised, m_vocabulary.kindsOf(other)) >
               caseFit(capitalised, m_vocabulary.kindsOf(m_vocabulary.baseOf(key)));
}

void Lemmatiser::addReading(std::vector<Reading> *readings, uint32_t base) const
{
    if (base == Vocabulary::npos) {
        return;
    }
    const bool seen = std::any_of(readings->begin(), readings->end(),
                                  [&](const Reading &r) { return r.base == base; });
    if (!seen) {
        readings->push_back({base, m_vocabulary.kindsOf(base)});
    }
}

void Lemmatiser::addBaseOf(std::vector<Reading> *readings, uint32_t key) const
{
    if (key != Vocabulary::npos) {
        addReading(readings, m_vocabulary.baseOf(key));
    }
}

// An unknown token: the words it is a form of by its ending, as a separable verb with its
// particle in front, or as a diminutive.
void Lemmatiser::readingsByRules(std::string_view key, std::vector<Reading> *readings) const
{
    std::string scratch;
    Inflection::forEachReduction(key, &scratch, [&](std::string_view candidate) {
        addBaseOf(readings, m_vocabulary.find(candidate));
        return false;
    });
    separableReadings(key, readings);
    for (const std::string_view ending : diminutiveEndings) {
        if (!endsWith(key, ending) || key.size() < ending.size() + 2) {
            continue;
        }
        const std::string stem(key.substr(0, key.size() - ending.size()));
        for (std::string candidate : {stem, stem + "e"}) {
            addBaseOf(readings, m_vocabulary.find(candidate));
            if (Inflection::withoutLastUmlaut(&candidate)) {
                addBaseOf(readings, m_vocabulary.find(candidate));
            }
        }
    }
}

// "ausgibt" is a form of "ausgeben" as "gibt" is of "geben"; "mitzutragen" of "mittragen".
void Lemmatiser::separableReadings(std::string_view key, std::vector<Reading> *readings) const
{
    const auto known = [&](std::string_view text) {
        return m_vocabulary.find(text) != Vocabulary::npos;
    };
    forEachParticleSplit(key, known, [&](std::string_view particle, std::string_view rest) {
        const uint32_t form = m_vocabulary.find(rest);
        if (form == Vocabulary::npos) {
            return false;
        }
        const uint32_t verb = m_vocabulary.baseOf(form);
        if (!(m_vocabulary.kindsOf(verb) & Verb)) {
            return false;
        }
        // The verb's key is its infinitive; with the particle it must be a verb of its own.
        m_verb.clear();
        m_verb.append(particle);
        m_verb.append(m_vocabulary.key(verb));
        const uint32_t whole = m_vocabulary.find(m_verb);
        if (whole != Vocabulary::npos &&
            (m_vocabulary.kindsOf(m_vocabulary.baseOf(whole)) & Verb)) {
            addBaseOf(readings, whole);
            return true;
        }
        return false;
    });
}

} // namespace Language
