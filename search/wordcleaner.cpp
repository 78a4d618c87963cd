#include "search/wordpipeline.h"

namespace WordPipeline {

namespace {

// Characters that part a word into lines or columns. Inside a word they become one blank, so
// that the word stays one line and its parts stay apart; at its ends they part nothing.
bool separates(char32_t c)
{
    switch (c) {
    case u'\t':
    case u'\n':
    case u'\v':
    case u'\f':
    case u'\r':
    case 0x85:   // next line
    case 0x2028: // line separator
    case 0x2029: // paragraph separator
        return true;
    default:
        return false;
    }
}

// Controls, format characters (direction overrides, zero-width characters, byte-order marks),
// halves of broken surrogate pairs and noncharacters (the text document's own frame markers
// among them) show nothing, or show something else than what is copied.
bool visible(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
        return false;
    default:
        return !QChar::isNonCharacter(c);
    }
}

// The code point at i and the number of UTF-16 units it takes; a broken pair is one unit.
std::pair<char32_t, qsizetype> codePointAt(QStringView text, qsizetype i)
{
    const QChar unit = text[i];
    if (unit.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return {QChar::surrogateToUcs4(unit, text[i + 1]), 2};
    return {unit.unicode(), 1};
}

bool alreadyClean(QStringView word)
{
    if (word.size() > MaxWordLength)
        return false;
    for (qsizetype i = 0; i < word.size();) {
        const auto [c, units] = codePointAt(word, i);
        if (separates(c) || !visible(c))
            return false;
        i += units;
    }
    return true;
}

} // namespace

QString cleanWord(QStringView word)
{
    if (alreadyClean(word))
        return word.toString();
    QString clean;
    bool parted = false;
    for (qsizetype i = 0; i < word.size();) {
        const auto [c, units] = codePointAt(word, i);
        const QStringView unitsOfC = word.mid(i, units);
        i += units;
        if (separates(c)) {
            parted = !clean.isEmpty();
            continue;
        }
        if (!visible(c))
            continue;
        const qsizetype added = units + (parted ? 1 : 0);
        if (clean.size() + added > MaxWordLength)
            break;
        if (parted)
            clean.append(u' ');
        parted = false;
        clean.append(unitsOfC);
    }
    return clean;
}

} // namespace WordPipeline
