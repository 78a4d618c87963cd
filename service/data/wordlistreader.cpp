#include "data/wordlistreader.h"

#include "data/lexiconbuilder.h"
#include "data/wordtokens.h"

#include <string_view>

namespace WordListReader {

void read(const QByteArray &data, LexiconBuilder *builder)
{
    std::string_view rest(data.constData(), size_t(data.size()));
    while (!rest.empty()) {
        std::string_view word = WordTokens::takeLine(&rest);
        while (!word.empty() && word.back() == ' ') {
            word.remove_suffix(1);
        }
        if (!word.empty()) {
            builder->addToWordList(builder->addWord(word));
        }
    }
}

} // namespace WordListReader
