#include "query/associator.h"

#include "index/lexicon.h"
#include "language/inflection.h"
#include "language/lemmatiser.h"
#include "language/lexiconvocabulary.h"
#include "language/writtencase.h"
#include "query/associationcache.h"
#include "query/wordfamily.h"
#include "query/wordtable.h"

#include <QByteArray>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numeric>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

std::string_view relationName(Relation relation)
{
    switch (relation) {
    case Relation::Synonym:
        return "synonym";
    case Relation::Broader:
        return "broader";
    case Relation::Narrower:
        return "narrower";
    case Relation::Compound:
        return "compound";
    case Relation::Neighbour:
        return "neighbour";
    case Relation::Cooccurrence:
        return "cooccurrence";
    }
    return "neighbour";
}

namespace {

// Reciprocal rank fusion: a word at rank r of a list gains weight / (k + r).
constexpr float fusionK = 60.0f;
constexpr float thesaurusWeight = 0.4f;
constexpr float cooccurrenceWeight = 1.0f;
// The words whose own cooccurrents name the keyword among their first. Where the keyword's texts
// name the word too, these are the same texts seen from the other side: the word gains from them
// no more than its place in the keyword's list earns, unless its own definition names the keyword.
// A rare word that a few texts pair with the keyword names it first merely for knowing little
// else ("angeschwemmt" of "Strand"). On the development lists, 7 labelled junk words and 18 good
// ones left the first ten, 2 junk and 28 good came in; of the first fifty, 18 junk and 8 good
// left, 17 junk and 8 good came. With definitions held to it as well, 26 good words left the
// first fifty, 18 of them words whose definitions name the keyword ("Huf" of "Pferd").
constexpr float backlinkWeight = 1.0f;
// The cooccurrents that a single document brings.
constexpr float singleDocumentWeight = 0.3f;
// A word the keyword's texts name, that does not name the keyword, keeps this share.
constexpr float oneWayShare = 0.5f;
// A word that only the keyword's texts bring, from either side, has one kind of evidence: the
// same documents seen twice. What it keeps above oneWayShare halves when it names the keyword
// this many places down its own list: a word that goes with the keyword names it among its
// first, as a word that the keyword's examples merely mention does not.
constexpr float textsOnlyHalfway = 8.0f;
// The length of a full list of cooccurrents, as the index keeps them: the keyword at its end is
// as good as not named.
constexpr float fullList = 200.0f;
// A word that nothing bears out, where the data knows too little to leave it out, keeps this.
constexpr float unsupportedShare = 0.01f;
// The spread (lists of cooccurrents a word stands in) at which a word's score is divided by the
// square root of two; a word in every list of the data keeps a tenth or so. With the class
// nouns of definitions and the repeated examples of one line out of the lists, other common
// words take their places: a stronger discount keeps them out.
constexpr float spreadScale = 900.0f;
constexpr float compoundWeight = 0.3f;
constexpr float neighbourWeight = 0.3f;
// The words that share phrases with the keyword's closest associates. These are texts again,
// at one remove, and a word that goes with everything stands in all of them: they weigh less
// than the keyword's own neighbours and compounds.
constexpr float secondOrderWeight = 0.2f;
constexpr size_t secondOrderSources = 4;
constexpr float headWeight = 0.2f;
// The first associates whose verb or noun joins them, with this share of their score.
constexpr size_t familySources = 40;
constexpr float familyShare = 0.5f;
// Multi-word phrases read badly as keywords: at most this many among the first places.
constexpr int phrasesAtTop = 2;
constexpr size_t topPlaces = 30;
// The places before which a word that one document may bring does not stand.
constexpr size_t namedBackFrom = 50;
// A word that only loose texts pair with the keyword, its own and its associates', keeps a place
// among the first ones that its score earns: there stand the words that many such texts pair
// ("Feuerwehr" of "Polizei"). Further down, such words are mostly those that go with anything
// ("Mensch", "leben"), and follow the first fifty places. Measured on the development lists and
// everyday keywords: left anywhere, the words that go with anything took 1.3% of the top 50;
// moved behind from any place, 1.1%, and nine good words left the first ten; from the 21st, 0.9%.
constexpr size_t looseFirstPlaces = 20;
// A word that only texts bring follows the first fifty places where its own list names the keyword
// nowhere, or where neither side ranks the other among its first: these places of the keyword's
// texts, the first few of the word's own. A word that goes with the keyword stands high on at
// least one side. Of such words in the labelled development lists, 76 were junk and 13 good. With
// the first kind left in, words that go with anything took the places of the others: 1.3% of
// everyday keywords' top 50 against 0.9%.
constexpr size_t keywordFirstPlaces = 60;
constexpr int wordFirstPlaces = 5;
// It follows them too where the two sides, taken together, rank each other below the first
// twenty: where the product of its two places (from 1) passes the square of this one. Middling
// places on both sides say as little as a late one on one side: each word goes with many others
// before the other. On the development lists, at the middle of the first fifty (25) 63 labelled
// junk words and 15 good ones left the first fifty places; at 20, 10 junk and 1 good more left
// with those that took their places; at 15 junk came into the first ten.
constexpr float sharedPlace = 20.0f;
// A word that only the keyword's own texts bring, seconded by no other kind of evidence, not even
// the texts of its associates or its own definition, needs the two sides closer: the square of
// this one. On the development lists, at 15, 29 labelled junk words and 18 good ones left the first
// fifty; 13 junk and 13 good came in with those that took their places. Once the words that their
// definitions tie to the keyword were no longer among these (of the first fifty's words that texts
// alone bring, 10% of those were junk, 31% of the rest), at 12 46 junk, 11 good and 51 weak words
// more left, and 28 junk, 19 good and 37 weak came in.
constexpr float textsOnlyPlace = 12.0f;
constexpr size_t maxNeighbours = 200;
// The synonyms whose meanings give neighbours, the most common first.
constexpr size_t neighbourSources = 12;
// The words that a meaning brings when the keyword's texts do not bear it out.
constexpr uint8_t unsupportedMeaningWords = 2;
// Shares of a meaning's members are counted in thousandths; a meaning that the texts bear out
// less than a third as well as the best one counts as unsupported.
constexpr uint32_t supportScale = 1000;
constexpr uint32_t weakSenseRatio = 3;

std::string_view viewOf(const QByteArray &bytes)
{
    return std::string_view(bytes.constData(), size_t(bytes.size()));
}

// What may stand in an answer for one keyword: not the keyword in any of its forms, not a
// function word, nothing that cannot be shown.
class Admission
{
public:
    Admission(const Lexicon &lexicon, uint32_t typedKey, uint32_t baseKey)
        : m_lexicon(lexicon), m_typedKey(typedKey), m_baseKey(baseKey),
          m_typed(lexicon.key(typedKey)), m_base(lexicon.key(baseKey)), m_vocabulary(lexicon),
          m_lemmatiser(m_vocabulary)
    {}

