#include "data/stopwordreader.h"

#include "data/lexiconbuilder.h"

#include <string_view>

namespace StopWordReader {

bool read(const QByteArray &data, LexiconBuilder *builder)
{
    const std::string_view text(data.constData(), size_t(data.size()));
    const size_t function = text.find("sub _stopwords");
    const size_t open = text.find("qw(", function == std::string_view::npos ? 0 : function);
    const size_t close = open == std::string_view::npos ? open : text.find(')', open);
    if (function == std::string_view::npos || close == std::string_view::npos) {
        return false;
    }
    std::string_view list = text.substr(open + 3, close - open - 3);
    int count = 0;
    while (!list.empty()) {
        const size_t start = list.find_first_not_of(" \t\r\n");
        if (start == std::string_view::npos) {
            break;
        }
        list.remove_prefix(start);
        const size_t end = list.find_first_of(" \t\r\n");
        builder->addStopWord(list.substr(0, end));
        ++count;
        list.remove_prefix(end == std::string_view::npos ? list.size() : end);
    }
    return count > 0;
}

} // namespace StopWordReader
