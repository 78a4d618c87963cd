#include "data/dictionaryreader.h"

#include "data/buildweights.h"
#include "data/englishbridge.h"
#include "data/lexiconbuilder.h"
#include "data/wordtokens.h"
#include "language/inflection.h"
#include "language/lemmatiser.h"
#include "language/termtext.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace DictionaryReader {

namespace {

enum class Kind
{
    Other,
    Noun,
    Verb,
    Adjective,
    Plural,
    // A preposition, conjunction, pronoun or article: a word of the closed classes.
    Closed,
};

struct Entry
{
    std::string_view word; // empty unless a single word with a grammar note
    Kind kind = Kind::Other;
    bool adverb = false; // an adjective of the dictionary's "adv"
    bool neuter = false; // a noun of the dictionary's "n", as every verb made noun is
};

template <class F> void forEachPart(std::string_view text, std::string_view separator, F f)
{
    while (true) {
        const size_t end = text.find(separator);
        f(text.substr(0, end));
        if (end == std::string_view::npos) {
            return;
        }
        text.remove_prefix(end + separator.size());
    }
}

// Labels of an old or rare use: such an alternative ("Tor {m} [poet.] [obs.]" among the words for
// a fool) says nothing of what the word goes with today.
constexpr std::string_view oldOrRareLabels[] = {"[obs.]", "[veraltet]", "[altertümlich]", "[poet.]",
                                                "[selten]"};

bool isOldOrRare(std::string_view alternative)
{
    return std::any_of(
        std::begin(oldOrRareLabels), std::end(oldOrRareLabels),
        [&](std::string_view label) { return alternative.find(label) != std::string_view::npos; });
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && s.front() == ' ') {
        s.remove_prefix(1);
    }
    while (!s.empty() && s.back() == ' ') {
        s.remove_suffix(1);
    }
    return s;
}

Kind kindOf(std::string_view tag)
{
    // "m", "f", "n", or a noun of two genders: "Jugendliche {m,f}", "Joghurt {m,n}".
    if (!tag.empty() && tag.find_first_not_of("mfn,") == std::string_view::npos) {
        return Kind::Noun;
    }
    if (tag == "vt" || tag == "vi" || tag == "vr" || tag == "v") {
        return Kind::Verb;
    }
    if (tag == "adj" || tag == "adv") {
        return Kind::Adjective;
    }
    static constexpr std::string_view closedTags[] = {"prp",   "conj", "pron",
                                                      "ppron", "art",  "relativ.pron"};
    for (const std::string_view closed : closedTags) {
        // "prp; +Gen.", "pron interrog": the class, then how it is used.
        if (tag.substr(0, closed.size()) == closed &&
            (tag.size() == closed.size() || tag[closed.size()] == ';' ||
             tag[closed.size()] == ' ')) {
            return Kind::Closed;
        }
    }
    return tag == "pl" ? Kind::Plural : Kind::Other;
}

// "etw. tragen", "jdm./etw. schaden", "sich freuen", "(kleinerer) Wald", "etw. (industriell)
// herstellen", "pennen [ugs.]": the word without the objects it takes, the words in brackets
// that narrow its meaning and the notes after it.
std::string_view bareWord(std::string_view words)
{
    static constexpr std::string_view objects[] = {"etw.", "jdn.", "jdm.", "jds.", "sich"};
    // "pennen [Norddt.] [ugs.]", "pennen (übernachten)": notes after the word.
    while (!words.empty() && (words.back() == ']' || words.back() == ')')) {
        const size_t open = words.find_last_of(words.back() == ']' ? '[' : '(');
        if (open == std::string_view::npos || open == 0) {
            break;
        }
        words = trimmed(words.substr(0, open));
    }
    while (true) {
        const size_t close = words.find(')');
        if (!words.empty() && words.front() == '(' && close != std::string_view::npos) {
            words = trimmed(words.substr(close + 1));
            continue;
        }
        const size_t space = words.find(' ');
        if (space == std::string_view::npos) {
            return words;
        }
        bool isObject = true;
        forEachPart(words.substr(0, space), "/", [&](std::string_view part) {
            isObject = isObject &&
                       std::find(std::begin(objects), std::end(objects), part) != std::end(objects);
        });
        if (!isObject) {
            return words;
        }
        words = trimmed(words.substr(space + 1));
    }
}

