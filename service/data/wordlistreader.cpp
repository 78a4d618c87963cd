#include "wordlistreader.h"

#include "lexiconbuilder.h"

#include <string_view>

namespace WordListReader {

void read(const QByteArray &data, LexiconBuilder *builder)
{
    std::string_view rest(data.constData(), size_t(data.size()));
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        std::string_view word = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        while (!word.empty() && (word.back() == '\r' || word.back() == ' ')) {
            word.remove_suffix(1);
        }
        if (!word.empty()) {
            builder->addToWordList(builder->addWord(word));
        }
    }
}

} // namespace WordListReader
