#include "query/wordfamily.h"

#include "index/lexicon.h"
#include "language/inflection.h"
#include "language/lemmatiser.h"
#include "language/writtencase.h"

#include <algorithm>
#include <string_view>

namespace WordFamily {

namespace {

bool endsWith(std::string_view text, std::string_view ending)
{
    return text.size() > ending.size() && text.substr(text.size() - ending.size()) == ending;
}

// A key's kind as a family member: noun or verb as the index states it; of a key that is a noun
// and more ("Essen", "glauben", "Weiß"), the one its shown word's case fits; OtherKind for the
// rest (adjectives have no verb of their stem).
Language::Kind familyKind(const Lexicon &lexicon, uint32_t key)
{
    const uint8_t kinds = lexicon.kindsOf(key);
    if ((kinds & Language::Noun) &&
        Language::readsAsNoun(lexicon.word(lexicon.wordOfKey(key)), kinds)) {
        return Language::Noun;
    }
    return (kinds & Language::Verb) ? Language::Verb : Language::OtherKind;
}

class Finder
{
public:
    Finder(const Lexicon &lexicon, Language::Kind want) : m_lexicon(lexicon), m_want(want) {}

    // The key if the lexicon has it as a base form of the wanted kind.
    uint32_t find(std::string_view text) const
    {
        const uint32_t key = m_lexicon.findKey(text);
        if (key == Lexicon::npos || m_lexicon.baseOf(key) != key) {
            return Lexicon::npos;
        }
        const uint32_t word = m_lexicon.wordOfKey(key);
        return m_lexicon.hasFlag(word, Lexicon::Displayable) &&
                       !m_lexicon.hasFlag(word, Lexicon::Stop) &&
                       familyKind(m_lexicon, key) == m_want
                   ? key
                   : Lexicon::npos;
    }

private:
    const Lexicon &m_lexicon;
    Language::Kind m_want;
};

uint32_t verbOf(const Finder &finder, std::string_view noun, std::string *scratch)
{
    // "Glaube" takes only an "n", "Heirat" an "en", "Traum" an umlaut too.
    const std::string_view ending =
        endsWith(noun, "e") || endsWith(noun, "el") || endsWith(noun, "er") ? "n" : "en";
    scratch->assign(noun).append(ending);
    uint32_t found = finder.find(*scratch);
    if (found == Lexicon::npos && ending == "en") {
        scratch->assign(noun);
        if (Inflection::withLastUmlaut(scratch)) {
            scratch->append(ending);
            found = finder.find(*scratch);
        }
    }
    return found;
}

uint32_t nounOf(const Finder &finder, std::string_view verb, std::string *scratch)
{
    if (endsWith(verb, "en") && verb.size() >= 5) {
        const std::string_view stem = verb.substr(0, verb.size() - 2);
        for (const std::string_view ending : {"", "e"}) {
            scratch->assign(stem).append(ending);
            const uint32_t found = finder.find(*scratch);
            if (found != Lexicon::npos) {
                return found;
            }
        }
        scratch->assign(stem);
        if (Inflection::withoutLastUmlaut(scratch)) {
            return finder.find(*scratch);
        }
    } else if (endsWith(verb, "eln") || endsWith(verb, "ern")) {
        return finder.find(verb.substr(0, verb.size() - 1));
    }
    return Lexicon::npos;
}

// Whether the co-occurring words of key name the other key (by the word shown for it, which
// is what those lists hold).
bool mentions(const Lexicon &lexicon, uint32_t key, uint32_t other)
{
    const Lexicon::Ids words = lexicon.cooccurrentsOf(key);
    return std::find(words.begin(), words.end(), lexicon.wordOfKey(other)) != words.end();
}

} // namespace

uint32_t partnerOf(const Lexicon &lexicon, uint32_t key, std::string *scratch)
{
    const Language::Kind kind = familyKind(lexicon, key);
    if (kind == Language::OtherKind) {
        return Lexicon::npos;
    }
    const bool noun = kind == Language::Noun;
    const std::string_view text = lexicon.key(key);
    const Finder finder(lexicon, noun ? Language::Verb : Language::Noun);
    const uint32_t partner = noun ? verbOf(finder, text, scratch) : nounOf(finder, text, scratch);
    // Letters alone make false pairs ("Wein" and "weinen", "Hut" and "hüten"); a noun and its
    // verb are used together.
    return partner != Lexicon::npos &&
                   (mentions(lexicon, key, partner) || mentions(lexicon, partner, key))
               ? partner
               : Lexicon::npos;
}

} // namespace WordFamily