    bool admits(uint32_t word) const
    {
        if (!m_lexicon.hasFlag(word, Lexicon::Displayable) ||
            m_lexicon.hasFlag(word, Lexicon::Stop)) {
            return false;
        }
        const uint32_t key = m_lexicon.keyOf(word);
        if (key == m_typedKey || key == m_baseKey || m_lexicon.baseOf(key) == m_baseKey) {
            return false;
        }
        const std::string_view text = m_lexicon.key(key);
        // Most keywords are typed in their base form: one reading of the forms does for both.
        return !isOwnForm(text, m_base) && (m_typedKey == m_baseKey || !isOwnForm(text, m_typed)) &&
               !isOwnSpelling(text) && !isShownAsOwnForm(word, key, text);
    }

private:
    // A word shown as the keyword's form though its key is another's: "Eiern" of "Ei", where
    // "eiern" (to wobble) is a verb. Such a form begins as the keyword does (umlauts come later).
    bool isShownAsOwnForm(uint32_t word, uint32_t key, std::string_view text) const
    {
        if (text.empty() || m_base.empty() || text[0] != m_base[0]) {
            return false;
        }
        return m_lemmatiser.entryOfWritten(
                   key, Language::writtenWithCapital(m_lexicon.word(word))) == m_baseKey;
    }

    // "Hoch-Zeit" is "Hochzeit" written with a hyphen, not a word that goes with it.
    bool isOwnSpelling(std::string_view word) const
    {
        if (word.find('-') == std::string_view::npos) {
            return false;
        }
        m_scratch.clear();
        for (const char c : word) {
            if (c != '-') {
                m_scratch.push_back(c);
            }
        }
        return m_scratch == m_base || m_scratch == m_typed;
    }

    // "schnelle" of "schnell", and the keyword's diminutives: "Sternchen" of "Stern".
    bool isOwnForm(std::string_view word, std::string_view keyword) const
    {
        return m_lemmatiser.isFormOf(word, keyword);
    }

    const Lexicon &m_lexicon;
    uint32_t m_typedKey;
    uint32_t m_baseKey;
    std::string_view m_typed;
    std::string_view m_base;
    Language::LexiconVocabulary m_vocabulary;
    Language::Lemmatiser m_lemmatiser;
    mutable std::string m_scratch;
};

// What a list's word says by itself. A word that only hints stands in the answer only when
// another list names it too: one document, or the texts of the keyword's associates, or a
// synonym's other meanings, are no proof that it goes with the keyword.
enum class Evidence : uint8_t
{
    Witness, // the thesaurus, the compounds, texts that more than one document brings
    Hint,
};

constexpr int notLookedUp = -2;

// Whether a list comes from the keyword's own texts, those of its associates, or another kind of
// evidence that can agree with them.
enum class Kind : uint8_t
{
    Texts,
    AssociatesTexts,
    // The heads of the keyword's compounds: the keyword makes words with them, which seconds what
    // its texts say of them, but backs no pair that the texts rank high on one side only.
    CompoundHeads,
    Other,
};

// How loosely the texts that bring a word pair it with the keyword: sayings, gatherings and
// definitions of other words pair all their words alike, not these two by choice.
enum class Looseness : uint8_t
{
    No,              // some other document pairs them, or the thesaurus or a compound links them
    OwnTexts,        // nothing but such texts of the keyword bring it
    AssociatesTexts, // and the texts of its associates
};

// The numbers first and the marks after them: a query copies a few thousand of these.
struct Candidate
{
    uint32_t word;
    float score = 0.0f;
    uint32_t list = 0;                   // the last list that scored it
    uint32_t base;                       // its base form's key
    int keywordAt = notLookedUp;         // where its own texts' list names the keyword, -1 nowhere
    uint32_t place = uint32_t(fullList); // in the keyword's texts' list, if it is there
    Relation relation;                   // from the first list that has the word
    bool witnessed = false;
    bool linked = false; // by the thesaurus or a compound, which go both ways
    uint8_t hints = 0;
    bool namedBack = false; // hinted at once, and its own texts name the keyword
    bool seconded = false;  // by a list that is not of the keyword's own texts
    bool backed = false;    // by a list that is not of texts
    Looseness loose = Looseness::No;
    bool texts = false;   // named by the keyword's texts or its associates'
    bool defined = false; // by its own definition, which names the keyword
};

// Where the list names the word, -1 nowhere. Most lists do not name it and are read to their
// end, some hundred of them in every query: where the processor can, sixteen entries are
// compared at a time, and only the block that holds the word is read one by one.
int placeIn(Lexicon::Ids list, uint32_t word)
{
    const uint32_t *from = list.first;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi32(int(word));
    const auto matches = [&](const uint32_t *at) {
        return _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i *>(at)), wanted);
    };
    for (; list.last - from >= 16; from += 16) {
        const __m128i any = _mm_or_si128(_mm_or_si128(matches(from), matches(from + 4)),
                                         _mm_or_si128(matches(from + 8), matches(from + 12)));
        if (_mm_movemask_epi8(any) != 0) {
            break;
        }
    }