uint8_t kindsOf(Kind kind)
{
    switch (kind) {
    case Kind::Noun:
    case Kind::Plural:
        return Language::Noun;
    case Kind::Verb:
        return Language::Verb;
    case Kind::Adjective:
        return Language::Adjective;
    case Kind::Other:
    case Kind::Closed:
        break;
    }
    return Language::OtherKind;
}

// "Sicherheits…" or "Sicherheits-": the first part of compounds.
bool isFirstPart(std::string_view word)
{
    return word.find("\u2026") != std::string_view::npos || word.back() == '-';
}

// "Haus {n}" gives Haus as a noun; "ein Haus {n}" or "Haus" give nothing.
Entry entryOf(std::string_view alternative)
{
    const size_t brace = alternative.find(" {");
    const size_t close = alternative.find('}', brace);
    if (brace == std::string_view::npos || close == std::string_view::npos) {
        return {};
    }
    const std::string_view word = bareWord(trimmed(alternative.substr(0, brace)));
    if (word.empty() || word.find_first_of(" ()/.") != std::string_view::npos) {
        return {};
    }
    const std::string_view tag = alternative.substr(brace + 2, close - brace - 2);
    const Kind kind = kindOf(tag);
    // "Sicherheits… {adj}" names the first part of compounds, not a word; its grammar still
    // holds for the alternatives before it.
    if (isFirstPart(word)) {
        return {{}, kind, tag == "adv", tag == "n"};
    }
    return {word, kind, tag == "adv", tag == "n"};
}

// The forms a verb or adjective line lists right after its headword: "laufend", "er/sie
// läuft", "ich/er/sie lief", "er/sie ist/war gelaufen", "am schönsten", "lauf!". Their last word
// is a form (an imperative without its mark, as texts write it within a sentence); anything
// longer ends the list.
bool formOfPart(std::string_view part, std::string_view *form)
{
    static constexpr std::string_view leaders[] = {
        "ich",        "du",           "er",         "sie",          "es",        "wir",
        "ihr",        "er/sie",       "ich/er/sie", "ist/war",      "hat/hatte", "am",
        "sind/waren", "haben/hatten", "er/sie/es",  "ich/er/sie/es"};
    std::vector<std::string_view> words;
    forEachPart(trimmed(part), " ", [&](std::string_view w) { words.push_back(w); });
    if (words.empty() || words.size() > 4 ||
        part.find_first_of("{([.;,") != std::string_view::npos) {
        return false;
    }
    for (size_t i = 0; i + 1 < words.size(); ++i) {
        bool leader = false;
        for (const std::string_view l : leaders) {
            leader = leader || words[i] == l;
        }
        if (!leader) {
            return false;
        }
    }
    *form = words.back();
    if (form->size() > 1 && form->back() == '!') {
        form->remove_suffix(1);
    }
    return true;
}

// Whether plural is a form of noun by its ending and umlaut: "Köpfe" of "Kopf".
bool isPluralOf(std::string_view plural, std::string_view noun)
{
    std::string scratch;
    return Inflection::isFormOf(TermText::lookupKey(plural), TermText::lookupKey(noun), &scratch);
}

// Pairs the plurals with the nouns before them: one for each, or where their numbers differ
// ("Kopf {m}; Haupt {n} [poet.] | Köpfe {pl}"), each with the noun it is a form of.
void addPlurals(const std::vector<Entry> &nouns, const std::vector<Entry> &plurals,
                LexiconBuilder *builder)
{
    const bool oneEach = nouns.size() == plurals.size();
    for (size_t i = 0; i < plurals.size(); ++i) {
        if (plurals[i].word.empty()) {
            continue;
        }
        for (size_t n = oneEach ? i : 0; n < (oneEach ? i + 1 : nouns.size()); ++n) {
            if (nouns[n].kind == Kind::Noun && !nouns[n].word.empty() &&
                (oneEach || isPluralOf(plurals[i].word, nouns[n].word))) {
                builder->addForm(plurals[i].word, nouns[n].word, kindsOf(Kind::Noun));
                break;
            }
        }
    }
}

