#pragma once

#include <string>
#include <string_view>
#include <vector>

// German inflection by endings, as far as lookup keys need it: which keys are other forms of
// which. Irregular forms (Häuser, läuft) come from the dictionary instead.
namespace Inflection {

// Endings of case, number and comparison after a noun or adjective: "Baum" gives "Baumes",
// "klein" gives "kleinen" and "kleiner". Longest first.
inline constexpr std::string_view nounEndings[] = {"sten", "stem", "ster", "stes", "ens", "nen",
                                                   "ses",  "ste",  "em",   "en",   "er",  "es",
                                                   "ns",   "se",   "st",   "e",    "n",   "s"};
// Endings of conjugated verb forms and present participles after the stem of an infinitive
// ("kochte", "kochend" from "kochen"). Longest first.
inline constexpr std::string_view verbEndings[] = {
    "enden", "ender", "endes", "endem", "eten", "ende", "test", "tet", "ete",
    "end",   "ten",   "est",   "te",    "st",   "et",   "t",    "e"};

// Linking elements between the parts of a compound ("Liebesbrief", "Eierbecher"). Longest first.
inline constexpr std::string_view linkingElements[] = {"es", "en", "er", "s", "n", "e"};

// Endings that come with an umlaut in the stem. Longest first.
inline constexpr std::string_view umlautEndings[] = {"ern", "er", "en", "e", "n", ""};

// Replaces the last ä, ö or ü of a UTF-8 key by its plain vowel; false when there is none.
bool withoutLastUmlaut(std::string *key);

// Marks the last a, o, u or au of a key with an umlaut ("traum" gives "träum"); false when it
// has none of them.
bool withLastUmlaut(std::string *key);

// Whether form is base plus an ending, or a conjugated form of the infinitive base.
bool isFormOf(std::string_view form, std::string_view base, std::string *scratch);
// Every base that isFormOf(form, base, ...) accepts: one form asked against many words reads its
// endings once.
std::vector<std::string> basesOf(std::string_view form);

// Calls accept(candidate) with each key that key could be a form of, until it returns true;
// returns whether one was accepted. Candidates keep at least two characters. Verb endings are
// tried only when verbs is set: nouns are capitalised, so "Baumkrone" is no form of
// "baumkronen".
template <class Accept>
bool forEachReduction(std::string_view key, std::string *scratch, Accept accept, bool verbs = true)
{
    for (const std::string_view ending : nounEndings) {
        if (key.size() >= ending.size() + 2 && key.substr(key.size() - ending.size()) == ending &&
            accept(key.substr(0, key.size() - ending.size()))) {
            return true;
        }
    }
    // Plurals and comparatives that also mark the last vowel: "Wälder", "Bäume", "Äpfel",
    // "wärmer".
    const bool umlaut = key.find('\xC3') != std::string_view::npos;
    for (const std::string_view ending : umlautEndings) {
        if (!umlaut || key.size() < ending.size() + 3 ||
            key.substr(key.size() - ending.size()) != ending) {
            continue;
        }
        scratch->assign(key.substr(0, key.size() - ending.size()));
        if (withoutLastUmlaut(scratch) && accept(std::string_view(*scratch))) {
            return true;
        }
    }
    for (const std::string_view ending : verbEndings) {
        if (!verbs || key.size() < ending.size() + 2 ||
            key.substr(key.size() - ending.size()) != ending) {
            continue;
        }
        scratch->assign(key.substr(0, key.size() - ending.size()));
        scratch->append("en");
        if (accept(std::string_view(*scratch))) {
            return true;
        }
        scratch->pop_back();
        scratch->back() = 'n';
        if (accept(std::string_view(*scratch))) {
            return true;
        }
    }
    return false;
}

} // namespace Inflection