#endif
    const uint32_t *at = std::find(from, list.last, word);
    return at == list.last ? -1 : int(at - list.first);
}

// The filter and the weighting both ask where the word's own list names the keyword; the
// list is searched once.
int keywordPlace(const Lexicon &lexicon, uint32_t keyword, Candidate *c)
{
    if (c->keywordAt == notLookedUp) {
        c->keywordAt = placeIn(lexicon.cooccurrentsOf(c->base), keyword);
    }
    return c->keywordAt;
}

bool isBorneOut(const Candidate &c)
{
    return c.witnessed || c.hints >= 2;
}

// Gathers the fused scores of the candidates, each word once.
class Fusion
{
public:
    Fusion(const Lexicon &lexicon, const Admission &admission)
        : m_lexicon(lexicon), m_admission(admission), m_index(1024), m_places(1024)
    {
        // Room for the candidates of most queries at once: growing copies them all.
        m_candidates.reserve(2048);
    }

    void addList(const std::vector<std::pair<uint32_t, Relation>> &list, float weight,
                 Evidence evidence = Evidence::Witness)
    {
        beginList(evidence);
        float rank = 1.0f;
        for (const auto &[word, relation] : list) {
            if (add(word, relation, weight / (fusionK + rank))) {
                rank += 1.0f;
            }
        }
    }
    // words: word numbers, Lexicon::Ids or a vector of them.
    template <class Words>
    void addList(const Words &list, Relation relation, float weight,
                 Evidence evidence = Evidence::Witness, Kind kind = Kind::Other)
    {
        beginList(evidence, kind);
        m_weight = weight;
        float rank = 1.0f;
        m_at = m_placeFrom;
        for (const uint32_t word : list) {
            if (add(word, relation, weight / (fusionK + rank))) {
                rank += 1.0f;
            }
            ++m_at;
        }
        m_placeFrom = noPlace;
        m_otherSide = false;
    }
    // The list added next is the keyword's texts' list from this place on: its words keep their
    // places in it.
    void placeNext(uint32_t first) { m_placeFrom = first; }
    // The list added next is the keyword's texts seen from the other side (see backlinkWeight).
    void otherSideNext(uint32_t keyword)
    {
        m_otherSide = true;
        m_keyword = keyword;
    }
    // Whether the word may enter, remembered for the word's next list.
    bool admits(uint32_t word) { return entryOf(word) != refused; }

    std::vector<Candidate> &candidates() { return m_candidates; }

    // Starts a list whose words are added one by one.
    void beginList(Evidence evidence, Kind kind = Kind::Other)
    {
        ++m_list;
        m_evidence = evidence;
        m_marks = {kind != Kind::Texts, kind == Kind::Other,
                   kind == Kind::Texts || kind == Kind::AssociatesTexts};
    }
    void addToList(uint32_t word, Relation relation, float gain) { add(word, relation, gain); }

private:
    // The word's entry in m_index, its admission decided the first time it is asked for.
    uint32_t &entryOf(uint32_t word)
    {
        bool added = false;
        uint32_t &index = m_index.at(word, admitted, &added);
        if (added && !m_admission.admits(word)) {
            index = refused;
        }
        return index;
    }

    bool add(uint32_t word, Relation relation, float gain)
    {
        uint32_t &index = entryOf(word);
        if (index == refused) {
            return false;
        }
        if (index == admitted) {
            bool added = false;
            // Forms of one word are one candidate ("Bulle" and "Bullen"), shown as the first
            // list names it.
            const uint32_t base = m_lexicon.baseOf(m_lexicon.keyOf(word));
            const uint32_t place = m_places.at(base, uint32_t(m_candidates.size()), &added);
            if (added) {
                Candidate candidate;
                candidate.word = word;
                candidate.base = base;
                candidate.relation = relation;
                m_candidates.push_back(candidate);
            }
            index = place; // m_index has not grown since: the reference still holds
        }
        Candidate &candidate = m_candidates[index];
        if (m_placeFrom != noPlace) {
            candidate.place = std::min(candidate.place, m_at);
        }
        if (candidate.list == m_list) {
            return false; // another form of a word this list has already named
        }
        candidate.list = m_list;
        if (m_otherSide && candidate.place < uint32_t(fullList) &&
            !m_lexicon.definitionNamesKey(m_keyword, candidate.place)) {
            gain = std::min(gain, m_weight / (fusionK + 1.0f + float(candidate.place)));
        }
        candidate.score += gain;
        candidate.seconded |= m_marks.seconds;
        candidate.backed |= m_marks.backs;
        candidate.texts |= m_marks.texts;
        candidate.linked = candidate.linked ||
                           (relation != Relation::Cooccurrence && relation != Relation::Neighbour);
        if (m_evidence == Evidence::Witness) {
            candidate.witnessed = true;
        } else if (candidate.hints < UINT8_MAX) {
            ++candidate.hints;
        }
        return true;
    }

    const Lexicon &m_lexicon;
    const Admission &m_admission;
    std::vector<Candidate> m_candidates;
    uint32_t m_list = 0; // the list being added
    Evidence m_evidence = Evidence::Witness;
    // What the list being added says of each of its words, read once for the list from its kind.
    struct Marks
    {
        bool seconds = true; // not the keyword's own texts
        bool backs = true;   // not texts at all
        bool texts = false;  // the keyword's texts or its associates'
    };
    Marks m_marks;
    static constexpr uint32_t noPlace = UINT32_MAX;
    uint32_t m_placeFrom = noPlace; // of the list being added, where it begins in the texts' list
    uint32_t m_at = 0;              // the place of the word being added
    float m_weight = 0.0f;          // of the list being added
    bool m_otherSide = false;       // see otherSideNext
    uint32_t m_keyword = 0;
    // Per word: its candidate's place, or whether it may enter.
    static constexpr uint32_t refused = UINT32_MAX;
    static constexpr uint32_t admitted = UINT32_MAX - 1; // in no list yet
    WordTable<uint32_t> m_index;
    WordTable<uint32_t> m_places; // the candidate's place, by base key
};