// "anlässlich {prp; +Gen.}": a grammar note that the separator of alternatives cut in two is
// made whole again. The alternatives are views of one text, so the two are joined by extending
// the first to the end of the second.
void joinGrammarNotes(std::vector<std::string_view> *alternatives)
{
    std::vector<std::string_view> &a = *alternatives;
    for (size_t i = 0; i + 1 < a.size();) {
        const size_t open = a[i].rfind('{');
        if (open == std::string_view::npos || a[i].find('}', open) != std::string_view::npos) {
            ++i;
            continue;
        }
        a[i] =
            std::string_view(a[i].data(), size_t(a[i + 1].data() + a[i + 1].size() - a[i].data()));
        a.erase(a.begin() + std::ptrdiff_t(i) + 1);
    }
}

// The entries of one part of a line, one for each of its alternatives (kept in *alternatives).
std::vector<Entry> entriesOfPart(std::string_view part, std::vector<std::string_view> *alternatives)
{
    forEachPart(part, "; ", [&](std::string_view a) { alternatives->push_back(a); });
    joinGrammarNotes(alternatives);
    std::vector<Entry> entries;
    for (const std::string_view a : *alternatives) {
        entries.push_back(entryOf(a));
    }
    // "teuer; kostspielig {adj}": the grammar at the end is that of every alternative.
    for (size_t i = 0; i + 1 < entries.size(); ++i) {
        const std::string_view word = bareWord(trimmed((*alternatives)[i]));
        if (entries[i].word.empty() && !word.empty() &&
            word.find_first_of(" ()/.{[") == std::string_view::npos && !isFirstPart(word)) {
            entries[i] = {word, entries.back().kind, entries.back().adverb};
        }
    }
    return entries;
}

void addEntries(const std::vector<Entry> &entries, LexiconBuilder *builder)
{
    for (const Entry &e : entries) {
        if (e.word.empty()) {
            continue;
        }
        if (e.kind == Kind::Noun || e.kind == Kind::Verb || e.kind == Kind::Adjective) {
            builder->addHeadword(e.word, kindsOf(e.kind), e.neuter);
        }
        // An adverb may be either: "sobald" is one, "bald" another.
        if (e.kind == Kind::Closed || (e.kind != Kind::Other && !e.adverb)) {
            builder->addWordClass(e.word, e.kind == Kind::Closed);
        }
    }
}

void readLine(std::string_view german, LexiconBuilder *builder,
              std::vector<std::string_view> *tokens, const Labels &labels)
{
    std::vector<std::string_view> parts;
    forEachPart(german, " | ", [&](std::string_view p) { parts.push_back(p); });
    std::vector<Entry> previous;
    bool inForms = true; // still right after the headword
    for (size_t p = 0; p < parts.size(); ++p) {
        std::vector<std::string_view> alternatives;
        std::vector<Entry> entries = entriesOfPart(parts[p], &alternatives);
        const bool allPlural = std::all_of(entries.begin(), entries.end(),
                                           [](const Entry &e) { return e.kind == Kind::Plural; });
        if (allPlural && !previous.empty()) {
            addPlurals(previous, entries, builder);
            continue;
        }
        // Forms of verbs and adjectives, one for each alternative: "teurer; kostspieliger".
        const Kind headKind = previous.empty() ? Kind::Other : previous[0].kind;
        std::vector<std::string_view> forms(alternatives.size());
        bool allForms = p > 0 && inForms &&
                        (alternatives.size() == previous.size() || alternatives.size() == 1) &&
                        (headKind == Kind::Verb || headKind == Kind::Adjective);
        for (size_t i = 0; allForms && i < alternatives.size(); ++i) {
            allForms = formOfPart(alternatives[i], &forms[i]);
        }
        if (allForms) {
            for (size_t i = 0; i < forms.size(); ++i) {
                if (!previous[i].word.empty()) {
                    builder->addForm(forms[i], previous[i].word, kindsOf(previous[i].kind));
                }
            }
            continue;
        }
        inForms = p == 0;
        addEntries(entries, builder);
        previous = std::move(entries);
    }
    std::vector<std::string_view> notes;
    documentWords(german, tokens, &notes, &labels);
    const size_t firstNote = tokens->size();
    tokens->insert(tokens->end(), notes.begin(), notes.end());
    if (!tokens->empty()) {
        builder->addDictionaryLine(*tokens, firstNote, BuildWeights::dictionaryLine);
    }
}

