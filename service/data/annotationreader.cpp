#include "data/annotationreader.h"

#include "data/buildweights.h"
#include "data/lexiconbuilder.h"
#include "data/wordtokens.h"

#include <string>
#include <string_view>
#include <vector>

namespace AnnotationReader {

namespace {

// The text of an annotation line, or empty. The file is data: nothing in it is followed or
// expanded beyond the five character entities of XML.
std::string keywordsOf(std::string_view line)
{
    static constexpr std::string_view open = "<annotation cp=";
    static constexpr std::string_view close = "</annotation>";
    const size_t start = line.find(open);
    const size_t end = line.rfind(close);
    if (start == std::string_view::npos || end == std::string_view::npos ||
        line.find("type=\"tts\"") != std::string_view::npos) {
        return {};
    }
    const size_t text = line.find('>', start);
    if (text == std::string_view::npos || text >= end) {
        return {};
    }
    static constexpr std::pair<std::string_view, char> entities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string keywords;
    for (size_t i = text + 1; i < end; ++i) {
        bool replaced = false;
        for (const auto &[entity, character] : entities) {
            if (line.substr(i, entity.size()) == entity) {
                keywords.push_back(character);
                i += entity.size() - 1;
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            keywords.push_back(line[i]);
        }
    }
    return keywords;
}

} // namespace

void read(const QByteArray &data, LexiconBuilder *builder)
{
    std::string_view rest(data.constData(), size_t(data.size()));
    std::vector<std::string_view> tokens;
    while (!rest.empty()) {
        const std::string keywords = keywordsOf(WordTokens::takeLine(&rest));
        tokens.clear();
        WordTokens::split(keywords, &tokens);
        if (tokens.size() >= 2) {
            builder->addDocument(tokens, BuildWeights::annotation);
        }
    }
}

} // namespace AnnotationReader