// Puts the first `count` elements in order, the rest after them in none: selecting them first
// is quicker than a partial sort when the list is long.
template <class T, class Less> void sortFirst(std::vector<T> *list, size_t count, Less less)
{
    const auto end = list->begin() + std::ptrdiff_t(count);
    if (count < list->size()) {
        std::nth_element(list->begin(), end, list->end(), less);
    }
    std::sort(list->begin(), end, less);
}

// A candidate's standing, small enough to move about cheaply: ordering the candidates themselves
// moved more bytes than it compared.
struct Standing
{
    // Higher scores first, equal ones by word number, so that an answer is the same every time:
    // both in one number, lower first, which compares at once.
    uint64_t rank;
    float score;
    uint32_t at; // in the candidates

    uint32_t word() const { return uint32_t(rank); }
};

// Orders floats as their bits order unsigned numbers; the scores, sums and products of positive
// weights, are never NaN.
uint32_t orderedBits(float score)
{
    uint32_t bits = 0;
    const float zero = 0.0f;
    std::memcpy(&bits, score == 0.0f ? &zero : &score, sizeof bits); // -0 ranks as 0
    return (bits & 0x80000000u) != 0 ? ~bits : bits | 0x80000000u;
}

Standing standingOf(const Candidate &c, size_t at)
{
    return {uint64_t(~orderedBits(c.score)) << 32 | c.word, c.score, uint32_t(at)};
}

std::vector<Standing> standings(const std::vector<Candidate> &candidates)
{
    std::vector<Standing> list;
    list.reserve(candidates.size());
    for (size_t i = 0; i < candidates.size(); ++i) {
        list.push_back(standingOf(candidates[i], i));
    }
    return list;
}

struct StandsBefore
{
    bool operator()(const Standing &a, const Standing &b) const { return a.rank < b.rank; }
};

// The best `count` candidates, best first, in one pass: where few are wanted of many, most are
// turned away by their score alone, set against the last one kept so far.
std::vector<Standing> bestFew(const std::vector<Candidate> &candidates, size_t count)
{
    std::vector<Standing> best;
    if (count == 0) {
        return best;
    }
    best.reserve(count + 1);
    for (size_t i = 0; i < candidates.size(); ++i) {
        if (best.size() == count && candidates[i].score < best.back().score) {
            continue;
        }
        const Standing standing = standingOf(candidates[i], i);
        best.insert(std::upper_bound(best.begin(), best.end(), standing, StandsBefore()), standing);
        if (best.size() > count) {
            best.pop_back();
        }
    }
    return best;
}

// The best `count` candidates first, in no order, then the rest.
std::vector<Standing> bestOf(const std::vector<Candidate> &candidates, size_t count)
{
    std::vector<Standing> list = standings(candidates);
    if (count < list.size()) {
        std::nth_element(list.begin(), list.begin() + std::ptrdiff_t(count), list.end(),
                         StandsBefore());
    }
    return list;
}

// The best `count` candidates first, best first, then the rest in no order.
std::vector<Standing> bestFirst(const std::vector<Candidate> &candidates, size_t count)
{
    std::vector<Standing> list = standings(candidates);
    sortFirst(&list, count, StandsBefore());
    return list;
}

// How far the keyword's own texts bear out each of its meanings: the share of its other members
// that are among the words it shares documents with, either way. A meaning of fifty words has
// a few of them in any keyword's texts by its size alone. A meaning borne out far less than the
// best is one whose sense the texts do not speak of. One each when the texts know none.
std::vector<uint32_t> meaningSupport(const Lexicon &lexicon, uint32_t key, uint32_t base)
{
    WordTable<bool> related(512);
    for (const Lexicon::Ids list : {lexicon.cooccurrentsOf(base), lexicon.backlinksOf(base)}) {
        for (const uint32_t word : list) {
            related.at(lexicon.baseOf(lexicon.keyOf(word)), true);
        }
    }
    std::vector<uint32_t> support;
    for (const uint32_t posting : lexicon.meaningsOf(key)) {
        uint32_t others = 0;
        uint32_t named = 0;
        for (const uint32_t m : lexicon.membersOf(Lexicon::idOf(posting))) {
            const uint32_t b = lexicon.baseOf(lexicon.keyOf(Lexicon::idOf(m)));
            others += b != base;
            named += b != base && related.find(b) != nullptr;
        }
        support.push_back(others == 0 ? 0 : named * supportScale / others);
    }
    const uint32_t best = support.empty() ? 0 : *std::max_element(support.begin(), support.end());
    if (best == 0) {
        support.assign(support.size(), 1);
        return support;
    }
    for (uint32_t &n : support) {
        n = n * weakSenseRatio < best ? 0 : n;
    }
    return support;
}

struct ThesaurusWord
{
    uint32_t word;
    Relation relation;
    uint32_t meaning; // the place of its first meaning among the keyword's
};

// The keyword's role in a meaning decides what the meaning's other words are to it.
void addMeaningWords(const Lexicon &lexicon, uint32_t posting, uint32_t meaning,
                     WordTable<bool> *seen, std::vector<ThesaurusWord> *words)
{
    const TermRole keywordRole = Lexicon::roleOf(posting);
    for (const uint32_t member : lexicon.membersOf(Lexicon::idOf(posting))) {
        const uint32_t word = Lexicon::idOf(member);
        const TermRole role = Lexicon::roleOf(member);
        // A word that shares the keyword's role in a broader or narrower meaning is nothing to
        // it there, and stays free for the meaning where it is a synonym.
        if (keywordRole != TermRole::Plain && role != TermRole::Plain) {
            continue;
        }
        bool added = false;
        seen->at(word, true, &added);
        if (!added) {
            continue;
        }
        if (keywordRole == TermRole::Plain) {
            words->push_back({word,
                              role == TermRole::Plain     ? Relation::Synonym
                              : role == TermRole::Broader ? Relation::Broader
                                                          : Relation::Narrower,
                              meaning});
        } else {
            // The keyword is marked broader here, so the meaning's own words are narrower.
            words->push_back(
                {word, keywordRole == TermRole::Broader ? Relation::Narrower : Relation::Broader,
                 meaning});
        }
    }
}

