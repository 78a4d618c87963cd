#pragma once

#include <QString>

#include <string>
#include <string_view>

// How a term stands in a thesaurus meaning relative to the meaning's other terms.
enum class TermRole : unsigned char
{
    Plain,    // one of the meaning's own words
    Broader,  // marked as a broader term of the meaning
    Narrower, // marked as a narrower term of the meaning
};

// The text rules shared by the thesaurus, the word list and the keyword of a query. Terms are
// UTF-8; parentheses, blanks and the marks looked at here are ASCII, so bytes can be cut freely.
namespace TermText {

struct Parsed
{
    std::string text; // the term without its usage notes and optional parts
    TermRole role = TermRole::Plain;
    bool mainForm = false; // marked as the meaning's main form ("Hauptform")
    bool noted = false;    // carries a usage note: slang, regional, dated, technical, ...
};

// Drops the notes a thesaurus term carries before and after its words ("(sich) freuen (ugs.)"
// gives "freuen"); a note "Oberbegriff" or "Unterbegriff" sets the role, "Hauptform" mainForm,
// any other note `noted`. An optional ending glued to a word is left out ("behänd(e)" gives
// "behänd").
Parsed parse(std::string_view term);

// Whether a word can be shown as it is: a page reader takes everything between a link's ">" and
// "</a>", so markup characters would change what it sees. Elided templates ("Haus...",
// "im Jahre (...)") are not words at all, nor is anything without a letter ("00").
bool isDisplayable(std::string_view word);

// Whether the word begins with a capital (A-Z, Ä, Ö, Ü): in German, a noun.
bool startsUpper(std::string_view word);

// The case-folded form under which a word or a typed keyword is looked up: ellipses removed,
// blanks simplified, lower case.
std::string lookupKey(std::string_view word);
QString lookupKey(const QString &keyword);

} // namespace TermText
