#include "data/definitionreader.h"

#include "data/buildweights.h"
#include "data/lexiconbuilder.h"
#include "data/wordtokens.h"
#include "language/termtext.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

// Longer definitions are lists of technical details rather than what the word brings to mind.
constexpr size_t maxWords = 40;

// "/ˈdet͡si/ /ˈdeːt͡si/": one or more pronunciations, each between slashes.
bool arePronunciations(std::string_view text)
{
    while (!text.empty()) {
        const size_t close =
            text.size() > 2 && text.front() == '/' ? text.find('/', 1) : std::string_view::npos;
        if (close == std::string_view::npos) {
            return false;
        }
        text.remove_prefix(close + 1);
        if (!text.empty() && text.front() == ' ') {
            text.remove_prefix(1);
        }
    }
    return true;
}

// "Zahn /t͡saːn/ <n, masc>", "Akkordant <n, masc>" or, for words without a grammar note,
// "mich /mɪç/": the headword, or empty for any other line.
std::string_view headwordOf(std::string_view line)
{
    if (line.empty() || line.front() == ' ') {
        return {};
    }
    const size_t pronunciation = line.find(" /");
    size_t end = std::string_view::npos;
    if (line.back() == '>') {
        end = line.rfind(" <");
    } else if (pronunciation != std::string_view::npos &&
               arePronunciations(line.substr(pronunciation + 1))) {
        end = pronunciation;
    }
    if (end == std::string_view::npos) {
        return {};
    }
    std::string_view word = line.substr(0, std::min(end, pronunciation));
    while (!word.empty() && word.back() == ' ') {
        word.remove_suffix(1);
    }
    return word;
}

// "umgangssprachlich: ...", "übertragen: ...", "ohne Plural: ...": the register or grammar a
// definition starts with says nothing of the word's meaning, and each such label would stand
// beside thousands of words. A field, "Zoologie: ...", names the science that studies the
// thing, which is not what people think of it: a bird brings feathers, not ornithology.
std::string_view withoutLabel(std::string_view definition)
{
    constexpr size_t maxLabel = 40;
    const size_t colon = definition.find(": ");
    const bool label = colon != std::string_view::npos && colon <= maxLabel;
    return label ? definition.substr(colon + 2) : definition;
}

} // namespace

// The lines after a headword alternate between translations and definitions; an entry whose
// lines do not pair up cannot be told apart and is left out.
void DefinitionReader::finish(std::string_view headword, const std::vector<std::string_view> &lines)
{
    if (headword.empty() || lines.size() % 2 != 0 || headword.substr(0, 2) == "00") {
        return;
    }
    m_headTokens.clear();
    WordTokens::split(headword, &m_headTokens);
    const size_t headTokens = m_headTokens.size();
    for (size_t i = 1; i < lines.size(); i += 2) {
        std::string entry(headword);
        entry.append("\t").append(lines[i]);
        if (!m_seen.insert(std::move(entry)).second) {
            continue;
        }
        m_tokens = m_headTokens;
        WordTokens::split(withoutLabel(lines[i]), &m_tokens);
        if (m_tokens.size() > headTokens && m_tokens.size() - headTokens <= maxWords) {
            m_builder->addDefinition(m_tokens, BuildWeights::definition);
        }
    }
}

void DefinitionReader::read(const QByteArray &data)
{
    std::string_view rest(data.constData(), size_t(data.size()));
    std::string_view headword;
    std::vector<std::string_view> lines;
    while (!rest.empty()) {
        const std::string_view line = WordTokens::takeLine(&rest);
        const std::string_view next = headwordOf(line);
        if (next.empty()) {
            if (!line.empty()) {
                lines.push_back(line);
            }
            continue;
        }
        finish(headword, lines);
        headword = next;
        lines.clear();
    }
    finish(headword, lines);
}