// The words of the keyword's meanings, those of the meanings its texts bear out best first:
// a word of two meanings counts as one of the better borne out.
std::vector<ThesaurusWord> meaningWords(const Lexicon &lexicon, uint32_t key,
                                        const std::vector<uint32_t> &support)
{
    std::vector<uint32_t> order(support.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(),
                     [&](uint32_t a, uint32_t b) { return support[a] > support[b]; });
    std::vector<ThesaurusWord> words;
    WordTable<bool> seen(256);
    const Lexicon::Ids postings = lexicon.meaningsOf(key);
    for (const uint32_t m : order) {
        addMeaningWords(lexicon, postings.first[m], m, &seen, &words);
    }
    return words;
}

// The common words come first; phrases and words with usage notes go after the plain ones.
std::vector<std::pair<uint32_t, Relation>> thesaurusWords(const Lexicon &lexicon, uint32_t key,
                                                          uint32_t base)
{
    const std::vector<uint32_t> support = meaningSupport(lexicon, key, base);
    const std::vector<ThesaurusWord> words = meaningWords(lexicon, key, support);
    // Sort keys read once per word, not once per comparison.
    struct Keyed
    {
        bool unsupported;
        bool demoted;
        uint32_t commonness;
        const ThesaurusWord *entry;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(words.size());
    for (const ThesaurusWord &entry : words) {
        const uint32_t word = entry.word;
        keyed.push_back(
            {support[entry.meaning] == 0,
             lexicon.hasFlag(word, Lexicon::Phrase) || lexicon.hasFlag(word, Lexicon::Marked),
             lexicon.commonness(lexicon.keyOf(word)), &entry});
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
        if (a.unsupported != b.unsupported) {
            return b.unsupported;
        }
        return a.demoted != b.demoted ? b.demoted : a.commonness > b.commonness;
    });
    // A meaning that nothing else bears out brings only its best known words.
    std::vector<uint8_t> taken(support.size(), 0);
    std::vector<std::pair<uint32_t, Relation>> result;
    for (const Keyed &k : keyed) {
        if (k.unsupported) {
            uint8_t &count = taken[k.entry->meaning];
            if (count == unsupportedMeaningWords) {
                continue;
            }
            ++count;
        }
        result.emplace_back(k.entry->word, k.entry->relation);
    }
    return result;
}

// Words that share a meaning with the synonyms, the more synonyms share them the closer, then
// the more common.
std::vector<std::pair<uint32_t, Relation>>
neighbours(const Lexicon &lexicon, const std::vector<std::pair<uint32_t, Relation>> &thesaurus,
           Fusion &fusion)
{
    struct Reach
    {
        uint32_t synonyms; // how many reach the word
        uint32_t last;     // the last one that did
    };
    WordTable<Reach> count(256);
    std::vector<uint32_t> reached; // in the order first reached
    std::vector<uint32_t> keysDone;
    for (const auto &[synonym, relation] : thesaurus) {
        const uint32_t key = lexicon.keyOf(synonym);
        if (relation != Relation::Synonym || keysDone.size() >= neighbourSources ||
            std::find(keysDone.begin(), keysDone.end(), key) != keysDone.end()) {
            continue;
        }
        keysDone.push_back(key);
        const uint32_t source = uint32_t(keysDone.size());
        for (const uint32_t posting : lexicon.meaningsOf(key)) {
            for (const uint32_t member : lexicon.membersOf(Lexicon::idOf(posting))) {
                const uint32_t word = Lexicon::idOf(member);
                bool added = false;
                Reach &reach = count.at(word, {0, 0}, &added);
                if (added) {
                    reached.push_back(word);
                }
                if (reach.last != source && fusion.admits(word)) {
                    reach.last = source;
                    ++reach.synonyms;
                }
            }
        }
    }
    struct Ranked
    {
        uint32_t word;
        uint32_t synonyms; // how many reach it
        uint32_t commonness;
    };
    std::vector<Ranked> ranked;
    for (const uint32_t word : reached) {
        const uint32_t synonyms = count.find(word)->synonyms;
        if (synonyms > 0) {
            ranked.push_back({word, synonyms, lexicon.commonness(lexicon.keyOf(word))});
        }
    }
    const size_t kept = std::min(ranked.size(), maxNeighbours);
    sortFirst(&ranked, kept, [](const Ranked &a, const Ranked &b) {
        if (a.synonyms != b.synonyms) {
            return a.synonyms > b.synonyms;
        }
        return a.commonness != b.commonness ? a.commonness > b.commonness : a.word < b.word;
    });
    std::vector<std::pair<uint32_t, Relation>> words;
    for (size_t i = 0; i < kept; ++i) {
        words.emplace_back(ranked[i].word, Relation::Neighbour);
    }
    return words;
}

// The key's cooccurrents that more than one document brings.
Lexicon::Ids witnessedCooccurrents(const Lexicon &lexicon, uint32_t key)
{
    const Lexicon::Ids all = lexicon.cooccurrentsOf(key);
    return {all.first,
            all.first + std::min<size_t>(all.size(), lexicon.witnessedCooccurrents(key))};
}

