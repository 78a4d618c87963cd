#include "data/thesaurusreader.h"

#include "data/lexiconbuilder.h"
#include "data/wordtokens.h"
#include "index/lexicon.h"
#include "language/termtext.h"

#include <charconv>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace ThesaurusReader {

namespace {

class LineCursor
{
public:
    explicit LineCursor(std::string_view text) : m_rest(text) {}

    bool next(std::string_view *line)
    {
        if (m_rest.empty()) {
            return false;
        }
        *line = WordTokens::takeLine(&m_rest);
        ++m_number;
        return true;
    }
    int number() const { return m_number; }

private:
    std::string_view m_rest;
    int m_number = 0;
};

bool meaningCount(std::string_view header, int *count)
{
    const size_t bar = header.rfind('|');
    if (bar == std::string_view::npos) {
        return false;
    }
    const char *first = header.data() + bar + 1;
    const char *last = header.data() + header.size();
    const auto [end, error] = std::from_chars(first, last, *count);
    return error == std::errc() && end == last && first != last && *count >= 0;
}

bool hasEllipsis(std::string_view term)
{
    return term.find("...") != std::string_view::npos ||
           term.find("\xE2\x80\xA6") != std::string_view::npos;
}

void addMeaning(std::string_view line, LexiconBuilder *builder, std::vector<uint32_t> *members)
{
    members->clear();
    size_t start = line.find('|'); // the part of speech comes first and is not needed
    while (start != std::string_view::npos) {
        const size_t end = line.find('|', start + 1);
        const std::string_view raw = line.substr(
            start + 1, end == std::string_view::npos ? std::string_view::npos : end - start - 1);
        start = end;
        const TermText::Parsed term = TermText::parse(raw);
        if (term.text.empty()) {
            continue;
        }
        // A template such as "im Jahre (...)" keeps its ellipsis, so it is never shown, but it
        // is still found under the words it has.
        const uint32_t word =
            hasEllipsis(raw) ? builder->addWord(raw, term.text) : builder->addWord(term.text);
        if (term.noted) {
            builder->markNoted(word);
        }
        members->push_back(Lexicon::pack(word, term.role, term.mainForm));
    }
    if (!members->empty()) {
        builder->addMeaning(*members);
    }
}

} // namespace

bool read(const QByteArray &data, LexiconBuilder *builder, QString *error)
{
    LineCursor lines(std::string_view(data.constData(), size_t(data.size())));
    std::string_view line;
    lines.next(&line); // the encoding, checked by the caller
    std::unordered_set<std::string_view> seen;
    seen.reserve(size_t(data.size() / 400));
    std::vector<uint32_t> members;
    while (lines.next(&line)) {
        if (line.empty()) {
            continue;
        }
        int count = 0;
        if (!meaningCount(line, &count)) {
            *error = QStringLiteral("line %1 is not an entry \"word|count\"").arg(lines.number());
            return false;
        }
        for (int i = 0; i < count; ++i) {
            if (!lines.next(&line)) {
                *error = QStringLiteral("the file ends inside an entry");
                return false;
            }
            const size_t bar = line.find('|');
            if (bar == std::string_view::npos) {
                *error = QStringLiteral("line %1 is not a meaning").arg(lines.number());
                return false;
            }
            if (seen.insert(line.substr(bar)).second) {
                addMeaning(line, builder, &members);
            }
        }
    }
    return true;
}

} // namespace ThesaurusReader
