#pragma once

#include <cstddef>
#include <cstdint>

// The weights and thresholds of the index builder, in one place, each with the reason for its
// value. The query's weights, which fuse the lists that these make, are those of the Associator
// (query/associator.cpp).
namespace BuildWeights {

// How closely each kind of document ties its words together: a document adds its weight to
// the commonness of each of its words and to the count each pair of them shares.
//
// A dictionary line is a lexicographer's choice of examples of one word: the unit.
constexpr uint32_t dictionaryLine = 2;
// German words that share only a specific English gloss are related through another language,
// more loosely than a German line relates them.
constexpr uint32_t englishBridge = 1;
// A proverb or quotation is everyday speech, where the words that people pair stand together.
// Measured on the development list, a proverb counting as much or more than a line raised
// recall at 50 from 0.57 to 0.60.
constexpr uint32_t proverb = 3;
// A definition ties its words to the headword as closely as a dictionary line does.
constexpr uint32_t definition = 2;
// An emoji's keywords tie their words as closely as a dictionary line does.
constexpr uint32_t annotation = 2;
// A compound joins its parts as closely as a dictionary line joins its words.
constexpr uint32_t compound = 2;

// How many sayings must pair two words that no other document pairs: a saying pairs all the
// words of its sentence, most by chance ("schlafen" and "sündig", "Bier" and "Windows"). Of the
// judged words at ranks 11-50 of the development lists that sayings alone brought, 42 were junk
// and 3 good; most had two sayings.
constexpr uint32_t minSayings = 3;

// The share of its score that a co-occurring word keeps where one kind of source alone pairs it
// with the key: the dictionaries' lines, definitions, sayings or the gatherings of one English
// word. One kind of text pairs words by its own habits (the months of a holiday in dictionary
// examples, a second sense's vocabulary in one dictionary's lines, the terms of one definition);
// what several independent kinds pair goes together in the language. On the development lists'
// first fifty, junk fell from 16.5% to 15.5% of the labelled words (69 new words unlabelled), and
// recall at 200 rose from 0.914 to 0.923; a share of 0.3 did no better.
constexpr double oneKindShare = 0.5;

// How many co-occurring words and compounds a key keeps: the query asks for 200 words at most
// and fuses several lists, so deeper lists are never reached.
constexpr size_t maxCooccurrents = 200;
constexpr size_t maxCompounds = 300;

// How many times more often than its base a noun must be used to count as a word of its own
// ("Eltern" beside the biologists' "Elter"); less, and rare plurals of rare nouns split off.
constexpr uint32_t lexicalisedUses = 5;

// A word that definitions use this many times as often as other texts (for their number) is
// their wording ("vorwiegend", "betreffend"), when they use it at least minWordingUses times;
// assumedUses are added to its uses elsewhere, so that no word is judged by definitions alone.
constexpr double wordingRatio = 6;
constexpr uint32_t minWordingUses = 50;
constexpr double assumedUses = 5;

// A noun that this many definitions name first is a class ("Ort", "Gebäude", "Menge"), which
// goes with the word defined and not with the details that tell it from the rest of its class.
constexpr uint32_t minClassDefinitions = 100;

// How often the dictionary must use each part of a compound: parts used once make chance splits
// of foreign words ("Quad|rat", "Transi|s|tor").
constexpr uint32_t minPartUses = 2;

} // namespace BuildWeights
