#pragma once

struct LexiconTables;

// What the lists of cooccurrents say when taken together, worked out once over the whole
// vocabulary after the lists are made: in how many lists each key stands (as the number of
// documents that use a word tells how little it says of any one of them), and for each key the
// words whose own lists name it among their first, so that a link counts from both sides.
namespace CooccurrenceLinks {

// Adds to keySpread (as the lists' scorer left it), fills backlinkBegin and backlinks from
// coocBegin, cooc and coocWitnessed.
void compute(LexiconTables *tables);

} // namespace CooccurrenceLinks