void addSecondOrder(const Lexicon &lexicon,
                    const std::vector<std::pair<uint32_t, Relation>> &thesaurus, uint32_t base,
                    Fusion *fusion)
{
    std::vector<uint32_t> sources;
    for (const uint32_t word : witnessedCooccurrents(lexicon, base)) {
        if (sources.size() >= secondOrderSources / 2) {
            break;
        }
        if (fusion->admits(word)) {
            sources.push_back(word);
        }
    }
    for (const auto &[word, relation] : thesaurus) {
        if (sources.size() >= secondOrderSources) {
            break;
        }
        if (relation == Relation::Synonym && !lexicon.hasFlag(word, Lexicon::Phrase) &&
            fusion->admits(word)) {
            sources.push_back(word);
        }
    }
    for (const uint32_t word : sources) {
        fusion->addList(witnessedCooccurrents(lexicon, lexicon.baseOf(lexicon.keyOf(word))),
                        Relation::Cooccurrence, secondOrderWeight, Evidence::Hint,
                        Kind::AssociatesTexts);
    }
}

// The heads of the keyword's compounds, as the index compiler cut them: a "Zahnbürste" and a
// "Zahnarzt" make "Bürste" and "Arzt" words that go with "Zahn". (The first parts of compounds
// that end in it only sort them: "Bergschuh", "Sportschuh".) An adjective or a verb in front says
// what kind of thing the head is, not what goes with it: "Kleingarten", "Schlafzeit".
std::vector<uint32_t> compoundHeads(const Lexicon &lexicon, uint32_t base, Fusion *fusion)
{
    std::vector<uint32_t> heads;
    if ((lexicon.kindsOf(base) & Language::Noun) == 0) {
        return heads;
    }
    for (const uint32_t compound : lexicon.compoundsOf(base)) {
        const Lexicon::CompoundCut cut = lexicon.cutOf(lexicon.keyOf(compound));
        if (cut.modifier != base || cut.head == Lexicon::npos) {
            continue;
        }
        const uint32_t head = lexicon.wordOfKey(cut.head);
        if (fusion->admits(head)) {
            heads.push_back(head);
        }
    }
    return heads;
}

// The verb of a noun among the first associates, and the noun of a verb, with a share of its
// score: "heiraten" beside "Heirat", "Glaube" beside "glauben".
void addWordFamilies(const Lexicon &lexicon, Fusion *fusion)
{
    // Standings, not the candidates: the list that this adds to grows meanwhile.
    const size_t count = std::min(fusion->candidates().size(), familySources);
    const std::vector<Standing> top = bestFew(fusion->candidates(), count);
    fusion->beginList(Evidence::Hint);
    std::string scratch;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t key = lexicon.baseOf(lexicon.keyOf(top[i].word()));
        const uint32_t partner = WordFamily::partnerOf(lexicon, key, &scratch);
        if (partner != Lexicon::npos) {
            fusion->addToList(lexicon.wordOfKey(partner), Relation::Neighbour,
                              top[i].score * familyShare);
        }
    }
}

// People answer a keyword with the words they use, so a common word goes before a rare one that
// the lists rank alike. The weight grows slowly: a list's order still counts for more.
float commonnessWeight(uint32_t commonness)
{
    return std::sqrt(std::log(2.0f + float(commonness)));
}

// A word that stands in many words' lists of cooccurrents says little about any one of them,
// as a word that every document uses says little about one document.
float specificity(uint32_t spread)
{
    return 1.0f / std::sqrt(1.0f + float(spread) / spreadScale);
}

void weighByCommonness(const Lexicon &lexicon, std::vector<Candidate> *candidates)
{
    // Most candidates are rare words: their weights are looked up rather than computed.
    static const std::array<float, 1024> weights = [] {
        std::array<float, 1024> table{};
        for (uint32_t c = 0; c < table.size(); ++c) {
            table[c] = commonnessWeight(c);
        }
        return table;
    }();
    for (Candidate &c : *candidates) {
        const uint32_t commonness = lexicon.commonness(c.base);
        c.score *= commonness < weights.size() ? weights[commonness] : commonnessWeight(commonness);
        c.score *= specificity(lexicon.spread(c.base));
    }
}

// The further down its own list the word names the keyword, the nearer it comes to one that
// does not name it: a word that goes with many names it among its last. The share falls slowly
// near the top, where a word's list still holds what it goes with.
float namedAt(float place)
{
    const float depth = place / fullList;
    return 1.0f - (1.0f - oneWayShare) * std::min(1.0f, depth * std::sqrt(depth));
}

// Where nothing but the keyword's texts speaks for a word, only its own first places do.
float namedAtTextsOnly(float place)
{
    return oneWayShare + (1.0f - oneWayShare) * textsOnlyHalfway / (textsOnlyHalfway + place);
}

// The candidates whose places in their own lists are looked up, best first: the answer, with
// room for the words that follow its first places. A word beyond them is weighed as one whose
// list does not name the keyword, so where words that go with anything fill much of the room, a
// word that names the keyword first, a little further down, would be lost to them. Measured on
// the development lists (twice the answer against three times): 18 labelled junk words and 7
// good ones left the first fifty, 5 junk, 4 good and 34 unlabelled came in; the query's time
// stayed as it was.
size_t placesLookedAt(size_t count)
{
    return count * 3 + topPlaces;
}

// A word that goes with the keyword names the keyword among its own cooccurrents; one that goes
// with everything does not, as it has room for only a few of them. Only the words that may still
// reach the answer are looked at.
void weighByMutuality(const Lexicon &lexicon, uint32_t base, size_t count,
                      std::vector<Candidate> *candidates)
{
    const size_t looked = std::min(candidates->size(), placesLookedAt(count));
    // Which ones are looked at matters here, not their order.
    const std::vector<Standing> best = bestOf(*candidates, looked);
    const uint32_t keyword = lexicon.wordOfKey(base);
    for (size_t i = 0; i < best.size(); ++i) {
        Candidate &c = (*candidates)[best[i].at];
        if (c.linked) {
            continue;
        }
        // A word that the texts do not use says nothing either way.
        const Lexicon::Ids own = lexicon.cooccurrentsOf(c.base);
        if (own.empty()) {
            continue;
        }
        const int at = i < looked ? keywordPlace(lexicon, keyword, &c) : -1;
        const float place = at < 0 ? fullList : float(at);
        c.score *= c.seconded || c.defined ? namedAt(place) : namedAtTextsOnly(place);
    }
}

