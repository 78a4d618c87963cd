#include "data/proverbreader.h"

#include "data/buildweights.h"
#include "data/lexiconbuilder.h"
#include "data/wordtokens.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ProverbReader {

namespace {

constexpr size_t maxWords = 40;
// A line of several words that opens or closes this many entries is a heading or a source
// ("Stilblüten aus Polizeiberichten:", "Wenn Microsoft Autos bauen würde ..."), not part of
// what the entry says: kept, it would pair its words with every word of a whole file.
constexpr uint32_t headingRepeats = 3;

std::string_view trimmedLine(std::string_view line)
{
    const size_t from = line.find_first_not_of(" \t");
    if (from == std::string_view::npos) {
        return {};
    }
    return line.substr(from, line.find_last_not_of(" \t") + 1 - from);
}

bool isAuthorLine(std::string_view line)
{
    return line.substr(0, 2) == "--";
}

// How many entries each line stands in, a line counted once per entry.
std::unordered_map<std::string_view, uint32_t> lineCounts(std::string_view rest)
{
    std::unordered_map<std::string_view, uint32_t> counts;
    std::vector<std::string_view> entry;
    while (!rest.empty()) {
        const std::string_view line = trimmedLine(WordTokens::takeLine(&rest));
        if (line == "%") {
            entry.clear();
            continue;
        }
        if (!line.empty() && std::find(entry.begin(), entry.end(), line) == entry.end()) {
            entry.push_back(line);
            ++counts[line];
        }
    }
    return counts;
}

// The sentences of a text: what stands before a full stop, question or exclamation mark and
// a space.
template <class F> void forEachSentence(std::string_view text, F f)
{
    size_t begin = 0;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if ((text[i] == '.' || text[i] == '!' || text[i] == '?') && text[i + 1] == ' ') {
            f(text.substr(begin, i + 1 - begin));
            begin = i + 2;
        }
    }
    f(text.substr(std::min(begin, text.size())));
}

// An entry short enough to be one saying is one document. A longer one (an anecdote, a
// dialogue) pairs its words only sentence by sentence: its first and last sentences may
// speak of quite different things.
void finish(std::string *text, std::vector<std::string_view> *tokens, LexiconBuilder *builder)
{
    tokens->clear();
    WordTokens::split(*text, tokens);
    if (tokens->size() >= 2 && tokens->size() <= maxWords) {
        builder->addSaying(*tokens, BuildWeights::proverb, false);
    } else if (tokens->size() > maxWords) {
        bool first = true;
        forEachSentence(*text, [&](std::string_view sentence) {
            tokens->clear();
            WordTokens::split(sentence, tokens);
            if (tokens->size() >= 2 && tokens->size() <= maxWords) {
                builder->addSaying(*tokens, BuildWeights::proverb, !first);
                first = false;
            }
        });
    }
    text->clear();
}

} // namespace

void read(const QByteArray &data, LexiconBuilder *builder)
{
    std::string_view rest(data.constData(), size_t(data.size()));
    const auto counts = lineCounts(rest);
    std::string text;
    std::vector<std::string_view> tokens;
    std::vector<std::string_view> lineTokens;
    while (!rest.empty()) {
        const std::string_view line = trimmedLine(WordTokens::takeLine(&rest));
        if (line == "%") {
            finish(&text, &tokens, builder);
            continue;
        }
        if (line.empty() || isAuthorLine(line)) {
            continue;
        }
        lineTokens.clear();
        WordTokens::split(line, &lineTokens);
        if (lineTokens.size() < 2 || counts.at(line) < headingRepeats) {
            text.append(line).push_back(' ');
        }
    }
    finish(&text, &tokens, builder);
}

} // namespace ProverbReader
