#pragma once

#include <QString>

#include <cstdint>
#include <string_view>
#include <vector>

class Lexicon;

// How an associated word relates to the keyword.
enum class Relation : uint8_t
{
    Synonym,   // shares a meaning with it
    Broader,   // a broader term of one of its meanings
    Narrower,  // a narrower term of one of its meanings
    Compound,  // a word-list entry that begins or ends with it
    Neighbour, // shares a meaning with one of its synonyms
};

std::string_view relationName(Relation relation);

struct Association
{
    uint32_t word; // number in the Lexicon
    Relation relation;
    float score; // 0 to 1, higher is closer; never rises along a result
};

// Computes the words associated with a keyword, best first: synonyms, broader and narrower
// terms, compounds (base forms first), then neighbours of the synonyms; each word once, none
// equal to the keyword, only displayable words.
class Associator
{
public:
    static constexpr int maxCount = 200;

    explicit Associator(const Lexicon *lexicon) : m_lexicon(lexicon) {}

    // count is clamped to 1..maxCount. Case and surrounding blanks of keyword do not matter.
    std::vector<Association> associate(const QString &keyword, int count) const;

private:
    const Lexicon *m_lexicon;
};