// "Weihnacht" of "Weihnachten": a noun that the keyword, a noun and nothing else, is a form of
// by its ending is the keyword in the other number. It brings its words like any synonym, but
// is not shown. ("Schlaf" of "schlafen" is a word of its own, and so is "Spiel" of "Spieler":
// a noun in -er is mostly one who does something, not a plural.)
void leaveOutOtherNumber(const Lexicon &lexicon, uint32_t base, std::vector<Candidate> *candidates)
{
    const std::string_view keyword = lexicon.key(base);
    if (lexicon.kindsOf(base) != Language::Noun ||
        (keyword.size() > 2 && keyword.substr(keyword.size() - 2) == "er")) {
        return;
    }
    // The keyword's endings are read once, not once for each of the many candidates.
    const std::vector<std::string> bases = Inflection::basesOf(keyword);
    if (bases.empty()) {
        return;
    }
    const auto isOtherNumber = [&](const Candidate &c) {
        if ((lexicon.kindsOf(c.base) & Language::Noun) == 0) {
            return false;
        }
        const std::string_view text = lexicon.key(c.base);
        return std::find(bases.begin(), bases.end(), text) != bases.end();
    };
    candidates->erase(std::remove_if(candidates->begin(), candidates->end(), isOtherNumber),
                      candidates->end());
}

// Where more than one text speaks of the keyword, a word that nothing bears out is left out:
// the answer is short rather than filled with guesses, unless one document pairs them that
// both the keyword's texts and the word's own list, where it names the keyword, rank among
// their first (see keepBehind). Where no two texts do, what little the data knows is all
// there is, and such words go after the others.
void keepBorneOut(const Lexicon &lexicon, uint32_t base, Lexicon::Ids single, bool textsAgree,
                  std::vector<Candidate> *candidates)
{
    if (!textsAgree) {
        for (Candidate &c : *candidates) {
            c.score *= isBorneOut(c) ? 1.0f : unsupportedShare;
        }
        return;
    }
    const uint32_t keyword = lexicon.wordOfKey(base);
    std::vector<uint32_t> singles(single.begin(), single.end());
    std::sort(singles.begin(), singles.end());
    for (Candidate &c : *candidates) {
        if (!isBorneOut(c) && std::binary_search(singles.begin(), singles.end(), c.word)) {
            c.namedBack = keywordPlace(lexicon, keyword, &c) >= 0;
        }
    }
    candidates->erase(
        std::remove_if(candidates->begin(), candidates->end(),
                       [](const Candidate &c) { return !isBorneOut(c) && !c.namedBack; }),
        candidates->end());
}

// A word whose own definition names the keyword is tied to it by what the word is, which says more
// than texts that merely use both: the definition seconds the texts, however far down its own
// list the word names the keyword among all that its other texts pair with it ("Zwerg" of
// "klein", "Finanzamt" of "Steuer"). Of the labelled words of the development lists' first fifty
// that neither the thesaurus nor a compound links, 8% of those were junk, 22% of the others.
void markDefined(const Lexicon &lexicon, uint32_t base, std::vector<Candidate> *candidates)
{
    for (Candidate &c : *candidates) {
        c.defined = c.place < uint32_t(fullList) && lexicon.definitionNamesKey(base, c.place);
    }
}

// Of the words that only texts bring, those that the keyword's texts pair with it loosely.
void markLoose(const Lexicon &lexicon, uint32_t base, std::vector<Candidate> *candidates)
{
    const std::vector<uint32_t> loose = lexicon.looselyPairedOf(base);
    if (loose.empty()) {
        return;
    }
    WordTable<bool> bases(loose.size());
    for (const uint32_t word : loose) {
        bases.at(lexicon.baseOf(lexicon.keyOf(word)), true);
    }
    for (Candidate &c : *candidates) {
        if (!c.backed && !c.linked && bases.find(c.base) != nullptr) {
            c.loose = c.seconded ? Looseness::AssociatesTexts : Looseness::OwnTexts;
        }
    }
}

bool isOneSided(const Candidate &c)
{
    if (c.backed || c.linked || c.keywordAt == notLookedUp) {
        return false;
    }
    const float named = c.keywordAt < 0 ? fullList : float(c.keywordAt);
    const float bound = c.seconded ? sharedPlace : textsOnlyPlace;
    // A word whose definition names the keyword goes with it from its side, wherever its list,
    // so long as it names the keyword at all, puts it.
    return c.keywordAt == -1 ||
           (!c.defined && ((c.place >= keywordFirstPlaces && c.keywordAt >= wordFirstPlaces) ||
                           (float(c.place) + 1.0f) * (named + 1.0f) > bound * bound));
}

bool isSingleDocument(const Candidate &c)
{
    return c.namedBack && !isBorneOut(c);
}

// A word of the keyword's meanings that no text names with the keyword nor with its associates:
// mostly a rare or regional word for it, or one of a sense that the texts do not speak of.
bool isThesaurusOnly(const Candidate &c)
{
    return !c.texts && (c.relation == Relation::Synonym || c.relation == Relation::Broader ||
                        c.relation == Relation::Narrower);
}

// One document is no proof, nor are loose texts, nor texts that rank a pair high on neither side,
// nor the thesaurus that no text bears out: a word linked from both sides by no more, or brought
// by such evidence alone, stands behind the first places that better borne-out words fill. Where
// not even the others fill them, a single document's words are left out: where the data knows
// little, the rest is what it knows.
void keepBehind(std::vector<Candidate> *candidates)
{
    std::vector<Candidate> kept;
    std::vector<Candidate> behind;
    kept.reserve(candidates->size());
    behind.reserve(candidates->size());
    for (size_t i = 0; i < candidates->size(); ++i) {
        const Candidate &c = (*candidates)[i];
        const bool late = isSingleDocument(c) || c.loose == Looseness::OwnTexts ||
                          (i >= looseFirstPlaces &&
                           (c.loose == Looseness::AssociatesTexts || isThesaurusOnly(c))) ||
                          isOneSided(c);
        (late && kept.size() < namedBackFrom ? behind : kept).push_back(c);
        if (kept.size() == namedBackFrom) {
            kept.insert(kept.end(), behind.begin(), behind.end());
            behind.clear();
        }
    }
    std::vector<Candidate> single;
    for (const Candidate &c : behind) {
        (isSingleDocument(c) ? single : kept).push_back(c);
    }
    if (kept.size() >= namedBackFrom) {
        kept.insert(kept.end(), single.begin(), single.end());
    }
    candidates->swap(kept);
}

