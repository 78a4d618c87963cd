#include "query/relatedlists.h"

#include "language/lemmatiser.h"
#include "query/fusion.h"
#include "query/rankingweights.h"
#include "query/standings.h"
#include "query/wordfamily.h"

#include <algorithm>
#include <string>

namespace Ranking {

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

} // namespace Ranking
