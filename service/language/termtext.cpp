#include "language/termtext.h"

#include <QByteArray>

namespace TermText {

namespace {

constexpr std::string_view ellipsis = "...";
constexpr std::string_view unicodeEllipsis = "\xE2\x80\xA6";

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

TermRole roleOfNote(std::string_view note)
{
    // A note may list several marks: "(fachspr., Oberbegriff)".
    if (note.find("Oberbegriff") != std::string_view::npos) {
        return TermRole::Broader;
    }
    if (note.find("Unterbegriff") != std::string_view::npos) {
        return TermRole::Narrower;
    }
    return TermRole::Plain;
}

// Position of the "(" that opens the group closing at the end of s, or npos.
size_t openingOfLastGroup(std::string_view s)
{
    int depth = 0;
    for (size_t i = s.size(); i-- > 0;) {
        if (s[i] == ')') {
            ++depth;
        } else if (s[i] == '(' && --depth == 0) {
            return i;
        }
    }
    return std::string_view::npos;
}

// Position just after the ")" that closes the group opening at the start of s, or npos.
size_t endOfFirstGroup(std::string_view s)
{
    int depth = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '(') {
            ++depth;
        } else if (s[i] == ')' && --depth == 0) {
            return i + 1;
        }
    }
    return std::string_view::npos;
}

// Lower-cases the letters of Latin-1 (all of German) in place, as Unicode does: each capital
// from U+00C0 to U+00DE, the sign U+00D7 aside, has its small letter 0x20 above it. Text beyond
// Latin-1, or not UTF-8, is left untouched for Qt to lower, with false: most keys are made here,
// and the round trip through UTF-16 cost more than all the rest of making them.
bool lowerLatin1(std::string *text)
{
    std::string &s = *text;
    bool capitals = false;
    for (size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            continue;
        }
        if ((c != 0xC2 && c != 0xC3) || i + 1 == s.size() ||
            (static_cast<unsigned char>(s[i + 1]) & 0xC0) != 0x80) {
            return false;
        }
        capitals = capitals || c == 0xC3;
        ++i;
    }
    for (size_t i = 0; capitals && i + 1 < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i + 1]);
        if (static_cast<unsigned char>(s[i]) == 0xC3 && c <= 0x9E && c != 0x97) {
            s[i + 1] = char(c + 0x20);
            ++i;
        }
    }
    return true;
}

// The length of the ellipsis that begins at i, or 0.
size_t ellipsisAt(std::string_view word, size_t i)
{
    const std::string_view rest = word.substr(i);
    if (rest.substr(0, ellipsis.size()) == ellipsis) {
        return ellipsis.size();
    }
    return rest.substr(0, unicodeEllipsis.size()) == unicodeEllipsis ? unicodeEllipsis.size() : 0;
}

// "behänd(e)" and "viele(s) andere" without their optional endings. A group that does not
// close, or stands alone, stays as it is.
std::string withoutGluedGroups(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const size_t close = s[i] == '(' ? s.find(')', i) : std::string_view::npos;
        if (close != std::string_view::npos && i > 0 && s[i - 1] != ' ' &&
            s.substr(i + 1, close - i - 1).find_first_of(" (") == std::string_view::npos) {
            i = close;
            continue;
        }
        out.push_back(s[i]);
    }
    return out;
}

bool hasLetter(std::string_view s)
{
    for (const char c : s) {
        const unsigned char u = static_cast<unsigned char>(c);
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u >= 0x80) {
            return true;
        }
    }
    return false;
}

} // namespace

Parsed parse(std::string_view term)
{
    Parsed result;
    std::string_view s = trimmed(term);
    // Trailing notes: "(ugs.)", "(Hauptform) (Oberbegriff)". A group glued to a word, as in
    // "viele(s)", belongs to the word.
    while (!s.empty() && s.back() == ')') {
        const size_t open = openingOfLastGroup(s);
        // A term that is nothing but a note, "(Jahreszahl)", is a placeholder, not a word.
        if (open == std::string_view::npos || (open > 0 && s[open - 1] != ' ')) {
            break;
        }
        const std::string_view note = s.substr(open + 1, s.size() - open - 2);
        const TermRole role = roleOfNote(note);
        const bool mainForm = note.find("Hauptform") != std::string_view::npos;
        if (role != TermRole::Plain) {
            result.role = role;
        }
        result.mainForm = result.mainForm || mainForm;
        result.noted = result.noted || (role == TermRole::Plain && !mainForm);
        s = trimmed(s.substr(0, open));
    }
    // Leading optional parts: "(sich)", "(jemandem) (etwas)".
    while (!s.empty() && s.front() == '(') {
        const size_t end = endOfFirstGroup(s);
        if (end == std::string_view::npos || end >= s.size() || s[end] != ' ') {
            break;
        }
        s = trimmed(s.substr(end));
    }
    result.text = withoutGluedGroups(s);
    return result;
}

bool isDisplayable(std::string_view word)
{
    if (!hasLetter(word)) {
        return false;
    }
    if (word.find_first_of("<>&") != std::string_view::npos) {
        return false;
    }
    return word.find(ellipsis) == std::string_view::npos &&
           word.find(unicodeEllipsis) == std::string_view::npos;
}

bool startsUpper(std::string_view word)
{
    if (word.empty()) {
        return false;
    }
    const auto first = static_cast<unsigned char>(word[0]);
    // Ä, Ö, Ü in UTF-8
    return (first >= 'A' && first <= 'Z') ||
           (first == 0xC3 && word.size() > 1 &&
            (word[1] == '\x84' || word[1] == '\x96' || word[1] == '\x9C'));
}

std::string lookupKey(std::string_view word)
{
    // Written in place: no character of the word makes more than one of the key.
    std::string key(word.size(), '\0');
    char *out = key.data();
    size_t size = 0;
    bool blank = false;
    for (size_t i = 0; i < word.size(); ++i) {
        const char c = word[i];
        if (c == '.' || c == '\xE2') {
            const size_t mark = ellipsisAt(word, i);
            if (mark != 0) {
                i += mark - 1;
                continue;
            }
        }
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            blank = size != 0;
            continue;
        }
        if (blank) {
            out[size++] = ' ';
            blank = false;
        }
        out[size++] = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    }
    key.resize(size);
    if (lowerLatin1(&key)) {
        return key;
    }
    const QByteArray lower =
        QString::fromUtf8(key.data(), qsizetype(key.size())).toLower().toUtf8();
    return std::string(lower.constData(), size_t(lower.size()));
}

QString lookupKey(const QString &keyword)
{
    const QByteArray utf8 = keyword.toUtf8();
    const std::string key = lookupKey(std::string_view(utf8.constData(), size_t(utf8.size())));
    return QString::fromUtf8(key.data(), qsizetype(key.size()));
}

} // namespace TermText