// Moves phrases beyond the allowed few out of the first places, keeping the order otherwise,
// and makes the scores fall along the result.
std::vector<Association> finalOrder(const Lexicon &lexicon,
                                    const std::vector<Candidate> &candidates, size_t count)
{
    // Only the first places are needed, with room for the words moved down: as many as were
    // weighed by their own lists. A shorter window that such words fill holds fewer than the fifty
    // they follow, and they would stand among them after all.
    const size_t sorted = std::min(candidates.size(), placesLookedAt(count));
    const std::vector<Standing> order = bestFirst(candidates, sorted);
    std::vector<Candidate> best;
    best.reserve(sorted);
    for (size_t i = 0; i < sorted; ++i) {
        best.push_back(candidates[order[i].at]);
    }
    keepBehind(&best);
    std::vector<Candidate> top;
    std::vector<Candidate> held;
    top.reserve(best.size());
    held.reserve(best.size());
    int phrases = 0;
    for (const Candidate &c : best) {
        const bool phrase = lexicon.hasFlag(c.word, Lexicon::Phrase);
        if (top.size() < topPlaces && phrase && ++phrases > phrasesAtTop) {
            held.push_back(c);
        } else {
            top.push_back(c);
        }
        if (top.size() == topPlaces) {
            top.insert(top.end(), held.begin(), held.end());
            held.clear();
        }
    }
    top.insert(top.end(), held.begin(), held.end());
    std::vector<Association> result;
    result.reserve(std::min(top.size(), count));
    const float first = top.empty() ? 1.0f : top.front().score;
    float previous = 1.0f;
    for (size_t i = 0; i < top.size() && i < count; ++i) {
        previous = std::min(previous, top[i].score / first);
        result.push_back({top[i].word, top[i].relation, previous});
    }
    return result;
}

} // namespace

uint32_t Associator::baseKeyOf(const QString &keyword) const
{
    const QByteArray keyBytes = TermText::lookupKey(keyword).toUtf8();
    const QByteArray typed = keyword.trimmed().toUtf8();
    const bool capitalised = Language::writtenWithCapital(viewOf(typed));
    const Language::LexiconVocabulary vocabulary(*m_lexicon);
    return Language::Lemmatiser(vocabulary).baseOf(viewOf(keyBytes), capitalised);
}

std::vector<Association> Associator::associate(const QString &keyword, int count) const
{
    std::vector<Association> result;
    if (m_cache && m_cache->find(keyword, count, &result)) {
        return result;
    }
    result = compute(keyword, count);
    if (m_cache) {
        m_cache->insert(keyword, count, result);
    }
    return result;
}

std::vector<Association> Associator::compute(const QString &keyword, int count) const
{
    const Lexicon &lexicon = *m_lexicon;
    const uint32_t base = baseKeyOf(keyword);
    if (base == Lexicon::npos) {
        return {};
    }
    const QByteArray typedBytes = TermText::lookupKey(keyword).toUtf8();
    const uint32_t typed = lexicon.findKey(viewOf(typedBytes));
    const Admission admission(lexicon, typed == Lexicon::npos ? base : typed, base);
    Fusion fusion(lexicon, admission);

    // A keyword that the thesaurus knows only as typed keeps its meanings.
    const uint32_t thesaurusKey =
        lexicon.meaningsOf(base).empty() && typed != Lexicon::npos ? typed : base;
    const auto thesaurus = thesaurusWords(lexicon, thesaurusKey, base);
    // The lists in the order in which they name a word's relation.
    fusion.addList(thesaurus, thesaurusWeight);
    fusion.addList(lexicon.compoundsOf(base), Relation::Compound, compoundWeight);
    const Lexicon::Ids cooccurrents = lexicon.cooccurrentsOf(base);
    const Lexicon::Ids witnessed = witnessedCooccurrents(lexicon, base);
    fusion.placeNext(0);
    fusion.addList(witnessed, Relation::Cooccurrence, cooccurrenceWeight, Evidence::Witness,
                   Kind::Texts);
    fusion.otherSideNext(base);
    fusion.addList(lexicon.backlinksOf(base), Relation::Cooccurrence, backlinkWeight,
                   Evidence::Witness, Kind::Texts);
    const Lexicon::Ids single{witnessed.last, cooccurrents.last};
    fusion.placeNext(uint32_t(witnessed.size()));
    fusion.addList(single, Relation::Cooccurrence, singleDocumentWeight, Evidence::Hint,
                   Kind::Texts);
    fusion.addList(neighbours(lexicon, thesaurus, fusion), neighbourWeight, Evidence::Hint);
    addSecondOrder(lexicon, thesaurus, base, &fusion);
    fusion.addList(compoundHeads(lexicon, base, &fusion), Relation::Cooccurrence, headWeight,
                   Evidence::Witness, Kind::CompoundHeads);
    addWordFamilies(lexicon, &fusion);
    auto &candidates = fusion.candidates();
    keepBorneOut(lexicon, base, single, witnessed.size() > 0, &candidates);
    markDefined(lexicon, base, &candidates);
    markLoose(lexicon, base, &candidates);
    weighByCommonness(lexicon, &fusion.candidates());
    weighByMutuality(lexicon, base, size_t(std::clamp(count, 1, maxCount)), &candidates);
    leaveOutOtherNumber(lexicon, base, &candidates);
    return finalOrder(lexicon, fusion.candidates(), size_t(std::clamp(count, 1, maxCount)));
}
