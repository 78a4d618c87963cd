#include "data/wordtokens.h"

namespace WordTokens {

namespace {

bool isWordByte(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c >= 0x80;
}

// UTF-8 sequences that are punctuation, not letters: general punctuation (E2 ..), and the
// Latin-1 signs (C2 ..) such as guillemets and the section sign.
size_t markLength(std::string_view text, size_t i)
{
    const unsigned char c = static_cast<unsigned char>(text[i]);
    return c == 0xE2 ? 3 : c == 0xC2 ? 2 : 0;
}

void take(std::string_view word, bool abbreviated, std::vector<std::string_view> *tokens)
{
    while (!word.empty() && word.front() == '-') {
        word.remove_prefix(1);
    }
    while (!word.empty() && word.back() == '-') {
        word.remove_suffix(1);
    }
    if (word.size() < 2 || (abbreviated && word.size() <= 4 && word[0] >= 'a' && word[0] <= 'z')) {
        return;
    }
    for (const char c : word) {
        if (c >= '0' && c <= '9') {
            return;
        }
    }
    tokens->push_back(word);
}

} // namespace

void split(std::string_view text, std::vector<std::string_view> *tokens)
{
    size_t start = std::string_view::npos;
    for (size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : ' ';
        const size_t mark = i < text.size() ? markLength(text, i) : 0;
        if (mark == 0 && isWordByte(static_cast<unsigned char>(c))) {
            if (start == std::string_view::npos) {
                start = i;
            }
            continue;
        }
        if (start != std::string_view::npos) {
            take(text.substr(start, i - start), c == '.', tokens);
            start = std::string_view::npos;
        }
        const char close = c == '{' ? '}' : c == '[' ? ']' : c == '<' ? '>' : '\0';
        if (close != '\0') {
            const size_t end = text.find(close, i);
            i = end == std::string_view::npos ? text.size() : end;
        } else if (mark > 0) {
            i += mark - 1;
        }
    }
}

std::string_view takeLine(std::string_view *rest)
{
    const size_t end = rest->find('\n');
    std::string_view line = rest->substr(0, end);
    rest->remove_prefix(end == std::string_view::npos ? rest->size() : end + 1);
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}

} // namespace WordTokens
