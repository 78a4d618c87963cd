#pragma once

#include <QByteArray>

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

class LexiconBuilder;

// Reads a German dictionary of the FreeDict project built from Wiktionary (WikDict, the
// dict-freedict-deu-* packages), as the dict server stores it once unpacked: a line with the
// headword, its pronunciation and its grammar ("Zahn /t͡saːn/ <n, masc>"), then for each
// meaning a line of translations and a line with the German definition ("Teil des Gebisses
// von Menschen und Wirbeltieren"). A definition names what people think of with the word, so
// the headword and the words of each definition become one document of the builder.
class DefinitionReader
{
public:
    explicit DefinitionReader(LexiconBuilder *builder) : m_builder(builder) {}

    // Several of these dictionaries define the same word alike; each definition counts once.
    void read(const QByteArray &data);

private:
    void finish(std::string_view headword, const std::vector<std::string_view> &lines);

    LexiconBuilder *m_builder;
    std::unordered_set<std::string> m_seen;
    std::vector<std::string_view> m_headTokens;
    std::vector<std::string_view> m_tokens;
};
