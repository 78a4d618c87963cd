#pragma once

#include <QString>
#include <QStringList>

// Reply pages and result lists for the word pipeline benchmarks.
namespace PipelinePages {

// German-looking words with umlauts; from the 200th on each carries its number, so that long
// lists stay mostly distinct.
QStringList germanWords(int count, int seed);
// A page as the association service sends it: head, a table with one center block per word.
QString realisticPage(const QStringList &words);
// Simple center blocks, padded to about charactersPerMatch characters each.
QString densePage(int matches, int charactersPerMatch);
// Openings, "ueber" and '>' over and over, with no terminator anywhere.
QString hostilePage(int characters);

} // namespace PipelinePages