// "Aufnahmeleiter {m} (Film, TV, Radio)": the subjects that a note after the grammar names, one
// word each, or nothing where no such note stands. A longer note explains the word and is part
// of its text.
std::string_view subjectNote(std::string_view alternative)
{
    const size_t open = alternative.find("} (");
    const size_t close = alternative.find(')', open);
    if (open == std::string_view::npos || close == std::string_view::npos) {
        return {};
    }
    const std::string_view note = alternative.substr(open + 3, close - open - 3);
    bool oneWordEach = !note.empty() && note.find('(') == std::string_view::npos;
    forEachPart(note, ", ", [&](std::string_view subject) {
        oneWordEach =
            oneWordEach && !subject.empty() && subject.find(' ') == std::string_view::npos;
    });
    return oneWordEach ? note : std::string_view();
}

// Pairs each German entry with its English translation, where the line gives one for each.
void bridgeLine(std::string_view german, std::string_view english, EnglishBridge *bridge)
{
    std::vector<std::string_view> germanParts;
    std::vector<std::string_view> englishParts;
    forEachPart(german, " | ", [&](std::string_view p) { germanParts.push_back(p); });
    forEachPart(english, " | ", [&](std::string_view p) { englishParts.push_back(p); });
    if (germanParts.size() != englishParts.size()) {
        return;
    }
    for (size_t i = 0; i < germanParts.size(); ++i) {
        bridge->addEntry(germanParts[i], englishParts[i]);
    }
    bridge->endLine();
}

// The words of text, without the notes in it that are labels.
void splitOutsideLabels(std::string_view text, const Labels *labels,
                        std::vector<std::string_view> *tokens)
{
    size_t from = 0;
    for (size_t open = text.find('('); labels != nullptr && open != std::string_view::npos;
         open = text.find('(', open + 1)) {
        const size_t close = text.find(')', open);
        if (close == std::string_view::npos) {
            break;
        }
        if (labels->count(text.substr(open + 1, close - open - 1)) != 0) {
            WordTokens::split(text.substr(from, open - from), tokens);
            from = close + 1;
        }
    }
    WordTokens::split(text.substr(from), tokens);
}

} // namespace

void documentWords(std::string_view german, std::vector<std::string_view> *tokens,
                   std::vector<std::string_view> *notes, const Labels *labels)
{
    tokens->clear();
    if (notes != nullptr) {
        notes->clear();
    }
    forEachPart(german, " | ", [&](std::string_view part) {
        forEachPart(part, "; ", [&](std::string_view alternative) {
            if (isOldOrRare(alternative)) {
                return;
            }
            const std::string_view note = subjectNote(alternative);
            if (notes == nullptr || note.empty()) {
                splitOutsideLabels(alternative, labels, tokens);
                return;
            }
            const size_t at = size_t(note.data() - alternative.data());
            splitOutsideLabels(alternative.substr(0, at), labels, tokens);
            WordTokens::split(note, notes);
            splitOutsideLabels(alternative.substr(at + note.size()), labels, tokens);
        });
    });
}

Labels findLabels(std::string_view data)
{
    constexpr uint32_t labelLines = 100;
    std::unordered_map<std::string_view, uint32_t> count;
    Labels labels;
    while (!data.empty()) {
        const std::string_view line = WordTokens::takeLine(&data);
        const std::string_view german = line.substr(0, line.find(" :: "));
        for (size_t open = german.find('('); open != std::string_view::npos;
             open = german.find('(', open + 1)) {
            const size_t close = german.find(')', open);
            if (close == std::string_view::npos) {
                break;
            }
            const std::string_view note = german.substr(open + 1, close - open - 1);
            if (++count[note] == labelLines) {
                labels.insert(note);
            }
        }
    }
    return labels;
}

void read(const QByteArray &data, LexiconBuilder *builder)
{
    std::string_view rest(data.constData(), size_t(data.size()));
    const Labels labels = findLabels(rest);
    std::vector<std::string_view> tokens;
    EnglishBridge bridge(builder);
    while (!rest.empty()) {
        const std::string_view line = WordTokens::takeLine(&rest);
        const size_t arrow = line.find(" :: ");
        if (line.empty() || line.front() == '#' || arrow == std::string_view::npos) {
            continue;
        }
        readLine(line.substr(0, arrow), builder, &tokens, labels);
        bridgeLine(line.substr(0, arrow), line.substr(arrow + 4), &bridge);
    }
    bridge.addDocuments();
}

} // namespace DictionaryReader
